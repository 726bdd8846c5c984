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
            <source>Disk: %1 Health: %2%
</source>
            <translation>Laufwerk: %1 Zustand: %2 %
</translation>
        </message>
        <message>
            <source>SSD Health status of disk %1 (%2) decreased from %3% to %4%!

Attributes:
%5</source>
            <translation>Der Zustand der SSD %1 (%2) ist von %3 % auf %4 % gesunken!

Attribute:
%5</translation>
        </message>
        <message>
            <source>SSD Health status of disk %1 (%2) is currently %3% which is is below the set %4 threshold!

Attributes:
%5</source>
            <translation>Der Zustand der SSD %1 (%2) liegt jetzt bei %3 % und damit unter der eingestellten Schwelle „%4“!

Attribute:
%5</translation>
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
            <source>Ostrivane SSD Problem Notification</source>
            <translation>Ostrivane: Problem mit einer SSD</translation>
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
            <source>ERROR</source>
            <translation>Fehler</translation>
        </message>
        <message>
            <source>WARNING</source>
            <translation>Warnung</translation>
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
            <source>Drive:</source>
            <translation>Laufwerk:</translation>
        </message>
        <message>
            <source>Note:</source>
            <translation>Hinweis:</translation>
        </message>
        <message>
            <source>Temperature:</source>
            <translation>Temperatur:</translation>
        </message>
        <message>
            <source>Standby:</source>
            <translation>Ruhezustand:</translation>
        </message>
        <message>
            <source>(not read)</source>
            <translation>(nicht gelesen)</translation>
        </message>
        <message>
            <source>Attributes:</source>
            <translation>Attribute:</translation>
        </message>
        <message>
            <source>-%1 takes a whole number above 0, not '%2'</source>
            <translation>-%1 erwartet eine ganze Zahl über 0, nicht '%2'</translation>
        </message>
        <message>
            <source>-%1 takes a whole number, not '%2'</source>
            <translation>-%1 erwartet eine ganze Zahl, nicht '%2'</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli check --help'.</source>
            <translation>Siehe 'ostrivane-cli check --help'.</translation>
        </message>
        <message>
            <source>unexpected argument '%1'</source>
            <translation>unerwartetes Argument '%1'</translation>
        </message>
        <message>
            <source>-w, -c, -t and -v belong to --plugin</source>
            <translation>-w, -c, -t und -v gehören zu --plugin</translation>
        </message>
        <message>
            <source>--plugin and --json exclude each other</source>
            <translation>--plugin und --json schließen einander aus</translation>
        </message>
        <message>
            <source>no machine folder '%1'</source>
            <translation>kein Maschinenordner '%1'</translation>
        </message>
        <message>
            <source>the drives' S.M.A.R.T. data could not be read.
Run as root, or enable the service once:
</source>
            <translation>Die S.M.A.R.T.-Daten der Laufwerke konnten nicht gelesen werden.
Als root ausführen oder den Dienst einmalig aktivieren:
</translation>
        </message>
        <message>
            <source>cannot write '%1': %2</source>
            <translation>'%1' kann nicht geschrieben werden: %2</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli check [OPTIONS]

Runs one check cycle of the monitor: finds the solid-state drives behind the
mounted, non-removable volumes, reads their S.M.A.R.T. data, evaluates their
health, logs each drive, sends the notifications the settings ask for
(desktop notification or log line, e-mail) and records the health history.
Prints each drive and the overall status.

Reading S.M.A.R.T. data needs root, or the ostrivane-smart service:
  sudo systemctl enable --now ostrivane-smart.socket

Options:
  --json             print the result as JSON
  --verbose          also print each drive's attribute listing
  --prometheus FILE  also write the result for node_exporter's textfile
                     collector (FILE should end in .prom; written atomically)
  --machine DIR      check a recorded machine (with its S.M.A.R.T. pages); its
                     settings, history and log go to a temporary folder, never
                     to yours
  --state DIR        keep settings, history and log below DIR instead (config/,
                     data/, state/, cache/), for example between --machine runs
  --no-state         read the settings but write nothing: no history, no
                     settings, no log or syslog line, no notification, no report
  --socket PATH      read S.M.A.R.T. data only through the service at PATH
  -h, --help         show this help

Monitoring-plugin mode (implies --no-state):
  --plugin           print one line "SSD OK - ... | perfdata", as a Nagios,
                     Icinga, Naemon or Checkmk plugin; exit 0, 1, 2 or 3
  -w, --warning N    warning threshold in percent for this run only
  -c, --critical N   error threshold in percent for this run only
  -t, --timeout S    give up after S seconds with status 3 (default 10)
  -v                 also print one line per drive

Exit status (as a Nagios or Icinga check; Zabbix reads "exitStatus" of --json):
  0   every drive is fine
  1   a drive is at or below the warning threshold
  2   a drive is at or below the error threshold, or failing
  3   no solid-state drive, or none whose health could be determined; with
      --plugin also a usage error or a time-out
  64  usage error
  66  the machine folder does not exist
</source>
            <translation>Aufruf: ostrivane-cli check [OPTIONEN]

Führt einen Prüfdurchgang des Monitors aus: findet die Solid-State-Laufwerke
hinter den eingebundenen, nicht entfernbaren Volumes, liest ihre
S.M.A.R.T.-Daten, bewertet ihren Zustand, protokolliert jedes Laufwerk, sendet
die Benachrichtigungen, die die Einstellungen verlangen (Desktop-Benachrichtigung
oder Protokollzeile, E-Mail), und zeichnet den Zustandsverlauf auf.
Gibt jedes Laufwerk und den Gesamtstatus aus.

Das Lesen der S.M.A.R.T.-Daten braucht root oder den Dienst ostrivane-smart:
  sudo systemctl enable --now ostrivane-smart.socket

Optionen:
  --json             das Ergebnis als JSON ausgeben
  --verbose          zusätzlich die Attributliste jedes Laufwerks ausgeben
  --prometheus FILE  das Ergebnis zusätzlich für den Textfile-Collector von
                     node_exporter schreiben (FILE sollte auf .prom enden;
                     atomar geschrieben)
  --machine DIR      einen aufgezeichneten Rechner prüfen (mit seinen
                     S.M.A.R.T.-Seiten); seine Einstellungen, sein Verlauf und
                     sein Protokoll landen in einem temporären Ordner, nie in
                     Ihren
  --state DIR        Einstellungen, Verlauf und Protokoll stattdessen unter DIR
                     ablegen (config/, data/, state/, cache/), zum Beispiel
                     zwischen Läufen mit --machine
  --no-state         die Einstellungen lesen, aber nichts schreiben: kein
                     Verlauf, keine Einstellungen, keine Protokoll- oder
                     Syslog-Zeile, keine Benachrichtigung, kein Bericht
  --socket PATH      S.M.A.R.T.-Daten nur über den Dienst unter PATH lesen
  -h, --help         diese Hilfe anzeigen

