#include "engine/plan.h"

#include <gtest/gtest.h>

#include <map>
#include <tuple>

#include "engine/path.h"
#include "engine/plan_model.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

const std::string kSep(kPathSeparatorText);
const std::string kDir = kSep + "T" + kSep;
const std::string kDest = kSep + "D" + kSep;

// Folders of names; a folder may ignore case. Counts the listings.
class FakePlanDisk : public testing::FakeFileSystem {
 public:
  void Add(const std::string& folder, std::vector<std::string> names, bool ignoreCase = false) {
    for (std::string& name : names) folders[folder].push_back({std::move(name), true});
    if (ignoreCase) caseless[folder] = true;
  }
  bool ListFolder(const std::string& folder, std::vector<FolderItem>& items) override {
    ++listings[folder];
    const auto it = folders.find(folder);
    if (it == folders.end()) return false;
    items = it->second;
    return true;
  }
  // Folders in `unlistable` exist but refuse their listing; Probe looks
  // into them.
  PathKind Probe(const std::string& path) override {
    ++probes;
    if (unlistable.count(path) != 0) return PathKind::kOther;
    const std::string folder(FolderOf(path));
    const auto it = unlistable.find(folder);
    if (it == unlistable.end()) return PathKind::kNone;
    for (const FolderItem& item : it->second) {
      if (folder + item.name == path) return PathKind::kFile;
    }
    return PathKind::kNone;
  }
  bool IgnoresCase(const std::string& folder) override { return caseless[folder]; }
  FileSystemKind FolderKind(const std::string& folder) override { return kinds[folder]; }

  std::map<std::string, std::vector<FolderItem>> folders;
  std::map<std::string, bool> caseless;
  std::map<std::string, FileSystemKind> kinds;
  std::map<std::string, int> listings;
  std::map<std::string, std::vector<FolderItem>> unlistable;
  int probes = 0;
};

struct Case {
  FakePlanDisk disk;
  RenameJob job;
  std::vector<FoundEntry> found;

  // Files in kDir; names starting with '-' are there but not marked.
  Case(std::vector<std::string> names, bool ignoreCase = false) {
    std::vector<std::string> plain;
    for (std::string& name : names) {
      const bool marked = name[0] != '-';
      if (!marked) name.erase(0, 1);
      found.push_back({kDir + name, marked});
      plain.push_back(name);
    }
    disk.Add(kDir, plain, ignoreCase);
  }
  Case& Slot(int i, int code, std::string first = "", std::string second = "") {
    testing::SetSlot(job, i, code, std::move(first), std::move(second));
    return *this;
  }
  RunPlan Plan(RunKind kind = RunKind::kRename) {
    return PlanRun(kind, job, found, kind == RunKind::kRename ? "" : kDest, disk);
  }
};

// Final name and state per marked entry.
std::vector<std::pair<std::string, PlanState>> Rows(const RunPlan& plan) {
  std::vector<std::pair<std::string, PlanState>> rows;
  for (const PlanRow& row : plan.rows) rows.emplace_back(FileNameOf(row.finalPath), row.state);
  return rows;
}

using S = PlanState;
using R = std::vector<std::pair<std::string, PlanState>>;

TEST(PlanRun, EachStateOfAnEntry) {
  struct Row {
    const char* what;
    Case input;
    R expected;
  };
  // The conflicts a dry run marks ("existiert", "doppelt", "Kette") are the
  // command-line tests'; here the states only the plan tells apart.
  Row rows[] = {
      {"no step applies, one changes",
       Case({"a.txt", "b.txt"}).Slot(0, 1, "a", "c"),
       {{"c.txt", S::kChanged}, {"b.txt", S::kUnchanged}}},
      {"a file sits between two slots of another entry",
       Case({"a1.txt", "a2.txt"}).Slot(0, 1, "a1", "a2").Slot(1, 1, "a2", "c"),
       {{"a1.txt", S::kChain}, {"c.txt", S::kChanged}}},
      {"a chain in harmless order: the name is free again",
       Case({"a1.txt", "a11.txt"}).Slot(0, 7, "1", "2"),
       {{"a.txt", S::kChanged}, {"a1.txt", S::kChanged}}},
      {"the new folder does not exist",
       Case({"a.txt"}).Slot(0, 4, "sub" + kSep, "1"),
       {{"a.txt", S::kFailed}}},  // in sub/
      // 'a' -> 'B' meets the unmarked "b.txt"; "c.txt" only changes its own case.
      {"case only where the folder ignores case",
       Case({"a.txt", "-b.txt", "c.txt"}, /*ignoreCase=*/true).Slot(0, 1, "a", "B").Slot(1, 16),
       {{"B.TXT", S::kCaseOnly}, {"C.TXT", S::kChanged}}},
      {"no case conflict where it does not",
       Case({"a.txt", "-b.txt", "c.txt"}).Slot(0, 1, "a", "B").Slot(1, 16),
       {{"B.TXT", S::kChanged}, {"C.TXT", S::kChanged}}},
  };
  for (Row& row : rows) EXPECT_EQ(Rows(row.input.Plan()), row.expected) << row.what;
}

TEST(PlanRun, ConflictsNameTheOtherEntry) {
  Case swap({"A - B.mp3", "B - A.mp3", "-C - D.mp3"});
  const RunPlan plan = swap.Slot(0, 14, " - ").Plan();
  ASSERT_EQ(plan.rows.size(), 2u);
  EXPECT_EQ(std::tie(plan.rows[0].Conflict().other, plan.rows[1].Conflict().other,
                     plan.rows[0].Conflict().path),
            std::make_tuple(kDir + "B - A.mp3", kDir + "A - B.mp3", kDir + "B - A.mp3"));
  EXPECT_EQ(plan.RowFor(2), nullptr);
  EXPECT_EQ(plan.RowFor(1), &plan.rows[1]);
}

