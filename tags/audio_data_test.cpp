// The audio check on real files: what a tag write legitimately moves (Ogg
// page numbers and checksums, FLAC metadata, boxes beside mdat) keeps the
// checksum; a changed byte of audio changes it.
#include "tags/audio_data.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/audio_files.h"

namespace velmora {
namespace {

using namespace velmora::testing;

std::uint32_t OggCrc(const std::string& page) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < page.size(); ++i) {
    crc ^= static_cast<std::uint32_t>(i >= 22 && i < 26 ? 0 : static_cast<unsigned char>(page[i]))
           << 24;
    for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000U) ? (crc << 1) ^ 0x04C11DB7U : crc << 1;
  }
  return crc;
}

// Calls change on every Ogg page from the third on, then seals its checksum.
void EachLaterPage(std::string& file, const std::function<void(std::string&)>& change) {
  int index = 0;
  for (std::size_t at = 0; at < file.size(); ++index) {
    const std::size_t segments = static_cast<unsigned char>(file[at + 26]);
    std::size_t length = 27 + segments;
    for (std::size_t i = 0; i < segments; ++i)
      length += static_cast<unsigned char>(file[at + 27 + i]);
    std::string page = file.substr(at, length);
    if (index >= 2) {
      change(page);
      const std::uint32_t crc = OggCrc(page);
      for (int i = 0; i < 4; ++i) page[22 + i] = static_cast<char>(crc >> (8 * i));
    }
    file.replace(at, length, page);
    at += length;
  }
}

std::uint64_t Checksum(AudioFormat format, const std::string& bytes) {
  std::uint64_t sum = 0;
  const Error error = AudioChecksum(
      format,
      [&](long long at, char* data, std::size_t n) {
        bytes.copy(data, n, static_cast<std::size_t>(at));
        return Error{};
      },
      static_cast<long long>(bytes.size()), sum);
  EXPECT_FALSE(error) << error.description;
  return sum;
}

TEST(AudioChecksum, FollowsTheAudioNotTheBytes) {
  const struct Row {
    const char* name;
    std::size_t kind;
    AudioFormat format;
    std::function<void(std::string&)> change;
    bool same;
  } rows[] = {
      {"Ogg pages renumbered", 1, AudioFormat::kOggVorbis,
       [](std::string& f) { EachLaterPage(f, [](std::string& p) { ++p[18]; }); }, true},
      {"Ogg audio byte changed", 1, AudioFormat::kOggVorbis,
       [](std::string& f) { EachLaterPage(f, [](std::string& p) { p.back() ^= 1; }); }, false},
      {"Opus granule changed", 2, AudioFormat::kOpus,
       [](std::string& f) { EachLaterPage(f, [](std::string& p) { ++p[6]; }); }, false},
      {"FLAC metadata changed", 0, AudioFormat::kFlac, [](std::string& f) { f[50] ^= 1; }, true},
      {"FLAC frame byte changed", 0, AudioFormat::kFlac, [](std::string& f) { f.back() ^= 1; },
       false},
      {"M4A box after the audio", 3, AudioFormat::kM4a,
       [](std::string& f) {
         f += std::string(
             "\0\0\0\x0c"
             "free\0\0\0\0",
             12);
       },
       true},
      {"M4A audio byte changed", 3, AudioFormat::kM4a, [](std::string& f) { f.back() ^= 1; },
       false},
  };
  const TempFolder folder;
  std::string missing;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const AudioKind& kind = kAudioKinds[row.kind];
    const std::string path = folder / (std::string("a") + kind.extension);
    if (const std::string why = MakeAudioFile(kind, path); !why.empty()) {
      missing += std::string(row.name) + ": " + why + "; ";
      continue;
    }
    const std::string original = ReadFile(path);
    std::string changed = original;
    row.change(changed);
    ASSERT_NE(changed, original);
    EXPECT_EQ(Checksum(row.format, changed) == Checksum(row.format, original), row.same);
  }
  if (!missing.empty()) GTEST_SKIP() << "rows left out: " << missing;
}

}  // namespace
}  // namespace velmora
