// Fast display widths of many texts in one font: the sum of each character's
// advance, looked up once per character. Kerning and shaping are left out,
// which is a pixel or two on a path; callers add a small margin.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <array>
#include <string_view>

namespace velmora {

class TextWidth {
 public:
  explicit TextWidth(const QFont& font);

  // Width in pixels of a UTF-8 text; an invalid byte counts as U+FFFD.
  int Pixels(std::string_view utf8);

 private:
  int Advance(char32_t c);

  QFontMetrics metrics_;
  std::array<int, 128> ascii_{};
  QHash<char32_t, int> other_;
};

}  // namespace velmora
