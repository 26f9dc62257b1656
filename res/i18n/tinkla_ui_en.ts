<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru_RU">
<context>
    <name>DialogButtons</name>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>tinkla::BellCommands</name>
    <message>
        <source>Порт звонка «%1» не открывается: %2</source>
        <translation>The doorbell port “%1” cannot be opened: %2</translation>
    </message>
    <message>
        <source>
Порт выбирается командой «Звонок» → «Порт звонка...».</source>
        <translation>
The port is chosen with the command “Doorbell” → “Doorbell port…”.</translation>
    </message>
    <message>
        <source>Порт звонка не открывается.</source>
        <translation>The doorbell port cannot be opened.</translation>
    </message>
    <message>
        <source>Сохранить как</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Набор мелодий считан из звонка.</source>
        <translation>The melody set has been read from the doorbell.</translation>
    </message>
    <message>
        <source>Набор мелодий записан в звонок.</source>
        <translation>The melody set has been written to the doorbell.</translation>
    </message>
    <message>
        <source>Звонок подключается через %1.</source>
        <translation>The doorbell is connected through %1.</translation>
    </message>
    <message>
        <source>Звук выводится через %1.</source>
        <translation>Sound goes through %1.</translation>
    </message>
</context>
<context>
    <name>tinkla::CAboutDlg</name>
    <message>
        <source>О программе &quot;Tinkla&quot;</source>
        <translation>About Tinkla</translation>
    </message>
    <message>
        <source>Tinkla. Версия 1.0

Программа предназначена:
 - для создания одноголосых мелодий;
 - для записи мелодий в музыкальный звонок.</source>
        <translation>Tinkla. Version 1.0

This program is for:
 - composing single-voice melodies;
 - writing melodies to a music doorbell.</translation>
    </message>
</context>
<context>
    <name>tinkla::CBellPortDlg</name>
    <message>
        <source>Неисправности, которые эмулятор изображает по просьбе, через запятую: absent (звонка нет), sda-low или scl-low (линия данных или тактов замкнута на землю), busy (звонок не заканчивает запись), stretch=МС (звонок задерживает такты), twr=МС (время записи страницы, обычно 5).</source>
        <translation>Faults the simulated doorbell imitates on request, separated by commas: absent (no doorbell), sda-low or scl-low (the data or clock line shorted to ground), busy (the doorbell never finishes writing), stretch=MS (the doorbell holds the clock), twr=MS (page write time, normally 5).</translation>
    </message>
    <message>
        <source>Обзор...</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>&amp;Проверить</source>
        <translation>&amp;Check</translation>
    </message>
    <message>
        <source>&amp;Проверять после записи</source>
        <translation>&amp;Verify after writing</translation>
    </message>
    <message>
        <source>Порт звонка</source>
        <translation>Doorbell port</translation>
    </message>
    <message>
        <source>На этот запуск порт задан в командной строке: --port %1. Порт, выбранный здесь, будет запомнен и начнет действовать сразу.</source>
        <translation>For this run the port was given on the command line: --port %1. A port chosen here will be remembered and take effect at once.</translation>
    </message>
    <message>
        <source>Звонок подключен через</source>
        <translation>Doorbell connected through</translation>
    </message>
    <message>
        <source>&amp;Эмулятор звонка (без оборудования)</source>
        <translation>&amp;Simulated doorbell (no hardware)</translation>
    </message>
    <message>
        <source>Параллельный порт через &amp;ppdev</source>
        <translation>Parallel port through &amp;ppdev</translation>
    </message>
    <message>
        <source>Прямой &amp;доступ к порту (только для root)</source>
        <translation>&amp;Direct port access (root only)</translation>
    </message>
    <message>
        <source>Программу-&amp;мост</source>
        <translation>&amp;Bridge program</translation>
    </message>
    <message>
        <source>Файл памяти:</source>
        <translation>Memory file:</translation>
    </message>
    <message>
        <source>Неисправности:</source>
        <translation>Faults:</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Устройство:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>В системе нет устройств /dev/parport*: нужен параллельный порт и модуль ядра ppdev.</source>
        <translation>There are no /dev/parport* devices on this system: a parallel port and the ppdev kernel module are needed.</translation>
    </message>
    <message>
        <source>Адрес порта:</source>
        <translation>Port address:</translation>
    </message>
    <message>
        <source>Команда:</source>
        <translation>Command:</translation>
    </message>
    <message>
        <source>Программа получает строки «o 378 38» (запись в порт) и «i 379» (чтение порта) и на чтение отвечает двумя шестнадцатеричными цифрами.</source>
        <translation>The program receives lines such as “o 378 38” (a port write) and “i 379” (a port read) and answers a read with two hexadecimal digits.</translation>
    </message>
    <message>
        <source>После записи прочитать звонок и сравнить с набором: звонок, который не сохранил набор, не сойдёт за записанный.</source>
        <translation>After writing, read the doorbell back and compare it with the set, so a doorbell that did not keep the set is not taken as written.</translation>
    </message>
    <message>
        <source>Порт (--port):</source>
        <translation>Port (--port):</translation>
    </message>
    <message>
        <source>Спросить выбранный порт, отвечает ли звонок. Память звонка не меняется.</source>
        <translation>Asks the chosen port whether a doorbell answers. The doorbell memory is not changed.</translation>
    </message>
    <message>
        <source>Файл памяти эмулятора звонка</source>
        <translation>Memory file of the simulated doorbell</translation>
    </message>
    <message>
        <source>Память звонка (*.bin)</source>
        <translation>Doorbell memory (*.bin)</translation>
    </message>
    <message>
        <source>Все файлы (*)</source>
        <translation>All files (*)</translation>
    </message>
