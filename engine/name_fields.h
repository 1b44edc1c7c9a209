// What a file offers to the operation "Name aus Tags": its tags (artist,
// title, ... read from ID3, Vorbis comments or MP4 atoms), a photo's
// original date and time from Exif, and the file's own modification time.
// The engine only keeps and reads them; tags/ reads them from the disk,
// once per search, through the FieldSource below.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

struct FoundEntry;
struct RenameJob;

enum class NameField : int {
  kArtist,
  kTitle,
  kAlbum,
  kYear,
  kTrack,
  kGenre,
  kComment,
  kDate,          // the picture's original date, "2024-05-01"
  kTime,          // its time, "12-30-05"
  kModified,      // the file's modification date in local time
  kModifiedTime,  // and its time
};
inline constexpr int kNameFieldCount = 11;

// One file's fields; nullopt (or an empty text) where the file lacks one.
struct FileFields {
  std::array<std::optional<std::string>, kNameFieldCount> values;

  std::optional<std::string>& operator[](NameField field) {
    return values[static_cast<std::size_t>(field)];
  }
  const std::optional<std::string>& operator[](NameField field) const {
    return values[static_cast<std::size_t>(field)];
  }
};

// Reads the fields of the file at path, never following a link and never
// waiting on anything but a regular file; what cannot be read is absent.
class FieldSource {
 public:
  virtual ~FieldSource() = default;
  virtual FileFields Read(const std::string& path) = 0;
};

// The code of the operation "Name aus Tags".
inline constexpr int kFromTagsCode = 18;

// True when an active slot of job names a file from its fields.
bool UsesFields(const RenameJob& job);

// Gives each marked entry without fields the ones source reads; entries that
// have them keep them. Returns how many were read.
int ReadMissingFields(std::vector<FoundEntry>& entries, FieldSource& source);

}  // namespace velmora
