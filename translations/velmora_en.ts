<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>velmora</name>
    <message>
        <source>Ordner seit dem Lauf ersetzt, nicht zurückgenommen:</source>
        <translation>Folder replaced since the run, not taken back:</translation>
    </message>
    <message>
        <source>Fehlerbehebung:</source>
        <translation>Bug fix:</translation>
    </message>
    <message>
        <source>Der letzte Such-Pfad wird gespeichert und bei</source>
        <translation>The last search path is saved and restored</translation>
    </message>
    <message>
        <source>erneutem Aufruf wiederhergestellt.</source>
        <translation>at the next start.</translation>
    </message>
    <message>
        <source>Falls dieser Pfad dann jedoch nicht mehr existierte,</source>
        <translation>If that path no longer existed by then,</translation>
    </message>
    <message>
        <source>wurde immer eine Fehlermeldung ausgegeben</source>
        <translation>an error message was always shown</translation>
    </message>
    <message>
        <source>und das Programm konnte nicht mehr gestartet werden.</source>
        <translation>and the program could no longer be started.</translation>
    </message>
    <message>
        <source>Explorer-Link: Velmora erscheint im Kontextmenü des Dateimanagers</source>
        <translation>Folder menu link: Velmora appears in the file manager&apos;s context menu</translation>
    </message>
    <message>
        <source>für Ordner und startet die Suche direkt in diesem Ordner.</source>
        <translation>for folders and starts the search right in that folder.</translation>
    </message>
    <message>
        <source>Logfile: Fehler werden in LogFile.Log neben dem Programm festgehalten,</source>
        <translation>Log file: failures are kept in LogFile.Log beside the program,</translation>
    </message>
    <message>
        <source>auf Wunsch (Optionen - Logfile) auch jeder Schritt eines Laufs.</source>
        <translation>on request (Options - Log file) every step of a run too.</translation>
    </message>
    <message>
        <source>MP3-Tag-Editor: Titel, Interpret, Album, Kommentar, Jahr und Genre</source>
        <translation>MP3 tag editor: write title, artist, album, comment, year and genre</translation>
    </message>
    <message>
        <source>aus dem gespeicherten Tag, aus festem Text oder aus Teilen</source>
        <translation>from the stored tag, from fixed text or from parts</translation>
    </message>
    <message>
        <source>des Dateinamens in alle markierten Dateien schreiben.</source>
        <translation>of the file name into every selected file.</translation>
    </message>
    <message>
        <source>Zurück: Umbenennen, Kopieren und Verschieben können Schritt für Schritt</source>
        <translation>Undo: renaming, copying and moving can be taken back step by step,</translation>
    </message>
    <message>
        <source>rückgängig gemacht werden, der letzte Schritt zuerst.</source>
        <translation>the last step first.</translation>
    </message>
    <message>
        <source>Neue Operation: Dateinamen an einem Trennzeichen spiegeln,</source>
        <translation>New operation: mirror file names at a separator,</translation>
    </message>
    <message>
        <source>z. B. aus &apos;Titel - Interpret&apos; wird &apos;Interpret - Titel&apos;.</source>
        <translation>e.g. &apos;Title - Artist&apos; becomes &apos;Artist - Title&apos;.</translation>
    </message>
    <message>
        <source>Groß- und Kleinschreibung: Wortanfänge groß, alles groß oder alles klein,</source>
        <translation>Letter case: capitals at word starts, all capitals or all small letters,</translation>
    </message>
    <message>
        <source>Umlaute eingeschlossen.</source>
        <translation>umlauts included.</translation>
    </message>
    <message>
        <source>Nummerieren: fortlaufende Nummer vor oder nach einem Text</source>
        <translation>Numbering: insert a running number before or after a text</translation>
    </message>
    <message>
        <source>oder an einer Position einfügen; die Startzahl bestimmt die Stellen.</source>
        <translation>or at a position; the start number sets the digits.</translation>
    </message>
    <message>
        <source>Zeichen löschen: eine Anzahl Zeichen vor, nach oder ab einer Stelle,</source>
        <translation>Delete characters: a number of characters before, after or from a position,</translation>
    </message>
    <message>
        <source>alles vor oder nach einem Text und alles zwischen zwei Texten.</source>
        <translation>everything before or after a text and everything between two texts.</translation>
    </message>
    <message>
        <source>Kopieren und Verschieben in einen wählbaren Zielordner;</source>
        <translation>Copy and move into a destination folder of your choice;</translation>
    </message>
    <message>
        <source>der letzte Zielordner wird gespeichert.</source>
        <translation>the last destination is saved.</translation>
    </message>
    <message>
        <source>Bis zu drei Operationen (No. 1 bis No. 3) pro Lauf,</source>
        <translation>Up to three operations (No. 1 to No. 3) per run,</translation>
    </message>
    <message>
        <source>die nacheinander auf jede markierte Datei angewendet werden.</source>
        <translation>applied one after the other to each selected file.</translation>
    </message>
    <message>
        <source>Jeder Schritt wird bestätigt: Ja, Nein, Alle oder Abbrechen.</source>
        <translation>Every step is confirmed: Yes, No, All or Cancel.</translation>
    </message>
    <message>
        <source>Ein vorhandenes Ziel wird erst nach einer zweiten Frage überschrieben.</source>
        <translation>An existing target is overwritten only after a second question.</translation>
    </message>
    <message>
        <source>Suche auch in Unterverzeichnissen;</source>
        <translation>Search in sub-folders too;</translation>
    </message>
    <message>
        <source>alle Dateien auf einmal markieren oder die Markierung aufheben.</source>
        <translation>select all files at once or clear the selection.</translation>
    </message>
    <message>
        <source>Erste Version: Text in Dateinamen ersetzen und einfügen.</source>
        <translation>First version: replace and insert text in file names.</translation>
    </message>
    <message>
        <source>%1 Datei umbenannt</source>
        <translation>%1 file renamed</translation>
    </message>
    <message>
        <source>%1 Dateien umbenannt</source>
        <translation>%1 files renamed</translation>
    </message>
    <message>
        <source>%1 Datei kopiert</source>
        <translation>%1 file copied</translation>
    </message>
    <message>
        <source>%1 Dateien kopiert</source>
        <translation>%1 files copied</translation>
    </message>
    <message>
        <source>%1 Datei verschoben</source>
        <translation>%1 file moved</translation>
    </message>
    <message>
        <source>%1 Dateien verschoben</source>
        <translation>%1 files moved</translation>
    </message>
    <message>
        <source>%1 von %2</source>
        <translation>%1 of %2</translation>
    </message>
    <message>
        <source>aus</source>
        <translation>off</translation>
    </message>
    <message>
        <source>fest</source>
        <translation>fixed</translation>
    </message>
    <message>
        <source>kein ID3v2-Tag</source>
        <translation>no ID3v2 tag</translation>
    </message>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>Velmora-Team</source>
        <translation>Velmora team</translation>
    </message>
    <message numerus="yes">
        <source>%n Fehler</source>
        <translation>
            <numerusform>%n error</numerusform>
            <numerusform>%n errors</numerusform>
        </translation>
    </message>
    <message>
        <source>Aufruf: velmora [ORDNER]
