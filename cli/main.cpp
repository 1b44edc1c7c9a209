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

#include "cli/cli_options.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/job_file.h"
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

void AddSearchOptions(CLI::App& command, CliOptions& options) {
  command
      .add_option("-p,--pattern", options.pattern,
                  Tr("velmora", "Dateimuster mit * und ?, mehrere durch ; (*.*)"))
      ->type_name("P");
  command.add_flag("-s,--subdirs", options.subdirs, Tr("velmora", "Unterordner mit durchsuchen"));
  command.add_flag_callback(
      "--no-subdirs", [&options] { options.subdirs = false; },
      Tr("velmora", "Unterordner nicht durchsuchen"));
  command
      .add_option("--order", options.order,
                  Tr("velmora", "Reihenfolge der Liste: name, natural, modified oder size (name)"))
      ->type_name("ORDER")
      ->check(CLI::IsMember({"name", "natural", "modified", "size"}));
  command.add_flag("--reverse", options.reverse, Tr("velmora", "absteigend ordnen"));
  command
      .add_option("FOLDER", options.folders,
                  Tr("velmora", "Ordner, in denen gesucht wird, einer nach dem anderen"))
      ->type_name("")
      ->required(options.saveJob.empty());
}

void AddSlotOptions(CLI::App& command, CliOptions& options) {
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const std::string n = std::to_string(i + 1);
    command
        .add_option("--slot" + n, options.slotOperation[i],
                    WithArgs(Tr("velmora", "Operation für No. %1"), {n}))
        ->type_name("OP");
    command
        .add_option("--src" + n, options.slotSource[i],
                    WithArgs(Tr("velmora", "erstes Feld von No. %1"), {n}))
        ->type_name("TEXT");
    command
        .add_option("--dst" + n, options.slotDestination[i],
                    WithArgs(Tr("velmora", "zweites Feld von No. %1"), {n}))
        ->type_name("TEXT");
  }
  command
      .add_option("--number-step", options.numberStep,
                  Tr("velmora", "Schrittweite der Nummerierung, 1 bis 2147483647 (1)"))
      ->type_name("N");
  command.add_flag("--restart-per-folder", options.restartPerFolder,
                   Tr("velmora", "die Nummerierung je Ordner neu beginnen"));
  command
      .add_option(
          "--job", options.jobFile,
          Tr("velmora", "gespeicherten Auftrag ausführen; Optionen daneben gelten vorrangig"))
      ->type_name("FILE");
  command
      .add_option("--save-job", options.saveJob,
                  Tr("velmora", "den Auftrag in FILE speichern und nichts ausführen"))
      ->type_name("FILE");
}

void AddAnswerOptions(CLI::App& command, CliOptions& options) {
  command.add_flag("-y,--yes-all", options.yesAll,
                   Tr("velmora", "erste Rückfrage mit \"Alle\" beantworten"));
  command.add_flag("--overwrite-all", options.overwriteAll,
                   Tr("velmora", "vorhandene Zieldateien ohne Rückfrage löschen (\"Alle\")"));
}

void AddPrint0Option(CLI::App& command, CliOptions& options) {
  command.add_flag("-0,--print0", options.print0,
                   Tr("velmora", "jeden Pfad unverändert mit einem NUL-Byte beenden (xargs -0)"));
}

void AddDestOption(CLI::App& command, CliOptions& options) {
  command.add_option("--dest", options.dest, Tr("velmora", "Zielordner"))
      ->type_name("DIR")
      ->required(options.saveJob.empty());
}

void AddRunOptions(CLI::App& command, CliOptions& options) {
  command.add_flag(
      "-n,--dry-run", options.dryRun,
      Tr("velmora", "nur zeigen, was bei \"Ja\" auf jede Frage geschähe; nichts ändern"));
  command.add_flag("--check", options.check,
                   Tr("velmora", "vorher planen: bei einem Konflikt nichts ändern, Status 3"));
  command.add_flag("--log", options.log, Tr("velmora", "jeden Schritt ins Logfile schreiben"));
  // A callback, not a negated flag: CLI11 would list it as "{false}".
  command.add_flag_callback(
      "--no-resolve-chains", [&options] { options.resolveChains = false; },
      Tr("velmora",
         "Ketten und Tausche nicht auflösen: Schritte auf eine andere "
         "markierte Datei auslassen"));
  command.add_flag_callback(
      "--resolve-chains", [&options] { options.resolveChains = true; },
      Tr("velmora", "Ketten und Tausche auflösen (Voreinstellung)"));
  command
      .add_option("--journal", options.journal,
                  Tr("velmora",
                     "Journal FILE statt des Standard-Journals (~/.local/state/velmora/journal)"))
      ->type_name("FILE");
}

