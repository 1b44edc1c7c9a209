// How velmora-cli reads its command line: version and help, short options,
// suggestions for mistyped words, what scripts read from search and tag, and
// saved jobs (--save-job writes what the options describe without running,
// --job runs it, and options beside it win).
#include <gtest/gtest.h>

#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using ::testing::Not;
using Args = std::vector<std::string>;

// The help follows the language, the first of LANGUAGE it knows.
TEST(CliCommandLine, VersionAndHelpWithoutInternals) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_THAT(version.out, ::testing::StartsWith("velmora-cli "));
  const CliResult help = RunCli({"rename", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("--no-resolve-chains"));
  EXPECT_THAT(help.out, Not(HasSubstr("{false}")));
  EXPECT_THAT(RunCli({"--help"}, {"LANGUAGE=fr:en"}).out, HasSubstr("Rename the files found"));
}

// Each short option does what its long one does: the same dry run.
TEST(CliCommandLine, ShortOptionsMatchTheLongOnes) {
  TempFolder dir;
  WriteFiles(dir.path(), {"a.txt", "b.mp3", "sub/c.txt"});
  const Args job = {"rename", "--slot1", "upper"};
  const CliResult shortRun = RunCli(Plus(job, {"-n", "-y", "-s", "-p", "*.txt", Bare(dir)}));
  EXPECT_EQ(shortRun.status, 0) << shortRun.err;
  EXPECT_EQ(
      shortRun.out,
      RunCli(Plus(job, {"--dry-run", "--yes-all", "--subdirs", "--pattern", "*.txt", Bare(dir)}))
          .out);
  EXPECT_THAT(shortRun.out, HasSubstr("sub/C.TXT"));
  EXPECT_EQ(RunCli({"rename", "-r", "--slot1", "upper", "-n", Bare(dir)}).status, 2);
}