Öffnet das Fenster; mit ORDNER ist dieser Ordner für die Suche gewählt.

  --help     diese Hilfe zeigen und beenden
  --version  die Version zeigen und beenden

Dasselbe aus Skripten und im Terminal: velmora-cli --help
</source>
        <translation>Usage: velmora [FOLDER]
Opens the window; with FOLDER, that folder is chosen for the search.

  --help     show this help and exit
  --version  show the version and exit

The same from scripts and terminals: velmora-cli --help
</translation>
    </message>
    <message>
        <source>Allgemeiner Fehler</source>
        <translation>General error</translation>
    </message>
    <message>
        <source>Falsche oder fehlende Eingabe</source>
        <translation>Wrong or missing input</translation>
    </message>
    <message>
        <source>(Null ist als Startnummer nicht erlaubt)</source>
        <translation>(Zero is not allowed as the start number)</translation>
    </message>
    <message>
        <source>Das Ziel ist die Quelldatei selbst unter einem anderen Namen (Verknüpfung). Der Schritt wurde ausgelassen; die Datei bleibt, wie sie ist.</source>
        <translation>The target is the source file itself under another name (a link). The step was skipped; the file stays as it is.</translation>
    </message>
    <message>
        <source>Das Ziel ist eine Datei, die dieser Lauf noch braucht (eine markierte Datei oder das Ergebnis eines früheren Schritts). Der Schritt wurde ausgelassen, damit keine Datei verloren geht. Muster enger fassen oder die Dateien in getrennten Läufen umbenennen.</source>
        <translation>The target is a file this run still needs (a marked file or the result of an earlier step). The step was skipped so that no file is lost. Narrow the pattern or rename the files in separate runs.</translation>
    </message>
    <message>
        <source>Konnte </source>
        <translation>Renaming </translation>
    </message>
    <message>
        <source> nicht zu </source>
        <translation> to </translation>
    </message>
    <message>
        <source>umbenennen</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>Fehler beim Löschen</source>
        <translation>Error while deleting</translation>
    </message>
    <message>
        <source>Fehler beim Umbenennen</source>
        <translation>Error while renaming</translation>
    </message>
    <message>
        <source>nicht aktiv</source>
        <translation>not active</translation>
    </message>
    <message>
        <source>&amp;Suche</source>
        <translation>&amp;Search</translation>
    </message>
    <message>
        <source>&amp;Reset</source>
        <translation>&amp;Reset</translation>
    </message>
    <message>
        <source>E&amp;nde</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Wenn die Listen-Box gefüllt wurde. Suche beendet...</source>
        <translation>The list box is full. Search ended...</translation>
    </message>
    <message>
        <source>Fehler beim Suchen</source>
        <translation>Error while searching</translation>
    </message>
    <message>
        <source>Fehler beim Auslesen des Tag&apos;s</source>
        <translation>Error while reading the tag</translation>
    </message>
    <message>
        <source>Fehler beim Schreiben des Tag&apos;s</source>
        <translation>Error while writing the tag</translation>
    </message>
    <message>
        <source>Fehler beim Lesen des Tag&apos;s</source>
        <translation>Error while reading the tag</translation>
    </message>
    <message>
        <source>Fehler: </source>
        <translation>Error: </translation>
    </message>
    <message>
        <source>Logfile konnte nicht geöffnet werden</source>
        <translation>The log file could not be opened</translation>
    </message>
    <message>
        <source>unverändert</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>neu</source>
        <translation>new</translation>
    </message>
    <message>
        <source>existiert</source>
        <translation>exists</translation>
    </message>
    <message>
        <source>Groß/Klein</source>
        <translation>case</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>error</translation>
    </message>
    <message>
        <source>doppelt</source>
        <translation>duplicate</translation>
    </message>
    <message>
        <source>Kette</source>
        <translation>chain</translation>
    </message>
    <message>
        <source>Velmora-Team, Kontakt über die Projektseite von Velmora</source>
        <translation>Velmora team, contact through the Velmora project page</translation>
    </message>
    <message>
        <source>Freie Software unter der GNU GPL, Version 3 oder neuer (GPL-3.0-or-later)</source>
        <translation>Free software under the GNU GPL, version 3 or later (GPL-3.0-or-later)</translation>
    </message>
    <message>
        <source>Einfaches Umbenennen, Kopieren und Verschieben von mehreren Dateien.</source>
        <translation>Simple renaming, copying and moving of many files.</translation>
    </message>
    <message>
        <source>Editieren und Erstellen von MP3-TAGs aus dem File-Namen.</source>
        <translation>Editing and creating MP3 tags from the file name.</translation>
    </message>
    <message>
        <source> Freiwillige Spenden werden jedoch gerne entgegengenommen</source>
        <translation> Voluntary donations are gladly accepted, though</translation>
    </message>
    <message>
        <source>Für durch dieses Tool verursachte Schäden an Dateien und Ordnern kann keine Haftung übernommen werden</source>
        <translation>No liability can be accepted for damage to files and folders caused by this tool</translation>
    </message>
    <message>
        <source>File: Hilfe.txt nicht gefunden</source>
        <translation>File: Hilfe.txt not found</translation>
    </message>
    <message>
        <source>Umbenennen :</source>
        <translation>Rename :</translation>
    </message>
    <message>
        <source>Umbenennen</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Verschieben</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Dateien suchen und die Trefferliste ausgeben</source>
        <translation>Search for files and print the list of hits</translation>
    </message>
    <message>
        <source>Gefundene Dateien umbenennen</source>
        <translation>Rename the files found</translation>
    </message>
    <message>
        <source>Gefundene Dateien unter neuem Namen in einen Zielordner kopieren</source>
        <translation>Copy the files found under new names into a destination folder</translation>
    </message>
    <message>
        <source>Gefundene Dateien unter neuem Namen in einen Zielordner verschieben</source>
        <translation>Move the files found under new names into a destination folder</translation>
    </message>
    <message>
        <source>Die Schritte eines Journals zurücknehmen, den neuesten zuerst</source>
        <translation>Take back the steps of a journal, the newest first</translation>
    </message>
    <message>
        <source>Tags in gefundene Audiodateien schreiben (MP3, FLAC, Ogg, Opus, M4A)</source>
        <translation>Write tags into the audio files found (MP3, FLAC, Ogg, Opus, M4A)</translation>
    </message>
    <message>
        <source>Tags von Audiodateien ausgeben</source>
        <translation>Print the tags of audio files</translation>
    </message>
    <message>
        <source>Pfad nicht gefunden:</source>
        <translation>Path not found:</translation>
    </message>
    <message>
        <source>Keine Operation gewählt: --slot1, --slot2 oder --slot3 angeben.</source>
        <translation>No operation chosen: give --slot1, --slot2 or --slot3.</translation>
    </message>
    <message>
        <source>Fehler beim Schreiben des Journals</source>
        <translation>Error while writing the journal</translation>
    </message>
    <message>
        <source>Schritt kann nicht zurückgenommen werden:</source>
        <translation>Step cannot be taken back:</translation>
    </message>
    <message>
        <source>Datei seit dem Lauf geändert, nicht zurückgenommen:</source>
        <translation>File changed since the run, not taken back:</translation>
    </message>
    <message>
        <source>Ordner wurde ersetzt, nicht betreten:</source>
        <translation>Folder was replaced, not entered:</translation>
    </message>
    <message>
        <source>Ziel vorhanden, nicht zurückgenommen:</source>
        <translation>Target exists, not taken back:</translation>
    </message>
    <message>
        <source>entfernt:</source>
        <translation>removed:</translation>
    </message>
    <message>
        <source>Operationen (OP, Code oder Name; --srcN/--dstN = erstes/zweites Feld):</source>
        <translation>Operations (OP, code or name; --srcN/--dstN = first/second field):</translation>
    </message>
    <message>
        <source>Ohne --yes-all wird jeder Schritt auf der Konsole bestätigt (Ja, Alle, Nein, Abbrechen); ohne Konsole bricht der Befehl dann mit Status 2 ab.</source>
        <translation>Without --yes-all every step is confirmed on the console (Yes, All, No, Cancel); without a console the command then stops with status 2.</translation>
    </message>
    <message>
        <source>SRC: aus oder off (gespeicherter Tag), 1, 2, 3 (Teil des Dateinamens am Separator) oder =TEXT (fester Text); bei --genre aus, off oder =NAME. Nicht angegebene Felder: aus.</source>
        <translation>SRC: off or aus (the stored tag), 1, 2, 3 (part of the file name at the separator) or =TEXT (fixed text); for --genre off, aus or =NAME. Fields not given: off.</translation>
    </message>
    <message>
        <source>Exit-Status: 0 alles erledigt, 1 mindestens ein Fehler gemeldet, 2 falscher Aufruf, abgelehnte Eingabe oder kein Ordner, 3 Konflikt im Plan (--check).</source>
        <translation>Exit status: 0 all done, 1 at least one error reported, 2 wrong call, refused input or no folder, 3 conflict in the plan (--check).</translation>
    </message>
    <message>
        <source>Dateimuster mit * und ?, mehrere durch ; (*.*)</source>
        <translation>file pattern with * and ?, several separated by ; (*.*)</translation>
    </message>
    <message>
        <source>Unterordner mit durchsuchen</source>
        <translation>search the sub-folders too</translation>
    </message>
    <message>
        <source>erste Rückfrage mit &quot;Alle&quot; beantworten</source>
        <translation>answer the first question with &quot;All&quot;</translation>
    </message>
    <message>
        <source>vorhandene Zieldateien ohne Rückfrage löschen (&quot;Alle&quot;)</source>
        <translation>delete existing target files without asking (&quot;All&quot;)</translation>
    </message>
    <message>
        <source>Zielordner</source>
        <translation>destination folder</translation>
    </message>
    <message>
        <source>nur zeigen, was bei &quot;Ja&quot; auf jede Frage geschähe; nichts ändern</source>
        <translation>only show what &quot;Yes&quot; to every question would do; change nothing</translation>
    </message>
    <message>
        <source>vorher planen: bei einem Konflikt nichts ändern, Status 3</source>
        <translation>plan first: on a conflict change nothing, status 3</translation>
    </message>
    <message>
        <source>jeden Schritt ins Logfile schreiben</source>
        <translation>write every step into the log file</translation>
    </message>
    <message>
        <source>Journal FILE statt des Standard-Journals (~/.local/state/velmora/journal)</source>
        <translation>journal FILE instead of the default journal (~/.local/state/velmora/journal)</translation>
    </message>
    <message>
        <source>Journal FILE statt des Standard-Journals</source>
        <translation>journal FILE instead of the default journal</translation>
    </message>
    <message>
        <source>nur den neuesten Lauf zurücknehmen</source>
        <translation>take back only the newest run</translation>
    </message>
    <message>
        <source>Trenntext der Dateinamen-Teile</source>
        <translation>separator text of the file-name parts</translation>
    </message>
    <message>
        <source>Quelle für Titel</source>
        <translation>source for the title</translation>
    </message>
    <message>
        <source>Quelle für Interpret</source>
        <translation>source for the artist</translation>
    </message>
    <message>
        <source>Quelle für Album</source>
        <translation>source for the album</translation>
    </message>
    <message>
        <source>Quelle für Kommentar</source>
        <translation>source for the comment</translation>
    </message>
    <message>
        <source>Quelle für Jahr</source>
        <translation>source for the year</translation>
    </message>
    <message>
        <source>Quelle für Genre</source>
        <translation>source for the genre</translation>
    </message>
    <message>
        <source>jede Datei ins Logfile schreiben</source>
        <translation>write every file into the log file</translation>
    </message>
    <message>
        <source>ein JSON-Objekt je Zeile</source>
        <translation>one JSON object per line</translation>
    </message>
    <message>
        <source>MP3-Dateien</source>
        <translation>MP3 files</translation>
    </message>
    <message>
        <source>Aufruf</source>
        <translation>Usage</translation>
    </message>
    <message>
        <source>OPTIONEN</source>
        <translation>OPTIONS</translation>
    </message>
    <message>
        <source>BEFEHL</source>
        <translation>COMMAND</translation>
    </message>
    <message>
        <source>Argumente</source>
        <translation>Arguments</translation>
    </message>
    <message>
        <source>(Pflicht)</source>
        <translation>(required)</translation>
    </message>
    <message>
        <source>Optionen</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Velmora auf der Kommandozeile: Dateien suchen, umbenennen, kopieren, verschieben, zurücknehmen und MP3-Tags schreiben.</source>
        <translation>Velmora on the command line: search, rename, copy, move files, take changes back and write MP3 tags.</translation>
    </message>
    <message>
        <source>Hilfe anzeigen</source>
        <translation>show help</translation>
    </message>
    <message>
        <source>Ordner, in denen gesucht wird, einer nach dem anderen</source>
        <translation>folders to search, one after the other</translation>
    </message>
    <message>
        <source>%1 zurückgenommen, %2 Fehler, %3 ausgelassen</source>
        <translation>%1 undone, %2 failed, %3 skipped</translation>
    </message>
    <message>
        <source>%1 umbenannt, %2 Fehler, %3 ausgelassen</source>
        <translation>%1 renamed, %2 failed, %3 skipped</translation>
    </message>
    <message>
        <source>%1 kopiert, %2 Fehler, %3 ausgelassen</source>
        <translation>%1 copied, %2 failed, %3 skipped</translation>
    </message>
    <message>
        <source>%1 verschoben, %2 Fehler, %3 ausgelassen</source>
        <translation>%1 moved, %2 failed, %3 skipped</translation>
    </message>
    <message>
        <source>%1 geschrieben, %2 Fehler, %3 ausgelassen</source>
        <translation>%1 written, %2 failed, %3 skipped</translation>
    </message>
    <message>
        <source>Unerwartete Argumente: %1</source>
        <translation>The following arguments were not expected: %1</translation>
    </message>
    <message>
        <source>Unerwartetes Argument: %1</source>
        <translation>The following argument was not expected: %1</translation>
    </message>
    <message>
        <source>Kein Befehl angegeben</source>
        <translation>No command given</translation>
    </message>
    <message>
        <source>%1 braucht einen Wert (%3)</source>
        <translation>%1 needs a value (%3)</translation>
    </message>
    <message>
        <source>%1 ist höchstens %2-mal erlaubt, nicht %3-mal</source>
        <translation>%1 is allowed at most %2 times, not %3</translation>
    </message>
    <message>
        <source>%1: %2 ist nicht erlaubt; möglich: %3</source>
        <translation>%1: %2 is not allowed; possible: %3</translation>
    </message>
    <message>
        <source>Ungültiger Wert für %1: %2</source>
        <translation>Invalid value for %1: %2</translation>
    </message>
    <message>
        <source>%1 nimmt keinen Wert</source>
        <translation>%1 takes no value</translation>
    </message>
    <message>
        <source>%1 fehlt</source>
        <translation>%1 is required</translation>
    </message>
    <message>
        <source>je Datei zeigen, was geschrieben würde (alt -&gt; neu); nichts ändern</source>
        <translation>show per file what would be written (old -&gt; new); change nothing</translation>
    </message>
    <message>
        <source>ohne Wirkung: tag schreibt ohne Rückfrage</source>
        <translation>no effect: tag writes without questions</translation>
    </message>
    <message>
        <source>jeden Pfad unverändert mit einem NUL-Byte beenden (xargs -0)</source>
        <translation>end each path, unchanged, with a NUL byte (xargs -0)</translation>
    </message>
    <message>
        <source>Gültige Operationen: 0 bis %1 oder %2</source>
        <translation>Valid operations: 0 to %1 or %2</translation>
    </message>
    <message>
        <source>Unbekannte Option: %1</source>
        <translation>Unknown option: %1</translation>
    </message>
    <message>
        <source>Unbekannter Befehl: %1</source>
        <translation>Unknown command: %1</translation>
    </message>
    <message>
        <source>meinten Sie: %1?</source>
        <translation>did you mean: %1?</translation>
    </message>
    <message>
        <source>die Version zeigen und beenden</source>
        <translation>show the version and exit</translation>
    </message>
    <message>
        <source>Hilfe zu einem Befehl: velmora-cli BEFEHL --help</source>
        <translation>Help on a command: velmora-cli COMMAND --help</translation>
    </message>
    <message>
        <source>Befehle</source>
        <translation>Commands</translation>
    </message>
    <message>
        <source>Hilfe: velmora-cli --help</source>
        <translation>Help: velmora-cli --help</translation>
    </message>
    <message>
        <source>unerwarteter Fehler</source>
        <translation>unexpected error</translation>
    </message>
    <message>
        <source>Fehler beim Lesen des Journals</source>
        <translation>Error while reading the journal</translation>
    </message>
    <message>
        <source>Plan mit --yes-all --overwrite-all: jeder Schritt bestätigt, vorhandene Ziele werden überschrieben.</source>
        <translation>Plan with --yes-all --overwrite-all: every step confirmed, existing targets are overwritten.</translation>
    </message>
    <message>
        <source>Plan mit --yes-all: jeder Schritt bestätigt, vorhandene Ziele bleiben (ohne --overwrite-all).</source>
        <translation>Plan with --yes-all: every step confirmed, existing targets are kept (no --overwrite-all).</translation>
    </message>
    <message>
        <source>Keine Konsole für Rückfragen: --yes-all angeben, um alle Schritte zu bestätigen (vorhandene Ziele werden nur mit --overwrite-all überschrieben).</source>
        <translation>No console for questions: give --yes-all to confirm all steps (existing targets are only overwritten with --overwrite-all).</translation>
    </message>
    <message>
        <source>Ungültige Quelle für %1: %2 (aus oder =NAME aus der Genre-Liste)</source>
        <translation>Invalid source for %1: %2 (off or =NAME from the genre list)</translation>
    </message>
    <message>
        <source>Ungültige Quelle für %1: %2 (aus, 1, 2, 3 oder =TEXT)</source>
        <translation>Invalid source for %1: %2 (off, 1, 2, 3 or =TEXT)</translation>
    </message>
    <message>
        <source>Sind Sie sicher ??</source>
        <translation>Are you sure ??</translation>
    </message>
    <message>
        <source>Zu :</source>
        <translation>To :</translation>
    </message>
    <message>
        <source>(j)a, (a)lle, (n)ein, a(b)brechen? </source>
        <translation>(y)es, (a)ll, (n)o, (c)ancel? </translation>
    </message>
    <message>
        <source>Löschen ???</source>
        <translation>Delete ???</translation>
    </message>
    <message>
        <source>Die Zieldatei existiert bereits</source>
        <translation>The target file already exists</translation>
    </message>
    <message>
        <source>Datei löschen ? (j)a, (a)lle, a(b)brechen? </source>
        <translation>Delete the file ? (y)es, (a)ll, (c)ancel? </translation>
    </message>
    <message>
        <source>Die Zieldatei existiert bereits (nicht in der Vorschau)</source>
        <translation>The target file already exists (not in the preview)</translation>
    </message>
    <message>
        <source>Text ersetzen / löschen</source>
        <translation>Replace / delete text</translation>
    </message>
    <message>
        <source>von</source>
        <translation>from</translation>
    </message>
    <message>
        <source>zu</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Text einfügen nach ...</source>
        <translation>Insert text after ...</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>nach</source>
        <translation>after</translation>
    </message>
    <message>
        <source>Text einfügen vor ...</source>
        <translation>Insert text before ...</translation>
    </message>
    <message>
        <source>vor</source>
        <translation>before</translation>
    </message>
    <message>
        <source>Text einfügen an Pos.</source>
        <translation>Insert text at pos.</translation>
    </message>
    <message>
        <source>Pos.</source>
        <translation>Pos.</translation>
    </message>
    <message>
        <source>Anzahl Zeichen löschen nach ...</source>
        <translation>Delete characters after ...</translation>
    </message>
    <message>
        <source>Anz.</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>Anzahl Zeichen löschen vor ...</source>
        <translation>Delete characters before ...</translation>
    </message>
    <message>
        <source>Anzahl Zeichen löschen an Pos.</source>
        <translation>Delete characters at pos.</translation>
    </message>
    <message>
        <source>Alle Zeichen löschen vor ...</source>
        <translation>Delete everything before ...</translation>
    </message>
    <message>
        <source>Alle Zeichen löschen nach ...</source>
        <translation>Delete everything after ...</translation>
    </message>
    <message>
        <source>Nummer einfügen nach ...</source>
        <translation>Insert number after ...</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Nummer einfügen vor ...</source>
        <translation>Insert number before ...</translation>
    </message>
    <message>
        <source>Nummer einfügen an Pos.</source>
        <translation>Insert number at pos.</translation>
    </message>
    <message>
        <source>Großbuchstaben am Wortanfang</source>
        <translation>Capitals at word starts</translation>
    </message>
    <message>
        <source>leer</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>Zeichenfolge Spiegeln</source>
        <translation>Mirror the name</translation>
    </message>
    <message>
        <source>Spiegel</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>Anzahl Zeichen löschen zwischen</source>
        <translation>Delete characters between</translation>
    </message>
    <message>
        <source>Alle in Großbuchstaben</source>
        <translation>All in capitals</translation>
    </message>
    <message>
        <source>Alle in Kleinbuchstaben</source>
        <translation>All in small letters</translation>
    </message>
    <message>
        <source>Der Lauf lässt diesen Schritt aus, damit keine Datei verloren geht: Muster enger fassen oder die Dateien in getrennten Läufen umbenennen.</source>
        <translation>The run skips this step so that no file is lost: narrow the pattern or rename the files in separate runs.</translation>
    </message>
    <message>
        <source>Keine Operation ändert diesen Namen.</source>
        <translation>No operation changes this name.</translation>
    </message>
    <message>
        <source>Nichts steht im Weg.</source>
        <translation>Nothing stands in the way.</translation>
    </message>
    <message>
        <source>Der Lauf würde hier scheitern:</source>
        <translation>The run would fail here:</translation>
    </message>
    <message>
        <source>Neuer Name: %1</source>
        <translation>New name: %1</translation>
    </message>
    <message>
        <source>Das Ziel %1 existiert bereits. Der Lauf fragt, ob es gelöscht werden soll; mit „Ja“ geht die vorhandene Datei verloren.</source>
        <translation>The target %1 already exists. The run asks whether to delete it; with “Yes” the existing file is lost.</translation>
    </message>
    <message>
        <source>Wird von %1 überschrieben: dessen neuer Name unterscheidet sich nur in Groß-/Kleinschreibung, und das Dateisystem unterscheidet die Schreibweisen nicht.</source>
        <translation>Overwritten by %1: its new name differs only in letter case, and the file system does not tell the spellings apart.</translation>
    </message>
    <message>
        <source>%1 unterscheidet sich nur in Groß-/Kleinschreibung von einem vorhandenen Namen. Das Dateisystem unterscheidet die Schreibweisen nicht: der Lauf fragt, ob die vorhandene Datei gelöscht werden soll.</source>
        <translation>%1 differs only in letter case from an existing name. The file system does not tell the spellings apart: the run asks whether to delete the existing file.</translation>
    </message>
    <message>
        <source>Endet unter demselben Namen %1 wie %2: die spätere Datei überschreibt diese.</source>
        <translation>Ends under the same name %1 as %2: the later file overwrites this one.</translation>
    </message>
    <message>
        <source>Endet unter demselben Namen %1 wie %2.</source>
        <translation>Ends under the same name %1 as %2.</translation>
    </message>
    <message>
        <source>Das Ziel %1 hat ein früherer Schritt dieses Laufs angelegt.</source>
        <translation>The target %1 was made by an earlier step of this run.</translation>
    </message>
    <message>
        <source>Das Ziel %1 ist der aktuelle Name von %2 (Kette oder Tausch).</source>
        <translation>The target %1 is the current name of %2 (chain or swap).</translation>
    </message>
    <message>
        <source>Unter dem Namen %1 liegt beim Lauf schon eine andere Datei: diese Datei ist dann verloren.</source>
        <translation>By the time of the run another file has the name %1: that file is then lost.</translation>
    </message>
    <message>
        <source>Wird von %1 überschrieben, bevor sie selbst an der Reihe ist (Kette oder Tausch).</source>
        <translation>Overwritten by %1 before its own turn comes (chain or swap).</translation>
    </message>
    <message>
        <source>1 Änderung</source>
        <translation>1 change</translation>
    </message>
    <message>
        <source>%1 Änderungen</source>
        <translation>%1 changes</translation>
    </message>
    <message>
        <source>1 Konflikt</source>
        <translation>1 conflict</translation>
    </message>
    <message>
        <source>%1 Konflikte</source>
        <translation>%1 conflicts</translation>
    </message>
    <message>
        <source>Unbekannte Operation für --slot%1: %2</source>
        <translation>Unknown operation for --slot%1: %2</translation>
    </message>
    <message>
        <source>Beschädigter Eintrag im Journal übersprungen: %1</source>
        <translation>Damaged journal record skipped: %1</translation>
    </message>
    <message>
        <source>Lauf %1 läuft noch; seine Schritte bleiben im Journal.</source>
        <translation>Run %1 is still running; its steps stay in the journal.</translation>
    </message>
    <message>
        <source>1 Schritt bleibt im Journal %1</source>
        <translation>1 step stays in the journal %1</translation>
    </message>
    <message>
        <source>%1 Schritte bleiben im Journal %2</source>
        <translation>%1 steps stay in the journal %2</translation>
    </message>
    <message>
        <source>Operation für No. %1</source>
        <translation>operation for No. %1</translation>
    </message>
    <message>
        <source>erstes Feld von No. %1</source>
        <translation>first field of No. %1</translation>
    </message>
    <message>
        <source>zweites Feld von No. %1</source>
        <translation>second field of No. %1</translation>
    </message>
    <message>
        <source>Die Vorschau nimmt an, dass jede Frage mit „Ja“ oder „Alle“ beantwortet wird. Ein „Nein“ bei einer Nummer gibt sie an die nächste Datei weiter und verschiebt die folgenden Namen.</source>
        <translation>The preview assumes that every question is answered with “Yes” or “All”. A “No” on a number passes it on to the next file and shifts the names that follow.</translation>
    </message>
    <message>
        <source>Die Sprache wechselt beim nächsten Start.</source>
        <translation>The language changes at the next start.</translation>
    </message>
    <message>
        <source>Kette (aufgelöst)</source>
        <translation>chain (resolved)</translation>
    </message>
    <message>
        <source>Das Ziel %1 ist der aktuelle Name von %2. „Ketten auflösen“ ordnet den Lauf so, dass es rechtzeitig frei wird (einen Tausch oder Kreis über einen vorübergehenden Namen).</source>
        <translation>The target %1 is the current name of %2. “Resolve chains” orders the run so that it is free in time (a swap or cycle through a temporary name).</translation>
    </message>
    <message>
        <source>Ketten und Tausche nicht auflösen: Schritte auf eine andere markierte Datei auslassen</source>
        <translation>do not resolve chains and swaps: leave out steps onto another marked file</translation>
    </message>
    <message>
        <source>ID3v2-Tag: auto (wenn vorhanden), always (immer), never (nie)</source>
        <translation>ID3v2 tag: auto (where present), always, never</translation>
    </message>
    <message>
        <source>Die Datei liegt jetzt unter dem Namen:</source>
        <translation>The file is now under the name:</translation>
    </message>
    <message>
        <source>Datei nicht mehr vorhanden, nicht zurückgenommen:</source>
        <translation>File no longer there, not taken back:</translation>
    </message>
    <message>
        <source>&amp;Verwerfen</source>
        <translation>&amp;Dismiss</translation>
    </message>
    <message>
        <source>Lauf %1 (%2, begonnen %3) wurde abgebrochen und nicht zurückgenommen. Zurücknehmen: %4; ohne Zurücknehmen beenden: velmora-cli undo --dismiss %1</source>
        <translation>Run %1 (%2, begun %3) was interrupted and not taken back. Take it back: %4; end it without taking it back: velmora-cli undo --dismiss %1</translation>
    </message>
    <message>
        <source>Trotzdem fortfahren?</source>
        <translation>Go on anyway?</translation>
    </message>
    <message>
        <source>Kein abgebrochener Lauf %1 im Journal %2</source>
        <translation>No interrupted run %1 in the journal %2</translation>
    </message>
    <message>
        <source>den abgebrochenen Lauf RUN beenden, ohne ihn zurückzunehmen (seine Schritte bleiben im Journal)</source>
        <translation>end the interrupted run RUN without taking it back (its steps stay in the journal)</translation>
    </message>
    <message>
        <source>(j)a, (n)ein? </source>
        <translation>(y)es, (n)o? </translation>
    </message>
    <message>
        <source>Name aus Tags</source>
        <translation>Name from tags</translation>
    </message>
    <message>
        <source>Vorlage</source>
        <translation>Template</translation>
    </message>
    <message>
        <source>FLAC-Datei, Vorbis-Kommentar</source>
        <translation>FLAC file, Vorbis comment</translation>
    </message>
    <message>
        <source>Ogg-Vorbis-Datei, Vorbis-Kommentar</source>
        <translation>Ogg Vorbis file, Vorbis comment</translation>
    </message>
    <message>
        <source>Opus-Datei, Vorbis-Kommentar</source>
        <translation>Opus file, Vorbis comment</translation>
    </message>
    <message>
        <source>M4A-Datei, MP4-Tag</source>
        <translation>M4A file, MP4 tag</translation>
    </message>
    <message>
        <source>FLAC-Datei: Vorbis-Kommentar wird geschrieben</source>
        <translation>FLAC file: Vorbis comment will be written</translation>
    </message>
    <message>
        <source>Ogg-Vorbis-Datei: Vorbis-Kommentar wird geschrieben</source>
        <translation>Ogg Vorbis file: Vorbis comment will be written</translation>
    </message>
    <message>
        <source>Opus-Datei: Vorbis-Kommentar wird geschrieben</source>
        <translation>Opus file: Vorbis comment will be written</translation>
    </message>
    <message>
        <source>M4A-Datei: MP4-Tag wird geschrieben</source>
        <translation>M4A file: MP4 tag will be written</translation>
    </message>
    <message>
        <source>Ersetzen (regulärer Ausdruck)</source>
        <translation>Replace (regular expression)</translation>
    </message>
    <message>
        <source>Muster</source>
        <translation>Pattern</translation>
    </message>
    <message>
        <source>durch</source>
        <translation>with</translation>
    </message>
    <message>
        <source>Umlaute umschreiben</source>
        <translation>Transliterate umlauts</translation>
    </message>
    <message>
        <source>leer oder de</source>
        <translation>empty or de</translation>
    </message>
    <message>
        <source>Reihenfolge der Liste: name, natural, modified oder size (name)</source>
        <translation>order of the list: name, natural, modified or size (name)</translation>
    </message>
    <message>
        <source>absteigend ordnen</source>
        <translation>in descending order</translation>
    </message>
    <message>
        <source>Schrittweite der Nummerierung, 1 bis 2147483647 (1)</source>
        <translation>step of the numbering, 1 to 2147483647 (1)</translation>
    </message>
    <message>
        <source>die Nummerierung je Ordner neu beginnen</source>
        <translation>restart the numbering in each folder</translation>
    </message>
    <message>
        <source>Auftrag nicht geschrieben: %1</source>
        <translation>Job not written: %1</translation>
    </message>
    <message>
        <source>Auftrag nicht lesbar: %1</source>
        <translation>Job cannot be read: %1</translation>
    </message>
    <message>
        <source>Kein Auftrag dieser Version: %1</source>
        <translation>Not a job of this version: %1</translation>
    </message>
    <message>
        <source>Unbekannte Operation im Auftrag: %1</source>
        <translation>Unknown operation in the job: %1</translation>
    </message>
    <message>
        <source>Unbekannte Reihenfolge im Auftrag: %1</source>
        <translation>Unknown order in the job: %1</translation>
    </message>
    <message>
        <source>Ungültiger regulärer Ausdruck in No. %1, Zeichen %2 (%3)</source>
        <translation>Invalid regular expression in No. %1, character %2 (%3)</translation>
    </message>
    <message>
        <source>Grenze des regulären Ausdrucks erreicht: %1, Muster %2</source>
        <translation>Regular expression limit reached: %1, pattern %2</translation>
    </message>
    <message>
        <source>Unterordner nicht durchsuchen</source>
        <translation>do not search sub-folders</translation>
    </message>
    <message>
        <source>gespeicherten Auftrag ausführen; Optionen daneben gelten vorrangig</source>
        <translation>run a saved job; options beside it take precedence</translation>
    </message>
    <message>
        <source>den Auftrag in FILE speichern und nichts ausführen</source>
        <translation>save the job in FILE and run nothing</translation>
    </message>
    <message>
        <source>Ketten und Tausche auflösen (Voreinstellung)</source>
        <translation>resolve chains and swaps (the default)</translation>
    </message>