void AddUndoOptions(CLI::App& command, CliOptions& options) {
  command
      .add_option("--journal", options.journal,
                  Tr("velmora", "Journal FILE statt des Standard-Journals"))
      ->type_name("FILE");
  command.add_flag("--last", options.lastRun, Tr("velmora", "nur den neuesten Lauf zurücknehmen"));
  command
      .add_option("--dismiss", options.dismiss,
                  Tr("velmora",
                     "den abgebrochenen Lauf RUN beenden, ohne ihn zurückzunehmen (seine "
                     "Schritte bleiben im Journal)"))
      ->type_name("RUN");
}

void AddTagOptions(CLI::App& command, CliOptions& options) {
  command
      .add_option("--separator", options.separator, Tr("velmora", "Trenntext der Dateinamen-Teile"))
      ->type_name("S");
  const char* names[kTagFieldCount] = {"--title",   "--artist", "--album",
                                       "--comment", "--year",   "--genre"};
  const char* help[kTagFieldCount] = {
      VELMORA_TEXT("velmora", "Quelle für Titel"), VELMORA_TEXT("velmora", "Quelle für Interpret"),
      VELMORA_TEXT("velmora", "Quelle für Album"), VELMORA_TEXT("velmora", "Quelle für Kommentar"),
      VELMORA_TEXT("velmora", "Quelle für Jahr"),  VELMORA_TEXT("velmora", "Quelle für Genre")};
  for (std::size_t f = 0; f < kTagFieldCount; ++f) {
    command.add_option(names[f], options.tagSource[f], Tr("velmora", help[f]))->type_name("SRC");
  }
  command
      .add_option("--id3v2", options.id3v2,
                  Tr("velmora", "ID3v2-Tag: auto (wenn vorhanden), always (immer), never (nie)"))
      ->type_name("MODE")
      ->check(CLI::IsMember({"auto", "always", "never"}));
  command.add_flag(
      "-n,--dry-run", options.dryRun,
      Tr("velmora", "je Datei zeigen, was geschrieben würde (alt -> neu); nichts ändern"));
  command.add_flag("-y,--yes-all", options.yesAll,
                   Tr("velmora", "ohne Wirkung: tag schreibt ohne Rückfrage"));
  command.add_flag("--log", options.log, Tr("velmora", "jede Datei ins Logfile schreiben"));
  command
      .add_option("--journal", options.journal,
                  Tr("velmora",
                     "Journal FILE statt des Standard-Journals (~/.local/state/velmora/journal)"))
      ->type_name("FILE");
}

void AddReadTagOptions(CLI::App& command, CliOptions& options) {
  command.add_flag("--json", options.json, Tr("velmora", "ein JSON-Objekt je Zeile"));
  command.add_option("FILE", options.files, Tr("velmora", "MP3-Dateien"))
      ->type_name("")
      ->required();
}

