#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>

#include "SettingsStore.h"

namespace TestSupport {

std::string Record(const std::array<int, 12>& fields) {
    std::string line = "!!";
    for (int field : fields) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04X", field & 0xFFFF);
        line += digits;
    }
    return line;
}

QString IsolateTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QStringLiteral("%1_%2").arg(info->test_suite_name(), info->name());
    QCoreApplication::setApplicationName(name);
    QFile::remove(SettingsStore().FileName());
    QDir work(QDir::current().absoluteFilePath("../work-" + name));
    work.removeRecursively();
    work.mkpath(".");
    QDir::setCurrent(work.absolutePath());
    return work.absolutePath();
}

QString SettingsFile() { return SettingsStore().FileName(); }

std::string ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

}  // namespace TestSupport
