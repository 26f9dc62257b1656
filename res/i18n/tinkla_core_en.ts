<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>CMelody</name>
    <message>
        <source>Новая мелодия</source>
        <translation>New melody</translation>
    </message>
</context>
<context>
    <name>CNote</name>
    <message>
        <source>Соль#</source>
        <translation>G#</translation>
    </message>
    <message>
        <source>Ля</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Ля#</source>
        <translation>A#</translation>
    </message>
    <message>
        <source>Си</source>
        <translation>B</translation>
    </message>
    <message>
        <source>До</source>
        <translation>C</translation>
    </message>
    <message>
        <source>До#</source>
        <translation>C#</translation>
    </message>
    <message>
        <source>Ре</source>
        <translation>D</translation>
    </message>
    <message>
        <source>Ре#</source>
        <translation>D#</translation>
    </message>
    <message>
        <source>Ми</source>
        <translation>E</translation>
    </message>
    <message>
        <source>Фа</source>
        <translation>F</translation>
    </message>
    <message>
        <source>Фа#</source>
        <translation>F#</translation>
    </message>
    <message>
        <source>Соль</source>
        <translation>G</translation>
    </message>
    <message>
        <source>Целая</source>
        <translation>Whole</translation>
    </message>
    <message>
        <source>Половина</source>
        <translation>Half</translation>
    </message>
    <message>
        <source>Четверть</source>
        <translation>Quarter</translation>
    </message>
    <message>
        <source>Восьмая</source>
        <translation>Eighth</translation>
    </message>
    <message>
        <source>Шестнадцатая</source>
        <translation>Sixteenth</translation>
    </message>
    <message>
        <source>%s, Малая октава</source>
        <translation>%s3</translation>
    </message>
    <message>
        <source>%s, Первая октава</source>
        <translation>%s4</translation>
    </message>
    <message>
        <source>%s, Вторая октава</source>
        <translation>%s5</translation>
    </message>
    <message>
        <source>%s, Третья октава</source>
        <translation>%s6</translation>
    </message>
</context>
<context>
    <name>DirectPort</name>
    <message>
        <source>Эта система не дает прямого доступа к портам ввода-вывода (контейнер или виртуальная машина). Выберите ppdev:/dev/parport0.</source>
        <translation>This system gives no direct access to I/O ports (a container or a virtual machine). Choose ppdev:/dev/parport0.</translation>
    </message>
    <message>
        <source>Прямой доступ к портам %1 разрешен только root (CAP_SYS_RAWIO). Запустите программу от root или выберите ppdev:/dev/parport0.</source>
        <translation>Direct access to ports %1 is allowed to root only (CAP_SYS_RAWIO). Run the program as root or choose ppdev:/dev/parport0.</translation>
    </message>
    <message>
        <source>Нет доступа к портам %1: %2</source>
        <translation>No access to ports %1: %2</translation>
    </message>
    <message>
        <source>Прямой доступ к портам ввода-вывода (%1) есть только на x86. Выберите ppdev:/dev/parport0.</source>
        <translation>Direct access to I/O ports (%1) exists on x86 only. Choose ppdev:/dev/parport0.</translation>
    </message>
</context>
<context>
    <name>DoorbellDifferences</name>
    <message>
        <source>%1 м. x %2 н.</source>
        <translation>%1 mel. x %2 notes</translation>
    </message>
    <message>
        <source>испорченный байт формата</source>
        <translation>damaged format byte</translation>
    </message>
    <message>
        <source>формат: в звонке %1, в наборе %2</source>
        <translation>format: %1 in the doorbell, %2 in the set</translation>
    </message>
    <message>
        <source>нет ноты</source>
        <translation>no note</translation>
    </message>
    <message>
        <source>испорченный байт %1</source>
        <translation>damaged byte %1</translation>
    </message>
    <message>
        <source>мелодия %1, нота %2: в звонке %3, в наборе %4</source>
        <translation>melody %1, note %2: %3 in the doorbell, %4 in the set</translation>
    </message>
    <message>
        <source>байт %1: в звонке %2, в наборе %3</source>
        <translation>byte %1: %2 in the doorbell, %3 in the set</translation>
    </message>
    <message>
        <source>... и еще %1</source>
        <translation>... and %1 more</translation>
    </message>
