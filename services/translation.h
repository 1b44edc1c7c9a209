// The language of the texts shown: German, the texts' own language, or
// English through the Qt translation files (velmora_en.qm). The window and
// the command line choose one at start; the error reporter, the log and the
// plan texts follow it.
#pragma once

#include <QStringList>
#include <initializer_list>
#include <string>

#include "engine/user_text.h"

class QString;

namespace velmora {

enum class Language { kGerman, kEnglish };

// The stored choice of "Optionen → Sprache": "de", "en", or "" for the system's.
inline constexpr char kKeyLanguage[] = "Language";

// The language for a list of UI languages, most wanted first
// (QLocale::uiLanguages): the first German or English entry decides; German
// when there is none (also for "C" and "POSIX").
Language LanguageForUiLanguages(const QStringList& uiLanguages);

// The stored choice, or the system's UI language when it is "" or unknown.
Language ChosenLanguage(const std::string& stored);

// Loads the translation of language from programFolder/translations, or the
// installed data folder, and makes it the current one (also for the
// QCoreApplication, when there is one). German needs no file. False, and
// German, when the file cannot be loaded.
bool UseLanguage(Language language, const std::string& programFolder);

// The language in use; German until UseLanguage switches.
Language CurrentLanguage();

// The number ErrorText takes for the current language.
int ErrorTextLanguage();

// The translation of a marked text (context "velmora"); the text itself in
// German or when no translation exists.
std::string Tr(const char* context, const char* text);

// text with "%1", "%2"... replaced by args, in order (after Tr, as the
// translation may reorder them).
std::string WithArgs(const std::string& text, std::initializer_list<std::string> args);

// A text of the non-Qt layers translated line by line (lines end in "\n" or
// CR LF); lines that are no marked text (names, paths) stay as they are.
std::string Translated(const std::string& german);
QString UiText(const std::string& german);

}  // namespace velmora
