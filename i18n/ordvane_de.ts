<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AdvancedOptions</name>
    <message>
        <source>a card</source>
        <translation>eine Netzwerkkarte</translation>
    </message>
    <message>
        <source>Warning: another DHCP server (%1) serves %2. To answer only the module to recover, use ordvane-cli recover or recovery-server --only.</source>
        <translation>Warnung: Ein anderer DHCP-Server (%1) bedient %2. Um nur dem wiederherzustellenden Modul zu antworten, verwenden Sie ordvane-cli recover oder recovery-server --only.</translation>
    </message>
    <message>
        <source>Warning: a lease left %1, which has no IPv4 address: the module cannot renew it. Give the card 10.200.1.1/24.</source>
        <translation>Warnung: Eine Adresse wurde über %1 vergeben, die keine IPv4-Adresse hat: Das Modul kann sie nicht erneuern. Geben Sie der Karte 10.200.1.1/24.</translation>
    </message>
    <message>
        <source>Leases given: %1, the last to %2.</source>
        <translation>Vergebene Adressen: %1, die letzte an %2.</translation>
    </message>
    <message>
        <source>Leases given: %1.</source>
        <translation>Vergebene Adressen: %1.</translation>
    </message>
</context>
<context>
    <name>CAboutDlg</name>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
</context>
<context>
    <name>CDataExchange</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Bitte geben Sie eine ganze Zahl ein.</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Bitte geben Sie höchstens %1 Zeichen ein.</translation>
    </message>
</context>
<context>
    <name>CEthernetConfigDlg</name>
    <message>
        <source>Type the new password in both fields, or tick &quot;Remove password&quot; to remove the module&apos;s password.</source>
        <translation>Geben Sie das neue Passwort in beide Felder ein, oder kreuzen Sie „Passwort entfernen“ an, um das Passwort des Moduls zu entfernen.</translation>
    </message>
    <message>
        <source>The two new passwords differ. Type the same new password in both fields.</source>
        <translation>Die beiden neuen Passwörter stimmen nicht überein. Geben Sie in beide Felder dasselbe neue Passwort ein.</translation>
    </message>
    <message>
        <source>Configure: %1</source>
        <translation>Konfigurieren: %1</translation>
    </message>
    <message>
        <source>%1 asked for hashed passwords before and now asks for its password in plain text; another device may be answering in its name. Nothing was sent. After a real firmware change, forget it with &quot;ordvane-cli forget %1&quot;.</source>
        <translation>%1 verlangte bisher gehashte Passwörter und verlangt sein Passwort jetzt im Klartext; möglicherweise antwortet ein anderes Gerät in seinem Namen. Es wurde nichts gesendet. Nach einem echten Firmware-Wechsel vergessen Sie es mit „ordvane-cli forget %1“.</translation>
    </message>
    <message>
        <source>%1 takes its password in plain text: anyone on the network can read it on the way.

Send the password in plain text anyway?</source>
        <translation>%1 nimmt sein Passwort im Klartext entgegen: Jeder im Netzwerk kann es unterwegs mitlesen.

Das Passwort trotzdem im Klartext senden?</translation>
    </message>
