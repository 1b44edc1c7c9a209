#include "tags/tag_editor.h"

#include <exception>
#include <new>

#include "engine/error_numbers.h"
#include "engine/report_contexts.h"
#include "engine/user_text.h"
#include "tags/file_name_parts.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "tags/tag_undo.h"

namespace velmora {
namespace {

constexpr const char* kFillContext = VELMORA_TEXT("velmora", "Fehler beim Auslesen des Tag's");

// Compared as views: no length count of the word per file.
bool Is(const std::string& text, std::string_view word) { return std::string_view(text) == word; }

// A value field takes the stored text ("aus") or a file-name part ("1".."3");
// "fest" and any other chooser text leave the typed value as it is. The
// stored text is made only when taken, straight into the field.
template <typename Stored>
void ApplySource(std::string& value, const std::string& chooser, const Stored& stored,
                 const FileNamePartViews& parts) {
  if (Is(chooser, "aus")) {
    stored(value);
  } else if (Is(chooser, "1")) {
    value.assign(parts.part1);
  } else if (Is(chooser, "2")) {
    value.assign(parts.part2);
  } else if (Is(chooser, "3")) {
    value.assign(parts.part3);
  }
}

// The value fields and choosers in Id3v2Field order; the genre's value is
// ComboGenreTyp.
using TextMember = std::string TagEditorFields::*;
constexpr TextMember kValueOf[kId3Fields] = {
    &TagEditorFields::TxtTitel, &TagEditorFields::TxtInterpret,
    &TagEditorFields::TxtAlbum, &TagEditorFields::TxtKommentar,
    &TagEditorFields::TxtJahr,  &TagEditorFields::ComboGenreTyp};
constexpr TextMember kChooserOf[kId3Fields] = {
    &TagEditorFields::ComboTitel, &TagEditorFields::ComboInterpret,
    &TagEditorFields::ComboAlbum, &TagEditorFields::ComboKommentar,
    &TagEditorFields::ComboJahr,  &TagEditorFields::ComboGenre};

std::string TrimRight(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

std::array<std::string, kId3Fields> RecordValues(const TagRecord& record) {
  return {FieldText(record.title),   FieldText(record.artist), FieldText(record.album),
          FieldText(record.comment), FieldText(record.year),   GenreText(record)};
}

// The value "aus" takes for field i, into value: the ID3v1 record's or, in
// a file with only an ID3v2 tag, that tag's (the record gets them cut and
// converted).
void StoredValue(const TagRecord& record, const std::optional<Id3v2Values>& id3v2, int i,
                 std::string& value) {
  if (!HasTagMarker(record.tag) && id3v2) {
    value = id3v2->fields[static_cast<std::size_t>(i)];
    return;
  }
  switch (i) {
    case kId3Title:
      return AssignFieldText(value, record.title);
    case kId3Artist:
      return AssignFieldText(value, record.artist);
    case kId3Album:
      return AssignFieldText(value, record.album);
    case kId3Comment:
      return AssignFieldText(value, record.comment);
    case kId3Year:
      return AssignFieldText(value, record.year);
    default:
      value = GenreText(record);
  }
}

// The values shown after the write: each field from its chooser over
// stored(i, value); false, reported, when the file name cannot be split.
template <typename Stored>
bool ApplyChoosers(TagEditorFields& f, const std::string& path, const Stored& stored,
                   ErrorReporter& reporter) {
  FileNamePartViews parts;
  if (!SplitFileNamePartViews(path, f.TxtSeparator, parts)) {
    const Error error = InvalidArgumentError();
    reporter.ReportError(Location::kFillTagEditor, error.number, kFillContext, path,
                         error.description);
    return false;
  }
  for (int i = 0; i < kId3Genre; ++i) {
    ApplySource(
        f.*kValueOf[i], f.*kChooserOf[i], [&stored, i](std::string& value) { stored(i, value); },
        parts);
  }
  if (Is(f.ComboGenre, "aus")) stored(kId3Genre, f.ComboGenreTyp);
  return true;
}

// Anything unexpected thrown inside (out of memory, a host callback) becomes
// an error value here, so that nothing crosses into the window.
Error ErrorFromException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return Error{kOutOfMemory, "out of memory"};
  } catch (const std::exception& e) {
    return Error{kInternalError, e.what()};
  } catch (...) {
    return Error{kInternalError, "unknown failure"};
  }
}

}  // namespace

