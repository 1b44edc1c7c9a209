#include "tags/audio_tag.h"

#include <gtest/gtest.h>

#include "services/posix_file_system.h"
#include "tags/tag_file.h"
#include "tags/tag_test_support.h"
#include "tags/tag_undo.h"
#include "tests/support/audio_files.h"

namespace velmora {
namespace {

using namespace velmora::testing;

// ID3 tags around a FLAC stream are not TagLib's to render anew: they stay
// byte for byte.
TEST(AudioTagFlac, KeepsTheId3TagsAroundTheStream) {
  const TempFolder folder;
  const std::string path = folder / "x.flac";
  if (const std::string why = MakeAudioFile(kAudioKinds[0], path); !why.empty())
    GTEST_SKIP() << why;
  const std::string head = Id3v2Bytes(3, Id3v2Frame(3, "TIT2", Latin1Body("Alt")), 10);
  const std::string tail = Bytes(Record("Alt"));
  const std::string original = head + ReadFile(path) + tail;
  WriteFile(path, original);
  PosixFileSystem disk;
  RecordingReporter reporter;
  Id3v2Changes changes;
  changes[kId3Title] = "Neu";
  TagEdits edits;
  TagFile file(disk, path, true);
  ASSERT_FALSE(file.PlanAudioTag(changes, edits));
  ASSERT_FALSE(file.Apply(edits));
  const std::string now = ReadFile(path);
  EXPECT_TRUE(now.starts_with(head) && now.ends_with(tail));
  const std::optional<AudioTagValues> read = TagFile(disk, path, false).ReadAudioTag(reporter);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->fields[kId3Title], "Neu");
  ASSERT_FALSE(UndoTagWrite(disk, path, PackTagEdits(edits)));
  EXPECT_TRUE(ReadFile(path) == original);
}

}  // namespace
}  // namespace velmora
