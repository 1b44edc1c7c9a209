// How velmora-cli reads its command line: version and help, short options,
// suggestions for mistyped words, and what scripts read from search and tag.
#include <gtest/gtest.h>

#include "tags/tag_test_support.h"
#include "tests/cli/cli_runner.h"

namespace velmora {
namespace {

using namespace velmora::testing;
using ::testing::Not;
using Args = std::vector<std::string>;

TEST(CliCommandLine, VersionAndHelpWithoutInternals) {
  const CliResult version = RunCli({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_THAT(version.out, ::testing::StartsWith("velmora-cli "));
  const CliResult help = RunCli({"rename", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_THAT(help.out, HasSubstr("--no-resolve-chains"));
  EXPECT_THAT(help.out, Not(HasSubstr("{false}")));
}

// Each short option does what its long one does: the same dry run.
TEST(CliCommandLine, ShortOptionsMatchTheLongOnes) {
  TempFolder dir;
  WriteFiles(dir.path(), {"a.txt", "b.mp3", "sub/c.txt"});
  const Args job = {"rename", "--slot1", "upper"};
  Args shortForm = job;
  shortForm.insert(shortForm.end(), {"-n", "-y", "-s", "-p", "*.txt", Bare(dir)});
  Args longForm = job;
  longForm.insert(longForm.end(),
                  {"--dry-run", "--yes-all", "--subdirs", "--pattern", "*.txt", Bare(dir)});
  const CliResult shortRun = RunCli(shortForm);
  EXPECT_EQ(shortRun.status, 0) << shortRun.err;
  EXPECT_EQ(shortRun.out, RunCli(longForm).out);
  EXPECT_THAT(shortRun.out, HasSubstr("sub/C.TXT"));
  EXPECT_EQ(RunCli({"rename", "-r", "--slot1", "upper", "-n", Bare(dir)}).status, 2);
}

// A mistyped word is named with the closest valid one; a word close to
// nothing gets no guess.
TEST(CliCommandLine, MistypedWordsNameTheClosestValidOne) {
  TempFolder dir;
  const std::string f = Bare(dir);
  struct Row {
    Args args;
    std::string inError;
  };
  const Row rows[] = {
      {{"renmae", f}, "Unbekannter Befehl: renmae – meinten Sie: rename?"},
      {{"rename", "--slot1", "upper", "--dry-rn", f}, "--dry-rn – meinten Sie: --dry-run?"},
      {{"tag", "--titel", "1", f}, "meinten Sie: --title?"},
      {{"tag", "--sep", " - ", f}, "meinten Sie: --separator?"},
      {{"rename", "--src1", "-x", "--slot1", "uper", "-ny", f},
       "--slot1: uper – meinten Sie: upper?"},
      {{"rename", "--slot1", "bogus", "-n", f}, "oder replace, insert-after"},
      {{"rename", "--no-such-option", f}, "Unbekannte Option: --no-such-option\n"},
      {{"frobnicate"}, "Unbekannter Befehl: frobnicate\n"},
  };
  for (const Row& row : rows) {
    const CliResult r = RunCli(row.args);
    EXPECT_EQ(r.status, 2) << row.args[0];
    EXPECT_THAT(r.err, HasSubstr(row.inError)) << row.args[0];
  }
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

// The parser's own refusals in the user's language.
TEST(CliCommandLine, ParserRefusalsInTheUsersLanguage) {
  TempFolder dir;
  const std::string f = Bare(dir);
  struct Row {
    Args args;
    std::string german;
    std::string english;
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
  };
  for (const Row& row : rows) {
    const CliResult german = RunCli(row.args);
    EXPECT_EQ(german.status, 2);
    EXPECT_THAT(german.err, HasSubstr(row.german));
    EXPECT_THAT(RunCli(row.args, {"LANGUAGE=en"}).err, HasSubstr(row.english));
  }
}

// "off" is the stored value like "aus"; "=off" is a fixed text.
TEST(CliCommandLine, TagTakesOffBesideAus) {
  TempFolder dir;
  WriteFile(dir / "a.mp3", Audio(200));
  const CliResult r =
      RunCli({"tag", "-n", "--title", "off", "--artist", "=off", "--genre", "off", Bare(dir)});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, dir / "a.mp3\n  ID3v1 Interpret: \"\" -> \"off\"\n");
}

// After a run that changes files, one line on standard error says what it
// did; a dry run has its own.
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
      {{"rename", "-n", "--slot1", "upper", f}, "", "3 Änderungen, 0 Konflikte"},
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

// Several folders: one list in the order given, each file once; one run
// that one undo takes back.
TEST(CliCommandLine, SeveralFoldersAreOneRun) {
  TempFolder one, two;
  WriteFiles(one.path(), {"b.txt", "sub/c.txt"});
  WriteFiles(two.path(), {"a.txt"});
  const CliResult search = RunCli({"search", "-s", Bare(two), Bare(one), one / "sub"});
  EXPECT_EQ(search.out, two / "a.txt\n" + one / "b.txt\n" + one / "sub/c.txt\n") << search.err;
  const std::string journal = one / "journal";
  const CliResult run =
      RunCli({"rename", "-y", "--journal", journal, "--slot1", "upper", Bare(one), Bare(two)});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(Listing(two.path()), Names{"A.TXT"});
  EXPECT_EQ(RunCli({"undo", "-y", "--last", "--journal", journal}).status, 0);
  EXPECT_EQ(Listing(two.path()), Names{"a.txt"});
  EXPECT_EQ(Listing(one.path()), (Names{"b.txt", "journal", "journal.lock", "sub"}));
  EXPECT_EQ(RunCli({"search", Bare(one), one / "missing"}).status, 2);
}

}  // namespace
}  // namespace velmora
