// Replacing with a regular expression through PCRE2: the pattern compiled
// once (with JIT), the replacement parsed once. The replacement is expanded
// here rather than by pcre2_substitute, whose \U turns "ß" into "ẞ"; it
// follows PCRE2's extended syntax otherwise: every match replaced, unset
// groups empty.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/user_text.h"

namespace velmora {

// Why a pattern or a replacement is refused: PCRE2's text and the 1-based
// character position where the problem was seen.
struct RegexProblem {
  bool inReplacement = false;
  std::size_t position = 0;  // 0 = none
  std::string text;

  explicit operator bool() const { return position != 0; }
};

// The input check's refusal: %1 the slot's number, %2 the character, %3
// PCRE2's own text.
inline constexpr char kBadRegexMessage[] =
    VELMORA_TEXT("velmora", "Ungültiger regulärer Ausdruck in No. %1, Zeichen %2 (%3)");

enum class RegexOutcome { kReplaced, kUnchanged, kLimit };

class RegexReplacer {
 public:
  // The match limit; the depth limit keeps the interpreter's backtracking
  // small when JIT is not available.
  static constexpr unsigned kMatchLimit = 100000;
  static constexpr unsigned kDepthLimit = 10000;

  // Null with problem set when the pattern does not compile, the
  // replacement is malformed, or it names a group the pattern lacks.
  static std::unique_ptr<RegexReplacer> Make(std::string_view pattern, std::string_view replacement,
                                             RegexProblem& problem);
  ~RegexReplacer();
  RegexReplacer(const RegexReplacer&) = delete;
  RegexReplacer& operator=(const RegexReplacer&) = delete;

  // Appends name with every match replaced. kUnchanged appends nothing;
  // kLimit, too, when a match or depth limit was reached.
  RegexOutcome Replace(std::string_view name, std::string& out) const;

 private:
  struct Impl;
  explicit RegexReplacer(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace velmora
