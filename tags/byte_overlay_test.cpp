#include "tags/byte_overlay.h"

#include <gtest/gtest.h>

#include <vector>

namespace velmora {
namespace {

struct Change {
  long long start, length;
  std::string bytes;
};

// What the changed file holds, read back through the overlay.
std::string Contents(const ByteOverlay& overlay) {
  std::string bytes(static_cast<std::size_t>(overlay.size()), '\0');
  EXPECT_FALSE(overlay.Read(0, bytes.data(), bytes.size()));
  return bytes;
}

// The edits applied to the original by hand, as the disk write does.
std::string Applied(const std::string& original, const TagEdits& edits) {
  std::string out;
  long long at = 0;
  for (const Splice& s : WriteSplices(edits)) {
    out += original.substr(at, s.start - at);
    out += s.bytes;
    EXPECT_EQ(s.old, original.substr(s.start, s.length));
    at = s.start + s.length;
  }
  return out + original.substr(at);
}

// Each row is a save as TagLib makes them: later writes land on what the
// earlier ones left, and the edits give the same file from the original.
TEST(ByteOverlay, ManyChangesReadBackAndBecomeEdits) {
  const std::string original = "0123456789abcdefghijklmnopqrstuvwxyz";
  const struct Row {
    const char* name;
    std::vector<Change> changes;
    std::string expected;
    std::size_t edits;
  } rows[] = {
      {"insert, then rewrite after it (Ogg renumbering)",
       {{4, 2, "PACKET"}, {12, 2, "XY"}, {20, 2, "ZZ"}},
       "0123PACKET67XYabcdefZZijklmnopqrstuvwxyz",
       3},
      {"write over own bytes",
       {{2, 0, "new"}, {3, 1, "E"}},
       "01nEw23456789abcdefghijklmnopqrstuvwxyz",
       1},
      {"remove and grow at the end",
       {{30, 6, ""}, {30, 0, "END"}},
       original.substr(0, 30) + "END",
       1},
      {"same bytes written back", {{5, 5, "56789"}}, original, 0},
      {"two writes apart, two edits",
       {{1, 1, "A"}, {5, 1, "B"}},
       "0A234B6789abcdefghijklmnopqrstuvwxyz",
       2},
      {"one write, changes close together: one edit",
       {{1, 5, "A234B"}},
       "0A234B6789abcdefghijklmnopqrstuvwxyz",
       1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ByteOverlay overlay(
        [&](long long at, char* data, std::size_t n) {
          original.copy(data, n, static_cast<std::size_t>(at));
          return Error{};
        },
        static_cast<long long>(original.size()));
    for (const Change& c : row.changes) overlay.Replace(c.start, c.length, c.bytes);
    EXPECT_EQ(Contents(overlay), row.expected);
    // A read across pieces takes exactly what it asks for.
    std::string slice(12, '#');
    ASSERT_FALSE(overlay.Read(2, slice.data(), 8));
    EXPECT_EQ(slice, row.expected.substr(2, 8) + "####");
    TagEdits edits;
    ASSERT_FALSE(overlay.Edits(edits));
    EXPECT_EQ(edits.edits.size(), row.edits);
    EXPECT_EQ(Applied(original, edits), row.expected);
  }
}

}  // namespace
}  // namespace velmora
