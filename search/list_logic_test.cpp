#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "search/destination.h"
#include "search/file_pattern.h"
#include "search/folder_reader.h"
#include "search/found_list.h"
#include "search/name_order.h"

namespace velmora {
namespace {

TEST(FilePattern, TagEditButtonFollowsTheExtensionAtTheEnd) {
  for (const char* shown : {"*.mp3", "*.wav;*.mp3", "*.flac", "*.ogg", "x*.opus", "*.mp3;*.m4a"})
    EXPECT_TRUE(ShowsTagEditButton(shown));
  for (const char* hidden : {"*.MP3", "*.mp3;*.wav", "mp3", "*.FLAC", "*.oga", "*.m4a;*.txt"})
    EXPECT_FALSE(ShowsTagEditButton(hidden));
}

TEST(FilePattern, Cases) {
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"*.*", "README", true},
      {"*.*", "a.b.c", true},
      {"*.mp3", "Song.MP3", true},
      {"*.mp3", "song.mp3x", false},
      {"*.mp3", "mp3", false},
      {"a?c.txt", "abc.txt", true},
      {"a?c.txt", "ac.txt", false},
      {"a?c.txt", "aÄc.txt", true},
      {"*.mp3;*.wav", "x.WAV", true},
      {"*.mp3; *.wav", "x.wav", true},
      {"*.mp3;*.wav", "x.ogg", false},
      {"", "anything", true},
      {"lied.*", "lied", true},
      {"lied.*", "lieder", false},
      {"ÄRGER*", "ärger.mp3", true},
      {"*a*b*c", "xaxbxbc", true},
      {"*.MP3", "song.mp3", true},
      {"*.mp?", "A.MP4", true},
      {"*x*.txt", "AX.TXT", true},
      {"*.txt", "a.txt.bak", false},
      {"s*.*", "Song", true},
      {"*.mp3", ".MP3", true},
      {"ä*", "Äb", true},
      {"*ä", "xa", false},
  };
  for (const auto& [pattern, name, match] : rows) {
    EXPECT_EQ(FilePattern(pattern).Matches(name), match) << pattern << " / " << name;
  }
}

TEST(NameOrder, FoldCaseKeepsLettersApart) {
  EXPECT_EQ(FoldCase("ÄÖÜ ÀÞ Ÿ Straße ΣЖ"), "äöü àþ ÿ straße σж");
}

// Names in the order a German reader expects: case ignored, umlauts and
// accents beside their base letters, "ß" and "ẞ" as "ss", equal keys by their
// bytes. The fourth is "Äpfel" with the Ä decomposed.
const char* const kGermanOrder[] = {
    "2 Lieder", "Abend",  "Apfel",   "A\xCC\x88pfel", "apfel",   "Äpfel",  "äpfel",       "Ärger",
    "Bär",      "Bart",   "Birne",   "Café",          "Čapek",   "Döner",  "Dose",        "Éclair",
    "Ende",     "Masse",  "Maße",    "Maßstab",       "Mast",    "Ode",    "Œuvre",       "Ofen",
    "Öl",       "Ostern", "STRASSE", "STRAẞE",        "Strasse", "Straße", "Straßenbahn", "Über",
    "Ufer",     "Zebra",  "Zürich",  "Ωmega"};

TEST(NameOrder, GermanReadingOrder) {
  const std::size_t n = std::size(kGermanOrder);
  FoundList list;
  for (std::size_t i = n; i-- > 0;) list.Add(std::string("/m/") + kGermanOrder[i]);
  for (std::size_t i = 0; i < n; ++i) {
    EXPECT_EQ(list.Path(static_cast<int>(i)), std::string("/m/") + kGermanOrder[i]) << i;
    if (i + 1 == n) break;
    EXPECT_TRUE(NameLess(kGermanOrder[i], kGermanOrder[i + 1]))
        << kGermanOrder[i] << " < " << kGermanOrder[i + 1];
    EXPECT_FALSE(NameLess(kGermanOrder[i + 1], kGermanOrder[i]))
        << kGermanOrder[i + 1] << " !< " << kGermanOrder[i];
  }
  EXPECT_FALSE(NameLess("Straße", "Straße"));
  EXPECT_EQ(SortKey("ÄÖÜäöüß ẞ Æ Þ Ĳ Œ Łódź × ΣЖ"), "aouaouss ss ae th ij oe lodz × σж");
  // Every ASCII byte, eight at a time and one by one, and after a letter
  // that is not.
  std::string ascii, lowered;
  for (int c = 1; c < 128; ++c) {
    ascii += static_cast<char>(c);
    lowered += static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  }
  EXPECT_EQ(SortKey(ascii), lowered);
  EXPECT_EQ(SortKey("Ä" + ascii), "a" + lowered);
}

// Folders of many names take the sort by key heads: its order must be the
// one NameLess gives, where heads tie and where one name starts another.
TEST(NameOrder, ManyNamesSortAsNameLessOrdersThem) {
  std::vector<std::vector<std::string>> rows(4);
  for (int i = 0; i < 400; ++i) {
    const std::string number = std::to_string(100000 + i * 7919 % 400).substr(1);
    rows[0].push_back((i % 2 != 0 ? "FILE" : "file") + number + ".txt");
    rows[1].push_back("Track - Same Long Title " + number + ".mp3");
    rows[2].push_back(std::string(kGermanOrder[i % std::size(kGermanOrder)]) + " " + number);
    rows[3].push_back(std::string(static_cast<std::size_t>(i % 20 + 1), i % 3 == 0 ? 'A' : 'a'));
  }
  rows[0].push_back("file00001.txt");  // a name twice
  for (std::vector<std::string>& names : rows) {
    std::vector<std::string> expected = names;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::string& a, const std::string& b) { return NameLess(a, b); });
    SortNames(names);
    EXPECT_EQ(names, expected) << expected.front();
  }
}

