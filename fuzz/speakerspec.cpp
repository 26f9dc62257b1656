// The --speaker value (and the remembered "Sound/Speaker" setting) is text from outside: it must
// parse or be refused with a reason, never crash, and a parse must give a usable result.
#include "devices/SoundSink.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tinkla;
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    SinkSpec parsed;
    QString error;
    if (ParseSinkSpec(text, &parsed, &error)) {
        if (!error.isEmpty())
            __builtin_trap();
        const bool needsArg = parsed.kind == SinkSpec::Wav;
        const bool takesArg =
            needsArg || parsed.kind == SinkSpec::Audio || parsed.kind == SinkSpec::Pcspkr;
        if ((needsArg && parsed.arg.isEmpty()) || (!takesArg && !parsed.arg.isEmpty()) ||
            parsed.arg.size() > kMaxSinkSpecLength)
            __builtin_trap();
        for (const QChar c : parsed.arg)
            if (c.category() == QChar::Other_Control)
                __builtin_trap();
    } else if (error.isEmpty()) {
        __builtin_trap();
    }
    return 0;
}
