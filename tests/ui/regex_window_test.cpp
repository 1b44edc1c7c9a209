// "Ersetzen (regulärer Ausdruck)" run from the window: a pattern that
// reaches its limit shows one box for the whole run, logged at Location::kRegexReplace.
#include <QLabel>
#include <filesystem>

#include "engine/error_reporter.h"
#include "tests/ui/window_fixture.h"

namespace velmora::testing {
namespace {

TEST_F(WindowTest, RegexAtItsLimitShowsOneBoxForTheRun) {
  const std::string slow = std::string(40, 'a') + "b";
  for (const char* tail : {"1", "2", "3"}) WriteFile(InTree(slow + tail), "x");
  Start();
  Trigger("OptLogFile");
  Prepare(19, "(a+)+\\d$", "x");
  // No file is renamed, so no question; any box the run shows is read.
  QStringList texts;
  const auto read = [&](QWidget* box) { texts << MessageText(box); };
  ModalAnswerer answers{{"MessageBox", "OK", read}, {"MessageBox", "OK", read}};
  Click("CmdRename");
  EXPECT_EQ(texts.filter("(a+)+\\d$").size(), 1) << texts.join("|").toStdString();
  EXPECT_NE(ReadFile(window_->logPath())
                .find("Location:  " + std::to_string(LocationNumber(Location::kRegexReplace))),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(InTree(slow + "3")));
}

}  // namespace
}  // namespace velmora::testing
