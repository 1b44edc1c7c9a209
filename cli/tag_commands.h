// The MP3 tag commands: tag writes a tag into every found file from the
// stored tag, fixed texts or file-name parts; read-tag shows stored tags.
#pragma once

#include <string>

#include "cli/cli_options.h"
#include "tags/tag_editor.h"

namespace velmora::cli {

// Sets the tag editor's chooser and value field of field from a source text:
// "aus" (or "off"), "1", "2", "3" or "=TEXT" (the genre takes "aus", "off"
// or "=NAME" with a name of the genre table). Returns false for any other
// text.
bool ApplyTagSource(TagField field, const std::string& typed, TagEditorFields& fields);

// Each returns the exit status.
int TagMain(const CliOptions& options);
int ReadTagMain(const CliOptions& options);

}  // namespace velmora::cli
