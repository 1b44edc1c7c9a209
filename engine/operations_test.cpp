#include "engine/operations.h"

#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "engine/error_numbers.h"
#include "engine/name_fields.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

// The operation in the middle slot, so the slot index is exercised too.
RenameJob OneSlotJob(int code, const std::string& first, const std::string& second) {
  RenameJob job;
  return testing::SetSlot(job, 1, code, first, second);
}

// The new name of /musik/<name> without its folder; "-" for the empty result.
std::string NewName(int code, const std::string& first, const std::string& second,
                    const std::string& name, NameContext& ctx) {
  const std::string result =
      ApplyOperation(OneSlotJob(code, first, second), 1, "/musik/" + name, ctx);
  if (result.empty()) return "-";
  return result.rfind("/musik/", 0) == 0 ? result.substr(7) : "wrong folder: " + result;
}

struct Row {
  int code;
  const char* first;
  const char* second;
  const char* name;
  const char* expected;  // "-" when the operation does not apply
};

// The new name as NewName gives it, and the reports made on the way.
std::pair<std::string, std::vector<std::string>> Renamed(const Row& row,
                                                         const FileFields* fields = nullptr) {
  NameContext ctx;
  ctx.fields = fields;
  testing::Recorders reporter;
  ctx.reporter = &reporter;
  return {NewName(row.code, row.first, row.second, row.name, ctx), reporter.errors};
}

// Each row's new name, with nothing reported.
template <std::size_t N>
void ExpectQuiet(const Row (&rows)[N], const FileFields* fields = nullptr) {
  for (const Row& row : rows) {
    EXPECT_EQ(Renamed(row, fields),
              std::make_pair(std::string(row.expected), std::vector<std::string>{}))
        << "code " << row.code << " '" << row.first << "' '" << row.second << "' on " << row.name;
  }
}

// The one report of an operation that fails on /musik/<name>.
std::string Failure(int code, const char* first, const char* second, const char* name,
                    const FileFields* fields = nullptr) {
  const auto [newName, errors] = Renamed({code, first, second, name, "-"}, fields);
  EXPECT_EQ(newName, "-") << code << " " << first;
  EXPECT_EQ(errors.size(), 1u) << code << " " << first << " " << second;
  return errors.empty() ? "" : errors[0];
}

