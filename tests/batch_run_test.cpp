// Runs and undo on real temporary folders, with scripted answers and the real
// error reporter and log file.
#include "engine/batch_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/undo.h"
#include "services/error_log.h"
#include "services/posix_file_system.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::WriteFile;
using Names = std::vector<std::string>;

struct RealRun {
  explicit RealRun(FileSystem* disk = nullptr)
      : log(logDir / "LogFile.Log", screen),
        errorLog(screen, log),
        services{
            disk != nullptr ? *disk : posix, dialogs, screen, errorLog, log, &screen, &screen} {
    state.context.destPath = dest.path();
    services.planDisk = &planDisk;
  }
  std::vector<FoundEntry> Found(const Names& names, const std::string& content = "") {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) {
      if (!testing::FileExists(dir / name)) WriteFile(dir / name, content.empty() ? name : content);
      found.push_back({dir / name, true});
    }
    return found;
  }
  void Slot(int i, int code, std::string first, std::string second) {
    job.slotCode[i] = code;
    job.txtSource[i] = std::move(first);
    job.txtDestination[i] = std::move(second);
  }
  void Run(RunKind kind, const std::vector<FoundEntry>& found, std::deque<Answer> answers,
           bool logOn = false) {
    dialogs.dialogAnswers = std::move(answers);
    RunCommand(kind, state, job, found, services, logOn);
  }
  void Undo(std::deque<Answer> answers) {
    dialogs.dialogAnswers = std::move(answers);
    MnuUndo_Click(state, services);
  }
  static Names Files(const testing::TempFolder& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Log() const { return ReadFile(logDir / "LogFile.Log"); }
  // The reported message of a failed commit.
  std::string CommitMessage(const std::string& from, const std::string& to, const char* number,
                            const char* text, const std::string& description) const {
    return "Konnte \r\n" + from + "\r\n nicht zu \r\n" + to +
           "\r\numbenennen\r\n\r\nFehler: " + number + "\r\n" + text + "\r\n\r\n( " + description +
           " )";
  }

  testing::TempFolder dir, dest, logDir;
  PosixFileSystem posix;
  PosixFileSystem planDisk;
  testing::ScriptedDialogs dialogs;
  testing::Recorders screen;
  FileLogWriter log;
  ErrorLog errorLog;
  RunServices services;
  RunState state;
  RenameJob job;
};

TEST(RealRun, WorkedExampleTwoSlotsWithLogThenUndo) {
  RealRun r;
  std::vector<FoundEntry> found = r.Found({"a.txt", "c.txt"});
  found[1].marked = false;
  r.Slot(0, 1, "a", "b");
  r.Slot(1, 11, "1", ".txt");
  r.job.auswahlText[1] = "Nummer einfügen vor ...";
  r.Run(RunKind::kRename, found, {Answer::kYes, Answer::kYes}, /*logOn=*/true);
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"b1.txt", "c.txt"}));
  const std::string secondStep =
      "--- Velmora ---\r\nrenameFiles= True\r\nmoveFiles= False\r\ncopyFiles= False\r\n"
      "Auswahl= Nummer einfügen vor ...\r\nTxtSource= 1\r\nTxtDest= .txt\r\nnameSrc= " +
      r.dir / "b.txt" + "\r\nnameDest= " + r.dir / "b1.txt" + "\r\n";
  const std::string log = r.Log();
  ASSERT_GT(log.size(), secondStep.size());
  EXPECT_EQ(log.substr(log.size() - secondStep.size()), secondStep);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 18);

  r.Undo({Answer::kYes, Answer::kYes});
  EXPECT_EQ(r.dialogs.asked.back(), r.dir / "b.txt -> " + r.dir / "a.txt");
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"a.txt", "c.txt"}));
  EXPECT_EQ(r.state.undo.Count(), 0);
}

TEST(RealRun, CopyAndMoveIntoADestinationAndBack) {
  RealRun r;
  r.Slot(0, 3, "_1", ".");
  r.Slot(1, 3, "_2", ".");
  r.Run(RunKind::kCopy, r.Found({"a.txt"}), {Answer::kYes, Answer::kYes});
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"a.txt"}));
  EXPECT_EQ(RealRun::Files(r.dest), (Names{"a_1.txt", "a_1_2.txt"}));

  r.Slot(1, 0, "", "");
  r.Run(RunKind::kMove, r.Found({"b.txt", "c.txt"}), {Answer::kAll});
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"a.txt"}));

  // Moves come back; copies go back onto what is there through Dialog2.
  r.dialogs.dialog2Answers = {Answer::kAll};
  r.Undo({Answer::kAll});
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(RealRun::Files(r.dest), (Names{"a_1.txt", "a_1_2.txt"}));
  EXPECT_EQ(r.dialogs.unexpected, 0);
}

