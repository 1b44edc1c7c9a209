// The journal through velmora-cli: undo after a kill, on a full disk, after
// a refusal, with two runs writing at once, and journals with records this
// version does not take back.
#include "services/journal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>

#include <cstdlib>
#include <functional>
#include <random>

#include "services/journal_format.h"
#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// Killed right after an operation, before its done record (0: not killed):
// the journal holds the intents of steps not yet begun, a cycle's first file
// lies parked under the rename temporary, and undo still brings every file
// back to its name, contents compared.
TEST(CliJournal, UndoAfterAKillAnywhereRestoresEveryFile) {
  VELMORA_NEEDS_TEST_HOOKS();
  Names cycles = {"A - B.mp3", "B - A.mp3", "K - L - M", "L - M - K", "M - K - L"};
  for (const std::string& name : Numbered("x%02d - y.mp3", 24)) cycles.push_back(name);
  const struct Row {
    const char* what;
    Names files;
    Names job;
    int operations;
  } rows[] = {
      {"one slot", Numbered("file%02d.txt", 40), {"--slot1", "upper"}, 40},
      {"two slots",
       Numbered("g%02d.txt", 30),
       {"--slot1", "upper", "--slot2", "insert-before", "--src2=-x", "--dst2", ".TXT"},
       60},
      {"cycles", cycles, {"--slot1", "mirror", "--src1", " - "}, 26},
      {"a three-cycle",
       {"A - B - C.mp3", "B - C - A.mp3", "C - A - B.mp3"},
       {"--slot1", "mirror", "--src1", " - "},
       4},
  };
  std::mt19937 random(22);
  for (const Row& row : rows) {
    std::uniform_int_distribution<int> point(1, row.operations);
    for (int kill : {0, 1, point(random), point(random), point(random)}) {
      SCOPED_TRACE(std::string(row.what) + " killed after " + std::to_string(kill));
      TempFolder dir, state;
      WriteFiles(dir.path(), row.files);
      const Names original = Listing(dir.path());
      const Names args =
          Plus(Plus({"rename", "--yes-all"}, row.job), {"--journal", state / "j", Bare(dir)});
      const Names env = {"VELMORA_TEST_KILL_AFTER=" + std::to_string(kill)};
      EXPECT_EQ(RunCli(args, kill > 0 ? env : Names{}).status, kill > 0 ? -1 : 0);
      if (kill == 0 && row.what[0] == 'a') {
        EXPECT_EQ(ReadFile(dir / row.files[1]), row.files[0]);  // the cycle went round
      }
      if (kill == 1 && row.what[0] == 'a') {
        EXPECT_THAT(Listing(dir.path()), ::testing::Contains(HasSubstr(".velmora-move")));
      }
      if (kill > 0 && row.what[0] == 'o') {
        EXPECT_GT(Count(ReadFile(state / "j"), "\nI\t"), kill);  // written ahead
      }
      EXPECT_TRUE(UndoRestores(state / "j", dir.path(), original));
      for (const std::string& name : row.files) EXPECT_EQ(ReadFile(dir / name), name);
    }
  }
}

// Killed before the done record of a copy, or of a move to another file
// system: the new file has an inode of its own, and undo still knows it.
TEST(CliJournal, UndoAfterAKillKnowsANewFileByItsSizeAndTime) {
  VELMORA_NEEDS_TEST_HOOKS();
  for (const std::string command : {"copy", "move"}) {
    SCOPED_TRACE(command);
    TempFolder dir, state;
    const bool shm = command == "move";
    if (shm && ::access("/dev/shm", W_OK) != 0) GTEST_SKIP() << "no /dev/shm to move into";
    const TempFolder dest(shm ? "/dev/shm" : std::filesystem::temp_directory_path().string());
    WriteFile(dir / "a.txt", "content");
    const CliResult run = RunCli({command, "--slot1", "upper", "--dest", Bare(dest), "--yes-all",
                                  "--journal", state / "j", Bare(dir)},
                                 {"VELMORA_TEST_KILL_AFTER=1"});
    EXPECT_EQ(run.status, -1);
    ASSERT_EQ(Listing(dest.path()), Names{"A.TXT"});
    EXPECT_TRUE(UndoRestores(state / "j", dir.path(), {"a.txt"}));
    EXPECT_TRUE(Listing(dest.path()).empty());
  }
}