</context>
<context>
    <name>tinkla::CBellTestDlg</name>
    <message>
        <source>Тест</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Тестирование звонка</source>
        <translation>Doorbell test</translation>
    </message>
    <message>
        <source>Нажмите кнопку &quot;Тест&quot;.</source>
        <translation>Press the “Test” button.</translation>
    </message>
    <message>
        <source>Звонок должен играть мелодию...</source>
        <translation>The doorbell should be playing a melody…</translation>
    </message>
</context>
<context>
    <name>tinkla::CMainFrame</name>
    <message>
        <source>Набор мелодий (*.fml)|*.fml|Все файлы (*.*)|*.*||</source>
        <translation>Melody sets (*.fml)|*.fml|All files (*.*)|*.*||</translation>
    </message>
    <message>
        <source>&amp;Новый набор...	Ctrl+N</source>
        <translation>&amp;New set…	Ctrl+N</translation>
    </message>
    <message>
        <source>Создание нового набора мелодий.
Новый набор</source>
        <translation>Create a new melody set.
New set</translation>
    </message>
    <message>
        <source>Создаёт новый пустой набор мелодий. Программа спросит формат набора: сколько в нём мелодий и сколько нот может быть в каждой.</source>
        <translation>Creates a new, empty melody set. The program asks for the set format: how many melodies it holds and how many notes each can have.</translation>
    </message>
    <message>
        <source>&amp;Загрузить набор...	Ctrl+O</source>
        <translation>&amp;Open set…	Ctrl+O</translation>
    </message>
    <message>
        <source>Загрузка набора мелодий.
Загрузить набор</source>
        <translation>Open a melody set.
Open set</translation>
    </message>
    <message>
        <source>Открывает набор мелодий из файла .fml вместо текущего.</source>
        <translation>Opens a melody set from an .fml file in place of the current one.</translation>
    </message>
    <message>
        <source>&amp;Сохранить набор	Ctrl+S</source>
        <translation>&amp;Save set	Ctrl+S</translation>
    </message>
    <message>
        <source>Сохранение набора мелодий.
Сохранить набор</source>
        <translation>Save the melody set.
Save set</translation>
    </message>
    <message>
        <source>Сохраняет набор мелодий в его файл; набор без имени программа предложит назвать.</source>
        <translation>Saves the melody set to its file; for a set without a name the program asks for one.</translation>
    </message>
    <message>
        <source>Сохранит набор &amp;как...</source>
        <translation>Save set &amp;as…</translation>
    </message>
    <message>
        <source>Сохранение набора мелодий под другим именем.
Сохранить набор как</source>
        <translation>Save the melody set under another name.
Save set as</translation>
    </message>
    <message>
        <source>Сохраняет набор мелодий в новый файл и дальше работает с ним.</source>
        <translation>Saves the melody set to a new file and goes on working with that file.</translation>
    </message>
    <message>
        <source>З&amp;агрузить мелодию...</source>
        <translation>&amp;Load melody…</translation>
    </message>
    <message>
        <source>Загрузка мелодии в набор.
Загрузить мелодию</source>
        <translation>Load a melody into the set.
Load melody</translation>
    </message>
    <message>
        <source>Заменяет текущую мелодию мелодией из файла .mel. Перед этим программа предложит сохранить набор под другим именем.</source>
        <translation>Replaces the current melody with the melody from a .mel file. First the program offers to save the set under another name.</translation>
    </message>
    <message>
        <source>С&amp;охранить мелодию...</source>
        <translation>Sa&amp;ve melody…</translation>
    </message>
    <message>
        <source>Сохранение текущей мелодии.
Сохранить мелодию</source>
        <translation>Save the current melody.
Save melody</translation>
    </message>
    <message>
        <source>Сохраняет текущую мелодию с её названием в отдельный файл .mel.</source>
        <translation>Saves the current melody with its title to a separate .mel file.</translation>
    </message>
    <message>
        <source>&amp;Импорт мелодии...</source>
        <translation>&amp;Import melody…</translation>
    </message>
    <message>
        <source>Импорт мелодии из RTTTL или MIDI.
Импорт мелодии</source>
        <translation>Import a melody from RTTTL or MIDI.
Import melody</translation>
    </message>
    <message>
        <source>Заменяет текущую мелодию мелодией из текста RTTTL (.rtttl, .rtx, .txt) или файла MIDI (.mid). Ноты вписываются в диапазон звонка, паузы и точки отбрасываются; программа сообщит, что пришлось изменить.</source>
        <translation>Replaces the current melody with one from RTTTL text (.rtttl, .rtx, .txt) or a MIDI file (.mid). Notes are fitted into the doorbell’s range, rests and dots are dropped; the program tells you what had to change.</translation>
    </message>
    <message>
        <source>&amp;Экспорт мелодии...</source>
        <translation>&amp;Export melody…</translation>
    </message>
    <message>
        <source>Экспорт мелодии в RTTTL или MIDI.
