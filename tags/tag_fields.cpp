#include "tags/tag_fields.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <string_view>

#include "tags/media_library.h"
#include "tags/photo_date.h"

namespace velmora {
namespace {

std::string LowerExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.rfind('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
    return static_cast<char>(c | (c >= 'A' && c <= 'Z' ? 0x20 : 0));
  });
  return ext;
}

AudioKind AudioKindOf(const std::string& ext) {
  if (ext == "mp3") return AudioKind::kMpeg;
  if (ext == "flac") return AudioKind::kFlac;
  if (ext == "ogg" || ext == "oga") return AudioKind::kVorbis;
  if (ext == "opus") return AudioKind::kOpus;
  if (ext == "m4a" || ext == "m4b" || ext == "mp4") return AudioKind::kMp4;
  return AudioKind::kNone;
}

}  // namespace

bool IsPhotoExtension(const std::string& ext) {
  static const std::array<const char*, 20> kPhotos = {
      "jpg", "jpeg", "jpe", "tif", "tiff", "png", "heic", "heif", "avif", "webp",
      "dng", "cr2",  "cr3", "nef", "nrw",  "arw", "orf",  "rw2",  "pef",  "raf"};
  for (const char* photo : kPhotos) {
    if (ext == photo) return true;
  }
  return false;
}

void SetModifiedFields(std::int64_t modified, FileFields& fields) {
  // Floored, so a time just before 1970 falls in 1969.
  const std::time_t seconds =
      static_cast<std::time_t>(modified / 1000000000 - (modified % 1000000000 < 0 ? 1 : 0));
  std::tm local{};
  if (localtime_r(&seconds, &local) == nullptr) return;
  char date[16];
  char time[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &local);
  std::strftime(time, sizeof time, "%H-%M-%S", &local);
  fields[NameField::kModified] = date;
  fields[NameField::kModifiedTime] = time;
}

FileFields TagFieldSource::Read(const std::string& path) {
  FileFields fields;
  Error error;
  // No link is followed and only a regular file is opened, without waiting
  // on a FIFO.
  const std::unique_ptr<OpenFile> file = disk_.Open(path, OpenMode::kReadNoFollow, error);
  if (!file) return fields;
  FileStamp stamp;
  if (file->Stamp(stamp)) return fields;
  SetModifiedFields(stamp.identity.modified, fields);
  const std::string ext = LowerExtension(path);
  const AudioKind kind = AudioKindOf(ext);
  if (kind != AudioKind::kNone) {
    ReadAudioFields(kind, path, *file, stamp.identity.size, fields);
  } else if (IsPhotoExtension(ext)) {
    ReadPhotoDate(path, *file, stamp.identity.size, fields);
  }
  (void)file->Close();  // read only: nothing to lose
  return fields;
}

}  // namespace velmora
