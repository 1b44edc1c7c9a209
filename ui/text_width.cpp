#include "ui/text_width.h"

#include <QString>

namespace velmora {

namespace {

// Decodes the code point at text[pos] and advances pos past it.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int extra = 0;
  char32_t c = 0;
  if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    c = lead & 0x07;
  } else if (lead >= 0xE0) {
    extra = lead <= 0xEF ? 2 : 0;
    c = lead & 0x0F;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    c = lead & 0x1F;
  }
  if (extra == 0 || pos + extra >= text.size()) {
    ++pos;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return 0xFFFD;
    }
    c = (c << 6) | (next & 0x3F);
  }
  pos += extra + 1;
  return c;
}

}  // namespace

TextWidth::TextWidth(const QFont& font) : metrics_(font) {
  for (int c = 0; c < 128; ++c) ascii_[c] = metrics_.horizontalAdvance(QChar(c));
}

int TextWidth::Advance(char32_t c) {
  auto it = other_.constFind(c);
  if (it != other_.constEnd()) return *it;
  const int width = metrics_.horizontalAdvance(QString::fromUcs4(&c, 1));
  other_.insert(c, width);
  return width;
}

int TextWidth::Pixels(std::string_view utf8) {
  int width = 0;
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto byte = static_cast<unsigned char>(utf8[pos]);
    if (byte < 0x80) {
      width += ascii_[byte];
      ++pos;
    } else {
      width += Advance(NextCodePoint(utf8, pos));
    }
  }
  return width;
}

}  // namespace velmora