</context>
<context>
    <name>ExecBridge</name>
    <message>
        <source>После «exec:» нужна команда программы-моста.</source>
        <translation>“exec:” must be followed by the bridge program’s command.</translation>
    </message>
    <message>
        <source>Не удалось запустить программу-мост: %1</source>
        <translation>Could not start the bridge program: %1</translation>
    </message>
    <message>
        <source>Не удалось запустить программу-мост «%1»: %2</source>
        <translation>Could not start the bridge program “%1”: %2</translation>
    </message>
    <message>
        <source>закрыла свой вывод</source>
        <translation>closed its output</translation>
    </message>
    <message>
        <source>завершилась с кодом %1</source>
        <translation>exited with code %1</translation>
    </message>
    <message>
        <source>завершилась по сигналу %1</source>
        <translation>was ended by signal %1</translation>
    </message>
    <message>
        <source>завершилась</source>
        <translation>exited</translation>
    </message>
    <message>
        <source>Программа-мост «%1» не принимает команды дольше %2 мс.</source>
        <translation>The bridge program “%1” has not accepted commands for more than %2 ms.</translation>
    </message>
    <message>
        <source>Программа-мост «%1» %2.</source>
        <translation>The bridge program “%1” %2.</translation>
    </message>
    <message>
        <source>Программа-мост «%1» ответила «%2» вместо двух шестнадцатеричных цифр.</source>
        <translation>The bridge program “%1” answered “%2” instead of two hexadecimal digits.</translation>
    </message>
    <message>
        <source>Программа-мост «%1» прислала строку длиннее %2 символов.</source>
        <translation>The bridge program “%1” sent a line longer than %2 characters.</translation>
    </message>
    <message>
        <source>Программа-мост «%1»: %2</source>
        <translation>The bridge program “%1”: %2</translation>
    </message>
    <message>
        <source>Программа-мост «%1» не ответила за %2 мс.</source>
        <translation>The bridge program “%1” did not answer within %2 ms.</translation>
    </message>
</context>
<context>
    <name>FitReport</name>
    <message>
        <source>Импортировано нот: %1.</source>
        <translation>Notes imported: %1.</translation>
    </message>
    <message>
        <source>Без транспонирования.</source>
        <translation>Not transposed.</translation>
    </message>
    <message>
        <source>Транспонировано на %1%2 полутонов.</source>
        <translation>Transposed by %1%2 semitones.</translation>
    </message>
    <message>
        <source>Перенесены на октаву, чтобы попасть в диапазон: %1.</source>
        <translation>Moved by an octave to fit the range: %1.</translation>
    </message>
    <message>
        <source>Точки отброшены: %1.</source>
        <translation>Dots dropped: %1.</translation>
    </message>
    <message>
        <source>Ноты короче 1/16 стали шестнадцатыми: %1.</source>
        <translation>Notes shorter than 1/16 made sixteenths: %1.</translation>
    </message>
    <message>
        <source>Паузы пропущены: %1.</source>
        <translation>Rests left out: %1.</translation>
    </message>
    <message>
        <source>Аккорды сведены к верхней ноте: %1.</source>
        <translation>Chords reduced to their top note: %1.</translation>
    </message>
    <message>
        <source>Длительности округлены до ближайшей: %1.</source>
        <translation>Durations rounded to the nearest: %1.</translation>
    </message>
    <message>
        <source>Мелодия длиннее %1 нот: оставлены первые %1, отброшено %2.</source>
        <translation>The melody is longer than %1 notes: the first %1 kept, %2 dropped.</translation>
    </message>
    <message>
        <source>Темп файла: %1 четвертей в минуту (звонок играет в своём темпе).</source>
        <translation>The file’s tempo: %1 quarter notes a minute (the doorbell plays at its own tempo).</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Ошибка чтения ноты</source>
        <translation>Error reading a note</translation>
    </message>
    <message>
        <source>Ошибка чтения мелодии</source>
        <translation>Error reading a melody</translation>
    </message>
    <message>
        <source>Мелодия длиннее, чем позволяет формат набора; лишние ноты не загружены.</source>
        <translation>The melody is longer than the set format allows; the extra notes were not loaded.</translation>
    </message>
    <message>
        <source>Название мелодии длиннее 255 знаков; оно укорочено до 255.</source>
        <translation>The melody title is longer than 255 characters; it was shortened to 255.</translation>
    </message>
    <message>
        <source>Файл не содержит набора мелодий или поврежден</source>
        <translation>The file holds no melody set or is damaged</translation>
    </message>
    <message>
        <source>Файл не содержит мелодию, либо она слишком длинная.</source>
        <translation>The file holds no melody, or the melody is too long.</translation>
    </message>
    <message>
        <source>Ошибка при сохранении документа</source>
        <translation>Error saving the document</translation>
    </message>
    <message>
        <source>Нельзя больше добавить ноту.</source>
        <translation>No more notes can be added.</translation>
    </message>
    <message>
        <source>Удалить ноту ?</source>
        <translation>Delete the note?</translation>
    </message>
    <message>
        <source>Текущая мелодия будет заменена.
Сохранить набор мелодий под другим именем ?</source>
        <translation>The current melody will be replaced.
Save the melody set under another name?</translation>
    </message>
    <message>
        <source>Текущий набор мелодий будет заменен.
Сохранить его под другим именем ?</source>
        <translation>The current melody set will be replaced.
Save it under another name?</translation>
    </message>
    <message>
        <source>Записать мелодии в звонок ?</source>
        <translation>Write the melodies to the doorbell?</translation>
    </message>
    <message>
        <source>Файл «%1» не удалось прочитать: он поврежден или обрывается раньше времени.</source>
        <translation>Could not read the file “%1”: it is damaged or ends too early.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл «%1»: %2</source>
        <translation>Could not open the file “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл «%1»: %2</source>
        <translation>Could not save the file “%1”: %2</translation>
    </message>
    <message>
        <source>Транспонирование выводит ноты за пределы звонка (от соль-диеза малой октавы до ре-диеза третьей).
Мелодия не изменена.</source>
        <translation>Transposing would take notes outside the doorbell’s range (G#3 to D#6).
The melody was not changed.</translation>
    </message>
    <message>
        <source>Не удалось импортировать мелодию из «%1»:
%2</source>
        <translation>Could not import a melody from “%1”:
%2</translation>
    </message>
    <message>
        <source>Звонок не подключен, либо интерфейс со звонком неисправен.</source>
        <translation>The doorbell is not connected, or its interface is faulty.</translation>
    </message>
    <message>
        <source>Мелодии в звонке отсутсвуют, либо испорчены.</source>
        <translation>The doorbell holds no melodies, or they are damaged.</translation>
    </message>
    <message>
        <source>Формат набора мелодий не подходит для звонка; звонок не изменен.</source>
        <translation>The set format does not suit the doorbell; the doorbell was not changed.</translation>
    </message>
    <message>
        <source>Проверка после записи: звонок хранит не то, что записано.</source>
        <translation>Check after writing: the doorbell does not hold what was written.</translation>
    </message>
</context>
<context>
    <name>Midi</name>
    <message>
        <source>MIDI, байт %1: %2</source>
        <translation>MIDI, byte %1: %2</translation>
    </message>
    <message>
        <source>это не файл MIDI (нет заголовка MThd)</source>
        <translation>not a MIDI file (no MThd header)</translation>
    </message>
    <message>
        <source>неверная длина заголовка</source>
        <translation>wrong header length</translation>
    </message>
    <message>
        <source>поддерживаются форматы 0 и 1</source>
        <translation>only formats 0 and 1 are supported</translation>
    </message>
    <message>
        <source>время в кадрах SMPTE не поддерживается</source>
        <translation>SMPTE frame time is not supported</translation>
    </message>
    <message>
        <source>нулевое деление четверти</source>
        <translation>zero quarter-note division</translation>
    </message>
    <message>
        <source>блок обрывается</source>
        <translation>the chunk is cut short</translation>
    </message>
    <message>
        <source>блок длиннее файла</source>
        <translation>the chunk is longer than the file</translation>
    </message>
    <message>
        <source>число обрывается в конце дорожки</source>
        <translation>a number is cut short at the end of the track</translation>
    </message>
    <message>
        <source>число длиннее четырёх байт</source>
        <translation>a number longer than four bytes</translation>
    </message>
    <message>
        <source>событие обрывается в конце дорожки</source>
        <translation>an event is cut short at the end of the track</translation>
    </message>
    <message>
        <source>данные без байта состояния</source>
        <translation>data without a status byte</translation>
    </message>
    <message>
        <source>событие длиннее дорожки</source>
        <translation>an event longer than the track</translation>
    </message>
    <message>
        <source>неизвестное событие</source>
        <translation>unknown event</translation>
    </message>
    <message>
        <source>в файле MIDI нет нот</source>
        <translation>the MIDI file has no notes</translation>
    </message>
    <message>
        <source>в файле MIDI нет дорожки %1</source>
        <translation>the MIDI file has no track %1</translation>
    </message>
</context>
<context>
    <name>PortSpec</name>
    <message>
        <source>Возможные значения: sim[:ФАЙЛ][,absent|sda-low|scl-low|busy|wp|midread|stretch=МС|twr=МС|release=МКС|after=N], ppdev:/dev/parportN, direct:0x378, exec:КОМАНДА.</source>
        <translation>Possible values: sim[:FILE][,absent|sda-low|scl-low|busy|wp|midread|stretch=MS|twr=MS|release=US|after=N], ppdev:/dev/parportN, direct:0x378, exec:COMMAND.</translation>
    </message>
    <message>
        <source>Параметр %1 эмулятора звонка — время в миллисекундах от 0 до %2, а не %3.</source>
        <translation>The simulated doorbell’s option %1 is a time in milliseconds from 0 to %2, not %3.</translation>
    </message>
    <message>
        <source>Параметр after эмулятора звонка — число байтов от 0 до %1, а не %2.</source>
        <translation>The simulated doorbell’s option after is a number of bytes from 0 to %1, not %2.</translation>
    </message>
    <message>
        <source>Неизвестный параметр эмулятора звонка %1. Возможны: absent, sda-low, scl-low, busy, wp, midread, stretch=МС, twr=МС, release=МКС, after=N.</source>
        <translation>Unknown option of the simulated doorbell: %1. Possible: absent, sda-low, scl-low, busy, wp, midread, stretch=MS, twr=MS, release=US, after=N.</translation>
    </message>
    <message>
        <source>Адрес порта %1 не подходит: нужен шестнадцатеричный адрес от 0x100 до 0xfffd, например direct:0x378.</source>
        <translation>The port address %1 will not do: a hexadecimal address from 0x100 to 0xfffd is needed, for example direct:0x378.</translation>
    </message>
    <message>
        <source>Линия тактов на %1 остается низкой, хотя программа ее отпустила: проверьте кабель, питание звонка и интерфейс.</source>
        <translation>The clock line on %1 stays low although the program released it: check the cable, the doorbell’s power and the interface.</translation>
    </message>
    <message>
        <source>Линия данных на %1 остается низкой, хотя программа ее отпустила: проверьте кабель, питание звонка и интерфейс.</source>
        <translation>The data line on %1 stays low although the program released it: check the cable, the doorbell’s power and the interface.</translation>
    </message>
    <message>
        <source>Порт звонка не подключен.</source>
        <translation>The doorbell port is not connected.</translation>
    </message>
    <message>
        <source>порту</source>
        <translation>the port</translation>
    </message>
    <message>
        <source>Звонок отвечает на %1.</source>
        <translation>The doorbell answers on %1.</translation>
    </message>
    <message>
        <source>Линию тактов на %1 держат низкой дольше %2 с: звонок или интерфейс неисправен.</source>
        <translation>The clock line on %1 is held low for longer than %2 s: the doorbell or the interface is faulty.</translation>
    </message>
    <message>
        <source>Звонок не отвечает на %1: никто на шине не подтверждает свой адрес. Проверьте, что звонок подключен к этому порту и включен.</source>
        <translation>The doorbell does not answer on %1: nothing on the bus acknowledges its address. Check that the doorbell is connected to this port and switched on.</translation>
    </message>
    <message>
        <source>Описание порта длиннее %1 символов.</source>
        <translation>The port description is longer than %1 characters.</translation>
    </message>
    <message>
        <source>После «exec:» нужна команда программы-моста.</source>
        <translation>“exec:” must be followed by the bridge program’s command.</translation>
    </message>
    <message>
        <source>Неизвестный порт %1. %2</source>
        <translation>Unknown port %1. %2</translation>
    </message>
    <message>
        <source>«%1»</source>
        <extracomment>The quotation marks of the language around a user&apos;s text.</extracomment>
        <translation>“%1”</translation>
    </message>
</context>
<context>
    <name>PpdevPort</name>
    <message>
        <source>Нет устройства %1. Загрузите модуль ppdev: «sudo modprobe ppdev». Если устройство так и не появится, в компьютере, видимо, нет параллельного порта — укажите другой порт.</source>
        <translation>There is no device %1. Load the ppdev module: “sudo modprobe ppdev”. If the device still does not appear, the computer probably has no parallel port; choose another port.</translation>
    </message>
    <message>
        <source>Нет доступа к %1: пользователь не входит в группу %2, которой принадлежит устройство. Выполните «sudo usermod -aG %2 $USER» и войдите в систему заново.</source>
        <translation>No access to %1: you are not in the group %2 that owns the device. Run “sudo usermod -aG %2 $USER”, then log out and log in again.</translation>
    </message>
    <message>
        <source>Порт %1 занят другим драйвером — модулем принтера lp. Освободите порт: «sudo rmmod lp». Чтобы модуль не загружался снова, добавьте строку «blacklist lp» в файл в /etc/modprobe.d/.</source>
        <translation>The port %1 is busy with another driver, the lp printer module. Free the port: “sudo rmmod lp”. To keep the module from loading again, add the line “blacklist lp” to a file in /etc/modprobe.d/.</translation>
    </message>
    <message>
        <source>Порт %1 занят другой программой.</source>
        <translation>The port %1 is busy with another program.</translation>
    </message>
    <message>
        <source>За %1 нет параллельного порта, либо его занимает другая программа.</source>
        <translation>There is no parallel port behind %1, or another program holds it.</translation>
    </message>
    <message>
        <source>%1 — не устройство параллельного порта (ppdev).</source>
        <translation>%1 is not a parallel port device (ppdev).</translation>
    </message>
    <message>
        <source>Не удалось открыть %1: %2</source>
        <translation>Could not open %1: %2</translation>
    </message>
    <message>
        <source>Ошибка порта %1 (%2): %3</source>
        <translation>Port error on %1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>Rtttl</name>
    <message>
        <source>RTTTL, позиция %1: %2</source>
        <translation>RTTTL, position %1: %2</translation>
    </message>
    <message>
        <source>слишком большое число</source>
        <translation>number too large</translation>
    </message>
    <message>
        <source>нет двоеточия после названия</source>
        <translation>no colon after the title</translation>
    </message>
    <message>
        <source>ожидалась настройка d, o или b</source>
        <translation>expected the setting d, o or b</translation>
    </message>
    <message>
        <source>ожидался знак =</source>
        <translation>expected =</translation>
    </message>
    <message>
        <source>ожидалось число</source>
        <translation>expected a number</translation>
    </message>
    <message>
        <source>длительность бывает 1, 2, 4, 8, 16 или 32</source>
        <translation>a duration is 1, 2, 4, 8, 16 or 32</translation>
    </message>
    <message>
        <source>октава бывает от 0 до 9</source>
        <translation>an octave is 0 to 9</translation>
    </message>
    <message>
        <source>темп не может быть нулевым</source>
        <translation>the tempo cannot be zero</translation>
    </message>
    <message>
        <source>ожидалась запятая или двоеточие</source>
        <translation>expected a comma or a colon</translation>
    </message>
    <message>
        <source>ожидалась нота</source>
        <translation>expected a note</translation>
    </message>
    <message>
        <source>ожидалась запятая</source>
        <translation>expected a comma</translation>
    </message>
</context>
<context>
    <name>SafeFile</name>
    <message>
        <source>это папка, а не файл</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>это канал, а не файл</source>
        <translation>it is a pipe, not a file</translation>
    </message>
    <message>
        <source>это устройство, а не файл</source>
        <translation>it is a device, not a file</translation>
    </message>
    <message>
        <source>это не обычный файл</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>ошибка записи</source>
        <translation>write error</translation>
    </message>
    <message>
        <source>ошибка чтения</source>
        <translation>read error</translation>
    </message>
    <message>
        <source>нет такой папки</source>
        <translation>no such folder</translation>
    </message>
    <message>
        <source>нет такого файла</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>в пути есть файл вместо папки</source>
        <translation>a file stands in the path where a folder should be</translation>
    </message>
    <message>
        <source>нет прав на запись</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>нет прав на чтение</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>нет места на диске</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>файл больше, чем разрешено записывать</source>
        <translation>the file is larger than may be written</translation>
    </message>
    <message>
        <source>диск только для чтения</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>ошибка ввода-вывода</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>слишком длинное имя</source>
        <translation>the name is too long</translation>
    </message>
    <message>
        <source>ссылки замкнуты в круг</source>
        <translation>the links form a loop</translation>
    </message>
    <message>
        <source>открыто слишком много файлов</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>нет такого устройства</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>занято другой программой</source>
        <translation>busy with another program</translation>
    </message>
    <message>
        <source>системная ошибка %1</source>
        <translation>system error %1</translation>
    </message>
    <message>
        <source>не указано имя файла</source>
        <translation>no file name given</translation>
    </message>
</context>
<context>
    <name>SetFormat</name>
    <message>
        <source>32 м. x 7 н.</source>
        <translation>32 mel. x 7 notes</translation>
    </message>
    <message>
        <source>16 м. x 15 н.</source>
        <translation>16 mel. x 15 notes</translation>
    </message>
    <message>
        <source>8 м. x 31 н.</source>
        <translation>8 mel. x 31 notes</translation>
    </message>
    <message>
        <source>4 м. x 63 н.</source>
        <translation>4 mel. x 63 notes</translation>
    </message>
    <message>
        <source>2 м. x 127 н.</source>
        <translation>2 mel. x 127 notes</translation>
    </message>
    <message>
        <source>1 м. x 255 н.</source>
        <translation>1 mel. x 255 notes</translation>
    </message>
</context>
<context>
    <name>SimDoorbell</name>
    <message>
        <source>Не удалось прочитать память звонка «%1»: %2</source>
        <translation>Could not read the doorbell memory “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось сохранить память звонка в «%1»: %2</source>
        <translation>Could not save the doorbell memory to “%1”: %2</translation>
    </message>
</context>
<context>
    <name>SoundAlsa</name>
    <message>
        <source>звуковое устройство ALSA «%1»: %2 (%3)</source>
        <translation>ALSA sound device “%1”: %2 (%3)</translation>
    </message>
    <message>
        <source>не открывается</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>не принимает 16-битный моно-звук</source>
        <translation>does not accept 16-bit mono sound</translation>
    </message>
    <message>
        <source>не сообщает своих параметров</source>
        <translation>does not report its parameters</translation>
    </message>
    <message>
        <source>не настраивается</source>
        <translation>cannot be set up</translation>
    </message>
    <message>
        <source>Звуковое устройство «%1» перестало отвечать (%2); звук отключен.</source>
        <translation>The sound device “%1” stopped responding (%2); sound is off.</translation>
    </message>
    <message>
        <source>программа собрана без ALSA</source>
        <translation>the program was built without ALSA</translation>
    </message>
</context>
<context>
    <name>SoundPcspkr</name>
    <message>
        <source>нет устройства PC-динамика (%1/*pcspkr*); его драйвер загружается командой «sudo modprobe pcspkr»</source>
        <translation>no PC speaker device (%1/*pcspkr*); its driver is loaded with “sudo modprobe pcspkr”</translation>
    </message>
    <message>
        <source>нет прав на запись в %1 (%2); устройство принадлежит группе %3: «sudo usermod -aG %3 $USER» и новый вход в систему, или правило udev</source>
        <translation>no permission to write to %1 (%2); the device belongs to the group %3: run “sudo usermod -aG %3 $USER”, then log out and log in again, or add a udev rule</translation>
    </message>
    <message>
        <source>нет устройства %1; драйвер PC-динамика загружается командой «sudo modprobe pcspkr»</source>
        <translation>no device %1; the PC speaker driver is loaded with “sudo modprobe pcspkr”</translation>
    </message>
    <message>
        <source>не открывается %1: %2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>%1 не умеет звучать тоном (это не PC-динамик)</source>
        <translation>%1 cannot sound a tone (it is not a PC speaker)</translation>
    </message>
</context>
<context>
    <name>SoundPorts</name>
    <message>
        <source>прямой доступ к таймеру (порты 0x42, 0x43, 0x61) разрешён только root или с правом CAP_SYS_RAWIO (ioperm: %1)</source>
        <translation>direct access to the timer (ports 0x42, 0x43, 0x61) is allowed to root or with CAP_SYS_RAWIO only (ioperm: %1)</translation>
    </message>
    <message>
        <source>прямой доступ к таймеру (порты 0x42, 0x43, 0x61) здесь невозможен (ioperm: %1)</source>
        <translation>direct access to the timer (ports 0x42, 0x43, 0x61) is impossible here (ioperm: %1)</translation>
    </message>
    <message>
        <source>прямой доступ к таймеру есть только на x86</source>
        <translation>direct access to the timer exists on x86 only</translation>
    </message>
</context>
<context>
    <name>SoundSink</name>
    <message>
        <source>audio[:УСТРОЙСТВО], pcspkr[:УСТРОЙСТВО], ports, wav:ФАЙЛ или none</source>
        <translation>audio[:DEVICE], pcspkr[:DEVICE], ports, wav:FILE or none</translation>
    </message>
    <message>
        <source>не указан вывод звука; возможны %1</source>
        <translation>no sound output given; possible: %1</translation>
    </message>
    <message>
        <source>слишком длинное описание вывода звука (%1 знаков, допустимо %2)</source>
        <translation>the sound output description is too long (%1 characters, %2 allowed)</translation>
    </message>
    <message>
        <source>в описании вывода звука есть управляющий символ</source>
        <translation>the sound output description has a control character</translation>
    </message>
    <message>
        <source>неизвестный вывод звука «%1»; возможны %2</source>
        <translation>unknown sound output “%1”; possible: %2</translation>
    </message>
    <message>
        <source>у вывода звука «%1» не бывает параметра</source>
        <translation>the sound output “%1” takes no parameter</translation>
    </message>
    <message>
        <source>после «%1:» нужно %2</source>
        <translation>“%1:” must be followed by %2</translation>
    </message>
    <message>
        <source>имя устройства ALSA</source>
        <translation>an ALSA device name</translation>
    </message>
    <message>
        <source>имя файла</source>
        <translation>a file name</translation>
    </message>
    <message>
        <source>путь к устройству</source>
        <translation>a device path</translation>
    </message>
    <message>
        <source>для вывода в файл нужно имя: wav:ФАЙЛ</source>
        <translation>output to a file needs a name: wav:FILE</translation>
    </message>
    <message>
        <source>Нет звука: %1. Мелодии играются беззвучно.</source>
        <translation>No sound: %1. Melodies play silently.</translation>
    </message>
</context>
<context>
    <name>SoundWav</name>
    <message>
        <source>Не удалось создать файл «%1»: %2</source>
        <translation>Could not create the file “%1”: %2</translation>
    </message>
    <message>
        <source>Не удалось записать файл «%1»: %2</source>
        <translation>Could not write the file “%1”: %2</translation>
    </message>
    <message>
        <source>Файл «%1» достиг предельного размера WAV; дальнейший звук не записывается.</source>
        <translation>The file “%1” has reached the WAV size limit; further sound is not recorded.</translation>
    </message>
</context>
<context>
    <name>TracingPort</name>
    <message>
        <source>Не удалось создать файл трассировки «%1»: %2</source>
        <translation>Could not create the trace file “%1”: %2</translation>
    </message>
</context>
<context>
    <name>tinkla-cli</name>
    <message>
        <source>не удалось вывести результат: %1</source>
        <translation>could not write the output: %1</translation>
    </message>
    <message>
        <source>Чтение</source>
        <translation>Reading</translation>
    </message>
    <message>
        <source>Запись и проверка</source>
        <translation>Writing and checking</translation>
    </message>
    <message>
        <source>Запись</source>
        <translation>Writing</translation>
    </message>
    <message>
        <source>Проверено: звонок хранит записанный набор.</source>
        <translation>Checked: the doorbell holds the set written.</translation>
    </message>
    <message>
        <source>Звонок должен играть мелодию...</source>
        <translation>The doorbell should be playing a melody...</translation>
    </message>
    <message>
        <source>слишком большой файл</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>%1 «%2», нот: %3</source>
        <translation>%1 “%2”, notes: %3</translation>
    </message>
    <message>
        <source>Набор мелодий %1</source>
        <translation>Melody set %1</translation>
    </message>
    <message>
        <source>Мелодия %1</source>
        <translation>Melody %1</translation>
    </message>
    <message>
        <source>Мелодия из файла, нот по заголовку: %1</source>
        <translation>Melody from a file, notes by its header: %1</translation>
    </message>
    <message>
        <source>Мелодия</source>
        <translation>Melody</translation>
    </message>
</context>
<context>
    <name>tinkla::CTinklaDoc</name>
    <message>
        <source>слишком большой файл</source>
        <translation>the file is too large</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Сохранить изменения в «%1»?</source>
        <translation>Save changes to “%1”?</translation>
    </message>
    <message>
        <source>Набор мелодий  (*.fml)|*.fml|Все файлы (*.*)|*.*||</source>
        <translation>Melody sets (*.fml)|*.fml|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Мелодии (*.mel)|*.mel|Все файлы (*.*)|*.*||</source>
        <translation>Melodies (*.mel)|*.mel|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Вставка ноты</source>
        <translation>Insert note</translation>
    </message>
    <message>
        <source>Удаление ноты</source>
        <translation>Delete note</translation>
    </message>
    <message>
        <source>Изменение высоты</source>
        <translation>Change pitch</translation>
    </message>
    <message>
        <source>Изменение длительности</source>
        <translation>Change duration</translation>
    </message>
    <message>
        <source>Название мелодии</source>
        <translation>Melody title</translation>
    </message>
    <message>
        <source>Загрузка мелодии</source>
        <translation>Load melody</translation>
    </message>
    <message>
        <source>Импорт мелодии</source>
        <translation>Import melody</translation>
    </message>
    <message>
        <source>Транспонирование</source>
        <translation>Transpose</translation>
    </message>
    <message>
        <source>Безымянный</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>Мелодии RTTTL и MIDI (*.rtttl;*.rtx;*.txt;*.mid;*.midi)|*.rtttl;*.rtx;*.txt;*.mid;*.midi|Все файлы (*.*)|*.*||</source>
        <translation>RTTTL and MIDI melodies (*.rtttl;*.rtx;*.txt;*.mid;*.midi)|*.rtttl;*.rtx;*.txt;*.mid;*.midi|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>Мелодия RTTTL (*.rtttl)|*.rtttl|Файл MIDI (*.mid)|*.mid|Все файлы (*.*)|*.*||</source>
        <translation>RTTTL melody (*.rtttl)|*.rtttl|MIDI file (*.mid)|*.mid|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>в файле нет нот</source>
        <translation>the file has no notes</translation>
    </message>
    <message>
        <source>Экспорт мелодии</source>
        <translation>Export melody</translation>
    </message>
</context>
</TS>