Экспорт мелодии</source>
        <translation>Export the melody to RTTTL or MIDI.
Export melody</translation>
    </message>
    <message>
        <source>Сохраняет текущую мелодию как текст RTTTL (.rtttl) или файл MIDI (.mid), чтобы открыть её в другой программе или телефоне.</source>
        <translation>Saves the current melody as RTTTL text (.rtttl) or a MIDI file (.mid), to open it in another program or on a phone.</translation>
    </message>
    <message>
        <source>&amp;Выход</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>Завершение работы с программой.
Выход</source>
        <translation>Quit the program.
Exit</translation>
    </message>
    <message>
        <source>Закрывает программу. Если набор изменён, программа предложит его сохранить.</source>
        <translation>Closes the program. If the set has changed, the program offers to save it.</translation>
    </message>
    <message>
        <source>&amp;Отменить	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>Отмена последнего изменения набора.
Отменить</source>
        <translation>Undo the last change to the set.
Undo</translation>
    </message>
    <message>
        <source>Возвращает набор к тому, каким он был до последнего изменения, и показывает, где оно было. Переход к другой мелодии изменением не считается.</source>
        <translation>Returns the set to how it was before the last change and shows where that change was. Moving to another melody does not count as a change.</translation>
    </message>
    <message>
        <source>&amp;Повторить	Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>Повтор отменённого изменения.
Повторить</source>
        <translation>Redo the undone change.
Redo</translation>
    </message>
    <message>
        <source>Снова делает изменение, отменённое последним.</source>
        <translation>Makes the change undone last once more.</translation>
    </message>
    <message>
        <source>&amp;Название мелодии...	N</source>
        <translation>Melody &amp;title…	N</translation>
    </message>
    <message>
        <source>Задание названия мелодии.
Название</source>
        <translation>Set the melody title.
Title</translation>
    </message>
    <message>
        <source>Задаёт название текущей мелодии (до 30 знаков). Название рисуется над нотами и хранится в файлах, но в звонок не записывается.</source>
        <translation>Sets the title of the current melody (up to 30 characters). The title is drawn above the notes and kept in the files, but is not written to the doorbell.</translation>
    </message>
    <message>
        <source>&amp;Следующая мелодия	 Ctrl+PgUp</source>
        <translation>&amp;Next melody	 Ctrl+PgUp</translation>
    </message>
    <message>
        <source>Переход к следующей мелодии.
Следующая мелодия</source>
        <translation>Go to the next melody.
Next melody</translation>
    </message>
    <message>
        <source>Показывает следующую мелодию набора; после последней — первую.</source>
        <translation>Shows the next melody of the set; after the last one, the first.</translation>
    </message>
    <message>
        <source>&amp;Предыдущая мелодия	 Ctrl+PgDn</source>
        <translation>&amp;Previous melody	 Ctrl+PgDn</translation>
    </message>
    <message>
        <source>Возврат к предыдущей мелодии.
Предыдущая мелодия</source>
        <translation>Go back to the previous melody.
Previous melody</translation>
    </message>
    <message>
        <source>Показывает предыдущую мелодию набора; перед первой — последнюю.</source>
        <translation>Shows the previous melody of the set; before the first one, the last.</translation>
    </message>
    <message>
        <source>&amp;Вставить ноту	Ins</source>
        <translation>&amp;Insert note	Ins</translation>
    </message>
    <message>
        <source>Вставка новой ноты.
Вставить ноту</source>
        <translation>Insert a new note.
Insert note</translation>
    </message>
    <message>
        <source>Вставляет ноту «Соль, восьмая» после выделенной ноты или в конец мелодии и выделяет её. Мелодия не может быть длиннее, чем позволяет формат набора.</source>
        <translation>Inserts the note “G, eighth” after the selected note or at the end of the melody and selects it. A melody cannot be longer than the set format allows.</translation>
    </message>
    <message>
        <source>&amp;Удалить ноту	Del</source>
        <translation>&amp;Delete note	Del</translation>
    </message>
    <message>
        <source>Удаление выделенной ноты.
Удалить ноту</source>
        <translation>Delete the selected note.
Delete note</translation>
    </message>
    <message>
        <source>Удаляет выделенную ноту (после подтверждения).</source>
        <translation>Deletes the selected note (after confirmation).</translation>
    </message>
    <message>
        <source>У&amp;далить последнюю ноту	Back</source>
        <translation>Delete &amp;last note	Back</translation>
    </message>
    <message>
        <source>Удаление последней ноты.
Удалить последнюю ноту</source>
        <translation>Delete the last note.
Delete last note</translation>
    </message>
    <message>
        <source>Удаляет последнюю ноту мелодии без подтверждения.</source>
        <translation>Deletes the last note of the melody without confirmation.</translation>
    </message>
    <message>
        <source>&amp;Транспонировать...</source>
        <translation>Tr&amp;anspose…</translation>
    </message>
    <message>
        <source>Сдвиг всей мелодии на несколько полутонов.
