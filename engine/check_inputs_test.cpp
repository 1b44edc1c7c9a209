#include <gtest/gtest.h>

#include "engine/job.h"
#include "engine/operation_test_support.h"

namespace velmora {
namespace {

constexpr const char* kPass = nullptr;
constexpr const char* kOneLine = "Falsche oder fehlende Eingabe";
constexpr const char* kTwoLines =
    "Falsche oder fehlende Eingabe\r\n(Null ist als Startnummer nicht erlaubt)";

struct CheckRow {
  int code;
  const char* first;
  const char* second;
  const char* message;  // kPass when the check passes
};

class CheckSlotInputsRows : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckSlotInputsRows, Row) {
  const CheckRow& row = GetParam();
  testing::RecordingMessages messages;
  const bool passed =
      CheckSlotInputs(testing::OneSlotJob(row.code, row.first, row.second), messages);
  if (row.message == kPass) {
    EXPECT_TRUE(passed);
    EXPECT_TRUE(messages.shown.empty());
  } else {
    EXPECT_FALSE(passed);
    EXPECT_EQ(messages.shown, std::vector<std::string>{row.message});
  }
}

INSTANTIATE_TEST_SUITE_P(
    NoRequirement, CheckSlotInputsRows,
    ::testing::Values(CheckRow{0, "", "", kPass}, CheckRow{1, "", "", kPass},
                      CheckRow{13, "", "", kPass}, CheckRow{16, "", "", kPass},
                      CheckRow{17, "", "", kPass}, CheckRow{42, "", "", kPass}));

INSTANTIATE_TEST_SUITE_P(
    TextFields, CheckSlotInputsRows,
    ::testing::Values(CheckRow{2, "a", "b", kPass}, CheckRow{2, "", "b", kOneLine},
                      CheckRow{3, "a", "", kOneLine}, CheckRow{8, "", "b", kPass},
                      CheckRow{9, "x", "", kOneLine}, CheckRow{14, "-", "", kPass},
                      CheckRow{14, "", "x", kOneLine}, CheckRow{15, "(", ")", kPass},
                      CheckRow{15, "(", "", kOneLine}));

INSTANTIATE_TEST_SUITE_P(
    PositionAndCount, CheckSlotInputsRows,
    ::testing::Values(CheckRow{4, "X", "0", kPass},  // only numeric, not non-zero
                      CheckRow{4, "X", "-2", kPass}, CheckRow{4, "X", "abc", kOneLine},
                      CheckRow{4, "", "1", kOneLine}, CheckRow{5, "2", "a", kPass},
                      CheckRow{5, "0", "a", kOneLine}, CheckRow{5, "-1", "a", kOneLine},
                      CheckRow{5, "1e3", "a", kOneLine}, CheckRow{6, "2", "", kOneLine},
                      CheckRow{6, "40000", "a", kPass},  // reported per file instead
                      CheckRow{7, "1", "1", kPass}, CheckRow{7, "1", "0", kOneLine},
                      CheckRow{7, "-1", "3", kOneLine}, CheckRow{7, "0,4", "3", kOneLine}));

INSTANTIATE_TEST_SUITE_P(
    Numbering, CheckSlotInputsRows,
    ::testing::Values(CheckRow{10, "1", "-", kPass}, CheckRow{10, "0", "-", kTwoLines},
                      CheckRow{10, "00", "-", kTwoLines}, CheckRow{10, "1", "", kTwoLines},
                      CheckRow{10, "", "-", kOneLine}, CheckRow{11, "x", "-", kOneLine},
                      CheckRow{11, "-3", "-", kOneLine}, CheckRow{11, "-3", "", kOneLine},
                      CheckRow{11, "0.4", "-", kTwoLines},  // would number with 0
                      CheckRow{11, "9999999999", "-", kOneLine},
                      CheckRow{12, "1", "2", kPass}, CheckRow{12, "1", "0", kTwoLines},
                      CheckRow{12, "0", "x", kOneLine}, CheckRow{12, "5", "", kOneLine}));

TEST(CheckSlotInputs, FirstFailingSlotOnlyShowsOneMessage) {
  RenameJob job;
  job.slotCode = {1, 10, 5};
  job.txtSource = {"", "0", "x"};
  job.txtDestination = {"", "a", "y"};
  testing::RecordingMessages messages;
  EXPECT_FALSE(CheckSlotInputs(job, messages));
  EXPECT_EQ(messages.shown, std::vector<std::string>{kTwoLines});

  job.slotCode = {2, 0, 16};
  job.txtSource = {"a", "", ""};
  job.txtDestination = {"b", "", ""};
  messages.shown.clear();
  EXPECT_TRUE(CheckSlotInputs(job, messages));
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace velmora
