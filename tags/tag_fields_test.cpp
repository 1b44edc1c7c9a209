#include "tags/tag_fields.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "services/posix_file_system.h"
#include "tags/tag_test_support.h"
#include "tests/support/audio_files.h"

namespace velmora {
namespace {

using testing::HasTool;
using testing::Shell;

// A fifth of a second of sound, for the encoders.
std::string MakeWave(const testing::TempFolder& dir) {
  const std::string wav = dir / "tone.wav";
  if (!Shell("ffmpeg -nostdin -v quiet -f lavfi -i sine=d=0.2 -ac 1 -ar 48000 " + wav)) return {};
  return wav;
}

struct Format {
  const char* name;
  const char* tool;
  const char* command;  // %W the wave, %F the file made
  const char* title;
};

// Each file carries artist "Artist", album "Album", year 1990, track 7,
// genre "Rock" and comment "Kommentar"; the title differs.
const Format kFormats[] = {
    {"v2.mp3", "id3v2",
     "head -c 4000 /dev/zero > %F && id3v2 -2 -a Artist -t 'Title v2' -A Album -y 1990 -T 7/12 "
     "-g Rock -c Kommentar %F && id3v2 -1 -t 'Title v1' %F",
     "Title v2"},
    {"v1.MP3", "id3v2",
     "head -c 4000 /dev/zero > %F && id3v2 -1 -a Artist -t 'Title v1' -A Album -y 1990 -T 7 "
     "-g 17 -c Kommentar %F",
     "Title v1"},
    {"a.flac", "flac",
     "flac -s -f -o %F -T ARTIST=Artist -T 'TITLE=Über ß' -T ALBUM=Album -T DATE=1990 "
     "-T TRACKNUMBER=7 -T GENRE=Rock -T COMMENT=Kommentar %W",
     "Über ß"},
    {"a.ogg", "oggenc",
     "oggenc -Q -o %F -a Artist -t 'Titel €' -l Album -d 1990 -N 7 -G Rock -c COMMENT=Kommentar "
     "%W",
     "Titel €"},
    {"a.opus", "opusenc",
     "opusenc --quiet --artist Artist --title 'Opus Titel' --album Album --date 1990 --genre Rock "
     "--comment TRACKNUMBER=7 --comment COMMENT=Kommentar %W %F",
     "Opus Titel"},
    {"a.m4a", "ffmpeg",
     "ffmpeg -nostdin -v quiet -i %W -c:a aac -metadata artist=Artist -metadata 'title=M4A Titel' "
     "-metadata album=Album -metadata date=1990 -metadata track=7 -metadata genre=Rock "
     "-metadata comment=Kommentar %F",
     "M4A Titel"},
};

std::string Filled(std::string command, const std::string& wav, const std::string& file) {
  for (const auto& [mark, with] : {std::pair{"%W", wav}, std::pair{"%F", file}}) {
    for (std::size_t at; (at = command.find(mark)) != std::string::npos;) {
      command.replace(at, 2, "'" + with + "'");
    }
  }
  return command;
}

TEST(TagFieldSource, EachFieldFromEachFormat) {
  testing::TempFolder dir;
  if (!HasTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed (scripts/install-deps.sh)";
  const std::string wav = MakeWave(dir);
  ASSERT_FALSE(wav.empty());
  PosixFileSystem disk;
  TagFieldSource source(disk);
  std::string missing;
  for (const Format& format : kFormats) {
    if (!HasTool(format.tool)) {
      missing += std::string(" ") + format.name + " (" + format.tool + ")";
      continue;
    }
    const std::string file = dir / format.name;
    ASSERT_TRUE(Shell(Filled(format.command, wav, file))) << format.name;
    const FileFields f = source.Read(file);
    std::string got;  // artist to comment, then the picture date
    for (int field = 0; field <= static_cast<int>(NameField::kDate); ++field)
      got += f[static_cast<NameField>(field)].value_or("-") + "|";
    EXPECT_EQ(got, "Artist|" + std::string(format.title) + "|Album|1990|7|Rock|Kommentar|-|");
    EXPECT_TRUE(f[NameField::kModified]) << format.name;
  }
  // The formats that were read passed; the rest must not count as passed.
  if (!missing.empty()) GTEST_SKIP() << "tools not installed for" << missing;
}

TEST(TagFieldSource, PhotoDateFromExifAndTheFileDate) {
  if (!HasTool("convert") || !HasTool("exiv2")) {
    GTEST_SKIP() << "needs ImageMagick's convert and exiv2 (scripts/install-deps.sh)";
  }
  testing::TempFolder dir;
  PosixFileSystem disk;
  TagFieldSource source(disk);
  // JPEG is read in place, TIFF through the mapped file.
  for (const char* name : {"IMG_1.JPG", "scan.tif", "pic.png"}) {
    const std::string photo = dir / name;
    ASSERT_TRUE(Shell("convert -size 8x8 xc:red '" + photo + "'")) << name;
    ASSERT_TRUE(
        Shell("exiv2 -M'set Exif.Photo.DateTimeOriginal 2024:05:01 12:30:05' '" + photo + "'"))
        << name;
    ASSERT_TRUE(Shell("touch -d '2023-01-02 03:04:05' '" + photo + "'"));
    const FileFields f = source.Read(photo);
    EXPECT_EQ(f[NameField::kDate], "2024-05-01") << name;
    EXPECT_EQ(f[NameField::kTime], "12-30-05") << name;
    EXPECT_EQ(f[NameField::kModified], "2023-01-02") << name;
    EXPECT_EQ(f[NameField::kModifiedTime], "03-04-05") << name;
    EXPECT_FALSE(f[NameField::kArtist]) << name;
  }
  const std::string plain = dir / "plain.png";
  ASSERT_TRUE(Shell("convert -size 8x8 xc:blue '" + plain + "'"));
  const FileFields none = source.Read(plain);
  EXPECT_FALSE(none[NameField::kDate]);
  EXPECT_TRUE(none[NameField::kModified]);
}

TEST(TagFieldSource, NeverThroughALinkNorWaitingOnAFifo) {
  testing::TempFolder dir;
  const std::string real = dir / "real.mp3";
  ASSERT_TRUE(Shell("head -c 2000 /dev/zero > '" + real + "'"));
  if (HasTool("id3v2")) {
    ASSERT_TRUE(Shell("id3v2 -2 -a Artist '" + real + "'"));
  }
  ASSERT_EQ(::symlink(real.c_str(), (dir / "link.mp3").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "fifo.mp3").c_str(), 0600), 0);
  PosixFileSystem disk;
  TagFieldSource source(disk);
  EXPECT_TRUE(source.Read(real)[NameField::kModified]);
  for (const char* name : {"link.mp3", "fifo.mp3", "missing.mp3"}) {
    const FileFields f = source.Read(dir / name);  // a FIFO would hang here
    for (const auto& value : f.values) EXPECT_FALSE(value) << name;
  }
}

}  // namespace
}  // namespace velmora
