#include "services/language.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include "engine/path.h"
#include "engine/regex_replace.h"
#include "services/help_file.h"
#include "services/qm_catalogue.h"

namespace velmora {
namespace {

constexpr char kContext[] = "velmora";

struct Current {
  Language language = Language::kGerman;
  QmCatalogue catalogue;
};

Current& State() {
  static Current current;
  return current;
}

// Messages the layers without Qt build with values in them: a line in one
// of these forms is translated as the form, with its values put back.
constexpr const char* kArgumentForms[] = {kBadRegexMessage};

// The values of line in form, where "%1" to "%9" stand for any text, by
// their digit; false when line is not in form.
bool MatchForm(std::string_view form, std::string_view line, std::array<std::string, 9>& values) {
  std::size_t at = 0;
  std::size_t i = 0;
  while (i < form.size()) {
    const bool marker =
        form[i] == '%' && i + 1 < form.size() && form[i + 1] >= '1' && form[i + 1] <= '9';
    if (!marker) {
      if (at == line.size() || line[at] != form[i]) return false;
      ++at;
      ++i;
      continue;
    }
    // The value runs to where the literal text after the marker comes next
    // (at the end of the line for the last one).
    const std::size_t next = form.find('%', i + 2);
    const std::string_view literal = form.substr(i + 2, next - (i + 2));
    const std::size_t end = next == std::string_view::npos
                                ? (line.size() >= literal.size() ? line.size() - literal.size()
                                                                 : std::string_view::npos)
                                : line.find(literal, at);
    if (end == std::string_view::npos || end < at) return false;
    values[static_cast<std::size_t>(form[i + 1] - '1')] = line.substr(at, end - at);
    at = end;
    i += 2;
  }
  return at == line.size();
}

std::string FilledForm(const std::string& text, const std::array<std::string, 9>& values) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '%' && next >= '1' && next <= '9') {
      out += values[static_cast<std::size_t>(next - '1')];
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string TranslatedLine(const std::string& line) {
  const QmCatalogue& catalogue = State().catalogue;
  if (line.empty() || catalogue.Empty()) return line;
  std::string text = catalogue.Find(kContext, line);
  if (!text.empty()) return text;
  for (const char* form : kArgumentForms) {
    std::array<std::string, 9> values;
    if (!MatchForm(form, line, values)) continue;
    const std::string translated = catalogue.Find(kContext, form);
    if (!translated.empty()) return FilledForm(translated, values);
  }
  return line;
}

// A marker of WithArgs at text[at]: "%", an optional "L", then a number up
// to 999; its number and length, or -1.
int MarkerAt(std::string_view text, std::size_t at, std::size_t& length) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == 'L') ++i;
  const std::size_t digits = i;
  int number = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    number = std::min(number * 10 + (text[i] - '0'), 1000);
    ++i;
  }
  if (i == digits || number > 999) return -1;
  length = i - at;
  return number;
}

bool IsFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

}  // namespace

std::optional<Language> LanguageOfName(std::string_view name) {
  const std::string_view code = name.substr(0, name.find_first_of("-_.@"));
  const auto is = [code](const char* two) {
    return code.size() == 2 && (code[0] | 0x20) == two[0] && (code[1] | 0x20) == two[1];
  };
  if (is("de")) return Language::kGerman;
  if (is("en")) return Language::kEnglish;
  return std::nullopt;
}

Language EnvironmentLanguage() {
  std::vector<std::string_view> entries;
  if (const char* list = std::getenv("LANGUAGE"); list != nullptr && *list != '\0') {
    std::string_view rest = list;
    for (std::size_t colon = rest.find(':'); colon != std::string_view::npos;
         colon = rest.find(':')) {
      entries.push_back(rest.substr(0, colon));
      rest.remove_prefix(colon + 1);
    }
    entries.push_back(rest);
  }
  // As Qt reads it for the window: LANGUAGE when set, else the one locale
  // variable that is in force, so LC_ALL=C outweighs LANG.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (!entries.empty()) break;
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') entries.emplace_back(value);
  }
  for (const std::string_view entry : entries) {
    if (const std::optional<Language> language = LanguageOfName(entry)) return *language;
  }
  return Language::kGerman;
}

std::string EnglishCatalogueFile(const std::string& programFolder) {
  for (const std::string& folder : {programFolder, InstalledDataFolder(programFolder)}) {
    const std::string path = WithTrailingSeparator(folder) + "translations/velmora_en.qm";
    if (IsFile(path)) return path;
  }
  return {};
}

bool LoadLanguage(Language language, const std::string& programFolder) {
  Current& current = State();
  current.catalogue = QmCatalogue();
  current.language = Language::kGerman;
  if (language == Language::kGerman) return true;
  const std::string file = EnglishCatalogueFile(programFolder);
  if (file.empty() || !current.catalogue.Load(file)) return false;
  current.language = language;
  return true;
}

Language CurrentLanguage() { return State().language; }

int ErrorTextLanguage() { return CurrentLanguage() == Language::kEnglish ? 0 : 1; }

std::string Tr(const char* context, const char* text) {
  const QmCatalogue& catalogue = State().catalogue;
  if (catalogue.Empty()) return text;
  std::string translated = catalogue.Find(context, text);
  return translated.empty() ? std::string(text) : translated;
}

std::string WithArgs(const std::string& text, std::initializer_list<std::string> args) {
  // The numbers used, lowest first: the n-th of them takes the n-th value.
  std::vector<int> numbers;
  for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at + 1)) {
    std::size_t length = 0;
    const int number = MarkerAt(text, at, length);
    if (number >= 0) numbers.push_back(number);
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  std::string out;
  std::size_t done = 0;
  for (std::size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
    std::size_t length = 1;
    const int number = MarkerAt(text, at, length);
    const auto rank = static_cast<std::size_t>(
        std::lower_bound(numbers.begin(), numbers.end(), number) - numbers.begin());
    if (number >= 0 && rank < args.size()) {
      out.append(text, done, at - done);
      out += *(args.begin() + rank);
      done = at + length;
    }
    at += length;
  }
  out.append(text, done, std::string::npos);
  return out;
}

std::string Translated(const std::string& german) {
  if (State().catalogue.Empty()) return german;
  std::string out;
  std::size_t start = 0;
  while (start <= german.size()) {
    std::size_t end = german.find('\n', start);
    if (end == std::string::npos) end = german.size();
    std::size_t lineEnd = end;
    if (lineEnd > start && german[lineEnd - 1] == '\r') --lineEnd;
    out += TranslatedLine(german.substr(start, lineEnd - start));
    out.append(german, lineEnd, end - lineEnd);  // the CR, if any
    if (end == german.size()) break;
    out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace velmora