Monitoring-Plugin-Modus (schließt --no-state ein):
  --plugin           eine Zeile "SSD OK - ... | perfdata" ausgeben, als Plugin
                     für Nagios, Icinga, Naemon oder Checkmk; Exit-Status 0, 1,
                     2 oder 3
  -w, --warning N    Warnschwelle in Prozent, nur für diesen Lauf
  -c, --critical N   Fehlerschwelle in Prozent, nur für diesen Lauf
  -t, --timeout S    nach S Sekunden mit Status 3 aufgeben (Standard 10)
  -v                 zusätzlich eine Zeile je Laufwerk ausgeben

Exit-Status (wie eine Nagios- oder Icinga-Prüfung; Zabbix liest "exitStatus"
aus --json):
  0   alle Laufwerke sind in Ordnung
  1   ein Laufwerk liegt auf oder unter der Warnschwelle
  2   ein Laufwerk liegt auf oder unter der Fehlerschwelle oder fällt aus
  3   kein Solid-State-Laufwerk oder keines, dessen Zustand bestimmt werden
      konnte; mit --plugin auch ein Aufruffehler oder eine Zeitüberschreitung
  64  Aufruffehler
  66  der Maschinenordner existiert nicht
</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli defaults --help'.</source>
            <translation>Siehe 'ostrivane-cli defaults --help'.</translation>
        </message>
        <message>
            <source>'%1' is not a 64-bit integer</source>
            <translation>'%1' ist keine 64-Bit-Ganzzahl</translation>
        </message>
        <message>
            <source>'%1' is not a finite number</source>
            <translation>'%1' ist keine endliche Zahl</translation>
        </message>
        <message>
            <source>'%1' is not a boolean (true, false, yes, no, 1, 0)</source>
            <translation>'%1' ist kein Wahrheitswert (true, false, yes, no, 1, 0)</translation>
        </message>
        <message>
            <source>unknown type '%1' (use -int, -float, -bool or -string)</source>
            <translation>unbekannter Typ '%1' (-int, -float, -bool oder -string verwenden)</translation>
        </message>
        <message>
            <source>read takes at most one KEY</source>
            <translation>read erwartet höchstens einen KEY</translation>
        </message>
        <message>
            <source>no value for key '%1'</source>
            <translation>kein Wert für Schlüssel '%1'</translation>
        </message>
        <message>
            <source>built-in</source>
            <translation>eingebaut</translation>
        </message>
        <message>
            <source>system file %1</source>
            <translation>Systemdatei %1</translation>
        </message>
        <message>
            <source>user store</source>
            <translation>Benutzerspeicher</translation>
        </message>
        <message>
            <source>write takes KEY [-int|-float|-bool|-string] VALUE</source>
            <translation>write erwartet KEY [-int|-float|-bool|-string] VALUE</translation>
        </message>
        <message>
            <source>missing VALUE after %1</source>
            <translation>VALUE fehlt nach %1</translation>
        </message>
        <message>
            <source>could not store key '%1'</source>
            <translation>Schlüssel '%1' konnte nicht gespeichert werden</translation>
        </message>
        <message>
            <source>delete takes one KEY</source>
            <translation>delete erwartet genau einen KEY</translation>
        </message>
        <message>
            <source>no stored value for key '%1'</source>
            <translation>kein gespeicherter Wert für Schlüssel '%1'</translation>
        </message>
        <message>
            <source>could not remove key '%1'</source>
            <translation>Schlüssel '%1' konnte nicht entfernt werden</translation>
        </message>
        <message>
            <source>unknown command '%1'</source>
            <translation>unbekannter Befehl '%1'</translation>
        </message>
        <message>
            <source>system configuration %1</source>
            <translation>Systemkonfiguration %1</translation>
        </message>
        <message>
            <source>the settings store has no location</source>
            <translation>der Einstellungsspeicher hat keinen Ort</translation>
        </message>
        <message>
            <source>the settings store %1 cannot be opened</source>
            <translation>der Einstellungsspeicher %1 kann nicht geöffnet werden</translation>
        </message>
        <message>
            <source>KEY must not be empty</source>
            <translation>KEY darf nicht leer sein</translation>
        </message>
        <message>
            <source>list takes no arguments</source>
            <translation>list erwartet keine Argumente</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli defaults COMMAND [ARGUMENTS]

Reads and changes Ostrivane's settings, the same store the monitor uses.
Changes take effect at the monitor's next use of the setting.

Commands:
  read              print every stored setting
  read --all        print every setting, the defaults included, each with
                    where its value comes from: built-in, the system file
                    (/etc/ostrivane/ostrivane.conf) or the user store
  read KEY          print the value of KEY (stored, else its built-in default)
  read [--all | KEY] --json
                    the same as JSON: each setting's key, value and origin
                    (builtIn, systemFile or userStore)
  write KEY VALUE   store VALUE as text under KEY
  write KEY -int VALUE | -float VALUE | -bool VALUE | -string VALUE
                    store VALUE with that type (-bool takes true, false, yes,
                    no, 1 or 0)
  delete KEY        remove the stored value of KEY (its default applies again)
  list              print the stored keys, one per line
  -h, --help        show this help

Example: ostrivane-cli defaults write CheckAllDisks -int 1

The store is $XDG_CONFIG_HOME/com.wendle.Ostrivane.sqlite3
(by default ~/.config/com.wendle.Ostrivane.sqlite3). Below it lies the
administrator's /etc/ostrivane/ostrivane.conf (Key = value lines in a
[settings] section), which this command only reads.

Exit status:
  0   success
  1   KEY holds no value
  64  usage error, unknown type or unparsable value
  74  the settings store cannot be opened or written
</source>
            <translation>Aufruf: ostrivane-cli defaults BEFEHL [ARGUMENTE]

Liest und ändert die Einstellungen von Ostrivane, denselben Speicher, den der
Monitor verwendet. Änderungen wirken, sobald der Monitor die Einstellung das
nächste Mal verwendet.

Befehle:
  read              jede gespeicherte Einstellung ausgeben
  read --all        jede Einstellung ausgeben, die Standardwerte eingeschlossen,
                    jeweils mit der Herkunft ihres Werts: eingebaut, die
                    Systemdatei (/etc/ostrivane/ostrivane.conf) oder der
                    Benutzerspeicher
  read KEY          den Wert von KEY ausgeben (gespeichert, sonst sein
                    eingebauter Standardwert)
  read [--all | KEY] --json
                    dasselbe als JSON: Schlüssel, Wert und Herkunft jeder
                    Einstellung (builtIn, systemFile oder userStore)
  write KEY VALUE   VALUE als Text unter KEY speichern
  write KEY -int VALUE | -float VALUE | -bool VALUE | -string VALUE
                    VALUE mit diesem Typ speichern (-bool nimmt true, false,
                    yes, no, 1 oder 0)
  delete KEY        den gespeicherten Wert von KEY entfernen (sein Standardwert
                    gilt wieder)
  list              die gespeicherten Schlüssel ausgeben, einen je Zeile
  -h, --help        diese Hilfe anzeigen

