<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>Localizable</name>
        <message>
            <source>Last check: %1</source>
            <translation>Letzte Prüfung: %1</translation>
        </message>
        <message>
            <source>Remind Me Only When It Changes</source>
            <translation>Nur bei Änderungen erinnern</translation>
        </message>
        <message>
            <source>Unable to send e-mail about SSD problem notification (error: %1)</source>
            <translation>Die E-Mail über das SSD-Problem konnte nicht gesendet werden (Fehler: %1)</translation>
        </message>
        <message>
            <source>Disks</source>
            <translation>Laufwerke</translation>
        </message>
        <message>
            <source>Gray Disks</source>
            <translation>Graue Laufwerke</translation>
        </message>
        <message>
            <source>Angular Disks</source>
            <translation>Eckige Laufwerke</translation>
        </message>
        <message>
            <source>Gray Angular Disks</source>
            <translation>Graue eckige Laufwerke</translation>
        </message>
        <message>
            <source>Signs</source>
            <translation>Zeichen</translation>
        </message>
        <message>
            <source>Round Signs</source>
            <translation>Runde Zeichen</translation>
        </message>
        <message>
            <source>Mixed Signs</source>
            <translation>Gemischte Zeichen</translation>
        </message>
        <message>
            <source>Points</source>
            <translation>Punkte</translation>
        </message>
        <message>
            <source>Circles</source>
            <translation>Kreise</translation>
        </message>
        <message>
            <source>LEDs</source>
            <translation>LEDs</translation>
        </message>
        <message>
            <source>Mixed Disks</source>
            <translation>Gemischte Laufwerke</translation>
        </message>
        <message>
            <source>Mixed Angular Disks</source>
            <translation>Gemischte eckige Laufwerke</translation>
        </message>
        <message>
            <source>Black Sign</source>
            <translation>Schwarzes Zeichen</translation>
        </message>
        <message>
            <source>Unobtrusive Points</source>
            <translation>Dezente Punkte</translation>
        </message>
        <message>
            <source>Retro Disks</source>
            <translation>Retro-Laufwerke</translation>
        </message>
        <message>
            <source>Status: Unknown</source>
            <translation>Status: Unbekannt</translation>
        </message>
        <message>
            <source>No internal SSD devices have been found.</source>
            <translation>Es wurden keine internen SSDs gefunden.</translation>
        </message>
        <message>
            <source>Status: Error</source>
            <translation>Status: Fehler</translation>
        </message>
        <message>
            <source>SSD Health status of a SSD is below FAILING threshold!</source>
            <translation>Der Zustand einer SSD liegt unter der Fehlerschwelle!</translation>
        </message>
        <message>
            <source>Status: Warning</source>
            <translation>Status: Warnung</translation>
        </message>
        <message>
            <source>SSD Health status of a SSD is below WARNING threshold!</source>
            <translation>Der Zustand einer SSD liegt unter der Warnschwelle!</translation>
        </message>
        <message>
            <source>Status: OK</source>
            <translation>Status: OK</translation>
        </message>
        <message>
            <source>SSD Health of your SSD(s) is fine!</source>
            <translation>Der Zustand Ihrer SSD(s) ist gut!</translation>
        </message>
        <message>
            <source>Status: No compatible SSDs found</source>
            <translation>Status: Keine kompatiblen SSDs gefunden</translation>
        </message>
        <message>
            <source>All connected SSDs are incompatible!</source>
            <translation>Alle angeschlossenen SSDs sind inkompatibel!</translation>
        </message>
        <message>
            <source>Status: OK (health above 100 %)</source>
            <translation>Status: OK (Zustand über 100 %)</translation>
        </message>
        <message>
            <source>The worst health, %1 %, lies above 100 %: the drives report more life left than rated.</source>
            <translation>Der schlechteste Zustand, %1 %, liegt über 100 %: Die Laufwerke melden mehr Restlebensdauer als vorgesehen.</translation>
        </message>
        <message>
            <source>unknown</source>
            <translation>unbekannt</translation>
        </message>
        <message>
            <source>Model:</source>
            <translation>Modell:</translation>
        </message>
        <message>
            <source>Serial:</source>
            <translation>Seriennummer:</translation>
        </message>
        <message>
            <source>Health:</source>
            <translation>Zustand:</translation>
        </message>
        <message>
            <source>S.M.A.R.T.:</source>
            <translation>S.M.A.R.T.:</translation>
        </message>
        <message>
            <source>Status:</source>
            <translation>Status:</translation>
        </message>
        <message>
            <source>Reason:</source>
            <translation>Grund:</translation>
        </message>
        <message>
            <source>Attributes:</source>
            <translation>Attribute:</translation>
        </message>
        <message>
            <source>failing</source>
            <translation>fehlerhaft</translation>
        </message>
        <message>
            <source>verified</source>
            <translation>bestätigt</translation>
        </message>
        <message>
            <source>not capable</source>
            <translation>nicht unterstützt</translation>
        </message>
        <message>
            <source>Version:</source>
            <translation>Version:</translation>
        </message>
        <message>
            <source>Build:</source>
            <translation>Build:</translation>
        </message>
        <message>
            <source>Check now</source>
            <translation>Jetzt prüfen</translation>
        </message>
        <message>
            <source>Open Ostrivane</source>
            <translation>Ostrivane öffnen</translation>
        </message>
        <message>
            <source>Check for Updates…</source>
            <translation>Nach Aktualisierungen suchen…</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Beenden</translation>
        </message>
        <message>
            <source>To have Ostrivane running all the time without wasting space in the Dock consider changing the preferences to display only in the Menubar. </source>
            <translation>Damit Ostrivane ständig läuft, ohne Platz in der Taskleiste zu belegen, können Sie es in den Einstellungen nur im Systembereich anzeigen lassen. </translation>
        </message>
        <message>
            <source>Ostrivane can only check your SSD health while it is running. %1Are you sure you want to quit Ostrivane?</source>
            <translation>Ostrivane kann den Zustand Ihrer SSDs nur prüfen, solange es läuft. %1Möchten Sie Ostrivane wirklich beenden?</translation>
        </message>
        <message>
            <source>Quit Ostrivane?</source>
            <translation>Ostrivane beenden?</translation>
        </message>
        <message>
            <source>Quit Ostrivane</source>
            <translation>Ostrivane beenden</translation>
        </message>
        <message>
            <source>Continue running</source>
            <translation>Weiterlaufen lassen</translation>
        </message>
        <message>
            <source>reaches the warning threshold (%1%) around %2</source>
            <translation>erreicht die Warnschwelle (%1%) etwa am %2</translation>
        </message>
        <message>
            <source>at or below the warning threshold (%1%)</source>
            <translation>auf oder unter der Warnschwelle (%1%)</translation>
        </message>
        <message>
            <source>not enough history</source>
            <translation>zu wenig Verlauf</translation>
        </message>
        <message>
            <source>Warning</source>
            <translation>Warnung</translation>
        </message>
        <message>
            <source>Error</source>
            <translation>Fehler</translation>
        </message>
        <message>
            <source>No health history recorded yet.</source>
            <translation>Noch kein Zustandsverlauf aufgezeichnet.</translation>
        </message>
        <message>
            <source>Reload</source>
            <translation>Neu laden</translation>
        </message>
        <message>
            <source>Open Log File</source>
            <translation>Protokolldatei öffnen</translation>
        </message>
        <message>
            <source>Getting Started</source>
            <translation>Erste Schritte</translation>
        </message>
        <message>
            <source>Help</source>
            <translation>Hilfe</translation>
        </message>
        <message>
            <source>Health</source>
            <translation>Zustand</translation>
        </message>
        <message>
            <source>Log</source>
            <translation>Protokoll</translation>
        </message>
        <message>
            <source>%1 quit unexpectedly the last time it ran (%2).</source>
            <translation>%1 wurde beim letzten Mal unerwartet beendet (%2).</translation>
        </message>
        <message>
            <source>Toolbar</source>
            <translation>Werkzeugleiste</translation>
        </message>
        <message>
            <source>Settings</source>
            <translation>Einstellungen</translation>
        </message>
        <message>
            <source>Drives</source>
            <translation>Laufwerke</translation>
        </message>
        <message>
            <source>History</source>
            <translation>Verlauf</translation>
        </message>
        <message>
            <source>About</source>
            <translation>Über</translation>
        </message>
        <message>
            <source>Product Page</source>
            <translation>Produktseite</translation>
        </message>
        <message>
            <source>every hour</source>
            <translation>stündlich</translation>
        </message>
        <message>
            <source>every %1 hours</source>
            <translation>alle %1 Stunden</translation>
        </message>
        <message>
            <source>every %1 minutes</source>
            <translation>alle %1 Minuten</translation>
        </message>
        <message>
            <source>Checks</source>
            <translation>Prüfungen</translation>
        </message>
        <message>
            <source>Check the drives</source>
            <translation>Laufwerke prüfen</translation>
        </message>
        <message>
            <source>Warning at or below</source>
            <translation>Warnung ab höchstens</translation>
        </message>
        <message>
            <source>Error at or below</source>
            <translation>Fehler ab höchstens</translation>
        </message>
        <message>
            <source>Notifications</source>
            <translation>Benachrichtigungen</translation>
        </message>
        <message>
            <source>Health decreased</source>
            <translation>Zustand gesunken</translation>
        </message>
        <message>
            <source>warning or error</source>
            <translation>Warnung oder Fehler</translation>
        </message>
        <message>
            <source>error only</source>
            <translation>nur Fehler</translation>
        </message>
        <message>
            <source>Threshold reached</source>
            <translation>Schwelle erreicht</translation>
        </message>
        <message>
            <source>desktop notification</source>
            <translation>Desktop-Benachrichtigung</translation>
        </message>
        <message>
            <source>dialog</source>
            <translation>Dialog</translation>
        </message>
        <message>
            <source>notification and dialog</source>
            <translation>Benachrichtigung und Dialog</translation>
        </message>
        <message>
            <source>Show on screen</source>
            <translation>Auf dem Bildschirm zeigen</translation>
        </message>
        <message>
            <source>Send an e-mail</source>
            <translation>E-Mail senden</translation>
        </message>
        <message>
            <source>you@example.com (one address a line)</source>
            <translation>sie@example.com (eine Adresse pro Zeile)</translation>
        </message>
        <message>
            <source>Test e-mail</source>
            <translation>Test-E-Mail</translation>
        </message>
        <message>
            <source>Not a valid e-mail address on every line.</source>
            <translation>Nicht jede Zeile enthält eine gültige E-Mail-Adresse.</translation>
        </message>
        <message>
            <source>Addresses</source>
            <translation>Adressen</translation>
        </message>
        <message>
            <source>Appearance</source>
            <translation>Darstellung</translation>
        </message>
        <message>
            <source>in the taskbar</source>
            <translation>in der Taskleiste</translation>
        </message>
        <message>
            <source>in the panel's tray</source>
            <translation>im Systembereich der Leiste</translation>
        </message>
        <message>
            <source>in the taskbar and the tray</source>
            <translation>in Taskleiste und Systembereich</translation>
        </message>
        <message>
            <source>hidden</source>
            <translation>verborgen</translation>
        </message>
        <message>
            <source>Show Ostrivane</source>
            <translation>Ostrivane zeigen</translation>
        </message>
        <message>
            <source>Taskbar icons</source>
            <translation>Taskleisten-Symbole</translation>
        </message>
        <message>
            <source>Tray icons</source>
            <translation>Systembereich-Symbole</translation>
        </message>
        <message>
            <source>System</source>
            <translation>System</translation>
        </message>
        <message>
            <source>Start at login</source>
            <translation>Bei der Anmeldung starten</translation>
        </message>
        <message>
            <source>Send anonymous drive reports</source>
            <translation>Anonyme Laufwerksberichte senden</translation>
        </message>
        <message>
            <source>Diagnostics</source>
            <translation>Diagnose</translation>
        </message>
        <message>
            <source>Check every disk as an SSD</source>
            <translation>Jedes Laufwerk als SSD prüfen</translation>
        </message>
        <message>
            <source>Half way: report status changes only, without drive data or the launch report.</source>
            <translation>Teilweise: nur Statusänderungen melden, ohne Laufwerksdaten und ohne Startbericht.</translation>
        </message>
        <message>
            <source>The warning threshold (%1 %) must be above the error threshold (%2 %); nothing was changed.</source>
            <translation>Die Warnschwelle (%1 %) muss über der Fehlerschwelle (%2 %) liegen; es wurde nichts geändert.</translation>
        </message>
        <message>
            <source>Click OK to test the e-mail delivery to your chosen deliver address(es). Please check if your receive the TEST e-mail to your address(es) Within a few minutes.</source>
            <translation>Klicken Sie auf OK, um die Zustellung an die gewählten Adressen zu testen. Bitte prüfen Sie, ob die TEST-E-Mail innerhalb weniger Minuten bei Ihnen ankommt.</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <source>Sending the test e-mail…</source>
            <translation>Die Test-E-Mail wird gesendet…</translation>
        </message>
        <message>
            <source>Unable to send test e-mail (error: %1)</source>
            <translation>Die Test-E-Mail konnte nicht gesendet werden (Fehler: %1)</translation>
        </message>
        <message>
            <source>Unknown</source>
            <translation>Unbekannt</translation>
        </message>
        <message>
            <source>Failing</source>
            <translation>Fehlerhaft</translation>
        </message>
        <message>
            <source>Verified</source>
            <translation>Bestätigt</translation>
        </message>
        <message>
            <source>Not capable</source>
            <translation>Nicht unterstützt</translation>
        </message>
        <message>
            <source>Name</source>
            <translation>Name</translation>
        </message>
        <message>
            <source>Device</source>
            <translation>Gerät</translation>
        </message>
        <message>
            <source>Model</source>
            <translation>Modell</translation>
        </message>
        <message>
            <source>Status</source>
            <translation>Status</translation>
        </message>
        <message>
            <source>S.M.A.R.T. Status</source>
            <translation>S.M.A.R.T.-Status</translation>
        </message>
        <message>
            <source>Welcome to Ostrivane</source>
            <translation>Willkommen bei Ostrivane</translation>
        </message>
        <message>
            <source>Start Ostrivane when I log in</source>
            <translation>Ostrivane bei der Anmeldung starten</translation>
        </message>
        <message>
            <source>Show Ostrivane only in the system tray</source>
            <translation>Ostrivane nur im Systembereich zeigen</translation>
        </message>
        <message>
            <source>Ostrivane watches the health of your solid-state drives and tells you when it decreases or falls below a threshold.</source>
            <translation>Ostrivane überwacht den Zustand Ihrer SSDs und meldet, wenn er sinkt oder unter eine Schwelle fällt.</translation>
        </message>
        <message>
            <source>Ostrivane can only check your drives while it is running.</source>
            <translation>Ostrivane kann Ihre Laufwerke nur prüfen, solange es läuft.</translation>
        </message>
        <message>
            <source>Where Ostrivane shows itself</source>
            <translation>Wo sich Ostrivane zeigt</translation>
        </message>
        <message>
            <source>Ostrivane can stay out of the taskbar and show its status in the system tray only.</source>
            <translation>Ostrivane kann der Taskleiste fernbleiben und seinen Status nur im Systembereich zeigen.</translation>
        </message>
        <message>
            <source>Finish</source>
            <translation>Fertig</translation>
        </message>
        <message>
            <source>%1 has been moved, but applications should never be moved while they are running.</source>
            <translation>%1 wurde verschoben, aber Programme sollten nie verschoben werden, während sie laufen.</translation>
        </message>
        <message>
            <source>Restart %1</source>
            <translation>%1 neu starten</translation>
        </message>
        <message>
            <source>%1 could not restart itself. Please do so yourself.</source>
            <translation>%1 konnte sich nicht selbst neu starten. Bitte starten Sie es selbst neu.</translation>
        </message>
        <message>
            <source>Please wait until the operation finishes…</source>
            <translation>Bitte warten Sie, bis der Vorgang abgeschlossen ist…</translation>
        </message>
        <message>
            <source>How do you like it?</source>
            <translation>Wie gefällt es Ihnen?</translation>
        </message>
        <message>
            <source>Awesome! A rating helps others find the program and keeps it going.</source>
            <translation>Großartig! Eine Bewertung hilft anderen, das Programm zu finden, und hält es am Leben.</translation>
        </message>
        <message>
            <source>We are sorry to hear that. Tell us what went wrong and we will do our best to fix it.</source>
            <translation>Das tut uns leid. Schreiben Sie uns, was nicht funktioniert hat, und wir tun unser Bestes, es zu beheben.</translation>
        </message>
        <message>
            <source>    Rate on AlternativeTo</source>
            <translation>    Auf AlternativeTo bewerten</translation>
        </message>
        <message>
            <source>    Rate on FileHorse</source>
            <translation>    Auf FileHorse bewerten</translation>
        </message>
        <message>
            <source>Confirmation</source>
            <translation>Bestätigung</translation>
        </message>
        <message>
            <source>%1 asks for your feedback only rarely and at maximum only once per app-version. Are you sure you want to turn this off completely?</source>
            <translation>%1 bittet nur selten und höchstens einmal pro Programmversion um Ihre Rückmeldung. Möchten Sie das wirklich ganz abschalten?</translation>
        </message>
        <message>
            <source>Turn off feedback dialog</source>
            <translation>Rückmeldungsdialog abschalten</translation>
        </message>
        <message>
            <source>This application can not be launched because its 'Application Support' folder is not a folder but a file. Please remove the file '%1' and re-launch this app.</source>
            <translation>Dieses Programm kann nicht gestartet werden, weil sein Datenordner kein Ordner, sondern eine Datei ist. Bitte entfernen Sie die Datei '%1' und starten Sie das Programm erneut.</translation>
        </message>
        <message>
            <source>This application can not be launched because the 'Application Support' can not be created at the path '%1'.
