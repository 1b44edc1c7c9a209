#include <gtest/gtest.h>

#include "engine/path.h"
#include "engine/undo_store.h"

namespace velmora {
namespace {

const std::string kDir = std::string(kPathSeparatorText) + "T" + kPathSeparator;

TEST(UndoStore, KeepsRecordsInOrderAcrossRemovals) {
  UndoStore store;
  const std::string folders[] = {kDir, kDir + "sub" + kPathSeparator, ""};
  auto source = [&](int i) { return folders[i % 3] + "f" + std::to_string(i); };
  for (int i = 0; i < 300; ++i) {
    store.Append(source(i), kDir + "g" + std::to_string(i), static_cast<RunKind>(i % 4));
  }
  for (int i = 299; i >= 0; i -= 2) store.Remove(i);  // enough to compact
  ASSERT_EQ(store.Count(), 150);
  for (int k = 0; k < store.Count(); ++k) {
    const UndoRecord record = store.Get(k);
    EXPECT_EQ(record.source, source(2 * k));
    EXPECT_EQ(record.dest, kDir + "g" + std::to_string(2 * k));
    EXPECT_EQ(record.kind, static_cast<RunKind>((2 * k) % 4));
  }
}

TEST(UndoStore, Holds32767RecordsInUnder20MB) {
  UndoStore store;
  const std::string folder = kDir + std::string(100, 'm') + kPathSeparator;
  for (int i = 0; i < UndoStore::kMaxRecords; ++i) {
    const std::string name = std::string(60, 'n') + std::to_string(i);
    ASSERT_TRUE(store.Append(folder + name + ".mp3", folder + name + "x.mp3", RunKind::kRename));
  }
  EXPECT_FALSE(store.Append("a", "b", RunKind::kRename));
  EXPECT_LT(store.MemoryUsage(), 20u << 20);
}

}  // namespace
}  // namespace velmora
