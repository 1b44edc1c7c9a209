#include "engine/batch_run_state.h"

namespace velmora {

void ResetRunFlags(RunState& state) {
  state.context.flags = RunFlags{};
  state.dialogAll = false;
  state.dialog2All = false;
}

}  // namespace velmora
