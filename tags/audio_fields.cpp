// The name fields from an audio file's tags, read through TagLib inside the
// media library.
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

#include "tags/media_library.h"
#include "tags/read_only_stream.h"

namespace velmora {
namespace {

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

void ReadAudioFields(AudioKind kind, const std::string& path, OpenFile& file, std::int64_t size,
                     FileFields& fields) {
  ReadOnlyStream stream(path, file, size);
  ReadAudioTags(kind, &stream, fields);
}

}  // namespace velmora
