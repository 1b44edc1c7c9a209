#include "engine/name_fields.h"

#include "engine/batch_run.h"
#include "engine/job.h"

namespace velmora {

bool UsesFields(const RenameJob& job) {
  for (const int code : job.slotCode) {
    if (code == kFromTagsCode) return true;
  }
  return false;
}

int ReadMissingFields(std::vector<FoundEntry>& entries, FieldSource& source) {
  int read = 0;
  for (FoundEntry& entry : entries) {
    if (!entry.marked || entry.fields != nullptr) continue;
    entry.fields = std::make_shared<const FileFields>(source.Read(entry.path));
    ++read;
  }
  return read;
}

}  // namespace velmora
