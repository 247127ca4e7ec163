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
</TS>
