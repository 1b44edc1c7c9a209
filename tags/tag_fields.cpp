#include "tags/tag_fields.h"

#include <taglib/flacfile.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <ctime>
#include <string_view>

#include "tags/photo_date.h"
#include "tags/read_only_stream.h"

namespace velmora {
namespace {

enum class AudioKind { kNone, kMpeg, kFlac, kVorbis, kOpus, kMp4 };

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

void SetText(FileFields& fields, NameField field, const TagLib::String& text) {
  if (!text.isEmpty()) fields[field] = text.to8Bit(true);
}

void SetNumber(FileFields& fields, NameField field, unsigned int number) {
  if (number > 0) fields[field] = std::to_string(number);
}

void TakeTag(const TagLib::Tag* tag, FileFields& fields) {
  if (tag == nullptr) return;
  SetText(fields, NameField::kArtist, tag->artist());
  SetText(fields, NameField::kTitle, tag->title());
  SetText(fields, NameField::kAlbum, tag->album());
  SetNumber(fields, NameField::kYear, tag->year());
  SetNumber(fields, NameField::kTrack, tag->track());
  SetText(fields, NameField::kGenre, tag->genre());
  SetText(fields, NameField::kComment, tag->comment());
}

// Tags only: the audio properties are never read.
void ReadAudioTags(AudioKind kind, TagLib::IOStream* stream, FileFields& fields) {
  auto* frames = TagLib::ID3v2::FrameFactory::instance();
  switch (kind) {
    case AudioKind::kMpeg: {
      TagLib::MPEG::File file(stream, frames, false);
      if (!file.isValid()) return;
      const bool v2 = file.hasID3v2Tag() && !file.ID3v2Tag()->isEmpty();
      if (v2) return TakeTag(file.ID3v2Tag(), fields);
      if (file.hasID3v1Tag()) TakeTag(file.ID3v1Tag(), fields);
      return;
    }
    case AudioKind::kFlac: {
      TagLib::FLAC::File file(stream, frames, false);
      if (file.isValid() && file.hasXiphComment()) TakeTag(file.xiphComment(), fields);
      return;
    }
    case AudioKind::kVorbis: {
      TagLib::Ogg::Vorbis::File file(stream, false);
      if (file.isValid()) TakeTag(file.tag(), fields);
      return;
    }
    case AudioKind::kOpus: {
      TagLib::Ogg::Opus::File file(stream, false);
      if (file.isValid()) TakeTag(file.tag(), fields);
      return;
    }
    case AudioKind::kMp4: {
      TagLib::MP4::File file(stream, false);
      if (file.isValid()) TakeTag(file.tag(), fields);
      return;
    }
    case AudioKind::kNone:
      return;
  }
}

}  // namespace

void SetModifiedFields(std::int64_t modified, FileFields& fields) {
  const std::time_t seconds = static_cast<std::time_t>(modified / 1000000000);
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
    ReadOnlyStream stream(path, *file, stamp.identity.size);
    ReadAudioTags(kind, &stream, fields);
  } else if (IsPhotoExtension(ext)) {
    ReadPhotoDate(path, *file, stamp.identity.size, fields);
  }
  (void)file->Close();  // read only: nothing to lose
  return fields;
}

}  // namespace velmora
