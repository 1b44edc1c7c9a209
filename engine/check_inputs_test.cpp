#include <gtest/gtest.h>

#include <vector>

#include "engine/job.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

constexpr const char* kPass = "";
constexpr const char* kOne = "Falsche oder fehlende Eingabe";
constexpr const char* kTwo =
    "Falsche oder fehlende Eingabe\r\n(Null ist als Startnummer nicht erlaubt)";

TEST(CheckSlotInputs, RowByRow) {
  struct Row {
    int code;
    const char* first;
    const char* second;
    const char* message;
  };
  const Row rows[] = {
      {0, "", "", kPass},
      {1, "", "", kPass},
      {13, "", "", kPass},
      {17, "", "", kPass},
      {42, "", "", kPass},
      {2, "a", "b", kPass},
      {2, "", "b", kOne},
      {3, "a", "", kOne},
      {8, "", "b", kPass},
      {9, "x", "", kOne},
      {14, "-", "", kPass},
      {14, "", "x", kOne},
      {15, "(", "", kOne},
      {4, "X", "0", kPass},
      {4, "X", "abc", kOne},
      {4, "", "1", kOne},
      {5, "2", "a", kPass},
      {5, "0", "a", kOne},
      {5, "-1", "a", kOne},
      {5, "1e3", "a", kOne},
      {6, "40000", "a", kPass},
      {7, "1", "0", kOne},
      {7, "0,4", "3", kOne},
      {7, "-1", "3", kOne},
      {10, "1", "-", kPass},
      {10, "0", "-", kTwo},
      {10, "00", "-", kTwo},
      {10, "1", "", kTwo},
      {10, "", "-", kOne},
      {11, "x", "-", kOne},
      {11, "-3", "-", kOne},
      {11, "-3", "", kOne},
      {11, "0.4", "-", kTwo},
      {11, "9999999999", "-", kOne},
      {12, "1", "2", kPass},
      {12, "1", "0", kTwo},
      {12, "0", "x", kOne},
      {12, "5", "", kOne},
      {18, "{artist}", "", kPass},
      {18, "{{x}} {Nr:2}", "x", kPass},
      {18, "", "", kOne},
      {18, "{foo}", "", kOne},
      {18, "{Titel", "", kOne},
      {18, "a}", "", kOne},
      {21, "", "", kPass},
      {19, "", "x", kOne},
      {19, "a", "", kPass},
      {19, "(\\w+)", "\\U$1\\E-${1}", kPass},
      {20, "", "x", kPass},
      {20, "de", "", kPass},
      {20, "DE", "", kOne},
      {20, "en", "", kOne},
      // PCRE2's own text; the position counts characters, not bytes.
      {19, "(ab", "x",
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 4 (missing closing parenthesis)"},
      {19, "äö(", "x",
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 4 (missing closing parenthesis)"},
      {19, "(a)", "$2", "Ungültiger regulärer Ausdruck in No. 2, Zeichen 1 (unknown substring)"},
      {19, "(?<n>a)", "ü${m}",
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 2 (unknown substring)"},
      {19, "a", "ä\\q",
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 2 (bad escape sequence in replacement "
       "string)"},
      {19, "(a)", "x${1",
       "Ungültiger regulärer Ausdruck in No. 2, Zeichen 2 (expected closing curly bracket in "
       "replacement string)"},
  };
  for (const Row& row : rows) {
    RenameJob job;
    testing::SetSlot(job, 1, row.code, row.first, row.second);
    testing::Recorders messages;
    const bool passed = CheckSlotInputs(job, messages);
    const std::vector<std::string> expected =
        *row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{};
    EXPECT_EQ(std::make_pair(passed, messages.messages), std::make_pair(expected.empty(), expected))
        << row.code << " '" << row.first << "' '" << row.second;
  }
}

TEST(CheckSlotInputs, StopsAtTheFirstFailingSlot) {
  RenameJob job;
  job.slotCode = {1, 10, 5};
  job.txtSource = {"", "0", "x"};
  job.txtDestination = {"", "a", "y"};
  testing::Recorders messages;
  EXPECT_FALSE(CheckSlotInputs(job, messages));
  EXPECT_EQ(messages.messages, std::vector<std::string>{kTwo});
}

}  // namespace
}  // namespace velmora
