// The menu item "Explorer-Link": adds the folder entry to the file manager's
// context menu, or removes it, and tells the user which.
#pragma once

#include "engine/error_reporter.h"

namespace velmora {

// Toggles the entry `Velmora` in the user's applications folder for the
// running program and shows the resulting message. When the entry could not
// be written or removed, reports that failure instead of the message, so
// that success is never claimed for nothing.
void ToggleExplorerLinkAndTell(MessageSink& messages, ErrorReporter& reporter);

}  // namespace velmora
