#include "search/search_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <tuple>

#include "engine/error_numbers.h"
#include "tests/support/fake_file_system.h"
#include "tests/support/scripted_run.h"

namespace velmora {
namespace {

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

// The in-memory disk, its calls logged; the top folder reads slowly when
// asked, and serve, when set, lists folders in place of the files.
struct SlowDisk : testing::FakeFileSystem {
  FolderListing ReadFolder(const std::string& folder) override {
    if (slow && folder == "/T") {
      std::this_thread::sleep_for(std::chrono::milliseconds(4 * kResponsiveMs));
    }
    return serve ? serve(folder) : FakeFileSystem::ReadFolder(folder);
  }
  bool slow = false;
  std::function<FolderListing(const std::string&)> serve;
};

struct SearchFixture : ::testing::Test {
  SearchFixture() { host.command = &command; }
  SearchResult Press() { return command.cmdSearch_Click({"/", "/T", "", "*.mp3"}); }
  std::vector<std::string> Paths() {
    std::vector<std::string> out;
    for (const FoundEntry& e : command.Found().Entries()) out.push_back(e.path.substr(2));
    return out;
  }
  void Add(std::initializer_list<const char*> names) {
    for (const char* name : names) disk.AddFile(std::string("/T/") + name);
  }
  SlowDisk disk;
  RecordingWriter writer;
  ScriptedHost host;
  testing::Recorders sink;
  SearchCommand command{disk, writer, host, sink, sink};
};

// top/{a/{a1/{a2/}}, b/, c/}, one mp3 per folder.
struct OrderFixture : SearchFixture {
  OrderFixture() {
    Add({"top.mp3", "a/a.mp3", "a/a1/a1.mp3", "a/a1/a2/a2.mp3", "b/b.mp3", "c/c.mp3"});
    command.OptSubdirs_Click();
  }
};

TEST_F(OrderFixture, VisitsLastSubFolderFirstAndListsEverything) {
  SearchResult r = Press();
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"ReadFolder /T", "ReadFolder /T/c",
                                                  "ReadFolder /T/b", "ReadFolder /T/a",
                                                  "ReadFolder /T/a/a1", "ReadFolder /T/a/a1/a2"}));
  EXPECT_EQ(std::tie(r.step, r.folder, r.progressMaximum),
            std::make_tuple(SearchStep::kSearched, "/T", 6));
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
    if (command.State().searchCaption == kCaptionReset) Press();
    command.OptSubdirs_Click();
    host.visits = 0;
    host.onVisit = [&](int n) {
      if (n == row.cancelAt) command.Cancel();
      EXPECT_EQ(command.State().exitCaption, kCaptionCancel);
    };
    SearchResult r = Press();
    EXPECT_EQ(Paths(), row.paths) << "cancel at visit " << row.cancelAt;
    EXPECT_EQ(r.folder, "/T" + row.cursor) << "cancel at visit " << row.cancelAt;
    EXPECT_EQ(command.State().exitCaption, kCaptionExit);
  }
}

// A repeat (after a run) resets, which clears the sub-folder option.
TEST_F(SearchFixture, RepeatSearchCoversTheTopFolderOnly) {
  Add({"x.mp3", "sub/y.mp3"});
  command.OptSubdirs_Click();
  Press();
  EXPECT_EQ(command.Found().Count(), 2);
  EXPECT_EQ(command.RepeatSearch({"/", "/T", "", "*.mp3"}).step, SearchStep::kSearched);
  EXPECT_EQ(Paths(), std::vector<std::string>{"/x.mp3"});
  // Every press stores pattern, folder and drive, in this order.
  EXPECT_EQ(std::vector<std::string>(writer.writes.begin(), writer.writes.begin() + 3),
            (std::vector<std::string>{"LastPattern=*.mp3", "LastPath=/T", "LastDrive=/"}));
}

// The second read (the sub-folder) is refused.
TEST_F(SearchFixture, UnreadableFolderIsReportedAndLeftOut) {
  Add({"locked/x.mp3", "top.mp3"});
  command.OptSubdirs_Click();
  disk.FailCall(2, {kPermissionDenied, "Permission denied"});
  Press();
  EXPECT_EQ(disk.calls, (std::vector<std::string>{"ReadFolder /T", "ReadFolder /T/locked"}));
  EXPECT_EQ(Paths(), std::vector<std::string>{"/top.mp3"});
  EXPECT_EQ(sink.errors,
            std::vector<std::string>{std::to_string(LocationNumber(Location::kNone)) + " " +
                                     std::to_string(kPermissionDenied) +
                                     " Fehler beim Suchen|/T/locked|Permission denied"});
}

// Two folders of 20,000 names each.
TEST_F(SearchFixture, FullListShowsTheMessageOnceAndStops) {
  disk.serve = [](const std::string& folder) {
    FolderListing listing;
    if (folder == "/") listing.subFolders = {"m"};
    for (int i = 0; i < 20000; ++i) {
      listing.files.push_back((folder == "/" ? "r" : "s") + std::to_string(i));
    }
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
// and "Abbrechen" pressed then ends the search at once, without waiting for
// the read or listing what it finds.
TEST_F(SearchFixture, SlowFolderLetsTheWindowRunAndCancel) {
  Add({"x.mp3", "sub/y.mp3"});
  disk.slow = true;
  command.OptSubdirs_Click();
  host.onResponsive = [this] { command.Cancel(); };
  const SearchResult r = Press();
  EXPECT_GE(host.responsive, 1);
  EXPECT_EQ(r.step, SearchStep::kSearched);
  EXPECT_TRUE(Paths().empty());
  Press();  // the reset waits for the read left behind
  EXPECT_EQ(disk.calls, std::vector<std::string>{"ReadFolder /T"});
}

}  // namespace
}  // namespace velmora
