#include "services/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "services/session_journal.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using testing::TempFolder;

// Run id, whether it ended, its number of steps; tag steps get a side file.
struct RunSpec {
  std::string id;
  bool ended;
  int steps;
};

std::string Lines(const RunSpec& run) {
  std::string text = "B\t" + run.id + "\t2026-01-01T00:00:00Z\trename\n";
  for (int seq = 1; seq <= run.steps; ++seq) {
    const std::string key = run.id + "\t" + std::to_string(seq);
    text += "I\t" + key + "\t4\t/x\t/x\t-\t-\t-\t-\nD\t" + key + "\t1\t2\t3\t4\n";
  }
  return run.ended ? text + "E\t" + run.id + "\t2026-01-01T00:00:01Z\n" : text;
}

std::vector<std::string> RunIds(JournalFile& file) {
  JournalContents contents;
  EXPECT_FALSE(file.Read(contents));
  std::vector<std::string> ids;
  for (const JournalRun& run : contents.runs) ids.push_back(run.id);
  return ids;
}

TEST(JournalTrim, DropsTheOldestWholeRunsButNoneInProgress) {
  // Process 1 lives as long as the machine: its run without an end goes on.
  const struct Case {
    std::vector<RunSpec> runs;
    std::size_t max;
    std::vector<std::string> left;
  } cases[] = {
      {{{"99999990-1", true, 3}, {"99999990-2", true, 3}, {"99999990-3", true, 3}},
       6,
       {"99999990-2", "99999990-3"}},
      {{{"99999990-1", true, 3}, {"99999990-2", true, 3}}, 5, {"99999990-2"}},
      {{{"99999990-1", true, 3}}, 2, {}},  // too big on its own: it goes too
      {{{"1-1", false, 3}, {"99999990-2", true, 3}, {"99999990-3", true, 1}},
       4,
       {"1-1", "99999990-3"}},
      {{{"99999990-1", true, 2}, {"99999990-2", true, 2}}, 4, {"99999990-1", "99999990-2"}},
  };
  for (const Case& c : cases) {
    const TempFolder folder;
    JournalFile file(folder / "journal");
    for (const RunSpec& run : c.runs) {
      ASSERT_FALSE(file.Append(Lines(run)));
      for (int seq = 1; seq <= run.steps; ++seq) {
        std::ofstream(SideFilePath(file.path(), run.id, seq)) << "bytes";
      }
    }
    ASSERT_FALSE(file.Trim(c.max));
    const std::vector<std::string> left = RunIds(file);
    EXPECT_EQ(left, c.left) << c.max;
    // Side files go with their steps.
    for (const RunSpec& run : c.runs) {
      const bool kept = std::find(left.begin(), left.end(), run.id) != left.end();
      EXPECT_EQ(std::filesystem::exists(SideFilePath(file.path(), run.id, 1)), kept) << run.id;
    }
  }
}

// Appends keep the journal open; whatever takes its path meanwhile (another
// process's rewrite, a planted link, a removal) is seen at the next append.
TEST(JournalAppend, HeldJournalFollowsWhatNowHasItsPath) {
  const std::string first = Lines({"99999990-1", true, 1});
  const std::string second = Lines({"99999990-2", true, 1});
  const struct Case {
    const char* name;
    void (*change)(const TempFolder&, JournalFile& other);
    bool appends;
    std::vector<std::string> runs;
  } cases[] = {
      {"rewritten by another process",
       [](const TempFolder&, JournalFile& other) { ASSERT_FALSE(other.Compact()); },
       true,
       {"99999990-1", "99999990-2"}},
      {"removed",
       [](const TempFolder& f, JournalFile&) { std::filesystem::remove(f / "j"); },
       true,
       {"99999990-2"}},
      {"a link in its place",
       [](const TempFolder& f, JournalFile&) {
         std::filesystem::rename(f / "j", f / "victim");
         std::filesystem::create_symlink(f / "victim", f / "j");
       },
       false,
       {}},
  };
  for (const Case& c : cases) {
    const TempFolder folder;
    JournalFile file(folder / "j");
    JournalFile other(folder / "j");
    ASSERT_FALSE(file.Append(first));
    c.change(folder, other);
    const std::uintmax_t victimSize = std::filesystem::exists(folder / "victim")
                                          ? std::filesystem::file_size(folder / "victim")
                                          : 0;
    EXPECT_EQ(!file.Append(second), c.appends) << c.name;
    if (!c.appends) {
      EXPECT_EQ(std::filesystem::file_size(folder / "victim"), victimSize) << c.name;
      continue;
    }
    EXPECT_EQ(RunIds(other), c.runs) << c.name;
  }
}

// A fast run sends each done record out with the next record and keeps the
// lock between records; before a question and at the end both are given back.
TEST(JournalWriter, DeferredDoneAndKeptLockAreGivenBackBeforeWaiting) {
  const TempFolder folder;
  testing::Recorders reporter;
  JournalFile file(folder / "j");
  JournalWriter writer(file, reporter);
  const auto doneRecords = [&] {
    const std::string text = testing::ReadFile(folder / "j");
    int count = 0;
    for (std::size_t at = 0; (at = text.find("\nD\t", at)) != std::string::npos; ++at) ++count;
    return count;
  };
  const auto lockFree = [&] {
    const int fd = ::open((folder / "j.lock").c_str(), O_RDWR);
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
  };
  ASSERT_FALSE(writer.Begin("rename"));
  writer.DeferDoneRecords(true);
  file.KeepLockBriefly(true);
  for (const char* name : {"a", "b"}) {
    ASSERT_FALSE(writer.Intent(FileOp::kRename, folder / name, folder / "x", nullptr));
    EXPECT_FALSE(lockFree());
    ASSERT_FALSE(writer.Done(FileOp::kRename, folder / name, folder / "x"));
  }
  EXPECT_EQ(doneRecords(), 1);  // the first went out with the second intent
  ASSERT_FALSE(writer.Settle());
  EXPECT_EQ(doneRecords(), 2);
  EXPECT_TRUE(lockFree());
  ASSERT_FALSE(writer.Intent(FileOp::kRename, folder / "c", folder / "x", nullptr));
  ASSERT_FALSE(writer.Done(FileOp::kRename, folder / "c", folder / "x"));
  writer.End();
  EXPECT_EQ(doneRecords(), 3);
  EXPECT_TRUE(lockFree());
  EXPECT_TRUE(reporter.errors.empty());
}

TEST(JournalTime, BeginTimeShownInLocalTime) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(LocalRunTime("2026-12-06T23:50:50Z"), "06.12.2026 23:50:50");
  EXPECT_EQ(LocalRunTime("-"), "-");  // a version-1 run has no time
}

}  // namespace
}  // namespace velmora