TagRecord BuildTagRecord(const TagEditorFields& fields) {
  TagRecord record;
  record.tag = {'T', 'A', 'G'};
  SetFieldText(record.title, fields.TxtTitel);
  SetFieldText(record.artist, fields.TxtInterpret);
  SetFieldText(record.album, fields.TxtAlbum);
  SetFieldText(record.year, fields.TxtJahr);
  SetFieldText(record.comment, fields.TxtKommentar);
  record.genre = static_cast<unsigned char>(GenreIndex(fields.ComboGenreTyp));
  return record;
}

void TagEditor::CmdTagEdit_Click(const TagList& list) {
  tagEditorOpen_ = true;
  ShowFirstMarked(list);
}

void TagEditor::CmdTagExit_Click() { tagEditorOpen_ = false; }

void TagEditor::OptAlleAus_Click(const TagList& list) {
  view_ = TagView::kBefore;
  if (tagEditorOpen_) ShowFirstMarked(list);
}

void TagEditor::OptKeineAus_Click(const TagList& list) {
  view_ = TagView::kAfter;
  if (tagEditorOpen_) ShowFirstMarked(list);
}

void TagEditor::OnFoundListClick(const TagList& list) {
  if (tagEditorOpen_) ShowFirstMarked(list);
}

bool TagEditor::ShowFirstMarked(const TagList& list) {
  for (const TagListEntry& entry : list) {
    if (entry.marked) {
      FillTagEditor(entry.path);
      return true;
    }
  }
  return false;
}

void TagEditor::SelectView(TagView view, const TagList& list) {
  if (view_ == view) return;
  view_ = view;
  if (tagEditorOpen_) ShowFirstMarked(list);
}

void TagEditor::FillTagEditor(const std::string& path) {
  TagFile file(disk_, path, false);
  FillFromFile(path, file);
}

void TagEditor::FillFromFile(const std::string& path, TagFile& file) {
  try {
    shownPath_ = path;
    shownId3v2_.reset();
    shownAudio_.reset();
    if (HasOwnTagName(path)) return FillFromAudioTag(path, file);
    const TagRecord record = file.Read(reporter_);
    shownRecord_ = record;
    if (id3v2Mode_ != Id3v2Mode::kNever) shownId3v2_ = file.ReadId3v2(reporter_);
    TagEditorFields& f = fields_;
    if (view_ == TagView::kBefore) {
      f.TxtTitel = FieldText(record.title);
      f.TxtInterpret = FieldText(record.artist);
      f.TxtAlbum = FieldText(record.album);
      f.TxtKommentar = FieldText(record.comment);
      f.TxtJahr = FieldText(record.year);
      f.ComboGenreTyp = GenreText(record);
    } else if (!ApplyChoosers(
                   f, path,
                   [&](int i, std::string& value) { StoredValue(record, shownId3v2_, i, value); },
                   reporter_)) {
      return;
    }
    Shown();
  } catch (...) {
    const Error error = ErrorFromException();
    reporter_.ReportError(Location::kFillTagEditor, error.number, kFillContext, path,
                          error.description);
  }
}

