#include "services/error_log.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "services/posix_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::FileExists;
using testing::ReadFile;
using testing::Recorders;
using testing::TempFolder;
using testing::WriteFile;

TEST(ReportError, ShowsThenLogsTheWholeMessage) {
  TempFolder dir;
  Recorders screen;
  FileLogWriter log(LogPathIn(dir.path()), screen);
  ErrorLog reporter(screen, log);
  reporter.ReportError(3, 53, "Fehler beim Umbenennen", "a.txt", "No such file or directory");

  const std::string message =
      "Fehler beim Umbenennen\r\nin File: a.txt\r\n\r\nFehler:  53\r\nDatei nicht gefunden\r\n"
      "\r\n( No such file or directory )";
  ASSERT_EQ(screen.messages.size(), 1u);
  EXPECT_EQ(screen.messages[0], message);
  EXPECT_EQ(ReadFile(dir / "LogFile.Log"), "Location:  3\r\n" + message + "\r\n");
}

TEST(ReportError, MessageLayout) {
  struct Row {
    int number;
    const char* file;
    const char* description;
    const char* text;
  };
  const Row rows[] = {
      {-5, "", "d", "K\r\n\r\nFehler: -5\r\n\r\n\r\n( d )"},
      {0, "", "", "K\r\n\r\nFehler:  0\r\n\r\n\r\n(  )"},
      {61, "/x/ä.mp3", "full",
       "K\r\nin File: /x/ä.mp3\r\n\r\nFehler:  61\r\nFestplatte voll\r\n\r\n( full )"},
      {7, "", "oom", "K\r\n\r\nFehler:  7\r\ninterner Fehler\r\n\r\n( oom )"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ErrorMessageText(row.number, "K", row.file, row.description), row.text)
        << row.number;
  }
}

TEST(WriteLog, AppendsEntriesWithCrLfAndLocationLines) {
  TempFolder dir;
  Recorders screen;
  FileLogWriter log(dir / "LogFile.Log", screen);
  log.WriteLog("--- Velmora ---", 0);
  log.WriteLog("Auswahl= Text ersetzen / löschen", 0);
  log.WriteLog("x", 12);
  log.WriteLog("y", -1);
  EXPECT_EQ(ReadFile(dir / "LogFile.Log"),
            "--- Velmora ---\r\nAuswahl= Text ersetzen / löschen\r\nLocation:  12\r\nx\r\n"
            "Location: -1\r\ny\r\n");
  EXPECT_TRUE(screen.messages.empty());

  FileLogWriter nowhere(dir / ("missing" + std::string(kPathSeparatorText) + "LogFile.Log"),
                        screen);
  nowhere.WriteLog("lost", 0);
  EXPECT_EQ(screen.messages, (std::vector<std::string>{"Logfile konnte nicht geöffnet werden"}));
}

TEST(PrepareLog, ReplacesAnOldLogWithTheBanner) {
  TempFolder dir;
  Recorders screen;
  PosixFileSystem fs;
  const std::string path = LogPathIn(dir.path());
  FileLogWriter log(path, screen);

  PrepareLog(fs, log, path, "01.02.2024 10:11:12", 2, 1, 5);
  EXPECT_FALSE(FileExists(path));  // first start: no banner

  WriteFile(path, "old entry\r\n");
  PrepareLog(fs, log, path, "01.02.2024 10:11:12", 2, 1, 5);
  EXPECT_EQ(ReadFile(path), "------ 01.02.2024 10:11:12 ------ V2.1.5 ------\r\n");
}

TEST(LogFolder, BesideTheProgramOrInTheStateFolder) {
  const std::string root(kPathSeparatorText);
  EXPECT_EQ(LogPathIn(root), root + "LogFile.Log");
  EXPECT_EQ(LogPathIn(root + "opt"), root + "opt" + kPathSeparator + "LogFile.Log");

  TempFolder dir;
  const std::string program = dir / "bin";
  EXPECT_EQ(ChooseLogFolder(dir / ""), dir.path());

  // The program folder cannot be written (here: it does not exist).
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedText = saved != nullptr ? saved : "";
  ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
  const std::string chosen = ChooseLogFolder(program);
  EXPECT_EQ(chosen, dir / ("state" + std::string(kPathSeparatorText) + "velmora"));
  EXPECT_TRUE(FileExists(chosen));
  if (saved != nullptr) {
    ::setenv("XDG_STATE_HOME", savedText.c_str(), 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
  EXPECT_FALSE(ProgramFolder().empty());
}

}  // namespace
}  // namespace velmora