</context>
<context>
    <name>velmora::Dialog</name>
    <message>
        <source>Sind Sie sicher ??</source>
        <translation>Are you sure ??</translation>
    </message>
    <message>
        <source>Zu :</source>
        <translation>To :</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Alle</source>
        <translation>&amp;All</translation>
    </message>
    <message>
        <source>&amp;Nein</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>velmora::Dialog2</name>
    <message>
        <source>Löschen ???</source>
        <translation>Delete ???</translation>
    </message>
    <message>
        <source>Die Zieldatei existiert bereits</source>
        <translation>The target file already exists</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Datei löschen ?</source>
        <translation>Delete the file ?</translation>
    </message>
    <message>
        <source>&amp;Ja</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;Alle</source>
        <translation>&amp;All</translation>
    </message>
    <message>
        <source>&amp;Abbrechen</source>
        <translation>&amp;Cancel</translation>
    </message>
</context>
<context>
    <name>velmora::DirSearch</name>
    <message>
        <source>Übernehmen</source>
        <translation>Accept</translation>
    </message>
    <message>
        <source>Zielpfad</source>
        <translation>Destination</translation>
    </message>
</context>
<context>
    <name>velmora::FoundPanel</name>
    <message>
        <source>&amp;Dateien gefunden:</source>
        <translation>&amp;Files found:</translation>
    </message>
    <message>
        <source>Alle auswählen</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Markierung aufheben</source>
        <translation>Clear selection</translation>
    </message>
