// The German words and texts that show a run's plan: a short word per
// state, the full explanation of a planned entry, the report a planned
// failure would bring, and the one-line summary.
#pragma once

#include <string>

#include "engine/plan.h"

namespace velmora {

// "unverändert", "neu", "existiert", "Groß/Klein", "Fehler", "doppelt" or
// "Kette".
const char* PlanStateWord(PlanState state);

// The message the error reporter would show for failure (lines joined by
// CR LF).
std::string PlannedFailureText(const PlannedFailure& failure);

// The full explanation of row: its new path, then what stands in its way.
// Lines are joined by "\n".
std::string PlanRowText(const PlanRow& row);

// What every plan takes for granted: no "&Nein" (a note for the summary).
std::string PlanAssumptionText();

// "N Änderungen, K Konflikte" ("1 Änderung", "1 Konflikt"); the slot check's message (its first
// line) when it refuses.
std::string PlanSummaryText(const RunPlan& plan);

}  // namespace velmora
