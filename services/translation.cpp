#include "services/translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QTranslator>
#include <array>
#include <memory>
#include <string_view>

#include "engine/path.h"
#include "engine/regex_replace.h"
#include "services/help_file.h"

namespace velmora {
namespace {

constexpr char kContext[] = "velmora";

struct Current {
  Language language = Language::kGerman;
  std::unique_ptr<QTranslator> translator;
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

std::string FilledForm(const QString& form, const std::array<std::string, 9>& values) {
  const std::string text = form.toStdString();
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
  if (line.empty() || !State().translator) return line;
  const QString text = State().translator->translate(kContext, line.c_str());
  if (!text.isEmpty()) return text.toStdString();
  for (const char* form : kArgumentForms) {
    std::array<std::string, 9> values;
    if (!MatchForm(form, line, values)) continue;
    const QString translated = State().translator->translate(kContext, form);
    if (!translated.isEmpty()) return FilledForm(translated, values);
  }
  return line;
}

}  // namespace

Language LanguageForUiLanguages(const QStringList& uiLanguages) {
  for (const QString& entry : uiLanguages) {
    const QString code = entry.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0);
    if (code.compare(QLatin1String("de"), Qt::CaseInsensitive) == 0) return Language::kGerman;
    if (code.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0) return Language::kEnglish;
  }
  return Language::kGerman;
}

Language ChosenLanguage(const std::string& stored) {
  if (stored == "de") return Language::kGerman;
  if (stored == "en") return Language::kEnglish;
  return LanguageForUiLanguages(QLocale::system().uiLanguages());
}

bool UseLanguage(Language language, const std::string& programFolder) {
  Current& current = State();
  if (current.translator && QCoreApplication::instance() != nullptr) {
    QCoreApplication::removeTranslator(current.translator.get());
  }
  current.translator.reset();
  current.language = Language::kGerman;
  if (language == Language::kGerman) return true;

  auto translator = std::make_unique<QTranslator>();
  const QString name = QStringLiteral("velmora_en");
  bool loaded = false;
  for (const std::string& folder : {programFolder, InstalledDataFolder(programFolder)}) {
    const std::string dir = WithTrailingSeparator(folder) + "translations";
    if (translator->load(name, QString::fromStdString(dir))) {
      loaded = true;
      break;
    }
  }
  if (!loaded) return false;
  if (QCoreApplication::instance() != nullptr)
    QCoreApplication::installTranslator(translator.get());
  current.translator = std::move(translator);
  current.language = language;
  return true;
}

Language CurrentLanguage() { return State().language; }

int ErrorTextLanguage() { return CurrentLanguage() == Language::kEnglish ? 0 : 1; }

std::string Tr(const char* context, const char* text) {
  if (!State().translator) return text;
  const QString translated = State().translator->translate(context, text);
  return translated.isEmpty() ? std::string(text) : translated.toStdString();
}

std::string WithArgs(const std::string& text, std::initializer_list<std::string> args) {
  QString result = QString::fromStdString(text);
  for (const std::string& arg : args) result = result.arg(QString::fromStdString(arg));
  return result.toStdString();
}

std::string Translated(const std::string& german) {
  if (!State().translator) return german;
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

QString UiText(const std::string& german) { return QString::fromStdString(Translated(german)); }

}  // namespace velmora
