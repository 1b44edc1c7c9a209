// Context texts that more than one place reports failures with
// (ErrorReporter::ReportError), each said once.
#pragma once

#include "engine/user_text.h"

namespace velmora {

inline constexpr char kGeneralErrorContext[] = VELMORA_TEXT("velmora", "Allgemeiner Fehler");
inline constexpr char kRenameErrorContext[] = VELMORA_TEXT("velmora", "Fehler beim Umbenennen");
inline constexpr char kTagWriteContext[] =
    VELMORA_TEXT("velmora", "Fehler beim Schreiben des Tag's");
inline constexpr char kJournalReadContext[] =
    VELMORA_TEXT("velmora", "Fehler beim Lesen des Journals");

}  // namespace velmora
