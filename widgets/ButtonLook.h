// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which of the three looks an icon button shows, from the pointer state it
// keeps and the pressed and enabled states of the moment.
struct ButtonLook {
    enum class Kind {
        Normal,   // normal colours, no border, normal icon
        Hover,    // active colours, raised border, active icon
        Pressed,  // active colours, sunken border, active icon moved by (1, 1)
    };

    Kind kind = Kind::Normal;
    bool disabled = false;  // icon and caption drawn greyed, in any look
    // A frame inside the border while the button has the focus that came from
    // the keyboard; a click gives focus without one.
    bool focusFrame = false;

    static ButtonLook Choose(bool hover, bool pressed, bool disabled, bool keyboardFocus = false);

    // Active colours and the active icon.
    bool Active() const { return kind != Kind::Normal; }
    bool Pressed() const { return kind == Kind::Pressed; }

    bool operator==(const ButtonLook&) const = default;
};
