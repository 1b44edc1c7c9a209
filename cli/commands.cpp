#include "cli/commands.h"

#include <array>
#include <cstdio>
#include <optional>

#include "cli/console.h"
#include "cli/folder_search.h"
#include "cli/run_commands.h"
#include "cli/tag_commands.h"
#include "engine/job.h"
#include "engine/user_text.h"

namespace velmora::cli {

std::span<const Command> Commands() {
  static constexpr unsigned kJob = kSearchOptions | kSlotOptions | kAnswerOptions | kRunOptions;
  static constexpr std::array<Command, 7> kCommands{{
      {"search", VELMORA_TEXT("velmora", "Dateien suchen und die Trefferliste ausgeben"),
       kSearchOptions | kPrint0Option, SearchMain},
      {RunKindName(RunKind::kRename), VELMORA_TEXT("velmora", "Gefundene Dateien umbenennen"), kJob,
       RenameMain},
      {RunKindName(RunKind::kCopy),
       VELMORA_TEXT("velmora", "Gefundene Dateien unter neuem Namen in einen Zielordner kopieren"),
       kJob | kDestOption, CopyMain},
      {RunKindName(RunKind::kMove),
       VELMORA_TEXT("velmora",
                    "Gefundene Dateien unter neuem Namen in einen Zielordner verschieben"),
       kJob | kDestOption, MoveMain},
      {"undo",
       VELMORA_TEXT("velmora", "Die Schritte eines Journals zurücknehmen, den neuesten zuerst"),
       kUndoJournal | kAnswerOptions, UndoMain},
      {"tag",
       VELMORA_TEXT("velmora",
                    "Tags in gefundene Audiodateien schreiben (MP3, FLAC, Ogg, Opus, M4A)"),
       kSearchOptions | kTagOptions, TagMain},
      {"read-tag", VELMORA_TEXT("velmora", "Tags von Audiodateien ausgeben"), kReadTagOptions,
       ReadTagMain},
  }};
  return kCommands;
}

int SearchMain(const CliOptions& options) {
  const std::optional<std::vector<std::string>> folders = FolderArguments(options.folders);
  if (!folders) return kExitUsage;
  Reporting reporting;
  for (const FoundEntry& entry :
       SearchFolders(*folders, options.pattern, options.subdirs,
                     OrderOption(options.order, options.reverse), /*markAll=*/false, reporting)) {
    if (options.print0) {
      std::fwrite(entry.path.c_str(), 1, entry.path.size() + 1, stdout);
    } else {
      std::printf("%s\n", ConsoleName(entry.path).c_str());
    }
  }
  std::fflush(stdout);
  return reporting.AnyProblem() ? kExitFailure : kExitOk;
}

}  // namespace velmora::cli
