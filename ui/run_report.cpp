#include "ui/run_report.h"

#include <QCoreApplication>
#include <QLocale>

#include "services/translation.h"

namespace velmora {

void RunTally::Committed(const std::string& source, const std::string& destination) {
  placed_.erase(source);
  placed_.insert(destination);
}

QString RunReportText(RunKind kind, int files, int errors) {
  const bool one = files == 1;
  const char* done = nullptr;
  switch (kind) {
    case RunKind::kCopy:
      done = one ? VELMORA_TEXT("velmora", "%1 Datei kopiert")
                 : VELMORA_TEXT("velmora", "%1 Dateien kopiert");
      break;
    case RunKind::kMove:
      done = one ? VELMORA_TEXT("velmora", "%1 Datei verschoben")
                 : VELMORA_TEXT("velmora", "%1 Dateien verschoben");
      break;
    default:
      done = one ? VELMORA_TEXT("velmora", "%1 Datei umbenannt")
                 : VELMORA_TEXT("velmora", "%1 Dateien umbenannt");
      break;
  }
  const QLocale numbers = CurrentLanguage() == Language::kEnglish ? QLocale(QLocale::English)
                                                                  : QLocale(QLocale::German);
  // German has one word for one and for many failures; English has two.
  return QString::fromStdString(Tr("velmora", done)).arg(numbers.toString(files)) +
         QStringLiteral(", ") +
         QCoreApplication::translate("velmora", "%n Fehler", nullptr, errors);
}

QString CountOfText(int value, int maximum) {
  const bool english = CurrentLanguage() == Language::kEnglish;
  const QLocale numbers = english ? QLocale(QLocale::English) : QLocale(QLocale::German);
  return QString::fromStdString(Tr("velmora", "%1 von %2"))
      .arg(numbers.toString(value), numbers.toString(maximum));
}

}  // namespace velmora
