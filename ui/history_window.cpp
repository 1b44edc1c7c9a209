#include "ui/history_window.h"

#include "services/translation.h"

namespace velmora {
namespace {

struct Release {
  const char* date;
  const char* version;
  std::vector<const char*> text;
};

// Newest first. A data table: as long as the history.
// NOLINTBEGIN(readability-function-size)
const std::vector<Release>& Releases() {
  static const std::vector<Release> releases = {
      {"02.05.2025",
       "1.0.0",
       {VELMORA_TEXT("velmora", "Fehlerbehebung:"),
        VELMORA_TEXT("velmora", "Der letzte Such-Pfad wird gespeichert und bei"),
        VELMORA_TEXT("velmora", "erneutem Aufruf wiederhergestellt."),
        VELMORA_TEXT("velmora", "Falls dieser Pfad dann jedoch nicht mehr existierte,"),
        VELMORA_TEXT("velmora", "wurde immer eine Fehlermeldung ausgegeben"),
        VELMORA_TEXT("velmora", "und das Programm konnte nicht mehr gestartet werden.")}},
      {"16.02.2025",
       "0.13.0",
       {VELMORA_TEXT("velmora",
                     "Explorer-Link: Velmora erscheint im Kontextmenü des Dateimanagers"),
        VELMORA_TEXT("velmora", "für Ordner und startet die Suche direkt in diesem Ordner.")}},
      {"05.01.2025",
       "0.12.0",
       {VELMORA_TEXT("velmora",
                     "Logfile: Fehler werden in LogFile.Log neben dem Programm festgehalten,"),
        VELMORA_TEXT("velmora",
                     "auf Wunsch (Optionen - Logfile) auch jeder Schritt eines Laufs.")}},
      {"24.11.2024",
       "0.11.0",
       {VELMORA_TEXT("velmora",
                     "MP3-Tag-Editor: Titel, Interpret, Album, Kommentar, Jahr und Genre"),
        VELMORA_TEXT("velmora", "aus dem gespeicherten Tag, aus festem Text oder aus Teilen"),
        VELMORA_TEXT("velmora", "des Dateinamens in alle markierten Dateien schreiben.")}},
      {"13.10.2024",
       "0.10.0",
       {VELMORA_TEXT("velmora",
                     "Zurück: Umbenennen, Kopieren und Verschieben können Schritt für Schritt"),
        VELMORA_TEXT("velmora", "rückgängig gemacht werden, der letzte Schritt zuerst.")}},
      {"01.09.2024",
       "0.9.0",
       {VELMORA_TEXT("velmora", "Neue Operation: Dateinamen an einem Trennzeichen spiegeln,"),
        VELMORA_TEXT("velmora", "z. B. aus 'Titel - Interpret' wird 'Interpret - Titel'.")}},
      {"21.07.2024",
       "0.8.0",
       {VELMORA_TEXT("velmora",
                     "Groß- und Kleinschreibung: Wortanfänge groß, alles groß oder alles klein,"),
        VELMORA_TEXT("velmora", "Umlaute eingeschlossen.")}},
      {"09.06.2024",
       "0.7.0",
       {VELMORA_TEXT("velmora", "Nummerieren: fortlaufende Nummer vor oder nach einem Text"),
        VELMORA_TEXT("velmora",
                     "oder an einer Position einfügen; die Startzahl bestimmt die Stellen.")}},
      {"28.04.2024",
       "0.6.0",
       {VELMORA_TEXT("velmora",
                     "Zeichen löschen: eine Anzahl Zeichen vor, nach oder ab einer Stelle,"),
        VELMORA_TEXT("velmora", "alles vor oder nach einem Text und alles zwischen zwei Texten.")}},
      {"17.03.2024",
       "0.5.0",
       {VELMORA_TEXT("velmora", "Kopieren und Verschieben in einen wählbaren Zielordner;"),
        VELMORA_TEXT("velmora", "der letzte Zielordner wird gespeichert.")}},
      {"04.02.2024",
       "0.4.0",
       {VELMORA_TEXT("velmora", "Bis zu drei Operationen (No. 1 bis No. 3) pro Lauf,"),
        VELMORA_TEXT("velmora", "die nacheinander auf jede markierte Datei angewendet werden.")}},
      {"23.12.2023",
       "0.3.0",
       {VELMORA_TEXT("velmora", "Jeder Schritt wird bestätigt: Ja, Nein, Alle oder Abbrechen."),
        VELMORA_TEXT("velmora",
                     "Ein vorhandenes Ziel wird erst nach einer zweiten Frage überschrieben.")}},
      {"11.11.2023",
       "0.2.0",
       {VELMORA_TEXT("velmora", "Suche auch in Unterverzeichnissen;"),
        VELMORA_TEXT("velmora",
                     "alle Dateien auf einmal markieren oder die Markierung aufheben.")}},
      {"30.09.2023",
       "0.1.0",
       {VELMORA_TEXT("velmora", "Erste Version: Text in Dateinamen ersetzen und einfügen.")}},
  };
  return releases;
}
// NOLINTEND(readability-function-size)

}  // namespace

std::vector<std::string> ChangeHistoryLines() {
  std::vector<std::string> lines;
  for (const Release& release : Releases()) {
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(std::string(release.date) + "\tV" + release.version);
    for (const char* text : release.text) lines.push_back("\t\t" + Tr("velmora", text));
  }
  return lines;
}

HistoryWindow::HistoryWindow() : LineListWindow(QStringLiteral("Hist"), tr("Änderungsgeschichte")) {
  SetLines(ChangeHistoryLines());
}

}  // namespace velmora