// The examples and edge cases of each operation; none of them reports.
const Row kRows[] = {
    {1, "-", "_", "Titel - Interpret.mp3", "Titel _ Interpret.mp3"},
    {1, " ", "", "Titel - Interpret.mp3", "Titel-Interpret.mp3"},
    {1, "aa", "a", "aaaa.txt", "aa.txt"},
    {1, ".mp3", ".ogg", "Titel.MP3", "-"},
    {1, "a", "a", "a.txt", "-"},
    {1, "e", "E", "a very long name here.txt", "a vEry long namE hErE.txt"},
    {1, "ü", "ue", "Grüße über.txt", "Grueße ueber.txt"},
    {1, "e", "E", "Grüße.txt", "GrüßE.txt"},
    {2, "(live) ", "- ", "Titel - Interpret.mp3", "Titel - (live) Interpret.mp3"},
    {2, "X", "-", "a-b-c.txt", "a-Xb-c.txt"},
    {2, "1", ".", "a.txt", "a.1txt"},
    {2, "X", "mp3", "Titel.mp3", "Titel.mp3X"},
    {2, "X", "titel", "Titel - Interpret.mp3", "-"},  // only in another case
    {3, " (remix)", ".mp3", "Titel.mp3", "Titel (remix).mp3"},
    {3, "X", "-", "a-b-c.txt", "aX-b-c.txt"},
    {3, "X", "TITEL", "Titel.mp3", "-"},
    {4, "X", "6", "Titel.mp3", "TitelX.mp3"},
    {4, "X", "10", "Titel.mp3", "Titel.mp3X"},
    {4, "X", "11", "Titel.mp3", "-"},
    {4, "X", "0", "Titel.mp3", "-"},
    {4, "X", " 2,4 ", "über.mp3", "üXber.mp3"},  // Pos. 2 is 'b'
    {5, "2", "Titel", "Titel - Interpret.mp3", "Titel Interpret.mp3"},
    {5, "1", "ABC", "abcABC.txt", "abcBC.txt"},  // acts case-sensitively, cuts at 'abc'
    {5, "1", "Ä", "äÄb.txt", "äb.txt"},
    {5, "4", "ab", "ab.txt", "ab"},
    {5, "5", "ab", "ab.txt", "-"},
    {5, "-1", "b", "abcdef", "-"},
    {6, "2", "Interpret", "Titel - Interpret.mp3", "Titel Interpret.mp3"},
    {6, "9", "Interpret", "Titel - Interpret.mp3", "-"},
    {6, "1", "Titel", "Titel.mp3", "-"},
    {6, "1", "b", "übel.txt", "bel.txt"},
    {6, "-2", "c", "abcdef", "-"},
    {7, "3", "6", "Titel - Interpret.mp3", "TitelInterpret.mp3"},
    {7, "6", "1", "Titel - Interpret.mp3", "- Interpret.mp3"},
    {7, "1", "9", "Titel.mp3", "Titel.mp"},
    {7, "2", "9", "Titel.mp3", "-"},
    {7, "1", "0", "Titel.mp3", "-"},
    {7, "-1", "2", "abcdef", "-"},
    {8, "", "Titel", "Titel.mp3", "Titel.mp3"},
    {8, "", "-", "a-b-c.txt", "-b-c.txt"},
    {8, "", "Titel", "titel.mp3", "-"},
    {9, "", " -", "Titel - Interpret.mp3", "Titel -"},
    {9, "", ".mp3", "Titel.mp3", "Titel.mp3"},
    {9, "", "-", "a-b-c.txt", "a-"},
    {15, "(", ")", "Titel (Live) - Interpret.mp3", "Titel () - Interpret.mp3"},
    {15, "(", ")", "a(1) b(2).txt", "a() b(2).txt"},
    {15, "(", ")", "a()b.txt", "-"},
    {15, ")", "(", "a(x)b.txt", "-"},
    {15, "A", "C", "xaBcAC.txt", "xacAC.txt"},
    {15, "Titel", "x", "titel x.mp3", "-"},
    {13, "", "", "titel - interpret (live).mp3", "Titel - Interpret (live).mp3"},
    {13, "", "", "élan été-x (ñu).mp3", "Élan Été-x (ñu).mp3"},
    {13, "", "", "ßa ǆ ωmega Жук", "ßa Ǆ Ωmega Жук"},
    {13, "", "", " abc.txt", " abc.txt"},
    {13, "", "", "a-b c.txt", "A-b C.txt"},
    {13, "", "", "\xC3 a", "\xC3 A"},
    {14, " - ", "", "Titel - Interpret.mp3", "Interpret - Titel.mp3"},
    {14, " - ", "", "A - B - C.mp3", "B - C - A.mp3"},
    {14, "-", "", "Titel - Interpret.mp3", " Interpret-Titel .mp3"},
    {14, ".", "", "a.b.c", "b.a.c"},
    {14, " -", "", "Titel -.mp3", " -Titel.mp3"},
    {14, " - ", "", "Titel.mp3", "-"},
    {16, "", "", "Größe.mp3", "GRÖßE.MP3"},
    {16, "", "", "ñø σοφία жук straße.txt", "ÑØ ΣΟΦΊΑ ЖУК STRAßE.TXT"},
    {16, "", "", "ABC.TXT", "ABC.TXT"},
    {16, "", "", "a\xC3z\xA4", "A\xC3Z\xA4"},
    {17, "", "", "Größe.mp3", "größe.mp3"},
    {17, "", "", "MP3 ÉÜBER.TXT", "mp3 éüber.txt"},
    {17, "", "", "ÑØ ΣΟΦΊΑ ЖУК\xFF.TXT", "ñø σοφία жук\xFF.txt"},
    {19, "(.+) - (.+)\\.mp3$", "$2 - $1.mp3", "Titel - Interpret.mp3", "Interpret - Titel.mp3"},
    {19, "(?<nr>\\d+)", "[${nr}]", "a1b22.txt", "a[1]b[22].txt"},
    {19, "^(\\w+)", "\\U$1", "über straße.mp3", "ÜBER straße.mp3"},
    {19, "(\\w+)", "\\U$1\\E", "straße.mp3", "STRAßE.MP3"},
    {19, "^(\\w+)", "\\u\\L$1", "äPFEL.txt", "Äpfel.txt"},
    {19, "(a)|(b)", "[$2]", "ab", "[][b]"},
    {19, "x*", "-", "ab", "-a-b-"},
    {19, "b", "B", "a\377b.txt", "a\377B.txt"},
    {19, "z", "y", "abc.txt", "-"},
    {19, "a", "a", "abc.txt", "-"},
    {20, "", "", "Ärger ÄRGER Öl Übel.mp3", "Aerger AERGER Oel Uebel.mp3"},
    {20, "", "", "Straße café Noël.mp3", "Strasse cafe Noel.mp3"},
    {20, "", "", "Ærø Åse Øst.flac", "AEro Ase Ost.flac"},
    {20, "", "", "Zażółć gęślą Łódź.txt", "Zazolc gesla Lodz.txt"},
    {20, "", "", "½ „Takt“ … Привет.mp3", "½ „Takt“ … Привет.mp3"},
    {20, "", "", "u\314\210ber.mp3", "ueber.mp3"},
    {20, "", "", "\377ä.txt", "\377ä.txt"},
    {20, "de", "", "Ärger ÄRGER café ẞ.txt", "Aerger AERGER café SS.txt"},
    {20, "de", "", "U\314\210bel straße Øl.txt", "Uebel strasse Øl.txt"},
};

