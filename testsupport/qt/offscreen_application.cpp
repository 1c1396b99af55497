// One QApplication for a window test executable, on the offscreen platform,
// with the per-user folders in a temporary folder. Linked in as an object
// library: its global test environment registers itself.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        runtime_ = std::make_unique<QTemporaryDir>();
        QFile::setPermissions(runtime_->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                    QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(runtime_->path() + "/config"));
        static int argc = 1;
        static char name[] = "window_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
