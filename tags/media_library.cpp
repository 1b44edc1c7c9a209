// The program's side of the media library: it is loaded on the first call
// that needs it, and each call goes over to the library's own code.
#include "tags/media_library.h"

#include <dlfcn.h>

#include <string_view>

#include "engine/beside_program.h"
#include "engine/error_numbers.h"
#include "tags/photo_date.h"

namespace velmora {
namespace {

struct Loaded {
  const MediaCalls* calls = nullptr;
  std::string why;
};

Loaded Load() {
  Loaded loaded;
  const std::string path = BesideProgram(VELMORA_MEDIA_LIBRARY);
  void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = ::dlerror();
    loaded.why = why != nullptr ? why : path;
    return loaded;
  }
  using Entry = const MediaCalls* (*)();
  const auto entry = reinterpret_cast<Entry>(::dlsym(handle, kMediaCallsName));
  const MediaCalls* calls = entry != nullptr ? entry() : nullptr;
  const MediaCalls expected;
  if (calls == nullptr || calls->size != expected.size || calls->version != expected.version) {
    loaded.why = path + ": a library of another build";
    return loaded;
  }
  loaded.calls = calls;
  return loaded;
}

Error Unavailable(const std::string& why) {
  return {kFileNotFound, "the tag and photo library could not be loaded: " + why};
}

const MediaCalls* Calls() {
  Error ignored;
  return LoadMediaLibrary(ignored);
}

}  // namespace

const MediaCalls* LoadMediaLibrary(Error& error) {
  static const Loaded loaded = Load();  // once, whichever thread asks first
  if (loaded.calls == nullptr) error = Unavailable(loaded.why);
  return loaded.calls;
}

Id3v2Tag::Id3v2Tag(std::string path, OpenFile& file, bool writable)
    : path_(std::move(path)), file_(&file), writable_(writable) {}

Id3v2Tag::~Id3v2Tag() = default;

// A state exists only where the library made it.
void Id3v2Tag::DropState::operator()(State* state) const { Calls()->id3v2Drop(state); }

Error Id3v2Tag::Read(std::optional<Id3v2Values>& values) {
  values.reset();
  // Most files say at their first byte whether TagLib is needed at all.
  char marker[3] = {};
  if (file_->ReadAt(0, marker, sizeof marker) || std::string_view(marker, 3) != "ID3") {
    return {};
  }
  Error error;
  const MediaCalls* calls = LoadMediaLibrary(error);
  return calls != nullptr ? calls->id3v2Read(*this, values) : error;
}

Error Id3v2Tag::Edit(const Id3v2Changes& changes, bool create, std::optional<RegionEdit>& edit) {
  edit.reset();
  Error error;
  const MediaCalls* calls = LoadMediaLibrary(error);
  return calls != nullptr ? calls->id3v2Edit(*this, changes, create, edit) : error;
}

AudioTag::AudioTag(std::string path, OpenFile& file, AudioFormat named, bool writable)
    : path_(std::move(path)), file_(&file), named_(named), writable_(writable) {}

AudioTag::~AudioTag() = default;

void AudioTag::DropState::operator()(State* state) const { Calls()->audioDrop(state); }

Error AudioTag::Read(AudioTagValues& values) {
  values = {};
  Error error;
  const MediaCalls* calls = LoadMediaLibrary(error);
  return calls != nullptr ? calls->audioRead(*this, values) : error;
}

Error AudioTag::Edit(const Id3v2Changes& changes, TagEdits& edits) {
  edits = {};
  Error error;
  const MediaCalls* calls = LoadMediaLibrary(error);
  return calls != nullptr ? calls->audioEdit(*this, changes, edits) : error;
}

// Without the library the fields stay absent, as for a file it cannot read.
void ReadAudioFields(AudioKind kind, const std::string& path, OpenFile& file, std::int64_t size,
                     FileFields& fields) {
  if (const MediaCalls* calls = Calls()) calls->audioFields(kind, path, file, size, fields);
}

void ReadPhotoDate(const std::string& path, OpenFile& file, std::int64_t size, FileFields& fields) {
  if (const MediaCalls* calls = Calls()) calls->photoDate(path, file, size, fields);
}

}  // namespace velmora
