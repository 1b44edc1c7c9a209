#include "cli/tag_commands.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <nlohmann/json.hpp>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "cli/console.h"
#include "cli/folder_search.h"
#include "cli/journal_undo.h"
#include "cli/run_summary.h"
#include "cli/tag_dry_run.h"
#include "engine/path.h"
#include "search/search_command.h"
#include "services/journal.h"
#include "services/language.h"
#include "services/posix_file_system.h"
#include "tags/audio_format.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "tags/tag_record.h"

namespace velmora::cli {
namespace {

constexpr const char* kFieldOption[kTagFieldCount] = {"--title",   "--artist", "--album",
                                                      "--comment", "--year",   "--genre"};

// The chooser and the value field of each text field, in TagField order.
struct FieldControls {
  std::string TagEditorFields::*combo;
  std::string TagEditorFields::*text;
};
constexpr FieldControls kControls[kTagGenre] = {
    {&TagEditorFields::ComboTitel, &TagEditorFields::TxtTitel},
    {&TagEditorFields::ComboInterpret, &TagEditorFields::TxtInterpret},
    {&TagEditorFields::ComboAlbum, &TagEditorFields::TxtAlbum},
    {&TagEditorFields::ComboKommentar, &TagEditorFields::TxtKommentar},
    {&TagEditorFields::ComboJahr, &TagEditorFields::TxtJahr},
};

bool IsGenreName(const std::string& name) {
  for (int i = 0; i < kNamedGenreCount; ++i) {
    if (GenreNames()[static_cast<std::size_t>(i)] == name) return true;
  }
  return false;
}

// Appends a record field's text without its trailing blanks.
void AppendFieldText(std::string& line, std::span<const char> field) {
  std::size_t length =
      static_cast<std::size_t>(std::find(field.begin(), field.end(), '\0') - field.begin());
  while (length > 0 && field[length - 1] == ' ') --length;
  const std::span<const char> text = field.first(length);
  // Plain ASCII reads the same in Windows-1252 and UTF-8.
  if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) {
    line.append(text.data(), text.size());
  } else {
    line.append(FieldText(text));
  }
}

// Appends what a record field written from text shows: cut to the field's
// width, up to a NUL, without trailing blanks. Only the bytes up to the cut
// or the NUL matter: plain ASCII there needs no record.
void AppendWrittenText(std::string& line, const std::string& text, std::size_t width) {
  const std::size_t cut = std::min(text.size(), width);
  std::size_t length = 0;
  for (; length < cut && text[length] != '\0'; ++length) {
    if ((text[length] & 0x80) != 0) {
      std::string field(width, ' ');
      SetFieldText(field, text);
      AppendFieldText(line, field);
      return;
    }
  }
  while (length > 0 && text[length - 1] == ' ') --length;
  line.append(text.data(), length);
}

// Shows what each file gets, once its tag was written without a failure:
// the line of a file is held until the run moves on to the next one.
class TagPrinter : public TagEditorHost {
 public:
  TagPrinter(const TagList& list, const Reporting& reporting) : list_(list), reporting_(reporting) {
    progress_.SetMaximum(static_cast<int>(list.size()));
  }

  // The editor's fields, read when a file's values are shown.
  void Watch(const TagEditorFields& fields) { fields_ = &fields; }

  void ShowTagValues() override {
    if (fields_ == nullptr || index_ < 0 || index_ >= static_cast<int>(list_.size())) return;
    const std::string& path = list_[static_cast<std::size_t>(index_)].path;
    // Built in place, in a buffer kept from file to file.
    std::string& line = pending_;
    line.clear();
    line.reserve(path.size() + 160);
    line.append(path).push_back(':');
    if (HasOwnTagName(path)) {
      // Written in full: the fields as they stand.
      const TagEditorFields& f = *fields_;
      for (const std::string* text :
           {&f.TxtTitel, &f.TxtInterpret, &f.TxtAlbum, &f.TxtJahr, &f.TxtKommentar}) {
        line.push_back(' ');
        line.append(*text).append(" |", 2);
      }
      line.push_back(' ');
      line.append(f.ComboGenreTyp);
    } else {
      // As the record shows them, without building it.
      const TagEditorFields& f = *fields_;
      const TagRecord shape;
      for (const auto& [text, width] :
           {std::pair{&f.TxtTitel, shape.title.size()},
            std::pair{&f.TxtInterpret, shape.artist.size()},
            std::pair{&f.TxtAlbum, shape.album.size()}, std::pair{&f.TxtJahr, shape.year.size()},
            std::pair{&f.TxtKommentar, shape.comment.size()}}) {
        line.push_back(' ');
        AppendWrittenText(line, *text, width);
        line.append(" |", 2);
      }
      line.push_back(' ');
      line.append(GenreText(static_cast<unsigned char>(GenreIndex(f.ComboGenreTyp))));
    }
    failuresBefore_ = reporting_.Failures();
    hasPending_ = true;
  }
  void SetProgress(int value) override {
    Flush();
    index_ = value - 1;
    progress_.SetValue(value);
  }
  void RepeatSearch() override { Flush(); }

