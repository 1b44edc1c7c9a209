#include "services/error_text.h"

#include <gtest/gtest.h>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

// Samples where a copied text most easily goes wrong: umlauts, the typographic
// apostrophe, the one five-digit number, a German text shared by two numbers.
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
}

// Every other number, and every other language, gives the empty text.
TEST(ErrorText, TableHoldsExactly122NumbersOf28OwnGermanTexts) {
  int numbers = 0;
  int ownGerman = 0;
  for (int number = -32768; number <= 32767; ++number) {
    const std::string english = ErrorText(number, 0);
    const std::string german = ErrorText(number, 1);
    EXPECT_EQ(english.empty(), german.empty()) << number;
    if (english.empty()) continue;
    ++numbers;
    if (german != "interner Fehler") ++ownGerman;
  }
  EXPECT_EQ(numbers, 122);
  EXPECT_EQ(ownGerman, 28);
  EXPECT_EQ(ErrorText(31002, 0), "");
  for (int language : {2, -1}) EXPECT_EQ(ErrorText(53, language), "") << language;
}

}  // namespace
}  // namespace velmora
