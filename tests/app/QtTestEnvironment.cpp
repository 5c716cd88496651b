// Every app test runs inside one QApplication, with the settings in a
// temporary configuration folder and the files in a temporary working folder.

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TestSupport.h"

namespace {

class QtTestEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!std::getenv("QT_QPA_PLATFORM"))
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        scratch_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(scratch_->isValid());
        QDir(scratch_->path()).mkpath("config");
        QDir(scratch_->path()).mkpath("work");
        setenv("XDG_CONFIG_HOME", QDir(scratch_->path()).filePath("config").toLocal8Bit().constData(), 1);
        QDir::setCurrent(QDir(scratch_->path()).filePath("work"));
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        QDir::setCurrent(QDir::tempPath());
        scratch_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "nimbulo-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QTemporaryDir> scratch_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace
