#include "ui/main_tag_host.h"

#include <QProgressBar>

#include "ui/main_window.h"

namespace velmora {

TagList MainTagHost::TagEntries() {
  TagList list;
  for (const FoundEntry& entry : main_.search().Found().Entries()) {
    list.push_back({entry.path, entry.marked});
  }
  return list;
}

bool MainTagHost::LogOptionOn() const { return main_.LogOptionOn(); }

void MainTagHost::SetTagProgress(int value) { main_.ProgBar()->setValue(value); }

void MainTagHost::RepeatTagSearch() {
  main_.cmdSearch_Click();
  main_.cmdSearch_Click();
}

}  // namespace velmora
