// Runs on real temporary folders, with scripted answers and the real error
// reporter and log file: what only the real disk shows.
#include "engine/batch_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iterator>

#include "services/error_log.h"
#include "services/posix_file_system.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using Names = std::vector<std::string>;

// One file in a fresh folder, upper-cased by the run.
struct RealRun {
  RealRun(const std::string& name, FileSystem* disk = nullptr)
      : log(logDir / "LogFile.Log", screen),
        errorLog(screen, log),
        services{disk != nullptr ? *disk : posix, dialogs, screen, errorLog, log, &screen, &screen},
        found{{dir / name, true}} {
    services.planDisk = &planDisk;
    testing::WriteFile(dir / name, name);
    testing::SetSlot(job, 0, 16);
  }
  void Run(std::deque<Answer> answers) {
    dialogs.dialogAnswers = std::move(answers);
    RunCommand(RunKind::kRename, state, job, found, services, false);
  }

  testing::TempFolder dir, logDir;
  PosixFileSystem posix;
  PosixFileSystem planDisk;
  testing::ScriptedDialogs dialogs;
  testing::Recorders screen;
  FileLogWriter log;
  ErrorLog errorLog;
  RunServices services;
  std::vector<FoundEntry> found;
  RunState state;
  RenameJob job;
};

// The platform reports a step onto its own path as "exists": without the
// mend, "&Ja" in Dialog2 would delete the only file.
TEST(RealRun, DestinationNamingTheSourceIsNeverDeleted) {
  RealRun r("X.TXT");  // already upper case
  r.dialogs.dialog2Answers = {Answer::kYes};
  r.Run({Answer::kYes});
  EXPECT_EQ(r.dialogs.asked, Names{r.dir / "X.TXT -> " + r.dir / "X.TXT"});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(r.dir.path()), {}), 1);
  EXPECT_EQ(ReadFile(r.dir / "X.TXT"), "X.TXT");
}

// A failed commit is shown once and logged at its location; its number and
// text come from the file system and the message table.
TEST(RealRun, ReadOnlyFolderIsReported) {
  testing::FakeFileSystem fake;  // root may write anywhere: the fake refuses then
  const bool root = ::geteuid() == 0;
  RealRun r("a", root ? &fake : nullptr);
  fake.AddFile(r.dir / "a");
  fake.Fail("Move", {70, std::strerror(EACCES)});
  ::chmod(r.dir.path().c_str(), 0555);
  r.Run({Answer::kYes});
  ::chmod(r.dir.path().c_str(), 0755);
  const std::string message =
      "Konnte \r\n" + r.dir / "a" + "\r\n nicht zu \r\n" + r.dir / "A" +
      "\r\numbenennen\r\n\r\nFehler:  70\r\nZugriff nicht erlaubt\r\n\r\n( " +
      std::strerror(EACCES) + " )";
  EXPECT_EQ(r.screen.messages, Names{message});
  EXPECT_EQ(ReadFile(r.logDir / "LogFile.Log"), "Location:  20\r\n" + message + "\r\n");
}

}  // namespace
}  // namespace velmora
