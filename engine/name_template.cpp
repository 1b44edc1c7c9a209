#include "engine/name_template.h"

#include <cctype>

#include "engine/error_numbers.h"

namespace velmora {
namespace {

struct FieldName {
  const char* german;
  const char* english;
};

// Indexed by NameField.
constexpr FieldName kFieldNames[kNameFieldCount] = {
    {"Interpret", "artist"}, {"Titel", "title"},       {"Album", "album"},        {"Jahr", "year"},
    {"Nr", "track"},         {"Genre", "genre"},       {"Kommentar", "comment"},  {"Datum", "date"},
    {"Zeit", "time"},        {"Geändert", "modified"}, {"GeändertZeit", "mtime"},
};

Error TemplateError(std::string description) {
  return {kNameTemplateError, std::move(description)};
}

// The part between "{" and "}": a field name, for the track a width behind ":".
Error ParseField(std::string_view inside, TemplatePart& part) {
  const std::size_t colon = inside.find(':');
  const std::string_view name = inside.substr(0, colon);
  part.field = FieldByName(name);
  part.text = std::string(name);
  if (part.field < 0) return TemplateError("unknown field {" + std::string(inside) + "}");
  if (colon == std::string_view::npos) return {};
  const std::string_view digits = inside.substr(colon + 1);
  const bool number = !digits.empty() && digits.size() <= 2 &&
                      digits.find_first_not_of("0123456789") == std::string_view::npos;
  if (part.field != static_cast<int>(NameField::kTrack) || !number || digits == "0" ||
      digits == "00") {
    return TemplateError("bad width in {" + std::string(inside) + "}");
  }
  part.width = std::stoi(std::string(digits));
  return {};
}

void AppendLiteral(NameTemplate& out, char c) {
  if (out.parts.empty() || out.parts.back().field >= 0) out.parts.push_back({});
  out.parts.back().text += c;
}

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

int FieldByName(std::string_view name) {
  for (int i = 0; i < kNameFieldCount; ++i) {
    if (name == kFieldNames[i].german || name == kFieldNames[i].english) return i;
  }
  return -1;
}

Error ParseNameTemplate(std::string_view text, NameTemplate& out) {
  out.parts.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool doubled = i + 1 < text.size() && text[i + 1] == c;
    if ((c == '{' || c == '}') && doubled) {
      AppendLiteral(out, c);
      ++i;
    } else if (c == '}') {
      return TemplateError("\"}\" without \"{\" at byte " + std::to_string(i + 1));
    } else if (c == '{') {
      const std::size_t close = text.find('}', i + 1);
      if (close == std::string_view::npos) {
        return TemplateError("\"{\" not closed at byte " + std::to_string(i + 1));
      }
      TemplatePart part;
      if (Error error = ParseField(text.substr(i + 1, close - i - 1), part)) return error;
      out.parts.push_back(std::move(part));
      i = close;
    } else {
      AppendLiteral(out, c);
    }
  }
  return {};
}

Error ExpandNameTemplate(const NameTemplate& tmpl, const FileFields* fields, std::string& out) {
  for (const TemplatePart& part : tmpl.parts) {
    if (part.field < 0) {
      out += part.text;
      continue;
    }
    const std::optional<std::string>* value =
        fields != nullptr ? &fields->values[static_cast<std::size_t>(part.field)] : nullptr;
    if (value == nullptr || !value->has_value() || (*value)->empty()) {
      return {kFieldMissing, "no {" + part.text + "} in the file"};
    }
    const std::string& text = **value;
    if (part.width > 0 && AllDigits(text) && text.size() < static_cast<std::size_t>(part.width)) {
      out.append(static_cast<std::size_t>(part.width) - text.size(), '0');
    }
    out += text;
  }
  return {};
}

}  // namespace velmora
