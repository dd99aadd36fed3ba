<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CardBuilder</name>
    <message>
        <source>Resource with identifier &apos;101&apos; not found</source>
        <translation>Ressource mit dem Bezeichner &apos;101&apos; nicht gefunden</translation>
    </message>
    <message>
        <source>No font on this computer has these characters of the message, so the card shows nothing in their place: %1. The Word file keeps them.</source>
        <translation>Keine Schrift auf diesem Computer enthält diese Zeichen der Nachricht, daher zeigt die Karte an ihrer Stelle nichts: %1. Die Word-Datei behält sie.</translation>
    </message>
</context>
<context>
    <name>CardOutput</name>
    <message>
        <source>Greeting card</source>
        <translation>Grußkarte</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>Word Files (*.doc)</source>
        <translation>Word-Dateien (*.doc)</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Fertig.</translation>
    </message>
    <message>
        <source>Save as PDF</source>
        <translation>Als PDF speichern</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)</source>
        <translation>PDF-Dateien (*.pdf)</translation>
    </message>
    <message>
        <source>Are you sure you wish to overwrite %1 ?</source>
        <translation>Möchten Sie %1 wirklich überschreiben?</translation>
    </message>
    <message>
        <source>Thank you</source>
        <translation>Vielen Dank</translation>
    </message>
    <message>
        <source>The card could not be drawn as a picture</source>
        <translation>Die Karte konnte nicht als Bild gezeichnet werden</translation>
    </message>
    <message>
        <source>Save as Picture</source>
        <translation>Als Bild speichern</translation>
    </message>
    <message>
        <source>PNG Pictures (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>JPEG Pictures (*.jpg *.jpeg)</source>
        <translation>JPEG-Bilder (*.jpg *.jpeg)</translation>
    </message>
</context>
<context>
    <name>Conversions</name>
    <message>
        <source>Overflow</source>
        <translation>Überlauf</translation>
    </message>
    <message>
        <source>Division by zero</source>
        <translation>Division durch Null</translation>
    </message>
</context>
<context>
    <name>ErrorTrap</name>
    <message>
        <source>in %1 at line %2</source>
        <translation>in %1 in Zeile %2</translation>
    </message>
    <message>
        <source>Please email screenshot of this message to %1</source>
        <translation>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an %1</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>Unexpected failure</source>
        <translation>Unerwarteter Fehler</translation>
    </message>
    <message>
        <source>Object variable or With block variable not set</source>
        <translation>Objektvariable oder With-Blockvariable nicht festgelegt</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>Short Message</source>
        <translation>Kurze Nachricht</translation>
    </message>
    <message>
        <source>Start Creating Template</source>
        <translation>Vorlage erstellen</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Load Sample/Example Data</source>
        <translation>Beispieldaten laden</translation>
    </message>
    <message>
        <source>Questions? Please contact the Pelorin Cards Support Team, %1</source>
        <translation>Fragen? Bitte wenden Sie sich an das Support-Team von Pelorin Cards, %1</translation>
    </message>
</context>
<context>
    <name>Form2</name>
    <message>
        <source>Card view</source>
        <translation>Kartenansicht</translation>
    </message>
    <message>
        <source>Greeting card</source>
        <translation>Grußkarte</translation>
    </message>
    <message>
        <source>Zoom:</source>
        <translation>Zoom:</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Zurück</translation>
    </message>
    <message>
        <source>Save Results To Word File</source>
        <translation>Ergebnisse als Word-Datei speichern</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>Drucken…</translation>
    </message>
    <message>
        <source>Save as PDF…</source>
        <translation>Als PDF speichern…</translation>
    </message>
    <message>
        <source>The card shows the template&apos;s own placeholder greeting, not the message.</source>
        <translation>Die Karte zeigt den Platzhaltergruß der Vorlage, nicht die Nachricht.</translation>
    </message>
    <message>
        <source>The card has no message.</source>
        <translation>Die Karte enthält keine Nachricht.</translation>
    </message>
    <message>
        <source>Message on the card:</source>
        <translation>Nachricht auf der Karte:</translation>
    </message>
    <message>
        <source>Zoom %1%</source>
        <translation>Zoom %1 %</translation>
    </message>
    <message>
        <source>Send by E-mail…</source>
        <translation>Per E-Mail senden…</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Save as Picture…</source>
        <translation>Als Bild speichern…</translation>
    </message>
</context>
<context>
    <name>GenerationLock</name>
    <message>
        <source>Another copy of %1 has been making a card for %2 seconds; this card is made without waiting for it any longer.</source>
        <translation>Eine andere Instanz von %1 erstellt seit %2 Sekunden eine Karte; diese Karte wird erstellt, ohne länger darauf zu warten.</translation>
    </message>
</context>
<context>
    <name>IsInstalled</name>
    <message>
        <source>Error 842001. A normal instance of Word could not be created.</source>
        <translation>Fehler 842001. Eine normale Instanz von Word konnte nicht erstellt werden.</translation>
    </message>
    <message>
        <source>1. Please make sure Word is installed on this computer.</source>
        <translation>1. Bitte stellen Sie sicher, dass Word auf diesem Computer installiert ist.</translation>
    </message>
    <message>
        <source>2. Please open Word normally and make sure a blank document opens immediately without any interrupting window (such as an Word file recovery window).</source>
        <translation>2. Bitte öffnen Sie Word wie gewohnt und stellen Sie sicher, dass sofort ein leeres Dokument erscheint, ohne dass ein anderes Fenster dazwischenkommt (etwa ein Fenster zur Wiederherstellung von Word-Dateien).</translation>
    </message>
    <message>
        <source>3. Please make sure that when you double-click on a DOC or DOCX file that Word opens normally without any interrupting messages.</source>
        <translation>3. Bitte stellen Sie sicher, dass sich Word bei einem Doppelklick auf eine DOC- oder DOCX-Datei normal öffnet, ohne dass Meldungen dazwischenkommen.</translation>
    </message>
    <message>
        <source>4. All versions of Word are supported by this software except for the rare Word Starter and Student editions.</source>
        <translation>4. Diese Software unterstützt alle Versionen von Word außer den seltenen Editionen Word Starter und Student.</translation>
    </message>
</context>
<context>
    <name>LibreOfficeWord</name>
    <message>
        <source>The item with the specified name wasn&apos;t found.</source>
        <translation>Das Element mit dem angegebenen Namen wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Word could not select the item %1</source>
        <translation>Word konnte das Element %1 nicht auswählen</translation>
    </message>
    <message>
        <source>The item with the specified name wasn&apos;t found on the page.</source>
        <translation>Das Element mit dem angegebenen Namen wurde auf der Seite nicht gefunden.</translation>
    </message>
    <message>
        <source>Word cannot type the text: nothing is selected.</source>
        <translation>Word kann den Text nicht eingeben: Es ist nichts ausgewählt.</translation>
    </message>
    <message>
        <source>Word could not type the text</source>
        <translation>Word konnte den Text nicht eingeben</translation>
    </message>
    <message>
        <source>Word cannot type the text: the selected item holds no text.</source>
        <translation>Word kann den Text nicht eingeben: Das ausgewählte Element enthält keinen Text.</translation>
    </message>
    <message>
        <source>Word could not save the document as %1</source>
        <translation>Word konnte das Dokument nicht als %1 speichern</translation>
    </message>
    <message>
        <source>the folder does not exist</source>
        <translation>der Ordner existiert nicht</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>Word could not save the document %1</source>
        <translation>Word konnte das Dokument %1 nicht speichern</translation>
    </message>
    <message>
        <source>it was opened read-only</source>
        <translation>es wurde schreibgeschützt geöffnet</translation>
    </message>
    <message>
        <source>Word could not close the document %1</source>
        <translation>Word konnte das Dokument %1 nicht schließen</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture</source>
        <translation>Word konnte das Dokument nicht als Bild kopieren</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (no page was produced).</source>
        <translation>Word konnte das Dokument nicht als Bild kopieren (es wurde keine Seite erzeugt).</translation>
    </message>
    <message>
        <source>Word could not copy the document as a picture (the page could not be drawn).</source>
        <translation>Word konnte das Dokument nicht als Bild kopieren (die Seite konnte nicht gezeichnet werden).</translation>
    </message>
    <message>
        <source>Word could not export the document as PDF</source>
        <translation>Word konnte das Dokument nicht als PDF exportieren</translation>
    </message>
    <message>
        <source>The document is closed.</source>
        <translation>Das Dokument ist geschlossen.</translation>
    </message>
    <message>
        <source>Word could not open the document: %1</source>
        <translation>Word konnte das Dokument nicht öffnen: %1</translation>
    </message>
    <message>
        <source>the file does not exist</source>
        <translation>die Datei existiert nicht</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>not a text document</source>
        <translation>kein Textdokument</translation>
    </message>
    <message>
        <source>This command is not available because no document is open.</source>
        <translation>Dieser Befehl ist nicht verfügbar, da kein Dokument geöffnet ist.</translation>
    </message>
    <message>
        <source>ActiveX component can&apos;t create object</source>
        <translation>Objekterstellung durch ActiveX-Komponente nicht möglich</translation>
    </message>
    <message>
        <source>no PDF was produced</source>
        <translation>es wurde kein PDF erzeugt</translation>
    </message>
</context>
<context>
    <name>Mail</name>
    <message>
        <source>No mail program could be started: %1</source>
        <translation>Es konnte kein E-Mail-Programm gestartet werden: %1</translation>
    </message>
    <message>
        <source>xdg-email (xdg-utils) is not installed.</source>
        <translation>xdg-email (xdg-utils) ist nicht installiert.</translation>
    </message>
    <message>
        <source>xdg-email ended with code %1.</source>
        <translation>xdg-email wurde mit dem Code %1 beendet.</translation>
    </message>
    <message>
        <source>xdg-email ended with signal %1.</source>
        <translation>xdg-email wurde durch das Signal %1 beendet.</translation>
    </message>
    <message>
        <source>No mail program could be started: the desktop did not answer.</source>
        <translation>Es konnte kein E-Mail-Programm gestartet werden: Der Desktop hat nicht geantwortet.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Cannot create the folder &apos;%1&apos;: %2</source>
        <translation>Der Ordner &apos;%1&apos; kann nicht erstellt werden: %2</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; is a symbolic link or not a folder, so it cannot be kept private. Remove it, then try again.</source>
        <translation>Der Ordner &apos;%1&apos; ist eine symbolische Verknüpfung oder kein Ordner und kann daher nicht privat gehalten werden. Entfernen Sie ihn und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>The folder &apos;%1&apos; belongs to another user, so it cannot be kept private. Remove it or make it your own, then try again.</source>
        <translation>Der Ordner &apos;%1&apos; gehört einem anderen Benutzer und kann daher nicht privat gehalten werden. Entfernen Sie ihn oder machen Sie ihn zu Ihrem eigenen und versuchen Sie es dann erneut.</translation>
    </message>
    <message>
        <source>Cannot make the folder private &apos;%1&apos;: %2</source>
        <translation>Der Ordner &apos;%1&apos; kann nicht privat gemacht werden: %2</translation>
    </message>
    <message>
        <source>Cannot create file &apos;%1&apos;: %2</source>
        <translation>Die Datei &apos;%1&apos; kann nicht erstellt werden: %2</translation>
    </message>
    <message>
        <source>Cannot write file &apos;%1&apos;: %2</source>
        <translation>Die Datei &apos;%1&apos; kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>File not found &apos;%1&apos;: %2</source>
        <translation>Datei nicht gefunden &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Permission denied &apos;%1&apos;: %2</source>
        <translation>Zugriff verweigert &apos;%1&apos;: %2</translation>
    </message>
    <message>
        <source>Bad file name or number</source>
        <translation>Dateiname oder -nummer falsch</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Invalid picture: %1</source>
        <translation>Ungültiges Bild: %1</translation>
    </message>
</context>
<context>
    <name>OfficeArtShapes</name>
    <message>
        <source>%1 is not a Word 97-2003 document%2</source>
        <translation>%1 ist kein Word-97-2003-Dokument%2</translation>
    </message>
    <message>
        <source>The shapes of %1 cannot be read: %2</source>
        <translation>Die Formen von %1 können nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The shapes of the document cannot be read: %1</source>
        <translation>Die Formen des Dokuments können nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The document %1 cannot be read: %2</source>
        <translation>Das Dokument %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The document cannot be read</source>
        <translation>Das Dokument kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>The document</source>
        <translation>Das Dokument</translation>
    </message>
</context>
<context>
    <name>OfficeGuard</name>
    <message>
        <source>The office engine could not be started: no watcher (%1)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: kein Wächter (%1)</translation>
    </message>
</context>
<context>
    <name>OfficeProcess</name>
    <message>
        <source>The office engine could not be started: no private folder (%1)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: kein privater Ordner (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: cannot lock its private folder (%1)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: sein privater Ordner kann nicht gesperrt werden (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 is missing or not a program</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: %1 fehlt oder ist kein Programm</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1 (%2)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: %1 (%2)</translation>
    </message>
    <message>
        <source>still running</source>
        <translation>läuft noch</translation>
    </message>
    <message>
        <source>it ended with exit code %1</source>
        <translation>es wurde mit dem Exit-Code %1 beendet</translation>
    </message>
    <message>
        <source>it was ended by signal %1</source>
        <translation>es wurde durch das Signal %1 beendet</translation>
    </message>
    <message>
        <source>it ended</source>
        <translation>es wurde beendet</translation>
    </message>
</context>
<context>
    <name>OfficeSession</name>
    <message>
        <source>The office engine could not be started: cannot write its font settings (%1)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: seine Schrifteinstellungen können nicht geschrieben werden (%1)</translation>
    </message>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>it did not come up within %1 seconds</source>
        <translation>es ist nicht innerhalb von %1 Sekunden gestartet</translation>
    </message>
    <message>
        <source>it did not answer within %1 seconds</source>
        <translation>es hat nicht innerhalb von %1 Sekunden geantwortet</translation>
    </message>
    <message>
        <source>Word could not quit</source>
        <translation>Word konnte nicht beendet werden</translation>
    </message>
    <message>
        <source>The office engine is no longer running.</source>
        <translation>Das Office-Programm läuft nicht mehr.</translation>
    </message>
    <message>
        <source>The office engine did not answer within %1 seconds and was stopped (%2).</source>
        <translation>Das Office-Programm hat nicht innerhalb von %1 Sekunden geantwortet und wurde beendet (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (%2).</source>
        <translation>%1: Das Office-Programm wurde unerwartet beendet (%2).</translation>
    </message>
    <message>
        <source>%1: the office engine ended unexpectedly (the connection to it was lost).</source>
        <translation>%1: Das Office-Programm wurde unerwartet beendet (die Verbindung zu ihm ging verloren).</translation>
    </message>
</context>
<context>
    <name>PdfPages</name>
    <message>
        <source>no page was produced</source>
        <translation>es wurde keine Seite erzeugt</translation>
    </message>
    <message>
        <source>the page could not be drawn</source>
        <translation>die Seite konnte nicht gezeichnet werden</translation>
    </message>
</context>
<context>
    <name>PictureBox</name>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>The card could not be printed: the print system (CUPS) does not answer at %1.</source>
        <translation>Die Karte konnte nicht gedruckt werden: Das Drucksystem (CUPS) antwortet nicht unter %1.</translation>
    </message>
    <message>
        <source>The card could not be printed on &quot;%1&quot;: %2</source>
        <translation>Die Karte konnte nicht auf „%1“ gedruckt werden: %2</translation>
    </message>
    <message>
        <source>The card could not be printed: no printer was chosen.</source>
        <translation>Die Karte konnte nicht gedruckt werden: Es wurde kein Drucker gewählt.</translation>
    </message>
</context>
<context>
    <name>ProfileCache</name>
    <message>
        <source>The office engine could not be started: cannot write its profile (%1)</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: sein Profil kann nicht geschrieben werden (%1)</translation>
    </message>
</context>
<context>
    <name>QtPlatform</name>
    <message>
        <source>Cannot access the settings file %1</source>
        <translation>Auf die Einstellungsdatei %1 kann nicht zugegriffen werden</translation>
    </message>
    <message>
        <source>The settings file is damaged: %1</source>
        <translation>Die Einstellungsdatei ist beschädigt: %1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>The clipboard holds no picture</source>
        <translation>Die Zwischenablage enthält kein Bild</translation>
    </message>
</context>
<context>
    <name>Skin</name>
    <message>
        <source>Argument not optional</source>
        <translation>Argument ist nicht optional</translation>
    </message>
    <message>
        <source>Cannot load the skin %1: %2</source>
        <translation>Der Skin %1 kann nicht geladen werden: %2</translation>
    </message>
    <message>
        <source>The skin file is damaged: %1</source>
        <translation>Die Skin-Datei ist beschädigt: %1</translation>
    </message>
    <message>
        <source>No skin loaded</source>
        <translation>Kein Skin geladen</translation>
    </message>
    <message>
        <source>Invalid window handle</source>
        <translation>Ungültiges Fensterhandle</translation>
    </message>
    <message>
        <source>Member not found</source>
        <translation>Mitglied nicht gefunden</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
</context>
<context>
    <name>UnoRuntime</name>
    <message>
        <source>The office engine could not be started: %1</source>
        <translation>Das Office-Programm konnte nicht gestartet werden: %1</translation>
    </message>
</context>
<context>
    <name>WindowPointer</name>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
</context>
</TS>
