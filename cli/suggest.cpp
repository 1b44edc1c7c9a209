#include "cli/suggest.h"

#include <algorithm>
#include <vector>

#include "services/language.h"

namespace velmora::cli {
namespace {

// Edits between a and b: insert, delete, replace, or swap two neighbours.
std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

const OptionWord* FindOption(const std::string& name, std::span<const OptionWord> options) {
  for (const OptionWord& option : options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

std::string UnknownOption(const std::string& name, std::span<const OptionWord> options) {
  std::vector<std::string> names;
  for (const OptionWord& option : options) names.push_back(option.name);
  return WithSuggestion(WithArgs(Tr("velmora", "Unbekannte Option: %1"), {name}),
                        ClosestWord(name, names));
}

// How many of the following words word takes as values (0 or 1); -1 when
// it names no option. "-ny" is -n and -y; "-pTEXT" is -p with its value.
int ValuesTaken(const std::string& word, std::span<const OptionWord> options) {
  const std::string name = word.substr(0, word.find('='));
  if (word.rfind("--", 0) == 0 || word.size() == 2) {
    const OptionWord* option = FindOption(name, options);
    if (option == nullptr) return -1;
    return option->takesValue && name == word ? 1 : 0;
  }
  for (std::size_t i = 1; i < word.size(); ++i) {
    const OptionWord* option = FindOption(std::string("-") + word[i], options);
    if (option == nullptr) return -1;
    if (option->takesValue) return i + 1 == word.size() ? 1 : 0;
  }
  return 0;
}

}  // namespace

std::optional<std::string> UnknownWordText(std::span<const std::string> args,
                                           std::span<const CommandWords> commands,
                                           std::span<const OptionWord> topOptions) {
  const CommandWords* command = nullptr;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& word = args[i];
    if (word == "--") break;
    const std::span<const OptionWord> options =
        command != nullptr ? std::span<const OptionWord>(command->options) : topOptions;
    if (word.size() > 1 && word[0] == '-') {
      const int values = ValuesTaken(word, options);
      if (values < 0) return UnknownOption(word.substr(0, word.find('=')), options);
      i += static_cast<std::size_t>(values);
      continue;
    }
    if (command != nullptr) continue;  // a folder or file
    std::vector<std::string> names;
    for (const CommandWords& known : commands) {
      if (known.name == word) command = &known;
      names.push_back(known.name);
    }
    if (command == nullptr) {
      return WithSuggestion(WithArgs(Tr("velmora", "Unbekannter Befehl: %1"), {word}),
                            ClosestWord(word, names));
    }
  }
  return std::nullopt;
}

std::string ClosestWord(const std::string& word, std::span<const std::string> candidates) {
  const std::string bare = word.substr(
      word.find_first_not_of('-') == std::string::npos ? word.size() : word.find_first_not_of('-'));
  // A third of the word may be wrong, at least one letter and at most three.
  const std::size_t allowed = std::clamp<std::size_t>(bare.size() / 3, 1, 3);
  std::string best;
  std::size_t bestDistance = allowed + 1;
  for (const std::string& candidate : candidates) {
    std::size_t distance = EditDistance(word, candidate);
    if (bare.size() >= 3 && candidate.rfind(word, 0) == 0) distance = 1;
    if (distance < bestDistance) {
      best = candidate;
      bestDistance = distance;
    }
  }
  return best;
}

std::string WithSuggestion(const std::string& text, const std::string& suggestion) {
  if (suggestion.empty()) return text;
  return text + " – " + WithArgs(Tr("velmora", "meinten Sie: %1?"), {suggestion});
}

}  // namespace velmora::cli
