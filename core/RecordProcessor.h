// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MinuteCycleHook.h"
#include "StationState.h"
#include "StationView.h"

// Checks and decodes one data-logger record ("!!" + 40, 44 or 48 hex digits),
// updates the readings, the gust, the direction average and the compass
// picture, writes the labels and hands over to the minute cycle.
class RecordProcessor {
  public:
    RecordProcessor(StationState& state, StationView& view);

    void SetMinuteCycle(MinuteCycleHook* hook) { minuteCycle_ = hook; }

    // line: NUL-terminated, without its line end.
    void ProcessLine(const char* line, bool saveData);

  private:
    bool CopyDigits(const char* line);
    void DecodeFields();
    void UpdateDirection();
    void ConvertUnits();
    void WriteLabels();

    StationState& state_;
    StationView& view_;
    MinuteCycleHook* minuteCycle_ = nullptr;
    int directionDecoded_ = -1;  // the direction field as decoded, -1 when it did not decode
};
