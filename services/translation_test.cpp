#include "services/translation.h"

#include <gtest/gtest.h>

#include "engine/plan.h"
#include "services/error_log.h"
#include "services/plan_text.h"

namespace velmora {
namespace {

TEST(Translation, StoredChoiceOutweighsTheEnvironment) {
  EXPECT_EQ(ChosenLanguage("de"), Language::kGerman);
  EXPECT_EQ(ChosenLanguage("en"), Language::kEnglish);
}

// The singular; the plurals show in the preview and the dry run.
TEST(Translation, CountsInGermanGrammar) {
  RunPlan plan;
  plan.changes = 1;
  plan.conflicts = 1;
  EXPECT_EQ(PlanSummaryText(plan), "1 Änderung, 1 Konflikt");
}

// The build puts the translation beside the programs.
class EnglishTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(UseLanguage(Language::kEnglish, VELMORA_BIN_DIR)); }
  void TearDown() override { UseLanguage(Language::kGerman, VELMORA_BIN_DIR); }
};

TEST_F(EnglishTest, TextsOfTheOtherLayersLineByLineAndPlanCounts) {
  EXPECT_EQ(Translated("Falsche oder fehlende Eingabe\r\n(Null ist als Startnummer nicht erlaubt)"),
            "Wrong or missing input\r\n(Zero is not allowed as the start number)");
  // Lines that are no text of ours (paths) stay as they are.
  EXPECT_EQ(Translated("Konnte \r\n/a/b\r\n nicht zu \r\n/a/c\r\numbenennen"),
            "Renaming \r\n/a/b\r\n to \r\n/a/c\r\nfailed");
  EXPECT_EQ(Translated("/no/text/of/ours"), "/no/text/of/ours");
  EXPECT_EQ(ErrorMessageText(53, "Fehler beim Umbenennen", "/a", "No such file"),
            "Error while renaming\r\nin File: /a\r\n\r\nError:  53\r\nFile not found\r\n\r\n"
            "( No such file )");
  RunPlan plan;
  plan.changes = 1;
  plan.conflicts = 2;
  EXPECT_EQ(PlanSummaryText(plan), "1 change, 2 conflicts");
}

TEST_F(EnglishTest, MessagesWithValuesKeepTheirValues) {
  EXPECT_EQ(Translated("Ungültiger regulärer Ausdruck in No. 2, Zeichen 14 (missing ) at (a)"),
            "Invalid regular expression in No. 2, character 14 (missing ) at (a)");
  // Not the whole form: left as it is.
  EXPECT_EQ(Translated("Ungültiger regulärer Ausdruck in No. 2"),
            "Ungültiger regulärer Ausdruck in No. 2");
}

}  // namespace
}  // namespace velmora
