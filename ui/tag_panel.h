// The tag editor panel `FrameMp3Tag` ("MP3 - Tag - Editor"): the six value
// fields with their source choosers, the separator, the before and after
// views and "Tag übernehmen". It only mirrors its widgets into the TagEditor
// and back; the editor decides what is shown and written.
#pragma once

#include <QGroupBox>
#include <array>

#include "tags/tag_editor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

namespace velmora {

class SettingsStore;

// The settings key of "ID3v2 schreiben": "auto", "always" or "never".
inline constexpr char kKeyId3v2[] = "Id3v2";

// What the panel needs from the main window.
class TagPanelHost {
 public:
  virtual ~TagPanelHost() = default;
  // The found list with its marks, in list order.
  virtual TagList TagEntries() = 0;
  // True while the menu option "Logfile" carries its check mark.
  [[nodiscard]] virtual bool LogOptionOn() const = 0;
  // Sets the progress bar; its maximum is the found list's count.
  virtual void SetTagProgress(int value) = 0;
  // Refreshes the found list: the search button pressed twice.
  virtual void RepeatTagSearch() = 0;
  // Opens the searched folder for the writes, false (reported) when it was
  // replaced since the search; the writes then never go there.
  virtual bool PinTagFolders() { return true; }
  virtual void UnpinTagFolders() {}
};

class TagPanel : public QGroupBox, private TagEditorHost {
  Q_OBJECT

 public:
  TagPanel(FileSystem& disk, ErrorReporter& reporter, LogWriter& log, TagPanelHost& host,
           QWidget* parent = nullptr);

  // "Edit MP3-Tag": opens the panel on the first marked entry; emits opened.
  void CmdTagEdit_Click();
  // "Ende": closes the panel; emits closed.
  void CmdTagExit_Click();
  void OptAlleAus_Click();
  void OptKeineAus_Click();
  // "Tag übernehmen": the tag run over all marked entries.
  void CmdEditTag_Click();
  // A click into the found list: while open, shows the first marked entry.
  void OnFoundListClick();

  // Adds the submenu "ID3v2 schreiben" ("wenn vorhanden", "immer", "nie")
  // to menu, set from and stored in settings.
  void AddId3v2Menu(QMenu* menu, SettingsStore& settings);
  void SetId3v2Mode(Id3v2Mode mode);

  [[nodiscard]] bool tagEditorOpen() const { return editor_.tagEditorOpen(); }
  [[nodiscard]] const TagEditor& editor() const { return editor_; }
  void SetJournal(RunJournal* journal) { editor_.SetJournal(journal); }

 signals:
  void opened();
  void closed();

 private:
  // TagEditorHost.
  void ShowTagValues() override;
  void SetProgress(int value) override;
  void RepeatSearch() override;

  // The captions, fields, source choosers and notes in their grid.
  void LayOutFields();
  void ReadWidgets();
  void WriteWidgets();
  void ShowNotes();

  TagPanelHost& host_;
  TagEditor editor_;

  QLineEdit* txtSeparator_;
  QLineEdit* txtTitel_;
  QLineEdit* txtInterpret_;
  QLineEdit* txtAlbum_;
  QLineEdit* txtKommentar_;
  QLineEdit* txtJahr_;
  QComboBox* comboGenreTyp_;
  QComboBox* comboTitel_;
  QComboBox* comboInterpret_;
  QComboBox* comboAlbum_;
  QComboBox* comboKommentar_;
  QComboBox* comboJahr_;
  QComboBox* comboGenre_;
  QRadioButton* optAlleAus_;
  QRadioButton* optKeineAus_;
  QPushButton* cmdEditTag_;
  QPushButton* cmdTagExit_;
  QLabel* labId3v2_;
  std::array<QLabel*, kId3Fields> notes_{};
};

}  // namespace velmora
