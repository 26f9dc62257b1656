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
    PortSpec spec;
    QString error;
    if (!ParsePortSpec(text, &spec, &error)) {
        if (error.isEmpty())
            fuzz::Fail("a refusal without a reason");
        return 0;
    }
    switch (spec.kind) {
    case PortSpec::Kind::Sim:
        if (spec.sim.path.isEmpty() || !std::isfinite(spec.sim.twrMs) || spec.sim.twrMs < 0 ||
            spec.sim.twrMs > 60000 || !std::isfinite(spec.sim.stretchMs) ||
            spec.sim.stretchMs < 0 || spec.sim.stretchMs > 60000)
            fuzz::Fail("a simulator option outside its range");
        break;
    case PortSpec::Kind::Ppdev:
        if (!spec.device.startsWith(QLatin1Char('/')))
            fuzz::Fail("a ppdev device that is no path");
        break;
    case PortSpec::Kind::Direct:
        if (spec.base < 0x100 || spec.base > 0xFFFD)
            fuzz::Fail("a port base outside the allowed range");
        break;
    case PortSpec::Kind::Exec:
        if (spec.command.trimmed().isEmpty())
            fuzz::Fail("an empty bridge command");
        break;
    }
    return 0;
}
