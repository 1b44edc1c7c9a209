#include "services/error_text.h"

#include <gtest/gtest.h>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

// Samples where a copied text most easily goes wrong: umlauts, the typographic
// apostrophe, the one five-digit number, a German text shared by two numbers;
// any other number or language has none.
TEST(ErrorText, OwnGermanTextsAndEnglish) {
  struct Row {
    int number;
    const char* english;
    const char* german;
  };
  for (const Row& row : {Row{kFileNotFound, "File not found", "Datei nicht gefunden"},
                         Row{28, "Out of stack space", "Zu wenig Speicher"},
                         Row{kRenameAcrossDrives, "Can't rename with different drive",
                             "Umbenennen über Platten hinaus nicht möglich"},
                         Row{31001, "Out of memory", "interner Fehler"},
                         Row{kFieldMissing, "Field not found in file", "Feld fehlt in der Datei"},
                         Row{kRegexLimit, "Regular expression limit reached",
                             "Grenze des regulären Ausdrucks erreicht"},
                         Row{322, "Can’t create necessary temporary file", "interner Fehler"}}) {
    EXPECT_EQ(ErrorText(row.number, 0), row.english) << row.number;
    EXPECT_EQ(ErrorText(row.number, 1), row.german) << row.number;
  }
  EXPECT_EQ(ErrorText(31002, 0), "");  // no such number
  for (int language : {2, -1}) EXPECT_EQ(ErrorText(53, language), "") << language;
}

}  // namespace
}  // namespace velmora
