// SPDX-License-Identifier: GPL-3.0-or-later
#include "SqliteStatement.h"

#include <sqlite3.h>

#include "SqliteError.h"

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    Check(sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement_, nullptr));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(statement_);
}

void SqliteStatement::Check(int result) const {
    if (result != SQLITE_OK) throw SqliteError(result, sqlite3_errmsg(db_));
}

void SqliteStatement::Bind(int index, std::optional<double> value) {
    Check(value ? sqlite3_bind_double(statement_, index, *value)
                : sqlite3_bind_null(statement_, index));
}

void SqliteStatement::Bind(int index, std::optional<std::string_view> text) {
    Check(text ? sqlite3_bind_text(statement_, index, text->data(), static_cast<int>(text->size()),
                                   SQLITE_TRANSIENT)
               : sqlite3_bind_null(statement_, index));
}

void SqliteStatement::BindInt(int index, std::optional<long long> value) {
    Check(value ? sqlite3_bind_int64(statement_, index, *value)
                : sqlite3_bind_null(statement_, index));
}

bool SqliteStatement::Step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    // The statement's own error, not a later call's; reset so it can run again.
    const SqliteError error(result, sqlite3_errmsg(db_));
    sqlite3_reset(statement_);
    throw error;
}

void SqliteStatement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

double SqliteStatement::Double(int column) const {
    return sqlite3_column_double(statement_, column);
}

long long SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string();
}

std::string_view SqliteStatement::TextView(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    return text ? std::string_view(
                      reinterpret_cast<const char*>(text),
                      static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)))
                : std::string_view();
}

std::optional<double> SqliteStatement::OptionalDouble(int column) const {
    if (IsNull(column)) return std::nullopt;
    return Double(column);
}

std::optional<std::string> SqliteStatement::OptionalText(int column) const {
    if (IsNull(column)) return std::nullopt;
    return Text(column);
}