// The own tag's values; a file that cannot be read keeps the fields.
void TagEditor::FillFromAudioTag(const std::string& path, TagFile& file) {
  shownAudio_ = file.ReadAudioTag(reporter_);
  if (!shownAudio_) return;
  TagEditorFields& f = fields_;
  const std::array<std::string, kId3Fields>& stored = shownAudio_->fields;
  if (view_ == TagView::kBefore) {
    for (int i = 0; i < kId3Fields; ++i) f.*kValueOf[i] = stored[i];
  } else if (!ApplyChoosers(
                 f, path,
                 [&stored](int i, std::string& value) {
                   value = stored[static_cast<std::size_t>(i)];
                 },
                 reporter_)) {
    return;
  }
  Shown();
}

void TagEditor::Shown() {
  if (holdShown_) {
    shownHeld_ = true;
  } else {
    host_.ShowTagValues();
  }
}

void TagEditor::CmdEditTag_Click(const TagList& list, bool logFile) {
  std::string current;
  try {
    host_.SetProgress(0);
    SelectView(TagView::kAfter, list);
    for (std::size_t i = 0; i < list.size();) {
      if (!logFile) {
        // Read ahead, so that the journal takes a batch's intents in one write.
        if (!WriteNextBatch(list, i, current)) break;
        continue;
      }
      // With the log on, a file's lines stay beside its failures: one at a time.
      current = list[i].path;
      host_.SetProgress(static_cast<int>(i + 1));
      if (list[i].marked) {
        log_.WriteLog("--- Edit TAG ---", Location::kNone);
        log_.WriteLog("File= " + current, Location::kNone);
        if (!WriteOne(current)) break;
      }
      ++i;
    }
  } catch (...) {
    const Error error = ErrorFromException();
    reporter_.ReportError(Location::kTagRun, error.number, kTagWriteContext, current,
                          error.description);
    if (journal_ != nullptr) journal_->Finished();
    return;
  }
  if (journal_ != nullptr) journal_->Finished();
  host_.RepeatSearch();
}

bool TagEditor::WriteOne(const std::string& path) {
  // One open per file for reading the old tag and writing the new one.
  TagFile file(disk_, path, true);
  FillFromFile(path, file);
  TagEdits edits;
  if (!PlanOne(path, file, edits)) return true;
  return WritePlanned(path, file, edits, PackTagEdits(edits));
}

bool TagEditor::WritePlanned(const std::string& path, TagFile& file, const TagEdits& edits,
                             const std::string& payload) {
  // The journal holds the write's edits before the file changes.
  if (journal_ != nullptr &&
      journal_->Intent(FileOp::kTag, path, path, &file.stamp().identity, payload)) {
    return false;
  }
  // A failed write leaves the file as it was.
  if (const Error error = file.Apply(edits)) {
    file.Report(error, reporter_);
    if (journal_ != nullptr) journal_->Abandoned(FileOp::kTag, path, path);
    return true;
  }
  if (journal_ == nullptr) return true;
  const FileIdentity* written = file.Written();
  return !(written != nullptr ? journal_->DoneAs(FileOp::kTag, path, path, *written)
                              : journal_->Done(FileOp::kTag, path, path));
}

bool TagEditor::PlanOne(const std::string& path, TagFile& file, TagEdits& edits, bool* failed) {
  Error error;
  if (HasOwnTagName(path)) {
    if (!shownAudio_) return false;  // reported when it was read
    error = file.PlanAudioTag(ChangesForAudioTag(), edits);
    if (!error && edits.edits.empty()) return false;
  } else {
    TagRecord record = BuildTagRecord(fields_);
    KeepTrackNumber(shownRecord_, fields_.TxtKommentar, record);
    const Id3v2Changes changes =
        id3v2Mode_ == Id3v2Mode::kNever ? Id3v2Changes() : ChangesForId3v2();
    error = file.Plan(record, changes, id3v2Mode_, edits);
  }
  if (error) file.Report(error, reporter_);
  if (failed != nullptr) *failed = static_cast<bool>(error);
  return !error;
}

