// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <locale.h>

// While it lives, printf and strtod on this thread use the C locale's
// decimal point, whatever locale the program set (Qt sets the user's, and a
// comma locale would put "2,0" into files, packets and queries). Only this
// thread changes, so a window formatting numbers for the user is untouched.
class PointDecimals {
  public:
    PointDecimals();
    ~PointDecimals();
    PointDecimals(const PointDecimals&) = delete;
    PointDecimals& operator=(const PointDecimals&) = delete;

  private:
    locale_t previous_;
};
