#include "services/error_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ErrorText, OwnGermanTextsAndEnglish) {
  struct Row {
    int number;
    const char* english;
    const char* german;
  };
  for (const Row& row : {Row{53, "File not found", "Datei nicht gefunden"},
                         Row{14, "Out of string space", "Zu wenig Speicher"},
                         Row{28, "Out of stack space", "Zu wenig Speicher"},
                         Row{74, "Can't rename with different drive",
                             "Umbenennen über Platten hinaus nicht möglich"},
                         Row{7, "Out of memory", "interner Fehler"},
                         Row{31001, "Out of memory", "interner Fehler"},
                         Row{322, "Can’t create necessary temporary file", "interner Fehler"},
                         Row{327, "Data value named not found", "interner Fehler"},
                         Row{453, "Specified not found", "interner Fehler"}}) {
    EXPECT_EQ(ErrorText(row.number, 0), row.english) << row.number;
    EXPECT_EQ(ErrorText(row.number, 1), row.german) << row.number;
  }
}

TEST(ErrorText, TableHoldsExactly119NumbersOf25OwnGermanTexts) {
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
  EXPECT_EQ(numbers, 119);
  EXPECT_EQ(ownGerman, 25);
}

TEST(ErrorText, UnknownNumbersAndLanguagesAreEmpty) {
  for (int number : {0, 1, 2, 4, 8, 12, 100, 32767, -5, 31002}) {
    EXPECT_EQ(ErrorText(number, 0), "") << number;
    EXPECT_EQ(ErrorText(number, 1), "") << number;
  }
  for (int language : {2, -1, 100}) EXPECT_EQ(ErrorText(53, language), "") << language;
  EXPECT_FALSE(ErrorText(458, 0).empty());
}

}  // namespace
}  // namespace velmora
