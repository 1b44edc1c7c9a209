#include "search/search_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "engine/error_numbers.h"
#include "services/posix_file_system.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"
#include "tests/support/temp_folder.h"

namespace velmora {
namespace {

struct TempTree {
  void Add(const std::string& relative) { testing::WriteFile(root + "/" + relative, "x"); }
  testing::TempFolder folder;
  std::string root = folder.path().substr(0, folder.path().size() - 1);
};

struct RecordingWriter : SettingsWriter {
  void WriteSetting(const std::string& key, const std::string& text) override {
    writes.push_back(key + "=" + text);
  }
  std::vector<std::string> writes;
};

// Calls onVisit with the 1-based number of each folder visit.
struct ScriptedHost : SearchHost {
  void ProcessPendingEvents() override {
    ++visits;
    if (onVisit) onVisit(visits);
  }
  void CountChanged() override { counts.push_back(command->State().countText); }
  void KeepResponsive() override {
    ++responsive;
    if (onResponsive) onResponsive();
  }
  int visits = 0;
  int responsive = 0;
  std::function<void()> onResponsive;
  std::function<void(int)> onVisit;
  std::vector<std::string> counts;
  SearchCommand* command = nullptr;
};

// Records the order in which folders are read; serves them from serve when set.
struct SpyReader : PosixFileSystem {
  FolderListing ReadFolder(const std::string& folder) override {
    read.push_back(folder);
    return serve ? serve(folder) : PosixFileSystem::ReadFolder(folder);
  }
  std::function<FolderListing(const std::string&)> serve;
  std::vector<std::string> read;
};

struct SearchFixture : ::testing::Test {
  SearchFixture() { host.command = &command; }
  SearchResult Press(const std::string& folder) {
    return command.cmdSearch_Click({"/", folder, "", "*.mp3"});
  }
  std::vector<std::string> Paths() {
    std::vector<std::string> out;
    for (const FoundEntry& e : command.Found().Entries())
      out.push_back(e.path.substr(tree.root.size()));
    return out;
  }
  TempTree tree;
  SpyReader reader;
  RecordingWriter writer;
  ScriptedHost host;
  testing::Recorders sink;
  SearchCommand command{reader, writer, host, sink, sink};
};

// top/{a/{a1/{a2/}}, b/, c/}, one mp3 per folder.
struct OrderFixture : SearchFixture {
  OrderFixture() {
    for (const char* f :
         {"top.mp3", "a/a.mp3", "a/a1/a1.mp3", "a/a1/a2/a2.mp3", "b/b.mp3", "c/c.mp3"}) {
      tree.Add(f);
    }
    command.OptSubdirs_Click();
  }
};

TEST_F(OrderFixture, VisitsLastSubFolderFirstAndListsEverything) {
  SearchResult r = Press(tree.root);
  const std::string& t = tree.root;
  EXPECT_EQ(reader.read, (std::vector<std::string>{t, t + "/c", t + "/b", t + "/a", t + "/a/a1",
                                                   t + "/a/a1/a2"}));
  EXPECT_EQ(r.step, SearchStep::kSearched);
  EXPECT_EQ(r.folder, t);
  EXPECT_EQ(r.progressMaximum, 6);
  EXPECT_EQ(Paths(), (std::vector<std::string>{"/a/a.mp3", "/a/a1/a1.mp3", "/a/a1/a2/a2.mp3",
                                               "/b/b.mp3", "/c/c.mp3", "/top.mp3"}));
  EXPECT_EQ(host.counts, (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5", " 6"}));
}

TEST_F(OrderFixture, CancelKeepsExactlyTheEntriesFoundSoFar) {
  struct Row {
    int cancelAt;
    std::vector<std::string> paths;
    std::string cursor;
  } rows[] = {
      // Cancelled entering b: top leaves at once, only c was listed.
      {3, {"/c/c.mp3"}, "/b"},
      // Entering a1: a leaves unlisted; top lists the cursor folder a1.
      {5, {"/a/a1/a1.mp3", "/b/b.mp3", "/c/c.mp3"}, "/a/a1"},
      // Entering a2: a1 leaves; a lists a2 and steps back; top lists itself.
      {6, {"/a/a1/a2/a2.mp3", "/b/b.mp3", "/c/c.mp3", "/top.mp3"}, ""},
  };
  for (const Row& row : rows) {
    if (command.State().searchCaption == kCaptionReset) {
      Press(tree.root);
    }
    command.OptSubdirs_Click();
    host.visits = 0;
    host.onVisit = [&](int n) {
      if (n == row.cancelAt) command.Cancel();
      EXPECT_EQ(command.State().exitCaption, kCaptionCancel);
    };
    SearchResult r = Press(tree.root);
    EXPECT_EQ(Paths(), row.paths) << "cancel at visit " << row.cancelAt;
    EXPECT_EQ(r.folder, tree.root + row.cursor) << "cancel at visit " << row.cancelAt;
    EXPECT_EQ(command.State().exitCaption, kCaptionExit);
  }
}

// A repeat (after a run) resets, which clears the sub-folder option.
TEST_F(SearchFixture, RepeatSearchCoversTheTopFolderOnly) {
  tree.Add("x.mp3");
  tree.Add("sub/y.mp3");
  command.OptSubdirs_Click();
  Press(tree.root);
  EXPECT_EQ(command.Found().Count(), 2);
  EXPECT_EQ(command.RepeatSearch({"/", tree.root, "", "*.mp3"}).step, SearchStep::kSearched);
  EXPECT_EQ(Paths(), std::vector<std::string>{"/x.mp3"});
  // Every press stores pattern, folder and drive, in this order.
  EXPECT_EQ(
      std::vector<std::string>(writer.writes.begin(), writer.writes.begin() + 3),
      (std::vector<std::string>{"LastPattern=*.mp3", "LastPath=" + tree.root, "LastDrive=/"}));
}

// On the in-memory disk: the second read (the sub-folder) is refused.
TEST(SearchOnFakeDisk, UnreadableFolderIsReportedAndLeftOut) {
  testing::FakeFileSystem disk;
  disk.AddFile("/T/locked/x.mp3");
  disk.AddFile("/T/top.mp3");
  RecordingWriter writer;
  ScriptedHost host;
  testing::Recorders sink;
  SearchCommand command{disk, writer, host, sink, sink};
  host.command = &command;
  command.OptSubdirs_Click();
  disk.FailCall(2, {kPermissionDenied, "Permission denied"});
  command.cmdSearch_Click({"/", "/T", "", "*.mp3"});
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"ReadFolder /T", "ReadFolder /T/locked"}));
  ASSERT_EQ(command.Found().Entries().size(), 1u);
  EXPECT_EQ(command.Found().Entries()[0].path, "/T/top.mp3");
  EXPECT_EQ(sink.errors,
            std::vector<std::string>{"0 70 Fehler beim Suchen|/T/locked|Permission denied"});
}

// Two folders of 20,000 names each, served from memory.
TEST_F(SearchFixture, FullListShowsTheMessageOnceAndStops) {
  reader.serve = [](const std::string& folder) {
    FolderListing listing;
    if (folder == "/") listing.subFolders = {"m"};
    for (int i = 0; i < 20000; ++i)
      listing.files.push_back((folder == "/" ? "r" : "s") + std::to_string(i));
    return listing;
  };
  command.OptSubdirs_Click();
  SearchResult r = command.cmdSearch_Click({"/", "/", "", "*"});
  EXPECT_EQ(command.Found().Count(), kFoundListCapacity);
  EXPECT_EQ(sink.messages, std::vector<std::string>{kListFullMessage});
  EXPECT_EQ(command.State().countText, " 32767");
  EXPECT_EQ(r.progressMaximum, kFoundListCapacity);
  EXPECT_EQ(r.folder, "/");  // the top visit found the list full: cursor stayed on it
  EXPECT_EQ(command.Found().Path(0), "/m/s0");  // the sub-folder came first, whole
}

// A folder that is slow to read: the window keeps handling events meanwhile,
// and "Abbrechen" pressed then stops the search before its sub-folders.
TEST_F(SearchFixture, SlowFolderLetsTheWindowRunAndCancel) {
  reader.serve = [](const std::string& folder) {
    FolderListing listing;
    if (folder.find("/sub") != std::string::npos) return listing;
    std::this_thread::sleep_for(std::chrono::milliseconds(4 * kResponsiveMs));
    listing.subFolders = {"sub"};
    listing.files = {"x.mp3"};
    return listing;
  };
  command.OptSubdirs_Click();
  host.onResponsive = [this] { command.Cancel(); };
  Press(tree.root);
  EXPECT_GE(host.responsive, 1);
  EXPECT_EQ(reader.read, std::vector<std::string>{tree.root});
  EXPECT_EQ(Paths(), std::vector<std::string>{"/x.mp3"});  // what was found is kept
}

}  // namespace
}  // namespace velmora
