#include <gtest/gtest.h>

#include <vector>

#include "engine/job.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

using Messages = std::vector<std::string>;
constexpr const char* kOne = "Falsche oder fehlende Eingabe";
constexpr const char* kTwo =
    "Falsche oder fehlende Eingabe\r\n(Null ist als Startnummer nicht erlaubt)";

struct Slot {
  int code;
  const char* first;
  const char* second;
};

// The messages of the check of a job with the slot in the middle; none when it passes.
Messages Check(const Slot& slot) {
  RenameJob job;
  testing::SetSlot(job, 1, slot.code, slot.first, slot.second);
  testing::Recorders messages;
  const bool passed = CheckSlotInputs(job, messages);
  EXPECT_EQ(passed, messages.messages.empty()) << slot.code;
  return messages.messages;
}

TEST(CheckSlotInputs, RowByRow) {
  const Slot passes[] = {{0, "", ""},    {1, "", ""},          {13, "", ""},
                         {17, "", ""},   {42, "", ""},         {2, "a", "b"},
                         {8, "", "b"},   {14, "-", ""},        {4, "X", "0"},
                         {5, "2", "a"},  {6, "40000", "a"},    {10, "1", "-"},
                         {12, "1", "2"}, {18, "{artist}", ""}, {18, "{{x}} {Nr:2}", "x"},
                         {21, "", ""},   {19, "a", ""},        {19, "(\\w+)", "\\U$1\\E-${1}"},
                         {20, "", "x"},  {20, "de", ""}};
  const Slot wrong[] = {{2, "", "b"},    {3, "a", ""},   {9, "x", ""},
                        {14, "", "x"},   {15, "(", ""},  {4, "X", "abc"},
                        {4, "", "1"},    {5, "0", "a"},  {5, "-1", "a"},
                        {5, "1e3", "a"}, {7, "1", "0"},  {7, "0,4", "3"},
                        {7, "-1", "3"},  {10, "", "-"},  {11, "x", "-"},
                        {11, "-3", "-"}, {11, "-3", ""}, {11, "9999999999", "-"},
                        {12, "0", "x"},  {12, "5", ""},  {18, "{Titel", ""},
                        {18, "a}", ""},  {19, "", "x"},  {20, "DE", ""},
                        {20, "en", ""}};
  const Slot zeroStart[] = {
      {10, "0", "-"}, {10, "00", "-"}, {10, "1", ""}, {11, "0.4", "-"}, {12, "1", "0"}};
  for (const Slot& slot : passes) EXPECT_EQ(Check(slot), Messages{}) << slot.first;
  for (const Slot& slot : wrong) EXPECT_EQ(Check(slot), Messages{kOne}) << slot.first;
  for (const Slot& slot : zeroStart) EXPECT_EQ(Check(slot), Messages{kTwo}) << slot.first;
  // PCRE2's own text; in the replacement too the position counts characters
  // (the pattern's: the command line's test).
  EXPECT_EQ(Check({19, "a", "ä\\q"}),
            Messages{"Ungültiger regulärer Ausdruck in No. 2, Zeichen 2 (bad escape sequence in "
                     "replacement string)"});
}

TEST(CheckSlotInputs, StopsAtTheFirstFailingSlot) {
  RenameJob job;
  job.slotCode = {1, 10, 5};
  job.txtSource = {"", "0", "x"};
  job.txtDestination = {"", "a", "y"};
  testing::Recorders messages;
  EXPECT_FALSE(CheckSlotInputs(job, messages));
  EXPECT_EQ(messages.messages, Messages{kTwo});
}

}  // namespace
}  // namespace velmora
