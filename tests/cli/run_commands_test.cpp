// velmora-cli's search, rename, copy, move and undo, run as the real program
// on temporary folders.
#include <gtest/gtest.h>

#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Names = std::vector<std::string>;
using Args = std::vector<std::string>;

void MakeFiles(const TempFolder& folder, const Names& names) {
  for (const std::string& name : names) WriteFile(folder / name, "content of " + name);
}

// Help, usage errors and every refusal: their status and message, and the
// folder untouched.
TEST(CliUsage, StatusAndMessageOfHelpErrorsAndRefusals) {
  TempFolder dir;
  MakeFiles(dir, {"a-b.txt"});
  const std::string f = Bare(dir);
  const std::string good = "# velmora journal 1\n";
  const std::string bad = good + "1\t" + dir / "a-b.txt\n";  // no destination
  WriteFile(dir / "good.journal", good);
  WriteFile(dir / "bad.journal", bad);
  struct Row {
    Args args;
    int status;
    std::string inOutput;
  };
  const Row rows[] = {
      {{"--help"}, 0, "read-tag"},
      {{"rename", "--help"}, 0, "delete-between"},
      {{}, 2, "velmora-cli"},
      {{"rename", "--no-such-option", f}, 2, "no-such-option"},
      {{"rename", "--slot1", "bogus", "--yes-all", f}, 2, "Unbekannte Operation"},
      {{"rename", "--yes-all", f}, 2, "Keine Operation"},
      {{"copy", "--slot1", "upper", "--yes-all", f}, 2, "--dest"},
      {{"search", dir / "a-b.txt"}, 2, "Pfad nicht gefunden"},
      {{"tag", "--title", "4", f}, 2, "Ungültige Quelle"},
      {{"tag", "--genre", "=Keine", f}, 2, "Ungültige Quelle"},
      // Without a terminal the questions need answering in advance.
      {{"rename", "--slot1", "upper", f}, 2, "--yes-all"},
      {{"undo", "--journal", dir / "good.journal"}, 2, "--yes-all"},
      {{"rename", "--slot1", "number-at", "--src1", "0", "--dst1", "1", "--yes-all", f},
       2,
       "Falsche oder fehlende Eingabe"},
      {{"undo", "--journal", dir / "bad.journal", "--yes-all"}, 2, "Falsches Datei-Format"},
      // An empty value after "=" must not swallow the next option.
      {{"rename", "--slot1=replace", "--src1=-b", "--dst1=", "--dry-run", f}, 0, "a.txt"},
  };
  for (const Row& row : rows) {
    const CliResult r = RunCli(row.args);
    const std::string what = row.args.empty() ? "" : row.args[0] + " " + row.inOutput;
    EXPECT_EQ(r.status, row.status) << what << "\n" << r.err;
    EXPECT_NE((r.out + r.err).find(row.inOutput), std::string::npos) << what << r.out << r.err;
  }
  EXPECT_EQ(Listing(dir.path()), (Names{"a-b.txt", "bad.journal", "bad.journal.lock",
                                        "good.journal", "good.journal.lock"}));
  EXPECT_EQ(ReadFile(dir / "a-b.txt"), "content of a-b.txt");
  EXPECT_EQ(ReadFile(dir / "good.journal"), good);
  EXPECT_EQ(ReadFile(dir / "bad.journal"), bad);
}

TEST(CliSearch, ListsInListOrderWithPatternAndSubFolders) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "sub");
  MakeFiles(dir, {"b.txt", "A.TXT", "c.mp3", "sub/d.txt"});
  const CliResult r = RunCli({"search", "--pattern", "*.txt", "--subdirs", Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  // Sorted by path with letter case ignored, whatever the visit order.
  EXPECT_EQ(r.out, dir / "A.TXT\n" + dir / "b.txt\n" + dir / "sub/d.txt\n");
}

// Two chained slots with numbering: the dry run prints exactly what the run
// then does, and touches nothing (journal included).
TEST(CliRun, DryRunPrintsTheStepsOfTheRealRun) {
  TempFolder dir;
  MakeFiles(dir, {"a 1.txt", "b 2.txt", "c.txt"});
  const Args job = {"rename", "--slot1", "replace", "--src1",        " ",
                    "--dst1", "_",       "--slot2", "number-before", "--src2",
                    "7",      "--dst2",  ".txt",    "--journal",     dir / "journal"};
  Args dry = job;
  dry.insert(dry.end(), {"--dry-run", Bare(dir)});
  const CliResult preview = RunCli(dry);
  EXPECT_EQ(preview.status, 0) << preview.err;
  EXPECT_NE(preview.out.find(dir / "a_1.txt -> " + dir / "a_17.txt\n"), std::string::npos);
  EXPECT_EQ(Listing(dir.path()), (Names{"a 1.txt", "b 2.txt", "c.txt"}));

  Args real = job;
  real.insert(real.end(), {"--yes-all", Bare(dir)});
  const CliResult run = RunCli(real);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, preview.out);
  EXPECT_EQ(Listing(dir.path()),
            (Names{"a_17.txt", "b_28.txt", "c9.txt", "journal", "journal.lock"}));
}

