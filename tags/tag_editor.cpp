#include "tags/tag_editor.h"

#include <exception>
#include <new>

#include "tags/file_name_parts.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "engine/user_text.h"

namespace velmora {
namespace {

constexpr int kFillLocation = 24;
constexpr int kRunLocation = 25;
constexpr const char* kFillContext = VELMORA_TEXT("velmora", "Fehler beim Auslesen des Tag's");
constexpr const char* kRunContext = VELMORA_TEXT("velmora", "Fehler beim Schreiben des Tag's");

// A value field takes the stored text ("aus") or a file-name part ("1".."3");
// "fest" and any other chooser text leave the typed value as it is.
void ApplySource(std::string& value, const std::string& chooser, const std::string& stored,
                 const FileNameParts& parts) {
  if (chooser == "aus") {
    value = stored;
  } else if (chooser == "1") {
    value = parts.part1;
  } else if (chooser == "2") {
    value = parts.part2;
  } else if (chooser == "3") {
    value = parts.part3;
  }
}

// Anything unexpected thrown inside (out of memory, a host callback) becomes
// an error value here, so that nothing crosses into the window.
Error ErrorFromException() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    return Error{7, "out of memory"};
  } catch (const std::exception& e) {
    return Error{51, e.what()};
  } catch (...) {
    return Error{51, "unknown failure"};
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

TagEditor::TagEditor(ErrorReporter& reporter, LogWriter& log, TagEditorHost& host)
    : reporter_(reporter), log_(log), host_(host) {}

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
  TagFile file(path, false);
  FillFromFile(path, file);
}

void TagEditor::FillFromFile(const std::string& path, TagFile& file) {
  try {
    const TagRecord record = file.Read(reporter_);
    TagEditorFields& f = fields_;
    if (view_ == TagView::kBefore) {
      f.TxtTitel = FieldText(record.title);
      f.TxtInterpret = FieldText(record.artist);
      f.TxtAlbum = FieldText(record.album);
      f.TxtKommentar = FieldText(record.comment);
      f.TxtJahr = FieldText(record.year);
      f.ComboGenreTyp = GenreNames()[record.genre];
    } else {
      Error error;
      const FileNameParts parts = SplitFileNameParts(path, f.TxtSeparator, &error);
      if (error) {
        reporter_.ReportError(kFillLocation, error.number, kFillContext, path, error.description);
        return;
      }
      ApplySource(f.TxtTitel, f.ComboTitel, FieldText(record.title), parts);
      ApplySource(f.TxtInterpret, f.ComboInterpret, FieldText(record.artist), parts);
      ApplySource(f.TxtAlbum, f.ComboAlbum, FieldText(record.album), parts);
      ApplySource(f.TxtKommentar, f.ComboKommentar, FieldText(record.comment), parts);
      ApplySource(f.TxtJahr, f.ComboJahr, FieldText(record.year), parts);
      if (f.ComboGenre == "aus") f.ComboGenreTyp = GenreNames()[record.genre];
    }
    host_.ShowTagValues();
  } catch (...) {
    const Error error = ErrorFromException();
    reporter_.ReportError(kFillLocation, error.number, kFillContext, path, error.description);
  }
}

void TagEditor::CmdEditTag_Click(const TagList& list, bool logFile) {
  std::string current;
  try {
    host_.SetProgress(0);
    SelectView(TagView::kAfter, list);
    for (std::size_t i = 0; i < list.size(); ++i) {
      current = list[i].path;
      host_.SetProgress(static_cast<int>(i + 1));
      if (!list[i].marked) continue;
      if (logFile) {
        log_.WriteLog("--- Edit TAG ---", 0);
        log_.WriteLog("File= " + current, 0);
      }
      // One open per file for reading the old tag and writing the new one.
      TagFile file(current, true);
      FillFromFile(current, file);
      file.Write(BuildTagRecord(fields_), reporter_);
    }
  } catch (...) {
    const Error error = ErrorFromException();
    reporter_.ReportError(kRunLocation, error.number, kRunContext, current, error.description);
    return;
  }
  host_.RepeatSearch();
}

}  // namespace velmora
