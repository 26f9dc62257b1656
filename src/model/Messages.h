#pragma once
// The program's own message texts (UTF-8). They are shown through MessageText() (Prompter.h),
// which gives them in the interface's language; the Russian text is also the key of its
// translation, so it is kept exactly as it stands.
#include <QtGlobal>

namespace tinkla
{

inline constexpr const char* kMsgNoteReadError =
    QT_TRANSLATE_NOOP("Messages", "Ошибка чтения ноты");
inline constexpr const char* kMsgMelodyReadError =
    QT_TRANSLATE_NOOP("Messages", "Ошибка чтения мелодии");
// A melody record holding more notes than the set allows: the extra notes are left out, so that
// no melody is longer than the doorbell has room for.
inline constexpr const char* kMsgMelodyTruncated = QT_TRANSLATE_NOOP(
    "Messages", "Мелодия длиннее, чем позволяет формат набора; лишние ноты не загружены.");
// A title longer than kMaxTitleBytes in a file: the rest of it is left out.
inline constexpr const char* kMsgTitleTruncated =
    QT_TRANSLATE_NOOP("Messages", "Название мелодии длиннее 255 знаков; оно укорочено до 255.");
inline constexpr const char* kMsgBadSetFile =
    QT_TRANSLATE_NOOP("Messages", "Файл не содержит набора мелодий или поврежден");
inline constexpr const char* kMsgBadMelodyFile =
    QT_TRANSLATE_NOOP("Messages", "Файл не содержит мелодию, либо она слишком длинная.");
inline constexpr const char* kMsgSaveFailed =
    QT_TRANSLATE_NOOP("Messages", "Ошибка при сохранении документа");
inline constexpr const char* kMsgCannotInsert =
    QT_TRANSLATE_NOOP("Messages", "Нельзя больше добавить ноту.");
inline constexpr const char* kMsgDeleteNote = QT_TRANSLATE_NOOP("Messages", "Удалить ноту ?");
inline constexpr const char* kMsgReplaceMelody = QT_TRANSLATE_NOOP(
    "Messages", "Текущая мелодия будет заменена.\nСохранить набор мелодий под другим именем ?");
inline constexpr const char* kMsgReplaceSet = QT_TRANSLATE_NOOP(
    "Messages", "Текущий набор мелодий будет заменен.\nСохранить его под другим именем ?");
inline constexpr const char* kMsgWriteBell =
    QT_TRANSLATE_NOOP("Messages", "Записать мелодии в звонок ?");
// Reports of file trouble, in the program's language.
inline constexpr const char* kMsgFileDamaged = QT_TRANSLATE_NOOP(
    "Messages", "Файл «%1» не удалось прочитать: он поврежден или обрывается раньше времени.");
inline constexpr const char* kMsgCannotOpen =
    QT_TRANSLATE_NOOP("Messages", "Не удалось открыть файл «%1»: %2");
inline constexpr const char* kMsgCannotSave =
    QT_TRANSLATE_NOOP("Messages", "Не удалось сохранить файл «%1»: %2");

} // namespace tinkla
