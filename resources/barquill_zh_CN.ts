<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>barquill::app::CMainDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>About Barquill...</source>
        <translation>关于 Barquill(&amp;A)...</translation>
    </message>
</context>
<context>
    <name>barquill::app::CAboutDialog</name>
    <message>
        <source>About Barquill</source>
        <translation>关于 Barquill</translation>
    </message>
    <message>
        <source>Barquill %1</source>
        <translation>Barquill %1 版</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
</TS>
