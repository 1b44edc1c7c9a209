// velmora-cli's search, rename, copy, move and undo, run as the real program
// on temporary folders; names printed one to a line, and --dry-run and
// --check over the plan: conflicts marked behind their step, nothing
// touched while a conflict stands; --order and --reverse: numbering follows
// the list order. (The counter's options: the job test of command_line_test.cpp.)
#include <gtest/gtest.h>

#include "engine/error_numbers.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using Args = std::vector<std::string>;

// Names with a tab, a line end and a backslash survive the journal and are
// printed one to a line, escaped as there; the journal inside the searched
// folder is written during a run and is never one of its steps; undo --last
// takes the newest run back, undo the rest, newest step first.
TEST(CliJournal, RoundTripRestoresEveryName) {
  TempFolder dir;
  const Names original = {"back\\slash.txt", "line\nend.txt", "tab\there.txt"};
  WriteFiles(dir.path(), original);
  const std::string journal = dir / "undo.journal";

  CliResult r =
      RunCli({"rename", "--slot1", "insert-before", "--src1=-x", "--dst1", ".txt", "--yes-all",
              "--log", "--journal", journal, "--pattern", "*.txt", Bare(dir)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(
      RunCli({"search", "--pattern", "*.txt", Bare(dir)}).out,
      dir / "back\\\\slash-x.txt\n" + dir / "line\\nend-x.txt\n" + dir / "tab\\there-x.txt\n");
  const Args upper = {"rename", "--slot1", "upper"};
  const CliResult preview = RunCli(Plus(upper, {"--pattern", "*.txt", "--dry-run", Bare(dir)}));
  r = RunCli(Plus(upper, {"--yes-all", "--journal", journal, Bare(dir)}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir / "back\\\\slash-x.txt -> " + dir / "BACK\\\\SLASH-X.TXT\n" +
                       dir / "line\\nend-x.txt -> " + dir / "LINE\\nEND-X.TXT\n" +
                       dir / "tab\\there-x.txt -> " + dir / "TAB\\tHERE-X.TXT\n");
  EXPECT_EQ(preview.out, r.out);
  EXPECT_EQ(Listing(dir.path()), (Names{"BACK\\SLASH-X.TXT", "LINE\nEND-X.TXT", "TAB\tHERE-X.TXT",
                                        "undo.journal", "undo.journal.lock"}));
  // One record a line: the tab and the line end inside a name are escaped.
  EXPECT_THAT(ReadFile(journal),
              HasSubstr("\t1\t" + dir / "tab\\there.txt\t" + dir / "tab\\there-x.txt\t"));
  // --log: the run log beside the program holds the lines of each step.
  EXPECT_THAT(
      ReadFile(std::filesystem::path(VELMORA_CLI).parent_path() / "LogFile.Log"),
      HasSubstr("nameSrc= " + dir / "tab\there.txt\r\nnameDest= " + dir / "tab\there-x.txt"));

  r = Undo(journal, {"--last"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find(dir / "TAB\\tHERE-X.TXT -> "), 0u) << r.out;  // newest first
  EXPECT_EQ(Listing(dir.path()), (Names{"back\\slash-x.txt", "line\nend-x.txt", "tab\there-x.txt",
                                        "undo.journal", "undo.journal.lock"}));
  EXPECT_TRUE(
      UndoRestores(journal, dir.path(), Plus(original, {"undo.journal", "undo.journal.lock"})));
  EXPECT_EQ(ReadFile(journal), "# velmora journal 3\n");
}

// Copy into --dest: an existing target is kept without --overwrite-all, the
// run goes on and ends with status 1; with it, a move replaces the target.
// Standard output and error into one file, as `2>&1 | tee` does: the step
// lines are buffered there, yet the failure still shows after the step
// before it and before the step after it.
TEST(CliRun, CopyAndMoveIntoDestination) {
  TempFolder dir, dest, capture;
  WriteFiles(dir.path(), {"a.txt", "b.txt", "c.txt"});
  WriteFile(dest / "B.TXT", "old");
  const std::string both = capture / "both";
  const pid_t pid = StartCli({"copy", "--dest", Bare(dest), "--slot1", "upper", "--yes-all",
                              "--journal", dest / "journal", Bare(dir)},
                             both, both);
  ASSERT_EQ(detail::WaitStatus(pid), 1);
  const std::string out = ReadFile(both);
  const std::size_t a = out.find(dir / "a.txt -> " + dest / "A.TXT\n"),
                    failure = out.find(dest / "B.TXT\numbenennen"),
                    c = out.find(dir / "c.txt -> " + dest / "C.TXT\n");
  ASSERT_NE(c, std::string::npos) << out;
  EXPECT_LT(a, failure) << out;
  EXPECT_LT(failure, c) << out;
  EXPECT_EQ(ReadFile(dest / "B.TXT"), "old");
  EXPECT_EQ(Listing(dir.path()), (Names{"a.txt", "b.txt", "c.txt"}));

  // The kept step never went through: undo removes only the copies made,
  // and never copies a copy back over its original, edited since.
  WriteFile(dir / "a.txt", "edited");
  const CliResult r = Undo(dest / "journal", {"--overwrite-all"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "entfernt: " + dest / "C.TXT\nentfernt: " + dest / "A.TXT\n");
  EXPECT_EQ(Listing(dest.path()), (Names{"B.TXT", "journal", "journal.lock"}));
  EXPECT_EQ(ReadFile(dest / "B.TXT"), "old");
  EXPECT_EQ(ReadFile(dir / "a.txt"), "edited");

  EXPECT_TRUE(Succeeds(RunCli({"move", "--dest", dest.path(), "--slot1", "upper", "--yes-all",
                               "--overwrite-all", "--pattern", "*.txt", Bare(dir)})));
  EXPECT_EQ(ReadFile(dest / "B.TXT"), "b.txt");
  EXPECT_TRUE(Listing(dir.path()).empty());
}

// On a terminal every step is asked: "j" (or "y") commits, "n" skips, an
// unknown word asks again, and the overwrite question's "b" (or "c") keeps
// the existing file. English takes either language's letters.
TEST(CliTerminal, AnswersAreTypedAtThePrompts) {
  struct Row {
    std::string typed;
    std::vector<std::string> env, prompts;
  };
  const Row rows[] = {
      {"j\nvielleicht\nn\nj\nb\n", {}, {"Sind Sie sicher ??", "Die Zieldatei existiert bereits"}},
      {"y\nmaybe\nn\nj\nc\n",
       {"LANGUAGE=en", "LC_ALL=en_US.UTF-8"},
       {"Are you sure ??", "(y)es, (a)ll, (n)o, (c)ancel?", "The target file already exists"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.typed);
    TempFolder dir;
    WriteFiles(dir.path(), {"a.txt", "b.txt", "c.txt"});
    WriteFile(dir / "c.md", "old");
    const CliResult r = RunCliOnTerminal({"rename", "--slot1", "replace", "--src1", ".txt",
                                          "--dst1", ".md", "--pattern", "*.txt", Bare(dir)},
                                         row.typed, row.env);
    EXPECT_EQ(r.status, 1) << r.out;
    for (const std::string& prompt : row.prompts) EXPECT_THAT(r.out, HasSubstr(prompt));
    EXPECT_THAT(r.out, HasSubstr(dir / "a.txt -> " + dir / "a.md"));
    EXPECT_EQ(Listing(dir.path()), (Names{"a.md", "b.txt", "c.md", "c.txt"}));
    EXPECT_EQ(ReadFile(dir / "c.md"), "old");
  }
}

// Even with --overwrite-all a folder is no file to delete: the step fails
// with its own message, and the file stays.
TEST(CliNames, ANewNameThatIsAFolderFailsClearly) {
  TempFolder dir;
  WriteFile(dir / "k\nx.txt", "k");
  std::filesystem::create_directory(dir / "sub");
  const CliResult run = RunCli({"rename", "--slot1", "replace", "--src1", "k\nx.txt", "--dst1",
                                "sub", "--yes-all", "--overwrite-all", Bare(dir)});
  EXPECT_NE(run.status, 0);
  EXPECT_THAT(run.err, AllOf(Not(HasSubstr("Fehler beim Löschen")), HasSubstr("Is a directory"),
                             HasSubstr(dir / "k\\nx.txt")));
  EXPECT_EQ(ReadFile(dir / "k\nx.txt"), "k");
  EXPECT_TRUE(std::filesystem::is_empty(dir / "sub"));
}

// The plan as --dry-run and --check print it, and the run that follows it:
// each conflict marked behind its step, "Löschen ???" answered by --yes-all
// as the run answers it (the later slot goes on from the name the file
// kept), nothing touched and no journal while --check finds a conflict, and
// a step onto a file the run needs refused, chains resolved or not. A file
// that keeps its name keeps its content, and the marks read the same in
// English. (The shift onto a later file is the plan's own test.)
TEST(CliPlan, DryRunCheckAndRunFollowOnePlan) {
  const std::string kept =
      "Plan mit --yes-all: jeder Schritt bestätigt, vorhandene Ziele "
      "bleiben (ohne --overwrite-all).\n";
  const std::string replaced =
      "Plan mit --yes-all --overwrite-all: jeder Schritt bestätigt, "
      "vorhandene Ziele werden überschrieben.\n";
  const Names swap = {"A - B.mp3", "B - A.mp3"}, mirror = {"--slot1", "mirror", "--src1", " - "};
  const Names ab = {"a.txt", "b.txt"}, dashes = {"a-1.txt", "a_1.txt"};
  const Names aToB = {"--pattern", "a*", "--slot1", "replace", "--src1",   "a",
                      "--dst1",    "b",  "--slot2", "upper",   "--yes-all"};
  const Names onto = {"--slot1", "replace", "--src1", "-", "--dst1", "_", "--yes-all"};
  // Two chained slots with numbering: the dry run prints exactly the steps of the run.
  const Names numbered = {"--slot1", "replace",       "--src1", " ", "--dst1", "_",
                          "--slot2", "number-before", "--src2", "7", "--dst2", ".txt"};
  const Names spaced = {"a 1.txt", "b 2.txt", "c.txt"};
  const std::string numberedSteps =
      "D/a 1.txt -> D/a_1.txt\nD/a_1.txt -> D/a_17.txt\nD/b 2.txt -> D/b_2.txt\n"
      "D/b_2.txt -> D/b_28.txt\nD/c.txt -> D/c9.txt\n";
  const std::string refused =
      "D/a-1.txt\n nicht zu \nD/a_1.txt\numbenennen\n\nFehler:  " + std::to_string(kFileExists);
  struct Row {
    const char* what;
    Names files, args;  // args before the folder
    int status;
    std::string out;       // with "D/" for the folder; "?": not compared
    std::string err = "";  // a part of standard error
    Names after = {};      // empty: as files
  };
  const Row rows[] = {
      {"two slots numbered, planned", spaced, Plus(numbered, {"-n"}), 0, numberedSteps,
       "3 Änderungen, 0 Konflikte"},
      {"two slots numbered", spaced, Plus(numbered, {"--yes-all"}), 0, numberedSteps, "",
       Names{"a_17.txt", "b_28.txt", "c9.txt"}},
      {"swap, not resolved", swap, Plus(mirror, {"--no-resolve-chains", "-n"}), 0,
       "D/A - B.mp3 -> D/B - A.mp3  [Kette]\nD/B - A.mp3 -> D/A - B.mp3  [Kette]\n",
       "0 Änderungen, 2 Konflikte"},
      {"swap resolved", swap, Plus(mirror, {"-n"}), 0,
       "D/A - B.mp3 -> D/B - A.mp3\nD/B - A.mp3 -> D/A - B.mp3\n", "2 Änderungen, 0 Konflikte"},
      {"two end at one name, one meets an unlisted file", Names{"x-.mp3", "x-1.txt", "x-2.txt"},
       Names{"--pattern", "*.txt", "--slot1", "delete-count-at", "--src1", "1", "--dst1", "3",
             "--slot2", "replace", "--src2", ".txt", "--dst2", ".mp3", "-n"},
       0,
       "D/x-1.txt -> D/x-.txt\nD/x-.txt -> D/x-.mp3  [existiert]\n"
       "D/x-2.txt -> D/x-.txt\nD/x-.txt -> D/x-.mp3  [doppelt]\n",
       "2 Änderungen, 2 Konflikte"},
      {"target kept, planned", ab, Plus(aToB, {"-n"}), 0,
       kept + "D/a.txt -> D/b.txt  [existiert]\nD/a.txt -> D/A.TXT\n"},
      {"target kept", ab, aToB, 1, "D/a.txt -> D/A.TXT\n", "", Names{"A.TXT", "b.txt"}},
      {"target replaced, planned", ab, Plus(aToB, {"--overwrite-all", "-n"}), 0,
       replaced + "D/a.txt -> D/b.txt  [existiert]\nD/b.txt -> D/B.TXT\n"},
      {"target replaced", ab, Plus(aToB, {"--overwrite-all"}), 0,
       "D/a.txt -> D/b.txt\nD/b.txt -> D/B.TXT\n", "", Names{"B.TXT"}},
      {"a chain checked", Names{"f1.txt", "f2.txt"},
       Names{"--slot1", "replace", "--src1", "1", "--dst1", "2", "--yes-all", "--overwrite-all",
             "--check"},
       3, replaced + "D/f1.txt -> D/f2.txt  [Kette]\n"},
      // A failure the run would report counts as a conflict too.
      {"a name leaving its folder checked", Names{"f1.txt"},
       Names{"--slot1", "insert-at", "--src1", "sub/", "--dst1", "1", "--check", "--dry-run"}, 3,
       "?", "Falscher Dateiname"},
      {"onto a file that stays", dashes, onto, 1, "", refused},
      {"onto a file that stays, chains not resolved", dashes, Plus(onto, {"--no-resolve-chains"}),
       1, "", refused},
      // "&Alle" numbers as "&Ja" would.
      {"numbered, checked and run", Names{"a-x.txt", "b.txt", "c-x.txt", "c-3x.txt"},
       Names{"--pattern", "a-x.txt;b.txt;c-x.txt", "--slot1", "10", "--src1", "1", "--dst1", "-",
             "--check", "--yes-all", "--overwrite-all"},
       0, "D/a-x.txt -> D/a-1x.txt\nD/c-x.txt -> D/c-2x.txt\n", "",
       Names{"a-1x.txt", "b.txt", "c-2x.txt", "c-3x.txt"}},
      {"onto a file the run needs", Names{"a1.txt", "a2.txt"},
       Names{"--slot1", "delete-count-at", "--src1", "1", "--dst1", "2", "--yes-all",
             "--overwrite-all"},
       1, "D/a1.txt -> D/a.txt\n", "Muster enger fassen", Names{"a.txt", "a2.txt"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder dir, state;
    WriteFiles(dir.path(), row.files);
    const Names args = Plus(Plus({"rename"}, row.args), {"--journal", state / "j", Bare(dir)});
    const CliResult r = RunCli(args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_EQ(r.out, row.out == "?" ? r.out : InFolder(row.out, dir));
    EXPECT_THAT(r.err, HasSubstr(InFolder(row.err, dir)));
    if (row.err.ends_with("Konflikte")) {  // the marks scripts read stay as in German
      EXPECT_EQ(RunCli(args, {"LANGUAGE=en"}).out, r.out);
    }
    const Names after = row.after.empty() ? row.files : row.after;
    EXPECT_EQ(Listing(dir.path()), after);
    for (const std::string& name : after) {  // kept names keep their content
      if (std::count(row.files.begin(), row.files.end(), name) != 0) {
        EXPECT_EQ(ReadFile(dir / name), name);
      }
    }
    EXPECT_EQ(FileExists(state / "j"), row.status != 3 && row.args.back() != "-n");
  }
}

// Name, size and time disagree, so each order numbers the files differently.
TEST(CliOrder, EachOrderNumbersTheFilesInTurn) {
  struct Row {
    Names order;
    Names after;
  };
  const Row rows[] = {
      {{}, {"_1t10.txt", "_2t2.txt", "_3T3.txt"}},
      {{"--order", "name", "--reverse"}, {"_1T3.txt", "_2t2.txt", "_3t10.txt"}},
      {{"--order", "natural"}, {"_1t2.txt", "_2T3.txt", "_3t10.txt"}},
      {{"--order", "modified"}, {"_1T3.txt", "_2t10.txt", "_3t2.txt"}},
      {{"--order", "size", "--reverse"}, {"_1t2.txt", "_2t10.txt", "_3T3.txt"}},
  };
  const struct {
    const char* name;
    const char* content;
    long long modified;
  } files[] = {{"_t10.txt", "1234", 2000000000},
               {"_t2.txt", "123456", 2000000500},
               {"_T3.txt", "12", 1000000000}};
  for (const Row& row : rows) {
    TempFolder dir, state;
    for (const auto& file : files) {
      WriteFile(dir / file.name, file.content);
      ASSERT_TRUE(SetModified(dir / file.name, file.modified));
    }
    EXPECT_TRUE(Succeeds(RunCli(Plus(Plus({"rename", "--slot1", "number-after", "--src1", "1",
                                           "--dst1", "_", "--yes-all", "--journal", state / "j"},
                                          row.order),
                                     {Bare(dir)}))));
    EXPECT_EQ(Listing(dir.path()), row.after) << (row.order.empty() ? "default" : row.order[1]);
  }
}

// Several folders are one list: in the order given, each file once, and
// sorted by path with letter case ignored; another order sorts them as one
// list. One run over them, numbered along the whole list, that one undo
// takes back.
TEST(CliOrder, SeveralFoldersAreOneList) {
  TempFolder dir;
  WriteFile(dir / "a/big.txt", "123456");
  WriteFile(dir / "a/Small.txt", "1");
  WriteFiles(dir / "a/", {"c.mp3", "z/t.txt"});
  WriteFile(dir / "b/mid.txt", "123");
  const std::string a = dir / "a", b = dir / "b";
  struct Row {
    Names args;       // after "search -p *.txt"
    std::string out;  // with "D/" for dir
  };
  const Row rows[] = {
      {{a, b}, "D/a/big.txt\nD/a/Small.txt\nD/b/mid.txt\n"},
      {{"-s", b, a, a + "/z"}, "D/b/mid.txt\nD/a/big.txt\nD/a/Small.txt\nD/a/z/t.txt\n"},
      {{"--order", "size", a, b}, "D/a/Small.txt\nD/b/mid.txt\nD/a/big.txt\n"},
      {{"--reverse", a, b}, "D/b/mid.txt\nD/a/Small.txt\nD/a/big.txt\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const CliResult r = RunCli(Plus({"search", "-p", "*.txt"}, row.args));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, InFolder(row.out, dir));
  }
  EXPECT_EQ(RunCli({"search", a, dir / "missing"}).status, 2);

  const std::string journal = dir / "journal";
  EXPECT_TRUE(
      Succeeds(RunCli({"rename", "-p", "*.txt", "--slot1", "number-before", "--src1", "1", "--dst1",
                       ".txt", "--order", "size", "--yes-all", "--journal", journal, a, b})));
  EXPECT_EQ(Listing(a), (Names{"Small1.txt", "big3.txt", "c.mp3", "z"}));
  EXPECT_EQ(Listing(b), Names{"mid2.txt"});
  EXPECT_TRUE(UndoRestores(journal, a, {"Small.txt", "big.txt", "c.mp3", "z"}));
  EXPECT_EQ(Listing(b), Names{"mid.txt"});
}

}  // namespace
}  // namespace velmora
