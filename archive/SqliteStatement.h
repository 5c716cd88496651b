// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when it goes. Binding counts from 1;
// a failed step throws SqliteError. Reset() makes it ready to run again.
class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    void Bind(int index, std::optional<double> value);
    void Bind(int index, std::optional<std::string_view> text);
    void BindInt(int index, std::optional<long long> value);
    // True while a row is there to read; false when done.
    bool Step();
    void Reset();

    bool IsNull(int column) const;
    double Double(int column) const;
    long long Int(int column) const;
    std::string Text(int column) const;
    // The text without a copy, valid until the next step; empty for NULL.
    std::string_view TextView(int column) const;
    std::optional<double> OptionalDouble(int column) const;
    std::optional<std::string> OptionalText(int column) const;

  private:
    void Check(int result) const;

    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};
