// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonLook.h"

ButtonLook ButtonLook::Choose(bool hover, bool pressed, bool disabled, bool keyboardFocus) {
    ButtonLook look;
    look.kind = pressed ? Kind::Pressed : hover ? Kind::Hover : Kind::Normal;
    look.disabled = disabled;
    look.focusFrame = keyboardFocus;
    return look;
}
