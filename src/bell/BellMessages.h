#pragma once
// The doorbell link's message texts (UTF-8), thrown as TinklaError and shown with the stop icon.

namespace tinkla
{

// Any failure on the bus: no device, a broken interface, a time-out.
inline constexpr const char* kMsgBellLink =
    "Звонок не подключен, либо интерфейс со звонком неисправен.";
// The format byte or a note byte read from the doorbell is not valid.
inline constexpr const char* kMsgBellContents = "Мелодии в звонке отсутсвуют, либо испорчены.";
// A set whose format is none of the six: refused before anything reaches the doorbell, so that
// the doorbell never holds a format byte that no read accepts.
inline constexpr const char* kMsgBellBadFormat =
    "Формат набора мелодий не подходит для звонка; звонок не изменен.";

} // namespace tinkla
