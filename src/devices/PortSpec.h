#pragma once
// The --port grammar, shared by both programs and remembered in the settings:
//   sim[:PATH][,OPT...]   the simulated doorbell; PATH defaults to DefaultDoorbellFile();
//                         OPT: absent, sda-low, scl-low, busy, wp, midread, stretch=MS,
//                         twr=MS (0..60000), release=US (0..60000), after=N (0..1000000)
//   ppdev[:/dev/parportN] Linux ppdev, /dev/parport0 by default
//   direct[:0xBASE]       direct port I/O at BASE (hex), 0x378 by default; x86 and root only
//   exec:COMMAND          a bridge program speaking "o 378 38" / "i 379" on stdin/stdout
// Every refusal is a sentence the user can act on.
#include "devices/SimDoorbell.h"

#include <QString>
#include <memory>

namespace tinkla
{

struct PortSpec {
    enum class Kind { Sim, Ppdev, Direct, Exec };
    Kind kind = Kind::Sim;
    SimOptions sim;        // Sim
    QString device;        // Ppdev
    uint16_t base = 0x378; // Direct
    QString command;       // Exec
};

constexpr int kMaxPortSpecLength = 4096;

// False with *error for anything outside the grammar; *parsed is complete on success.
bool ParsePortSpec(const QString& text, PortSpec* parsed, QString* error);

struct OpenedPort {
    std::unique_ptr<ParallelPort> device; // null when it could not be opened
    SimDoorbell* sim = nullptr;           // the simulated doorbell inside `device`, if it is one
    QString error;
};
// Parses and opens a port; a memory file that exists but cannot be read is an error too.
OpenedPort OpenPort(const QString& text);

// Opens PORT and puts it behind 0x378..0x37A, tracing every access to traceFile when one is
// given (each line stamped with the time of the access when traceTimes). False with *error,
// leaving the current port connected, when it cannot be opened.
bool ConnectPort(const QString& text, QString* error, const QString& traceFile = QString(),
                 bool traceTimes = false);
// The simulated doorbell behind the port (seen through any tracing), or nullptr: the place to
// install its play and stop handlers after ConnectPort.
SimDoorbell* ConnectedSim();
// The PORT text of what ConnectPort connected last; empty once something else was put there.
QString ConnectedPortText();
// Takes the port away and closes it (the sim finishes any write cycle and saves its memory).
void DisconnectPort();

// Does a doorbell answer on PORT, and if not, why: the device node, the permission, a port
// held by another driver, a dead bridge, a bus line stuck low, or nothing acknowledging.
// Uses the connected port when PORT is the one connected; otherwise opens PORT for the probe
// and puts the connected port back afterwards. Calibrates the delays if that never happened.
// Sends no reset or play pulse and changes nothing in the doorbell's memory.
struct ProbeResult {
    bool ok = false;
    QString message; // the answer, also when ok
};
ProbeResult ProbeDoorbell(const QString& text);

} // namespace tinkla
