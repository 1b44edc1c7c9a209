// The template of the operation "Name aus Tags": text with fields in braces,
// each under a German and an English name ("{Interpret} - {Titel}",
// "{artist} - {title}"), "{Nr:2}" for a track number two digits wide, and
// "{{" / "}}" for the braces themselves.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/error_reporter.h"
#include "engine/name_fields.h"

namespace velmora {

struct TemplatePart {
  std::string text;  // literal text, or the field's name as written
  int field = -1;    // a NameField, or -1 for literal text
  int width = 0;     // digits a track number is padded to
};

struct NameTemplate {
  std::vector<TemplatePart> parts;
};

// The field a name stands for, German or English; -1 for none.
int FieldByName(std::string_view name);

// Parses text into out. Fails with kNameTemplateError naming the problem: an
// unknown field, a brace left open, a "}" alone or a width that is not a
// number from 1 to 99 (only the track number takes one).
Error ParseNameTemplate(std::string_view text, NameTemplate& out);

// Appends the template filled from fields to out; a field the file lacks
// (or no fields at all) fails with kFieldMissing naming it.
Error ExpandNameTemplate(const NameTemplate& tmpl, const FileFields* fields, std::string& out);

}  // namespace velmora
