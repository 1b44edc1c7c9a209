#include "ui/history_window.h"

namespace velmora {
namespace {

struct Release {
  const char* date;
  const char* version;
  std::vector<const char*> text;
};

// Newest first.
const std::vector<Release>& Releases() {
  static const std::vector<Release> releases = {
      {"02.05.2025",
       "1.0.0",
       {"Fehlerbehebung:", "Der letzte Such-Pfad wird gespeichert und bei",
        "erneutem Aufruf wiederhergestellt.",
        "Falls dieser Pfad dann jedoch nicht mehr existierte,",
        "wurde immer eine Fehlermeldung ausgegeben",
        "und das Programm konnte nicht mehr gestartet werden."}},
      {"16.02.2025",
       "0.13.0",
       {"Explorer-Link: Velmora erscheint im Kontextmenü des Dateimanagers",
        "für Ordner und startet die Suche direkt in diesem Ordner."}},
      {"05.01.2025",
       "0.12.0",
       {"Logfile: Fehler werden in LogFile.Log neben dem Programm festgehalten,",
        "auf Wunsch (Optionen - Logfile) auch jeder Schritt eines Laufs."}},
      {"24.11.2024",
       "0.11.0",
       {"MP3-Tag-Editor: Titel, Interpret, Album, Kommentar, Jahr und Genre",
        "aus dem gespeicherten Tag, aus festem Text oder aus Teilen",
        "des Dateinamens in alle markierten Dateien schreiben."}},
      {"13.10.2024",
       "0.10.0",
       {"Zurück: Umbenennen, Kopieren und Verschieben können Schritt für Schritt",
        "rückgängig gemacht werden, der letzte Schritt zuerst."}},
      {"01.09.2024",
       "0.9.0",
       {"Neue Operation: Dateinamen an einem Trennzeichen spiegeln,",
        "z. B. aus 'Titel - Interpret' wird 'Interpret - Titel'."}},
      {"21.07.2024",
       "0.8.0",
       {"Groß- und Kleinschreibung: Wortanfänge groß, alles groß oder alles klein,",
        "Umlaute eingeschlossen."}},
      {"09.06.2024",
       "0.7.0",
       {"Nummerieren: fortlaufende Nummer vor oder nach einem Text",
        "oder an einer Position einfügen; die Startzahl bestimmt die Stellen."}},
      {"28.04.2024",
       "0.6.0",
       {"Zeichen löschen: eine Anzahl Zeichen vor, nach oder ab einer Stelle,",
        "alles vor oder nach einem Text und alles zwischen zwei Texten."}},
      {"17.03.2024",
       "0.5.0",
       {"Kopieren und Verschieben in einen wählbaren Zielordner;",
        "der letzte Zielordner wird gespeichert."}},
      {"04.02.2024",
       "0.4.0",
       {"Bis zu drei Operationen (No. 1 bis No. 3) pro Lauf,",
        "die nacheinander auf jede markierte Datei angewendet werden."}},
      {"23.12.2023",
       "0.3.0",
       {"Jeder Schritt wird bestätigt: Ja, Nein, Alle oder Abbrechen.",
        "Ein vorhandenes Ziel wird erst nach einer zweiten Frage überschrieben."}},
      {"11.11.2023",
       "0.2.0",
       {"Suche auch in Unterverzeichnissen;",
        "alle Dateien auf einmal markieren oder die Markierung aufheben."}},
      {"30.09.2023", "0.1.0", {"Erste Version: Text in Dateinamen ersetzen und einfügen."}},
  };
  return releases;
}

}  // namespace

std::vector<std::string> ChangeHistoryLines() {
  std::vector<std::string> lines;
  for (const Release& release : Releases()) {
    if (!lines.empty()) lines.emplace_back();
    lines.push_back(std::string(release.date) + "\tV" + release.version);
    for (const char* text : release.text) lines.push_back(std::string("\t\t") + text);
  }
  return lines;
}

HistoryWindow::HistoryWindow() : LineListWindow(QStringLiteral("Hist"), tr("Änderungsgeschichte")) {
  SetLines(ChangeHistoryLines());
}

}  // namespace velmora
