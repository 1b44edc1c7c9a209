#include "cli/job_options.h"

#include <vector>

#include "cli/console.h"
#include "cli/suggest.h"
#include "services/language.h"

namespace velmora::cli {

namespace {

// The closest name, and every valid one: a mistyped operation is no guess.
void PrintUnknownOperation(std::size_t slot, const std::string& text) {
  const std::vector<std::string> names(OperationNames().begin() + 1, OperationNames().end());
  PrintProblem(WithSuggestion(WithArgs(Tr("velmora", "Unbekannte Operation für --slot%1: %2"),
                                       {std::to_string(slot + 1), text}),
                              ClosestWord(text, names)));
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + name;
  PrintProblem(WithArgs(Tr("velmora", "Gültige Operationen: 0 bis %1 oder %2"),
                        {std::to_string(kOperationCount - 1), list}));
}

}  // namespace

bool JobFromOptions(const CliOptions& options, RenameJob& job) {
  bool anyActive = false;
  for (std::size_t i = 0; i < kSlotCount; ++i) {
    const int code = OperationCode(options.slotOperation[i]);
    if (code < 0) {
      PrintUnknownOperation(i, options.slotOperation[i]);
      return false;
    }
    job.slotCode[i] = code;
    job.txtSource[i] = options.slotSource[i];
    job.txtDestination[i] = options.slotDestination[i];
    job.auswahlText[i] = Catalogue()[static_cast<std::size_t>(code)].listText;
    anyActive = anyActive || code != 0;
  }
  if (!anyActive) {
    PrintProblem(Tr("velmora", "Keine Operation gewählt: --slot1, --slot2 oder --slot3 angeben."));
    return false;
  }
  job.numberStep = options.numberStep;
  job.restartPerFolder = options.restartPerFolder;
  return true;
}

}  // namespace velmora::cli
