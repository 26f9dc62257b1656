// Points TINKLA_CLI at the tinkla-cli built beside the tests unless the caller chose another, and
// keeps Qt off any display: set before main, so every test sees the same environment.
#include <cstdlib>

namespace
{
const bool s_envDefaults = [] {
    setenv("TINKLA_CLI", TINKLA_CLI_PATH, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return true;
}();
} // namespace
