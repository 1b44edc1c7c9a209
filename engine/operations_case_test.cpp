#include <gtest/gtest.h>

#include "engine/operation_test_support.h"
#include "engine/operations.h"

namespace velmora {
namespace {

using testing::NewName;
using testing::OperationRow;
using testing::RecordingReporter;

class CaseAndMirror : public ::testing::TestWithParam<OperationRow> {};

TEST_P(CaseAndMirror, Row) {
  const OperationRow& row = GetParam();
  NameContext ctx;
  RecordingReporter reporter;
  ctx.reporter = &reporter;
  EXPECT_EQ(NewName(row.code, row.first, row.second, row.name, ctx), row.expected);
  EXPECT_TRUE(reporter.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CapitalizeWords, CaseAndMirror,
    ::testing::Values(
        OperationRow{13, "", "", "titel - interpret (live).mp3", "Titel - Interpret (live).mp3"},
        OperationRow{13, "", "", "über alles.mp3", "über Alles.mp3"},
        OperationRow{13, "", "", " abc.txt", " abc.txt"},
        OperationRow{13, "", "", "a-b c.txt", "A-b C.txt"},
        OperationRow{13, "", "", "a  b.txt", "A  B.txt"},
        OperationRow{13, "", "", "ABC dEF.TXT", "ABC DEF.TXT"},  // unchanged is a result
        OperationRow{13, "x", "y", "é a.txt", "é A.txt"}));      // fields ignored

INSTANTIATE_TEST_SUITE_P(
    UpperAndLower, CaseAndMirror,
    ::testing::Values(OperationRow{16, "", "", "Größe.mp3", "GRÖßE.MP3"},
                      OperationRow{16, "", "", "mp3 über.txt", "MP3 ÜBER.TXT"},
                      OperationRow{16, "", "", "ABC.TXT", "ABC.TXT"},
                      OperationRow{16, "", "", "éäöü.txt", "éÄÖÜ.TXT"},
                      OperationRow{17, "", "", "Größe.mp3", "größe.mp3"},
                      OperationRow{17, "", "", "ÄRGER.TXT", "ärger.txt"},
                      OperationRow{17, "", "", "MP3 ÜBER.TXT", "mp3 über.txt"},
                      OperationRow{17, "", "", "ÉÖ.TXT", "Éö.txt"}));

INSTANTIATE_TEST_SUITE_P(
    MirrorName, CaseAndMirror,
    ::testing::Values(
        OperationRow{14, " - ", "", "Titel - Interpret.mp3", "Interpret - Titel.mp3"},
        OperationRow{14, " - ", "", "Interpret - Titel.mp3", "Titel - Interpret.mp3"},
        OperationRow{14, " - ", "", "A - B - C.mp3", "B - C - A.mp3"},
        OperationRow{14, "-", "", "Titel - Interpret.mp3", " Interpret-Titel .mp3"},
        OperationRow{14, ".", "", "a.b.c", "b.a.c"},
        OperationRow{14, " -", "", "Titel -.mp3", " -Titel.mp3"},
        OperationRow{14, " - ", "", "Titel.mp3", "<empty>"},
        OperationRow{14, "ü", "", "aüb.mp3", "büa.mp3"}));

TEST(MirrorName, FailuresAreReported) {
  struct Case {
    const char* separator;
    const char* name;
  };
  for (const Case& c : {Case{" - ", "Titel - Interpret"}, Case{"mp", "Titel.mp3"},
                        Case{".", "Titel.mp3"}, Case{"l.m", "Titel.mp3"}}) {
    NameContext ctx;
    RecordingReporter reporter;
    ctx.reporter = &reporter;
    EXPECT_EQ(NewName(14, c.separator, "", c.name, ctx), "<empty>") << c.name;
    ASSERT_EQ(reporter.calls.size(), 1u) << c.separator;
    EXPECT_EQ(reporter.calls[0].location, 16);
    EXPECT_EQ(reporter.calls[0].number, 5);
    EXPECT_EQ(reporter.calls[0].context, "Fehler beim Umbenennen");
    EXPECT_EQ(reporter.calls[0].file, std::string("/musik/") + c.name);
  }
}

TEST(CaseOperations, InvalidUtf8PassesUnchanged) {
  NameContext ctx;
  // A lone C3 before a plain letter, and a stray continuation byte.
  EXPECT_EQ(NewName(16, "", "", "a\xC3z\xA4.txt", ctx), "A\xC3Z\xA4.TXT");
  EXPECT_EQ(NewName(17, "", "", "A\xC3Z\x84.TXT", ctx), "a\xC3z\x84.txt");
  EXPECT_EQ(NewName(13, "", "", "\xC3 a", ctx), "\xC3 A");
}

}  // namespace
}  // namespace velmora
