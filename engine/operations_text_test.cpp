#include <gtest/gtest.h>

#include "engine/operation_test_support.h"
#include "engine/operations.h"

namespace velmora {
namespace {

using testing::NewName;
using testing::OperationRow;
using testing::RecordingReporter;

void ExpectRows(const std::vector<OperationRow>& rows) {
  for (const OperationRow& row : rows) {
    NameContext ctx;
    RecordingReporter reporter;
    ctx.reporter = &reporter;
    EXPECT_EQ(NewName(row.code, row.first, row.second, row.name, ctx), row.expected)
        << "code " << row.code << " '" << row.first << "' '" << row.second << "' on '"
        << row.name << "'";
    EXPECT_TRUE(reporter.calls.empty()) << row.name;
  }
}

TEST(ReplaceText, Rows) {
  ExpectRows({
      {1, "-", "_", "Titel - Interpret.mp3", "Titel _ Interpret.mp3"},
      {1, " ", "", "Titel - Interpret.mp3", "Titel-Interpret.mp3"},
      {1, "-", "+", "a-b-c.txt", "a+b+c.txt"},
      {1, "aa", "a", "aaaa.txt", "aa.txt"},  // no overlaps, left to right
      {1, "titel", "X", "Titel - Interpret.mp3", "<empty>"},
      {1, ".mp3", ".ogg", "Titel.MP3", "<empty>"},
      {1, "", "x", "Titel.mp3", "<empty>"},
      {1, "a", "a", "a.txt", "<empty>"},  // replaced but unchanged
      {1, "ü", "ue", "über.mp3", "ueber.mp3"},
  });
}

TEST(InsertTextAfter, Rows) {
  ExpectRows({
      {2, "(live) ", "- ", "Titel - Interpret.mp3", "Titel - (live) Interpret.mp3"},
      {2, "X", "mp3", "Titel.mp3", "Titel.mp3X"},
      {2, "X", "-", "a-b-c.txt", "a-Xb-c.txt"},
      {2, "1", ".", "a.txt", "a.1txt"},
      {2, "X", "zzz", "Titel.mp3", "<empty>"},
      // The anchor only in another case: left alone rather than cut at a
      // position from a failed search.
      {2, "X", "titel", "Titel - Interpret.mp3", "<empty>"},
      {2, "X", "ü", "aüb.mp3", "aüXb.mp3"},
  });
}

TEST(InsertTextBefore, Rows) {
  ExpectRows({
      {3, "01 ", "Titel", "Titel - Interpret.mp3", "01 Titel - Interpret.mp3"},
      {3, " (remix)", ".mp3", "Titel - Interpret.mp3", "Titel - Interpret (remix).mp3"},
      {3, "X", "-", "a-b-c.txt", "aX-b-c.txt"},
      {3, "1", ".", "a.txt", "a1.txt"},
      {3, "X", "TITEL", "Titel.mp3", "<empty>"},
  });
}

TEST(InsertTextAt, Rows) {
  ExpectRows({
      {4, "X", "6", "Titel.mp3", "TitelX.mp3"},
      {4, "X", "1", "Titel.mp3", "XTitel.mp3"},
      {4, "X", "10", "Titel.mp3", "Titel.mp3X"},
      {4, "X", "11", "Titel.mp3", "<empty>"},
      {4, "X", "0", "Titel.mp3", "<empty>"},
      {4, "X", "-3", "Titel.mp3", "<empty>"},
      {4, "X", "2", "über.mp3", "üXber.mp3"},  // positions count characters
      {4, "X", " 2,4 ", "über.mp3", "üXber.mp3"},
  });
}

TEST(InsertTextAt, PositionThatDoesNotConvertIsReported) {
  for (const char* pos : {"abc", "", "99999999999"}) {
    NameContext ctx;
    RecordingReporter reporter;
    ctx.reporter = &reporter;
    EXPECT_EQ(ApplyOperation(testing::OneSlotJob(4, "X", pos), 1, "/m/a.txt", ctx), "");
    ASSERT_EQ(reporter.calls.size(), 1u) << pos;
    EXPECT_EQ(reporter.calls[0].location, 6);
    EXPECT_EQ(reporter.calls[0].number, std::string(pos) == "99999999999" ? 6 : 13);
    EXPECT_EQ(reporter.calls[0].context, "Fehler beim Umbenennen");
    EXPECT_EQ(reporter.calls[0].file, "/m/a.txt");
    EXPECT_FALSE(reporter.calls[0].description.empty());
  }
}

// Every operation builds its result on the destination folder while copying
// or moving, and on the source folder (separator included) while renaming.
TEST(OperationFrame, ResultFolderFollowsRunKind) {
  struct Case {
    int code;
    const char* first;
    const char* second;
  };
  const Case cases[] = {{1, "a", "b"},   {2, "X", "a"},  {3, "X", "a"}, {4, "X", "1"},
                        {5, "1", "a"},   {6, "1", "t"},  {7, "1", "1"}, {8, "", "t"},
                        {9, "", "t"},    {10, "1", "a"}, {11, "1", "a"}, {12, "1", "1"},
                        {13, "", ""},    {14, "a", ""},  {15, "a", "x"}, {16, "", ""},
                        {17, "", ""}};
  for (const Case& c : cases) {
    const RenameJob job = testing::OneSlotJob(c.code, c.first, c.second);
    NameContext rename;
    rename.flags.renameFiles = true;
    rename.destPath = "/ziel/";
    EXPECT_EQ(ApplyOperation(job, 1, "/quelle/da.xt.txt", rename).rfind("/quelle/", 0), 0u)
        << c.code;
    for (bool copy : {true, false}) {
      NameContext ctx;
      ctx.flags.copyFiles = copy;
      ctx.flags.moveFiles = !copy;
      ctx.destPath = "/ziel/";
      EXPECT_EQ(ApplyOperation(job, 1, "/quelle/da.xt.txt", ctx).rfind("/ziel/", 0), 0u)
          << c.code;
    }
  }
}

TEST(ApplyOperation, InactiveOrOutOfRangeGivesEmpty) {
  NameContext ctx;
  for (int code : {0, -1, 18, 99}) {
    EXPECT_EQ(ApplyOperation(testing::OneSlotJob(code, "a", "b"), 1, "/m/a.txt", ctx), "");
  }
  EXPECT_EQ(ApplyOperation(testing::OneSlotJob(16, "", ""), 3, "/m/a.txt", ctx), "");
  EXPECT_EQ(ApplyOperation(testing::OneSlotJob(16, "", ""), 0, "/m/a.txt", ctx), "");
}

TEST(ApplyOperation, FileInTheRootAndNameWithoutFolder) {
  NameContext ctx;
  EXPECT_EQ(ApplyOperation(testing::OneSlotJob(16, "", ""), 1, "/a.txt", ctx), "/A.TXT");
  EXPECT_EQ(ApplyOperation(testing::OneSlotJob(16, "", ""), 1, "a.txt", ctx), "A.TXT");
}

TEST(Catalogue, CodesCaptionsAndOrder) {
  const auto& rows = Catalogue();
  EXPECT_STREQ(rows[0].listText, "nicht aktiv");
  EXPECT_STREQ(rows[8].listText, "Alle Zeichen löschen vor ...");
  EXPECT_STREQ(rows[9].listText, "Alle Zeichen löschen nach ...");
  EXPECT_STREQ(rows[8].firstCaption, "");
  EXPECT_STREQ(rows[14].firstCaption, "Spiegel");
  EXPECT_STREQ(rows[14].secondCaption, "leer");
  EXPECT_STREQ(rows[15].listText, "Anzahl Zeichen löschen zwischen");
  EXPECT_STREQ(rows[17].listText, "Alle in Kleinbuchstaben");
}

}  // namespace
}  // namespace velmora
