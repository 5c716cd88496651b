// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonHover.h"

HoverActions ButtonHover::PointerMoved(bool inside, bool leftHeld) {
    HoverActions actions;
    if (leftHeld && !hover) {
        return actions;
    }
    if (!capture) {
        if (inside) {
            hover = true;
            capture = true;
            actions.takeCapture = true;
            actions.repaint = true;
        } else if (hover) {
            // Without tracking the pointer can still be seen leaving (after a
            // click); the look must not stay lit on a button left behind.
            hover = false;
            actions.repaint = true;
        }
        return actions;
    }
    if (inside) {
        return actions;
    }
    if (hover) {
        hover = false;
        actions.repaint = true;
    }
    if (!leftHeld) {
        capture = false;
        actions.releaseCapture = true;
    }
    return actions;
}

HoverActions ButtonHover::FocusLost() {
    HoverActions actions;
    if (hover) {
        hover = false;
        actions.repaint = true;
    }
    return actions;
}

HoverActions ButtonHover::CaptureLost() {
    HoverActions actions;
    if (hover) {
        actions.releaseCapture = true;
        actions.repaint = true;
    }
    capture = false;
    return actions;
}