</context>
<context>
    <name>CScanDlg</name>
    <message>
        <source>Incorrect DLL version</source>
        <translation>Falsche Version der Modulbibliothek</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Modules</source>
        <translation>Module</translation>
    </message>
    <message>
        <source>Subnet mask</source>
        <translation>Subnetzmaske</translation>
    </message>
    <message>
        <source>Default gateway</source>
        <translation>Standard-Gateway</translation>
    </message>
    <message numerus="yes">
        <source>%1 - scanning, %n module(s)</source>
        <translation>
            <numerusform>%1 - Suche läuft, %n Modul</numerusform>
            <numerusform>%1 - Suche läuft, %n Module</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 - %n module(s)</source>
        <translation>
            <numerusform>%1 - %n Modul</numerusform>
            <numerusform>%1 - %n Module</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 - no network card to scan on</source>
        <translation>%1 - keine Netzwerkkarte zum Suchen</translation>
    </message>
    <message>
        <source>%1 - no module answered on %2</source>
        <translation>%1 - kein Modul hat geantwortet auf %2</translation>
    </message>
    <message>
        <source>&amp;Configure...</source>
        <translation>&amp;Konfigurieren...</translation>
    </message>
    <message>
        <source>&amp;Wink</source>
        <translation>B&amp;linken</translation>
    </message>
    <message>
        <source>C&amp;opy	Ctrl+C</source>
        <translation>Ko&amp;pieren	Ctrl+C</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Info...</translation>
    </message>
    <message>
        <source>Invalid password</source>
        <translation>Ungültiges Passwort</translation>
    </message>
    <message>
        <source>The module service did not start.</source>
        <translation>Der Moduldienst ließ sich nicht starten.</translation>
    </message>
    <message>
        <source>Two devices claim this module&apos;s MAC address, so nothing was sent. Remove the other device and scan again.</source>
        <translation>Zwei Geräte beanspruchen die MAC-Adresse dieses Moduls, daher wurde nichts gesendet. Entfernen Sie das andere Gerät und suchen Sie erneut.</translation>
    </message>
    <message>
        <source>&amp;Recover this module</source>
        <translation>Modul &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Recovered: %1 answers at %2 with DHCP off.</source>
        <translation>Wiederhergestellt: %1 antwortet unter %2 mit DHCP aus.</translation>
    </message>
    <message>
        <source>Recovery ended: the module sent no DHCP request or did not answer in time.</source>
        <translation>Wiederherstellung beendet: Das Modul hat keine DHCP-Anfrage gesendet oder nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>Recovery ended: %1</source>
        <translation>Wiederherstellung beendet: %1</translation>
    </message>
    <message>
        <source>Recover this module</source>
        <translation>Modul wiederherstellen</translation>
    </message>
    <message>
        <source>Nothing was sent: this module asked for hashed passwords before and now asks for its password in plain text. Another device may be answering in its name.</source>
        <translation>Es wurde nichts gesendet: Dieses Modul verlangte bisher gehashte Passwörter und verlangt sein Passwort jetzt im Klartext. Möglicherweise antwortet ein anderes Gerät in seinem Namen.</translation>
    </message>
</context>
<context>
    <name>Dialog</name>
    <message>
        <source>&amp;Scan</source>
        <translation>&amp;Suchen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Advanced Options</source>
        <translation>&amp;Erweiterte Optionen</translation>
    </message>
    <message>
        <source>&amp;Wink</source>
        <translation>B&amp;linken</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&amp;Set</source>
        <translation>Ü&amp;bernehmen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;IP address:</source>
        <translation>&amp;IP-Adresse:</translation>
    </message>
    <message>
        <source>S&amp;ubnet mask:</source>
        <translation>&amp;Subnetzmaske:</translation>
    </message>
    <message>
        <source>Default &amp;gateway:</source>
        <translation>&amp;Gateway:</translation>
    </message>
    <message>
        <source>P&amp;rimary DNS:</source>
        <translation>P&amp;rimärer DNS:</translation>
    </message>
    <message>
        <source>Secon&amp;dary DNS:</source>
        <translation>Se&amp;kundärer DNS:</translation>
    </message>
    <message>
        <source>&amp;Hostname:</source>
        <translation>&amp;Hostname:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>Pass&amp;wort:</translation>
    </message>
    <message>
        <source>&amp;New password:</source>
        <translation>&amp;Neues Passwort:</translation>
    </message>
    <message>
        <source>Confir&amp;m:</source>
        <translation>Bes&amp;tätigen:</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>&amp;On</source>
        <translation>&amp;Ein</translation>
    </message>
    <message>
        <source>O&amp;ff</source>
        <translation>A&amp;us</translation>
    </message>
    <message>
        <source>&amp;Change password</source>
        <translation>Passwort än&amp;dern</translation>
    </message>
    <message>
        <source>Remo&amp;ve password</source>
        <translation>Passwort ent&amp;fernen</translation>
    </message>
    <message>
        <source>Ethernet configuration</source>
        <translation>Ethernet-Konfiguration</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Internal DHCP server</source>
        <translation>Interner DHCP-Server</translation>
    </message>
    <message>
        <source>Warning! Internal DHCP server should only be used to recover modules that have been set to DHCP by mistake.</source>
        <translation>Achtung! Der interne DHCP-Server dient nur dazu, Module zurückzuholen, die versehentlich auf DHCP gestellt wurden.</translation>
    </message>
    <message>
        <source>&amp;Enable internal DHCP server</source>
        <translation>Internen DHCP-Server &amp;einschalten</translation>
    </message>
    <message>
        <source>Application</source>
        <translation>Anwendung</translation>
    </message>
    <message>
        <source>Copyright (C) 2026</source>
        <translation>Copyright (C) 2026</translation>
    </message>
    <message>
        <source>Application name</source>
        <translation>Anwendungsname</translation>
    </message>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>Advanced Settings</source>
        <translation>Erweiterte Einstellungen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
