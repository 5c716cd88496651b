// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonLook.h"

ButtonLook ButtonLook::Choose(bool hover, bool pressed, bool disabled) {
    ButtonLook look;
    look.kind = pressed ? Kind::Pressed : hover ? Kind::Hover : Kind::Normal;
    look.disabled = disabled;
    return look;
}
