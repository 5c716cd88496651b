// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResourceIds.h"

QString LoadResourceString(int id) {
    switch (id) {
        case ResourceId::kAboutMenuString:
            return QStringLiteral("&About");
        default:
            return {};
    }
}
