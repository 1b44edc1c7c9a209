#include "services/error_log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
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
}

// Without a file no "in File" line; a negative number takes the sign's place.
TEST(ReportError, MessageLayout) {
  EXPECT_EQ(ErrorMessageText(-5, "K", "", "d"), "K\r\n\r\nFehler: -5\r\n\r\n\r\n( d )");
}

TEST(WriteLog, AppendsEntriesWithCrLfAndLocationLines) {
  TempFolder dir;
  testing::Recorders screen;
  FileLogWriter log(dir / "LogFile.Log", screen);
  log.WriteLog("Auswahl= Text ersetzen / löschen", 0);
  log.WriteLog("x", 12);
  EXPECT_EQ(ReadFile(dir / "LogFile.Log"),
            "Auswahl= Text ersetzen / löschen\r\nLocation:  12\r\nx\r\n");
  EXPECT_TRUE(screen.messages.empty());

  FileLogWriter(dir / ("missing" + std::string(kPathSeparatorText) + "L"), screen).WriteLog("", 0);
  EXPECT_EQ(screen.messages, Lines{"Logfile konnte nicht geöffnet werden"});
}

// Held open for a run, the file has the same bytes, each entry in it as soon
// as it is written, and a link planted at the path is still refused.
TEST(WriteLog, HeldOpenWritesTheSameBytesAtOnce) {
  TempFolder dir;
  testing::Recorders screen;
  FileLogWriter held(dir / "held", screen, /*keepOpen=*/true);
  FileLogWriter each(dir / "each", screen);
  held.WriteLog("nameSrc= ä.txt", 0);
  EXPECT_EQ(ReadFile(dir / "held"), "nameSrc= ä.txt\r\n");
  held.WriteLog("x", -3);
  each.WriteLog("nameSrc= ä.txt", 0);
  each.WriteLog("x", -3);
  EXPECT_EQ(ReadFile(dir / "held"), "nameSrc= ä.txt\r\nLocation: -3\r\nx\r\n");
  EXPECT_EQ(ReadFile(dir / "held"), ReadFile(dir / "each"));

  testing::WriteFile(dir / "target", "");
  ASSERT_EQ(::symlink((dir / "target").c_str(), (dir / "link").c_str()), 0);
  FileLogWriter(dir / "link", screen, /*keepOpen=*/true).WriteLog("x", 0);
  EXPECT_EQ(ReadFile(dir / "target"), "");
  EXPECT_EQ(screen.messages, Lines{"Logfile konnte nicht geöffnet werden"});
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

TEST(LogFolder, BesideTheProgramElseInTheStateFolder) {
  const std::string root(kPathSeparatorText);
  EXPECT_EQ(LogPathIn(root), root + "LogFile.Log");
  EXPECT_EQ(LogPathIn(root + "opt"), root + "opt" + root + "LogFile.Log");
  TempFolder dir;
  EXPECT_EQ(ChooseLogFolder(dir.path()), dir.path());

  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedText = saved != nullptr ? saved : "";
  ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
  const std::string chosen = ChooseLogFolder(dir / "not-there");  // cannot be written
  EXPECT_EQ(chosen, dir / "state" + root + "velmora");
  EXPECT_TRUE(testing::FileExists(chosen));
  saved != nullptr ? ::setenv("XDG_STATE_HOME", savedText.c_str(), 1)
                   : ::unsetenv("XDG_STATE_HOME");
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Whatever is planted in the log's place is never written through: a link
// (to a file or to nowhere), a FIFO, another user's file. Each costs the
// message; the planted thing is unchanged.
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
  for (const Row& row : rows) {
    ::unlink(log.c_str());
    if (row.needsRoot && ::geteuid() != 0) continue;  // printed below
    ASSERT_TRUE(row.plant()) << row.what;
    testing::Recorders screen;
    FileLogWriter(log, screen).WriteLog("entry", 0);
    EXPECT_EQ(screen.messages, Lines{"Logfile konnte nicht geöffnet werden"}) << row.what;
    EXPECT_EQ(ReadFile(dir / "victim"), "victim");
    EXPECT_FALSE(testing::FileExists(dir / "created"));
  }
  if (::geteuid() != 0) GTEST_SKIP() << "another user's file needs root";
  EXPECT_EQ(ReadFile(log), "theirs");
}

}  // namespace
}  // namespace velmora
