#include "search/file_pattern.h"

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

}  // namespace

FilePattern::FilePattern(std::string_view text) {
  while (true) {
    std::size_t cut = text.find(';');
    std::string_view part = TrimBlanks(text.substr(0, cut));
    if (!part.empty()) parts_.push_back(FoldCase(part));
    all_ = all_ || part == "*" || part == "*.*";
    if (cut == std::string_view::npos) break;
    text.remove_prefix(cut + 1);
  }
}

bool FilePattern::Matches(std::string_view name) const {
  if (parts_.empty() || all_) return true;
  std::string folded = FoldCase(name);
  bool hasDot = folded.find('.') != std::string::npos;
  for (const std::string& part : parts_) {
    if (Glob(part, folded)) return true;
    // "name.*" also takes a name without any extension, as "*.*" takes all.
    if (!hasDot && part.size() >= 2 && part.ends_with(".*") &&
        Glob(std::string_view(part).substr(0, part.size() - 2), folded)) {
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
