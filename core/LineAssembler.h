// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Collects the characters that arrive one by one from the serial port into
// lines and hands over each line at its line feed, dropping the character
// before it (the carriage return of a record).
class LineAssembler {
  public:
    static constexpr int kBufferSize = 512;
    using LineHandler = std::function<void(const char* line)>;

    explicit LineAssembler(LineHandler handler) : handler_(std::move(handler)) {}

    // Returns -1 for a port outside 1..4 (nothing changes), else 0.
    int OnSerialCharacter(int character, int port);

    // Forgets the collected part of a line, which a lost device cut short:
    // glued to the next line it could pass for a record of another length.
    void DropPartialLine() { linePos_ = 0; }

    int linePos() const { return linePos_; }

  private:
    LineHandler handler_;
    char lineBuffer_[kBufferSize] = {};
    int linePos_ = 0;
};
