// Runs and undo on real temporary folders, with scripted answers and the real
// error reporter and log file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/batch_run.h"
#include "engine/undo.h"
#include "services/error_log.h"
#include "services/posix_file_system.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using Names = std::vector<std::string>;

// Everything real but the questions: the disk, the reporter, the log file.
struct RealRun {
  explicit RealRun(FileSystem* disk = nullptr)
      : log(logDir / "LogFile.Log", screen),
        errorLog(screen, log),
        services{disk != nullptr ? *disk : posix, dialogs, screen, errorLog, log, &screen, &screen} {
    state.context.destPath = dest.path();
  }
  std::vector<FoundEntry> Found(const Names& names, const std::string& content = "") {
    std::vector<FoundEntry> found;
    for (const std::string& name : names) {
      if (!FileExists(dir / name)) WriteFile(dir / name, content.empty() ? name : content);
      found.push_back({dir / name, true});
    }
    return found;
  }
  void Slot(int i, int code, std::string first, std::string second) {
    job.slotCode[i] = code;
    job.txtSource[i] = std::move(first);
    job.txtDestination[i] = std::move(second);
  }
  void Run(RunKind kind, const std::vector<FoundEntry>& found, std::deque<int> answers,
           bool logOn = false) {
    dialogs.dialogAnswers = std::move(answers);
    RunCommand(kind, state, job, found, services, logOn);
  }
  void Undo(std::deque<int> answers) {
    dialogs.dialogAnswers = std::move(answers);
    MnuUndo_Click(state, services);
  }
  Names Files(const TempFolder& folder) const {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Log() const { return ReadFile(logDir / "LogFile.Log"); }

  TempFolder dir, dest, logDir;
  PosixFileSystem posix;
  testing::ScriptedDialogs dialogs;
  testing::Recorders screen;
  FileLogWriter log;
  ErrorLog errorLog;
  RunServices services;
  RunState state;
  RenameJob job;
};

TEST(RealRun, WorkedExampleRenameTwoSlotsThenUndo) {
  RealRun r;
  std::vector<FoundEntry> found = r.Found({"a.txt", "c.txt"});
  found[1].marked = false;
  r.Slot(0, 1, "a", "b");
  r.job.auswahlText[0] = "Text ersetzen / löschen";
  r.Slot(1, 11, "1", ".txt");
  r.job.auswahlText[1] = "Nummer einfügen vor ...";
  r.Run(RunKind::kRename, found, {kAnswerYes, kAnswerYes}, /*logOn=*/true);
  EXPECT_EQ(r.Files(r.dir), (Names{"b1.txt", "c.txt"}));
  EXPECT_EQ(ReadFile(r.dir / "b1.txt"), "a.txt");
  EXPECT_EQ(r.Log(),
            "--- Velmora ---\r\nrenameFiles= True\r\nmoveFiles= False\r\ncopyFiles= False\r\n"
            "Auswahl= Text ersetzen / löschen\r\nTxtSource= a\r\nTxtDest= b\r\n"
            "nameSrc= " + r.dir / "a.txt" + "\r\nnameDest= " + r.dir / "b.txt" + "\r\n"
            "--- Velmora ---\r\nrenameFiles= True\r\nmoveFiles= False\r\ncopyFiles= False\r\n"
            "Auswahl= Nummer einfügen vor ...\r\nTxtSource= 1\r\nTxtDest= .txt\r\n"
            "nameSrc= " + r.dir / "b.txt" + "\r\nnameDest= " + r.dir / "b1.txt" + "\r\n");

  r.Undo({kAnswerYes, kAnswerYes});
  EXPECT_EQ(r.Files(r.dir), (Names{"a.txt", "c.txt"}));
  EXPECT_EQ(r.state.undo.Count(), 0);
}

TEST(RealRun, CopyAndMoveIntoADestinationAndBack) {
  RealRun r;
  r.Slot(0, 3, "_1", ".");
  r.Slot(1, 3, "_2", ".");
  r.Run(RunKind::kCopy, r.Found({"a.txt"}), {kAnswerYes, kAnswerYes});
  EXPECT_EQ(r.Files(r.dir), (Names{"a.txt"}));
  EXPECT_EQ(r.Files(r.dest), (Names{"a_1.txt", "a_1_2.txt"}));

  r.Slot(1, 0, "", "");
  r.Run(RunKind::kMove, r.Found({"b.txt", "c.txt"}), {kAnswerAll});
  EXPECT_EQ(r.Files(r.dir), (Names{"a.txt"}));
  EXPECT_EQ(r.Files(r.dest), (Names{"a_1.txt", "a_1_2.txt", "b_1.txt", "c_1.txt"}));

  // Moves go back; the copies go back onto the originals through Dialog2.
  r.dialogs.dialog2Answers = {kAnswerAll};
  r.Undo({kAnswerAll});
  EXPECT_EQ(r.Files(r.dir), (Names{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(r.Files(r.dest), (Names{"a_1.txt", "a_1_2.txt"}));
  EXPECT_EQ(r.dialogs.unexpected, 0);
}

TEST(RealRun, ExistingTargetAnswersInDialog2) {
  RealRun r;
  r.Slot(0, 16, "", "");
  WriteFile(r.dir / "A.TXT", "old A");
  WriteFile(r.dir / "B.TXT", "old B");
  WriteFile(r.dir / "C.TXT", "old C");
  WriteFile(r.dir / "D.TXT", "old D");
  r.dialogs.dialog2Answers = {kAnswerYes, kAnswerCancel, kAnswerAll};
  r.Run(RunKind::kRename, r.Found({"a.txt", "b.txt", "c.txt", "d.txt"}, "new"), {kAnswerAll});
  EXPECT_EQ(r.Files(r.dir), (Names{"A.TXT", "B.TXT", "C.TXT", "D.TXT", "b.txt"}));
  EXPECT_EQ(ReadFile(r.dir / "A.TXT"), "new");
  EXPECT_EQ(ReadFile(r.dir / "B.TXT"), "old B");
  EXPECT_EQ(ReadFile(r.dir / "D.TXT"), "new");  // "&Alle" asked no more
  EXPECT_EQ(r.dialogs.unexpected, 0);
  EXPECT_EQ(r.screen.messages,
            (Names{"Konnte \r\n" + r.dir / "b.txt" + "\r\n nicht zu \r\n" + r.dir / "B.TXT" +
                   "\r\numbenennen"}));
}

TEST(RealRun, UndoCancelledPartWay) {
  RealRun r;
  r.Slot(0, 12, "1", "1");
  r.Run(RunKind::kRename, r.Found({"a", "b", "c"}), {kAnswerAll});
  EXPECT_EQ(r.Files(r.dir), (Names{"1a", "2b", "3c"}));
  r.Undo({kAnswerYes, kAnswerCancel});
  EXPECT_EQ(r.Files(r.dir), (Names{"1a", "2b", "c"}));
  r.Undo({kAnswerYes, kAnswerYes});
  EXPECT_EQ(r.Files(r.dir), (Names{"a", "b", "c"}));
}

TEST(RealRun, MissingSourcePassesSilently) {
  RealRun r;
  r.Slot(0, 16, "", "");
  r.Run(RunKind::kRename, {{r.dir / "gone.txt", true}}, {kAnswerYes});
  EXPECT_TRUE(r.screen.messages.empty());
  EXPECT_FALSE(FileExists(r.logDir / "LogFile.Log"));
}

// A step whose result is its own path must not go through the overwrite
// question: "&Ja" there would delete the only file.
TEST(RealRun, DestinationNamingTheSourceIsNeverDeleted) {
  RealRun r;
  r.Slot(0, 1, "x", "x");
  r.dialogs.dialog2Answers = {kAnswerYes};
  r.Run(RunKind::kRename, r.Found({"x.txt"}), {kAnswerYes});
  EXPECT_EQ(r.Files(r.dir), (Names{"x.txt"}));

  // The target is another link of the same file.
  WriteFile(r.dir / "a", "data");
  ::link((r.dir / "a").c_str(), (r.dir / "b").c_str());
  r.Slot(0, 1, "a", "b");
  r.Run(RunKind::kRename, {{r.dir / "a", true}}, {kAnswerYes});
  EXPECT_EQ(ReadFile(r.dir / "a"), "data");
  EXPECT_EQ(ReadFile(r.dir / "b"), "data");
  EXPECT_EQ(r.Files(r.dir), (Names{"a", "b", "x.txt"}));
}

TEST(RealRun, DiskFullIsReportedAndLeavesNoHalfCopy) {
  RealRun r;
  r.Slot(0, 3, "_1", ".");
  const std::vector<FoundEntry> found = r.Found({"big.bin"}, std::string(1 << 20, 'b'));
  {
    testing::FileSizeLimit limit(64 * 1024);
    r.Run(RunKind::kCopy, found, {kAnswerYes});
  }
  EXPECT_TRUE(r.Files(r.dest).empty());
  EXPECT_EQ(ReadFile(r.dir / "big.bin").size(), 1u << 20);
  const std::string message = "Konnte \r\n" + r.dir / "big.bin" + "\r\n nicht zu \r\n" +
                              r.dest / "big_1.bin" + "\r\numbenennen\r\n\r\nFehler:  61\r\n" +
                              "Festplatte voll\r\n\r\n( " + std::strerror(EFBIG) + " )";
  EXPECT_EQ(r.screen.messages, (Names{message}));
  EXPECT_EQ(r.Log(), "Location:  20\r\n" + message + "\r\n");
}

TEST(RealRun, ReadOnlyFolderIsReported) {
  // Root may write anywhere; the fake stands in for the refusal then.
  testing::FakeFileSystem fake;
  const bool root = ::geteuid() == 0;
  RealRun r(root ? &fake : nullptr);
  std::vector<FoundEntry> found = r.Found({"a.txt"});
  if (root) {
    fake.AddFile(found[0].path);
    fake.Fail("Move", {70, "Permission denied"});
  } else {
    ::chmod(r.dir.path().c_str(), 0555);
  }
  r.Slot(0, 16, "", "");
  r.Run(RunKind::kRename, found, {kAnswerYes});
  ::chmod(r.dir.path().c_str(), 0755);
  const std::string message = "Konnte \r\n" + r.dir / "a.txt" + "\r\n nicht zu \r\n" +
                              r.dir / "A.TXT" + "\r\numbenennen\r\n\r\nFehler:  70\r\n" +
                              "Zugriff nicht erlaubt\r\n\r\n( Permission denied )";
  EXPECT_EQ(r.screen.messages, (Names{message}));
  EXPECT_EQ(r.Log(), "Location:  20\r\n" + message + "\r\n");
  EXPECT_TRUE(FileExists(r.dir / "a.txt"));
}

}  // namespace
}  // namespace velmora