  void Flush() {
    if (hasPending_ && reporting_.Failures() == failuresBefore_) {
      // Buffered as the steps of a rename are: in blocks into a pipe.
      pending_ += '\n';
      std::fwrite(pending_.data(), 1, pending_.size(), stdout);
      ++written_;
    }
    hasPending_ = false;
  }

  // Files neither written nor failed count as left out.
  void PrintSummary() {
    progress_.Clear();
    const int failures = reporting_.Failures();
    const int skipped = static_cast<int>(list_.size()) - written_ - failures;
    PrintRunSummary(SummaryKind::kTagged, written_, failures, skipped > 0 ? skipped : 0);
  }

 private:
  const TagList& list_;
  const Reporting& reporting_;
  const TagEditorFields* fields_ = nullptr;
  int index_ = -1;
  std::string pending_;  // the line of the file shown last
  bool hasPending_ = false;
  int failuresBefore_ = 0;
  int written_ = 0;
  ProgressLine progress_;
};

void PrintTagText(const std::string& path, const TagRecord& record, bool tagged) {
  // No genre (255, or no tag at all) shows as nothing, not as a number.
  const std::string& name = GenreText(record);
  const std::string genre = name.empty() ? "" : name + " (" + std::to_string(record.genre) + ")";
  std::printf(
      "%s\n  Tag:       %s\n  Titel:     %s\n  Interpret: %s\n  Album:     %s\n"
      "  Jahr:      %s\n  Kommentar: %s\n  Genre:     %s\n",
      path.c_str(), tagged ? "ja" : "nein", FieldText(record.title).c_str(),
      FieldText(record.artist).c_str(), FieldText(record.album).c_str(),
      FieldText(record.year).c_str(), FieldText(record.comment).c_str(), genre.c_str());
}

void PrintTagJson(const std::string& path, const TagRecord& record, bool tagged,
                  const std::optional<Id3v2Values>& id3v2) {
  nlohmann::ordered_json object;
  object["file"] = path;
  object["tag"] = tagged;
  object["title"] = FieldText(record.title);
  object["artist"] = FieldText(record.artist);
  object["album"] = FieldText(record.album);
  object["year"] = FieldText(record.year);
  object["comment"] = FieldText(record.comment);
  object["genre"] = static_cast<int>(record.genre);
  object["genreName"] = GenreText(record);
  object["id3v2"] = nullptr;
  if (id3v2) {
    nlohmann::ordered_json tag;
    tag["version"] = id3v2->version;
    const char* names[kId3Fields] = {"title", "artist", "album", "comment", "year", "genre"};
    for (const int field : {kId3Title, kId3Artist, kId3Album, kId3Year, kId3Comment, kId3Genre}) {
      tag[names[field]] = id3v2->fields[static_cast<std::size_t>(field)];
    }
    tag["track"] = id3v2->track;
    object["id3v2"] = tag;
  }
  // A file name need not be valid UTF-8; such bytes become U+FFFD.
  const std::string line = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::printf("%s\n", line.c_str());
}

// The labels of read-tag's text, in Id3v2Field order.
constexpr const char* kLabels[kId3Fields] = {
    "Titel:    ", "Interpret:", "Album:    ", "Kommentar:", "Jahr:     ", "Genre:    "};

void PrintAudioTag(const std::string& path, const AudioTagValues& values, bool json) {
  if (!json) {
    std::printf("%s\n  Format:    %s\n", path.c_str(), AudioFormatName(values.format));
    for (const int field : {kId3Title, kId3Artist, kId3Album, kId3Year, kId3Comment, kId3Genre}) {
      std::printf("  %s %s\n", kLabels[field], values.fields[field].c_str());
    }
    return;
  }
  nlohmann::ordered_json object;
  object["file"] = path;
  object["format"] = AudioFormatName(values.format);
  const char* names[kId3Fields] = {"title", "artist", "album", "comment", "year", "genre"};
  for (const int field : {kId3Title, kId3Artist, kId3Album, kId3Year, kId3Comment, kId3Genre}) {
    object[names[field]] = values.fields[field];
  }
  const std::string line = object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::printf("%s\n", line.c_str());
}

}  // namespace

bool ApplyTagSource(TagField field, const std::string& typed, TagEditorFields& fields) {
  // "off" is the English word for the chooser's "aus"; a fixed "=off" stays text.
  const std::string source = typed == "off" ? "aus" : typed;
  const bool fixed = !source.empty() && source.front() == '=';
  if (field == kTagGenre) {
    if (source == "aus") {
      fields.ComboGenre = "aus";
      return true;
    }
    if (!fixed || !IsGenreName(source.substr(1))) return false;
    fields.ComboGenre = "fest";
    fields.ComboGenreTyp = source.substr(1);
    return true;
  }
  const FieldControls& controls = kControls[field];
  if (fixed) {
    fields.*controls.combo = "fest";
    fields.*controls.text = source.substr(1);
    return true;
  }
  if (source != "aus" && source != "1" && source != "2" && source != "3") return false;
  fields.*controls.combo = source;
  return true;
}

