// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Asks the desktop's notification service (org.freedesktop.Notifications on
// the session bus) to show summary and body. The call does not wait for an
// answer: without a bus or a service nothing happens and nothing blocks.
// critical marks it urgent, so it stays until it is seen.
void SendDesktopNotification(const QString& summary, const QString& body, bool critical);

// Why no notification can be shown now ("no session bus", "no notification
// service on the session bus"), or empty when the service is there. Asks the
// bus, so it waits a moment: for a test, not for every notice.
QString DesktopNotificationProblem();
