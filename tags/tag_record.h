// The ID3 version 1 tag: a record of 128 bytes at the very end of an MP3 file.
// Reading and writing it, and turning its fixed-width fields into text and
// back. Failures are reported here (Location::kReadTag and Location::kWriteTag) and also returned.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"

namespace velmora {

inline constexpr std::size_t kTagSize = 128;
using TagBytes = std::array<char, kTagSize>;

// The record in file order. All bytes zero is the empty record, which stands
// for a file without tag.
struct TagRecord {
  std::array<char, 3> tag{};  // "TAG"
  std::array<char, 30> title{};
  std::array<char, 30> artist{};
  std::array<char, 30> album{};
  std::array<char, 4> year{};
  std::array<char, 30> comment{};
  unsigned char genre = 0;  // index into GenreNames()

  bool operator==(const TagRecord&) const = default;
};

// The record's 128 bytes in file order.
TagBytes ToBytes(const TagRecord& record);

// The record held by 128 bytes, whatever their marker.
TagRecord FromBytes(const TagBytes& bytes);

// True when the bytes begin with "TAG" (exact, upper case).
bool HasTagMarker(std::span<const char> bytes);

// A field's text: its characters up to, not including, the first NUL, as
// UTF-8. Trailing blanks remain.
std::string FieldText(std::span<const char> field);
// The same into text, whose room is kept.
void AssignFieldText(std::string& text, std::span<const char> field);

// Stores text into a field: Windows-1252, cut to the field's length in
// characters, padded on the right with blanks.
void SetFieldText(std::span<char> field, const std::string& text);

// An ID3v1.1 record (comment byte 29 zero, byte 30 the track number) keeps
// its track number in record when the new comment fits in 28 characters.
void KeepTrackNumber(const TagRecord& stored, const std::string& comment, TagRecord& record);

// The tag of the file at path, or the empty record when its last 128 bytes do
// not begin with "TAG". A failure (missing, unreadable, shorter than 128
// bytes) is reported at Location::kReadTag and gives the empty record.
TagRecord ReadTag(FileSystem& disk, const std::string& path, ErrorReporter& reporter);

// Writes record as the tag of the file at path: over the old tag when there
// is one, else, for a file named *.mp3, appended after the last byte (the file
// grows by 128 bytes; the audio is never overwritten). Never truncates or
// creates a file. A failure is reported at Location::kWriteTag and returned; the file
// then keeps its length and its audio bytes. Refused: a record whose marker
// is not "TAG" (kInvalidArgument), an untagged file that is not named *.mp3
// (kInvalidFileFormat).
Error WriteTag(FileSystem& disk, const std::string& path, const TagRecord& record,
               ErrorReporter& reporter);

}  // namespace velmora