// The fields the options choose, or nothing after a bad source was named.
std::optional<TagEditorFields> ChosenFields(const CliOptions& options) {
  TagEditorFields chosen;
  chosen.TxtSeparator = options.separator;
  for (int field = 0; field < kTagFieldCount; ++field) {
    const std::string& source = options.tagSource[static_cast<std::size_t>(field)];
    if (!ApplyTagSource(static_cast<TagField>(field), source, chosen)) {
      const char* text =
          field == kTagGenre
              ? VELMORA_TEXT("velmora",
                             "Ungültige Quelle für %1: %2 (aus oder =NAME aus der Genre-Liste)")
              : VELMORA_TEXT("velmora", "Ungültige Quelle für %1: %2 (aus, 1, 2, 3 oder =TEXT)");
      PrintProblem(WithArgs(Tr("velmora", text), {kFieldOption[field], source}));
      return std::nullopt;
    }
  }
  return chosen;
}

int TagMain(const CliOptions& options) {
  const std::optional<TagEditorFields> fields = ChosenFields(options);
  if (!fields) return kExitUsage;
  const TagEditorFields& chosen = *fields;
  const std::optional<std::vector<std::string>> folders = FolderArguments(options.folders);
  if (!folders) return kExitUsage;

  // A dry run leaves the disk alone, log file and journal included.
  Reporting reporting(/*withLogFile=*/!options.dryRun);
  TagList list;
  PosixFileSystem disk;
  std::vector<FoundEntry> found = SearchFolders(*folders, options.pattern, options.subdirs,
                                                OrderOption(options.order, options.reverse),
                                                /*markAll=*/true, reporting, &disk);
  // The found paths move over: no copy of each.
  list.reserve(found.size());
  for (FoundEntry& entry : found) list.push_back({std::move(entry.path), true});
  found.clear();
  for (const std::string& folder : *folders) {
    if (const Error error = disk.PinFolder(folder)) {
      reporting.reporter().ReportError(Location::kNone, error.number, kSearchErrorContext, folder,
                                       error.description);
      return kExitFailure;
    }
  }
  const Id3v2Mode mode = ParseId3v2Mode(options.id3v2).value_or(Id3v2Mode::kAuto);
  if (options.dryRun) {
    PrintTagPlan(list, chosen, mode, reporting);
    return reporting.AnyProblem() ? kExitFailure : kExitOk;
  }
  // Each write is journaled with the bytes it replaces, so undo takes it back.
  const std::string journalPath = JournalPathOf(options, /*forWriting=*/true);
  JournalFile journalFile(journalPath);
  JournalWriter journal(journalFile, reporting.reporter());
  if (const Error error = journal.Begin("tag")) {
    reporting.reporter().ReportError(Location::kNone, error.number, kJournalWriteContext,
                                     journalPath, error.description);
    return kExitUsage;
  }
  // No question comes between the writes: done records ride with the next
  // intent, and the lock is kept over a few milliseconds of writes.
  journal.DeferDoneRecords(true);
  journalFile.KeepLockBriefly(true);
  TagPrinter printer(list, reporting);
  TagEditor editor(disk, reporting.reporter(), reporting.log(), printer);
  editor.fields() = chosen;
  editor.SetId3v2Mode(mode);
  editor.SetJournal(&journal);
  printer.Watch(editor.fields());
  editor.CmdEditTag_Click(list, options.log);
  journal.End();
  printer.Flush();
  printer.PrintSummary();
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

int ReadTagMain(const CliOptions& options) {
  Reporting reporting;
  PosixFileSystem disk;
  for (const std::string& path : options.files) {
    const int before = reporting.Failures();
    TagFile file(disk, path, false);
    if (HasOwnTagName(path)) {
      const std::optional<AudioTagValues> values = file.ReadAudioTag(reporting.reporter());
      if (!values) continue;
      try {
        PrintAudioTag(path, *values, options.json);
      } catch (const std::exception& e) {
        PrintProblem(e.what());
        return kExitFailure;
      }
      continue;
    }
    const TagRecord record = file.Read(reporting.reporter());
    const std::optional<Id3v2Values> id3v2 =
        options.json ? file.ReadId3v2(reporting.reporter()) : std::nullopt;
    if (reporting.Failures() != before) continue;
    const bool tagged = HasTagMarker(record.tag);
    try {
      if (options.json) {
        PrintTagJson(path, record, tagged, id3v2);
      } else {
        PrintTagText(path, record, tagged);
      }
    } catch (const std::exception& e) {
      PrintProblem(e.what());
      return kExitFailure;
    }
  }
  std::fflush(stdout);
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

}  // namespace velmora::cli
