// The RTTTL reader on arbitrary text: it must never crash, hang or over-allocate; whatever it
// reads fits the doorbell once fitted, and the fitted melody written out reads back the same.
#include "SilentPrompter.h"
#include "exchange/Exchange.h"

#include <cstddef>
#include <cstdint>

using namespace tinkla;
using tinkla::fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    exchange::Imported imported;
    QString error;
    if (!exchange::ReadRtttl(text, &imported, &error)) {
        if (error.isEmpty())
            Fail("a refusal without a reason");
        return 0;
    }
    const exchange::FitResult fit = exchange::FitNotes(imported.notes, true, 0, 255);
    for (BYTE code : fit.codes)
        if ((code & 7) > 4)
            Fail("a fitted note with no duration code");
    exchange::Imported back;
    if (!exchange::ReadRtttl(exchange::WriteRtttl(imported.title, fit.codes), &back, &error))
        Fail("a written RTTTL text does not read back");
    if (exchange::FitNotes(back.notes, false, 0, 255).codes != fit.codes)
        Fail("RTTTL does not round-trip");
    return 0;
}