TEST(FoundList, KeepsOrderWhenAddedToAfterReading) {
  FoundList list;
  for (const char* path : {"/m/b", "/m/d", "/m/a"}) list.Add(path);
  EXPECT_EQ(list.Path(2), "/m/d");  // sorted when read
  for (const char* path : {"/m/e", "/m/c"}) list.Add(path);
  const std::vector<FoundEntry> entries = list.TakeEntries();
  std::string order;
  for (const FoundEntry& entry : entries) order += entry.path.substr(3);
  EXPECT_EQ(order, "abcde");
  EXPECT_TRUE(list.Empty());
  list.Add("/m/z");
  list.Add("/m/y");
  EXPECT_EQ(list.Path(0), "/m/y");

  // A folder's names come in order: the one added next in full is still
  // compared with the last of them.
  FoundList folder;
  for (const char* name : {"Äb", "b", "ß"}) folder.AddAfterLast(std::string("/m/x/") + name);
  folder.Add("/m/x/c");
  folder.AddAfterLast("/m/x/d");
  std::string sorted;
  for (const FoundEntry& entry : folder.TakeEntries()) sorted += entry.path.substr(5) + " ";
  EXPECT_EQ(sorted, "Äb b c d ß ");
}

TEST(NameOrder, NaturalCompareTakesDigitRunsByValue) {
  const std::tuple<const char*, const char*, int> rows[] = {
      {"titel 2", "titel 10", -1},
      {"titel 10", "titel 9", 1},
      {"a02", "a2", 0},
      {"a2b", "a2a", 1},
      {"a", "a1", -1},
      {"x9y", "x10", -1},
      {"10", "9a", 1},
      {"b1", "a2", 1},
  };
  for (const auto& [a, b, sign] : rows) {
    const int got = NaturalCompare(a, b);
    EXPECT_EQ((got > 0) - (got < 0), sign) << a << " / " << b;
  }
}

// "b" and "B" tie on size and time and keep the name order, reversed or not;
// marks move with their entries. (Each order itself: the command line's.)
TEST(FoundList, TiesKeepTheNameOrderAndMarksMoveWithTheirEntries) {
  struct Facts {
    std::int64_t size, modified;
  };
  const std::map<std::string, Facts> files = {{"/d/Titel 10", {5, 1}},
                                              {"/d/Titel 2", {9, 3}},
                                              {"/d/b", {1, 2}},
                                              {"/d/B", {1, 2}},
                                              {"/e/a", {7, 0}}};
  const std::tuple<OrderBy, bool, std::vector<std::string>> rows[] = {
      {OrderBy::kModified, true, {"/d/Titel 2", "/d/B", "/d/b", "/d/Titel 10", "/e/a"}},
      {OrderBy::kSize, false, {"/d/B", "/d/b", "/d/Titel 10", "/e/a", "/d/Titel 2"}},
  };
  for (const auto& [by, reverse, expected] : rows) {
    FoundList list;
    for (const auto& [path, facts] : files) list.Add(path);
    list.SetMarked(1, true);
    const std::string marked = list.Path(1);
    list.SetOrder({by, reverse});
    list.ReadFacts([&files](const std::string& path, std::int64_t& size, std::int64_t& time) {
      size = files.at(path).size;
      time = files.at(path).modified;
      return true;
    });
    std::vector<std::string> got;
    for (const FoundEntry& entry : list.Entries()) {
      got.push_back(entry.path);
      EXPECT_EQ(entry.marked, entry.path == marked) << entry.path;  // marks move with entries
    }
    EXPECT_EQ(got, expected) << OrderName(by) << (reverse ? " reverse" : "");
  }
}

struct TableDrives : DriveInfo {
  std::vector<Drive> Drives() override { return {}; }
  bool IsDriveReady(const std::string& d) override { return ready.count(d) && ready[d]; }
  bool IsFolderPresent(const std::string& f) override { return folders.count(f) > 0; }
  std::string DriveOf(const std::string& f) override {
    return f.starts_with("/media") ? "/media" : "/";
  }
  std::map<std::string, bool> ready{{"/", true}, {"/media", true}, {"/cdrom", false}};
  std::set<std::string> folders{"/", "/ziel", "/media", "/media/x"};
};

TEST(Destination, OpenAndDriveChangeFallBack) {
  TableDrives drives;
  EXPECT_EQ(OpenDestination("/ziel/", "/", drives).folder, "/ziel");
  EXPECT_EQ(OpenDestination("/geloescht/", "/", drives).folder, "/");
  EXPECT_EQ(OpenDestination("/media/x/", "/cdrom", drives).drive, "/");

  for (const auto& [drive, folder, wantFolder] :
       {std::tuple{"/media", "/ziel", "/media"}, std::tuple{"/cdrom", "/media/x", "/media/x"}}) {
    const auto change = ChangeDrive(drive, folder, drives);
    EXPECT_EQ(change.folder + " " + change.drive, std::string(wantFolder) + " /media") << drive;
  }
}

}  // namespace
}  // namespace velmora