Транспонировать</source>
        <translation>Shift the whole melody by a number of semitones.
Transpose</translation>
    </message>
    <message>
        <source>Сдвигает все ноты мелодии вверх или вниз на заданное число полутонов. Если нота выйдет за пределы звонка, мелодия не изменится — или ноты можно вписать по октавам.</source>
        <translation>Moves every note of the melody up or down by the given number of semitones. If a note would leave the doorbell’s range, the melody does not change — or such notes can be fitted by octaves.</translation>
    </message>
    <message>
        <source>С&amp;ледующая нота	P</source>
        <translation>Ne&amp;xt note	P</translation>
    </message>
    <message>
        <source>Выделение следующей ноты.
Следующая нота</source>
        <translation>Select the next note.
Next note</translation>
    </message>
    <message>
        <source>Выделяет следующую ноту. После последней ноты выделение снимается, затем снова выделяется первая.</source>
        <translation>Selects the next note. After the last note the selection is cleared, then the first note is selected again.</translation>
    </message>
    <message>
        <source>П&amp;редыдущая нота	O</source>
        <translation>Pre&amp;vious note	O</translation>
    </message>
    <message>
        <source>Выделение предыдущей ноты.
Предыдущая нота</source>
        <translation>Select the previous note.
Previous note</translation>
    </message>
    <message>
        <source>Выделяет предыдущую ноту. Перед первой нотой выделение снимается, затем снова выделяется последняя.</source>
        <translation>Selects the previous note. Before the first note the selection is cleared, then the last note is selected again.</translation>
    </message>
    <message>
        <source>П&amp;овысить тон	W</source>
        <translation>Rais&amp;e pitch	W</translation>
    </message>
    <message>
        <source>Повышение тона выделенной ноты.
Повысить тон</source>
        <translation>Raise the pitch of the selected note.
