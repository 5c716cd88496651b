// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFaultBox.h"

#include <QMessageBox>

#include "SerialPort.h"

namespace {
void ShowBox(const QString& caption, const QString& text, bool error) {
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, caption, text,
                    QMessageBox::Ok);
    box.exec();
}
}  // namespace

FileFaultBox::FileFaultBox(QObject* parent) : QObject(parent), present_(&ShowBox) {}

QString FileFaultBox::FaultText(const std::string& file, const std::string& cause) {
    return QStringLiteral("Cannot write %1:\n%2\nNimbulo tries again at every five-minute point.")
        .arg(QString::fromStdString(file), QString::fromStdString(cause));
}

QString FileFaultBox::RecoveredText(const std::string& file) {
    return QStringLiteral("%1 is written again.").arg(QString::fromStdString(file));
}

void FileFaultBox::Report(const std::string& file, const std::string& cause) {
    Present(QString::fromLatin1(SerialPort::kErrorCaption), FaultText(file, cause), true);
}

void FileFaultBox::Recovered(const std::string& file) {
    Present(QStringLiteral("Nimbulo"), RecoveredText(file), false);
}

void FileFaultBox::Present(const QString& caption, const QString& text, bool error) {
    QMetaObject::invokeMethod(
        this, [this, caption, text, error] { present_(caption, text, error); },
        Qt::QueuedConnection);
}