TEST(NameOperations, ExamplesByCode) { ExpectQuiet(kRows); }

TEST(NameOperations, FailuresAreReportedAtCodePlusTwo) {
  // The error number in place of the new name; 52: the new name must stay
  // one name in its folder.
  const Row failures[] = {{4, "X", "abc", "a.txt", "13"},
                          {4, "X", "99999999999", "a.txt", "6"},
                          {5, "40000", "a", "abc.txt", "6"},
                          {6, "-40000", "c", "abc.txt", "6"},
                          {7, "1", "3000000000", "abc.txt", "6"},
                          {7, "x", "1", "abc.txt", "13"},
                          {10, "abc", "a", "a.txt", "13"},
                          {12, "1", "x", "a.txt", "13"},
                          {14, " - ", "", "Titel - Interpret", "5"},
                          {14, "mp", "", "Titel.mp3", "5"},
                          {14, ".", "", "Titel.mp3", "5"},
                          {1, "a-", "../", "a-x.txt", "52"},
                          {1, "b", "a/x", "b.txt", "52"},
                          {1, "a.txt", "..", "a.txt", "52"},
                          {1, "a.txt", ".", "a.txt", "52"},
                          {7, "7", "1", "abc.txt", "52"},
                          {4, "/", "1", "a.txt", "52"}};
  for (const Row& f : failures) {
    const std::string report = std::to_string(f.code + 2) + " " + f.expected +
                               " Fehler beim Umbenennen|/musik/" + f.name + "|";
    const std::string got = Failure(f.code, f.first, f.second, f.name);
    EXPECT_EQ(got.substr(0, report.size()), report);
    EXPECT_GT(got.size(), report.size()) << "no description: " << report;
  }
  // Regular expressions and transliteration report at their own locations.
  EXPECT_EQ(Failure(19, "^.*$", "..", "x").substr(0, 6),
            testing::Reported(Location::kRegexReplace, kBadFileName));
  EXPECT_EQ(Failure(20, "", "", ".").substr(0, 6),
            testing::Reported(Location::kTransliterate, kBadFileName));
  for (const RunKind kind : {RunKind::kRename, RunKind::kMove}) {
    NameContext ctx;
    ctx.kind = kind;
    ctx.destPath = "/ziel/";
    EXPECT_EQ(ApplyOperation(OneSlotJob(1, "b", std::string("\0", 1)), 1, "/q/b.txt", ctx), "");
    EXPECT_EQ(ApplyOperation(OneSlotJob(1, "b", "../"), 1, "/q/b.txt", ctx), "");
  }
  NameContext noReporter;
  EXPECT_EQ(NewName(14, "-", "", "x-y", noReporter), "-");
}

TEST(NameOperations, ResultFolderFollowsTheRunKind) {
  const char* fields[19][2] = {{},         {"a", "b"}, {"X", "a"}, {"X", "a"},    {"X", "1"},
                               {"1", "a"}, {"1", "t"}, {"1", "1"}, {"", "t"},     {"", "t"},
                               {"1", "a"}, {"1", "a"}, {"1", "1"}, {"", ""},      {"a", ""},
                               {"a", "x"}, {"", ""},   {"", ""},   {"{year}", ""}};
  FileFields tags;
  tags[NameField::kYear] = "1999";
  for (int code = 1; code <= 18; ++code) {
    const RenameJob job = OneSlotJob(code, fields[code][0], fields[code][1]);
    for (const RunKind kind : {RunKind::kRename, RunKind::kMove, RunKind::kCopy}) {
      NameContext ctx;
      ctx.fields = &tags;
      ctx.kind = kind;
      ctx.destPath = "/ziel/";
      const std::string result = ApplyOperation(job, 1, "/quelle/da.xt.txt", ctx);
      EXPECT_EQ(result.rfind(IntoFolder(kind) ? "/ziel/" : "/quelle/", 0), 0u) << code << result;
    }
  }
  NameContext ctx;
  EXPECT_EQ(ApplyOperation(OneSlotJob(16, "", ""), 1, "/a.txt", ctx), "/A.TXT");
  EXPECT_EQ(ApplyOperation(OneSlotJob(99, "", ""), 1, "/a.txt", ctx), "");
  EXPECT_EQ(ApplyOperation(OneSlotJob(16, "", ""), 3, "/a.txt", ctx), "");
}

