#include "tags/tag_undo.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TagEdits Sample() {
  TagEdits edits{5000, 1700000000123456789, 5300, 0, {}};
  edits.edits.push_back({0, std::string("ID3\3\0\0\0\0\0\0", 10), 182, ""});
  edits.edits.push_back({5172, "", 128, ""});
  edits.checksum = 0x0123456789abcdefULL;
  return edits;
}

// The block goes back whole; a block cut short, grown, or with another
// header is refused rather than half read.
TEST(TagUndo, PackedEditsRoundTripAndDamageIsRefused) {
  const std::string block = PackTagEdits(Sample());
  TagEdits read;
  ASSERT_TRUE(UnpackTagEdits(block, read));
  EXPECT_EQ(PackTagEdits(read), block);
  EXPECT_EQ(read.edits[0].oldBytes, Sample().edits[0].oldBytes);
  EXPECT_EQ(read.checksum, Sample().checksum);
  for (const std::string& damaged : {block.substr(0, block.size() - 1), block + "x",
                                     "velmora tag edits 2" + block.substr(19), std::string()}) {
    EXPECT_FALSE(UnpackTagEdits(damaged, read)) << damaged;
  }
}

}  // namespace
}  // namespace velmora
