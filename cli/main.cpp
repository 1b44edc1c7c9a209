// velmora-cli: the rename engine, the search and the tag editor from a
// terminal and from scripts. This file only turns the arguments into
// CliOptions (with CLI11, kept to this one file) and calls the command's row
// of the table in cli/commands.cpp.
#include <malloc.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/job_options.h"
#include "cli/parser_text.h"
#include "cli/suggest.h"
#include "services/error_log.h"
#include "services/language.h"

namespace velmora::cli {
namespace {

std::string OperationList() {
  std::string text =
      Tr("velmora", "Operationen (OP, Code oder Name; --srcN/--dstN = erstes/zweites Feld):") +
      "\n";
  for (int code = 0; code < kOperationCount; ++code) {
    const CatalogueEntry& row = Catalogue()[static_cast<std::size_t>(code)];
    const char* name = code == 0 ? "" : OperationNames()[static_cast<std::size_t>(code)];
    char line[200];
    std::snprintf(line, sizeof line, "  %2d %-20s %s", code, name,
                  Tr("velmora", row.listText).c_str());
    text += line;
    if (row.firstCaption[0] != '\0' || row.secondCaption[0] != '\0') {
      text +=
          " [" + Tr("velmora", row.firstCaption) + " | " + Tr("velmora", row.secondCaption) + "]";
    }
    text += '\n';
  }
  return text;
}

constexpr char kAnswerHelp[] = VELMORA_TEXT(
    "velmora",
    "Ohne --yes-all wird jeder Schritt auf der Konsole bestätigt (Ja, Alle, Nein, Abbrechen); "
    "ohne Konsole bricht der Befehl dann mit Status 2 ab.");

constexpr char kTagSourceHelp[] = VELMORA_TEXT(
    "velmora",
    "SRC: aus oder off (gespeicherter Tag), 1, 2, 3 (Teil des Dateinamens am Separator) oder "
    "=TEXT (fester Text); bei --genre aus, off oder =NAME. Nicht angegebene Felder: aus.");

constexpr char kExitHelp[] = VELMORA_TEXT(
    "velmora",
    "Exit-Status: 0 alles erledigt, 1 mindestens ein Fehler gemeldet, 2 falscher Aufruf, "
    "abgelehnte Eingabe oder kein Ordner, 3 Konflikt im Plan (--check).");

void AddSearchOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("-p,--pattern")) {
    command
        .add_option("-p,--pattern", options.pattern,
                    Tr("velmora", "Dateimuster mit * und ?, mehrere durch ; (*.*)"))
        ->type_name("P");
  }
  if (wanted("-s,--subdirs")) {
    command.add_flag("-s,--subdirs", options.subdirs, Tr("velmora", "Unterordner mit durchsuchen"));
  }
  if (wanted("--no-subdirs")) {
    command.add_flag_callback(
        "--no-subdirs", [&options] { options.subdirs = false; },
        Tr("velmora", "Unterordner nicht durchsuchen"));
  }
  if (wanted("--order")) {
    command
        .add_option(
            "--order", options.order,
            Tr("velmora", "Reihenfolge der Liste: name, natural, modified oder size (name)"))
        ->type_name("ORDER")
        ->check(CLI::IsMember({"name", "natural", "modified", "size"}));
  }
  if (wanted("--reverse")) {
    command.add_flag("--reverse", options.reverse, Tr("velmora", "absteigend ordnen"));
  }
  command
      .add_option("FOLDER", options.folders,
                  Tr("velmora", "Ordner, in denen gesucht wird, einer nach dem anderen"))
      ->type_name("")
      ->required(options.saveJob.empty());
}

void AddSlotOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const std::string n = std::to_string(i + 1);
    if (wanted("--slot" + n)) {
      command
          .add_option("--slot" + n, options.slotOperation[i],
                      WithArgs(Tr("velmora", "Operation für No. %1"), {n}))
          ->type_name("OP");
    }
    if (wanted("--src" + n)) {
      command
          .add_option("--src" + n, options.slotSource[i],
                      WithArgs(Tr("velmora", "erstes Feld von No. %1"), {n}))
          ->type_name("TEXT");
    }
    if (wanted("--dst" + n)) {
      command
          .add_option("--dst" + n, options.slotDestination[i],
                      WithArgs(Tr("velmora", "zweites Feld von No. %1"), {n}))
          ->type_name("TEXT");
    }
  }
  if (wanted("--number-step")) {
    command
        .add_option("--number-step", options.numberStep,
                    Tr("velmora", "Schrittweite der Nummerierung, 1 bis 2147483647 (1)"))
        ->type_name("N");
  }
  if (wanted("--restart-per-folder")) {
    command.add_flag("--restart-per-folder", options.restartPerFolder,
                     Tr("velmora", "die Nummerierung je Ordner neu beginnen"));
  }
  if (wanted("--job")) {
    command
        .add_option(
            "--job", options.jobFile,
            Tr("velmora", "gespeicherten Auftrag ausführen; Optionen daneben gelten vorrangig"))
        ->type_name("FILE");
  }
  if (wanted("--save-job")) {
    command
        .add_option("--save-job", options.saveJob,
                    Tr("velmora", "den Auftrag in FILE speichern und nichts ausführen"))
        ->type_name("FILE");
  }
}

void AddAnswerOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("-y,--yes-all")) {
    command.add_flag("-y,--yes-all", options.yesAll,
                     Tr("velmora", "erste Rückfrage mit \"Alle\" beantworten"));
  }
  if (wanted("--overwrite-all")) {
    command.add_flag("--overwrite-all", options.overwriteAll,
                     Tr("velmora", "vorhandene Zieldateien ohne Rückfrage löschen (\"Alle\")"));
  }
}

void AddPrint0Option(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (!wanted("-0,--print0")) return;
  command.add_flag("-0,--print0", options.print0,
                   Tr("velmora", "jeden Pfad unverändert mit einem NUL-Byte beenden (xargs -0)"));
}

// Required: always added.
void AddDestOption(CLI::App& command, CliOptions& options, const WantedOptions&) {
  command.add_option("--dest", options.dest, Tr("velmora", "Zielordner"))
      ->type_name("DIR")
      ->required(options.saveJob.empty());
}

void AddRunOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("-n,--dry-run")) {
    command.add_flag(
        "-n,--dry-run", options.dryRun,
        Tr("velmora", "nur zeigen, was bei \"Ja\" auf jede Frage geschähe; nichts ändern"));
  }
  if (wanted("--check")) {
    command.add_flag("--check", options.check,
                     Tr("velmora", "vorher planen: bei einem Konflikt nichts ändern, Status 3"));
  }
  if (wanted("--log")) {
    command.add_flag("--log", options.log, Tr("velmora", "jeden Schritt ins Logfile schreiben"));
  }
  // A callback, not a negated flag: CLI11 would list it as "{false}".
  if (wanted("--no-resolve-chains")) {
    command.add_flag_callback(
        "--no-resolve-chains", [&options] { options.resolveChains = false; },
        Tr("velmora",
           "Ketten und Tausche nicht auflösen: Schritte auf eine andere "
           "markierte Datei auslassen"));
  }
  if (wanted("--resolve-chains")) {
    command.add_flag_callback(
        "--resolve-chains", [&options] { options.resolveChains = true; },
        Tr("velmora", "Ketten und Tausche auflösen (Voreinstellung)"));
  }
  if (wanted("--journal")) {
    command
        .add_option("--journal", options.journal,
                    Tr("velmora",
                       "Journal FILE statt des Standard-Journals (~/.local/state/velmora/journal)"))
        ->type_name("FILE");
  }
}

void AddUndoOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("--journal")) {
    command
        .add_option("--journal", options.journal,
                    Tr("velmora", "Journal FILE statt des Standard-Journals"))
        ->type_name("FILE");
  }
  if (wanted("--last")) {
    command.add_flag("--last", options.lastRun,
                     Tr("velmora", "nur den neuesten Lauf zurücknehmen"));
  }
  if (wanted("--dismiss")) {
    command
        .add_option("--dismiss", options.dismiss,
                    Tr("velmora",
                       "den abgebrochenen Lauf RUN beenden, ohne ihn zurückzunehmen (seine "
                       "Schritte bleiben im Journal)"))
        ->type_name("RUN");
  }
}

void AddTagOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("--separator")) {
    command
        .add_option("--separator", options.separator,
                    Tr("velmora", "Trenntext der Dateinamen-Teile"))
        ->type_name("S");
  }
  const char* names[kTagFieldCount] = {"--title",   "--artist", "--album",
                                       "--comment", "--year",   "--genre"};
  const char* help[kTagFieldCount] = {
      VELMORA_TEXT("velmora", "Quelle für Titel"), VELMORA_TEXT("velmora", "Quelle für Interpret"),
      VELMORA_TEXT("velmora", "Quelle für Album"), VELMORA_TEXT("velmora", "Quelle für Kommentar"),
      VELMORA_TEXT("velmora", "Quelle für Jahr"),  VELMORA_TEXT("velmora", "Quelle für Genre")};
  for (std::size_t f = 0; f < kTagFieldCount; ++f) {
    if (!wanted(names[f])) continue;
    command.add_option(names[f], options.tagSource[f], Tr("velmora", help[f]))->type_name("SRC");
  }
  if (wanted("--id3v2")) {
    command
        .add_option("--id3v2", options.id3v2,
                    Tr("velmora", "ID3v2-Tag: auto (wenn vorhanden), always (immer), never (nie)"))
        ->type_name("MODE")
        ->check(CLI::IsMember({"auto", "always", "never"}));
  }
  if (wanted("-n,--dry-run")) {
    command.add_flag(
        "-n,--dry-run", options.dryRun,
        Tr("velmora", "je Datei zeigen, was geschrieben würde (alt -> neu); nichts ändern"));
  }
  if (wanted("-y,--yes-all")) {
    command.add_flag("-y,--yes-all", options.yesAll,
                     Tr("velmora", "ohne Wirkung: tag schreibt ohne Rückfrage"));
  }
  if (wanted("--log")) {
    command.add_flag("--log", options.log, Tr("velmora", "jede Datei ins Logfile schreiben"));
  }
  if (wanted("--journal")) {
    command
        .add_option("--journal", options.journal,
                    Tr("velmora",
                       "Journal FILE statt des Standard-Journals (~/.local/state/velmora/journal)"))
        ->type_name("FILE");
  }
}

