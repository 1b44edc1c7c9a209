#include "services/plan_text.h"

#include "services/error_log.h"

namespace velmora {
namespace {

std::string Quoted(const std::string& text) { return "\u201E" + text + "\u201C"; }

std::string PlainLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

constexpr char kRefused[] =
    "Der Lauf lässt diesen Schritt aus, damit keine Datei verloren geht: Muster enger fassen "
    "oder die Dateien in getrennten Läufen umbenennen.";

}  // namespace

const char* PlanAssumptionText() {
  return "Die Vorschau nimmt an, dass jede Frage mit \u201EJa\u201C oder \u201EAlle\u201C "
         "beantwortet wird. Ein \u201ENein\u201C bei einer Nummer gibt sie an die nächste "
         "Datei weiter und verschiebt die folgenden Namen.";
}

const char* PlanStateWord(PlanState state) {
  switch (state) {
    case PlanState::kUnchanged:
      return "unverändert";
    case PlanState::kChanged:
      return "neu";
    case PlanState::kResolved:
      return "Kette (aufgelöst)";
    case PlanState::kExists:
      return "existiert";
    case PlanState::kCaseOnly:
      return "Groß/Klein";
    case PlanState::kFailed:
      return "Fehler";
    case PlanState::kDuplicate:
      return "doppelt";
    case PlanState::kChain:
      return "Kette";
  }
  return "";
}

std::string PlannedFailureText(const PlannedFailure& failure) {
  return ErrorMessageText(failure.number, failure.context, failure.file, failure.description);
}

std::string PlanRowText(const PlanRow& row) {
  std::string text = "Neuer Name: " + row.finalPath + "\n";
  const std::string target = Quoted(row.conflictPath);
  const std::string other = row.otherPath.empty() ? "" : Quoted(row.otherPath);
  switch (row.state) {
    case PlanState::kUnchanged:
      return "Keine Operation ändert diesen Namen.";
    case PlanState::kChanged:
      return text + "Nichts steht im Weg.";
    case PlanState::kResolved:
      return text + "Das Ziel " + target + " ist der aktuelle Name von " + other +
             ". \u201EKetten auflösen\u201C ordnet den Lauf so, dass es rechtzeitig frei wird "
             "(einen Tausch oder Kreis über einen vorübergehenden Namen).";
    case PlanState::kExists:
      return text + "Das Ziel " + target +
             " existiert bereits. Der Lauf fragt, ob es gelöscht werden soll; mit \u201EJa\u201C "
             "geht die vorhandene Datei verloren.";
    case PlanState::kCaseOnly:
      if (row.overwritten) {
        return text + "Wird von " + other +
               " überschrieben: dessen neuer Name unterscheidet sich nur in "
               "Groß-/Kleinschreibung, und das Dateisystem unterscheidet die Schreibweisen nicht.";
      }
      return text + target +
             " unterscheidet sich nur in Groß-/Kleinschreibung von einem vorhandenen Namen. Das "
             "Dateisystem unterscheidet die Schreibweisen nicht: der Lauf fragt, ob die "
             "vorhandene Datei gelöscht werden soll.";
    case PlanState::kFailed:
      return text + "Der Lauf würde hier scheitern:\n\n" +
             PlainLines(PlannedFailureText(row.failure));
    case PlanState::kDuplicate:
      if (row.overwritten) {
        return text + "Endet unter demselben Namen " + target + " wie " + other +
               ": die spätere Datei überschreibt diese.";
      }
      return text + "Endet unter demselben Namen " + target + " wie " + other + ". " + kRefused;
    case PlanState::kChain:
      if (!row.overwritten && other.empty()) {
        return text + "Das Ziel " + target +
               " hat ein früherer Schritt dieses Laufs angelegt. " + kRefused;
      }
      if (!row.overwritten) {
        return text + "Das Ziel " + target + " ist der aktuelle Name von " + other +
               " (Kette oder Tausch). " + kRefused;
      }
      if (other.empty()) {
        return text + "Unter dem Namen " + target +
               " liegt beim Lauf schon eine andere Datei: diese Datei ist dann verloren.";
      }
      return text + "Wird von " + other +
             " überschrieben, bevor sie selbst an der Reihe ist (Kette oder Tausch).";
  }
  return text;
}

std::string PlanSummaryText(const RunPlan& plan) {
  if (!plan.refusal.empty()) return plan.refusal.substr(0, plan.refusal.find('\r'));
  return std::to_string(plan.changes) + " Änderungen, " + std::to_string(plan.conflicts) +
         " Konflikte";
}

}  // namespace velmora
