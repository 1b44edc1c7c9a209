// One QApplication for every window test, on the offscreen platform unless
// the caller chose another.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

QtMessageHandler previousHandler = nullptr;

// The offscreen platform warns about every window it cannot size by hints.
void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (text.contains(QLatin1String("propagateSizeHints"))) return;
  if (previousHandler != nullptr) previousHandler(type, context, text);
}

class QtAppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window is German unless a test loads English; pinned all the same.
    qputenv("LANGUAGE", "de");
    qputenv("LC_ALL", "C.UTF-8");
    previousHandler = qInstallMessageHandler(QuietHandler);
    app_ = std::make_unique<QApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[16] = "window_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

// gtest takes ownership of the environment.
[[maybe_unused]] ::testing::Environment* const kQtApp =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

}  // namespace
