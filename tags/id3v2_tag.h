// The ID3 version 2 tag at the start of an MP3 file, read and written through
// TagLib over a file opened through the file system. Only the six fields of the
// tag editor are ever set; every other frame stays as stored. TagLib never
// touches the disk itself: its changes come back to us as one region edit,
// and the tag file decides whether and how it lands.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/error_reporter.h"
#include "tags/region_replace.h"

namespace velmora {

// "ID3v2 schreiben": kAuto ("wenn vorhanden") writes the fields into tags
// that exist, kAlways ("immer") also creates a 2.4 tag in files named *.mp3,
// kNever ("nie") neither reads nor writes ID3v2.
enum class Id3v2Mode { kAuto, kAlways, kNever };

// "auto", "always", "never": the names on the command line and in the
// settings.
const char* Id3v2ModeName(Id3v2Mode mode);
// The mode of one of those names; nullopt for any other text.
std::optional<Id3v2Mode> ParseId3v2Mode(std::string_view name);

// The fields in tag-editor order.
enum Id3v2Field { kId3Title, kId3Artist, kId3Album, kId3Comment, kId3Year, kId3Genre, kId3Fields };

// A tag as read: full Unicode values; the genre as the name of our genre
// table where it is a standard genre, else the stored text.
struct Id3v2Values {
  std::string version;  // "2.2", "2.3" or "2.4"
  std::array<std::string, kId3Fields> fields;
  std::string track;
};

// What a write sets per field; nullopt leaves the field as stored. An empty
// text removes the field's frame.
using Id3v2Changes = std::array<std::optional<std::string>, kId3Fields>;

// True when year may go into an ID3v2 year frame: 1 to 4 digits.
bool IsId3v2Year(const std::string& year);

// The ID3 number of a genre name of our table (0..115), or -1.
int TableGenreNumber(const std::string& name);

class Id3v2Tag {
 public:
  // The file at path, open as file (read-write when writable); file stays
  // the caller's.
  Id3v2Tag(std::string path, OpenFile& file, bool writable);
  ~Id3v2Tag();
  Id3v2Tag(const Id3v2Tag&) = delete;
  Id3v2Tag& operator=(const Id3v2Tag&) = delete;

  // The tag at the start of the file, or nullopt when there is none. A read
  // failure is returned.
  Error Read(std::optional<Id3v2Values>& values);

  // Sets changes in the tag, creating a 2.4 tag when there is none and create
  // is set, and gives the change of the file that saves it as edit (nullopt
  // when there is nothing to do); the file is not touched. A 2.2 tag is
  // written as 2.3.
  Error Edit(const Id3v2Changes& changes, bool create, std::optional<RegionEdit>& edit);

  // TagLib's side, known only to the media library (tags/media_library.h).
  struct State;
  struct DropState {
    void operator()(State* state) const;
  };

 private:
  Error Open();

  std::string path_;
  OpenFile* file_;
  bool writable_;
  std::unique_ptr<State, DropState> state_;
};

}  // namespace velmora