// A journal on a full disk stops the run before the next step; every file
// renamed by then is journaled, so undo restores all once there is room.
TEST(CliJournal, FullDiskStopsTheRunAndLosesNoRecord) {
  TempFolder dir, mount;
  if (::mount("tmpfs", mount.path().c_str(), "tmpfs", 0, "size=4k") != 0) {
    GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
  }
  const Names original =
      Numbered("a-long-name-so-that-records-fill-the-disk-%02d.txt", 40, dir.path());
  const std::string journal = mount / "j";
  const CliResult run = RunCli({"rename", "--slot1", "upper", "--yes-all", "--pattern", "*.txt",
                                "--journal", journal, Bare(dir)});
  EXPECT_EQ(run.status, 1);
  EXPECT_THAT(run.err, HasSubstr("Fehler beim Schreiben des Journals"));
  const Names after = Listing(dir.path());
  EXPECT_NE(after, original);                                             // some went through
  EXPECT_EQ(std::count(after.begin(), after.end(), original.back()), 1);  // the rest did not

  ::mount("tmpfs", mount.path().c_str(), "tmpfs", MS_REMOUNT, "size=1m");
  EXPECT_TRUE(UndoRestores(journal, dir.path(), original));
  ::umount(mount.path().c_str());
}

// Another file of the same size and modification time in path's place.
void PlantStranger(const std::string& path) {
  const long long at = Modified(path);
  WriteFile(path + ".new", std::string(ReadFile(path).size(), 's'));
  SetModified(path + ".new", at / 1000000000, at % 1000000000);
  std::filesystem::rename(path + ".new", path);
}

// A step undo cannot take back stays in the journal and is named; once the
// cause is gone a second undo takes it back. A file changed since the run
// (for a tag: grown, or touched with the same bytes) is never moved or
// written, nor is a stranger of the same size and time in its place, and a
// taken target never overwritten, whatever --overwrite-all says.
TEST(CliJournal, RefusedStepsStayForALaterUndo) {
  using Change = std::function<void(const TempFolder&)>;
  const Names rename = {"rename", "--slot1", "upper", "--yes-all"}, tag = {"tag", "--title", "=T"};
  const std::string changed = "Datei seit dem Lauf geändert, nicht zurückgenommen: ";
  struct Row {
    const char* what;
    Names job;
    Change disturb;
    std::string message;
    std::string file;  // the file the message names
    Change mend;
  };
  const Row rows[] = {
      {"target taken", rename, [](const TempFolder& d) { WriteFile(d / "a.mp3", "new"); },
       "Ziel vorhanden, nicht zurückgenommen: ", "a.mp3",
       [](const TempFolder& d) { std::filesystem::rename(d / "a.mp3", d / "moved.txt"); }},
      {"changed since", rename, [](const TempFolder& d) { WriteFile(d / "A.MP3", "edited"); },
       changed, "A.MP3", nullptr},
      {"gone", rename, [](const TempFolder& d) { std::filesystem::remove(d / "A.MP3"); },
       "Datei nicht mehr vorhanden, nicht zurückgenommen: ", "A.MP3", nullptr},
      {"tag grown", tag,
       [](const TempFolder& d) { WriteFile(d / "a.mp3", ReadFile(d / "a.mp3") + "edited"); },
       changed, "a.mp3", nullptr},
      {"tag touched", tag,
       [](const TempFolder& d) { SetModified(d / "a.mp3", 1600000000, 123456789); }, changed,
       "a.mp3", nullptr},
      // Last: skipped where inode numbers are not stable.
      {"stranger after rename", rename, [](const TempFolder& d) { PlantStranger(d / "A.MP3"); },
       changed, "A.MP3", nullptr},
      {"stranger after tag", tag, [](const TempFolder& d) { PlantStranger(d / "a.mp3"); }, changed,
       "a.mp3", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder dir, state;
    struct statfs fs {};
    ASSERT_EQ(::statfs(dir.path().c_str(), &fs), 0);
    if (std::string(row.what).starts_with("stranger") &&
        (fs.f_type == 0x794c7630 || fs.f_type == 0x65735546)) {
      GTEST_SKIP() << "the temporary folder's file system has no stable inode numbers";
    }
    WriteFile(dir / "a.mp3", Audio(300));
    const std::string journal = state / "j";
    ASSERT_TRUE(Succeeds(RunCli(Plus(row.job, {"--journal", journal, Bare(dir)}))));
    row.disturb(dir);
    const auto disturbed = Snapshot({dir.path()});
    CliResult r = Undo(journal, {"--overwrite-all"});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(row.message + dir / row.file));
    EXPECT_THAT(r.err, HasSubstr("1 Schritt bleibt im Journal"));
    EXPECT_EQ(Snapshot({dir.path()}), disturbed);
    if (!row.mend) continue;
    row.mend(dir);
    EXPECT_TRUE(Succeeds(Undo(journal)));
    EXPECT_EQ(ReadFile(dir / "a.mp3"), Audio(300));
  }
}

