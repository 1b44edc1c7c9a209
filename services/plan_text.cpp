#include "services/plan_text.h"

#include "services/error_log.h"
#include "services/language.h"

namespace velmora {
namespace {

std::string Quoted(const std::string& text) { return "„" + text + "“"; }

std::string PlainLines(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c != '\r') out += c;
  }
  return out;
}

std::string Refused() {
  return Tr("velmora",
            "Der Lauf lässt diesen Schritt aus, damit keine Datei verloren geht: Muster enger "
            "fassen oder die Dateien in getrennten Läufen umbenennen.");
}

// "1 Änderung" but "0 Änderungen", "2 Änderungen".
std::string Counted(int count, const char* one, const char* many) {
  return count == 1 ? Tr("velmora", one) : WithArgs(Tr("velmora", many), {std::to_string(count)});
}

}  // namespace

std::string PlanAssumptionText() {
  return Tr("velmora",
            "Die Vorschau nimmt an, dass jede Frage mit „Ja“ oder „Alle“ "
            "beantwortet wird. Ein „Nein“ bei einer Nummer gibt sie an die nächste "
            "Datei weiter und verschiebt die folgenden Namen.");
}

const char* PlanStateWord(PlanState state) {
  switch (state) {
    case PlanState::kUnchanged:
      return VELMORA_TEXT("velmora", "unverändert");
    case PlanState::kChanged:
      return VELMORA_TEXT("velmora", "neu");
    case PlanState::kResolved:
      return VELMORA_TEXT("velmora", "Kette (aufgelöst)");
    case PlanState::kExists:
      return VELMORA_TEXT("velmora", "existiert");
    case PlanState::kCaseOnly:
      return VELMORA_TEXT("velmora", "Groß/Klein");
    case PlanState::kFailed:
      return VELMORA_TEXT("velmora", "Fehler");
    case PlanState::kDuplicate:
      return VELMORA_TEXT("velmora", "doppelt");
    case PlanState::kChain:
      return VELMORA_TEXT("velmora", "Kette");
  }
  return "";
}

std::string PlannedFailureText(const PlannedFailure& failure) {
  return ErrorMessageText(failure.number, failure.context, failure.file, failure.description);
}

namespace {

// The reason of a row whose target differs only in letter case.
std::string CaseOnlyText(const PlanRow& row, const std::string& target, const std::string& other) {
  if (row.Conflict().overwritten) {
    return WithArgs(Tr("velmora",
                       "Wird von %1 überschrieben: dessen neuer Name unterscheidet sich nur "
                       "in Groß-/Kleinschreibung, und das Dateisystem unterscheidet die "
                       "Schreibweisen nicht."),
                    {other});
  }
  return WithArgs(Tr("velmora",
                     "%1 unterscheidet sich nur in Groß-/Kleinschreibung von einem "
                     "vorhandenen Namen. Das Dateisystem unterscheidet die Schreibweisen "
                     "nicht: der Lauf fragt, ob die vorhandene Datei gelöscht werden soll."),
                  {target});
}

std::string DuplicateText(const PlanRow& row, const std::string& target, const std::string& other) {
  if (row.Conflict().overwritten) {
    return WithArgs(Tr("velmora",
                       "Endet unter demselben Namen %1 wie %2: die spätere Datei "
                       "überschreibt diese."),
                    {target, other});
  }
  return WithArgs(Tr("velmora", "Endet unter demselben Namen %1 wie %2."), {target, other}) + " " +
         Refused();
}

std::string ChainText(const PlanRow& row, const std::string& target, const std::string& other) {
  if (!row.Conflict().overwritten && other.empty()) {
    return WithArgs(Tr("velmora", "Das Ziel %1 hat ein früherer Schritt dieses Laufs angelegt."),
                    {target}) +
           " " + Refused();
  }
  if (!row.Conflict().overwritten) {
    return WithArgs(Tr("velmora", "Das Ziel %1 ist der aktuelle Name von %2 (Kette oder Tausch)."),
                    {target, other}) +
           " " + Refused();
  }
  if (other.empty()) {
    return WithArgs(Tr("velmora",
                       "Unter dem Namen %1 liegt beim Lauf schon eine andere Datei: diese "
                       "Datei ist dann verloren."),
                    {target});
  }
  return WithArgs(Tr("velmora",
                     "Wird von %1 überschrieben, bevor sie selbst an der Reihe ist (Kette "
                     "oder Tausch)."),
                  {other});
}

}  // namespace

std::string PlanRowText(const PlanRow& row) {
  const std::string text = WithArgs(Tr("velmora", "Neuer Name: %1"), {row.finalPath}) + "\n";
  const RowConflict& conflict = row.Conflict();
  const std::string target = Quoted(conflict.path);
  const std::string other = conflict.other.empty() ? "" : Quoted(conflict.other);
  switch (row.state) {
    case PlanState::kUnchanged:
      return Tr("velmora", "Keine Operation ändert diesen Namen.");
    case PlanState::kChanged:
      return text + Tr("velmora", "Nichts steht im Weg.");
    case PlanState::kResolved:
      return text + WithArgs(Tr("velmora",
                                "Das Ziel %1 ist der aktuelle Name von %2. „Ketten auflösen“ "
                                "ordnet den Lauf so, dass es rechtzeitig frei wird (einen Tausch "
                                "oder Kreis über einen vorübergehenden Namen)."),
                             {target, other});
    case PlanState::kExists:
      return text +
             WithArgs(Tr("velmora",
                         "Das Ziel %1 existiert bereits. Der Lauf fragt, ob es gelöscht werden "
                         "soll; mit „Ja“ geht die vorhandene Datei verloren."),
                      {target});
    case PlanState::kCaseOnly:
      return text + CaseOnlyText(row, target, other);
    case PlanState::kFailed:
      return text + Tr("velmora", "Der Lauf würde hier scheitern:") + "\n\n" +
             PlainLines(PlannedFailureText(conflict.failure));
    case PlanState::kDuplicate:
      return text + DuplicateText(row, target, other);
    case PlanState::kChain:
      return text + ChainText(row, target, other);
  }
  return text;
}

std::string PlanSummaryText(const RunPlan& plan) {
  if (!plan.refusal.empty()) return Translated(plan.refusal.substr(0, plan.refusal.find('\r')));
  return Counted(plan.changes, VELMORA_TEXT("velmora", "1 Änderung"),
                 VELMORA_TEXT("velmora", "%1 Änderungen")) +
         ", " +
         Counted(plan.conflicts, VELMORA_TEXT("velmora", "1 Konflikt"),
                 VELMORA_TEXT("velmora", "%1 Konflikte"));
}

}  // namespace velmora
