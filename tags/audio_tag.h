// The own tag of a FLAC, Ogg Vorbis or Opus file (its Vorbis comment) or of
// an M4A file (its MP4 items), read and written through TagLib over a file
// opened through the file system. Only the six fields of the tag editor are
// ever set, in full Unicode and full length; everything else stays as
// stored. TagLib's save is planned in memory (a ByteOverlay): its changes
// come back as the write's edits, and the file is never touched here. A
// write that would change the audio data is refused.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "tags/audio_format.h"
#include "tags/id3v2_tag.h"
#include "tags/region_replace.h"

namespace velmora {

// A tag as read: the file's format as its bytes show it, and the fields in
// Id3v2Field order.
struct AudioTagValues {
  AudioFormat format = AudioFormat::kFlac;
  std::array<std::string, kId3Fields> fields;
};

class AudioTag {
 public:
  // The file at path, open as file (read-write when writable); file stays
  // the caller's. named is the format its name announces.
  AudioTag(std::string path, OpenFile& file, AudioFormat named, bool writable);
  ~AudioTag();
  AudioTag(const AudioTag&) = delete;
  AudioTag& operator=(const AudioTag&) = delete;
  // TagLib's side, known only to the media library (tags/media_library.h).
  struct State;
  struct DropState {
    void operator()(State* state) const;
  };

  // The tag's values; a file without a tag gives empty fields. A file that
  // is none of the four formats, or whose structure TagLib or the audio
  // check finds damaged, is kInvalidFileFormat.
  Error Read(AudioTagValues& values);

  // Sets changes (an empty text removes the field) and gives the edits of
  // the file that save them: oldSize, newSize and the edits; nothing when
  // nothing changes. Refused, with the file untouched, when the tag library
  // fails or its save would change the audio.
  Error Edit(const Id3v2Changes& changes, TagEdits& edits);

 private:
  Error Open();

  std::string path_;
  OpenFile* file_;
  AudioFormat named_;
  bool writable_;
  std::unique_ptr<State, DropState> state_;
};

}  // namespace velmora
