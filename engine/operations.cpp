#include "engine/operations.h"

#include "engine/user_text.h"

namespace velmora {

const std::array<CatalogueEntry, kOperationCount>& Catalogue() {
  static const std::array<CatalogueEntry, kOperationCount> rows{{
      {VELMORA_TEXT("velmora", "nicht aktiv"), "", ""},
      {VELMORA_TEXT("velmora", "Text ersetzen / löschen"), VELMORA_TEXT("velmora", "von"),
       VELMORA_TEXT("velmora", "zu")},
      {VELMORA_TEXT("velmora", "Text einfügen nach ..."), VELMORA_TEXT("velmora", "Text"),
       VELMORA_TEXT("velmora", "nach")},
      {VELMORA_TEXT("velmora", "Text einfügen vor ..."), VELMORA_TEXT("velmora", "Text"),
       VELMORA_TEXT("velmora", "vor")},
      {VELMORA_TEXT("velmora", "Text einfügen an Pos."), VELMORA_TEXT("velmora", "Text"),
       VELMORA_TEXT("velmora", "Pos.")},
      {VELMORA_TEXT("velmora", "Anzahl Zeichen löschen nach ..."), VELMORA_TEXT("velmora", "Anz."),
       VELMORA_TEXT("velmora", "nach")},
      {VELMORA_TEXT("velmora", "Anzahl Zeichen löschen vor ..."), VELMORA_TEXT("velmora", "Anz."),
       VELMORA_TEXT("velmora", "vor")},
      {VELMORA_TEXT("velmora", "Anzahl Zeichen löschen an Pos."), VELMORA_TEXT("velmora", "Anz."),
       VELMORA_TEXT("velmora", "Pos.")},
      {VELMORA_TEXT("velmora", "Alle Zeichen löschen vor ..."), "", VELMORA_TEXT("velmora", "vor")},
      {VELMORA_TEXT("velmora", "Alle Zeichen löschen nach ..."), "",
       VELMORA_TEXT("velmora", "nach")},
      {VELMORA_TEXT("velmora", "Nummer einfügen nach ..."), VELMORA_TEXT("velmora", "Start"),
       VELMORA_TEXT("velmora", "nach")},
      {VELMORA_TEXT("velmora", "Nummer einfügen vor ..."), VELMORA_TEXT("velmora", "Start"),
       VELMORA_TEXT("velmora", "vor")},
      {VELMORA_TEXT("velmora", "Nummer einfügen an Pos."), VELMORA_TEXT("velmora", "Start"),
       VELMORA_TEXT("velmora", "Pos.")},
      {VELMORA_TEXT("velmora", "Großbuchstaben am Wortanfang"), VELMORA_TEXT("velmora", "leer"),
       VELMORA_TEXT("velmora", "leer")},
      {VELMORA_TEXT("velmora", "Zeichenfolge Spiegeln"), VELMORA_TEXT("velmora", "Spiegel"),
       VELMORA_TEXT("velmora", "leer")},
      {VELMORA_TEXT("velmora", "Anzahl Zeichen löschen zwischen"), VELMORA_TEXT("velmora", "nach"),
       VELMORA_TEXT("velmora", "vor")},
      {VELMORA_TEXT("velmora", "Alle in Großbuchstaben"), VELMORA_TEXT("velmora", "leer"),
       VELMORA_TEXT("velmora", "leer")},
      {VELMORA_TEXT("velmora", "Alle in Kleinbuchstaben"), VELMORA_TEXT("velmora", "leer"),
       VELMORA_TEXT("velmora", "leer")},
      {VELMORA_TEXT("velmora", "Name aus Tags"), VELMORA_TEXT("velmora", "Vorlage"),
       VELMORA_TEXT("velmora", "leer")},
      {VELMORA_TEXT("velmora", "Ersetzen (regulärer Ausdruck)"), VELMORA_TEXT("velmora", "Muster"),
       VELMORA_TEXT("velmora", "durch")},
      {VELMORA_TEXT("velmora", "Umlaute umschreiben"), VELMORA_TEXT("velmora", "leer oder de"),
       VELMORA_TEXT("velmora", "leer")},
  }};
  return rows;
}

namespace {

using OperationFn = std::string (*)(const RenameJob&, int, const std::string&, NameContext&);

// Indexed by operation code; code 0 is the inactive slot.
constexpr std::array<OperationFn, kOperationCount> kOperations{
    nullptr,           ReplaceText,        InsertTextAfter, InsertTextBefore, InsertTextAt,
    DeleteCountAfter,  DeleteCountBefore,  DeleteCountAt,   DeleteAllBefore,  DeleteAllAfter,
    InsertNumberAfter, InsertNumberBefore, InsertNumberAt,  CapitalizeWords,  MirrorName,
    DeleteBetween,     ToUpperCase,        ToLowerCase,     NameFromTags,     ReplaceRegex,
    Transliterate,
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