// One row per option group, in the order --help lists them: adding a group
// is one row and one function. footer is the text the group adds under the
// options (null for none).
struct OptionGroupRow {
  unsigned group;
  void (*add)(CLI::App& command, CliOptions& options);
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

void AddOptions(CLI::App& command, unsigned groups, CliOptions& options) {
  bool footers = false;
  for (const OptionGroupRow& row : kOptionGroups) {
    if ((groups & row.group) == 0) continue;
    row.add(command, options);
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

// The arguments for CLI11, last first. "--dst1=" is spelled out as "--dst1"
// and an empty value: CLI11 would otherwise take the next argument as the
// value and drop an option such as --dry-run.
std::vector<std::string> ArgumentsForParser(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = argc - 1; i >= 1; --i) {
    const std::string arg = argv[i];
    if (arg.size() > 3 && arg.rfind("--", 0) == 0 && arg.find('=') == arg.size() - 1) {
      args.emplace_back();
      args.push_back(arg.substr(0, arg.size() - 1));
    } else {
      args.push_back(arg);
    }
  }
  return args;
}

// The value of option name in the arguments ("--job FILE" or "--job=FILE"),
// or "".
std::string ValueOf(const std::vector<std::string>& lastFirst, const std::string& name) {
  for (std::size_t i = lastFirst.size(); i-- > 0;) {
    const std::string& arg = lastFirst[i];
    if (arg == name && i > 0) return lastFirst[i - 1];
    if (arg.rfind(name + "=", 0) == 0) return arg.substr(name.size() + 1);
  }
  return "";
}

// A job file is read before the arguments are parsed, so that every option
// given beside it overrides what it holds.
bool PreloadJob(const std::vector<std::string>& args, CliOptions& options) {
  options.saveJob = ValueOf(args, "--save-job");
  const std::string job = ValueOf(args, "--job");
  if (job.empty()) return true;
  std::string problem;
  if (LoadJobOptions(job, options, problem)) return true;
  PrintProblem(problem);
  return false;
}

// The commands, each with its options, that the parser may enter: with
// every set all of them; else those the arguments name, as the parser enters
// a command only by its exact name. The others are added without options,
// for the command list of --help and the parser's own refusals, unless the
// first argument is a command: then the parser never shows either. Building
// options nobody reads was most of a short run's start. chosen is set to the
// command the parser runs.
void AddCommands(CLI::App& app, const std::vector<std::string>& lastFirst, bool every,
                 CliOptions& options, const Command*& chosen) {
  const auto named = [&lastFirst](const char* name) {
    return std::find(lastFirst.begin(), lastFirst.end(), name) != lastFirst.end();
  };
  const bool startsWithCommand =
      !lastFirst.empty() &&
      std::any_of(Commands().begin(), Commands().end(),
                  [&](const Command& c) { return lastFirst.back() == c.name; });
  for (const Command& command : Commands()) {
    const bool withOptions = every || named(command.name);
    if (!withOptions && startsWithCommand) continue;
    CLI::App* sub = app.add_subcommand(command.name, Tr("velmora", command.summary));
    sub->group(Tr("velmora", "Befehle"));
    sub->get_help_ptr()->group(Tr("velmora", "Optionen"));
    if (withOptions) AddOptions(*sub, command.groups, options);
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
// other refusal in the parser's words. The words come from a parser with
// every command's options.
void PrintParseError(const CLI::App& parsed, const CLI::ParseError& error, int argc, char** argv) {
  CLI::App app;
  CliOptions unused;
  const Command* none = nullptr;
  AddCommands(app, {}, /*every=*/true, unused, none);
  std::vector<CommandWords> commands;
  for (const CLI::App* sub : app.get_subcommands({})) {
    commands.push_back({sub->get_name(), OptionWords(*sub)});
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const std::optional<std::string> unknown = UnknownWordText(args, commands, OptionWords(parsed));
  PrintProblem(unknown ? *unknown : ParserText(error.what()));
  std::fprintf(stderr, "%s\n", Tr("velmora", "Hilfe: velmora-cli --help").c_str());
}

int Main(int argc, char** argv) {
  SetUpStandardOutput();
  // German unless the user's language is English; nothing a script reads
  // (lists, marks, JSON, statuses) changes with it.
  LoadLanguage(EnvironmentLanguage(), ProgramFolder());
  CLI::App app(Tr("velmora",
                  "Velmora auf der Kommandozeile: Dateien suchen, umbenennen, kopieren, "
                  "verschieben, zurücknehmen und MP3-Tags schreiben."),
               "velmora-cli");
  SetLabels(app);
  app.set_help_flag("-h,--help", Tr("velmora", "Hilfe anzeigen"));
  app.set_version_flag("--version", "velmora-cli " VELMORA_VERSION,
                       Tr("velmora", "die Version zeigen und beenden"));
  app.require_subcommand(1);
  app.footer(Tr("velmora", "Hilfe zu einem Befehl: velmora-cli BEFEHL --help") + "\n" +
             Tr("velmora", kExitHelp));

  CliOptions options;
  std::vector<std::string> args = ArgumentsForParser(argc, argv);
  if (!PreloadJob(args, options)) return kExitUsage;
  const Command* chosen = nullptr;
  AddCommands(app, args, /*every=*/false, options, chosen);

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
