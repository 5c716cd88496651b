// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

#include "StationView.h"

// The window's side of processing when there is no window: labels and the
// compass picture go nowhere and there are no events to pump.
class HeadlessView : public StationView {
  public:
    void SetLabelText(int, std::string_view) override {}
    void ShowCompassPicture(std::string_view) override {}
    void PumpOneMessage() override {}
};