Beispiel: ostrivane-cli defaults write CheckAllDisks -int 1

Der Speicher ist $XDG_CONFIG_HOME/com.wendle.Ostrivane.sqlite3
(standardmäßig ~/.config/com.wendle.Ostrivane.sqlite3). Darunter liegt die
Datei /etc/ostrivane/ostrivane.conf des Administrators (Zeilen Key = value in
einem Abschnitt [settings]), die dieser Befehl nur liest.

Exit-Status:
  0   Erfolg
  1   KEY hat keinen Wert
  64  Aufruffehler, unbekannter Typ oder nicht lesbarer Wert
  74  der Einstellungsspeicher kann nicht geöffnet oder beschrieben werden
</translation>
        </message>
        <message>
            <source>yes</source>
            <translation>ja</translation>
        </message>
        <message>
            <source>no</source>
            <translation>nein</translation>
        </message>
        <message>
            <source>No mounted, non-removable disks.</source>
            <translation>Keine eingebundenen, nicht entfernbaren Laufwerke.</translation>
        </message>
        <message>
            <source>model:</source>
            <translation>Modell:</translation>
        </message>
        <message>
            <source>revision:</source>
            <translation>Revision:</translation>
        </message>
        <message>
            <source>protocol:</source>
            <translation>Protokoll:</translation>
        </message>
        <message>
            <source>SSD:</source>
            <translation>SSD:</translation>
        </message>
        <message>
            <source>NVMe:</source>
            <translation>NVMe:</translation>
        </message>
        <message>
            <source>serial:</source>
            <translation>Seriennummer:</translation>
        </message>
        <message>
            <source>disk %1</source>
            <translation>Datenträger %1</translation>
        </message>
        <message>
            <source>(no description)</source>
            <translation>(keine Beschreibung)</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli disks --help'.</source>
            <translation>Siehe 'ostrivane-cli disks --help'.</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli snapshot-machine --help'.</source>
            <translation>Siehe 'ostrivane-cli snapshot-machine --help'.</translation>
        </message>
        <message>
            <source>expected one DIR</source>
            <translation>genau ein DIR erwartet</translation>
        </message>
        <message>
            <source>'%1' exists and is not empty</source>
            <translation>'%1' existiert und ist nicht leer</translation>
        </message>
        <message>
            <source>could not write '%1'</source>
            <translation>'%1' konnte nicht geschrieben werden</translation>
        </message>
        <message>
            <source>Recorded %1 files and %2 links in %3</source>
            <translation>%1 Dateien und %2 Verknüpfungen in %3 aufgezeichnet</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli disks [OPTIONS]

Lists the physical disks that carry mounted, non-removable volumes, boot disk
first, as each check walks them: disk number, device node and the names of
the volumes on the disk, then each disk's model, firmware revision, protocol,
whether it is a solid-state drive and whether it is attached over NVMe, and
its serial number. Nothing is sent to the drives; no privileges are needed.

Options:
  --json           print the list as JSON
  --machine DIR    read a recorded machine (see snapshot-machine) instead of this one
  -h, --help       show this help
</source>
            <translation>Aufruf: ostrivane-cli disks [OPTIONEN]

Listet die physischen Laufwerke mit eingebundenen, nicht entfernbaren Volumes
auf, Startlaufwerk zuerst, so wie jede Prüfung sie durchgeht: Laufwerksnummer,
Gerätedatei und die Namen der Volumes auf dem Laufwerk, dann Modell,
Firmware-Revision und Protokoll jedes Laufwerks, ob es ein Solid-State-Laufwerk
ist und ob es über NVMe angeschlossen ist, sowie seine Seriennummer. An die
Laufwerke wird nichts gesendet; es sind keine besonderen Rechte nötig.

Optionen:
  --json           die Liste als JSON ausgeben
  --machine DIR    einen aufgezeichneten Rechner lesen (siehe snapshot-machine)
                   statt dieses Rechners
  -h, --help       diese Hilfe anzeigen
</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli snapshot-machine DIR

Copies the files that disk detection reads on this machine (the mount table,
the block-device part of /sys, udev's labels, /dev/disk/by-label, the answer
of 'zpool list -vHP' and the machine type) into DIR, a new folder. Then
'ostrivane-cli disks --machine DIR' shows what detection makes of them; send
the folder with a report when this machine's disks are listed wrongly. Only
files are read: no command is sent to any drive. Serial numbers are included.

Options:
  -h, --help       show this help
</source>
            <translation>Aufruf: ostrivane-cli snapshot-machine DIR

Kopiert die Dateien, die die Laufwerkserkennung auf diesem Rechner liest (die
Einhängetabelle, den Blockgeräte-Teil von /sys, die Bezeichnungen von udev,
/dev/disk/by-label, die Antwort von 'zpool list -vHP' und den Rechnertyp), in
DIR, einen neuen Ordner. Danach zeigt 'ostrivane-cli disks --machine DIR', was
die Erkennung daraus macht; senden Sie den Ordner mit einem Bericht, wenn die
Laufwerke dieses Rechners falsch aufgelistet werden. Es werden nur Dateien
gelesen: an kein Laufwerk wird ein Befehl gesendet. Seriennummern sind
enthalten.

Optionen:
  -h, --help       diese Hilfe anzeigen
