// The window's language: the texts of language.h plus Qt's translator, so
// that the widgets' tr() speaks the same language. Only the window links it
// (library velmora_services_qt); the command line uses language.h alone.
#pragma once

#include <string>

#include "services/language.h"

class QString;

namespace velmora {

// The stored choice, or the system's UI language when it is "" or unknown.
Language ChosenLanguage(const std::string& stored);

// LoadLanguage, and the same translation installed for the widgets (also in
// the QCoreApplication, when there is one). False, and German, when the file
// cannot be loaded.
bool UseLanguage(Language language, const std::string& programFolder);

QString UiText(const std::string& german);

}  // namespace velmora
