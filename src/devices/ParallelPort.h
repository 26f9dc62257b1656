#pragma once
// What stands behind 0x378..0x37A: a parallel port backend. Backends get the full register
// addresses (0x378 data, 0x379 status, 0x37A control) and map them to whatever they reach.
#include "platform/Ports.h"

#include <QString>

namespace tinkla
{

class ParallelPort : public PortDevice
{
public:
    // Why the port stopped working (a bridge that died, an ioctl that failed), in words the
    // user can act on; empty while it works. Once set, reads give 0xFF (a floating bus) and
    // writes are dropped without waiting, so the bus fails fast with the link message.
    virtual QString Fault() const { return {}; }
    // What the port is, for messages: "ppdev:/dev/parport0".
    virtual QString Describe() const = 0;
};

} // namespace tinkla
