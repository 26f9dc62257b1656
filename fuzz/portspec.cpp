// The --port value (and the remembered "Doorbell/Port" setting) is text from outside: it must
// parse or be refused with a reason, never crash; nothing is opened here.
#include "devices/PortSpec.h"
#include "SilentPrompter.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tinkla;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PortSpec parsed;
    QString error;
    if (!ParsePortSpec(text, &parsed, &error)) {
        if (error.isEmpty())
            fuzz::Fail("a refusal without a reason");
        return 0;
    }
    switch (parsed.kind) {
    case PortSpec::Kind::Sim:
        if (parsed.sim.path.isEmpty() || !std::isfinite(parsed.sim.twrMs) || parsed.sim.twrMs < 0 ||
            parsed.sim.twrMs > 60000 || !std::isfinite(parsed.sim.stretchMs) ||
            parsed.sim.stretchMs < 0 || parsed.sim.stretchMs > 60000)
            fuzz::Fail("a simulator option outside its range");
        break;
    case PortSpec::Kind::Ppdev:
        if (!parsed.device.startsWith(QLatin1Char('/')))
            fuzz::Fail("a ppdev device that is no path");
        break;
    case PortSpec::Kind::Direct:
        if (parsed.base < 0x100 || parsed.base > 0xFFFD)
            fuzz::Fail("a port base outside the allowed range");
        break;
    case PortSpec::Kind::Exec:
        if (parsed.command.trimmed().isEmpty())
            fuzz::Fail("an empty bridge command");
        break;
    }
    return 0;
}
