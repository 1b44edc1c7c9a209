// tag --dry-run: what the tag run would write into each file, old and new
// value per field and tag version, read without changing anything.
#pragma once

#include "cli/console.h"
#include "tags/tag_editor.h"

namespace velmora::cli {

// Prints each file of list and, below it, every field the run would change:
// "  ID3v1 Titel: "OLD" -> "NEW"" (ID3v2.x for the other tag). The fields
// are filled for each file as the run fills them from chosen. A file that
// cannot be read is reported and left out.
void PrintTagPlan(const TagList& list, const TagEditorFields& chosen, Id3v2Mode mode,
                  Reporting& reporting);

}  // namespace velmora::cli
