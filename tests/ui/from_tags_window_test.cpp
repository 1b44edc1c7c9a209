// "Name aus Tags" run from the window: the tags read for the run, a file
// without the field reported at its own location, the others renamed.
#include <filesystem>

#include "engine/error_reporter.h"
#include "tests/support/shell_tools.h"
#include "tests/ui/window_fixture.h"

namespace velmora::testing {
namespace {

TEST_F(WindowTest, NameFromTagsRunReportsAFileWithoutTheField) {
  if (!Shell("command -v id3v2"))
    GTEST_SKIP() << "id3v2 is not installed (scripts/install-deps.sh)";
  WriteFile(InTree("a.mp3"), std::string(2000, '\x55'));
  ASSERT_TRUE(Shell("id3v2 -2 -t 'AC/DC Live' '" + InTree("a.mp3") + "'"));
  WriteFile(InTree("b.txt"), "b");
  Start();
  Trigger("OptLogFile");
  Prepare(18, "{Titel}");
  QString text;
  ModalAnswerer answers{{"Dialog", "&Alle"},
                        {"MessageBox", "OK", [&](QWidget* box) { text = MessageText(box); }}};
  Click("CmdRename");
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_TRUE(text.contains("Feld fehlt in der Datei")) << text.toStdString();
  EXPECT_NE(ReadFile(window_->logPath())
                .find("Location:  " + std::to_string(LocationNumber(Location::kFromTags))),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(InTree("AC_DC Live.mp3")));
  EXPECT_EQ(ReadFile(InTree("b.txt")), "b");
}

}  // namespace
}  // namespace velmora::testing
