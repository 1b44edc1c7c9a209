// The tag editor without its widgets: the six value fields, the six
// source choosers, the before and after views, filling the fields for one
// file, and the tag run that writes a tag into every marked file of the found
// list: ID3 tags in MP3 files, the files' own tags in FLAC, Ogg Vorbis,
// Opus and M4A (by name). The window keeps its widgets in step with fields() and implements
// TagEditorHost; everything else happens here.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "engine/run_journal.h"
#include "tags/audio_tag.h"
#include "tags/id3v2_tag.h"
#include "tags/tag_record.h"

namespace velmora {

class TagFile;
struct TagBatch;

// One entry of the found list as the tag editor sees it.
struct TagListEntry {
  std::string path;
  bool marked = false;
};
using TagList = std::vector<TagListEntry>;

// The two views: `OptAlleAus` "vorher" shows the stored tag, `OptKeineAus`
// "nachher" the values that will be written.
enum class TagView { kBefore, kAfter };

// The items of each source chooser, in list order. Any other typed text acts
// like "fest".
inline constexpr std::array<const char*, 5> kTagSourceItems = {"aus", "fest", "1", "2", "3"};

// The texts of the panel's fields and choosers, named after their controls,
// with their texts at start.
struct TagEditorFields {
  std::string TxtSeparator;
  std::string TxtTitel = "Titel";
  std::string TxtInterpret = "Interpret";
  std::string TxtAlbum = "Album";
  std::string TxtKommentar = "Kommentar";
  std::string TxtJahr = "Jahr";
  std::string ComboGenreTyp = "Blues";

  std::string ComboTitel = "1";
  std::string ComboInterpret = "2";
  std::string ComboAlbum = "aus";
  std::string ComboKommentar = "fest";
  std::string ComboJahr = "aus";
  std::string ComboGenre = "aus";
};

// What the panel shows beside the fields about the shown file's two tags.
// Before: whether it has an ID3v2 tag, and its values where they differ from
// the ID3v1 record. After: per field the ID3v1 value as it will be stored
// (cut, "?" for what Windows-1252 lacks) and the full ID3v2 value where that
// differs. Fields in Id3v2Field order; all empty while ID3v2 is "nie".
// For a FLAC, Ogg, Opus or M4A file tag names the file's format and its tag
// in both views, and the fields stay empty: the values are written in full.
struct TagEditorNotes {
  std::string tag;
  std::array<std::string, kId3Fields> fields;
};

// What the tag editor needs from the main window.
class TagEditorHost {
 public:
  virtual ~TagEditorHost() = default;
  // The fields changed: show them now (the run calls this once per file).
  virtual void ShowTagValues() = 0;
  // Sets the progress bar; its maximum is the found list's count.
  virtual void SetProgress(int value) = 0;
  // Refreshes the found list: the search button pressed twice.
  virtual void RepeatSearch() = 0;
};

// The record the tag run writes from the fields: title, artist, album and
// comment cut to 30 characters, year to 4, padded with blanks; marker "TAG";
// genre GenreIndex(ComboGenreTyp).
TagRecord BuildTagRecord(const TagEditorFields& fields);

class TagEditor {
 public:
  // The files are read and written through disk.
  TagEditor(FileSystem& disk, ErrorReporter& reporter, LogWriter& log, TagEditorHost& host);
  ~TagEditor();
  TagEditor(const TagEditor&) = delete;
  TagEditor& operator=(const TagEditor&) = delete;

  TagEditorFields& fields() { return fields_; }
  [[nodiscard]] const TagEditorFields& fields() const { return fields_; }
  [[nodiscard]] TagView view() const { return view_; }
  [[nodiscard]] bool tagEditorOpen() const { return tagEditorOpen_; }
  // "ID3v2 schreiben"; kAuto at start.
  [[nodiscard]] Id3v2Mode id3v2Mode() const { return id3v2Mode_; }
  void SetId3v2Mode(Id3v2Mode mode) { id3v2Mode_ = mode; }
  // Told before and after each tag write (FileOp::kTag), so that it can be
  // taken back; null for none. An intent that fails ends the run.
  void SetJournal(RunJournal* journal) { journal_ = journal; }

