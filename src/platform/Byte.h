#pragma once
// The byte of the doorbell's memory, of its bus and of the note codes: one definition for all.
#include <cstdint>

namespace tinkla
{

using BYTE = uint8_t;

} // namespace tinkla
