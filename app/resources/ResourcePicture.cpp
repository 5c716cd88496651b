// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>

#include "ResourceIds.h"

QPixmap ResourcePicture(const QString& path) {
    // Above a device pixel ratio of 1 the double-size drawing is sharper
    // than the plain one scaled up.
    const QString doubled =
        QString(path).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
    if (qApp && qApp->devicePixelRatio() > 1.0 && QFile::exists(doubled)) {
        QPixmap picture(doubled);
        picture.setDevicePixelRatio(2.0);
        return picture;
    }
    return QPixmap(path);
}
