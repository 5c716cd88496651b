// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string_view>

struct sqlite3;

// One connection to a database file, closed when it goes. Opening never
// creates anything but a missing file, and never changes an existing one.
class SqliteDatabase {
  public:
    enum class Mode {
        ReadOnly,
        // An existing file: a reader too opens it so, since after a kill the
        // first to open the file must recover its write-ahead log.
        ReadWrite,
        ReadWriteCreate
    };

    // Throws SqliteError when the file cannot be opened.
    SqliteDatabase(const std::filesystem::path& path, Mode mode);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    // Runs statements that return no rows; throws SqliteError.
    void Execute(std::string_view sql);
    // Whether the connection can only read (a read-only file opens so).
    bool IsReadOnly() const;
    sqlite3* handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE at once (so a second writer waits here, within the busy
// timeout, not half-way), COMMIT by Commit(), ROLLBACK when it goes
// uncommitted, as when an exception passes.
class SqliteTransaction {
  public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction&) = delete;
    SqliteTransaction& operator=(const SqliteTransaction&) = delete;
    void Commit();

  private:
    SqliteDatabase& db_;
    bool done_ = false;
};
