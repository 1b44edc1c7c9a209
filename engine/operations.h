// The twenty name operations, one procedure per operation code. Each takes
// the current source path and the slot whose fields it reads, works on the
// file-name part (extension included) and returns the folder part (destPath
// while copying or moving) followed by the new name, or "" when it does not
// apply. A failure inside is reported through ctx.reporter at
// OperationLocation(code) with the context "Fehler beim Umbenennen" and gives "" as well.
// ApplyOperation in engine/job.h dispatches to them by code.
#pragma once

#include <string>

#include "engine/job.h"

namespace velmora {

// 1: every case-sensitive occurrence of the first field replaced by the
// second; "" when the name stays the same.
std::string ReplaceText(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx);

// 2: the first field inserted behind the first case-sensitive occurrence of
// the second field; "" when the anchor does not occur in exactly that case.
std::string InsertTextAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx);

// 3: the first field inserted in front of the first occurrence of the anchor.
std::string InsertTextBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                             NameContext& ctx);

// 4: the first field inserted at the character position of the second field
// (1 .. length + 1); a position that does not convert is reported.
std::string InsertTextAt(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx);

// 5: deletes "Anz." characters behind the anchor. Whether it acts is decided
// case-sensitively; where it acts, the anchor is found ignoring case.
std::string DeleteCountAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                             NameContext& ctx);

// 6: deletes "Anz." characters in front of the anchor.
std::string DeleteCountBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                              NameContext& ctx);

// 7: deletes "Anz." characters from the position of the second field on.
std::string DeleteCountAt(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx);

// 8: deletes everything in front of the anchor.
std::string DeleteAllBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx);

// 9: deletes everything behind the anchor, the extension included.
std::string DeleteAllAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx);

// 10: the next running number inserted behind the anchor.
std::string InsertNumberAfter(const RenameJob& job, int slot, const std::string& sourcePath,
                              NameContext& ctx);

// 11: the next running number inserted in front of the anchor.
std::string InsertNumberBefore(const RenameJob& job, int slot, const std::string& sourcePath,
                               NameContext& ctx);

// 12: the next running number inserted at the position of the second field.
std::string InsertNumberAt(const RenameJob& job, int slot, const std::string& sourcePath,
                           NameContext& ctx);

// 13: the first character and every a-z behind a blank made capital; never "".
std::string CapitalizeWords(const RenameJob& job, int slot, const std::string& sourcePath,
                            NameContext& ctx);

// 14: the base name's parts around the first field swapped, extension kept; a
// name without a dot or a separator not wholly inside the base is reported.
std::string MirrorName(const RenameJob& job, int slot, const std::string& sourcePath,
                       NameContext& ctx);

// 15: deletes what lies between the first and the second anchor. Whether it
// acts is decided case-sensitively; the anchors are then found ignoring case.
std::string DeleteBetween(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx);

// 16: a-z and ä, ö, ü made capital; never "".
std::string ToUpperCase(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx);

// 17: A-Z and Ä, Ö, Ü made small; never "".
std::string ToLowerCase(const RenameJob& job, int slot, const std::string& sourcePath,
                        NameContext& ctx);

// 18: the base name replaced by the template in the first field filled from
// ctx.fields, the extension kept; "/" and NUL become "_". A template error
// or a field the file lacks is reported.
std::string NameFromTags(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx);

// 19: every match of the pattern in the first field replaced by the second
// field ($1, ${name}, \U...\E); "" for an unchanged name. The first file
// that reaches a match limit is reported, and the slot gives "" for the
// rest of the walk.
std::string ReplaceRegex(const RenameJob& job, int slot, const std::string& sourcePath,
                         NameContext& ctx);

// 20: the name transliterated (engine/transliterate.h); the first field
// "de" for the German letters only. Never "".
std::string Transliterate(const RenameJob& job, int slot, const std::string& sourcePath,
                          NameContext& ctx);

// The running number as inserted: decimal digits padded with "0" to at least
// `width` digits, a minus sign in front of the padding for negative values.
std::string NumberText(int value, int width);

}  // namespace velmora
