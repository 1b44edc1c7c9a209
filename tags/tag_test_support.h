// Helpers shared by the tag tests: audio bytes, records, ID3v2 tags and a
// reporter that records every failure; the scratch folder comes from the
// common test support.
#pragma once

#include <string>
#include <vector>

#include "engine/error_reporter.h"
#include "tags/tag_record.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {

// Audio stand-in: n bytes that never begin with "TAG".
inline std::string Audio(std::size_t n) {
  std::string bytes(n, '\0');
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<char>(0x80 + i % 97);
  return bytes;
}

// A stored ID3v1 record and its 128 bytes.
inline TagRecord Record(const std::string& title, const std::string& artist = "",
                        unsigned char genre = 0, const std::string& comment = "") {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, title);
  if (!artist.empty()) SetFieldText(record.artist, artist);
  if (!comment.empty()) SetFieldText(record.comment, comment);
  record.genre = genre;
  return record;
}
inline std::string Bytes(const TagRecord& record) {
  const TagBytes bytes = ToBytes(record);
  return {bytes.begin(), bytes.end()};
}

// A field's text as stored: padded with blanks to width.
inline std::string Padded(const std::string& text, std::size_t width = 30) {
  return text + std::string(width - text.size(), ' ');
}

// A size in four bytes of seven bits each.
inline std::string SyncSafe(std::size_t n) {
  return {char(n >> 21 & 0x7f), char(n >> 14 & 0x7f), char(n >> 7 & 0x7f), char(n & 0x7f)};
}

// One ID3v2 frame of major version 2, 3 or 4.
inline std::string Id3v2Frame(int major, const std::string& id, const std::string& body) {
  const std::size_t n = body.size();
  if (major == 2) return id + char(n >> 16) + char(n >> 8) + char(n) + body;
  const std::string size =
      major == 3 ? std::string{char(n >> 24), char(n >> 16), char(n >> 8), char(n)} : SyncSafe(n);
  return id + size + std::string(2, '\0') + body;
}

// A text frame's body: Latin-1 text.
inline std::string Latin1Body(const std::string& text) { return '\0' + text; }

// A whole ID3v2 tag holding frames, followed by padding zero bytes.
inline std::string Id3v2Bytes(int major, const std::string& frames, std::size_t padding) {
  return "ID3" + std::string{char(major), '\0', '\0'} + SyncSafe(frames.size() + padding) + frames +
         std::string(padding, '\0');
}

struct ReportedError {
  int location, number;
  std::string context, file, description;
  // "location number context|file"
  [[nodiscard]] std::string Where() const {
    return std::to_string(location) + " " + std::to_string(number) + " " + context + "|" + file;
  }
};

struct RecordingReporter : ErrorReporter {
  void ReportError(Location location, int number, const std::string& context,
                   const std::string& file, const std::string& description) override {
    reports.push_back({LocationNumber(location), number, context, file, description});
  }
  std::vector<ReportedError> reports;
};

}  // namespace velmora::testing
