#include "tags/id3v2_tag.h"

#include <taglib/commentsframe.h>
#include <taglib/id3v1genres.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tiostream.h>

#include <algorithm>

#include "engine/error_numbers.h"
#include "tags/genre.h"

namespace velmora {
namespace {

using TagLib::ByteVector;
using TagLib::String;
namespace ID3v2 = TagLib::ID3v2;

constexpr const char* kFrameIds[kId3Fields] = {"TIT2", "TPE1", "TALB", "COMM", "TDRC", "TCON"};

std::string Utf8(const String& text) { return text.to8Bit(true); }
String FromUtf8(const std::string& text) { return String(text, String::UTF8); }

// TagLib's view of the file: reads come from the open file; writes are only
// recorded, as one region edit, for ReplaceRegion.
class FileStream : public TagLib::IOStream {
 public:
  FileStream(const std::string& path, OpenFile& file, bool writable, long long size)
      : path_(path), file_(file), writable_(writable), size_(size) {}

  [[nodiscard]] TagLib::FileName name() const override { return path_.c_str(); }
  ByteVector readBlock(unsigned long length) override {
    const long long available = std::max(0LL, std::min<long long>(length, size_ - position_));
    ByteVector data(static_cast<unsigned int>(available), '\0');
    if (available > 0) {
      if (Error e = file_.ReadAt(position_, data.data(), data.size())) {
        if (!error) error = e;
        return ByteVector();
      }
    }
    position_ += available;
    return data;
  }
  void writeBlock(const ByteVector& data) override {
    const long long replace = std::min<long long>(data.size(), size_ - position_);
    Record(position_, std::max(0LL, replace), data);
    position_ += data.size();
  }
  void insert(const ByteVector& data, unsigned long start, unsigned long replace) override {
    Record(static_cast<long long>(start), static_cast<long long>(replace), data);
  }
  void removeBlock(unsigned long start, unsigned long length) override {
    Record(static_cast<long long>(start), static_cast<long long>(length), ByteVector());
  }
  [[nodiscard]] bool readOnly() const override { return !writable_; }
  [[nodiscard]] bool isOpen() const override { return true; }
  void seek(long offset, Position p) override {
    const long long base = p == Beginning ? 0 : p == Current ? position_ : size_;
    position_ = std::max(0LL, base + offset);
  }
  [[nodiscard]] long tell() const override { return static_cast<long>(position_); }
  long length() override { return static_cast<long>(size_); }
  void truncate(long) override { Refuse(); }

  std::optional<RegionEdit> edit;
  Error error;

 private:
  // One edit is all a tag save makes; anything more is refused rather than
  // guessed at.
  void Record(long long start, long long replace, const ByteVector& data) {
    if (edit) return Refuse();
    edit = RegionEdit{start, replace, std::string(data.data(), data.size())};
  }
  void Refuse() {
    if (!error) error = Error{kInternalError, "unexpected change of the file by the tag library"};
  }

  std::string path_;
  OpenFile& file_;
  bool writable_;
  long long size_;
  long long position_ = 0;
};

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

const char* Id3v2ModeName(Id3v2Mode mode) {
  switch (mode) {
    case Id3v2Mode::kAlways:
      return "always";
    case Id3v2Mode::kNever:
      return "never";
    case Id3v2Mode::kAuto:
      break;
  }
  return "auto";
}

std::optional<Id3v2Mode> ParseId3v2Mode(std::string_view name) {
  for (Id3v2Mode mode : {Id3v2Mode::kAuto, Id3v2Mode::kAlways, Id3v2Mode::kNever}) {
    if (name == Id3v2ModeName(mode)) return mode;
  }
  return std::nullopt;
}

bool IsId3v2Year(const std::string& year) {
  return !year.empty() && year.size() <= 4 &&
         std::all_of(year.begin(), year.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int TableGenreNumber(const std::string& name) {
  for (int i = 0; i < kNamedGenreCount; ++i) {
    if (GenreNames()[i] == name) return i;
  }
  return -1;
}

struct Id3v2Tag::State {
  FileStamp stamp;
  std::unique_ptr<FileStream> stream;
  std::unique_ptr<TagLib::MPEG::File> file;
};

Id3v2Tag::Id3v2Tag(std::string path, OpenFile& file, bool writable)
    : path_(std::move(path)), file_(&file), writable_(writable) {}

Id3v2Tag::~Id3v2Tag() = default;

Error Id3v2Tag::Open() {
  if (state_) return state_->stream->error;
  auto state = std::make_unique<State>();
  if (Error error = file_->Stamp(state->stamp)) return error;
  state->stream =
      std::make_unique<FileStream>(path_, *file_, writable_, state->stamp.identity.size);
  state->file = std::make_unique<TagLib::MPEG::File>(
      state->stream.get(), ID3v2::FrameFactory::instance(), /*readProperties=*/false);
  state_ = std::move(state);
  return state_->stream->error;
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
  FileStream& stream = *state_->stream;
  const bool saved = mpeg.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                               major == 4 ? ID3v2::v4 : ID3v2::v3, TagLib::File::DoNotDuplicate);
  // The tag has changed: this state is done with.
  const std::unique_ptr<State> done = std::move(state_);
  if (stream.error) return stream.error;
  if (!saved) return Error{kPathFileAccess, "the tag library could not save the ID3v2 tag"};
  edit = std::move(stream.edit);
  return {};
}

}  // namespace velmora
