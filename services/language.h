// The language of the texts shown: German, the texts' own language, or
// English from the translation file velmora_en.qm, read here without Qt. The
// command line chooses one at start from the environment; the window through
// translation.h, which adds Qt's translator for the widgets. The error
// reporter, the log and the plan texts follow it.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "engine/user_text.h"

namespace velmora {

enum class Language { kGerman, kEnglish };

// The stored choice of "Optionen → Sprache": "de", "en", or "" for the system's.
inline constexpr char kKeyLanguage[] = "Language";

// The language a locale or language name stands for ("en_US.UTF-8",
// "de-AT", "en"); none for any other ("fr", "C", "POSIX").
std::optional<Language> LanguageOfName(std::string_view name);

// The user's language: the first German or English entry of LANGUAGE (a list
// split at ':') when it is set, else of the first of LC_ALL, LC_MESSAGES and
// LANG that is set; German when there is none.
Language EnvironmentLanguage();

// Loads the texts of language from programFolder/translations, or the
// installed data folder, and makes it the current one. German needs no file.
// False, and German, when the file cannot be loaded.
bool LoadLanguage(Language language, const std::string& programFolder);

// The path of the English translation file found for programFolder; "" when
// there is none.
std::string EnglishCatalogueFile(const std::string& programFolder);

// The language in use; German until LoadLanguage switches.
Language CurrentLanguage();

// The number ErrorText takes for the current language.
int ErrorTextLanguage();

// The translation of a marked text (context "velmora"); the text itself in
// German or when no translation exists.
std::string Tr(const char* context, const char* text);

// text with its markers "%1", "%2"... replaced by args, the lowest number by
// the first (after Tr, as the translation may reorder them). Values are put
// in as they are and never read for markers themselves.
std::string WithArgs(const std::string& text, std::initializer_list<std::string> args);

// A text of the non-Qt layers translated line by line (lines end in "\n" or
// CR LF); lines that are no marked text (names, paths) stay as they are.
std::string Translated(const std::string& german);

}  // namespace velmora
