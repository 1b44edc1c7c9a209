#include "tags/audio_tag.h"

#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/opusfile.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>

#include "engine/error_numbers.h"
#include "tags/audio_data.h"
#include "tags/overlay_stream.h"

namespace velmora {
namespace {

using TagLib::String;

// Field names in Id3v2Field order.
constexpr const char* kXiphKeys[kId3Fields] = {"TITLE",   "ARTIST", "ALBUM",
                                               "COMMENT", "DATE",   "GENRE"};
constexpr const char* kMp4Keys[kId3Fields] = {"\251nam", "\251ART", "\251alb",
                                              "\251cmt", "\251day", "\251gen"};

std::string Utf8(const String& text) { return text.to8Bit(true); }
String FromUtf8(const std::string& text) { return String(text, String::UTF8); }

Error Refused(const std::string& why) { return {kInvalidFileFormat, why + ": left unchanged"}; }

// The format the first bytes show; nullopt for none of ours.
std::optional<AudioFormat> Sniff(OpenFile& file, long long size, AudioFormat named) {
  std::string head(static_cast<std::size_t>(std::min(size, 300LL)), '\0');
  if (head.empty() || file.ReadAt(0, head.data(), head.size())) return std::nullopt;
  if (head.starts_with("fLaC") || (head.starts_with("ID3") && named == AudioFormat::kFlac)) {
    return AudioFormat::kFlac;
  }
  if (head.size() >= 8 && head.compare(4, 4, "ftyp") == 0) return AudioFormat::kM4a;
  if (head.starts_with("OggS") && head.size() > 27) {
    const std::size_t packet = 27 + static_cast<unsigned char>(head[26]);
    if (head.compare(packet, 7, "\x01vorbis") == 0) return AudioFormat::kOggVorbis;
    if (head.compare(packet, 8, "OpusHead") == 0) return AudioFormat::kOpus;
  }
  return std::nullopt;
}

}  // namespace

struct AudioTag::State {
  AudioFormat format = AudioFormat::kFlac;
  long long offset = 0, tail = 0;  // the file's bytes TagLib does not see
  std::uint64_t audio = 0;         // AudioChecksum of what TagLib sees, as it is
  std::unique_ptr<OverlayStream> stream;
  std::unique_ptr<TagLib::File> file;
  TagLib::Ogg::XiphComment* xiph = nullptr;
  TagLib::MP4::Tag* mp4 = nullptr;
};

namespace {

void OpenTagLibFile(AudioTag::State& state) {
  TagLib::IOStream* stream = state.stream.get();
  switch (state.format) {
    case AudioFormat::kFlac: {
      auto flac = std::make_unique<TagLib::FLAC::File>(
          stream, TagLib::ID3v2::FrameFactory::instance(), /*readProperties=*/false);
      state.xiph = flac->xiphComment(/*create=*/true);
      state.file = std::move(flac);
      break;
    }
    case AudioFormat::kOggVorbis: {
      auto vorbis = std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
      state.xiph = vorbis->tag();
      state.file = std::move(vorbis);
      break;
    }
    case AudioFormat::kOpus: {
      auto opus = std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
      state.xiph = opus->tag();
      state.file = std::move(opus);
      break;
    }
    case AudioFormat::kM4a:
    case AudioFormat::kMp3: {
      auto mp4 = std::make_unique<TagLib::MP4::File>(stream, false);
      state.mp4 = mp4->tag();
      state.file = std::move(mp4);
      break;
    }
  }
}

}  // namespace

void AudioTag::DropState::operator()(State* state) const { delete state; }

// A FLAC file's ID3 tags are kept out of TagLib's sight, so that its save
// cannot render them anew.
Error AudioTag::Open() {
  if (state_) return {};
  FileStamp stamp;
  if (Error error = file_->Stamp(stamp)) return error;
  const long long size = stamp.identity.size;
  const std::optional<AudioFormat> format = Sniff(*file_, size, named_);
  if (!format) return Refused("not a FLAC, Ogg Vorbis, Opus or M4A file");
  std::unique_ptr<State, DropState> state(new State);
  state->format = *format;
  OpenFile& file = *file_;
  long long start = 0, length = size;
  if (*format == AudioFormat::kFlac) {
    FlacStream(
        [&file](long long at, char* data, std::size_t n) { return file.ReadAt(at, data, n); }, size,
        start, length);
  }
  const ReadBytes read = [&file, start](long long at, char* data, std::size_t n) {
    return file.ReadAt(start + at, data, n);
  };
  if (Error error = AudioChecksum(*format, read, length, state->audio)) {
    return Refused(error.description);
  }
  state->offset = start;
  state->tail = size - start - length;
  state->stream = std::make_unique<OverlayStream>(path_, *file_, writable_, length, start);
  OpenTagLibFile(*state);
  if (state->stream->error()) return state->stream->error();
  if (!state->file->isValid() || (state->xiph == nullptr && state->mp4 == nullptr)) {
    return Refused(std::string("the tag library finds this ") + AudioFormatName(*format) +
                   " file damaged");
  }
  state_ = std::move(state);
  return {};
}

Error AudioTag::Read(AudioTagValues& values) {
  values = {};
  if (Error error = Open()) return error;
  values.format = state_->format;
  for (int i = 0; i < kId3Fields; ++i) {
    TagLib::StringList list;
    if (state_->xiph != nullptr) {
      list = state_->xiph->fieldListMap()[kXiphKeys[i]];
      if (list.isEmpty() && i == kId3Comment) list = state_->xiph->fieldListMap()["DESCRIPTION"];
    } else if (state_->mp4->contains(kMp4Keys[i])) {
      list = state_->mp4->item(kMp4Keys[i]).toStringList();
    }
    if (!list.isEmpty()) values.fields[i] = Utf8(list.front());
  }
  return {};
}

Error AudioTag::Edit(const Id3v2Changes& changes, TagEdits& edits) {
  edits = {};
  if (Error error = Open()) return error;
  State& state = *state_;
  for (int i = 0; i < kId3Fields; ++i) {
    if (!changes[i]) continue;
    const std::string& value = *changes[i];
    if (state.xiph != nullptr) {
      if (value.empty()) {
        state.xiph->removeFields(kXiphKeys[i]);
      } else {
        state.xiph->addField(kXiphKeys[i], FromUtf8(value), /*replace=*/true);
      }
    } else {
      // A numbered genre would stand beside the named one.
      if (i == kId3Genre) state.mp4->removeItem("gnre");
      if (value.empty()) {
        state.mp4->removeItem(kMp4Keys[i]);
      } else {
        state.mp4->setItem(kMp4Keys[i], TagLib::StringList(FromUtf8(value)));
      }
    }
  }
  const bool saved = state.file->save();
  // The tag has changed: this state is done with.
  const std::unique_ptr<State, DropState> done = std::move(state_);
  const OverlayStream& stream = *done->stream;
  if (stream.error()) return stream.error();
  if (!saved) return Refused("the tag library could not save the tag");
  const ByteOverlay& overlay = stream.overlay();
  std::uint64_t audio = 0;
  const ReadBytes read = [&overlay](long long at, char* data, std::size_t n) {
    return overlay.Read(at, data, n);
  };
  if (AudioChecksum(done->format, read, overlay.size(), audio) || audio != done->audio) {
    return Refused("the tag library's write would change the audio data");
  }
  if (Error error = overlay.Edits(edits)) return error;
  for (TagEdit& edit : edits.edits) edit.offset += done->offset;
  edits.oldSize += done->offset + done->tail;
  edits.newSize += done->offset + done->tail;
  return {};
}

}  // namespace velmora