// A file with every field, in their order; "AC/DC" shows what a name cannot
// hold.
const FileFields kAllFields = {{"AC/DC", "Thunderstruck", "The Razors Edge", "1990", "7", "Rock",
                                "Größe", "2024-05-01", "12-30-05", "2023-01-02", "03-04-05"}};

TEST(NameFromTags, FieldsFillTheBaseNameAndTheExtensionStays) {
  const Row rows[] = {
      {18, "{artist} - {title}", "", "x.mp3", "AC_DC - Thunderstruck.mp3"},
      {18, "{Interpret} - {Titel}", "", "x.mp3", "AC_DC - Thunderstruck.mp3"},
      {18, "{Nr:2} {Album} ({Jahr})", "", "x.flac", "07 The Razors Edge (1990).flac"},
      {18, "{track:3}{track}", "", "x.ogg", "0077.ogg"},
      {18, "{Genre}{genre}-{Kommentar}{comment}", "", "x.m4a", "RockRock-GrößeGröße.m4a"},
      {18, "{Datum}_{Zeit} {date} {time}", "", "IMG.JPG",
       "2024-05-01_12-30-05 2024-05-01 12-30-05.JPG"},
      {18, "{Geändert} {GeändertZeit} {modified}_{mtime}", "", "a.b.txt",
       "2023-01-02 03-04-05 2023-01-02_03-04-05.txt"},
      {18, "{{{year}}}", "", "noext", "{1990}"},
      {18, "{year}", "", "x.mp3", "1990.mp3"},
  };
  ExpectQuiet(rows, &kAllFields);
}

TEST(NameFromTags, MissingFieldsAndBadTemplatesFailAtTheirOwnLocation) {
  FileFields tags = kAllFields;
  tags[NameField::kTitle].reset();
  tags[NameField::kAlbum] = "";
  const std::tuple<const char*, const FileFields*, int> failures[] = {
      {"{title}", &tags, kFieldMissing},       {"{album}", &tags, kFieldMissing},
      {"{artist}", nullptr, kFieldMissing},    {"{titel}", &tags, kNameTemplateError},
      {"{artist", &tags, kNameTemplateError},  {"a}b", &tags, kNameTemplateError},
      {"{year:2}", &tags, kNameTemplateError}, {"..", &tags, kBadFileName},
  };
  for (const auto& [first, fields, number] : failures) {
    const std::string report =
        testing::Reported(Location::kFromTags, number) + "Fehler beim Umbenennen|";
    EXPECT_EQ(Failure(18, first, "", "x", fields).substr(0, report.size()), report) << first;
  }
}

// The names numbered in one run.
std::vector<std::string> Numbered(int code, const std::string& start, const std::string& second,
                                  const std::vector<std::string>& names) {
  NameContext ctx;
  std::vector<std::string> out;
  for (const std::string& name : names) out.push_back(NewName(code, start, second, name, ctx));
  return out;
}

TEST(InsertNumber, CounterWidthAndSequence) {
  EXPECT_EQ(Numbered(11, "01", ".mp3", {"a.mp3", "b.mp3"}),
            (std::vector<std::string>{"a01.mp3", "b02.mp3"}));
  EXPECT_EQ(Numbered(10, "007", "-", {"a-b.txt", "c-d.txt"}),
            (std::vector<std::string>{"a-007b.txt", "c-008d.txt"}));
  const auto twelve = Numbered(12, "9", "1", std::vector<std::string>(12, "a"));
  EXPECT_EQ(twelve[1] + twelve[11], "10a20a");
  EXPECT_EQ(Numbered(12, " +5", "1", {"a"})[0], "005a");  // blanks and sign count for width
  EXPECT_EQ(NumberText(-5, 2), "-05");
}

TEST(InsertNumber, SkipsConsumeANumberThatTheRunGivesBack) {
  NameContext ctx;
  EXPECT_EQ(NewName(12, "1", "10", "Titel.mp3", ctx), "Titel.mp31");
  EXPECT_EQ(NewName(12, "1", "11", "Titel.mp3", ctx), "-");
  EXPECT_EQ(NewName(10, "1", "zz", "Titel.mp3", ctx), "-");
  EXPECT_EQ(ctx.numberCounter, 3);
  ctx.numberCounter -= 2;
  EXPECT_EQ(NewName(11, "1", "T", "Titel.mp3", ctx), "2Titel.mp3");
  ctx.numberCounter = 0;  // given back down to zero: starts again
  EXPECT_EQ(NewName(11, "1", "T", "Titel.mp3", ctx), "1Titel.mp3");
  ctx.numberCounter = std::numeric_limits<int>::max();
  EXPECT_EQ(NewName(11, "1", "T", "Titel.mp3", ctx), "-");
  EXPECT_EQ(ctx.numberCounter, std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace velmora
