// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "StationState.h"
#include "StationView.h"

// Checks and decodes one data-logger record ("!!" + 40, 44 or 48 hex digits),
// updates the readings, the gust, the direction average and the compass
// picture and writes the labels. What follows an accepted record (the station
// clock, the five-minute point, the files) is the caller's business.
class RecordProcessor {
  public:
    RecordProcessor(StationState& state, StationView& view);

    // line: NUL-terminated, without its line end. True when it was a record
    // and was taken; false when it was dropped and nothing changed.
    bool ProcessLine(const char* line);

  private:
    bool CopyDigits(const char* line);
    void DecodeFields();
    void UpdateDirection();
    void ConvertUnits();
    void WriteLabels();

    StationState& state_;
    StationView& view_;
    int directionDecoded_ = -1;  // the direction field as decoded, -1 when it did not decode
};
