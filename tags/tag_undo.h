// Taking a tag write back exactly: the write is kept as its edits (where
// each lies, the bytes it replaced, its old and new length), the file's old
// length and modification time, and a checksum of what the write left. Undo
// takes back just those edits, and only from the file the write left; it
// never reads a region's extent from the file's header.
#pragma once

#include <string>
#include <string_view>

#include "engine/error_reporter.h"
#include "engine/file_system.h"
#include "tags/region_replace.h"

namespace velmora {

// The edits as one block for the journal, and back; false on a damaged
// block. The block: the line "velmora tag edits 1", then the line
// "OLDSIZE OLDMTIME NEWSIZE CHECKSUM COUNT" (mtime in nanoseconds, checksum
// 16 hex digits), then per edit the line "OFFSET OLDLENGTH NEWLENGTH", then
// the old bytes of every edit, in order, and nothing else. New bytes are not
// kept.
std::string PackTagEdits(const TagEdits& edits);
// The same into block, whose room is kept.
void PackTagEditsInto(const TagEdits& edits, std::string& block);
bool UnpackTagEdits(std::string_view block, TagEdits& edits);

// Takes back the tag write payload (a packed block) made to the file at
// path: the file must still have the length and checksum the write left
// (else it is refused, unchanged); afterwards length and bytes are checked
// against the old ones and the old modification time is set. A file found
// exactly as before the write only gets its old modification time back.
Error UndoTagWrite(FileSystem& disk, const std::string& path, std::string_view payload);

}  // namespace velmora