</context>
<context>
    <name>velmora::HelpWindow</name>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>velmora::HistoryWindow</name>
    <message>
        <source>Änderungsgeschichte</source>
        <translation>Version history</translation>
    </message>
</context>
<context>
    <name>velmora::Main</name>
    <message>
        <source>Zurück</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Historie</source>
        <translation>History</translation>
    </message>
    <message>
        <source>Über</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Optionen</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>&amp;Logfile</source>
        <translation>&amp;Log file</translation>
    </message>
    <message>
        <source>&amp;Explorer-Link</source>
        <translation>&amp;Folder menu link</translation>
    </message>
    <message>
        <source>&amp;Sprache</source>
        <translation>Lan&amp;guage</translation>
    </message>
    <message>
        <source>Deutsch</source>
        <translation>Deutsch</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>wie System</source>
        <translation>as the system</translation>
    </message>
    <message>
        <source>&amp;Ketten auflösen</source>
        <translation>&amp;Resolve chains</translation>
    </message>
    <message>
        <source>Den Lauf vom %1 zurücknehmen?</source>
        <translation>Take back the run of %1?</translation>
    </message>
    <message>
        <source>Der Lauf vom %1 (%2) wurde abgebrochen und nicht zurückgenommen.</source>
        <translation>The run of %1 (%2) was interrupted and not taken back.</translation>
    </message>
    <message>
        <source>&amp;Weiter</source>
        <translation>&amp;Go on</translation>
    </message>
    <message>
        <source>&amp;Reihenfolge</source>
        <translation>&amp;Order</translation>
    </message>
    <message>
        <source>&amp;Name</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>Name na&amp;türlich</source>
        <translation>Na&amp;tural name</translation>
    </message>
    <message>
        <source>Än&amp;derungsdatum</source>
        <translation>&amp;Date modified</translation>
    </message>
    <message>
        <source>&amp;Größe</source>
        <translation>&amp;Size</translation>
    </message>
    <message>
        <source>&amp;absteigend</source>
        <translation>D&amp;escending</translation>
    </message>
    <message>
        <source>&amp;Auftrag speichern…</source>
        <translation>&amp;Save job…</translation>
    </message>
    <message>
        <source>Auftrag la&amp;den…</source>
        <translation>Load &amp;job…</translation>
    </message>
    <message>
        <source>Auftrag speichern</source>
        <translation>Save job</translation>
    </message>
    <message>
        <source>Auftrag laden</source>
        <translation>Load job</translation>
    </message>
    <message>
        <source>Aufträge (*.ini)</source>
        <translation>Jobs (*.ini)</translation>
    </message>
