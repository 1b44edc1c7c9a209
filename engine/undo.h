// Taking recorded steps back, newest first, through the same question and
// commit as a run.
#pragma once

#include "engine/batch_run_state.h"

namespace velmora {

// The walk of the menu entry "Zurück": asks for each record from the newest
// down, commits the confirmed ones backwards and removes them; "&Nein" keeps a
// record, "&Abbrechen" ends the walk. Searches again at the end.
void MnuUndo_Click(RunState& state, RunServices& services);

}  // namespace velmora
