// Stopping a run from the window, and the window's own log file kept out of
// its runs.
#include "tests/ui/window_fixture.h"

namespace velmora::testing {
namespace {

using RunStopTest = WindowTest;

// During a run the exit button reads "Abbrechen"; pressed after "&Alle" it
// stops the run before the next step, and it reads "E&nde" again after.
TEST_F(RunStopTest, AbbrechenStopsTheRunAfterAlle) {
  for (const char* name : {"a1.txt", "a2.txt", "a3.txt"}) WriteFile(InTree(name), name);
  Start();
  Search(Tree());
  MarkAll();
  ChooseOperation(0, 1, "a", "x");

  ModalAnswerer answers;
  answers.Then("Dialog", "&Alle", [&](QWidget*) {
    EXPECT_EQ(Text("cmdExit"), "Abbrechen");
    MouseClick(Find<QPushButton>("cmdExit"));
  });
  Click("CmdRename");
  EXPECT_TRUE(answers.AllAnswered());
  EXPECT_EQ(FoundPaths(),
            (std::vector<std::string>{InTree("a2.txt"), InTree("a3.txt"), InTree("x1.txt")}));
  EXPECT_EQ(Text("cmdExit"), "E&nde");

  // The next run starts afresh and goes to the end.
  ModalAnswerer again;
  again.Then("Dialog", "&Alle");
  MarkAll();
  Click("CmdRename");
  EXPECT_TRUE(FileExists(InTree("x2.txt")) && FileExists(InTree("x3.txt")));
}

TEST_F(RunStopTest, LogFileIsNeverAStep) {
  WriteFile(AppFolder() + "/Log.txt", "other");
  Start();
  WriteFile(window_->logPath(), "log\r\n");
  Search(AppFolder());
  MarkAll();
  ChooseOperation(0, 1, "Log", "Lug");
  ModalAnswerer answers;
  answers.Then("Dialog", "&Alle");
  Click("CmdRename");
  EXPECT_TRUE(FileExists(window_->logPath()));
  EXPECT_TRUE(FileExists(AppFolder() + "/Lug.txt"));
}

}  // namespace
}  // namespace velmora::testing