</translation>
        </message>
        <message>
            <source>FAILING</source>
            <translation>FEHLERHAFT</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>not capable</source>
            <translation>nicht unterstützt</translation>
        </message>
        <message>
            <source>Solid-state:</source>
            <translation>Solid-State:</translation>
        </message>
        <message>
            <source>Accuracy:</source>
            <translation>Genauigkeit:</translation>
        </message>
        <message>
            <source>(unknown)</source>
            <translation>(unbekannt)</translation>
        </message>
        <message>
            <source>low (only the reallocated sectors were evaluated)</source>
            <translation>gering (nur die neu zugewiesenen Sektoren wurden bewertet)</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli evaluate --help'.</source>
            <translation>Siehe 'ostrivane-cli evaluate --help'.</translation>
        </message>
        <message>
            <source>missing input FILE (use - for standard input)</source>
            <translation>Eingabedatei FILE fehlt (- für die Standardeingabe)</translation>
        </message>
        <message>
            <source>expected one input FILE</source>
            <translation>genau eine Eingabedatei FILE erwartet</translation>
        </message>
        <message>
            <source>--status must be 0, 1, 2 or 3, not '%1'</source>
            <translation>--status muss 0, 1, 2 oder 3 sein, nicht '%1'</translation>
        </message>
        <message>
            <source>the input holds no S.M.A.R.T. attribute table and no NVMe health section</source>
            <translation>die Eingabe enthält weder eine S.M.A.R.T.-Attributtabelle noch einen NVMe-Zustandsabschnitt</translation>
        </message>
        <message>
            <source>%1 holds no S.M.A.R.T. attribute table and no NVMe health section</source>
            <translation>%1 enthält weder eine S.M.A.R.T.-Attributtabelle noch einen NVMe-Zustandsabschnitt</translation>
        </message>
        <message>
            <source>Give it the output of 'smartctl -a', '-x', '-A' or '--json', or a bare attribute table.</source>
            <translation>Erwartet wird die Ausgabe von 'smartctl -a', '-x', '-A' oder '--json' oder eine bloße Attributtabelle.</translation>
        </message>
        <message>
            <source>warning: the input names no model (no "Device Model:" or "Model Number:" line); the model-specific rules cannot apply without --model</source>
            <translation>Warnung: Die Eingabe nennt kein Modell (keine Zeile "Device Model:" oder "Model Number:"); die modellspezifischen Regeln greifen nur mit --model</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli evaluate [OPTIONS] FILE

Evaluates the health of a drive from its S.M.A.R.T. attributes given as text,
without reading any drive. FILE (or - for standard input) holds the output of
`smartctl -a`, `smartctl -x` or `smartctl -A`, or of `smartctl --json` (`-j -a`,
`-j -x`), or a bare attribute table (one attribute per line: id, name, flag,
value, worst, threshold, type, updated, when-failed, raw value; or the brief
layout of `-x`: id, name, flags such as PO--CK, value, worst, threshold, fail,
raw value), in UTF-8 or in UTF-16 with a byte-order mark. The NVMe health
section ("Critical Warning:", "Available Spare:", "Percentage Used:" ..., or
nvme_smart_health_information_log in JSON) is read as the drive reader reads
the NVMe health log. Without a model line (`smartctl -A`), give the model with
--model: the rules depend on it.

Options:
  --model TEXT      the drive's model name (default: the "Device Model:" or
                    "Model Number:" line, or model_name in JSON); the model decides
                    which rules apply
  --revision TEXT   the firmware revision (default: "Firmware Version:", or
                    firmware_version in JSON)
  --protocol TEXT   the device protocol, e.g. SATA or NVMe (default: guessed
                    from the input)
  --name TEXT       the drive's name in messages (default: the model)
  --status N        the S.M.A.R.T. status: 0 unknown, 1 failing, 2 verified,
                    3 not capable (default: 2, or 1 when the input says FAILED
                    or an NVMe critical warning is set)
  --all-disks       evaluate the drive even when the input says it is a hard
                    disk, as the setting CheckAllDisks does
  --json            print every field of the drive record as JSON
  --persist         keep the drive's last health and S.M.A.R.T. status in the
                    settings store, as the monitor does (without it, nothing
                    is stored and the built-in thresholds apply)
  -h, --help        show this help

A drive counts as solid-state unless the input's "Rotation Rate:" line gives
a speed in rpm. Unexpected drive values are reported on standard error; the
evaluation goes on.

Exit status:
  0   health above the warning threshold (50)
  1   health at or below the warning threshold (50)
  2   health at or below the error threshold (30), or a failing drive
  3   no rule applied to the attributes, or the drive is not S.M.A.R.T. capable
  64  usage error
  65  the input holds no attribute table and no NVMe health section
  66  the input cannot be read
</source>
            <translation>Aufruf: ostrivane-cli evaluate [OPTIONEN] FILE

Bewertet den Zustand eines Laufwerks anhand seiner als Text gegebenen
S.M.A.R.T.-Attribute, ohne ein Laufwerk zu lesen. FILE (oder - für die
Standardeingabe) enthält die Ausgabe von `smartctl -a`, `smartctl -x` oder
`smartctl -A` oder von `smartctl --json` (`-j -a`, `-j -x`) oder eine bloße
Attributtabelle (ein Attribut je Zeile: id, name, flag, value, worst,
threshold, type, updated, when-failed, raw value; oder das kurze Format von
`-x`: id, name, Flags wie PO--CK, value, worst, threshold, fail, raw value),
in UTF-8 oder in UTF-16 mit Byte-Order-Mark. Der NVMe-Zustandsabschnitt
("Critical Warning:", "Available Spare:", "Percentage Used:" ... oder
nvme_smart_health_information_log in JSON) wird so gelesen, wie der
Laufwerksleser das NVMe-Zustandsprotokoll liest. Ohne Modellzeile
(`smartctl -A`) das Modell mit --model angeben: die Regeln hängen davon ab.

