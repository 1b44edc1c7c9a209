#include "search/search_command.h"

#include <gtest/gtest.h>

#include <functional>
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
  void KeepResponsive() override {}
  int visits = 0;
  std::function<void(int)> onVisit;
  std::vector<std::string> counts;
  SearchCommand* command = nullptr;
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
  testing::FakeFileSystem disk;
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
            std::vector<std::string>{testing::Reported(Location::kNone, kPermissionDenied) +
                                     "Fehler beim Suchen|/T/locked|Permission denied"});
}

}  // namespace
}  // namespace velmora
