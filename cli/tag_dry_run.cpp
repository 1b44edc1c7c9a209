#include "cli/tag_dry_run.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>

#include "services/posix_file_system.h"
#include "tags/audio_format.h"
#include "tags/genre.h"
#include "tags/tag_file.h"
#include "tags/tag_record.h"

namespace velmora::cli {
namespace {

// The labels read-tag prints, in Id3v2Field order.
constexpr std::array<const char*, kId3Fields> kLabels = {"Titel",     "Interpret", "Album",
                                                         "Kommentar", "Jahr",      "Genre"};

using Values = std::array<std::string, kId3Fields>;

class NoWindow : public TagEditorHost {
 public:
  void ShowTagValues() override {}
  void SetProgress(int) override {}
  void RepeatSearch() override {}
};

std::string TrimRight(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  return text;
}

// An untagged file has no values to lose: all empty.
Values Id3v1Values(const TagRecord& record) {
  if (!HasTagMarker(record.tag)) return {};
  return {TrimRight(FieldText(record.title)), TrimRight(FieldText(record.artist)),
          TrimRight(FieldText(record.album)), TrimRight(FieldText(record.comment)),
          TrimRight(FieldText(record.year)),  GenreText(record.genre)};
}

void PrintChanges(const char* tag, const Values& before, const Values& after) {
  for (std::size_t i = 0; i < kId3Fields; ++i) {
    if (before[i] == after[i]) continue;
    std::printf("  %s %s: \"%s\" -> \"%s\"\n", tag, kLabels[i], ConsoleName(before[i]).c_str(),
                ConsoleName(after[i]).c_str());
  }
}

// A FLAC, Ogg, Opus or M4A file: its own tag, written in full.
void PrintAudioTagPlan(const TagListEntry& entry, const TagEditorFields& chosen, TagEditor& editor,
                       Reporting& reporting, FileSystem& disk) {
  const int failures = reporting.Failures();
  const std::optional<AudioTagValues> stored =
      TagFile(disk, entry.path, false).ReadAudioTag(reporting.reporter());
  if (!stored) return;
  editor.fields() = chosen;
  editor.FillTagEditor(entry.path);
  if (reporting.Failures() != failures) return;
  std::printf("%s\n", ConsoleName(entry.path).c_str());
  Values after = stored->fields;
  const Id3v2Changes changes = editor.ChangesForAudioTag();
  for (std::size_t i = 0; i < kId3Fields; ++i) after[i] = changes[i].value_or(after[i]);
  PrintChanges(AudioFormatName(stored->format), stored->fields, after);
}

}  // namespace

void PrintTagPlan(const TagList& list, const TagEditorFields& chosen, Id3v2Mode mode,
                  Reporting& reporting) {
  PosixFileSystem disk;
  NoWindow window;
  TagEditor editor(disk, reporting.reporter(), reporting.log(), window);
  editor.SetId3v2Mode(mode);
  editor.OptKeineAus_Click(list);  // the run fills the fields in this view
  for (const TagListEntry& entry : list) {
    if (HasOwnTagName(entry.path)) {
      PrintAudioTagPlan(entry, chosen, editor, reporting, disk);
      continue;
    }
    const int failures = reporting.Failures();
    TagRecord stored;
    std::optional<Id3v2Values> id3v2;
    {
      TagFile file(disk, entry.path, false);
      stored = file.Read(reporting.reporter());
      if (mode != Id3v2Mode::kNever) id3v2 = file.ReadId3v2(reporting.reporter());
    }
    editor.fields() = chosen;
    editor.FillTagEditor(entry.path);
    if (reporting.Failures() != failures) continue;
    TagRecord record = BuildTagRecord(editor.fields());
    KeepTrackNumber(stored, editor.fields().TxtKommentar, record);
    std::printf("%s\n", ConsoleName(entry.path).c_str());
    PrintChanges("ID3v1", Id3v1Values(stored), Id3v1Values(record));
    if (!id3v2 && !(mode == Id3v2Mode::kAlways && IsMp3Name(entry.path))) continue;
    const Values before = id3v2 ? id3v2->fields : Values{};
    Values after = before;
    const Id3v2Changes changes = editor.ChangesForId3v2();
    for (std::size_t i = 0; i < kId3Fields; ++i) after[i] = changes[i].value_or(before[i]);
    // A 2.2 tag is written as 2.3, a new one as 2.4.
    const std::string version = !id3v2 ? "2.4" : id3v2->version == "2.2" ? "2.3" : id3v2->version;
    PrintChanges(("ID3v2." + version.substr(2)).c_str(), before, after);
  }
  std::fflush(stdout);
}

}  // namespace velmora::cli
