// The MIDI reader on arbitrary bytes, with each track choice in turn: it must never crash, hang or
// over-allocate; whatever it reads fits the doorbell once fitted, and the fitted melody written
// out as MIDI reads back the same.
#include "SilentPrompter.h"
#include "exchange/Exchange.h"

#include <cstddef>
#include <cstdint>

using namespace tinkla;
using tinkla::fuzz::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int track : {0, 1, 2}) {
        exchange::Imported imported;
        QString error;
        if (!exchange::ReadMidi(bytes, track, &imported, &error)) {
            if (error.isEmpty())
                Fail("a refusal without a reason");
            continue;
        }
        const exchange::FitResult fit = exchange::FitNotes(imported.notes, true, 0, 255);
        for (BYTE code : fit.codes)
            if ((code & 7) > 4)
                Fail("a fitted note with no duration code");
        exchange::Imported back;
        if (!exchange::ReadMidi(exchange::WriteMidi(imported.title, fit.codes), 0, &back, &error) &&
            !fit.codes.empty())
            Fail("a written MIDI file does not read back");
        if (exchange::FitNotes(back.notes, false, 0, 255).codes != fit.codes)
            Fail("MIDI does not round-trip");
    }
    return 0;
}