  // The notes for the file shown last and the fields as they stand.
  [[nodiscard]] TagEditorNotes Notes() const;
  // What the run sets in the ID3v2 tag from the fields as they stand: every
  // field whose chooser is not "aus"; a year that is not 1 to 4 digits is
  // left as stored.
  [[nodiscard]] Id3v2Changes ChangesForId3v2() const;
  // What the run sets in the own tag of a FLAC, Ogg, Opus or M4A file: every
  // field whose chooser is not "aus", in full.
  [[nodiscard]] Id3v2Changes ChangesForAudioTag() const;

  // "Edit MP3-Tag": opens the panel and shows the first marked entry.
  void CmdTagEdit_Click(const TagList& list);
  // "Ende": closes the panel.
  void CmdTagExit_Click();
  // The view options: select the view; while the panel is open, show the
  // first marked entry.
  void OptAlleAus_Click(const TagList& list);
  void OptKeineAus_Click(const TagList& list);
  // A click into the found list: while the panel is open, show the first
  // marked entry.
  void OnFoundListClick(const TagList& list);

  // Fills the fields for the first marked entry; false (fields unchanged)
  // when nothing is marked.
  bool ShowFirstMarked(const TagList& list);

  // Fills the fields for the file at path according to the view. A failure
  // other than reading the tag is reported at Location::kFillTagEditor; the fields then
  // keep what they held.
  void FillTagEditor(const std::string& path);

  // "Tag übernehmen": switches to the after view, then fills the fields for
  // each marked entry in list order and writes them as its tag; logs two
  // lines per file when logFile is on; refreshes the found list at the end.
  // Failing files are reported and skipped; a failure of the run itself is
  // reported at Location::kTagRun and ends the run without refresh.
  void CmdEditTag_Click(const TagList& list, bool logFile);

 private:
  void SelectView(TagView view, const TagList& list);
  void FillFromFile(const std::string& path, TagFile& file);
  void FillFromAudioTag(const std::string& path, TagFile& file);
  // Plans the write of one file; false when it failed (then failed is set)
  // or there is nothing to write (a failure is reported).
  bool PlanOne(const std::string& path, TagFile& file, TagEdits& edits, bool* failed = nullptr);
  [[nodiscard]] TagEditorNotes AudioTagNotes() const;
  // Plans, journals and writes the tag of one file; false ends the run (the
  // journal failed).
  bool WriteOne(const std::string& path);
  // Journals and writes the planned edits of one file; false ends the run.
  bool WritePlanned(const std::string& path, TagFile& file, const TagEdits& edits,
                    const std::string& payload);
  // Plans and writes the next batch of list from index from on, which it
  // moves past the batch; false ends the run.
  bool WriteNextBatch(const TagList& list, std::size_t& from, std::string& current);
  // Fills the fields for and plans the marked files of list from index from
  // on, at most kTagBatchFiles, each open; returns the index where the batch
  // ends. The host is told nothing yet.
  std::size_t PlanBatch(const TagList& list, std::size_t from, TagBatch& batch,
                        std::string& current);
  // Tells the journal the batch's writes, then walks list [from, end) as the
  // run does one file at a time, with the fields each file was planned with.
  bool WriteBatch(const TagList& list, std::size_t from, std::size_t end, TagBatch& batch,
                  std::string& current);
  // The fields were filled for a file: the host shows them, unless held.
  void Shown();

  FileSystem& disk_;
  ErrorReporter& reporter_;
  LogWriter& log_;
  TagEditorHost& host_;
  TagEditorFields fields_;
  TagView view_ = TagView::kBefore;
  bool tagEditorOpen_ = false;
  Id3v2Mode id3v2Mode_ = Id3v2Mode::kAuto;
  RunJournal* journal_ = nullptr;
  bool holdShown_ = false;  // planning ahead: the host hears of it later
  bool shownHeld_ = false;
  // The file shown last: its record and ID3v2 tag.
  std::string shownPath_;
  TagRecord shownRecord_;
  std::optional<Id3v2Values> shownId3v2_;
  std::optional<AudioTagValues> shownAudio_;  // FLAC, Ogg, Opus and M4A
  std::unique_ptr<TagBatch> batch_;           // kept from batch to batch for its room
};

}  // namespace velmora
