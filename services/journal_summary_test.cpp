#include <gtest/gtest.h>

#include <algorithm>

#include "services/journal.h"
#include "services/journal_disk.h"
#include "services/journal_format.h"
#include "tests/support/fake_file_system.h"

namespace velmora {
namespace {

std::string Steps(const std::string& run, int from, int to) {
  std::string text;
  for (int seq = from; seq <= to; ++seq) {
    const std::string key = run + "\t" + std::to_string(seq);
    text += FrameRecord("I\t" + key + "\t1\t/x" + std::to_string(seq) +
                        "\t/y\t-\t-\t-\t-\t-\t-\t-\t-\t-");
    text += FrameRecord("D\t" + key + "\t1\t2\t3\t4\t5\t1");
  }
  return text;
}
std::string Letter(char letter, const std::string& run) {
  return FrameRecord(std::string(1, letter) + "\t" + run + "\t2026-01-01T00:00:00Z" +
                     (letter == 'B' ? "\trename" : ""));
}

// Three sealed segments of about 160 KiB, each sealed another way: from an
// empty segment, from the look at the start, from a whole look at the seal.
// 1-1 begins in the first and ends in the second; 1-4 is dismissed; 1-3,
// interrupted, goes on in the current segment.
void Build(testing::FakeFileSystem& disk) {
  const auto file = [&] {
    auto made = std::make_unique<JournalFile>("/s/j", &disk);
    made->SetSegmentBytes(150 << 10);
    return made;
  };
  auto a = file();
  ASSERT_FALSE(a->Append(Letter('B', "1-1") + Steps("1-1", 1, 2000)));
  ASSERT_FALSE(a->Append(Letter('B', "1-2")));
  auto b = file();
  (void)b->MayHoldInterruptedRuns();
  ASSERT_FALSE(b->Append(Steps("1-2", 1, 2000) + Letter('E', "1-2") + Letter('E', "1-1")));
  ASSERT_FALSE(file()->Append(Letter('B', "1-4") + Steps("1-4", 1, 5) + Letter('X', "1-4")));
  auto d = file();
  ASSERT_FALSE(d->Append(Letter('B', "1-3") + Steps("1-3", 1, 2000)));
  ASSERT_FALSE(d->Append(Steps("1-3", 2001, 2005)));
}

// A sealed segment's summary stands for it: a later look reads its tail
// alone. Without a whole summary as its last line the segment is read as
// before; the answers of trimming and the look for interrupted runs stay.
TEST(JournalSummary, SealedSegmentIsLookedAtByItsSummary) {
  const struct Row {
    const char* what;
    void (*change)(std::string& segment, std::size_t summaryAt);
  } rows[] = {
      {"whole", nullptr},
      {"missing", [](std::string& s, std::size_t at) { s.resize(at); }},
      {"corrupt", [](std::string& s, std::size_t at) { s[at + 3] ^= 1; }},
      {"torn", [](std::string& s, std::size_t) { s.pop_back(); }},
      {"not last", [](std::string& s, std::size_t) { s += "# more\n"; }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    testing::FakeFileSystem disk;
    Build(disk);
    const std::vector<std::string> sealed = SegmentPaths(disk, "/s/j");
    ASSERT_EQ(sealed.size(), 3u);
    for (const std::string& path : sealed) {
      std::string text = disk.Content(path);
      const std::size_t at = text.rfind('\n', text.size() - 2) + 1;
      ASSERT_TRUE(text.compare(at, 2, "S\t") == 0) << path;
      if (row.change != nullptr) row.change(text, at);
      disk.AddFile(path, text);
    }
    JournalFile file("/s/j", &disk);
    disk.calls.clear();
    EXPECT_TRUE(file.MayHoldInterruptedRuns());
    const auto reads = std::count_if(disk.calls.begin(), disk.calls.end(), [](const auto& call) {
      return call.starts_with("ReadAt /s/j.seg-");
    });
    // One read of each tail, against three 64 KiB pieces of each segment.
    if (row.change == nullptr) {
      EXPECT_EQ(reads, 3);
    } else {
      EXPECT_GE(reads, 9);
    }
    ASSERT_FALSE(file.Trim(1000));
    EXPECT_EQ(SegmentPaths(disk, "/s/j"), std::vector<std::string>{sealed[2]});
    JournalContents contents;
    ASSERT_FALSE(file.Read(contents));
    EXPECT_EQ(contents.warnings.size(), row.what == std::string("corrupt") ? 1u : 0u);
    EXPECT_TRUE(contents.foreign.empty());
    EXPECT_EQ(contents.steps.size(), 2010u);
    ASSERT_FALSE(file.Append(Letter('E', "1-3")));
    EXPECT_FALSE(JournalFile("/s/j", &disk).MayHoldInterruptedRuns());
  }
}

}  // namespace
}  // namespace velmora
