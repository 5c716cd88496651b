// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

void SendDesktopNotification(const QString& summary, const QString& body, bool critical) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return;
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                                       "/org/freedesktop/Notifications",
                                                       "org.freedesktop.Notifications", "Notify");
    QVariantMap hints;
    hints.insert("urgency", QVariant::fromValue(uchar(critical ? 2 : 1)));
    hints.insert("desktop-entry", QStringLiteral("nimbulo"));
    call << QStringLiteral("Nimbulo") << uint(0) << QStringLiteral("nimbulo") << summary << body
         << QStringList() << hints << int(-1);
    // The answer (an id) is of no use here; a missing service answers an error nobody waits for.
    bus.send(call);
}

QString DesktopNotificationProblem() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return "no session bus";
    const QDBusReply<bool> there =
        bus.interface()->isServiceRegistered("org.freedesktop.Notifications");
    if (!there.isValid() || !there.value()) {
        // A service that starts on demand is there too.
        const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
        if (!activatable.isValid() ||
            !activatable.value().contains("org.freedesktop.Notifications"))
            return "no notification service on the session bus";
    }
    return {};
}
