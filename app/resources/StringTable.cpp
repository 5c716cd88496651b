#include "ResourceIds.h"

QString LoadResourceString(int id) {
    switch (id) {
    case ResourceId::kAboutMenuString:
        return QStringLiteral("&About");
    default:
        return {};
    }
}
