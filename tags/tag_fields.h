// The fields "Name aus Tags" reads from a file: ID3v2, else ID3v1, in MP3;
// Vorbis comments in FLAC, Ogg Vorbis and Opus; MP4 atoms in M4A (all
// through TagLib, without audio properties); a photo's Exif date (see
// tags/photo_date.h); and for every file its modification time. A file is
// opened once through the file system, never through a link, and only when
// it is a regular file.
#pragma once

#include <string>

#include "engine/file_system.h"
#include "engine/name_fields.h"

namespace velmora {

class TagFieldSource : public FieldSource {
 public:
  explicit TagFieldSource(FileSystem& disk) : disk_(disk) {}

  // Every field the file has; none when it cannot be opened.
  FileFields Read(const std::string& path) override;

 private:
  FileSystem& disk_;
};

// The modification time (nanoseconds since the epoch) as the fields
// {Geändert} ("2024-05-01") and {GeändertZeit} ("12-30-05"), local time.
void SetModifiedFields(std::int64_t modified, FileFields& fields);

}  // namespace velmora
