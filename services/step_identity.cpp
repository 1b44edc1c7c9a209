#include "services/step_identity.h"

namespace velmora {

bool ProvesSame(const StepIdentity& recorded, const StepIdentity& now) {
  if (!recorded.known || !now.known || recorded.size != now.size ||
      recorded.mtimeNs != now.mtimeNs) {
    return false;
  }
  return !recorded.inodeStable || (recorded.inode == now.inode && recorded.fsid == now.fsid);
}

}  // namespace velmora
