// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

// What record processing needs from the window. The real window implements it
// with Qt; tests and the headless logger use their own.
class StationView {
  public:
    virtual ~StationView() = default;

    // Sets the text of the static control with this dialog id.
    virtual void SetLabelText(int controlId, std::string_view text) = 0;
    // Shows the compass picture with this name ("N" ... "NNW", "IDB_COMPASS_ROSE").
    virtual void ShowCompassPicture(std::string_view name) = 0;
    // Handles at most one pending user-interface event and never waits.
    // A nested record may be processed inside it.
    virtual void PumpOneMessage() = 0;
};
