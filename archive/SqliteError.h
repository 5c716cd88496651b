// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

// A failed SQLite call: its result code and the library's message
// ("database or disk is full", "file is not a database").
class SqliteError : public std::runtime_error {
  public:
    SqliteError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

  private:
    int code_;
};