void AddReadTagOptions(CLI::App& command, CliOptions& options, const WantedOptions& wanted) {
  if (wanted("--json")) {
    command.add_flag("--json", options.json, Tr("velmora", "ein JSON-Objekt je Zeile"));
  }
  command.add_option("FILE", options.files, Tr("velmora", "MP3-Dateien"))
      ->type_name("")
      ->required();
}

// One row per option group, in the order --help lists them: adding a group
// is one row and one function. footer is the text the group adds under the
// options (null for none).
struct OptionGroupRow {
  unsigned group;
  void (*add)(CLI::App& command, CliOptions& options, const WantedOptions& wanted);
  std::string (*footer)();
};

const OptionGroupRow kOptionGroups[] = {
    {kSearchOptions, AddSearchOptions, nullptr},
    {kPrint0Option, AddPrint0Option, nullptr},
    {kSlotOptions, AddSlotOptions, [] { return OperationList(); }},
    {kDestOption, AddDestOption, nullptr},
    {kAnswerOptions, AddAnswerOptions, [] { return Tr("velmora", kAnswerHelp); }},
    {kRunOptions, AddRunOptions, nullptr},
    {kUndoJournal, AddUndoOptions, nullptr},
    {kTagOptions, AddTagOptions, [] { return Tr("velmora", kTagSourceHelp); }},
    {kReadTagOptions, AddReadTagOptions, nullptr},
};

void AddOptions(CLI::App& command, unsigned groups, CliOptions& options,
                const WantedOptions& wanted) {
  bool footers = false;
  for (const OptionGroupRow& row : kOptionGroups) {
    if ((groups & row.group) == 0) continue;
    row.add(command, options, wanted);
    footers = footers || row.footer != nullptr;
  }
  command.footer(Tr("velmora", kExitHelp));
  // The groups' texts (the operation list) only when the help is shown; the
  // parser puts them and a line break before the exit statuses.
  if (!footers) return;
  command.footer([groups] {
    std::string text;
    for (const OptionGroupRow& row : kOptionGroups) {
      if ((groups & row.group) == 0 || row.footer == nullptr) continue;
      text += (text.empty() ? "" : "\n") + row.footer();
    }
    return text;
  });
}

void SetLabels(CLI::App& app) {
  auto formatter = app.get_formatter();
  formatter->label("Usage", Tr("velmora", "Aufruf"));
  formatter->label("OPTIONS", Tr("velmora", "OPTIONEN"));
  formatter->label("SUBCOMMAND", Tr("velmora", "BEFEHL"));
  formatter->label("Positionals", Tr("velmora", "Argumente"));
  formatter->label("REQUIRED", Tr("velmora", "(Pflicht)"));
  formatter->column_width(26);
  app.option_defaults()->group(Tr("velmora", "Optionen"));
}

// How much of the parser is built. The parser enters a command only by its
// exact name, so a command the arguments do not name never reads an option.
enum class Build {
  kRun,    // a run's parse: only the commands named, with the options named
  kShown,  // help, version, refusals: every command, the named ones whole
  kWords,  // every command and option, the words a suggestion is taken from
};

// Adds the commands and their options to app; chosen is set to the command
// the parser runs.
void AddCommands(CLI::App& app, const std::vector<std::string>& lastFirst, Build build,
                 CliOptions& options, const Command*& chosen) {
  const WantedOptions wanted = build == Build::kRun ? WantedOptions(lastFirst) : WantedOptions();
  for (const Command& command : Commands()) {
    const bool named =
        std::find(lastFirst.begin(), lastFirst.end(), command.name) != lastFirst.end();
    if (build == Build::kRun && !named) continue;
    CLI::App* sub = app.add_subcommand(command.name, Tr("velmora", command.summary));
    sub->group(Tr("velmora", "Befehle"));
    sub->get_help_ptr()->group(Tr("velmora", "Optionen"));
    if (build != Build::kShown || named) AddOptions(*sub, command.groups, options, wanted);
    sub->final_callback([&chosen, &command] { chosen = &command; });
  }
}

