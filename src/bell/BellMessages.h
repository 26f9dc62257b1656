#pragma once
// The doorbell link's message texts (UTF-8), thrown as TinklaError and shown with the stop icon.
// Arrays, not pointers to literals: each text is then one object with one address in the whole
// program, so a caught text can be told by its pointer in every build (identical literals are
// merged only by an optimising linker, never under AddressSanitizer). Shown through MessageText()
// (Prompter.h), in the interface's language.
#include <QtGlobal>

namespace tinkla
{

// Any failure on the bus: no device, a broken interface, a time-out.
inline constexpr char kMsgBellLink[] =
    QT_TRANSLATE_NOOP("Messages", "Звонок не подключен, либо интерфейс со звонком неисправен.");
// The format byte or a note byte read from the doorbell is not valid.
inline constexpr char kMsgBellContents[] =
    QT_TRANSLATE_NOOP("Messages", "Мелодии в звонке отсутсвуют, либо испорчены.");
// A set whose format is none of the six: refused before anything reaches the doorbell, so that
// the doorbell never holds a format byte that no read accepts.
inline constexpr char kMsgBellBadFormat[] = QT_TRANSLATE_NOOP(
    "Messages", "Формат набора мелодий не подходит для звонка; звонок не изменен.");

// The write went through on the bus, but reading the doorbell back found other contents (a chip
// that is write-protected or worn, a bad cable): shown with the differences.
inline constexpr char kMsgBellVerify[] =
    QT_TRANSLATE_NOOP("Messages", "Проверка после записи: звонок хранит не то, что записано.");

} // namespace tinkla
