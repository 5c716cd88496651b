// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Compass point words, index 0 to 15 clockwise from north. They name the
// compass pictures and are the direction word of the MixW report.
extern const char* const CompassPointNames[16];

// Name of the compass picture without a marker.
inline constexpr const char* kCompassRoseName = "IDB_COMPASS_ROSE";

// Reads exactly four characters at text as an upper-case hexadecimal number:
// 0..65535, or -1 at the first character that is not 0-9 or A-F.
// Reads no further than the fourth character; needs no terminator.
int DecodeHex4(const char* text);

// Compass point 0..15 of a raw direction 0..255 (248..255 wrap to north).
int CompassIndexOfDirection(int direction);
