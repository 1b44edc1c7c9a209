#include "tags/id3v2_tag.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <algorithm>

#include "engine/error_numbers.h"
#include "tags/genre.h"
#include "tags/overlay_stream.h"

namespace velmora {
namespace {

using TagLib::ByteVector;
using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

constexpr const char* kFrameIds[kId3Fields] = {"TIT2", "TPE1", "TALB", "COMM", "TDRC", "TCON"};

std::string Utf8(const String& text) { return text.to8Bit(true); }
String FromUtf8(const std::string& text) { return String(text, String::UTF8); }

// ID3 genre text as shown: a number or a standard name becomes the name of
// our table for that number; anything else stays as typed.
std::string GenreFromFrame(const std::string& text) {
  int number = -1;
  if (!text.empty() && text.size() <= 3 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    number = std::stoi(text);
  } else {
    number = TagLib::ID3v1::genreIndex(FromUtf8(text));
  }
  if (number >= 0 && number < kNamedGenreCount) return GenreNames()[number];
  if (number >= 0 && number < 255) {
    const std::string standard = Utf8(TagLib::ID3v1::genre(number));
    if (!standard.empty()) return standard;
  }
  return text;
}

std::string FirstText(const ID3v2::Tag& tag, const char* id) {
  const ID3v2::FrameList& frames = tag.frameList(id);
  return frames.isEmpty() ? std::string() : Utf8(frames.front()->toString());
}

// The comment is the comment frame without description; others (iTunes'
// iTunNORM and the like) are not ours.
ID3v2::CommentsFrame* PlainComment(const ID3v2::Tag& tag) {
  for (ID3v2::Frame* frame : tag.frameList("COMM")) {
    auto* comment = dynamic_cast<ID3v2::CommentsFrame*>(frame);
    if (comment != nullptr && comment->description().isEmpty()) return comment;
  }
  return nullptr;
}

String::Type TextEncoding(const std::string& value, int major) {
  if (major == 4) return String::UTF8;
  return FromUtf8(value).isLatin1() ? String::Latin1 : String::UTF16;
}

void SetTextFrame(ID3v2::Tag& tag, const char* id, const std::string& value, int major) {
  tag.removeFrames(id);
  if (value.empty()) return;
  auto* frame = new ID3v2::TextIdentificationFrame(id, TextEncoding(value, major));
  frame->setText(FromUtf8(value));
  tag.addFrame(frame);
}

void SetComment(ID3v2::Tag& tag, const std::string& value, int major) {
  ByteVector language("eng");
  while (ID3v2::CommentsFrame* old = PlainComment(tag)) {
    if (old->language().size() == 3) language = old->language();
    tag.removeFrame(old);
  }
  if (value.empty()) return;
  auto* frame = new ID3v2::CommentsFrame(TextEncoding(value, major));
  frame->setLanguage(language);
  frame->setText(FromUtf8(value));
  tag.addFrame(frame);
}

// Frame::header() is protected; a member pointer taken in a derived class
// reaches it without a cast.
struct FrameHeaderAccess : ID3v2::Frame {
  static ID3v2::Frame::Header* Of(ID3v2::Frame& frame) {
    return (frame.*(&FrameHeaderAccess::header))();
  }
};

// TagLib 1.13 discards these 2.3 frames on any write, as 2.4 has no place for
// them; as unknown frames they are carried over byte for byte.
void KeepObsoleteFrames(ID3v2::Tag& tag) {
  for (ID3v2::Frame* frame : tag.frameList()) {
    const ByteVector id = frame->frameID();
    if (id == "RVAD" || id == "EQUA" || id == "TRDA" || id == "TSIZ") {
      FrameHeaderAccess::Of(*frame)->setTagAlterPreservation(false);
    }
  }
}

}  // namespace

struct Id3v2Tag::State {
  FileStamp stamp;
  std::unique_ptr<OverlayStream> stream;
  std::unique_ptr<TagLib::MPEG::File> file;
};

void Id3v2Tag::DropState::operator()(State* state) const { delete state; }

Error Id3v2Tag::Open() {
  if (state_) return state_->stream->error();
  std::unique_ptr<State, DropState> state(new State);
  if (Error error = file_->Stamp(state->stamp)) return error;
  state->stream =
      std::make_unique<OverlayStream>(path_, *file_, writable_, state->stamp.identity.size);
  state->file = std::make_unique<TagLib::MPEG::File>(
      state->stream.get(), ID3v2::FrameFactory::instance(), /*readProperties=*/false);
  state_ = std::move(state);
  return state_->stream->error();
}

Error Id3v2Tag::Read(std::optional<Id3v2Values>& values) {
  values.reset();
  // Most files say at their first byte whether TagLib is needed at all.
  char marker[3] = {};
  if (file_->ReadAt(0, marker, sizeof marker) || std::string_view(marker, 3) != "ID3") {
    return {};
  }
  if (Error error = Open()) return error;
  if (!state_->file->hasID3v2Tag()) return {};
  const ID3v2::Tag& tag = *state_->file->ID3v2Tag();
  Id3v2Values read;
  read.version = "2." + std::to_string(tag.header()->majorVersion());
  for (int field : {kId3Title, kId3Artist, kId3Album, kId3Year}) {
    read.fields[field] = FirstText(tag, kFrameIds[field]);
  }
  if (const ID3v2::CommentsFrame* comment = PlainComment(tag)) {
    read.fields[kId3Comment] = Utf8(comment->text());
  }
  const ID3v2::FrameList& genres = tag.frameList("TCON");
  if (!genres.isEmpty()) {
    const auto* frame = dynamic_cast<const ID3v2::TextIdentificationFrame*>(genres.front());
    const TagLib::StringList list = frame ? frame->fieldList() : TagLib::StringList();
    read.fields[kId3Genre] = GenreFromFrame(list.isEmpty() ? std::string() : Utf8(list.front()));
  }
  read.track = FirstText(tag, "TRCK");
  values = std::move(read);
  return {};
}

Error Id3v2Tag::Edit(const Id3v2Changes& changes, bool create, std::optional<RegionEdit>& edit) {
  edit.reset();
  if (std::none_of(changes.begin(), changes.end(), [](const auto& c) { return c.has_value(); })) {
    return {};
  }
  if (Error error = Open()) return error;
  TagLib::MPEG::File& mpeg = *state_->file;
  const bool had = mpeg.hasID3v2Tag();
  if (!had && !create) return {};
  ID3v2::Tag& tag = *mpeg.ID3v2Tag(true);
  const int major = had && tag.header()->majorVersion() == 4 ? 4 : had ? 3 : 4;
  KeepObsoleteFrames(tag);
  for (int field : {kId3Title, kId3Artist, kId3Album, kId3Year}) {
    if (changes[field]) SetTextFrame(tag, kFrameIds[field], *changes[field], major);
  }
  if (changes[kId3Comment]) SetComment(tag, *changes[kId3Comment], major);
  if (const std::optional<std::string>& genre = changes[kId3Genre]) {
    const int number = TableGenreNumber(*genre);
    SetTextFrame(tag, "TCON", number >= 0 ? Utf8(TagLib::ID3v1::genre(number)) : *genre, major);
  }
  OverlayStream& stream = *state_->stream;
  const bool saved = mpeg.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                               major == 4 ? ID3v2::v4 : ID3v2::v3, TagLib::File::DoNotDuplicate);
  // The tag has changed: this state is done with.
  const std::unique_ptr<State, DropState> done = std::move(state_);
  if (stream.error()) return stream.error();
  if (!saved) return Error{kPathFileAccess, "the tag library could not save the ID3v2 tag"};
  return stream.overlay().Span(edit);
}

}  // namespace velmora
