#include "services/job_file.h"

#include <gtest/gtest.h>

#include "services/job_store.h"
#include "services/settings.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

using namespace velmora::testing;

TEST(JobFile, RoundTripKeepsEveryFieldAndItsEscapes) {
  TempFolder dir;
  SavedJob job;
  job.pattern = "*.mp3";
  job.subdirs = true;
  job.order = "size";
  job.orderReverse = true;
  job.slotCode = {19, 0, 11};
  job.first = {"^(\\d+)\t", "unused", "1"};
  job.second = {" $1\n=", "", ".mp3"};
  job.numberStep = "10";
  job.restartPerFolder = true;
  job.resolveChains = false;
  std::string problem;
  ASSERT_TRUE(WriteJobFile(dir / "j.ini", job, problem)) << problem;
  EXPECT_NE(ReadFile(dir / "j.ini").find("[Slot1]\nOperation=regex\nFirst=^(\\\\d+)\\t\n"),
            std::string::npos);

  SavedJob read;
  read.first[1] = "left over";
  ASSERT_TRUE(ReadJobFile(dir / "j.ini", read, problem)) << problem;
  job.first[1].clear();  // an inactive slot is not saved
  EXPECT_EQ(read.pattern, job.pattern);
  EXPECT_EQ(read.slotCode, job.slotCode);
  EXPECT_EQ(read.first, job.first);
  EXPECT_EQ(read.second, job.second);
  EXPECT_EQ((std::tuple{read.subdirs, read.order, read.orderReverse, read.numberStep,
                        read.restartPerFolder, read.resolveChains}),
            (std::tuple{true, std::string("size"), true, std::string("10"), true, false}));

  // Written by hand: a value whose escapes do not read stands as it is.
  WriteFile(dir / "j.ini", "[Job]\nVersion=1\n[Slot1]\nOperation=regex\nFirst=(\\d+)\n");
  ASSERT_TRUE(ReadJobFile(dir / "j.ini", read, problem)) << problem;
  EXPECT_EQ(read.first[0], "(\\d+)");
}

TEST(JobFile, RefusedWithItsReason) {
  struct Row {
    const char* text;
    const char* problem;
  };
  const Row rows[] = {
      {"[Job]\nVersion=2\n", "Kein Auftrag dieser Version"},
      {"[Job]\nVersion=1\n[Slot2]\nOperation=shred\n", "Unbekannte Operation im Auftrag: shred"},
      {"[Job]\nVersion=1\n[Slot1]\nOperation=11\n", "Unbekannte Operation im Auftrag: 11"},
      {"[Job]\nVersion=1\nOrder=random\n", "Unbekannte Reihenfolge im Auftrag: random"},
  };
  TempFolder dir;
  for (const Row& row : rows) {
    WriteFile(dir / "j.ini", row.text);
    SavedJob job;
    std::string problem;
    EXPECT_FALSE(ReadJobFile(dir / "j.ini", job, problem)) << row.text;
    EXPECT_NE(problem.find(row.problem), std::string::npos) << problem;
  }
  SavedJob job;
  std::string problem;
  EXPECT_FALSE(ReadJobFile(dir / "none.ini", job, problem));
  EXPECT_FALSE(WriteJobFile(dir / "no/such/folder.ini", job, problem));
}

TEST(JobStore, RecentJobsNewestFirstOnceAndAtMostFour) {
  TempFolder dir;
  SettingsStore store(dir / "Velmora.ini");
  EXPECT_EQ(JobFolder(store), dir / "jobs");
  for (const char* path : {"/a.ini", "/b.ini", "/c.ini", "/d.ini", "/b.ini", "/e.ini"}) {
    RememberJob(store, path);
  }
  EXPECT_EQ(RecentJobs(store), (std::vector<std::string>{"/e.ini", "/b.ini", "/d.ini", "/c.ini"}));
}

}  // namespace
}  // namespace velmora
