#include "tags/tag_record.h"

#include <algorithm>

#include "tags/windows1252.h"

namespace velmora {

TagBytes ToBytes(const TagRecord& record) {
  TagBytes bytes{};
  auto out = bytes.begin();
  for (const std::span<const char> field :
       {std::span<const char>(record.tag), std::span<const char>(record.title),
        std::span<const char>(record.artist), std::span<const char>(record.album),
        std::span<const char>(record.year), std::span<const char>(record.comment)}) {
    out = std::copy(field.begin(), field.end(), out);
  }
  *out = static_cast<char>(record.genre);
  return bytes;
}

TagRecord FromBytes(const TagBytes& bytes) {
  TagRecord record;
  auto in = bytes.begin();
  for (const std::span<char> field :
       {std::span<char>(record.tag), std::span<char>(record.title), std::span<char>(record.artist),
        std::span<char>(record.album), std::span<char>(record.year),
        std::span<char>(record.comment)}) {
    std::copy(in, in + static_cast<std::ptrdiff_t>(field.size()), field.begin());
    in += static_cast<std::ptrdiff_t>(field.size());
  }
  record.genre = static_cast<unsigned char>(*in);
  return record;
}

bool HasTagMarker(std::span<const char> bytes) {
  return bytes.size() >= 3 && bytes[0] == 'T' && bytes[1] == 'A' && bytes[2] == 'G';
}

std::string FieldText(std::span<const char> field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  const auto length = static_cast<std::size_t>(end - field.begin());
  return Windows1252ToUtf8(std::string_view(field.data(), length));
}

void AssignFieldText(std::string& text, std::span<const char> field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  const std::span<const char> bytes = field.first(static_cast<std::size_t>(end - field.begin()));
  // Plain ASCII is the same in both encodings: no converted copy.
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
    text.assign(bytes.data(), bytes.size());
  } else {
    text = Windows1252ToUtf8(std::string_view(bytes.data(), bytes.size()));
  }
}

void SetFieldText(std::span<char> field, const std::string& text) {
  // Plain ASCII is the same in both encodings: no converted copy.
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
  const std::string converted = ascii ? std::string() : Utf8ToWindows1252(text);
  const std::string& bytes = ascii ? text : converted;
  // One byte per character, so cutting the bytes cuts characters.
  const std::size_t length = std::min(bytes.size(), field.size());
  std::copy_n(bytes.begin(), length, field.begin());
  std::fill(field.begin() + static_cast<std::ptrdiff_t>(length), field.end(), ' ');
}

void KeepTrackNumber(const TagRecord& stored, const std::string& comment, TagRecord& record) {
  const bool track =
      HasTagMarker(stored.tag) && stored.comment[28] == '\0' && stored.comment[29] != '\0';
  if (!track) return;
  const bool ascii =
      std::all_of(comment.begin(), comment.end(), [](char c) { return (c & 0x80) == 0; });
  if ((ascii ? comment.size() : Utf8ToWindows1252(comment).size()) > 28) return;
  record.comment[28] = '\0';
  record.comment[29] = stored.comment[29];
}

}  // namespace velmora
