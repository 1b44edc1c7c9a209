// The file pattern of the search field: wildcards `*` (any run of
// characters) and `?` (exactly one character), several patterns separated by
// ";", letter case ignored. A pattern ending in ".*" also matches names
// without a dot, so "*.*" matches every file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

class FilePattern {
 public:
  // Blanks around each part are dropped and empty parts ignored; a pattern
  // with no part left matches every name.
  explicit FilePattern(std::string_view text);

  // True when name (a file name without folder) matches one of the parts.
  [[nodiscard]] bool Matches(std::string_view name) const;

 private:
  struct Part {
    std::string text;       // case-folded
    std::size_t plainFrom;  // after the last `*` when no `?` follows it, else npos
  };
  [[nodiscard]] bool MatchesFolded(std::string_view folded) const;
  [[nodiscard]] bool MatchesAscii(std::string_view name) const;

  std::vector<Part> parts_;
  bool all_ = false;  // a part ("*", "*.*") takes every name
};

// True when the tag-editor button is to be shown for this pattern text: it
// ends exactly in ".mp3", ".flac", ".ogg", ".opus" or ".m4a" (upper case
// does not count).
bool ShowsTagEditButton(std::string_view pattern);

}  // namespace velmora
