#include "engine/operations.h"


namespace velmora {

const std::array<CatalogueEntry, kOperationCount>& Catalogue() {
  static const std::array<CatalogueEntry, kOperationCount> rows{{
      {"nicht aktiv", "", ""},
      {"Text ersetzen / löschen", "von", "zu"},
      {"Text einfügen nach ...", "Text", "nach"},
      {"Text einfügen vor ...", "Text", "vor"},
      {"Text einfügen an Pos.", "Text", "Pos."},
      {"Anzahl Zeichen löschen nach ...", "Anz.", "nach"},
      {"Anzahl Zeichen löschen vor ...", "Anz.", "vor"},
      {"Anzahl Zeichen löschen an Pos.", "Anz.", "Pos."},
      {"Alle Zeichen löschen vor ...", "", "vor"},
      {"Alle Zeichen löschen nach ...", "", "nach"},
      {"Nummer einfügen nach ...", "Start", "nach"},
      {"Nummer einfügen vor ...", "Start", "vor"},
      {"Nummer einfügen an Pos.", "Start", "Pos."},
      {"Großbuchstaben am Wortanfang", "leer", "leer"},
      {"Zeichenfolge Spiegeln", "Spiegel", "leer"},
      {"Anzahl Zeichen löschen zwischen", "nach", "vor"},
      {"Alle in Großbuchstaben", "leer", "leer"},
      {"Alle in Kleinbuchstaben", "leer", "leer"},
  }};
  return rows;
}

namespace {

using OperationFn = std::string (*)(const RenameJob&, int, const std::string&, NameContext&);

// Indexed by operation code; code 0 is the inactive slot.
constexpr std::array<OperationFn, kOperationCount> kOperations{
    nullptr,           ReplaceText,       InsertTextAfter,   InsertTextBefore,
    InsertTextAt,      DeleteCountAfter,  DeleteCountBefore, DeleteCountAt,
    DeleteAllBefore,   DeleteAllAfter,    InsertNumberAfter, InsertNumberBefore,
    InsertNumberAt,    CapitalizeWords,   MirrorName,        DeleteBetween,
    ToUpperCase,       ToLowerCase,
};

}  // namespace

std::string ApplyOperation(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx) {
  if (slot < 0 || slot >= kSlotCount) return {};
  const int code = job.slotCode[slot];
  if (code < 1 || code >= kOperationCount) return {};
  return kOperations[code](job, slot, sourcePath, ctx);
}

}  // namespace velmora
