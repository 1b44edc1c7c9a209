#include "cli/parser_text.h"

#include <vector>

#include "services/language.h"

namespace velmora::cli {
namespace {

struct Form {
  const char* parser;  // the parser's text, its parts as %1, %2, %3
  const char* ours;    // the same in German, the parts by the same numbers
};

constexpr Form kForms[] = {
    {"The following arguments were not expected: %1",
     VELMORA_TEXT("velmora", "Unerwartete Argumente: %1")},
    {"The following argument was not expected: %1",
     VELMORA_TEXT("velmora", "Unerwartetes Argument: %1")},
    {"A subcommand is required", VELMORA_TEXT("velmora", "Kein Befehl angegeben")},
    {"%1: %2 required %3 missing", VELMORA_TEXT("velmora", "%1 braucht einen Wert (%3)")},
    {"%1: At Most %2 required but received %3",
     VELMORA_TEXT("velmora", "%1 ist höchstens %2-mal erlaubt, nicht %3-mal")},
    {"%1: %2 not in %3", VELMORA_TEXT("velmora", "%1: %2 ist nicht erlaubt; möglich: %3")},
    {"Could not convert: %1 = %2", VELMORA_TEXT("velmora", "Ungültiger Wert für %1: %2")},
    {"%1: too many inputs for a flag", VELMORA_TEXT("velmora", "%1 nimmt keinen Wert")},
    {"%1: Should be true/false or a number", VELMORA_TEXT("velmora", "%1 nimmt keinen Wert")},
    {"%1 is required", VELMORA_TEXT("velmora", "%1 fehlt")},
};

// Where literal ends text at or after from: its start, else npos.
std::size_t SuffixAt(const std::string& text, const std::string& literal, std::size_t from) {
  if (text.size() < from + literal.size()) return std::string::npos;
  const std::size_t start = text.size() - literal.size();
  return text.compare(start, literal.size(), literal) == 0 ? start : std::string::npos;
}

// The parts of text where form has %1, %2, %3 (in that order), each the
// shortest that lets the rest match; false when text has another form.
bool Match(const std::string& form, const std::string& text, std::vector<std::string>& parts) {
  std::size_t f = 0, t = 0;
  while (f < form.size()) {
    if (form[f] != '%') {
      if (t >= text.size() || text[t] != form[f]) return false;
      ++f, ++t;
      continue;
    }
    f += 2;  // "%N"
    const std::size_t next = form.find('%', f);
    const std::string literal = form.substr(f, next == std::string::npos ? next : next - f);
    std::size_t end = text.size();
    if (!literal.empty()) {
      end = next == std::string::npos ? SuffixAt(text, literal, t) : text.find(literal, t);
    }
    if (end == std::string::npos || end <= t) return false;
    parts.push_back(text.substr(t, end - t));
    t = end;
  }
  return t == text.size();
}

// form with each "%N" replaced by parts[N - 1].
std::string Filled(const std::string& form, const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < form.size(); ++i) {
    const std::size_t n = i + 1 < form.size() ? static_cast<std::size_t>(form[i + 1] - '1') : 9;
    if (form[i] == '%' && n < parts.size()) {
      out += parts[n];
      ++i;
    } else {
      out += form[i];
    }
  }
  return out;
}

}  // namespace

std::string ParserText(const std::string& message) {
  for (const Form& form : kForms) {
    std::vector<std::string> parts;
    if (Match(form.parser, message, parts)) return Filled(Tr("velmora", form.ours), parts);
  }
  return message;
}

}  // namespace velmora::cli
