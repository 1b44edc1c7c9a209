// The fixed table of error messages: every error number the program can
// report, with an English and a German text. The error reporter asks for the
// German one.
#pragma once

#include <string>

namespace velmora {

inline constexpr int kLanguageEnglish = 0;
inline constexpr int kLanguageGerman = 1;

// The text of error `number` in `language` (0 English, 1 German); "" for a
// number that is not in the table or any other language.
std::string ErrorText(int number, int language);

}  // namespace velmora