</context>
<context>
    <name>velmora::PreviewPanel</name>
    <message>
        <source>Neuer Name</source>
        <translation>New name</translation>
    </message>
    <message>
        <source>&amp;Vorschau</source>
        <translation>&amp;Preview</translation>
    </message>
</context>
<context>
    <name>velmora::SearchPanel</name>
    <message>
        <source>Such&amp;kriterium:</source>
        <translation>Search &amp;pattern:</translation>
    </message>
    <message>
        <source>UnterVerz</source>
        <translation>Sub-folders</translation>
    </message>
</context>
<context>
    <name>velmora::SlotPanel</name>
    <message>
        <source>Umbenennen</source>
        <translation>Rename</translation>
    </message>
    <message>
        <source>No. %1</source>
        <translation>No. %1</translation>
    </message>
    <message>
        <source>Edit MP3-Tag</source>
        <translation>Edit MP3 tag</translation>
    </message>
    <message>
        <source>Verschieben</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Kopieren</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Felder: {Interpret} {Titel} {Album} {Jahr} {Nr} ({Nr:2} ergibt 07) {Genre} {Kommentar}; Fotos: {Datum} {Zeit}; jede Datei: {Geändert} {GeändertZeit}. Englisch ebenso: {artist} {title} {album} {year} {track} {genre} {comment} {date} {time} {modified} {mtime}. {{ und }} ergeben Klammern.</source>
        <translation>Fields: {artist} {title} {album} {year} {track} ({track:2} gives 07) {genre} {comment}; photos: {date} {time}; any file: {modified} {mtime}. German names too: {Interpret} {Titel} {Album} {Jahr} {Nr} {Genre} {Kommentar} {Datum} {Zeit} {Geändert} {GeändertZeit}. {{ and }} give braces.</translation>
    </message>
    <message>
        <source>Schrittweite</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Je Ordner neu beginnen</source>
        <translation>Restart in each folder</translation>
    </message>
</context>
<context>
    <name>velmora::TagPanel</name>
    <message>
        <source>MP3 - Tag - Editor</source>
        <translation>MP3 - Tag - Editor</translation>
    </message>
    <message>
        <source>vorher</source>
        <translation>before</translation>
    </message>
    <message>
        <source>nachher</source>
        <translation>after</translation>
    </message>
    <message>
        <source>Tag übernehmen</source>
        <translation>Write tag</translation>
    </message>
    <message>
        <source>Ende</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Separator</source>
        <translation>Separator</translation>
    </message>
    <message>
        <source>Titel</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Interpret</source>
        <translation>Artist</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Kommentar</source>
        <translation>Comment</translation>
    </message>
    <message>
        <source>Jahr</source>
        <translation>Year</translation>
    </message>
    <message>
        <source>Genre</source>
        <translation>Genre</translation>
    </message>
    <message>
        <source>&amp;ID3v2 schreiben</source>
        <translation>&amp;Write ID3v2</translation>
    </message>
    <message>
        <source>wenn vorhanden</source>
        <translation>where present</translation>
    </message>
    <message>
        <source>immer</source>
        <translation>always</translation>
    </message>
    <message>
        <source>nie</source>
        <translation>never</translation>
    </message>
</context>
</TS>
