#include "search/file_pattern.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "engine/text.h"
#include "search/name_order.h"

namespace velmora {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Wildcard match over characters: `?` takes one whole UTF-8 character, `*`
// any run. Backtracks only to the last `*`, so the cost stays linear-ish.
bool Glob(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharByteLength(name, n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      starN += CharByteLength(name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Where the plain tail of pattern begins: just after its last `*` when no
// `?` follows it; npos otherwise.
std::size_t PlainTailFrom(std::string_view pattern) {
  const std::size_t star = pattern.rfind('*');
  if (star == std::string_view::npos || pattern.find('?', star) != std::string_view::npos) {
    return std::string_view::npos;
  }
  return star + 1;
}

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + i, 8);
    if ((word & 0x8080808080808080ULL) != 0) return false;
  }
  for (; i < text.size(); ++i) {
    if (static_cast<std::uint8_t>(text[i]) >= 0x80) return false;
  }
  return true;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// True when name ends in tail, name's letters lowered.
bool EndsInLowered(std::string_view name, std::string_view tail) {
  if (name.size() < tail.size()) return false;
  name.remove_prefix(name.size() - tail.size());
  for (std::size_t i = 0; i < tail.size(); ++i) {
    if (LowerAscii(name[i]) != tail[i]) return false;
  }
  return true;
}

// Glob for a name of ASCII bytes, its letters lowered as they are read, so
// no folded copy is made: every character is one byte. Once the last `*` is
// reached with only plain characters after it (plainFrom), what is left is
// to compare the name's end.
bool GlobAscii(std::string_view pattern, std::size_t plainFrom, std::string_view name) {
  std::size_t p = 0, n = 0;
  std::size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      if (p + 1 == plainFrom) return EndsInLowered(name.substr(n), pattern.substr(p + 1));
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == LowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// "name.*" also takes a name without any extension, as "*.*" takes all.
bool TakesNoExtension(std::string_view part) { return part.size() >= 2 && part.ends_with(".*"); }

}  // namespace

FilePattern::FilePattern(std::string_view text) {
  while (true) {
    std::size_t cut = text.find(';');
    std::string_view part = TrimBlanks(text.substr(0, cut));
    if (!part.empty()) {
      std::string folded = FoldCase(part);
      const std::size_t plainFrom = PlainTailFrom(folded);
      parts_.push_back({std::move(folded), plainFrom});
    }
    all_ = all_ || part == "*" || part == "*.*";
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
}

bool FilePattern::Matches(std::string_view name) const {
  if (parts_.empty() || all_) return true;
  // Plain names, the most, are folded as they are read.
  return IsAscii(name) ? MatchesAscii(name) : MatchesFolded(FoldCase(name));
}

bool FilePattern::MatchesAscii(std::string_view name) const {
  const bool hasDot = name.find('.') != std::string_view::npos;
  for (const Part& part : parts_) {
    if (GlobAscii(part.text, part.plainFrom, name)) return true;
    if (!hasDot && TakesNoExtension(part.text)) {
      const std::string_view stem = std::string_view(part.text).substr(0, part.text.size() - 2);
      if (GlobAscii(stem, PlainTailFrom(stem), name)) return true;
    }
  }
  return false;
}

bool FilePattern::MatchesFolded(std::string_view folded) const {
  const bool hasDot = folded.find('.') != std::string_view::npos;
  for (const Part& part : parts_) {
    if (Glob(part.text, folded)) return true;
    if (!hasDot && TakesNoExtension(part.text) &&
        Glob(std::string_view(part.text).substr(0, part.text.size() - 2), folded)) {
      return true;
    }
  }
  return false;
}

bool ShowsTagEditButton(std::string_view pattern) {
  for (const char* extension : {".mp3", ".flac", ".ogg", ".opus", ".m4a"}) {
    if (pattern.ends_with(extension)) return true;
  }
  return false;
}

}  // namespace velmora