// Past the first answer no question is asked and the move back itself
// finds an old name taken; such a step, and a file changed since, stay,
// named, and the file at the old name is kept.
TEST(CliJournal, LaterStepsAreJudgedAsTheFirst) {
  TempFolder dir, state;
  for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"}) WriteFile(dir / name, name);
  const std::string journal = state / "j";
  ASSERT_TRUE(Succeeds(
      RunCli({"rename", "--slot1", "upper", "--yes-all", "--journal", journal, Bare(dir)})));
  WriteFile(dir / "a.txt", "new a");
  WriteFile(dir / "c.txt", "new c");
  WriteFile(dir / "D.TXT", "edited");
  const CliResult r = Undo(journal);
  EXPECT_EQ(r.status, 1);
  for (const char* name : {"a.txt", "c.txt"}) {
    EXPECT_THAT(r.err, HasSubstr("Ziel vorhanden, nicht zurückgenommen: " + dir / name));
  }
  EXPECT_THAT(r.err,
              HasSubstr("Datei seit dem Lauf geändert, nicht zurückgenommen: " + dir / "D.TXT"));
  EXPECT_THAT(r.err, HasSubstr("3 Schritte bleiben im Journal"));
  EXPECT_EQ(ReadFile(dir / "a.txt"), "new a");
  EXPECT_EQ(ReadFile(dir / "A.TXT"), "a.txt");
  EXPECT_EQ(ReadFile(dir / "b.txt"), "b.txt");
  EXPECT_EQ(ReadFile(dir / "c.txt"), "new c");
}

// Two runs writing one journal at once: both runs' records intact, and one
// undo takes both back.
TEST(CliJournal, TwoProcessesShareOneJournal) {
  TempFolder one, two, capture;
  const Names firstNames = Numbered("one%02d.txt", 30, one.path());
  const Names secondNames = Numbered("two%02d.txt", 30, two.path());
  const std::string journal = capture / "j";
  pid_t pids[2];
  for (int n = 0; n < 2; ++n) {
    const std::string log = capture / std::to_string(n);
    pids[n] = StartCli(
        {"rename", "--slot1", "upper", "--yes-all", "--journal", journal, Bare(n ? two : one)}, log,
        log);
  }
  for (pid_t pid : pids) EXPECT_EQ(detail::WaitStatus(pid), 0);
  const std::string text = ReadFile(journal);
  EXPECT_EQ(Count(text, "\nB\t"), 2);
  EXPECT_EQ(Count(text, "\nD\t"), 60);
  EXPECT_EQ(Count(text, "\nE\t"), 2);

  EXPECT_TRUE(UndoRestores(journal, one.path(), firstNames));
  EXPECT_EQ(Listing(two.path()), secondNames);
}

