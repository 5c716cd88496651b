// SPDX-License-Identifier: GPL-3.0-or-later
#include "ControlIds.h"
#include "DialogTemplate.h"
#include "ResourceIds.h"

namespace {

using K = ControlKind;
namespace S = ControlStyle;

constexpr uint32_t kValueLabel = S::kLeftNoWordWrap | S::kCenterImage;

// The main window. Order: the button row, the frames, the captions, the
// readings, then the rest; the tab stops are the four visible buttons and the chart.
constexpr ControlTemplate kMainControls[] = {
    {CommandId::kReadWeatherData, K::PushButton, "", 19, 1, 21, 19, S::kTabStop},
    {CommandId::kOptions, K::PushButton, "", 53, 1, 21, 19, S::kTabStop},
    {CommandId::kOk, K::PushButton, "", 85, 1, 21, 19, S::kTabStop | S::kDefault},
    {ResourceId::kHelpCommand, K::PushButton, "", 119, 1, 21, 19, S::kTabStop},
    {CommandId::kReadTestDataFile, K::PushButton, "", 151, 1, 21, 19, S::kDefault | S::kHidden},

    {kNoControlId, K::GroupBox, "Wind (mph)", 13, 23, 93, 177, S::kNone},
    {kNoControlId, K::GroupBox, "Temperature (F)", 123, 23, 73, 75, S::kNone},
    {kNoControlId, K::GroupBox, "Humidity (%)", 123, 125, 75, 75, S::kNone},
    {kNoControlId, K::GroupBox, "Rain (in)", 212, 23, 78, 75, S::kNone},
    {kNoControlId, K::GroupBox, "Pressure (in Hg)", 212, 124, 77, 40, S::kNone},
    {kNoControlId, K::GroupBox, "Plot Colors", 0, 249, 300, 26, S::kNone},

    {kNoControlId, K::Text, "Speed", 38, 110, 66, 8, S::kNone},
    {kNoControlId, K::Text, "Speed Avg 1 Min", 38, 138, 60, 8, S::kNone},
    {kNoControlId, K::Text, "Highest Gust 5 Min", 38, 166, 63, 8, S::kNone},
    {kNoControlId, K::Text, "Outdoor", 129, 34, 25, 8, S::kNone},
    {kNoControlId, K::Text, "Indoor", 129, 63, 20, 8, S::kNone},
    {kNoControlId, K::Text, "Outdoor", 131, 137, 25, 8, S::kNone},
    {kNoControlId, K::Text, "Indoor", 131, 167, 20, 8, S::kNone},
    {kNoControlId, K::Text, "Today", 221, 34, 21, 8, S::kNone},
    {kNoControlId, K::Text, "Long Term", 221, 64, 34, 8, S::kNone},
    {kNoControlId, K::Text, "Records:", 209, 174, 33, 8, S::kNone},

    {ControlId::kWindSpeed, K::Text, "WindSpeed", 38, 118, 66, 20, kValueLabel},
    {ControlId::kWindSpeedAverage, K::Text, "WindSpeedAverage", 38, 146, 66, 20, kValueLabel},
    {ControlId::kGusts, K::Text, "Gusts", 38, 174, 66, 20, kValueLabel},
    {ControlId::kTempOutdoor, K::Text, "TempOutdoor", 129, 44, 66, 20, kValueLabel},
    {ControlId::kTempIndoor, K::Text, "TempIndoor", 129, 71, 66, 20, kValueLabel},
    {ControlId::kHumidityOutdoor, K::Text, "HumidityOutdoor", 131, 146, 66, 20, kValueLabel},
    {ControlId::kHumidityIndoor, K::Text, "HumidityInDoor", 131, 175, 66, 20, kValueLabel},
    {ControlId::kRainTodaysTotal, K::Text, "RainTodaysTotal", 218, 44, 66, 20, kValueLabel},
    {ControlId::kRainLongTermTotal, K::Text, "RainLongTermTotal", 218, 72, 66, 20, kValueLabel},
    {ControlId::kPressure, K::Text, "Pressure", 218, 136, 66, 20, kValueLabel},

    {ControlId::kRecords, K::Text, "Records", 248, 174, 52, 8, S::kCenterImage},
    {ControlId::kDate, K::Text, "Date:", 210, 187, 59, 8, S::kCenterImage},
    {ControlId::kTime, K::Text, "Time", 275, 187, 25, 8, S::kNone},
    {MainWindowId::kBlankLine, K::Text, "", 109, 109, 191, 8, S::kCenterImage},
    {ControlId::kCompass, K::BitmapStatic, "IDB_COMPASS_ROSE", 17, 32, 15, 13, S::kNone},
    {ControlId::kChart, K::Custom, "Custom1", 0, 202, 300, 48, S::kTabStop},
    {ControlId::kPlotLabel1, K::Text, "Plot Color 1", 23, 260, 73, 11, S::kCenterImage},
    {ControlId::kPlotLabel2, K::Text, "Plot Color 2", 111, 260, 73, 11, S::kCenterImage},
    {ControlId::kPlotLabel3, K::Text, "Plot Color 3", 199, 260, 73, 11, S::kCenterImage},
};

constexpr ControlTemplate kOptionsControls[] = {
    {CommandId::kOk, K::PushButton, "OK", 145, 7, 34, 14, S::kDefault | S::kTabStop},
    {CommandId::kCancel, K::PushButton, "Cancel", 145, 24, 34, 14, S::kTabStop},
    {OptionsId::kComPort1, K::RadioButton, "Com 1", 16, 27, 35, 10, S::kGroup},
    {OptionsId::kComPort1 + 1, K::RadioButton, "Com 2", 16, 40, 35, 10, S::kNone},
    {OptionsId::kComPort1 + 2, K::RadioButton, "Com 3", 16, 53, 35, 10, S::kNone},
    {OptionsId::kComPort1 + 3, K::RadioButton, "Com 4", 16, 66, 35, 10, S::kNone},
    {OptionsId::kTempOutdoor, K::CheckBox, "TempOutdoor", 68, 21, 58, 10, S::kGroup | S::kTabStop},
    {OptionsId::kTempIndoor, K::CheckBox, "TempIndoor", 68, 30, 53, 10, S::kTabStop},
    {OptionsId::kHumidityOutdoor, K::CheckBox, "HumidityOutdoor", 68, 39, 66, 10, S::kTabStop},
    {OptionsId::kHumidityIndoor, K::CheckBox, "HumidityIndoor", 68, 48, 61, 10, S::kTabStop},
    {OptionsId::kPressure, K::CheckBox, "Pressure", 68, 57, 43, 10, S::kTabStop},
    {OptionsId::kWindSpeed, K::CheckBox, "WindSpeed", 68, 66, 52, 10, S::kTabStop},
    {OptionsId::kRainTodaysTotal, K::CheckBox, "RainTodaysTotal", 68, 75, 69, 10, S::kTabStop},
    {kNoControlId, K::GroupBox, "Pick Com Port", 7, 7, 52, 80, S::kNone},
    {kNoControlId, K::GroupBox, "Pick 3 Items to Plot", 63, 7, 76, 80, S::kNone},
    {OptionsId::kSaveData, K::CheckBox, "Save Data", 148, 55, 35, 18, S::kMultiline | S::kTabStop},
    // Below the template's controls: the device the chosen Com port opens.
    {kNoControlId, K::Text, "Device for the chosen Com port:", 7, 93, 176, 8, S::kNone},
    {OptionsId::kDevice, K::ComboBox, "", 7, 103, 176, 14, S::kGroup | S::kTabStop},
    // How readings are shown and what the station's rain counts are.
    {OptionsId::kMetric, K::CheckBox, "Metric units (km/h, C, mm, hPa)", 7, 122, 176, 10,
     S::kGroup | S::kTabStop},
    {OptionsId::kRainGaugeMillimetre, K::CheckBox, "Rain gauge counts 0.1 mm (not 0.01 in)", 7, 134,
     176, 10, S::kTabStop},
};

constexpr ControlTemplate kAboutControls[] = {
    {kNoControlId, K::IconStatic, "128", 11, 17, 20, 20, S::kNone},
    {kNoControlId, K::Text, "Nimbulo Version 2.0", 40, 10, 122, 8, S::kNoPrefix},
    {CommandId::kOk, K::PushButton, "OK", 178, 7, 32, 14, S::kDefault | S::kGroup | S::kTabStop},
};

constexpr const char* kDialogFont = "MS Sans Serif";

const DialogTemplate kMain{
    ResourceId::kMainDialog, "Nimbulo", 300, 277, kDialogFont, 8, kMainControls};
const DialogTemplate kOptions{
    ResourceId::kOptionsDialog, "Options", 190, 150, kDialogFont, 8, kOptionsControls};
const DialogTemplate kAbout{
    ResourceId::kAboutDialog, "About Nimbulo", 217, 55, kDialogFont, 8, kAboutControls};

}  // namespace

namespace DialogTemplates {
const DialogTemplate& Main() {
    return kMain;
}
const DialogTemplate& Options() {
    return kOptions;
}
const DialogTemplate& About() {
    return kAbout;
}
}  // namespace DialogTemplates
