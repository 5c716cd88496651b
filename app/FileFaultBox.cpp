// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileFaultBox.h"

#include <filesystem>

#include "SerialPort.h"

namespace {
// The files are named relative to the working folder, which a user of the
// window never sees.
QString Absolute(const std::string& file) {
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::absolute(file, ignored);
    return QString::fromStdString((path.empty() ? file : path.lexically_normal().string()));
}

}  // namespace

FileFaultBox::FileFaultBox(QObject* parent) : QObject(parent) {}

QString FileFaultBox::FaultText(const std::string& file, const std::string& cause) {
    return QStringLiteral("Cannot write %1:\n%2\nNimbulo tries again at every five-minute point.")
        .arg(Absolute(file), QString::fromStdString(cause));
}

QString FileFaultBox::RecoveredText(const std::string& file) {
    return QStringLiteral("%1 is written again.").arg(Absolute(file));
}

void FileFaultBox::Report(const std::string& file, const std::string& cause) {
    Present("cannot write: " + QString::fromStdString(cause),
            QString::fromLatin1(SerialPort::kErrorCaption), FaultText(file, cause), true);
}

void FileFaultBox::Recovered(const std::string& file) {
    Present(QStringLiteral("written again"), QStringLiteral("Nimbulo"), RecoveredText(file), false);
}

void FileFaultBox::Present(const QString& cause, const QString& caption, const QString& text,
                           bool error) {
    QMetaObject::invokeMethod(
        this,
        [this, cause, caption, text, error] {
            if (present_)
                present_(cause, caption, text, error);
            else
                qWarning("%s", qPrintable(text));
        },
        Qt::QueuedConnection);
}