std::vector<OptionWord> OptionWords(const CLI::App& app) {
  std::vector<OptionWord> words;
  for (const CLI::Option* option : app.get_options()) {
    const bool takesValue = option->get_items_expected_min() > 0;
    for (const std::string& name : option->get_lnames()) words.push_back({"--" + name, takesValue});
    for (const std::string& name : option->get_snames()) words.push_back({"-" + name, takesValue});
  }
  return words;
}

// A mistyped command or option is named with the closest valid word; any
// other refusal in the parser's words.
void PrintParseError(const CLI::App& parsed, const CLI::ParseError& error, int argc, char** argv) {
  CLI::App app;
  CliOptions unused;
  const Command* none = nullptr;
  AddCommands(app, {}, Build::kWords, unused, none);
  std::vector<CommandWords> commands;
  for (const CLI::App* sub : app.get_subcommands({})) {
    commands.push_back({sub->get_name(), OptionWords(*sub)});
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::optional<std::string> unknown = UnknownWordText(args, commands, OptionWords(parsed));
  PrintProblem(unknown ? *unknown : ParserText(error.what()));
  std::fprintf(stderr, "%s\n", Tr("velmora", "Hilfe: velmora-cli --help").c_str());
}

// The parser's top: the program's summary, help, version and labels.
void SetUpParser(CLI::App& app) {
  app.description(Tr("velmora",
                     "Velmora auf der Kommandozeile: Dateien suchen, umbenennen, kopieren, "
                     "verschieben, zurücknehmen und MP3-Tags schreiben."));
  SetLabels(app);
  app.set_help_flag("-h,--help", Tr("velmora", "Hilfe anzeigen"));
  app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION,
                       Tr("velmora", "die Version zeigen und beenden"));
  app.require_subcommand(1);
  app.footer(Tr("velmora", "Hilfe zu einem Befehl: velmora-cli BEFEHL --help") + "\n" +
             Tr("velmora", kExitHelp));
}

// A run's parse, with what its arguments name: the command it runs, with
// options filled. Null, with options as they were, when the first argument
// is no command or the parse fails (the help, a refusal): the parse with
// every option of the named commands then shows what the user asked for.
const Command* ParseRun(std::vector<std::string> lastFirst, CliOptions& options) {
  if (lastFirst.empty() ||
      std::none_of(Commands().begin(), Commands().end(),
                   [&](const Command& c) { return lastFirst.back() == c.name; })) {
    return nullptr;
  }
  const CliOptions given = options;
  CLI::App app("", "velmora-cli");
  SetUpParser(app);
  const Command* chosen = nullptr;
  AddCommands(app, lastFirst, Build::kRun, options, chosen);
  try {
    app.parse(lastFirst);
    return chosen;
  } catch (const CLI::ParseError&) {
    options = given;
    return nullptr;
  }
}

int Main(int argc, char** argv) {
  SetUpStandardOutput();
  // German unless the user's language is English; nothing a script reads
  // (lists, marks, JSON, statuses) changes with it.
  LoadLanguage(EnvironmentLanguage(), ProgramFolder());
  CliOptions options;
  std::vector<std::string> args = ArgumentsForParser(argc, argv);
  if (!PreloadJob(args, options)) return kExitUsage;
  const Command* chosen = ParseRun(args, options);
  if (chosen == nullptr) {
    CLI::App app("", "velmora-cli");
    SetUpParser(app);
    AddCommands(app, args, Build::kShown, options, chosen);
    try {
      app.parse(args);
    } catch (const CLI::CallForHelp& e) {
      return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
      return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
      return app.exit(e);
    } catch (const CLI::ParseError& e) {
      PrintParseError(app, e, argc, argv);
      return kExitUsage;
    }
  }
  if (chosen == nullptr) return kExitUsage;
  InstallInterruptHandler();
  const int status = chosen->run(options);
  EndIfInterrupted();
  return status;
}

}  // namespace
}  // namespace velmora::cli

int main(int argc, char** argv) {
  // A run builds and drops lists of every file one after the other; memory
  // handed back to the kernel comes back as fresh pages it must clear. The
  // short-lived process keeps what it freed for the next list instead.
  ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
  ::mallopt(M_TRIM_THRESHOLD, 256 << 20);
  // Nothing may leave as an exception: report it as a failure.
  try {
    return velmora::cli::Main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-cli: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "velmora-cli: %s\n",
                 velmora::Tr("velmora", "unerwarteter Fehler").c_str());
  }
  return velmora::cli::kExitFailure;
}
