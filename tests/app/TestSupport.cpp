// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "SettingsStore.h"
#include "StationWindow.h"

namespace TestSupport {

std::string Record(const std::array<int, 12>& fields) {
    std::string line = "!!";
    for (int field : fields) line += QString::asprintf("%04X", field & 0xFFFF).toStdString();
    return line;
}

void IsolateTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString name = QStringLiteral("%1_%2").arg(info->test_suite_name(), info->name());
    QCoreApplication::setApplicationName(name);
    QFile::remove(SettingsFile());
    // The working folders sit next to the configuration folder in the scratch folder.
    QDir work(qEnvironmentVariable("XDG_CONFIG_HOME") + "/../work-" + name);
    work.removeRecursively();
    work.mkpath(".");
    QDir::setCurrent(work.absolutePath());
}

QString SettingsFile() {
    return SettingsStore().FileName();
}

void Store(const QString& key, const QVariant& value) {
    QSettings(SettingsFile(), QSettings::IniFormat).setValue(key, value);
}

QString Text(const StationWindow& window, int id) {
    return static_cast<QLabel*>(window.Control(id))->text();
}

std::string ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    if (done()) return true;
    QEventLoop loop;
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    const QMetaObject::Connection idle = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (done()) loop.quit();
        });
    loop.exec();
    QObject::disconnect(idle);
    return done();
}

}  // namespace TestSupport

namespace {

class QtTestEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ASSERT_TRUE(scratch_.isValid());
        setenv("XDG_CONFIG_HOME", QFile::encodeName(scratch_.filePath("config")).constData(), 1);
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        scratch_.remove();
    }

  private:
    int argc_ = 1;
    char* argv_[2] = {const_cast<char*>("nimbulo-tests"), nullptr};
    QTemporaryDir scratch_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace
