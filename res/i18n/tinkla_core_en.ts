<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>tinkla-cli</name>
    <message>
        <source>не удалось вывести результат: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
