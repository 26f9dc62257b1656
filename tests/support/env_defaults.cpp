// Points TINKLA_CLI at the tinkla-cli built beside the tests unless the caller chose another, and
// keeps Qt off any display and the texts in Russian: set before main, so every test sees the same
// environment.
#include <cstdlib>

namespace
{
const bool s_envDefaults = [] {
    setenv("TINKLA_CLI", TINKLA_CLI_PATH, 0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The texts checked are the Russian originals, whatever the machine's locale; a test of the
    // English interface asks for it in the child's environment.
    setenv("LANGUAGE", "ru", 1);
    return true;
}();
} // namespace