Error: %2</source>
            <translation>Dieses Programm kann nicht gestartet werden, weil sein Datenordner unter '%1' nicht angelegt werden kann.
Fehler: %2</translation>
        </message>
        <message>
            <source>This application is damaged. A file of its installation is missing or was replaced, so the installed package is incomplete or was changed after it was installed. Please reinstall the Ostrivane package.

Offending Path: %1</source>
            <translation>Dieses Programm ist beschädigt. Eine Datei seiner Installation fehlt oder wurde ersetzt; das installierte Paket ist also unvollständig oder wurde nach der Installation verändert. Bitte installieren Sie das Ostrivane-Paket neu.

Betroffener Pfad: %1</translation>
        </message>
        <message>
            <source>No E-Mail Program</source>
            <translation>Kein E-Mail-Programm</translation>
        </message>
        <message>
            <source>No e-mail program is set up to open this message. You can copy its text and send it to %1 yourself.</source>
            <translation>Es ist kein E-Mail-Programm eingerichtet, um diese Nachricht zu öffnen. Sie können den Text kopieren und selbst an %1 senden.</translation>
        </message>
        <message>
            <source>Copy Text</source>
            <translation>Text kopieren</translation>
        </message>
        <message>
            <source>Fatal Error</source>
            <translation>Schwerer Fehler</translation>
        </message>
        <message>
            <source>Send to support</source>
            <translation>An den Support senden</translation>
        </message>
        <message>
            <source>Continue</source>
            <translation>Fortfahren</translation>
        </message>
        <message>
            <source>An Update is available. You have version '%1 (%2)' but the newest version is '%3 (%4)'. Please use our 'Freshhold' to keep to update to the newest version - it can also update your other apps!</source>
            <translation>Eine Aktualisierung ist verfügbar. Sie haben Version '%1 (%2)', die neueste Version ist '%3 (%4)'. Bitte aktualisieren Sie mit unserem 'Freshhold' auf die neueste Version – es kann auch Ihre anderen Programme aktualisieren!</translation>
        </message>
        <message>
            <source>Update Available</source>
            <translation>Aktualisierung verfügbar</translation>
        </message>
        <message>
            <source>Open Freshhold Homepage</source>
            <translation>Freshhold-Webseite öffnen</translation>
        </message>
        <message>
            <source>No Update Available</source>
            <translation>Keine Aktualisierung verfügbar</translation>
        </message>
        <message>
            <source>This app is fully up-to-date.</source>
            <translation>Dieses Programm ist auf dem neuesten Stand.</translation>
        </message>
        <message>
            <source>Cool</source>
            <translation>Prima</translation>
        </message>
        <message>
            <source>Update Check Failed</source>
            <translation>Suche nach Aktualisierungen fehlgeschlagen</translation>
        </message>
        <message>
            <source>The update-check failed - please check your internet connection and try again.</source>
            <translation>Die Suche nach Aktualisierungen ist fehlgeschlagen – bitte prüfen Sie Ihre Internetverbindung und versuchen Sie es erneut.</translation>
        </message>
    </context>
</TS>
