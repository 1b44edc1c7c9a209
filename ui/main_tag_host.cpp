#include "ui/main_tag_host.h"

namespace velmora {

TagList MainTagHost::TagEntries() {
  TagList list;
  for (const FoundEntry& entry : found_.Entries()) list.push_back({entry.path, entry.marked});
  return list;
}

}  // namespace velmora