// Names with a tab, a line end and a backslash survive the journal; undo
// --last takes the newest run back, undo the rest, newest step first.
TEST(CliJournal, RoundTripRestoresEveryName) {
  TempFolder dir;
  const Names original = {"back\\slash.txt", "line\nend.txt", "tab\there.txt"};
  MakeFiles(dir, original);
  const std::string journal = dir / "undo.journal";

  CliResult r =
      RunCli({"rename", "--slot1", "insert-before", "--src1=-x", "--dst1", ".txt", "--yes-all",
              "--log", "--journal", journal, "--pattern", "*.txt", Bare(dir)});
  ASSERT_EQ(r.status, 0) << r.err;
  r = RunCli({"rename", "--slot1", "upper", "--yes-all", "--journal", journal, "--pattern", "*.txt",
              Bare(dir)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Listing(dir.path()), (Names{"BACK\\SLASH-X.TXT", "LINE\nEND-X.TXT", "TAB\tHERE-X.TXT",
                                        "undo.journal", "undo.journal.lock"}));
  // One record a line: the tab and the line end inside a name are escaped.
  EXPECT_NE(ReadFile(journal).find("\t1\t" + dir / "tab\\there.txt\t" + dir / "tab\\there-x.txt\t"),
            std::string::npos);

  // The run log beside the program holds the nine lines of each step.
  const std::string log =
      ReadFile(std::filesystem::path(VELMORA_CLI).parent_path() / "LogFile.Log");
  EXPECT_NE(
      log.find("nameSrc= " + dir / "tab\there.txt\r\nnameDest= " + dir / "tab\there-x.txt\r\n"),
      std::string::npos);

  r = RunCli({"undo", "--journal", journal, "--yes-all", "--last"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find(dir / "TAB\\tHERE-X.TXT -> "), 0u) << r.out;  // newest first
  EXPECT_EQ(Listing(dir.path()), (Names{"back\\slash-x.txt", "line\nend-x.txt", "tab\there-x.txt",
                                        "undo.journal", "undo.journal.lock"}));
  r = RunCli({"undo", "--journal", journal, "--yes-all"});
  EXPECT_EQ(r.status, 0) << r.err;
  Names expected = original;
  expected.insert(expected.end(), {"undo.journal", "undo.journal.lock"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Listing(dir.path()), expected);
  EXPECT_EQ(ReadFile(journal), "# velmora journal 2\n");
}

// Copy into --dest: an existing target is kept without --overwrite-all (the
// run goes on and ends with status 1); with it, a move replaces the target.
TEST(CliRun, CopyAndMoveIntoDestination) {
  TempFolder dir, dest;
  MakeFiles(dir, {"a.txt", "b.txt"});
  WriteFile(dest / "A.TXT", "old");

  CliResult r = RunCli({"copy", "--dest", Bare(dest), "--slot1", "upper", "--yes-all", "--journal",
                        dest / "journal", Bare(dir)});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, dir / "b.txt -> " + dest / "B.TXT\n");
  EXPECT_NE(r.err.find("Konnte \n" + dir / "a.txt\n nicht zu \n" + dest / "A.TXT\numbenennen"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(ReadFile(dest / "A.TXT"), "old");
  EXPECT_EQ(ReadFile(dest / "B.TXT"), "content of b.txt");
  EXPECT_EQ(Listing(dir.path()), (Names{"a.txt", "b.txt"}));
  // The kept step never went through: undo removes only the copy made.
  r = RunCli({"undo", "--journal", dest / "journal", "--yes-all"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "entfernt: " + dest / "B.TXT\n");
  EXPECT_EQ(ReadFile(dest / "A.TXT"), "old");
  EXPECT_FALSE(FileExists(dest / "B.TXT"));

  r = RunCli({"move", "--dest", dest.path(), "--slot1", "upper", "--yes-all", "--overwrite-all",
              "--pattern", "*.txt", Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadFile(dest / "A.TXT"), "content of a.txt");
  EXPECT_TRUE(Listing(dir.path()).empty());
}

// Standard output and error into one pipe, as `2>&1 | tee` does: the step
// lines are buffered there, yet each failure still shows after the steps
// before it and before the steps after it.
TEST(CliRun, StepsAndFailuresKeepTheirOrderInOnePipe) {
  TempFolder dir, dest, capture;
  MakeFiles(dir, {"a.txt", "b.txt", "c.txt"});
  WriteFile(dest / "B.TXT", "old");
  const std::string both = capture / "both";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int fd = ::open(both.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ::dup2(fd, STDOUT_FILENO);
    ::dup2(fd, STDERR_FILENO);
    ::dup2(::open("/dev/null", O_RDONLY), STDIN_FILENO);
    detail::ExecCli({"copy", "--dest", Bare(dest), "--slot1", "upper", "--yes-all", "--journal",
                     dest / "journal", Bare(dir)});
  }
  ASSERT_EQ(detail::WaitStatus(pid), 1);
  const std::string out = ReadFile(both);
  const std::size_t a = out.find("a.txt -> "), failure = out.find("B.TXT\numbenennen"),
                    c = out.find("c.txt -> ");
  ASSERT_NE(failure, std::string::npos) << out;
  EXPECT_LT(a, failure) << out;
  EXPECT_LT(failure, c) << out;
  EXPECT_NE(c, std::string::npos) << out;
}

// On a terminal every step is asked: "j" commits, "n" skips, and the
// overwrite question's "b" keeps the existing file.
TEST(CliTerminal, AnswersAreTypedAtThePrompts) {
  TempFolder dir;
  MakeFiles(dir, {"a.txt", "b.txt", "c.txt"});
  WriteFile(dir / "c.md", "old");
  const CliResult r = RunCliOnTerminal({"rename", "--slot1", "replace", "--src1", ".txt", "--dst1",
                                        ".md", "--pattern", "*.txt", Bare(dir)},
                                       "j\nvielleicht\nn\nj\nb\n");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("Sind Sie sicher ??"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Die Zieldatei existiert bereits"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(dir / "a.txt -> " + dir / "a.md"), std::string::npos) << r.out;
  EXPECT_EQ(Listing(dir.path()), (Names{"a.md", "b.txt", "c.md", "c.txt"}));
  EXPECT_EQ(ReadFile(dir / "c.md"), "old");
}

// English prompts and letters; what scripts read stays as in German.
TEST(CliTerminal, EnglishPromptsTakeEitherLanguagesLetters) {
  TempFolder dir;
  MakeFiles(dir, {"a.txt", "b.txt", "c.txt"});
  WriteFile(dir / "c.md", "old");
  const CliResult r =
      RunCliOnTerminal({"rename", "--slot1", "replace", "--src1", ".txt", "--dst1", ".md",
                        "--pattern", "*.txt", Bare(dir)},
                       "y\nmaybe\nn\nj\nc\n", {"LANGUAGE=en", "LC_ALL=en_US.UTF-8"});
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("Are you sure ??"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(y)es, (a)ll, (n)o, (c)ancel?"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("The target file already exists"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(dir / "a.txt -> " + dir / "a.md"), std::string::npos) << r.out;
  EXPECT_EQ(Listing(dir.path()), (Names{"a.md", "b.txt", "c.md", "c.txt"}));
}

TEST(CliLanguage, ScriptOutputIsTheSameInBothLanguages) {
  TempFolder dir;
  MakeFiles(dir, {"a.txt", "b.txt"});
  WriteFile(dir / "b.md", "");
  const std::vector<std::string> args = {"rename",    "--dry-run", "--slot1", "replace",
                                         "--src1",    ".txt",      "--dst1",  ".md",
                                         "--pattern", "*.txt",     Bare(dir)};
  const CliResult german = RunCli(args);
  const CliResult english = RunCli(args, {"LANGUAGE=en"});
  EXPECT_EQ(german.status, english.status);
  auto steps = [](const std::string& out) {
    std::string lines;
    std::size_t start = 0;
    while (start < out.size()) {
      std::size_t end = out.find('\n', start);
      if (end == std::string::npos) end = out.size();
      const std::string line = out.substr(start, end - start);
      if (line.find(" -> ") != std::string::npos) lines += line + "\n";
      start = end + 1;
    }
    return lines;
  };
  EXPECT_NE(steps(german.out).find("[existiert]"), std::string::npos) << german.out;
  EXPECT_EQ(steps(english.out), steps(german.out));
  // Help and messages follow the language.
  EXPECT_NE(RunCli({"--help"}, {"LANGUAGE=en"}).out.find("Rename the files found"),
            std::string::npos);
  EXPECT_NE(RunCli({"--help"}, {"LANGUAGE=fr:en"}).out.find("Rename the files found"),
            std::string::npos);
  EXPECT_NE(RunCli({"--help"}, {"LANGUAGE=", "LC_ALL=C"}).out.find("Gefundene Dateien umbenennen"),
            std::string::npos);
}

}  // namespace
}  // namespace velmora