Raise pitch</translation>
    </message>
    <message>
        <source>Повышает выделенную ноту на полтона (не выше ре-диеза третьей октавы).</source>
        <translation>Raises the selected note by a semitone (no higher than D#6).</translation>
    </message>
    <message>
        <source>Пон&amp;изить тон	X</source>
        <translation>Lo&amp;wer pitch	X</translation>
    </message>
    <message>
        <source>Понижение тона выделенной ноты.
Понизить тон</source>
        <translation>Lower the pitch of the selected note.
Lower pitch</translation>
    </message>
    <message>
        <source>Понижает выделенную ноту на полтона (не ниже соль-диеза малой октавы).</source>
        <translation>Lowers the selected note by a semitone (no lower than G#3).</translation>
    </message>
    <message>
        <source>На &amp;октаву выше	Shift+W</source>
        <translation>&amp;Octave up	Shift+W</translation>
    </message>
    <message>
        <source>Повышение выделенной ноты на октаву.
На октаву выше</source>
        <translation>Raise the selected note by an octave.
Octave up</translation>
    </message>
    <message>
        <source>Повышает выделенную ноту на октаву, если она не выходит за верх диапазона.</source>
        <translation>Raises the selected note by an octave if it stays within the top of the range.</translation>
    </message>
    <message>
        <source>На о&amp;ктаву ниже	Shift+X</source>
        <translation>O&amp;ctave down	Shift+X</translation>
    </message>
    <message>
        <source>Понижение выделенной ноты на октаву.
На октаву ниже</source>
        <translation>Lower the selected note by an octave.
Octave down</translation>
    </message>
    <message>
        <source>Понижает выделенную ноту на октаву, если она не выходит за низ диапазона.</source>
        <translation>Lowers the selected note by an octave if it stays within the bottom of the range.</translation>
    </message>
    <message>
        <source>Увели&amp;чить длительность	D</source>
        <translation>Len&amp;gthen note	D</translation>
    </message>
    <message>
        <source>Увеличение длительности выделенной ноты.
Увеличить длительность</source>
        <translation>Lengthen the selected note.
Lengthen note</translation>
    </message>
    <message>
        <source>Удваивает длительность выделенной ноты (не длиннее целой).</source>
        <translation>Doubles the duration of the selected note (no longer than a whole note).</translation>
    </message>
    <message>
        <source>Умень&amp;шить длительность	A</source>
        <translation>S&amp;horten note	A</translation>
    </message>
    <message>
        <source>Уменьшение длительности выделенной ноты.
Уменьшить длительность</source>
        <translation>Shorten the selected note.
Shorten note</translation>
    </message>
    <message>
        <source>Вдвое укорачивает выделенную ноту (не короче шестнадцатой).</source>
        <translation>Halves the duration of the selected note (no shorter than a sixteenth).</translation>
    </message>
    <message>
        <source>&amp;Строка состояния</source>
        <translation>&amp;Status bar</translation>
    </message>
    <message>
        <source>Вывод и скрытие строки состояния.
Строка состояния</source>
        <translation>Show or hide the status bar.
Status bar</translation>
    </message>
    <message>
        <source>Показывает или скрывает строку состояния внизу окна.</source>
        <translation>Shows or hides the status bar at the bottom of the window.</translation>
    </message>
    <message>
        <source>&amp;Крупнее	Ctrl++</source>
        <translation>Zoom &amp;in	Ctrl++</translation>
    </message>
    <message>
        <source>Увеличение масштаба нотного стана.
Крупнее</source>
        <translation>Enlarge the staff.
Zoom in</translation>
    </message>
    <message>
        <source>Показывает нотный стан крупнее (до 400 %). Также Ctrl+колесо мыши вверх.</source>
        <translation>Shows the staff larger (up to 400 %). Also Ctrl+mouse wheel up.</translation>
    </message>
    <message>
        <source>&amp;Мельче	Ctrl+-</source>
        <translation>Zoom &amp;out	Ctrl+-</translation>
    </message>
    <message>
        <source>Уменьшение масштаба нотного стана.
Мельче</source>
        <translation>Reduce the staff.
Zoom out</translation>
    </message>
    <message>
        <source>Показывает нотный стан мельче (до 50 %). Также Ctrl+колесо мыши вниз.</source>
        <translation>Shows the staff smaller (down to 50 %). Also Ctrl+mouse wheel down.</translation>
    </message>
    <message>
        <source>&amp;Обычный размер	Ctrl+0</source>
        <translation>&amp;Normal size	Ctrl+0</translation>
    </message>
    <message>
        <source>Нотный стан в обычном размере.
Обычный размер</source>
        <translation>Show the staff at its normal size.
Normal size</translation>
    </message>
    <message>
        <source>Возвращает нотному стану обычный размер (100 %).</source>
        <translation>Returns the staff to its normal size (100 %).</translation>
    </message>
    <message>
        <source>&amp;Проиграть мелодию...	Ctrl+P</source>
        <translation>&amp;Play melody…	Ctrl+P</translation>
    </message>
    <message>
        <source>Проигрывание мелодии.
Играть</source>
        <translation>Play the melody.
Play</translation>
    </message>
    <message>
        <source>Проигрывает текущую мелодию через динамик компьютера — с начала или с выделенной ноты.</source>
        <translation>Plays the current melody on the computer’s speaker — from the start or from the selected note.</translation>
    </message>
    <message>
        <source>&amp;Считать набор	Ctrl+R</source>
        <translation>&amp;Read set	Ctrl+R</translation>
    </message>
    <message>
        <source>Чтение набора мелодий.
Считать набор</source>
        <translation>Read the melody set.
Read set</translation>
    </message>
    <message>
        <source>Считывает набор мелодий из памяти звонка вместо текущего набора.</source>
        <translation>Reads the melody set from the doorbell’s memory in place of the current set.</translation>
    </message>
    <message>
        <source>&amp;Записать набор	Ctrl+W</source>
        <translation>&amp;Write set	Ctrl+W</translation>
    </message>
    <message>
        <source>Запись набора мелодий.
Записать набор</source>
        <translation>Write the melody set.
Write set</translation>
    </message>
    <message>
        <source>Записывает весь набор мелодий в память звонка.</source>
        <translation>Writes the whole melody set to the doorbell’s memory.</translation>
    </message>
    <message>
        <source>&amp;Тест...	Ctrl+T</source>
        <translation>&amp;Test…	Ctrl+T</translation>
    </message>
    <message>
        <source>Тестирование звонка.
Тест звонка</source>
        <translation>Test the doorbell.
Test doorbell</translation>
    </message>
    <message>
        <source>Заставляет звонок играть и замолкать, чтобы проверить, что он подключён.</source>
        <translation>Makes the doorbell play and stop, to check that it is connected.</translation>
    </message>
    <message>
        <source>&amp;Порт звонка...</source>
        <translation>Doorbell &amp;port…</translation>
    </message>
    <message>
        <source>Выбор порта, к которому подключён звонок.
Порт звонка</source>
        <translation>Choose the port the doorbell is connected to.
Doorbell port</translation>
    </message>
    <message>
        <source>Выбирает параллельный порт (или модель звонка), через который программа говорит со звонком.</source>
        <translation>Chooses the parallel port (or the simulated doorbell) through which the program talks to the doorbell.</translation>
    </message>
    <message>
        <source>&amp;Вызов справки</source>
        <translation>&amp;Contents</translation>
    </message>
    <message>
        <source>Вызов справочной системы.
Справка</source>
        <translation>Open the help.
Help</translation>
    </message>
    <message>
        <source>Открывает справку по программе.</source>
        <translation>Opens the program’s help.</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Display help for current task or command
Справка</source>
        <translation>Display help for current task or command
Help</translation>
    </message>
    <message>
        <source>Справка по объекту</source>
        <translation>What’s this?</translation>
    </message>
    <message>
        <source>Вывод справки при щелчке мышью на кнопке, меню или окне.
Справка</source>
        <translation>Display help when you click a button, menu or window.
Help</translation>
    </message>
    <message>
        <source>После этой команды щёлкните кнопку, пункт меню или часть окна, чтобы узнать, для чего они.</source>
        <translation>After this command, click a button, a menu item or a part of the window to learn what it is for.</translation>
    </message>
    <message>
        <source>&amp;О программе...</source>
        <translation>&amp;About…</translation>
    </message>
    <message>
        <source>Вывод сведений о программе.
О программе</source>
        <translation>Show information about the program.
About</translation>
    </message>
    <message>
        <source>Показывает версию и назначение программы.</source>
        <translation>Shows the program’s version and purpose.</translation>
    </message>
    <message>
        <source> %1 м. х %2 н.</source>
        <translation> %1 × %2 notes</translation>
    </message>
    <message>
        <source> %1 м.</source>
        <translation> Mel. %1</translation>
    </message>
    <message>
        <source> %1 н.</source>
        <translation> %1 notes</translation>
    </message>
    <message>
        <source>11м.х111н.</source>
        <translation>11 × 111 notes</translation>
    </message>
    <message>
        <source>Формат набора: число мелодий и наибольшее число нот в мелодии.</source>
        <translation>Set format: the number of melodies and the largest number of notes in a melody.</translation>
    </message>
    <message>
        <source>32 м.</source>
        <translation>Mel. 32</translation>
    </message>
    <message>
        <source>Номер текущей мелодии в наборе.</source>
        <translation>Number of the current melody in the set.</translation>
    </message>
    <message>
        <source>255 н.</source>
        <translation>255 notes</translation>
    </message>
    <message>
        <source>Число нот в текущей мелодии.</source>
        <translation>Number of notes in the current melody.</translation>
    </message>
    <message>
        <source>Соль #</source>
        <translation>G #</translation>
    </message>
    <message>
        <source>Тон выделенной ноты.</source>
        <translation>Pitch of the selected note.</translation>
    </message>
    <message>
        <source>Длительность выделенной ноты.</source>
        <translation>Duration of the selected note.</translation>
    </message>
    <message>
        <source>&amp;Отменить</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>&amp;Отменить «%1»</source>
        <translation>&amp;Undo “%1”</translation>
    </message>
    <message>
        <source>&amp;Повторить</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>&amp;Повторить «%1»</source>
        <translation>&amp;Redo “%1”</translation>
    </message>
    <message>
        <source>Для справки нажмите F1.</source>
        <translation>For help, press F1.</translation>
    </message>
    <message>
        <source>Выберите объект для справки.</source>
        <translation>Choose an item to get help on.</translation>
    </message>
    <message>
        <source>Открывает набор мелодий, с которым вы недавно работали.</source>
        <translation>Opens a melody set you worked with recently.</translation>
    </message>
    <message>
        <source>&amp;Файл</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Правка</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>&amp;Вид</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>В&amp;оспроизведение</source>
        <translation>&amp;Playback</translation>
    </message>
    <message>
        <source>&amp;Звонок</source>
        <translation>&amp;Doorbell</translation>
    </message>
    <message>
        <source>&amp;Справка</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Панель инструментов</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>&amp;Панель инструментов</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>Вывод и скрытие набора инструментов.</source>
        <translation>Show or hide the toolbar.</translation>
    </message>
    <message>
        <source>Набор инструментов</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>Показывает или скрывает панель инструментов. Панель можно перетащить к любому краю окна или оставить плавающей.</source>
        <translation>Shows or hides the toolbar. The toolbar can be dragged to any edge of the window or left floating.</translation>
    </message>
    <message>
        <source>&amp;Примеры</source>
        <translation>Exam&amp;ples</translation>
    </message>
    <message>
        <source>Известные мелодии, готовые для звонка.</source>
        <translation>Well-known tunes, ready for the doorbell.</translation>
    </message>
    <message>
        <source>Открывает одну из известных мелодий, записанных для звонка, как новый набор. Прежде программа предложит сохранить изменённый набор.</source>
        <translation>Opens one of the well-known tunes written for the doorbell as a new set. First the program offers to save a changed set.</translation>
    </message>
    <message>
        <source>Открывает «%1» как новый набор.</source>
        <translation>Opens “%1” as a new set.</translation>
    </message>
    <message>
        <source>Справка - Tinkla</source>
        <translation>Help - Tinkla</translation>
    </message>
    <message>
        <source>&amp;Вывод звука...</source>
        <translation>&amp;Sound output…</translation>
    </message>
    <message>
        <source>Выбор устройства, через которое звучат мелодии.
Вывод звука</source>
        <translation>Choose the device the melodies sound through.
Sound output</translation>
    </message>
    <message>
        <source>Выбирает, куда идёт звук: звуковая карта, встроенный динамик, файл WAV или без звука; кнопка «Проверить» играет на выбранном выводе короткий тон.</source>
        <translation>Chooses where the sound goes: the sound card, the PC speaker, a WAV file or no sound; the “Check” button plays a short tone on the chosen output.</translation>
    </message>
</context>
<context>
    <name>tinkla::CMelodyTitleDlg</name>
    <message>
        <source>Задание названия мелодии</source>
        <translation>Melody title</translation>
    </message>
    <message>
        <source>Название рисуется над нотным станом и хранится вместе с мелодией в файлах .fml и .mel. Не длиннее 30 знаков; в звонок не записывается.</source>
        <translation>The title is drawn above the staff and kept with the melody in .fml and .mel files. At most 30 characters; it is not written to the doorbell.</translation>
    </message>
    <message>
        <source>Название мелодии</source>
        <translation>Melody title</translation>
    </message>
    <message>
        <source>Название мелодии должно быть не длиннее %1 знаков.</source>
        <translation>The melody title must be no longer than %1 characters.</translation>
    </message>
</context>
<context>
    <name>tinkla::CPlayDlg</name>
    <message>
        <source>Играть</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Стоп</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Воспроизведение мелодии</source>
        <translation>Melody playback</translation>
    </message>
    <message>
        <source>Номер ноты</source>
        <translation>Note number</translation>
    </message>
    <message>
        <source>Тон</source>
        <translation>Pitch</translation>
    </message>
    <message>
        <source>Длительность</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Начать с выделенной ноты</source>
        <translation>Start from the selected note</translation>
    </message>
</context>
<context>
    <name>tinkla::CReadSetDlg</name>
    <message>
        <source>Чтение мелодий из звонка</source>
        <translation>Reading melodies from the doorbell</translation>
    </message>
</context>
<context>
    <name>tinkla::CSetFormatDlg</name>
    <message>
        <source>32 мелодии, в каждой не больше 7 нот. Подходит для коротких сигналов: звонок хранит больше всего мелодий.</source>
        <translation>32 melodies of at most 7 notes each. Suits short signals: the doorbell holds the most melodies.</translation>
    </message>
    <message>
        <source>16 мелодий, в каждой не больше 15 нот.</source>
        <translation>16 melodies of at most 15 notes each.</translation>
    </message>
    <message>
        <source>8 мелодий, в каждой не больше 31 ноты. Этот формат получает набор, с которым запускается программа.</source>
        <translation>8 melodies of at most 31 notes each. The set the program starts with has this format.</translation>
    </message>
    <message>
        <source>4 мелодии, в каждой не больше 63 нот.</source>
        <translation>4 melodies of at most 63 notes each.</translation>
    </message>
    <message>
        <source>2 мелодии, в каждой не больше 127 нот.</source>
        <translation>2 melodies of at most 127 notes each.</translation>
    </message>
    <message>
        <source>Одна мелодия длиной до 255 нот: вся память звонка отдана ей.</source>
        <translation>One melody of up to 255 notes: the whole doorbell memory is given to it.</translation>
    </message>
    <message>
        <source>Выбор формата набора мелодий</source>
        <translation>Melody set format</translation>
    </message>
    <message>
        <source>Возможные форматы набора мелодий</source>
        <translation>Possible melody set formats</translation>
    </message>
</context>
<context>
    <name>tinkla::CSoundDlg</name>
    <message>
        <source>Обзор...</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <source>&amp;Проверить</source>
        <translation>&amp;Check</translation>
    </message>
    <message>
        <source>Вывод звука</source>
        <translation>Sound output</translation>
    </message>
    <message>
        <source>На этот запуск вывод звука задан в командной строке: --speaker %1. Вывод, выбранный здесь, будет запомнен и начнет действовать сразу.</source>
        <translation>For this run the sound output was given on the command line: --speaker %1. An output chosen here will be remembered and take effect at once.</translation>
    </message>
    <message>
        <source>Мелодии звучат через</source>
        <translation>Melodies sound through</translation>
    </message>
    <message>
        <source>&amp;Звуковую карту (ALSA)</source>
        <translation>The &amp;sound card (ALSA)</translation>
    </message>
    <message>
        <source>&amp;Встроенный динамик (pcspkr)</source>
        <translation>The &amp;PC speaker (pcspkr)</translation>
    </message>
    <message>
        <source>Порты &amp;таймера напрямую (только для root, только x86)</source>
        <translation>The &amp;timer ports directly (root only, x86 only)</translation>
    </message>
    <message>
        <source>Запись в &amp;файл WAV</source>
        <translation>Recording to a &amp;WAV file</translation>
    </message>
    <message>
        <source>&amp;Без звука</source>
        <translation>&amp;No sound</translation>
    </message>
    <message>
        <source>Устройство ALSA:</source>
        <translation>ALSA device:</translation>
    </message>
    <message>
        <source>Имя устройства ALSA: default, pulse, hw:0,0 и т. п.; список выводит команда «aplay -L».</source>
        <translation>The name of an ALSA device: default, pulse, hw:0,0 and so on; “aplay -L” lists them.</translation>
    </message>
    <message>
        <source>Устройство:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>найти автоматически</source>
        <translation>found automatically</translation>
    </message>
    <message>
        <source>Устройство ввода PC-динамика; пусто — то, что найдётся в /dev/input/by-path/*pcspkr*.</source>
        <translation>The input device of the PC speaker; empty: the one found in /dev/input/by-path/*pcspkr*.</translation>
    </message>
    <message>
        <source>Файл:</source>
        <translation>File:</translation>
    </message>
    <message>
        <source>Вывод (--speaker):</source>
        <translation>Output (--speaker):</translation>
    </message>
    <message>
        <source>Включить выбранный вывод и сыграть на нём короткий проверочный тон.</source>
        <translation>Turn the chosen output on and play a short test tone on it.</translation>
    </message>
    <message>
        <source>Проверочный тон записывается в файл %1.</source>
        <translation>The test tone is being recorded to the file %1.</translation>
    </message>
    <message>
        <source>Мелодии будут играться беззвучно.</source>
        <translation>Melodies will play silently.</translation>
    </message>
    <message>
        <source>Звучит проверочный тон: ля первой октавы, 440 Гц. Если его не слышно, проверьте громкость.</source>
        <translation>A test tone is playing: A4, 440 Hz. If you cannot hear it, check the volume.</translation>
    </message>
    <message>
        <source>Файл для записи звука</source>
        <translation>File to record the sound to</translation>
    </message>
    <message>
        <source>Звук WAV (*.wav)|*.wav|Все файлы (*.*)|*.*||</source>
        <translation>WAV sound (*.wav)|*.wav|All files (*.*)|*.*||</translation>
    </message>
</context>
<context>
    <name>tinkla::CTinklaApp</name>
    <message>
        <source>Редактор мелодий и программатор музыкального звонка.</source>
        <translation>Melody editor and music doorbell programmer.</translation>
    </message>
    <message>
        <source>Показать эту справку.</source>
        <translation>Show this help.</translation>
    </message>
    <message>
        <source>Показать версию программы.</source>
        <translation>Show the program version.</translation>
    </message>
    <message>
        <source>Порт звонка на этот запуск: sim[:ФАЙЛ], ppdev:/dev/parportN, direct:0x378 или exec:КОМАНДА.</source>
        <translation>Doorbell port for this run: sim[:FILE], ppdev:/dev/parportN, direct:0x378 or exec:COMMAND.</translation>
    </message>
    <message>
        <source>Вывод звука на этот запуск: audio, pcspkr, ports, wav:ФАЙЛ или none.</source>
        <translation>Sound output for this run: audio, pcspkr, ports, wav:FILE or none.</translation>
    </message>
    <message>
        <source>файл</source>
        <translation>file</translation>
    </message>
    <message>
        <source>Набор мелодий (.fml), который открыть.</source>
        <translation>A melody set (.fml) to open.</translation>
    </message>
    <message>
        <source>[файл]</source>
        <translation>[file]</translation>
    </message>
</context>
<context>
    <name>tinkla::CTinklaView</name>
    <message>
        <source>&lt;p&gt;&lt;b&gt;Нотный стан&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Здесь показана текущая мелодия набора: её название и ноты, по двенадцать в строке. Щелчок по ноте выделяет её, щелчок вне нот снимает выделение. Правая кнопка мыши открывает меню команд для ноты или для мелодии.&lt;/p&gt;&lt;p&gt;Клавиши: Ins — вставить ноту, Del — удалить выделенную, Backspace — удалить последнюю, P и O — следующая и предыдущая нота, W и X — выше и ниже, D и A — длиннее и короче, Shift+W и Shift+X — на октаву выше и ниже, N — название мелодии. Ноту можно перетащить мышью вверх или вниз. PgUp, PgDn и стрелки прокручивают стан, Ctrl+колесо мыши меняет масштаб.&lt;/p&gt;</source>
        <translation>&lt;p&gt;&lt;b&gt;Staff&lt;/b&gt;&lt;/p&gt;&lt;p&gt;This shows the current melody of the set: its title and its notes, twelve to a row. Clicking a note selects it; clicking away from the notes clears the selection. The right mouse button opens a menu of commands for the note or the melody.&lt;/p&gt;&lt;p&gt;Keys: Ins — insert a note, Del — delete the selected one, Backspace — delete the last one, P and O — next and previous note, W and X — higher and lower, D and A — longer and shorter, Shift+W and Shift+X — an octave higher and lower, N — melody title. A note can be dragged up or down with the mouse. PgUp, PgDn and the arrow keys scroll the staff, Ctrl+mouse wheel zooms.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>tinkla::CTransposeDlg</name>
    <message>
        <source>Вписать по &amp;октавам</source>
        <translation>Fit by &amp;octaves</translation>
    </message>
    <message>
        <source>Транспонирование</source>
        <translation>Transpose</translation>
    </message>
    <message>
        <source> полутонов</source>
        <translation> semitones</translation>
    </message>
    <message>
        <source>На сколько полутонов сдвинуть всю мелодию: вверх — положительное число, вниз — отрицательное.</source>
        <translation>How many semitones to shift the whole melody by: up is a positive number, down a negative one.</translation>
    </message>
    <message>
        <source>Ноты, которые вышли бы за пределы звонка, переносятся на октаву; иначе мелодия не изменится.</source>
        <translation>Notes that would leave the doorbell’s range move by an octave; otherwise the melody does not change.</translation>
    </message>
    <message>
        <source>Сдвиг мелодии</source>
        <translation>Melody shift</translation>
    </message>
    <message>
        <source>&amp;Сдвиг:</source>
        <translation>&amp;Shift:</translation>
    </message>
</context>
<context>
    <name>tinkla::CWriteSetDlg</name>
    <message>
        <source>Запись мелодий в звонок</source>
        <translation>Writing melodies to the doorbell</translation>
    </message>
</context>
</TS>