</context>
<context>
    <name>IpAddressWidget</name>
    <message>
        <source>Part %1 of %2</source>
        <translation>Teil %1 von %2</translation>
    </message>
    <message>
        <source>%1 is not a valid entry. Please specify a value between 0 and %2.</source>
        <translation>%1 ist kein gültiger Eintrag. Bitte geben Sie einen Wert zwischen 0 und %2 an.</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Abort</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Ignore</source>
        <translation>&amp;Ignorieren</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nein</translation>
    </message>
</context>
<context>
    <name>ModuleColumns</name>
    <message>
        <source>IP</source>
        <translation>IP</translation>
    </message>
    <message>
        <source>SN</source>
        <translation>SN</translation>
    </message>
    <message>
        <source>GW</source>
        <translation>GW</translation>
    </message>
    <message>
        <source>DHCP</source>
        <translation>DHCP</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>MAC</source>
        <translation>MAC</translation>
    </message>
</context>
<context>
    <name>ModuleWarnings</name>
    <message>
        <source>a module without MAC</source>
        <translation>ein Modul ohne MAC</translation>
    </message>
    <message>
        <source>%1 %2 mask %3</source>
        <translation>%1 %2 Maske %3</translation>
    </message>
    <message numerus="yes">
        <source>%1, and %n more</source>
        <translation>
            <numerusform>%1 und %n weiteres</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>The IP address %1 is on none of this computer&apos;s networks (it has no IPv4 network); its answer came in through %2.</source>
        <translation>Die IP-Adresse %1 liegt in keinem Netzwerk dieses Computers (er hat kein IPv4-Netzwerk); die Antwort des Moduls kam über %2.</translation>
    </message>
    <message>
        <source>The IP address %1 is on none of this computer&apos;s networks (it has no IPv4 network).</source>
        <translation>Die IP-Adresse %1 liegt in keinem Netzwerk dieses Computers (er hat kein IPv4-Netzwerk).</translation>
    </message>
    <message>
        <source>The IP address %1 is on none of this computer&apos;s networks (%2); its answer came in through %3.</source>
        <translation>Die IP-Adresse %1 liegt in keinem Netzwerk dieses Computers (%2); die Antwort des Moduls kam über %3.</translation>
    </message>
    <message>
        <source>The IP address %1 is on none of this computer&apos;s networks (%2).</source>
        <translation>Die IP-Adresse %1 liegt in keinem Netzwerk dieses Computers (%2).</translation>
    </message>
    <message numerus="yes">
        <source>The IP address %1 is also used by %n other module(s): %2.</source>
        <translation>
            <numerusform>Die IP-Adresse %1 wird auch von %n anderen Modul verwendet: %2.</numerusform>
            <numerusform>Die IP-Adresse %1 wird auch von %n anderen Modulen verwendet: %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The IP address %1 is also used by %n other module(s), among them %2.</source>
        <translation>
            <numerusform>Die IP-Adresse %1 wird auch von %n anderen Modul verwendet, darunter %2.</numerusform>
            <numerusform>Die IP-Adresse %1 wird auch von %n anderen Modulen verwendet, darunter %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The recovery DHCP server would give the same address %1 to %n other module(s): %2.</source>
        <translation>
            <numerusform>Der Wiederherstellungs-DHCP-Server würde dieselbe Adresse %1 auch %n anderen Modul geben: %2.</numerusform>
            <numerusform>Der Wiederherstellungs-DHCP-Server würde dieselbe Adresse %1 auch %n anderen Modulen geben: %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The recovery DHCP server would give the same address %1 to %n other module(s), among them %2.</source>
        <translation>
            <numerusform>Der Wiederherstellungs-DHCP-Server würde dieselbe Adresse %1 auch %n anderen Modul geben, darunter %2.</numerusform>
            <numerusform>Der Wiederherstellungs-DHCP-Server würde dieselbe Adresse %1 auch %n anderen Modulen geben, darunter %2.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>NoAnswerMessage</name>
    <message>
        <source>A module did not answer in time.</source>
        <translation>Ein Modul hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>Module %1 did not answer the wink request.</source>
        <translation>Modul %1 hat auf die Blinkanfrage nicht geantwortet.</translation>
    </message>
    <message>
        <source>Module %1 did not answer the configuration request.</source>
        <translation>Modul %1 hat auf die Konfigurationsanfrage nicht geantwortet.</translation>
    </message>
    <message>
        <source>Check that it is powered and connected, then press Scan.</source>
        <translation>Prüfen Sie, ob es Strom hat und angeschlossen ist, und klicken Sie dann auf „Suchen“.</translation>
    </message>
