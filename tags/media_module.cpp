// The entry of velmora-media.so: the table of its calls (media_library.h).
// Everything else in the library stays hidden, so that its calls bind to
// its own code.
#include "tags/media_library.h"
#include "tags/photo_date.h"

namespace velmora {
namespace {

const MediaCalls kCalls = [] {
  MediaCalls calls;
  calls.id3v2Read = [](Id3v2Tag& tag, std::optional<Id3v2Values>& values) {
    return tag.Read(values);
  };
  calls.id3v2Edit = [](Id3v2Tag& tag, const Id3v2Changes& changes, bool create,
                       std::optional<RegionEdit>& edit) { return tag.Edit(changes, create, edit); };
  calls.id3v2Drop = [](Id3v2Tag::State* state) { Id3v2Tag::DropState()(state); };
  calls.audioRead = [](AudioTag& tag, AudioTagValues& values) { return tag.Read(values); };
  calls.audioEdit = [](AudioTag& tag, const Id3v2Changes& changes, TagEdits& edits) {
    return tag.Edit(changes, edits);
  };
  calls.audioDrop = [](AudioTag::State* state) { AudioTag::DropState()(state); };
  calls.audioFields = &ReadAudioFields;
  calls.photoDate = &ReadPhotoDate;
  return calls;
}();

}  // namespace
}  // namespace velmora

extern "C" __attribute__((visibility("default"))) const velmora::MediaCalls* velmora_media_calls() {
  return &velmora::kCalls;
}
