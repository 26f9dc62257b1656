#pragma once
// The doorbell's port and the speaker as the command line chooses them, shared by the doorbell
// and device commands.
#include "cli/Cli.h"

namespace tinkla::cli
{

// kExitOk, or kExitUsage after the message and the usage line when --port or --speaker was
// given in a form no port or sound output has.
int CheckDeviceOptions(const Args& args);

// The port for this run (--port, else the remembered one, whose default is the simulated doorbell
// on its default memory file), connected for the lifetime of the object, traced to --trace.
// When no port was chosen at all, says on stderr that the simulated doorbell answers, and where
// its memory is, so that nobody takes it for the real one.
class PortConnection
{
public:
    explicit PortConnection(const Args& args);
    // The simulated doorbell finishes its write cycle and keeps its memory file here.
    ~PortConnection();
    PortConnection(const PortConnection&) = delete;
    PortConnection& operator=(const PortConnection&) = delete;
    bool ok() const { return m_bOk; }
    // A simulated doorbell that could not save its memory; false after saying so.
    static bool MemorySaved();

private:
    bool m_bOk = false;
};

} // namespace tinkla::cli
