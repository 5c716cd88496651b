// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortErrorBox.h"

#include <QMessageBox>

void ShowPortErrorBox(const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok);
    box.exec();
}
