// The valid word closest to a mistyped one, for "meinten Sie: ...?".
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velmora::cli {

// The candidate closest to word by edits (a swap of two neighbours counts
// as one), or one that word begins; "" when none is close enough to be
// what was meant.
std::string ClosestWord(const std::string& word, std::span<const std::string> candidates);

// "TEXT – meinten Sie: WORD?" when a suggestion is there, else text.
std::string WithSuggestion(const std::string& text, const std::string& suggestion);

// The words the parser knows, handed over without its types.
struct OptionWord {
  std::string name;  // "--pattern" or "-p"
  bool takesValue = false;
};
struct CommandWords {
  std::string name;
  std::vector<OptionWord> options;
};

// The message for the first word of args (the arguments in order, program
// name left out) that names neither a command nor an option of its
// command, with the closest valid one; nullopt when every word is known.
std::optional<std::string> UnknownWordText(std::span<const std::string> args,
                                           std::span<const CommandWords> commands,
                                           std::span<const OptionWord> topOptions);

}  // namespace velmora::cli
