#include "services/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "engine/error_numbers.h"
#include "services/posix_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::TempFolder;
using Lines = std::vector<std::string>;

// Shown, then logged at its location. Without a file no "in File" line; a
// negative number takes the sign's place.
TEST(ReportError, ShowsThenLogsTheWholeMessage) {
  TempFolder dir;
  testing::Recorders screen;
  FileLogWriter log(LogPathIn(dir.path()), screen);
  ErrorLog(screen, log)
      .ReportError(Location::kFirstOperation, kFileNotFound, "Fehler beim Umbenennen", "a.txt",
                   "No such file");
  const std::string message =
      "Fehler beim Umbenennen\r\nin File: a.txt\r\n\r\nFehler:  53\r\nDatei nicht gefunden\r\n"
      "\r\n( No such file )";
  EXPECT_EQ(screen.messages, Lines{message});
  EXPECT_EQ(ReadFile(dir / "LogFile.Log"), "Location:  3\r\n" + message + "\r\n");
  EXPECT_EQ(ErrorMessageText(-5, "K", "", "d"), "K\r\n\r\nFehler: -5\r\n\r\n\r\n( d )");
}

// Opened per entry or held open for a run: the same bytes, each entry in
// the file as soon as it is written.
TEST(WriteLog, AppendsEntriesWithCrLfAndLocationLines) {
  TempFolder dir;
  testing::Recorders screen;
  for (const bool keepOpen : {false, true}) {
    const std::string path = dir / (keepOpen ? "held" : "each");
    FileLogWriter log(path, screen, keepOpen);
    log.WriteLog("Auswahl= Text ersetzen / löschen", Location::kNone);
    EXPECT_EQ(ReadFile(path), "Auswahl= Text ersetzen / löschen\r\n") << keepOpen;
    log.WriteLog("x", Location::kCommit);
    EXPECT_EQ(ReadFile(path), "Auswahl= Text ersetzen / löschen\r\nLocation:  20\r\nx\r\n")
        << keepOpen;
  }
  EXPECT_TRUE(screen.messages.empty());

  FileLogWriter(dir / ("missing" + std::string(kPathSeparatorText) + "L"), screen)
      .WriteLog("", Location::kNone);
  EXPECT_EQ(screen.messages, Lines{"Logfile konnte nicht geöffnet werden"});
}

// Whatever is planted in the log's place is never written through, whether
// the log opens per entry or once: a link (to a file or to nowhere), a FIFO,
// another user's file. Each costs the message; the planted thing is unchanged.
TEST(WriteLog, NothingPlantedInItsPlaceIsWrittenThrough) {
  TempFolder dir;
  testing::WriteFile(dir / "victim", "victim");
  const std::string log = dir / "LogFile.Log";
  struct Row {
    const char* what;
    std::function<bool()> plant;
    bool needsRoot = false;
  };
  const Row rows[] = {
      {"link", [&] { return ::symlink((dir / "victim").c_str(), log.c_str()) == 0; }},
      {"dangling link", [&] { return ::symlink((dir / "created").c_str(), log.c_str()) == 0; }},
      {"fifo", [&] { return ::mkfifo(log.c_str(), 0600) == 0; }},
      {"other user's file",
       [&] {
         testing::WriteFile(log, "theirs");
         return ::chown(log.c_str(), 65534, 65534) == 0;
       },
       true},
  };
  for (const bool keepOpen : {false, true}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.what) + (keepOpen ? ", held open" : ""));
      ::unlink(log.c_str());
      if (row.needsRoot && ::geteuid() != 0) continue;  // printed below
      ASSERT_TRUE(row.plant());
      testing::Recorders screen;
      FileLogWriter(log, screen, keepOpen).WriteLog("entry", Location::kNone);
      EXPECT_EQ(screen.messages, Lines{"Logfile konnte nicht geöffnet werden"});
      EXPECT_EQ(ReadFile(dir / "victim"), "victim");
      EXPECT_FALSE(testing::FileExists(dir / "created"));
    }
  }
  if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root";
  EXPECT_EQ(ReadFile(log), "theirs");
}

TEST(PrepareLog, ReplacesAnOldLogWithTheBanner) {
  TempFolder dir;
  testing::Recorders screen;
  PosixFileSystem fs;
  const std::string path = LogPathIn(dir.path());
  FileLogWriter log(path, screen);
  PrepareLog(fs, log, path, "01.02.2024 10:11:12", 2, 1, 5);
  EXPECT_FALSE(testing::FileExists(path));  // first start: no banner
  testing::WriteFile(path, "old entry\r\n");
  PrepareLog(fs, log, path, "01.02.2024 10:11:12", 2, 1, 5);
  EXPECT_EQ(ReadFile(path), "------ 01.02.2024 10:11:12 ------ V2.1.5 ------\r\n");
}

// Beside the program: the window's log test.
TEST(LogFolder, ElseInTheStateFolder) {
  const std::string root(kPathSeparatorText);
  TempFolder dir;
  testing::ScopedEnv state("XDG_STATE_HOME", (dir / "state").c_str());
  const std::string inState = dir / "state" + root + "velmora";
  const std::string chosen = ChooseLogFolder(dir / "not-there");  // cannot be written
  EXPECT_EQ(chosen, inState);
  EXPECT_TRUE(testing::FileExists(chosen));
  // System folders never get a log, not even for root who may write them.
  for (const char* system : {"/usr/bin", "/usr/local/bin", "/opt", "/bin", "/sbin", "/lib64"}) {
    EXPECT_EQ(ChooseLogFolder(system), inState) << system;
  }
}

TEST(LogFolder, NotBesideAProgramInSomeoneElsesFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs root";
  TempFolder dir;
  ASSERT_EQ(::chown(dir.path().c_str(), 65534, 65534), 0);
  testing::ScopedEnv state("XDG_STATE_HOME", (dir / "state").c_str());
  EXPECT_EQ(ChooseLogFolder(dir.path()),
            dir / "state" + std::string(kPathSeparatorText) + "velmora");
}

}  // namespace
}  // namespace velmora
