#include <gtest/gtest.h>

#include "engine/error_numbers.h"
#include "engine/operations.h"
#include "engine/slot_patterns.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

static_assert(OperationLocation(kRegexCode) == Location::kRegexReplace);
static_assert(LocationNumber(OperationLocation(kTransliterateCode)) == 29);

// The new name of /musik/<name> by the operation in slot 1; "-" for "".
std::string NewName(int code, const std::string& first, const std::string& second,
                    const std::string& name, NameContext& ctx) {
  RenameJob job;
  testing::SetSlot(job, 1, code, first, second);
  const std::string result = ApplyOperation(job, 1, "/musik/" + name, ctx);
  return result.empty() ? "-" : result.substr(7);
}

struct Row {
  int code;
  const char* first;
  const char* second;
  const char* name;
  const char* expected;
};

const Row kRows[] = {
    {19, "(.+) - (.+)\\.mp3$", "$2 - $1.mp3", "Titel - Interpret.mp3", "Interpret - Titel.mp3"},
    {19, "(?<nr>\\d+)", "[${nr}]", "a1b22.txt", "a[1]b[22].txt"},
    {19, "^(\\w+)", "\\U$1", "über straße.mp3", "ÜBER straße.mp3"},
    {19, "(\\w+)", "\\U$1\\E", "straße.mp3", "STRAßE.MP3"},
    {19, "^(\\w+)", "\\u\\L$1", "äPFEL.txt", "Äpfel.txt"},
    {19, "(a)|(b)", "[$2]", "ab", "[][b]"},
    {19, "x*", "-", "ab", "-a-b-"},
    {19, "b", "B",
     "a\xff"
     "b.txt",
     "a\xff"
     "B.txt"},
    {19, "z", "y", "abc.txt", "-"},
    {19, "a", "a", "abc.txt", "-"},
    {20, "", "", "Ärger ÄRGER Öl Übel.mp3", "Aerger AERGER Oel Uebel.mp3"},
    {20, "", "", "Straße café Noël.mp3", "Strasse cafe Noel.mp3"},
    {20, "", "", "Ærø Åse Øst.flac", "AEro Ase Ost.flac"},
    {20, "", "", "Zażółć gęślą Łódź.txt", "Zazolc gesla Lodz.txt"},
    {20, "", "", "½ „Takt“ … Привет.mp3", "½ „Takt“ … Привет.mp3"},
    {20, "", "",
     "u\xcc\x88"
     "ber.mp3",
     "ueber.mp3"},
    {20, "", "",
     "\xff"
     "ä.txt",
     "\xff"
     "ä.txt"},
    {20, "de", "", "Ärger ÄRGER café ẞ.txt", "Aerger AERGER café SS.txt"},
    {20, "de", "",
     "U\xcc\x88"
     "bel straße Øl.txt",
     "Uebel strasse Øl.txt"},
};

TEST(RegexAndTransliteration, Rows) {
  for (const Row& row : kRows) {
    NameContext ctx;
    testing::Recorders reporter;
    ctx.reporter = &reporter;
    EXPECT_EQ(NewName(row.code, row.first, row.second, row.name, ctx), row.expected)
        << row.code << " '" << row.first << "' '" << row.second << "' on " << row.name;
    EXPECT_TRUE(reporter.errors.empty()) << row.name;
  }
}

TEST(RegexAndTransliteration, APatternAtItsLimitStopsTheSlotWithOneReport) {
  NameContext ctx;
  SlotPatterns patterns;  // as a walk holds them
  ctx.patterns = &patterns;
  testing::Recorders reporter;
  ctx.reporter = &reporter;
  const std::string slow = std::string(40, 'a') + "b";
  EXPECT_EQ(NewName(19, "(a+)+$", "x", slow, ctx), "-");
  EXPECT_EQ(NewName(19, "(a+)+$", "x", slow + "2", ctx), "-");
  EXPECT_EQ(NewName(19, "(a+)+$", "x", "a", ctx), "-");  // off for the rest of the walk
  ASSERT_EQ(reporter.errors.size(), 1u);
  EXPECT_EQ(reporter.errors[0], testing::Reported(Location::kRegexReplace, kRegexLimit) +
                                    "Fehler beim Umbenennen|/musik/" + slow + "|(a+)+$");
}

TEST(RegexAndTransliteration, FailuresReportAtTheirOwnLocations) {
  const Row failures[] = {{19, "^.*$", "..", "x", "28 52 "}, {20, "", "", ".", "29 52 "}};
  for (const Row& f : failures) {
    NameContext ctx;
    testing::Recorders reporter;
    ctx.reporter = &reporter;
    EXPECT_EQ(NewName(f.code, f.first, f.second, f.name, ctx), "-");
    ASSERT_EQ(reporter.errors.size(), 1u) << f.code;
    EXPECT_EQ(reporter.errors[0].substr(0, 6), f.expected);
  }
}

}  // namespace
}  // namespace velmora
