#include "ui/explorer_link.h"

#include <QCoreApplication>

#include "services/context_link.h"

namespace velmora {

void ToggleExplorerLinkAndTell(MessageSink& messages, ErrorReporter& reporter) {
  const std::string folder = UserApplicationsFolder();
  const LinkToggle toggle = ToggleExplorerLink(
      kContextLinkName, QCoreApplication::applicationFilePath().toStdString(), folder);
  if (toggle.error) {
    reporter.ReportError(Location::kNone, toggle.error.number,
                         toggle.created ? "Fehler beim Anlegen des Explorer-Links"
                                        : "Fehler beim Entfernen des Explorer-Links",
                         ContextLinkPath(folder, kContextLinkName), toggle.error.description);
    return;
  }
  messages.ShowMessage(toggle.message);
}

}  // namespace velmora