// The later slots of a refused step go on from the name the file has, and
// a target folder that tells its spellings apart (two names equal but for
// case) is no place for a rename in place, whatever its mount type says.
TEST(PlanRun, RefusedStepsAndSpellingsMatchTheRun) {
  Case fuseblk({"Song.mp3", "-SONG.MP3"}, /*ignoreCase=*/true);
  EXPECT_EQ(Rows(fuseblk.Slot(0, 16).Plan()), (R{{"SONG.MP3", S::kExists}}));
  Case caseless({"Song.mp3"}, /*ignoreCase=*/true);
  EXPECT_EQ(Rows(caseless.Slot(0, 16).Plan()), (R{{"SONG.MP3", S::kChanged}}));

  Case copies({"a1.txt", "a2.txt"});
  copies.disk.Add(kDest, {"other.txt"});
  const RunPlan plan = copies.Slot(0, 7, "1", "2").Plan(RunKind::kCopy);
  EXPECT_EQ(Rows(plan), (R{{"a.txt", S::kChanged}, {"a2.txt", S::kDuplicate}}));
  ASSERT_EQ(plan.steps.size(), 2u);
  EXPECT_TRUE(plan.steps[1].refused);
}

TEST(PlanRun, FailureCarriesTheReportTheRunWouldMake) {
  const RunPlan mirror = Case({"noext"}).Slot(0, 14, "-").Plan();
  ASSERT_EQ(mirror.failures.size(), 1u);
  const PlannedFailure& f = mirror.rows[0].Conflict().failure;
  EXPECT_TRUE(f.location == OperationLocation(14));
  EXPECT_EQ(std::tie(f.number, f.context, f.file),
            std::make_tuple(5, "Fehler beim Umbenennen", kDir + "noext"));
}

// Each folder is listed once; one that cannot be listed is asked name by name.
TEST(PlanRun, ListsEachFolderOnceOrAsksNameByName) {
  Case many({"a1.txt", "a2.txt", "a3.txt"});
  many.disk.Add(kDest, {});
  many.Slot(0, 1, "a", "b").Slot(1, 1, "b", "c").Plan(RunKind::kMove);
  EXPECT_EQ(many.disk.listings, (std::map<std::string, int>{{kDir, 1}, {kDest, 1}}));

  Case locked({"a.txt", "-b.txt"});
  locked.disk.unlistable[kDir] = locked.disk.folders[kDir];
  locked.disk.folders.erase(kDir);
  EXPECT_EQ(Rows(locked.Slot(0, 1, "a", "b").Plan()), (R{{"b.txt", S::kExists}}));
  EXPECT_EQ(locked.disk.probes, 3);  // the folder, "a.txt", "b.txt"
}

// Names the target's file system refuses, and a folder in the target's
// place, fail the commit; --check stops there.
TEST(PlanRun, NamesTheFileSystemRefusesAndFoldersInTheWayFail) {
  const std::tuple<FileSystemKind, const char*, const char*, PlanState> rows[] = {
      {FileSystemKind::kFat, "a", "a:", S::kFailed},
      {FileSystemKind::kExfat, ".txt", ".", S::kFailed},
      {FileSystemKind::kExfat, "a", "a?b", S::kFailed},
      {FileSystemKind::kNtfs, "a", "a:", S::kChanged},
      {FileSystemKind::kUnknown, "a", "a:", S::kChanged},
  };
  for (const auto& [kind, from, to, expected] : rows) {
    Case input({"a.txt"});
    input.disk.kinds[kDir] = kind;
    const PlanRow row = input.Slot(0, 1, from, to).Plan().rows[0];
    EXPECT_EQ(row.state, expected) << to;
    if (expected == S::kFailed) {
      EXPECT_EQ(row.Conflict().failure.number, kBadFileName) << to;
    }
  }
  Case folder({"a.txt"});
  folder.disk.folders[kDir].push_back({"sub", false});
  const PlanRow row = folder.Slot(0, 1, "a.txt", "sub").Plan().rows[0];
  EXPECT_EQ(std::tie(row.state, row.Conflict().failure.location),
            std::make_tuple(S::kFailed, Location::kCommit));
  EXPECT_NE(row.Conflict().failure.number, kFileNotFound);
}

TEST(CaselessName, FoldsTheLettersTheCaseOperationsChange) {
  EXPECT_EQ(CaselessName("ÄrGER Ü.Mp3"), "ärger ü.mp3");
  EXPECT_EQ(CaselessName("ÉCOLE Ø ΣΟΦΙΑ Ж.txt"), "école ø σοφια ж.txt");
  EXPECT_EQ(CaselessName("×ß\xFF"), "×ß\xFF");  // no letter, no pair, no character
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"ÖL.txt", "öl.TXT", true}, {"öl.txt", "ol.txt", false},
      {"a.txt", "a.txt ", false}, {"Ωμέγα.txt", "ΩΜΈΓΑ.TXT", true},
      {"ДОМ", "дом", true},       {"ñ", "Ñ", true},
      {"ß", "SS", false},         {"a\xFF", "A\xFF", true},
      {"a\xFF", "a\xFE", false}};
  for (const auto& [a, b, equal] : rows) EXPECT_EQ(EqualCaseless(a, b), equal) << a << " " << b;
  // The preview sees "Groß/Klein": the name is taken under another spelling.
  Case greek({"a.txt", "-ω.txt"}, /*ignoreCase=*/true);
  EXPECT_EQ(Rows(greek.Slot(0, 1, "a", "Ω").Plan()), (R{{"Ω.txt", S::kCaseOnly}}));
}

}  // namespace
}  // namespace velmora
