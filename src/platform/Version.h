#pragma once
// The program's version, as both programs print it (--version) and the About box shows it.

namespace tinkla
{

inline constexpr const char* kTinklaVersion = "1.0";

} // namespace tinkla
