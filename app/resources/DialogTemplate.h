// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

// A dialog described as data, the way the resource compiler would hold it:
// controls in template order (which is also the tab order), with rectangles
// in dialog units. DialogBuilder turns one into widgets.

enum class ControlKind {
    PushButton,
    GroupBox,
    Text,          // static text
    BitmapStatic,  // a picture that sizes the control to itself
    IconStatic,    // an icon that sizes the control to itself
    Custom,        // a window of a registered class; the owner supplies the widget
    RadioButton,   // automatic radio button
    CheckBox,      // automatic check box
    ComboBox,      // drop-down list with an edit field
};

namespace ControlStyle {
constexpr uint32_t kNone = 0;
constexpr uint32_t kTabStop = 1u << 0;
constexpr uint32_t kGroup = 1u << 1;           // starts a group (radio buttons up to the next one)
constexpr uint32_t kHidden = 1u << 2;          // created without the visible style
constexpr uint32_t kDefault = 1u << 3;         // default push button
constexpr uint32_t kCenterImage = 1u << 4;     // text centred vertically, single line
constexpr uint32_t kNoPrefix = 1u << 5;        // '&' shown as it is
constexpr uint32_t kMultiline = 1u << 6;       // button text may wrap
constexpr uint32_t kLeftNoWordWrap = 1u << 7;  // single-line text, clipped
}  // namespace ControlStyle

inline constexpr int kNoControlId = -1;

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // caption, or the resource name of a picture
    int x, y, width, height;
    uint32_t style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // client area in dialog units
    const char* fontFace;
    int pointSize;
    std::span<const ControlTemplate> controls;
};

namespace DialogTemplates {
const DialogTemplate& Main();     // 102
const DialogTemplate& Options();  // 130
const DialogTemplate& About();    // 100
}  // namespace DialogTemplates
