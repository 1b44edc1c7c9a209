// TagLib and Exiv2 live in a library of their own, velmora-media.so beside
// the programs (../lib/velmora/media/ from their folder), loaded the first time a
// tag of TagLib's or a photo's date is needed: a start that needs neither
// (an ID3v1 tag run, a plain rename, --version) does not map and relocate
// them. The classes and functions of id3v2_tag.h, audio_tag.h and
// photo_date.h are declared as always; the library holds their code, and
// media_library.cpp hands each call over to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "engine/name_fields.h"
#include "tags/audio_tag.h"
#include "tags/id3v2_tag.h"

namespace velmora {

// The audio files whose tags name fields can come from, by extension.
enum class AudioKind { kNone, kMpeg, kFlac, kVorbis, kOpus, kMp4 };

// Sets the name fields from the tags of the open audio file of size bytes;
// only tags, never the audio properties. A damaged file sets nothing.
void ReadAudioFields(AudioKind kind, const std::string& path, OpenFile& file, std::int64_t size,
                     FileFields& fields);

// What the library offers, as one table of calls. size and version tell a
// library of another build apart.
struct MediaCalls {
  std::size_t size = sizeof(MediaCalls);
  int version = 1;
  Error (*id3v2Read)(Id3v2Tag& tag, std::optional<Id3v2Values>& values) = nullptr;
  Error (*id3v2Edit)(Id3v2Tag& tag, const Id3v2Changes& changes, bool create,
                     std::optional<RegionEdit>& edit) = nullptr;
  void (*id3v2Drop)(Id3v2Tag::State* state) = nullptr;
  Error (*audioRead)(AudioTag& tag, AudioTagValues& values) = nullptr;
  Error (*audioEdit)(AudioTag& tag, const Id3v2Changes& changes, TagEdits& edits) = nullptr;
  void (*audioDrop)(AudioTag::State* state) = nullptr;
  void (*audioFields)(AudioKind kind, const std::string& path, OpenFile& file, std::int64_t size,
                      FileFields& fields) = nullptr;
  void (*photoDate)(const std::string& path, OpenFile& file, std::int64_t size,
                    FileFields& fields) = nullptr;
};

// The C name under which the library gives out its table.
inline constexpr const char* kMediaCallsName = "velmora_media_calls";

// The library's table, loaded once; null when it cannot be loaded (error
// then says why).
const MediaCalls* LoadMediaLibrary(Error& error);

}  // namespace velmora