Id3v2Changes TagEditor::ChangesForAudioTag() const {
  Id3v2Changes changes;
  for (int i = 0; i < kId3Fields; ++i) {
    if (fields_.*kChooserOf[i] != "aus") changes[i] = fields_.*kValueOf[i];
  }
  return changes;
}

Id3v2Changes TagEditor::ChangesForId3v2() const {
  Id3v2Changes changes;
  for (int i = 0; i < kId3Fields; ++i) {
    if (fields_.*kChooserOf[i] != "aus") changes[i] = fields_.*kValueOf[i];
  }
  if (changes[kId3Year] && !IsId3v2Year(*changes[kId3Year])) changes[kId3Year].reset();
  return changes;
}

TagEditorNotes TagEditor::AudioTagNotes() const {
  // In AudioFormat order from kFlac on.
  constexpr const char* kBefore[] = {VELMORA_TEXT("velmora", "FLAC-Datei, Vorbis-Kommentar"),
                                     VELMORA_TEXT("velmora", "Ogg-Vorbis-Datei, Vorbis-Kommentar"),
                                     VELMORA_TEXT("velmora", "Opus-Datei, Vorbis-Kommentar"),
                                     VELMORA_TEXT("velmora", "M4A-Datei, MP4-Tag")};
  constexpr const char* kAfter[] = {
      VELMORA_TEXT("velmora", "FLAC-Datei: Vorbis-Kommentar wird geschrieben"),
      VELMORA_TEXT("velmora", "Ogg-Vorbis-Datei: Vorbis-Kommentar wird geschrieben"),
      VELMORA_TEXT("velmora", "Opus-Datei: Vorbis-Kommentar wird geschrieben"),
      VELMORA_TEXT("velmora", "M4A-Datei: MP4-Tag wird geschrieben")};
  const AudioFormat format = shownAudio_
                                 ? shownAudio_->format
                                 : AudioFormatOfName(shownPath_).value_or(AudioFormat::kFlac);
  const int index = static_cast<int>(format) - static_cast<int>(AudioFormat::kFlac);
  TagEditorNotes notes;
  notes.tag = (view_ == TagView::kBefore ? kBefore : kAfter)[index];
  return notes;
}

TagEditorNotes TagEditor::Notes() const {
  if (HasOwnTagName(shownPath_)) return AudioTagNotes();
  TagEditorNotes notes;
  if (id3v2Mode_ == Id3v2Mode::kNever || shownPath_.empty()) return notes;
  const std::optional<Id3v2Values>& stored = shownId3v2_;
  if (view_ == TagView::kBefore) {
    notes.tag = stored ? "ID3v2." + stored->version.substr(2) + "-Tag"
                       : VELMORA_TEXT("velmora", "kein ID3v2-Tag");
    if (!stored) return notes;
    for (int i = 0; i < kId3Fields; ++i) {
      const std::string& value = stored->fields[i];
      if (value != TrimRight(fields_.*kValueOf[i])) notes.fields[i] = "ID3v2: " + value;
    }
    return notes;
  }
  const bool create = !stored && id3v2Mode_ == Id3v2Mode::kAlways && IsMp3Name(shownPath_);
  if (stored) {
    notes.tag = "ID3v2." + stored->version.substr(2) + "-Tag wird mitgeschrieben";
    if (stored->version == "2.2") notes.tag += " (als 2.3)";
  } else if (create) {
    notes.tag = "ID3v2.4-Tag wird angelegt";
  }
  const TagRecord record = BuildTagRecord(fields_);
  std::array<std::string, kId3Fields> id3v1 = RecordValues(record);
  const Id3v2Changes changes = ChangesForId3v2();
  for (int i = 0; i < kId3Fields; ++i) {
    const std::string cut = TrimRight(id3v1[i]);
    notes.fields[i] = "ID3v1: " + cut;
    const bool written = (stored || create) && changes[i].has_value();
    if (written && *changes[i] != cut) notes.fields[i] += "   ID3v2: " + *changes[i];
  }
  return notes;
}

}  // namespace velmora
