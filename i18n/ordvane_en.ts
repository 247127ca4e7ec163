<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CScanDlg</name>
    <message numerus="yes">
        <source>%1 - scanning, %n module(s)</source>
        <translation>
            <numerusform>%1 - scanning, %n module</numerusform>
            <numerusform>%1 - scanning, %n modules</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 - %n module(s)</source>
        <translation>
            <numerusform>%1 - %n module</numerusform>
            <numerusform>%1 - %n modules</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ModuleWarnings</name>
    <message numerus="yes">
        <source>%1, and %n more</source>
        <translation>
            <numerusform>%1, and %n more</numerusform>
            <numerusform>%1, and %n more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The IP address %1 is also used by %n other module(s): %2.</source>
        <translation>
            <numerusform>The IP address %1 is also used by %n other module: %2.</numerusform>
            <numerusform>The IP address %1 is also used by %n other modules: %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The IP address %1 is also used by %n other module(s), among them %2.</source>
        <translation>
            <numerusform>The IP address %1 is also used by %n other module, among them %2.</numerusform>
            <numerusform>The IP address %1 is also used by %n other modules, among them %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The recovery DHCP server would give the same address %1 to %n other module(s): %2.</source>
        <translation>
            <numerusform>The recovery DHCP server would give the same address %1 to %n other module: %2.</numerusform>
            <numerusform>The recovery DHCP server would give the same address %1 to %n other modules: %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The recovery DHCP server would give the same address %1 to %n other module(s), among them %2.</source>
        <translation>
            <numerusform>The recovery DHCP server would give the same address %1 to %n other module, among them %2.</numerusform>
            <numerusform>The recovery DHCP server would give the same address %1 to %n other modules, among them %2.</numerusform>
        </translation>
    </message>
</context>
</TS>