</context>
<context>
    <name>RecoveryFailure</name>
    <message>
        <source>no static address to configure</source>
        <translation>Keine feste Adresse zum Einstellen</translation>
    </message>
    <message>
        <source>DHCP server init failed: %1</source>
        <translation>Der DHCP-Server konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>no random salt for the password</source>
        <translation>Kein zufälliges Salt für das Passwort</translation>
    </message>
    <message>
        <source>the module did not answer the configure request</source>
        <translation>Das Modul hat auf die Konfigurationsanfrage nicht geantwortet</translation>
    </message>
    <message>
        <source>two devices claim the MAC address; nothing was sent</source>
        <translation>Zwei Geräte beanspruchen die MAC-Adresse; es wurde nichts gesendet</translation>
    </message>
</context>
<context>
    <name>SharedText</name>
    <message>
        <source>Illegal hostname! Only a-z, A-Z and 0-9 allowed.</source>
        <translation>Ungültiger Hostname! Nur a-z, A-Z und 0-9 sind erlaubt.</translation>
    </message>
    <message>
        <source>Last digit of IP address can not be 255.</source>
        <translation>Die letzte Zahl der IP-Adresse darf nicht 255 sein.</translation>
    </message>
    <message>
        <source>Device does not support wink.</source>
        <translation>Das Gerät unterstützt kein Blinken.</translation>
    </message>
    <message>
        <source>DHCP server init failed</source>
        <translation>Der DHCP-Server konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source> - recovery DHCP server on</source>
        <translation> - Wiederherstellungs-DHCP-Server an</translation>
    </message>
    <message>
        <source>only members of the group ordvane may open port 67; ask an administrator to run &quot;sudo adduser %1 ordvane&quot;, then log out and in again</source>
        <translation>nur Mitglieder der Gruppe ordvane dürfen Port 67 öffnen; bitten Sie einen Administrator, „sudo adduser %1 ordvane“ auszuführen, und melden Sie sich dann ab und wieder an</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>&amp;About...</source>
        <translation>&amp;Info...</translation>
    </message>
</context>
<context>
    <name>SystemMenu</name>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>Mi&amp;nimieren</translation>
    </message>
    <message>
        <source>Ma&amp;ximize</source>
        <translation>Ma&amp;ximieren</translation>
    </message>
    <message>
        <source>&amp;Close	Alt+F4</source>
        <translation>&amp;Schließen	Alt+F4</translation>
    </message>
</context>
</TS>
