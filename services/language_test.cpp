#include "services/language.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTranslator>
#include <QXmlStreamReader>

#include "services/qm_catalogue.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

TEST(Language, TheEnvironmentAsQtReadsIt) {
  struct Row {
    const char *language, *all, *messages, *lang;
    Language expected;
  };
  const Row rows[] = {
      {"fr:en", nullptr, nullptr, "de_DE.UTF-8", Language::kEnglish},
      {"de", "en_US.UTF-8", nullptr, nullptr, Language::kGerman},
      {"", "C.UTF-8", "en_GB", nullptr, Language::kGerman},
      {"fr", nullptr, nullptr, "en_US", Language::kGerman},
      {nullptr, "", "EN_us@euro", "de_DE", Language::kEnglish},
      {nullptr, "C", nullptr, "fr_FR", Language::kGerman},
      {"english", nullptr, nullptr, nullptr, Language::kGerman},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.language ? row.language : "(unset)");
    const testing::ScopedEnv language("LANGUAGE", row.language), all("LC_ALL", row.all),
        messages("LC_MESSAGES", row.messages), lang("LANG", row.lang);
    EXPECT_EQ(EnvironmentLanguage(), row.expected);
  }
}

TEST(Language, ValuesGoInByTheMarkersNumbers) {
  struct Row {
    std::string text;
    std::initializer_list<std::string> args;
    std::string expected;
  };
  const Row rows[] = {
      {"%2 von %1", {"a", "b"}, "b von a"},
      {"%1 und %1, %3", {"x", "y"}, "x und x, y"},
      {"%1 bleibt %2", {"50%2 %1.mp3"}, "50%2 %1.mp3 bleibt %2"},
      {"100 % von %L1", {"\xe4"}, "100 % von \xe4"},
  };
  for (const Row& row : rows) EXPECT_EQ(WithArgs(row.text, row.args), row.expected) << row.text;
}

// Every text of the translation is found as Qt's own translator finds it.
TEST(Language, CatalogueFindsWhatQtFinds) {
  const QString qm = QStringLiteral(VELMORA_BIN_DIR "/translations/velmora_en.qm");
  QmCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(qm.toStdString()));
  QTranslator translator;
  ASSERT_TRUE(translator.load(qm));
  QFile ts(QStringLiteral(VELMORA_SOURCE_DIR "/translations/velmora_en.ts"));
  ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&ts);
  std::string context;
  int compared = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("name")) context = xml.readElementText().toStdString();
    if (xml.name() != QLatin1String("source")) continue;
    const std::string source = xml.readElementText().toStdString();
    for (const std::string& text : {source, source + "x"}) {
      EXPECT_EQ(catalogue.Find(context, text),
                translator.translate(context.c_str(), text.c_str()).toStdString())
          << context << ": " << text;
    }
    EXPECT_EQ(catalogue.Find("other", source), "");
    ++compared;
  }
  EXPECT_GT(compared, 300);
  EXPECT_FALSE(QmCatalogue().Load(VELMORA_SOURCE_DIR "/translations/velmora_en.ts"));
}

}  // namespace
}  // namespace velmora