// Usage errors and every refusal: their status and message (in English too
// where given), and the folder untouched. A mistyped word is named with the
// closest valid one; a word close to nothing gets no guess. The help is what
// the completion and man page tests read.
TEST(CliCommandLine, RefusalsSayWhatIsWrongAndTouchNothing) {
  TempFolder dir;
  WriteFiles(dir.path(), {"a-b.txt"});
  const std::string f = Bare(dir);
  const std::string good = "# velmora journal 3\n";
  const std::string old = "# velmora journal 1\n";
  const std::string bad = old + "1\t" + dir / "a-b.txt\n";  // a version no longer read
  WriteFile(dir / "good.journal", good);
  WriteFile(dir / "bad.journal", bad);
  const std::string badInput = "Falsche oder fehlende Eingabe";
  struct Row {
    Args args;
    std::string german;  // in standard error, or standard output for status 0
    std::string english = "";
    int status = 2;
  };
  const Row rows[] = {
      {{}, "Kein Befehl angegeben", "No command given"},
      {{"search"}, "velmora-cli: FOLDER fehlt\n", "FOLDER is required"},
      {{"copy", "--slot1", "upper", f}, "--dest fehlt", "--dest is required"},
      {{"search", "-p"}, "--pattern braucht einen Wert (P)", "--pattern needs a value (P)"},
      {{"tag", "--id3v2", "nie", f},
       "--id3v2: nie ist nicht erlaubt; möglich: {auto,always,never}",
       "--id3v2: nie is not allowed; possible: {auto,always,never}"},
      {{"undo", f}, "Unerwartetes Argument: " + f, "argument was not expected: " + f},
      {{"search", "-p", "a", "-p", "b", f}, "höchstens 1-mal", "at most 1 times"},
      // Mistyped words, and words close to nothing.
      {{"renmae", f}, "Unbekannter Befehl: renmae – meinten Sie: rename?"},
      {{"rename", "--slot1", "upper", "--dry-rn", f}, "--dry-rn – meinten Sie: --dry-run?"},
      {{"tag", "--titel", "1", f}, "meinten Sie: --title?"},
      {{"tag", "--sep", " - ", f}, "meinten Sie: --separator?"},
      {{"rename", "--src1", "-x", "--slot1", "uper", "-ny", f},
       "--slot1: uper – meinten Sie: upper?"},
      {{"rename", "--slot1", "bogus", "-n", f}, "oder replace, insert-after"},
      {{"rename", "--no-such-option", f}, "Unbekannte Option: --no-such-option\n"},
      {{"frobnicate"}, "Unbekannter Befehl: frobnicate\n"},
      {{"rename", "--slot1", "bogus", "--yes-all", f}, "Unbekannte Operation"},
      {{"rename", "--yes-all", f}, "Keine Operation"},
      {{"search", dir / "a-b.txt"}, "Pfad nicht gefunden"},
      {{"search", "--order", "random", f}, "--order: random ist nicht erlaubt"},
      {{"tag", "--title", "4", f}, "Ungültige Quelle"},
      {{"tag", "--genre", "=Keine", f}, "Ungültige Quelle"},
      // Without a terminal the questions need answering in advance.
      {{"rename", "--slot1", "upper", f}, "--yes-all"},
      {{"undo", "--journal", dir / "good.journal"}, "--yes-all"},
      {{"rename", "--slot1", "number-at", "--src1", "0", "--dst1", "1", "--yes-all", f}, badInput},
      {{"rename", "--slot1", "number-at", "--src1", "1", "--dst1", "1", "--number-step", "0",
        "--yes-all", f},
       badInput},
      {{"undo", "--journal", dir / "bad.journal", "--yes-all"}, "Falsches Datei-Format"},
      // "Name aus Tags" by its code: a bad template, and a good one.
      {{"rename", "--slot1", "18", "--src1", "{foo}", "--yes-all", f}, badInput},
      {{"rename", "--slot1", "18", "--src1", "{artist", "--yes-all", f}, badInput},
      {{"rename", "--slot1", "18", "--src1", "", "--yes-all", f}, badInput},
      {{"rename", "--slot1", "18", "--src1", "{modified}", "--dry-run", f}, f + "/20", "", 0},
      // A bad pattern or replacement, named with its character.
      {{"rename", "--slot2", "19", "--src2", "ä(b", "--dst2", "$2", "--yes-all", f},
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 4 (missing closing parenthesis)"},
      {{"rename", "--slot2", "19", "--src2", "(a)", "--dst2", "$2", "--yes-all", f},
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 1 (unknown substring)"},
      // An empty value after "=" must not swallow the next option.
      {{"rename", "--slot1=replace", "--src1=-b", "--dst1=", "--dry-run", f}, "a.txt", "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.german);
    const CliResult r = RunCli(row.args);
    EXPECT_EQ(r.status, row.status) << r.err;
    EXPECT_THAT(row.status == 0 ? r.out : r.err, HasSubstr(row.german));
    if (!row.english.empty()) {
      EXPECT_THAT(RunCli(row.args, {"LANGUAGE=en"}).err, HasSubstr(row.english));
    }
  }
  EXPECT_EQ(Listing(dir.path()), (Names{"a-b.txt", "bad.journal", "bad.journal.lock",
                                        "good.journal", "good.journal.lock"}));
  EXPECT_EQ(ReadFile(dir / "a-b.txt"), "a-b.txt");
  EXPECT_EQ(ReadFile(dir / "good.journal"), good);
  EXPECT_EQ(ReadFile(dir / "bad.journal"), bad);
}

// Names with a line feed, a backslash and bytes that are no UTF-8 come out
// as they are, each ended by NUL.
TEST(CliCommandLine, SearchPrint0WritesRawNames) {
  TempFolder dir;
  const Names names = {"a\nb.txt", "c\\d.txt", "e\xff.txt"};
  WriteFiles(dir.path(), names);
  std::string expected;
  for (const std::string& name : names) expected += dir / name + '\0';
  for (const char* option : {"-0", "--print0"}) {
    const CliResult r = RunCli({"search", option, Bare(dir)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected) << option;
  }
}

// After a run that changes files, one line on standard error says what it
// did (a dry run's: the plan table of run_commands_test.cpp).
TEST(CliCommandLine, SummaryLineAfterEachRun) {
  TempFolder dir, dest;
  WriteFiles(dir.path(), {"a.txt", "b.txt"});
  WriteFile(dir / "c.mp3", Audio(200));
  const std::string f = Bare(dir), journal = dir / "journal";
  struct Row {
    Args args;
    std::string typed;  // on a terminal when not empty
    std::string summary;
  };
  const Row rows[] = {
      // b.txt onto a.txt, a file the run still needs: a failure.
      {{"rename", "-p", "*.txt", "--slot1", "replace", "--src1", "b", "--dst1", "a", "-y", f},
       "",
       "velmora-cli: 0 umbenannt, 1 Fehler, 0 ausgelassen\n"},
      {{"rename", "-p", "*.txt", "--slot1", "upper", f},
       "n\nj\n",
       "1 umbenannt, 0 Fehler, 1 ausgelassen"},
      {{"copy", "-p", "*.mp3", "--slot1", "upper", "-y", "--dest", Bare(dest), f},
       "",
       "velmora-cli: 1 kopiert, 0 Fehler, 0 ausgelassen\n"},
      {{"undo", "--last", "-y"}, "", "velmora-cli: 1 zurückgenommen, 0 Fehler, 0 ausgelassen\n"},
      {{"tag", "-p", "*.mp3", "--title", "=T", f},
       "",
       "velmora-cli: 1 geschrieben, 0 Fehler, 0 ausgelassen\n"},
      // Two slots: the file's second step goes on from its first.
      {{"rename", "-p", "*.mp3", "--slot1", "upper", "--slot2", "replace", "--src2", "C", "--dst2",
        "d", "-y", f},
       "",
       "velmora-cli: 1 umbenannt, 0 Fehler, 0 ausgelassen\n"},
  };
  for (const Row& row : rows) {
    Args args = row.args;
    args.insert(args.begin() + 1, {"--journal", journal});
    const CliResult r = row.typed.empty() ? RunCli(args) : RunCliOnTerminal(args, row.typed);
    EXPECT_THAT(row.typed.empty() ? r.err : r.out, HasSubstr(row.summary)) << row.args[0] << "\n"
                                                                           << r.out << r.err;
  }
}

TEST(CliJob, SavedRunAndOverridden) {
  TempFolder dir;
  WriteFiles(dir.path(), {"in/a b.txt", "in/d b.txt", "in/s/c b.txt"});
  const std::string job = dir / "job.ini";
  // No folder needed, nothing run.
  const Args slots = {"rename",  "--slot1",       "replace", "--src1", " b",     "--dst1", "=x\\",
                      "--slot2", "number-before", "--src2",  "1",      "--dst2", ".txt"};
  EXPECT_TRUE(Succeeds(
      RunCli(Plus(slots, {"--number-step", "5", "--restart-per-folder", "--subdirs", "--order",
                          "natural", "--no-resolve-chains", "--save-job", job}))));
  const std::string text = ReadFile(job);
  for (const char* line : {"Version=1", "Subdirs=1", "Order=natural", "NumberStep=5",
                           "RestartPerFolder=1", "ResolveChains=0", "Operation=replace", "First= b",
                           "Second==x\\\\", "Operation=number-before"}) {
    EXPECT_THAT(text, HasSubstr(std::string("\n") + line + "\n")) << line;
  }
  EXPECT_EQ(Listing(dir / "in"), (Names{"a b.txt", "d b.txt", "s"}));

  // Run as saved, but without sub-folders and with step 2.
  EXPECT_TRUE(Succeeds(RunCli({"rename", "--job", job, "--no-subdirs", "--number-step=2",
                               "--yes-all", "--journal", dir / "journal", dir / "in"})));
  EXPECT_EQ(Listing(dir / "in"), (Names{"a=x\\1.txt", "d=x\\3.txt", "s"}));
  EXPECT_EQ(Listing(dir / "in/s"), (Names{"c b.txt"}));

  WriteFile(job, "[Job]\nVersion=1\n[Slot1]\nOperation=shred\n");
  const CliResult unknown = RunCli({"rename", "--job", job, "--yes-all", dir / "in"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_THAT(unknown.err, HasSubstr("Unbekannte Operation im Auftrag: shred"));
  WriteFile(job, "[Job]\nVersion=9\n");
  EXPECT_EQ(RunCli({"rename", "--job", job, "--yes-all", dir / "in"}).status, 2);
}

}  // namespace
}  // namespace velmora
