#include "services/translation.h"

#include <QCoreApplication>
#include <QString>
#include <QTranslator>
#include <memory>

namespace velmora {
namespace {

std::unique_ptr<QTranslator>& Translator() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

Language ChosenLanguage(const std::string& stored) {
  if (stored == "de") return Language::kGerman;
  if (stored == "en") return Language::kEnglish;
  // The rule Qt follows for the system locale, kept in one place for both
  // front ends.
  return EnvironmentLanguage();
}

bool UseLanguage(Language language, const std::string& programFolder) {
  std::unique_ptr<QTranslator>& current = Translator();
  if (current && QCoreApplication::instance() != nullptr) {
    QCoreApplication::removeTranslator(current.get());
  }
  current.reset();
  if (!LoadLanguage(language, programFolder)) return false;
  if (language == Language::kGerman) return true;

  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QString::fromStdString(EnglishCatalogueFile(programFolder)))) {
    LoadLanguage(Language::kGerman, programFolder);
    return false;
  }
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::installTranslator(translator.get());
  current = std::move(translator);
  return true;
}

QString UiText(const std::string& german) { return QString::fromStdString(Translated(german)); }

}  // namespace velmora