TEST(RealRun, Dialog2AnswersAndUndoCancelledPartWay) {
  RealRun r;
  r.Slot(0, 16, "", "");
  for (const char* name : {"A.TXT", "B.TXT", "C.TXT", "D.TXT"}) WriteFile(r.dir / name, "old");
  r.dialogs.dialog2Answers = {Answer::kYes, Answer::kCancel, Answer::kAll};
  r.Run(RunKind::kRename, r.Found({"a.txt", "b.txt", "c.txt", "d.txt"}, "new"), {Answer::kAll});
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"A.TXT", "B.TXT", "C.TXT", "D.TXT", "b.txt"}));
  EXPECT_EQ(ReadFile(r.dir / "A.TXT") + ReadFile(r.dir / "B.TXT") + ReadFile(r.dir / "D.TXT"),
            "newoldnew");
  EXPECT_EQ(r.screen.messages.size(), 1u);
  EXPECT_EQ(r.dialogs.unexpected, 0);

  r.Undo({Answer::kYes, Answer::kNo, Answer::kCancel});
  EXPECT_EQ(RealRun::Files(r.dir), (Names{"A.TXT", "B.TXT", "C.TXT", "b.txt", "d.txt"}));
  EXPECT_EQ(r.state.undo.Count(), 3);
}

// The platform reports a step onto its own path as "exists": without the
// mend, "&Ja" in Dialog2 would delete the only file.
TEST(RealRun, DestinationNamingTheSourceIsNeverDeleted) {
  RealRun r;
  r.Slot(0, 16, "", "");  // already upper case: the same path
  r.dialogs.dialog2Answers = {Answer::kYes};
  r.Run(RunKind::kRename, r.Found({"X.TXT"}), {Answer::kYes});
  EXPECT_EQ(r.dialogs.asked, Names{r.dir / "X.TXT -> " + r.dir / "X.TXT"});
  EXPECT_EQ(RealRun::Files(r.dir), Names{"X.TXT"});
  EXPECT_EQ(ReadFile(r.dir / "X.TXT"), "X.TXT");
}

TEST(RealRun, DiskFullIsReportedAndLeavesNoHalfCopy) {
  RealRun r;
  r.Slot(0, 3, "_1", ".");
  const std::vector<FoundEntry> found = r.Found({"big.bin"}, std::string(1 << 20, 'b'));
  {
    testing::FileSizeLimit limit(64 * 1024);
    r.Run(RunKind::kCopy, found, {Answer::kYes});
  }
  EXPECT_TRUE(RealRun::Files(r.dest).empty());
  const std::string message = r.CommitMessage(r.dir / "big.bin", r.dest / "big_1.bin", " 61",
                                              "Festplatte voll", std::strerror(EFBIG));
  EXPECT_EQ(r.screen.messages, Names{message});
  EXPECT_EQ(r.Log(), "Location:  20\r\n" + message + "\r\n");
}

TEST(RealRun, ReadOnlyFolderIsReported) {
  testing::FakeFileSystem fake;  // root may write anywhere: the fake refuses then
  const bool root = ::geteuid() == 0;
  RealRun r(root ? &fake : nullptr);
  const std::vector<FoundEntry> found = r.Found({"a"});
  fake.AddFile(found[0].path);
  fake.Fail("Move", {70, std::strerror(EACCES)});
  ::chmod(r.dir.path().c_str(), 0555);
  r.Slot(0, 16, "", "");
  r.Run(RunKind::kRename, found, {Answer::kYes});
  ::chmod(r.dir.path().c_str(), 0755);
  const std::string message = r.CommitMessage(r.dir / "a", r.dir / "A", " 70",
                                              "Zugriff nicht erlaubt", std::strerror(EACCES));
  EXPECT_EQ(r.screen.messages, Names{message});
  EXPECT_EQ(r.Log(), "Location:  20\r\n" + message + "\r\n");
}

// On a real folder: a swap and a three-cycle go through a visible rename
// temporary and come back by undo; none of the temporaries stays.
TEST(RealRun, ResolvedCyclesAndTheirUndo) {
  for (const Names& names : {Names{"A - B.mp3", "B - A.mp3"},
                             Names{"A - B - C.mp3", "B - C - A.mp3", "C - A - B.mp3"}}) {
    RealRun r;
    r.state.resolveChains = true;
    r.Slot(0, 14, " - ", "");
    r.Run(RunKind::kRename, r.Found(names), {Answer::kAll});
    EXPECT_EQ(RealRun::Files(r.dir), names);
    EXPECT_EQ(ReadFile(r.dir / names[1]), names[0]);
    EXPECT_TRUE(r.screen.errors.empty());
    r.Undo({Answer::kAll});
    EXPECT_EQ(RealRun::Files(r.dir), names);
    EXPECT_EQ(ReadFile(r.dir / names[0]), names[0]);
    EXPECT_EQ(r.dialogs.unexpected, 0);
  }
}

}  // namespace
}  // namespace velmora
