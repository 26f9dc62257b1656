#pragma once
// The program's own message texts (UTF-8), shown exactly as they stand.

namespace tinkla
{

inline constexpr const char* kMsgNoteReadError = "Ошибка чтения ноты";
inline constexpr const char* kMsgMelodyReadError = "Ошибка чтения мелодии";
// A melody record holding more notes than the set allows: the extra notes are left out, so that
// no melody is longer than the doorbell has room for.
inline constexpr const char* kMsgMelodyTruncated =
    "Мелодия длиннее, чем позволяет формат набора; лишние ноты не загружены.";
// A title longer than kMaxTitleBytes in a file: the rest of it is left out.
inline constexpr const char* kMsgTitleTruncated =
    "Название мелодии длиннее 255 знаков; оно укорочено до 255.";
inline constexpr const char* kMsgBadSetFile = "Файл не содержит набора мелодий или поврежден";
inline constexpr const char* kMsgBadMelodyFile =
    "Файл не содержит мелодию, либо она слишком длинная.";
inline constexpr const char* kMsgSaveFailed = "Ошибка при сохранении документа";
inline constexpr const char* kMsgCannotInsert = "Нельзя больше добавить ноту.";
inline constexpr const char* kMsgDeleteNote = "Удалить ноту ?";
inline constexpr const char* kMsgReplaceMelody =
    "Текущая мелодия будет заменена.\nСохранить набор мелодий под другим именем ?";
inline constexpr const char* kMsgReplaceSet =
    "Текущий набор мелодий будет заменен.\nСохранить его под другим именем ?";
inline constexpr const char* kMsgWriteBell = "Записать мелодии в звонок ?";
// Reports of file trouble, in the program's language.
inline constexpr const char* kMsgFileDamaged =
    "Файл «%1» не удалось прочитать: он поврежден или обрывается раньше времени.";
inline constexpr const char* kMsgCannotOpen = "Не удалось открыть файл «%1»: %2";
inline constexpr const char* kMsgCannotSave = "Не удалось сохранить файл «%1»: %2";

} // namespace tinkla
