// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Shows a failed port operation the way the station's users know it: a
// modal critical message box without an owner window, captioned
// "Application Error". Returns when the user has closed it, so a monitor
// thread that reported the failure waits until then.
void ShowPortErrorBox(const QString& caption, const QString& text);
