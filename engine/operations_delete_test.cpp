#include <gtest/gtest.h>

#include "engine/operation_test_support.h"
#include "engine/operations.h"

namespace velmora {
namespace {

using testing::NewName;
using testing::OperationRow;
using testing::RecordingReporter;

class DeleteOperations : public ::testing::TestWithParam<OperationRow> {};

TEST_P(DeleteOperations, Row) {
  const OperationRow& row = GetParam();
  NameContext ctx;
  RecordingReporter reporter;
  ctx.reporter = &reporter;
  EXPECT_EQ(NewName(row.code, row.first, row.second, row.name, ctx), row.expected);
  EXPECT_TRUE(reporter.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    DeleteCountAfter, DeleteOperations,
    ::testing::Values(
        OperationRow{5, "2", "Titel", "Titel - Interpret.mp3", "Titel Interpret.mp3"},
        // Decided case-sensitively, cut behind the first match in any case.
        OperationRow{5, "1", "ABC", "abcABC.txt", "abcBC.txt"},
        OperationRow{5, "4", "ab", "ab.txt", "ab"},
        OperationRow{5, "5", "ab", "ab.txt", "<empty>"},
        OperationRow{5, "1", "abc", "ABC.txt", "<empty>"},
        OperationRow{5, "1", "ü", "xüÜber.mp3", "xüber.mp3"},
        OperationRow{5, "1", "Ä", "äÄb.txt", "äb.txt"},
        OperationRow{5, "-1", "b", "abcdef", "<empty>"}));

INSTANTIATE_TEST_SUITE_P(
    DeleteCountBefore, DeleteOperations,
    ::testing::Values(
        OperationRow{6, "2", "Interpret", "Titel - Interpret.mp3", "Titel Interpret.mp3"},
        OperationRow{6, "9", "Interpret", "Titel - Interpret.mp3", "<empty>"},
        OperationRow{6, "8", "Interpret", "Titel - Interpret.mp3", "Interpret.mp3"},
        OperationRow{6, "1", "Titel", "Titel.mp3", "<empty>"},
        OperationRow{6, "1", "-", "a-b-c.txt", "-b-c.txt"},
        OperationRow{6, "1", "b", "übel.txt", "bel.txt"},
        OperationRow{6, "-2", "c", "abcdef", "<empty>"}));

INSTANTIATE_TEST_SUITE_P(
    DeleteCountAt, DeleteOperations,
    ::testing::Values(
        OperationRow{7, "3", "6", "Titel - Interpret.mp3", "TitelInterpret.mp3"},
        OperationRow{7, "6", "1", "Titel - Interpret.mp3", "- Interpret.mp3"},
        OperationRow{7, "1", "9", "Titel.mp3", "Titel.mp"},
        OperationRow{7, "2", "9", "Titel.mp3", "<empty>"},
        OperationRow{7, "1", "0", "Titel.mp3", "<empty>"},
        OperationRow{7, "1", "11", "Titel.mp3", "<empty>"},
        OperationRow{7, "1", "1", "über.mp3", "ber.mp3"},
        OperationRow{7, "-1", "2", "abcdef", "<empty>"}));

INSTANTIATE_TEST_SUITE_P(
    DeleteAllBeforeAndAfter, DeleteOperations,
    ::testing::Values(
        OperationRow{8, "", "Titel", "01 - Titel.mp3", "Titel.mp3"},
        OperationRow{8, "", "Titel", "Titel.mp3", "Titel.mp3"},  // unchanged, still a result
        OperationRow{8, "", "-", "a-b-c.txt", "-b-c.txt"},
        OperationRow{8, "", "Titel", "titel.mp3", "<empty>"},
        OperationRow{9, "", " -", "Titel - Interpret.mp3", "Titel -"},
        OperationRow{9, "", ".mp3", "Titel - Interpret.mp3", "Titel - Interpret.mp3"},
        OperationRow{9, "", "-", "a-b-c.txt", "a-"},
        OperationRow{9, "", "Titel", "Titel - Interpret.mp3", "Titel"},
        OperationRow{9, "", "Titel", "titel.mp3", "<empty>"}));

INSTANTIATE_TEST_SUITE_P(
    DeleteBetween, DeleteOperations,
    ::testing::Values(
        OperationRow{15, "(", ")", "Titel (Live) - Interpret.mp3", "Titel () - Interpret.mp3"},
        OperationRow{15, "(", ")", "a(x)b.txt", "a()b.txt"},
        OperationRow{15, "(", ")", "a(1) b(2).txt", "a() b(2).txt"},
        OperationRow{15, "(", ")", "a()b.txt", "<empty>"},
        OperationRow{15, ")", "(", "a(x)b.txt", "<empty>"},
        OperationRow{15, "(", "]", "a(x)b.txt", "<empty>"},
        OperationRow{15, "A", "C", "xaBcAC.txt", "xacAC.txt"},  // cut at the any-case matches
        OperationRow{15, "Titel", "x", "titel x.mp3", "<empty>"}));

TEST(DeleteCount, CountOutsideSixteenBitsIsReportedPerFile) {
  NameContext ctx;
  RecordingReporter reporter;
  ctx.reporter = &reporter;
  EXPECT_EQ(NewName(5, "40000", "a", "abc.txt", ctx), "<empty>");
  EXPECT_EQ(NewName(6, "-40000", "c", "abc.txt", ctx), "<empty>");
  EXPECT_EQ(NewName(7, "1", "3000000000", "abc.txt", ctx), "<empty>");
  EXPECT_EQ(NewName(7, "x", "1", "abc.txt", ctx), "<empty>");
  ASSERT_EQ(reporter.calls.size(), 4u);
  EXPECT_EQ(reporter.calls[0].location, 7);
  EXPECT_EQ(reporter.calls[0].number, 6);
  EXPECT_EQ(reporter.calls[1].location, 8);
  EXPECT_EQ(reporter.calls[2].location, 9);
  EXPECT_EQ(reporter.calls[2].number, 6);
  EXPECT_EQ(reporter.calls[3].number, 13);
  EXPECT_EQ(reporter.calls[3].file, "/musik/abc.txt");
}

}  // namespace
}  // namespace velmora
