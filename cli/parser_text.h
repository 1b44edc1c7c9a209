// The parser's own refusals in the user's language: CLI11 writes them in
// English, and these are its known forms with their German words.
#pragma once

#include <string>

namespace velmora::cli {

// message in the user's language when it has one of the parser's known
// forms, else message as it is.
std::string ParserText(const std::string& message);

}  // namespace velmora::cli