// A version-2 journal is converted and taken back. What this version cannot
// take back stays, reported and never shown as done: a kind-0 record, a kind
// and a record letter it does not know. A run whose process still holds its
// lock keeps its records.
TEST(CliJournal, KeepsWhatItCannotTakeBack) {
  TempFolder dir;
  WriteFile(dir / "B.TXT", "b");
  const std::string journal = dir / "j";
  const std::string none = "\t-\t-\t-\t-\n";
  WriteFile(journal, "# velmora journal 2\nB\t0-1\t2026-01-01T00:00:00Z\trename\nI\t0-1\t1\t1\t" +
                         dir / "b.txt\t" + dir / "B.TXT" + none + "D\t0-1\t1" + none +
                         "I\t0-1\t2\t0\t" + dir / "x\t" + dir / "y" + none + "D\t0-1\t2" + none +
                         "E\t0-1\t2026-01-01T00:00:01Z\n");
  CliResult r = Undo(journal);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, dir / "B.TXT -> " + dir / "b.txt\n");
  EXPECT_THAT(r.err, HasSubstr("kann nicht zurückgenommen werden: " + dir / "x -> " + dir / "y"));
  EXPECT_EQ(ReadFile(dir / "b.txt"), "b");

  // The run of a process that lives: its run file locked.
  const int runFile = ::open((journal + ".run-9-9").c_str(), O_RDWR | O_CREAT, 0600);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  ASSERT_EQ(::fcntl(runFile, F_OFD_SETLK, &lock), 0);
  const std::string unknown = FrameRecord("T\tsome later record");
  const std::string ids = "\t-\t-\t-\t-\t-\t-\t-\t-\t-";
  const std::string running = FrameRecord("B\t9-9\t2026-01-01T00:00:00Z\trename") +
                              FrameRecord("I\t9-9\t1\t1\t" + dir / "c\t" + dir / "d" + ids);
  const std::string tag = FrameRecord("I\t0-9\t1\t7\t" + dir / "e\t" + dir / "f" + ids);
  std::ofstream(journal, std::ios::app) << unknown << running << tag;
  r = Undo(journal);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, HasSubstr("9-9"));
  const std::string text = ReadFile(journal);
  EXPECT_EQ(text.rfind("# velmora journal 3\n", 0), 0u);
  for (const std::string& kept : {unknown, running, tag, std::string("\t0\t" + dir / "x\t")}) {
    EXPECT_THAT(text, HasSubstr(kept));
  }
  ::close(runFile);
}

