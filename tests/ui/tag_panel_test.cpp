// The tag panel on its own, over real MP3 files in a temporary folder: names
// and captions of its controls, and what the tag run hands to its host (the
// views and the list inside the main window: tag_window_test.cpp).
#include "ui/tag_panel.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "tags/tag_record.h"
#include "tests/support/temp_folder.h"

namespace velmora::testing {
namespace {

struct Recorder : ErrorReporter, LogWriter {
  void ReportError(int location, int, const std::string& context, const std::string&,
                   const std::string&) override {
    errors.push_back(std::to_string(location) + " " + context);
  }
  void WriteLog(const std::string& text, int) override { log.push_back(text); }
  std::vector<std::string> errors, log;
};

struct FakeHost : TagPanelHost {
  TagList TagEntries() override { return entries; }
  bool LogOptionOn() const override { return logOn; }
  void SetTagProgress(int value) override { progress.push_back(value); }
  void RepeatTagSearch() override { ++searches; }
  TagList entries;
  bool logOn = false;
  std::vector<int> progress;
  int searches = 0;
};

TagRecord Tag(const std::string& title, const std::string& artist, const std::string& album,
              const std::string& year, const std::string& comment, unsigned char genre) {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, title);
  SetFieldText(record.artist, artist);
  SetFieldText(record.album, album);
  SetFieldText(record.year, year);
  SetFieldText(record.comment, comment);
  record.genre = genre;
  return record;
}

std::string Audio() { return std::string(400, '\x55'); }

std::string WithTag(const TagRecord& record) {
  const TagBytes bytes = ToBytes(record);
  return Audio() + std::string(bytes.begin(), bytes.end());
}

class TagPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Unmarked(), WithTag(Tag("Drei", "D", "DA", "2001", "d", 2)));
    WriteFile(Tagged(), WithTag(Tag("Alt", "AltI", "AltA", "1999", "c", 17)));
    WriteFile(Untagged(), Audio());
    host_.entries = {{Unmarked(), false}, {Tagged(), true}, {Untagged(), true}};
  }

  std::string Unmarked() const { return temp_ / "Drei - X.mp3"; }
  std::string Tagged() const { return temp_ / "Artist - Title - Album.mp3"; }
  std::string Untagged() const { return temp_ / "Zwei - Lied.mp3"; }

  template <typename T>
  T* Find(const char* name) {
    T* widget = panel_.findChild<T*>(QLatin1String(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  std::string Text(const char* name) {
    if (auto* edit = panel_.findChild<QLineEdit*>(QLatin1String(name))) {
      return edit->text().toStdString();
    }
    return Find<QComboBox>(name)->currentText().toStdString();
  }
  void Type(const char* name, const QString& text) {
    if (auto* combo = panel_.findChild<QComboBox*>(QLatin1String(name))) {
      combo->setEditText(text);
    } else {
      Find<QLineEdit>(name)->setText(text);
    }
  }
  TagRecord Stored(const std::string& path) { return ReadTag(path, recorder_); }

  TempFolder temp_;
  Recorder recorder_;
  FakeHost host_;
  TagPanel panel_{recorder_, recorder_, host_};
};

TEST_F(TagPanelTest, ControlsCarryTheirNamesAndCaptions) {
  EXPECT_EQ(panel_.objectName(), "FrameMp3Tag");
  EXPECT_EQ(panel_.title(), "MP3 - Tag - Editor");
  EXPECT_TRUE(panel_.isHidden());
  EXPECT_EQ(Find<QPushButton>("CmdTagExit")->text(), "Ende");
  EXPECT_EQ(Find<QPushButton>("CmdEditTag")->text(), "Tag übernehmen");
  EXPECT_EQ(Find<QRadioButton>("OptAlleAus")->text(), "vorher");
  EXPECT_EQ(Find<QRadioButton>("OptKeineAus")->text(), "nachher");
  EXPECT_TRUE(Find<QRadioButton>("OptAlleAus")->isChecked());
  const std::pair<const char*, const char*> texts[] = {
      {"TxtSeparator", ""},       {"TxtTitel", "Titel"},         {"TxtInterpret", "Interpret"},
      {"TxtAlbum", "Album"},      {"TxtKommentar", "Kommentar"}, {"TxtJahr", "Jahr"},
      {"ComboGenreTyp", "Blues"}, {"ComboTitel", "1"},           {"ComboInterpret", "2"},
      {"ComboAlbum", "aus"},      {"ComboKommentar", "fest"},    {"ComboJahr", "aus"},
      {"ComboGenre", "aus"},
  };
  for (const auto& [name, text] : texts) EXPECT_EQ(Text(name), text) << name;
  for (const char* label :
       {"Separator", "Titel", "Interpret", "Album", "Kommentar", "Jahr", "Genre"}) {
    const std::string name = std::string("Lab") + label;
    EXPECT_EQ(Find<QLabel>(name.c_str())->text(), label);
  }
  for (const char* name : {"ComboTitel", "ComboInterpret", "ComboAlbum", "ComboKommentar",
                           "ComboJahr", "ComboGenre"}) {
    QComboBox* combo = Find<QComboBox>(name);
    ASSERT_EQ(combo->count(), 5) << name;
    EXPECT_EQ(combo->itemText(4), "3") << name;
  }
  QComboBox* genres = Find<QComboBox>("ComboGenreTyp");
  EXPECT_EQ(genres->count(), 116);
  EXPECT_EQ(genres->itemText(115), "Folklore");
}

TEST_F(TagPanelTest, TagRunWritesEveryMarkedFileAndRefreshesTheList) {
  const std::string unmarkedBefore = ReadFile(Unmarked());
  panel_.CmdTagEdit_Click();
  Type("TxtSeparator", " - ");
  Type("ComboAlbum", "3");
  Type("TxtKommentar", "Neu");
  host_.logOn = true;

  Find<QPushButton>("CmdEditTag")->click();

  EXPECT_TRUE(Find<QRadioButton>("OptKeineAus")->isChecked());
  EXPECT_EQ(Stored(Tagged()), Tag("Artist", "Title", "Album", "1999", "Neu", 17));
  EXPECT_EQ(Stored(Untagged()), Tag("Zwei", "Lied", "", "", "Neu", 0));
  EXPECT_EQ(ReadFile(Untagged()).size(), Audio().size() + kTagSize);
  EXPECT_EQ(ReadFile(Unmarked()), unmarkedBefore);
  EXPECT_EQ(host_.progress, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(host_.searches, 1);
  EXPECT_EQ(recorder_.log, (std::vector<std::string>{"--- Edit TAG ---", "File= " + Tagged(),
                                                     "--- Edit TAG ---", "File= " + Untagged()}));
  EXPECT_EQ(Text("TxtTitel"), "Zwei");  // the last file's values stay shown
  EXPECT_TRUE(panel_.tagEditorOpen());
  EXPECT_TRUE(recorder_.errors.empty());
}

}  // namespace
}  // namespace velmora::testing
