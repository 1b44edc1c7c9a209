#include "services/qm_catalogue.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace velmora {
namespace {

constexpr unsigned char kMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                      0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};

// The blocks of the file and the fields of a message, as lrelease writes them.
enum Block : unsigned char { kContexts = 0x2f, kHashes = 0x42, kMessages = 0x69 };
enum Tag : unsigned char {
  kEnd = 1,
  kTranslation = 3,
  kObsolete1 = 5,
  kSourceText = 6,
  kContext = 7,
  kComment = 8
};

std::uint32_t Read32(std::string_view bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

std::uint32_t Read16(std::string_view bytes, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return std::uint32_t{p[0]} << 8 | p[1];
}

// The ELF hash lrelease files texts under; never 0.
std::uint32_t ElfHash(std::string_view text) {
  std::uint32_t h = 0;
  for (const char c : text) {
    h = (h << 4) + static_cast<unsigned char>(c);
    const std::uint32_t g = h & 0xf0000000U;
    if (g != 0) h ^= g >> 24;
    h &= ~g;
  }
  return h == 0 ? 1 : h;
}

// A stored text equals target; a stored closing NUL does not count.
bool Matches(std::string_view stored, std::string_view target) {
  if (!stored.empty() && stored.back() == '\0') stored.remove_suffix(1);
  return stored == target;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xc0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xe0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  } else {
    out += static_cast<char>(0xf0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3f));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3f));
    out += static_cast<char>(0x80 | (code & 0x3f));
  }
}

// Big-endian UTF-16 as UTF-8; a lone surrogate becomes U+FFFD, as in Qt.
std::string Utf8FromUtf16(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const std::uint32_t unit = Read16(bytes, i);
    if (unit >= 0xd800 && unit < 0xdc00 && i + 3 < bytes.size()) {
      const std::uint32_t low = Read16(bytes, i + 2);
      if (low >= 0xdc00 && low < 0xe000) {
        AppendUtf8(out, 0x10000 + ((unit - 0xd800) << 10) + (low - 0xdc00));
        i += 2;
        continue;
      }
    }
    AppendUtf8(out, unit >= 0xd800 && unit < 0xe000 ? 0xfffd : unit);
  }
  return out;
}

}  // namespace

bool QmCatalogue::Load(const std::string& path) {
  data_.clear();
  hashes_ = messages_ = contexts_ = {};
  std::ifstream in(path, std::ios::binary);
  std::string data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) return false;
  if (data.size() < sizeof kMagic || std::memcmp(data.data(), kMagic, sizeof kMagic) != 0) {
    return false;
  }
  data_ = std::move(data);
  const std::string_view all = data_;
  std::size_t at = sizeof kMagic;
  while (at + 5 <= all.size()) {
    const auto block = static_cast<unsigned char>(all[at]);
    const std::uint32_t length = Read32(all, at + 1);
    at += 5;
    if (block == 0 || length == 0) break;
    if (length > all.size() - at) {
      data_.clear();
      hashes_ = messages_ = contexts_ = {};
      return false;
    }
    const std::string_view contents = all.substr(at, length);
    if (block == kHashes) hashes_ = contents;
    if (block == kMessages) messages_ = contents;
    if (block == kContexts) contexts_ = contents;
    at += length;
  }
  return true;
}

// Whether the file's table of contexts names context (files without the
// table cover every context).
bool QmCatalogue::HasContext(std::string_view context) const {
  if (contexts_.size() < 2) return true;
  const std::uint32_t tableSize = Read16(contexts_, 0);
  if (tableSize == 0 || contexts_.size() < 2 + 2 * std::size_t{tableSize}) return false;
  const std::uint32_t slot = ElfHash(context) % tableSize;
  const std::uint32_t offset = Read16(contexts_, 2 + 2 * std::size_t{slot});
  if (offset == 0) return false;
  std::size_t at = 2 + 2 * std::size_t{tableSize} + 2 * std::size_t{offset};
  while (at < contexts_.size()) {
    const auto length = static_cast<unsigned char>(contexts_[at++]);
    if (length == 0 || length > contexts_.size() - at) return false;
    if (Matches(contexts_.substr(at, length), context)) return true;
    at += length;
  }
  return false;
}

// The message at offset when it is the one for context and text: found then
// tells so, and the result is its first translation.
std::string QmCatalogue::Message(std::size_t offset, std::string_view context,
                                 std::string_view text, bool& found) const {
  found = false;
  std::string_view translation;
  bool translated = false;
  std::size_t at = offset;
  while (at < messages_.size()) {
    const auto tag = static_cast<unsigned char>(messages_[at++]);
    if (tag == kEnd) {
      found = translated;
      return translated ? Utf8FromUtf16(translation) : std::string();
    }
    if (at + 4 > messages_.size()) return {};
    const std::uint32_t length = Read32(messages_, at);
    at += 4;
    if (tag == kObsolete1) continue;
    const bool known =
        tag == kTranslation || tag == kSourceText || tag == kContext || tag == kComment;
    if (!known || length > messages_.size() - at) return {};
    const std::string_view field = messages_.substr(at, length);
    at += length;
    if (tag == kTranslation) {
      if (length % 2 != 0) return {};
      if (!translated) translation = field;
      translated = true;
      continue;
    }
    // Each key the file keeps for the message must be the one asked for.
    const std::string_view wanted = tag == kSourceText ? text : tag == kContext ? context : "";
    if (!Matches(field, wanted)) return {};
  }
  return {};  // cut off before its end
}

std::string QmCatalogue::Find(std::string_view context, std::string_view text) const {
  // The texts arrive as C strings in Qt: they end at a NUL.
  context = context.substr(0, context.find('\0'));
  text = text.substr(0, text.find('\0'));
  if (hashes_.size() < 8 || !HasContext(context)) return {};
  const std::uint32_t hash = ElfHash(text);
  // The first entry of the hash in the table sorted by hash and offset.
  std::size_t low = 0;
  std::size_t high = hashes_.size() / 8;
  while (low < high) {
    const std::size_t middle = (low + high) / 2;
    if (Read32(hashes_, middle * 8) < hash) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  for (std::size_t i = low; i < hashes_.size() / 8 && Read32(hashes_, i * 8) == hash; ++i) {
    bool found = false;
    std::string translation = Message(Read32(hashes_, i * 8 + 4), context, text, found);
    if (found) return translation;
  }
  return {};
}

}  // namespace velmora
