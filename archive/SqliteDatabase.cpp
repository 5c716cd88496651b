// SPDX-License-Identifier: GPL-3.0-or-later
#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <string>

#include "SqliteError.h"

SqliteDatabase::SqliteDatabase(const std::filesystem::path& path, Mode mode) {
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int result = sqlite3_open_v2(path.c_str(), &db_, flags | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (result != SQLITE_OK) {
        const SqliteError error(result, db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(result));
        sqlite3_close(db_);
        throw error;
    }
    sqlite3_extended_result_codes(db_, 0);
}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(db_);
}

void SqliteDatabase::Execute(std::string_view sql) {
    char* message = nullptr;
    const int result = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &message);
    if (result != SQLITE_OK) {
        const SqliteError error(result, message ? message : sqlite3_errstr(result));
        sqlite3_free(message);
        throw error;
    }
}

bool SqliteDatabase::IsReadOnly() const {
    return sqlite3_db_readonly(db_, "main") == 1;
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : db_(db) {
    db_.Execute("BEGIN IMMEDIATE");
}

SqliteTransaction::~SqliteTransaction() {
    if (done_) return;
    try {
        db_.Execute("ROLLBACK");
    } catch (const SqliteError&) {
        // A failed COMMIT or I/O error may have ended the transaction already.
    }
}

void SqliteTransaction::Commit() {
    db_.Execute("COMMIT");
    done_ = true;
}
