// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

#include "StationState.h"
#include "StationView.h"
#include "UnitSettings.h"

// Checks and decodes one data-logger record ("!!" + 40, 44 or 48 hex digits),
// updates the readings, the gust, the direction average and the compass
// picture and writes the labels. What follows an accepted record (the station
// clock, the five-minute point, the files) is the caller's business.
class RecordProcessor {
  public:
    // units is read afresh for every record: the rain gauge for the
    // conversion, the unit system for the labels.
    RecordProcessor(StationState& state, StationView& view, const UnitSettings& units = kUsUnits);

    // line: NUL-terminated, without its line end. True when it was a record
    // and was taken; false when it was dropped and nothing changed.
    bool ProcessLine(const char* line);
    // Writes the ten readings of the last record again, in the units chosen
    // now (the gust as it was then, not as a five-minute point cleared it).
    void ShowReadings();

  private:
    bool CopyDigits(const char* line);
    void DecodeFields();
    void UpdateDirection();
    void ConvertUnits();
    void WriteLabels();

    StationState& state_;
    StationView& view_;
    const UnitSettings& units_;
    int directionDecoded_ = -1;
    std::array<double, 10> shown_{};  // the readings last written, in US units  // the direction
                                      // field as decoded, -1 when it did not decode
};