Optionen:
  --model TEXT      der Modellname des Laufwerks (Standard: die Zeile "Device
                    Model:" oder "Model Number:" oder model_name in JSON); das
                    Modell entscheidet, welche Regeln gelten
  --revision TEXT   die Firmware-Revision (Standard: "Firmware Version:" oder
                    firmware_version in JSON)
  --protocol TEXT   das Geräteprotokoll, z. B. SATA oder NVMe (Standard: aus
                    der Eingabe erschlossen)
  --name TEXT       der Name des Laufwerks in Meldungen (Standard: das Modell)
  --status N        der S.M.A.R.T.-Status: 0 unbekannt, 1 fällt aus,
                    2 bestätigt, 3 nicht fähig (Standard: 2, oder 1, wenn die
                    Eingabe FAILED meldet oder eine kritische NVMe-Warnung
                    gesetzt ist)
  --all-disks       das Laufwerk auch bewerten, wenn die Eingabe es als
                    Festplatte ausweist, wie es die Einstellung CheckAllDisks
                    tut
  --json            jedes Feld des Laufwerkseintrags als JSON ausgeben
  --persist         den letzten Zustand und S.M.A.R.T.-Status des Laufwerks im
                    Einstellungsspeicher behalten, wie es der Monitor tut (ohne
                    die Option wird nichts gespeichert, und die eingebauten
                    Schwellen gelten)
  -h, --help        diese Hilfe anzeigen

Ein Laufwerk gilt als Solid-State-Laufwerk, außer die Zeile "Rotation Rate:"
der Eingabe nennt eine Drehzahl in rpm. Unerwartete Laufwerkswerte werden auf
der Standardfehlerausgabe gemeldet; die Bewertung geht weiter.

Exit-Status:
  0   Zustand über der Warnschwelle (50)
  1   Zustand auf oder unter der Warnschwelle (50)
  2   Zustand auf oder unter der Fehlerschwelle (30) oder ein ausfallendes
      Laufwerk
  3   keine Regel griff für die Attribute, oder das Laufwerk ist nicht
      S.M.A.R.T.-fähig
  64  Aufruffehler
  65  die Eingabe enthält weder eine Attributtabelle noch einen
      NVMe-Zustandsabschnitt
  66  die Eingabe kann nicht gelesen werden
</translation>
        </message>
        <message>
            <source>warning: %1</source>
            <translation>Warnung: %1</translation>
        </message>
        <message>
            <source>no home folder to keep settings and history in: HOME is not set and the user has no home in the password database; set HOME (or XDG_CONFIG_HOME and XDG_DATA_HOME)</source>
            <translation>kein Benutzerordner für Einstellungen und Verlauf: HOME ist nicht gesetzt und der Benutzer hat in der Passwortdatenbank keinen Benutzerordner; HOME setzen (oder XDG_CONFIG_HOME und XDG_DATA_HOME)</translation>
        </message>
        <message>
            <source>unexpected argument</source>
            <translation>unerwartetes Argument</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli history --help'.</source>
            <translation>Siehe 'ostrivane-cli history --help'.</translation>
        </message>
        <message>
            <source>cannot read '%1'</source>
            <translation>'%1' kann nicht gelesen werden</translation>
        </message>
        <message>
            <source>No health history recorded yet.</source>
            <translation>Noch kein Zustandsverlauf aufgezeichnet.</translation>
        </message>
        <message>
            <source>health unknown</source>
            <translation>Zustand unbekannt</translation>
        </message>
        <message>
            <source>health %1%</source>
            <translation>Zustand %1%</translation>
        </message>
        <message>
            <source>warning threshold (%1%) reached around %2</source>
            <translation>Warnschwelle (%1%) erreicht um den %2</translation>
        </message>
        <message>
            <source>at or below the warning threshold (%1%)</source>
            <translation>auf oder unter der Warnschwelle (%1%)</translation>
        </message>
        <message>
            <source>not enough history for a projection</source>
            <translation>zu wenig Verlauf für eine Vorhersage</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli history [OPTIONS]

Prints the health of the solid-state drives recorded at every check (by
'check' and 'monitor'), oldest first: time, drive name, model, serial number,
device, health (unknown: no rule applied) and S.M.A.R.T. status (0 unknown,
1 failing, 2 verified, 3 not capable). Then, for each drive (told apart by
its serial number), the date its health reaches the warning threshold if it
goes on falling as it did over the last 90 days: a least-squares line, shown
only when at least 14 days and 5 different values back it.

Options:
  --json         print the records as JSON
  --drive NAME   only the drive of this name
  -h, --help     show this help
</source>
            <translation>Aufruf: ostrivane-cli history [OPTIONEN]

Gibt den bei jeder Prüfung (durch 'check' und 'monitor') aufgezeichneten
Zustand der Solid-State-Laufwerke aus, älteste zuerst: Zeit, Laufwerksname,
Modell, Seriennummer, Gerät, Zustand (unknown: keine Regel griff) und
S.M.A.R.T.-Status (0 unbekannt, 1 fällt aus, 2 bestätigt, 3 nicht fähig).
Danach für jedes Laufwerk (unterschieden nach seiner Seriennummer) das Datum,
an dem sein Zustand die Warnschwelle erreicht, wenn er weiter so fällt wie in
den letzten 90 Tagen: eine Ausgleichsgerade, nur angezeigt, wenn mindestens
14 Tage und 5 verschiedene Werte sie stützen.

Optionen:
  --json         die Einträge als JSON ausgeben
  --drive NAME   nur das Laufwerk mit diesem Namen
  -h, --help     diese Hilfe anzeigen
</translation>
        </message>
        <message>
            <source>cannot read %1: %2</source>
            <translation>%1 kann nicht gelesen werden: %2</translation>
        </message>
        <message>
            <source>cannot read %1: larger than %2 MiB</source>
            <translation>%1 kann nicht gelesen werden: größer als %2 MiB</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli --help'.</source>
            <translation>Siehe 'ostrivane-cli --help'.</translation>
        </message>
        <message>
            <source>cannot write to standard output</source>
            <translation>Schreiben auf die Standardausgabe nicht möglich</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli COMMAND [OPTIONS]

Ostrivane watches the wear and health of solid-state drives.

Commands:
  check           check the solid-state drives once (exit status 0 OK, 1 warning,
                  2 error, 3 unknown; --plugin for Nagios or Icinga, --json for Zabbix)
  monitor         the headless monitor: check at every interval until stopped
  history         the recorded health of the drives
  disks           the mounted disks, boot disk first, with their descriptions
  evaluate FILE   the health of an attribute table given as text (smartctl output)
  smart DISK      the S.M.A.R.T. status and attribute table of a drive (sda, nvme0n1)
  defaults        read and change the stored settings (read, write, delete, list)
  test-email      send the test e-mail through the chosen e-mail transport
  snapshot-machine DIR
                  record this machine's disk layout into DIR for a report

Run 'ostrivane-cli COMMAND --help' for the options of a command.
Options:
  -h, --help      show this help
  --version       show the version
</source>
            <translation>Aufruf: ostrivane-cli BEFEHL [OPTIONEN]

Ostrivane überwacht Abnutzung und Zustand von Solid-State-Laufwerken.

Befehle:
  check           die Solid-State-Laufwerke einmal prüfen (Exit-Status 0 OK, 1 Warnung,
                  2 Fehler, 3 unbekannt; --plugin für Nagios oder Icinga, --json für Zabbix)
  monitor         der Monitor ohne Oberfläche: prüft in jedem Intervall, bis er beendet wird
  history         der aufgezeichnete Zustand der Laufwerke
  disks           die eingebundenen Laufwerke, Startlaufwerk zuerst, mit ihren Beschreibungen
  evaluate FILE   der Zustand einer als Text gegebenen Attributtabelle (smartctl-Ausgabe)
  smart DISK      S.M.A.R.T.-Status und Attributtabelle eines Laufwerks (sda, nvme0n1)
  defaults        die gespeicherten Einstellungen lesen und ändern (read, write, delete, list)
  test-email      die Test-E-Mail über den gewählten E-Mail-Transport senden
  snapshot-machine DIR
                  die Laufwerksanordnung dieses Rechners für einen Bericht in DIR aufzeichnen

'ostrivane-cli BEFEHL --help' zeigt die Optionen eines Befehls.
Optionen:
  -h, --help      diese Hilfe anzeigen
  --version       die Version anzeigen
</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli monitor --help'.</source>
            <translation>Siehe 'ostrivane-cli monitor --help'.</translation>
        </message>
        <message>
            <source>cannot install the signal handlers</source>
            <translation>die Signalbehandlung kann nicht eingerichtet werden</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli monitor [OPTIONS]

The headless monitor: checks the solid-state drives at start and then every
"SSDCheckInterval" minutes (default 60; change it with 'ostrivane-cli
defaults write SSDCheckInterval N'), logs every drive to the log file
(~/.local/share/Ostrivane/Ostrivane.log), sends the notifications the settings
ask for and records the health history. Runs until SIGTERM or SIGINT, which
end it after the check in progress and the notifications it raised (a second
signal ends it at once). SIGHUP re-reads the settings (also the system-wide
/etc/ostrivane/ostrivane.conf): a changed interval
restarts the timer; changes made with 'ostrivane-cli defaults' are also seen
without it, within seconds.

Options:
  --machine DIR    watch a recorded machine (for demonstrations and tests);
                   its settings, history and log go to a temporary folder
  --state DIR      keep settings, history and log below DIR instead (config/,
                   data/, state/, cache/)
  --socket PATH    read S.M.A.R.T. data only through the service at PATH
  -h, --help       show this help
</source>
            <translation>Aufruf: ostrivane-cli monitor [OPTIONEN]

Der Monitor ohne Oberfläche: prüft die Solid-State-Laufwerke beim Start und
danach alle "SSDCheckInterval" Minuten (Standard 60; zu ändern mit
'ostrivane-cli defaults write SSDCheckInterval N'), protokolliert jedes
Laufwerk in der Protokolldatei (~/.local/share/Ostrivane/Ostrivane.log),
sendet die Benachrichtigungen, die die Einstellungen verlangen, und zeichnet
den Zustandsverlauf auf. Läuft bis SIGTERM oder SIGINT, die ihn nach der
laufenden Prüfung und den dabei ausgelösten Benachrichtigungen beenden (ein
zweites Signal beendet ihn sofort). SIGHUP liest die Einstellungen neu (auch
die systemweite /etc/ostrivane/ostrivane.conf): ein geändertes Intervall
startet den Zeitgeber neu; Änderungen mit 'ostrivane-cli defaults' werden auch
ohne SIGHUP binnen Sekunden bemerkt.

Optionen:
  --machine DIR    einen aufgezeichneten Rechner überwachen (für Vorführungen
                   und Tests); seine Einstellungen, sein Verlauf und sein
                   Protokoll landen in einem temporären Ordner
  --state DIR      Einstellungen, Verlauf und Protokoll stattdessen unter DIR
                   ablegen (config/, data/, state/, cache/)
  --socket PATH    S.M.A.R.T.-Daten nur über den Dienst unter PATH lesen
  -h, --help       diese Hilfe anzeigen
</translation>
        </message>
        <message>
            <source>S.M.A.R.T. failing</source>
            <translation>S.M.A.R.T. meldet Ausfall</translation>
        </message>
        <message>
            <source>S.M.A.R.T. verified</source>
            <translation>S.M.A.R.T. bestätigt</translation>
        </message>
        <message>
            <source>not S.M.A.R.T. capable</source>
            <translation>nicht S.M.A.R.T.-fähig</translation>
        </message>
        <message>
            <source>S.M.A.R.T. unknown</source>
            <translation>S.M.A.R.T. unbekannt</translation>
        </message>
        <message>
            <source>no solid-state drive found</source>
            <translation>kein Solid-State-Laufwerk gefunden</translation>
        </message>
        <message>
            <source>1 SSD</source>
            <translation>1 SSD</translation>
        </message>
        <message>
            <source>%1 SSDs</source>
            <translation>%1 SSDs</translation>
        </message>
        <message>
            <source>, worst %1 % (%2)</source>
            <translation>, schlechteste %1 % (%2)</translation>
        </message>
        <message>
            <source>, S.M.A.R.T. data unreadable (run as root or enable ostrivane-smart.socket)</source>
            <translation>, S.M.A.R.T.-Daten nicht lesbar (als root ausführen oder ostrivane-smart.socket aktivieren)</translation>
        </message>
        <message>
            <source>, health unknown</source>
            <translation>, Zustand unbekannt</translation>
        </message>
        <message>
            <source>, S.M.A.R.T. failing (%1)</source>
            <translation>, S.M.A.R.T. meldet Ausfall (%1)</translation>
        </message>
        <message>
            <source>check timed out after %1 seconds</source>
            <translation>Prüfung nach %1 Sekunden abgebrochen</translation>
        </message>
        <message>
            <source>a link to nothing that may be replaced</source>
            <translation>eine Verknüpfung auf nichts, das ersetzt werden könnte</translation>
        </message>
        <message>
            <source>not a regular file; only one may be replaced</source>
            <translation>keine gewöhnliche Datei; nur eine solche darf ersetzt werden</translation>
        </message>
        <message>
            <source>Disk:</source>
            <translation>Datenträger:</translation>
        </message>
        <message>
            <source>Protocol:</source>
            <translation>Protokoll:</translation>
        </message>
        <message>
            <source>Power mode:</source>
            <translation>Energiemodus:</translation>
        </message>
        <message>
            <source>none</source>
            <translation>keines</translation>
        </message>
        <message>
            <source>could not be read</source>
            <translation>konnten nicht gelesen werden</translation>
        </message>
        <message>
            <source>ID</source>
            <translation>ID</translation>
        </message>
        <message>
            <source>Threshold</source>
            <translation>Grenzwert</translation>
        </message>
        <message>
            <source>Field</source>
            <translation>Feld</translation>
        </message>
        <message>
            <source>Value</source>
            <translation>Wert</translation>
        </message>
        <message>
            <source>Current</source>
            <translation>Aktuell</translation>
        </message>
        <message>
            <source>Worst</source>
            <translation>Schlechtester</translation>
        </message>
        <message>
            <source>Raw</source>
            <translation>Rohwert</translation>
        </message>
        <message>
            <source>Pre-fail</source>
            <translation>Vorausfall</translation>
        </message>
        <message>
            <source>Online</source>
            <translation>Online</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli smart --help'.</source>
            <translation>Siehe 'ostrivane-cli smart --help'.</translation>
        </message>
        <message>
            <source>expected one DISK (for example sda or nvme0n1)</source>
            <translation>genau ein DISK erwartet (zum Beispiel sda oder nvme0n1)</translation>
        </message>
        <message>
            <source>'%1' is not a disk name</source>
            <translation>'%1' ist kein Laufwerksname</translation>
        </message>
        <message>
            <source>no such disk '%1'</source>
            <translation>kein Laufwerk '%1'</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli smart [OPTIONS] DISK

Reads the S.M.A.R.T. status and the attribute table of one drive exactly as
the monitor reads them. DISK is a whole disk's kernel name (sda, nvme0n1) or
its device node (/dev/sda). NVMe health-log fields appear as attributes 900
to 914.

Reading needs root, or the ostrivane-smart service:
  sudo systemctl enable --now ostrivane-smart.socket
As root the drives are read directly, unless --socket is given.

Options:
  --json           print the result as JSON
  --socket PATH    read through the service's socket at PATH, also as root
                   (default without root: /run/ostrivane/smart.sock)
  --machine DIR    read a recorded machine in DIR instead of the drives
                   (--fixture DIR is the same)
  -h, --help       show this help

Exit status:
  0   status verified and attribute table read
  1   status verified, but the attribute table could not be read
  2   the drive reports a failure
  3   status could not be determined, or the drive is not S.M.A.R.T. capable
  64  usage error
  66  no such disk, or no machine folder DIR
</source>
            <translation>Aufruf: ostrivane-cli smart [OPTIONEN] DISK

Liest den S.M.A.R.T.-Status und die Attributtabelle eines Laufwerks genau so,
wie der Monitor sie liest. DISK ist der Kernelname eines ganzen Laufwerks (sda,
nvme0n1) oder seine Gerätedatei (/dev/sda). Felder des NVMe-Zustandsprotokolls
erscheinen als Attribute 900 bis 914.

Das Lesen braucht root oder den Dienst ostrivane-smart:
  sudo systemctl enable --now ostrivane-smart.socket
Als root werden die Laufwerke direkt gelesen, außer --socket ist angegeben.

Optionen:
  --json           das Ergebnis als JSON ausgeben
  --socket PATH    über den Socket des Dienstes unter PATH lesen, auch als root
                   (Standard ohne root: /run/ostrivane/smart.sock)
  --machine DIR    einen aufgezeichneten Rechner in DIR statt der Laufwerke
                   lesen (--fixture DIR ist dasselbe)
  -h, --help       diese Hilfe anzeigen

Exit-Status:
  0   Status bestätigt und Attributtabelle gelesen
  1   Status bestätigt, aber die Attributtabelle konnte nicht gelesen werden
  2   das Laufwerk meldet einen Ausfall
  3   der Status konnte nicht bestimmt werden, oder das Laufwerk ist nicht
      S.M.A.R.T.-fähig
  64  Aufruffehler
  66  kein solches Laufwerk oder kein Maschinenordner DIR
</translation>
        </message>
        <message>
            <source>active</source>
            <translation>aktiv</translation>
        </message>
        <message>
            <source>idle</source>
            <translation>Leerlauf</translation>
        </message>
        <message>
            <source>standby</source>
            <translation>Standby</translation>
        </message>
        <message>
            <source>sleep</source>
            <translation>Schlafmodus</translation>
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
            <source>cannot create the folder '%1'</source>
            <translation>der Ordner '%1' kann nicht angelegt werden</translation>
        </message>
        <message>
            <source>cannot create a temporary folder: %1</source>
            <translation>ein temporärer Ordner kann nicht angelegt werden: %1</translation>
        </message>
        <message>
            <source>Try 'ostrivane-cli test-email --help'.</source>
            <translation>Siehe 'ostrivane-cli test-email --help'.</translation>
        </message>
        <message>
            <source>no relay configured</source>
            <translation>kein Relay eingerichtet</translation>
        </message>
        <message>
            <source>this build names no mail relay; choose another transport with NotificationEmailTransport (smtp, sendmail or exec)</source>
            <translation>dieser Build nennt kein Mail-Relay; mit NotificationEmailTransport einen anderen Transport wählen (smtp, sendmail oder exec)</translation>
        </message>
        <message>
            <source>Usage: ostrivane-cli test-email [--to ADDRESSES]

Sends the test e-mail ("Ostrivane Email Test") to the addresses of the
setting NotificationUseEmailAddress, or to the given ones, through the
transport of the setting NotificationEmailTransport (the mail relay by
default; smtp, sendmail or exec), and prints the result: Success, CGI Failure,
MailCore Failure (the own transport failed; the reason follows on standard
error), No Valid Recipient, Blocked e-mail address, Blocked e-mail host or
Unreachable host. Without a relay host, the relay answers "CGI Failure: no
relay configured".

Options:
  --to ADDRESSES   recipients, separated by commas; may be repeated
  -h, --help       show this help

Exit status: 0 when the relay or the own transport accepted the message, 1
otherwise, 64 for a usage error.
</source>
            <translation>Aufruf: ostrivane-cli test-email [--to ADDRESSES]

Sendet die Test-E-Mail ("Ostrivane Email Test") an die Adressen der
Einstellung NotificationUseEmailAddress oder an die angegebenen, über den
Transport der Einstellung NotificationEmailTransport (standardmäßig das
Mail-Relay; smtp, sendmail oder exec), und gibt das Ergebnis aus: Erfolg,
CGI-Fehler, MailCore-Fehler (der eigene Transport schlug fehl; der Grund
folgt auf der Standardfehlerausgabe), Kein gültiger Empfänger, Gesperrte
E-Mail-Adresse, Gesperrter E-Mail-Host oder Host nicht erreichbar. Ohne
Relay-Host antwortet das Relay "CGI-Fehler: kein Relay eingerichtet".

Optionen:
  --to ADDRESSES   Empfänger, durch Kommas getrennt; mehrfach möglich
  -h, --help       diese Hilfe anzeigen

Exit-Status: 0, wenn das Relay oder der eigene Transport die Nachricht
angenommen hat, sonst 1, 64 bei einem Aufruffehler.
</translation>
        </message>
        <message>
            <source>Success</source>
            <translation>Erfolg</translation>
        </message>
        <message>
            <source>Scripting Bridge Failure</source>
            <translation>Scripting-Bridge-Fehler</translation>
        </message>
        <message>
            <source>CGI Failure</source>
            <translation>CGI-Fehler</translation>
        </message>
        <message>
            <source>MailCore Failure</source>
            <translation>MailCore-Fehler</translation>
        </message>
        <message>
            <source>No Valid Recipient</source>
            <translation>Kein gültiger Empfänger</translation>
        </message>
        <message>
            <source>No Valid Sender</source>
            <translation>Kein gültiger Absender</translation>
        </message>
        <message>
            <source>Blocked e-mail address</source>
            <translation>Gesperrte E-Mail-Adresse</translation>
        </message>
        <message>
            <source>Blocked e-mail host</source>
            <translation>Gesperrter E-Mail-Host</translation>
        </message>
        <message>
            <source>Unreachable host</source>
            <translation>Host nicht erreichbar</translation>
        </message>
        <message>
            <source>%1 % used</source>
            <translation>%1 % verbraucht</translation>
        </message>
        <message>
            <source>%1 written</source>
            <translation>%1 geschrieben</translation>
        </message>
        <message>
            <source>own wear indicator: %1</source>
            <translation>eigene Verschleißanzeige: %1</translation>
        </message>
        <message>
            <source>the drive's own indicator differs: %1 % life left</source>
            <translation>die eigene Anzeige des Laufwerks weicht ab: %1 % Lebensdauer übrig</translation>
        </message>
        <message>
            <source>%1 (%2):	%3 [threshold: %4] %5</source>
            <translation>%1 (%2):	%3 [Schwelle: %4] %5</translation>
        </message>
        <message>
            <source>(WARNING: attribute exceeds threshold!)</source>
            <translation>(WARNUNG: Attribut überschreitet die Schwelle!)</translation>
        </message>
        <message>
            <source>S.M.A.R.T. status FAILING!</source>
            <translation>S.M.A.R.T.-Status FEHLERHAFT!</translation>
        </message>
        <message>
            <source>%1: %2 [threshold: %3]</source>
            <translation>%1: %2 [Schwelle: %3]</translation>
        </message>
        <message>
            <source>in standby since %1</source>
            <translation>im Ruhezustand seit %1</translation>
        </message>
        <message>
            <source>This SSD is not S.M.A.R.T. compatible</source>
            <translation>Diese SSD ist nicht S.M.A.R.T.-kompatibel</translation>
        </message>
        <message>
            <source>This SSD is not compatible with Ostrivane</source>
            <translation>Diese SSD ist nicht mit Ostrivane kompatibel</translation>
        </message>
        <message>
            <source> {low-accuracy!}</source>
            <translation> {ungenau!}</translation>
        </message>
        <message>
            <source>If you read this delivering to your address worked fine.</source>
            <translation>Wenn Sie dies lesen, hat die Zustellung an Ihre Adresse funktioniert.</translation>
        </message>
        <message>
            <source>The settings were damaged and have been reset to their defaults, including the health thresholds and the notification and e-mail settings. The damaged file was kept as %1. Please check your settings.</source>
            <translation>Die Einstellungen waren beschädigt und wurden auf ihre Standardwerte zurückgesetzt, einschließlich der Zustandsschwellen und der Benachrichtigungs- und E-Mail-Einstellungen. Die beschädigte Datei wurde als %1 aufbewahrt. Bitte prüfen Sie Ihre Einstellungen.</translation>
        </message>
        <message>
            <source>the settings were damaged and are reset to their defaults; the damaged file was moved aside to %1</source>
            <translation>die Einstellungen waren beschädigt und werden auf ihre Standardwerte zurückgesetzt; die beschädigte Datei wurde nach %1 verschoben</translation>
        </message>
        <message>
            <source>%1:%2: %3 %4; the line is ignored</source>
            <translation>%1:%2: %3 %4; die Zeile wird nicht beachtet</translation>
        </message>
        <message>
            <source>is not a section header</source>
            <translation>ist keine Abschnittsüberschrift</translation>
        </message>
        <message>
            <source>names an unknown section (use [settings])</source>
            <translation>nennt einen unbekannten Abschnitt (verwenden Sie [settings])</translation>
        </message>
        <message>
            <source>is not 'Key = value'</source>
            <translation>hat nicht die Form 'Key = value'</translation>
        </message>
        <message>
            <source>is outside the [settings] section</source>
            <translation>steht außerhalb des Abschnitts [settings]</translation>
        </message>
        <message>
            <source>sets the unknown key '%1'</source>
            <translation>setzt den unbekannten Schlüssel '%1'</translation>
        </message>
        <message>
            <source>does not give a whole number</source>
            <translation>gibt keine ganze Zahl an</translation>
        </message>
        <message>
            <source>%1: %2; the file is ignored</source>
            <translation>%1: %2; die Datei wird nicht beachtet</translation>
        </message>
        <message>
            <source>%1: larger than %2 bytes; the file is ignored</source>
            <translation>%1: größer als %2 Byte; die Datei wird nicht beachtet</translation>
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
            <source>--socket needs a path</source>
            <translation>--socket braucht einen Pfad</translation>
        </message>
        <message>
            <source>Usage: ostrivane [OPTIONS]

The Ostrivane desktop application: watches the health of the solid-state
drives and shows it in the system tray and its window. Only one runs per
session; starting it again opens the running one's window.

Options:
  --show           open the window, and show Ostrivane in the taskbar when it
                   was hidden everywhere (as holding Alt while starting does)
  --machine DIR    watch a recorded machine (for demonstrations and tests)
  --socket PATH    read S.M.A.R.T. data only through the service at PATH
  --version        show the version
  -h, --help       show this help
</source>
            <translation>Aufruf: ostrivane [OPTIONEN]

Die Desktop-Anwendung von Ostrivane: überwacht den Zustand der
Solid-State-Laufwerke und zeigt ihn im Infobereich und in ihrem Fenster. Je
Sitzung läuft nur eine; ein erneuter Start öffnet das Fenster der laufenden.

Optionen:
  --show           das Fenster öffnen und Ostrivane in der Taskleiste zeigen,
                   wenn es überall ausgeblendet war (wie Alt beim Start)
  --machine DIR    einen aufgezeichneten Rechner überwachen (für Vorführungen
                   und Tests)
  --socket PATH    S.M.A.R.T.-Daten nur über den Dienst unter PATH lesen
  --version        die Version anzeigen
  -h, --help       diese Hilfe anzeigen
</translation>
        </message>
        <message>
            <source>reaches the warning threshold (%1%) around %2</source>
            <translation>erreicht die Warnschwelle (%1%) etwa am %2</translation>
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
            <source>Try 'ostrivane --help'.
</source>
            <translation>Siehe 'ostrivane --help'.
</translation>
        </message>
        <message>
            <source>ostrivane: the desktop application does not run as root; start it as yourself.
It reads S.M.A.R.T. data through the ostrivane-smart service: 'sudo systemctl enable --now ostrivane-smart.socket'.
</source>
            <translation>ostrivane: Die Desktop-Anwendung läuft nicht als root; starten Sie sie als Sie selbst.
Sie liest die S.M.A.R.T.-Daten über den Dienst ostrivane-smart: 'sudo systemctl enable --now ostrivane-smart.socket'.
</translation>
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
            <source>Happy</source>
            <translation>Zufrieden</translation>
        </message>
        <message>
            <source>Not sure</source>
            <translation>Weiß nicht</translation>
        </message>
        <message>
            <source>Problems</source>
            <translation>Probleme</translation>
        </message>
        <message>
            <source>Don't ask again</source>
            <translation>Nicht mehr fragen</translation>
        </message>
        <message>
            <source>Not now</source>
            <translation>Nicht jetzt</translation>
        </message>
        <message>
            <source>    Rate on the App Store</source>
            <translation>    Im App Store bewerten</translation>
        </message>
        <message>
            <source>    Rate on MacUpdate</source>
            <translation>    Auf MacUpdate bewerten</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>Schließen</translation>
        </message>
        <message>
            <source>Send feedback</source>
            <translation>Rückmeldung senden</translation>
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