// What a crash leaves: a torn last line, or a damaged record in the middle.
// Undo names the damaged record and still takes every step back; a run
// after the torn tail is taken back too.
TEST(CliJournal, TornTailAndDamagedRecordAreStillUndone) {
  const struct Row {
    const char* what;
    void (*damage)(std::string& text);
    bool named;
  } rows[] = {
      {"torn tail", [](std::string& t) { t.resize(t.size() - 30); }, false},
      {"damaged done record",
       [](std::string& t) { t[t.find("\nD\t", t.find("\nD\t") + 1) + 5] ^= 4; }, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder dir, state;
    const Names original = Numbered("f%d.txt", 3, dir.path());
    const std::string journal = state / "j";
    ASSERT_TRUE(Succeeds(Upper(journal, Bare(dir))));
    std::string text = ReadFile(journal);
    row.damage(text);
    WriteFile(journal, text);
    EXPECT_TRUE(Succeeds(RunCli({"rename", "--slot1", "insert-before", "--src1=-x", "--dst1",
                                 ".TXT", "--yes-all", "--journal", journal, Bare(dir)})));
    const CliResult undo = Undo(journal);
    EXPECT_EQ(undo.status, 0) << undo.err;
    EXPECT_EQ(Count(undo.err, "Beschädigter Eintrag im Journal übersprungen: " + journal + ":"),
              row.named ? 1 : 0)
        << undo.err;
    EXPECT_EQ(Listing(dir.path()), original);
  }
}

// A run killed inside a PID namespace has a PID that names another process
// outside it; its free lock says it is over, and undo takes it back.
TEST(CliJournal, RunKilledInAPidNamespaceIsTakenBack) {
  VELMORA_NEEDS_TEST_HOOKS();
  if (std::system("unshare --pid --fork true >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "cannot make a PID namespace here (unshare --pid needs root)";
  }
  TempFolder dir, state;
  const Names original = Numbered("f%d.txt", 4, dir.path());
  const std::string journal = state / "j";
  // The shell is PID 1 of the namespace; the program, PID 2, kills itself.
  const std::string command = "LANGUAGE=de VELMORA_TEST_KILL_AFTER=2 unshare --pid --fork sh -c '" +
                              std::string(VELMORA_CLI) + " rename --slot1 upper --yes-all " +
                              "--journal " + journal + " " + Bare(dir) + "; true' >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  ASSERT_NE(Listing(dir.path()), original);
  EXPECT_TRUE(UndoRestores(journal, dir.path(), original));
}

// A run whose lock outlives its process (as on NFS) goes on for undo until
// the user dismisses it; then it counts as ended and is taken back.
TEST(CliJournal, DismissedRunCountsAsEnded) {
  VELMORA_NEEDS_TEST_HOOKS();
  TempFolder dir, state;
  const Names original = Numbered("f%d.txt", 2, dir.path());
  const std::string journal = state / "j";
  Upper(journal, Bare(dir), {"VELMORA_TEST_KILL_AFTER=2"});
  JournalFile file(journal);
  JournalContents contents;
  ASSERT_FALSE(file.Read(contents));
  ASSERT_EQ(contents.runs.size(), 1u);
  const std::string run = contents.runs[0].id;
  const int stale = ::open(RunFilePath(journal, run).c_str(), O_RDWR);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  ASSERT_EQ(::fcntl(stale, F_OFD_SETLK, &lock), 0);
  EXPECT_THAT(Undo(journal).err, HasSubstr(run));
  EXPECT_NE(Listing(dir.path()), original);
  ASSERT_FALSE(file.Dismiss(run));
  EXPECT_TRUE(UndoRestores(journal, dir.path(), original));
  ::close(stale);
}

// A link planted where the journal should be is never written through, nor
// read: the run and the undo stop before touching anything.
TEST(CliJournal, PlantedLinkIsRefused) {
  TempFolder dir, other;
  WriteFile(dir / "a.txt", "a");
  WriteFile(other / "victim", "victim");
  std::filesystem::create_symlink(other / "victim", other / "j");
  const struct {
    std::vector<std::string> args;
    const char* message;
  } rows[] = {
      {{"rename", "--slot1", "upper", "--yes-all", "--journal", other / "j", Bare(dir)},
       "Fehler beim Schreiben des Journals"},
      {{"undo", "--yes-all", "--journal", other / "j"}, "Fehler beim Lesen des Journals"},
  };
  for (const auto& row : rows) {
    const CliResult r = RunCli(row.args);
    EXPECT_EQ(r.status, 2) << row.message;
    EXPECT_THAT(r.err, HasSubstr(row.message));
  }
  EXPECT_EQ(ReadFile(other / "victim"), "victim");
  EXPECT_EQ(Listing(dir.path()), (Names{"a.txt"}));
}

}  // namespace
}  // namespace velmora
