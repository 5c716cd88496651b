// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineAssembler.h"

#include <cstring>

int LineAssembler::OnSerialCharacter(int character, int port) {
    if (port <= 0 || port > 4) return -1;

    if (character == '\n') {
        // The character before the line feed is the record's carriage return.
        const int length = linePos_ > 0 ? linePos_ - 1 : 0;
        // Hand over a copy: characters handled inside a nested event pump
        // during processing must not overwrite the line being processed.
        char line[kBufferSize];
        std::memcpy(line, lineBuffer_, length);
        line[length] = '\0';
        linePos_ = 0;
        handler_(line);
        return 0;
    }
    if (linePos_ >= kBufferSize) {
        // Overflow: abandon the collected text, and this character with it.
        linePos_ = 0;
        return 0;
    }
    lineBuffer_[linePos_++] = static_cast<char>(character & 0xFF);
    return 0;
}
