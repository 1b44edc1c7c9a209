#include <gtest/gtest.h>

#include <limits>

#include "engine/operation_test_support.h"
#include "engine/operations.h"

namespace velmora {
namespace {

using testing::NewName;
using testing::RecordingReporter;

// Runs one slot over several names with one context, as a run does.
std::vector<std::string> Number(int code, const std::string& start, const std::string& second,
                                const std::vector<std::string>& names, NameContext& ctx) {
  std::vector<std::string> out;
  for (const std::string& name : names) out.push_back(NewName(code, start, second, name, ctx));
  return out;
}

TEST(NumberText, PaddingAndSign) {
  EXPECT_EQ(NumberText(7, 3), "007");
  EXPECT_EQ(NumberText(1234, 3), "1234");
  EXPECT_EQ(NumberText(-5, 2), "-05");
  EXPECT_EQ(NumberText(5, 0), "5");
  EXPECT_EQ(NumberText(std::numeric_limits<int>::min(), 1), "-2147483648");
}

TEST(InsertNumber, ExamplesOfTheThreeOperations) {
  NameContext ctx;
  EXPECT_EQ(Number(11, "01", ".mp3", {"a.mp3", "b.mp3", "c.mp3"}, ctx),
            (std::vector<std::string>{"a01.mp3", "b02.mp3", "c03.mp3"}));
  ctx = {};
  EXPECT_EQ(Number(10, "007", "-", {"a-b.txt", "c-d.txt"}, ctx),
            (std::vector<std::string>{"a-007b.txt", "c-008d.txt"}));
  ctx = {};
  EXPECT_EQ(Number(12, "1", "1", {"a.mp3", "b.mp3"}, ctx),
            (std::vector<std::string>{"1a.mp3", "2b.mp3"}));
  EXPECT_EQ(ctx.numberCounter, 2);
  EXPECT_EQ(ctx.numberWidth, 1);
}

TEST(InsertNumber, WidthIsAMinimumAndCountsTheTypedText) {
  NameContext ctx;
  std::vector<std::string> names(12, "a.txt");
  const auto got = Number(12, "9", "1", names, ctx);
  EXPECT_EQ(got.front(), "9a.txt");
  EXPECT_EQ(got[1], "10a.txt");
  EXPECT_EQ(got.back(), "20a.txt");
  ctx = {};
  EXPECT_EQ(NewName(12, " +5", "1", "a.txt", ctx), "005a.txt");  // blanks and sign count
  EXPECT_EQ(ctx.numberWidth, 3);
}

TEST(InsertNumber, PositionsAndMissingAnchorsConsumeANumber) {
  NameContext ctx;
  EXPECT_EQ(NewName(12, "1", "10", "Titel.mp3", ctx), "Titel.mp31");
  EXPECT_EQ(NewName(12, "1", "11", "Titel.mp3", ctx), "<empty>");
  EXPECT_EQ(NewName(10, "1", "zz", "Titel.mp3", ctx), "<empty>");
  EXPECT_EQ(NewName(11, "1", "zz", "Titel.mp3", ctx), "<empty>");
  EXPECT_EQ(ctx.numberCounter, 4);  // the run gives these back on a skip
  ctx.numberCounter -= 3;
  EXPECT_EQ(NewName(11, "1", "T", "Titel.mp3", ctx), "2Titel.mp3");
}

TEST(InsertNumber, GiveBackToZeroRestartsFromTheStartText) {
  NameContext ctx;
  EXPECT_EQ(NewName(10, "3", "a", "xa.txt", ctx), "xa3.txt");
  --ctx.numberCounter;  // a declined step
  EXPECT_EQ(NewName(10, "3", "a", "ya.txt", ctx), "ya3.txt");
}

TEST(InsertNumber, TwoSlotsShareOneCounter) {
  RenameJob job;
  job.slotCode = {12, 0, 12};
  job.txtSource = {"1", "", "1"};
  job.txtDestination = {"1", "", "1"};
  NameContext ctx;
  std::vector<std::string> results;
  for (const std::string& path : {std::string("/m/a"), std::string("/m/b")}) {
    std::string name = path;
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const std::string next = ApplyOperation(job, slot, name, ctx);
      if (!next.empty()) name = next;
    }
    results.push_back(name);
  }
  EXPECT_EQ(results, (std::vector<std::string>{"/m/21a", "/m/43b"}));
}

TEST(InsertNumber, FailuresAreReportedAtCodePlusTwo) {
  NameContext ctx;
  RecordingReporter reporter;
  ctx.reporter = &reporter;
  EXPECT_EQ(NewName(10, "abc", "a", "a.txt", ctx), "<empty>");
  EXPECT_EQ(ctx.numberCounter, 0);
  EXPECT_EQ(NewName(12, "1", "x", "a.txt", ctx), "<empty>");
  ctx.numberCounter = std::numeric_limits<int>::max();
  EXPECT_EQ(NewName(11, "1", "a", "a.txt", ctx), "<empty>");
  EXPECT_EQ(ctx.numberCounter, std::numeric_limits<int>::max());
  ASSERT_EQ(reporter.calls.size(), 3u);
  EXPECT_EQ(reporter.calls[0].location, 12);
  EXPECT_EQ(reporter.calls[0].number, 13);
  EXPECT_EQ(reporter.calls[1].location, 14);
  EXPECT_EQ(reporter.calls[1].number, 13);
  EXPECT_EQ(reporter.calls[2].location, 13);
  EXPECT_EQ(reporter.calls[2].number, 6);
}

}  // namespace
}  // namespace velmora
