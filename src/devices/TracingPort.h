#pragma once
// Logs every access to the port it wraps, one line each, in the bridge grammar: "o 378 38" for a
// write of 0x38 to 0x378, "i 379 40" for a read of 0x379 that gave 0x40 (lower-case hex, no 0x),
// optionally after the time of the access.
#include "devices/ParallelPort.h"

#include <cstdio>
#include <memory>

namespace tinkla
{

class TracingPort final : public ParallelPort
{
public:
    // Opens (truncates) the trace file; nullptr with *error set when it cannot be created.
    static std::unique_ptr<TracingPort> Open(std::unique_ptr<PortDevice> inner, const QString& path,
                                             QString* error);
    // Traces to a stream the caller keeps open (not closed here).
    TracingPort(std::unique_ptr<PortDevice> inner, std::FILE* stream);
    ~TracingPort() override; // flushes; closes the file it opened

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    QString Fault() const override;
    QString Describe() const override;

    PortDevice* Inner() const { return m_inner.get(); }
    // Begins each line with the monotonic time of the access, microseconds with three decimals,
    // and a space: "1523.125 o 378 38". Lets anyone measure pulses and bus times from a trace.
    void SetTimes(bool on) { m_bTimes = on; }

private:
    void Write(char op, uint16_t port, int value);

    std::unique_ptr<PortDevice> m_inner;
    std::FILE* m_stream;
    bool m_bOwnsStream = false;
    bool m_bTimes = false;
};

// Formats one trace or bridge line without its newline: "o 378 38", "i 379", "i 379 40"
// (value < 0: none). Returns the characters written; `out` needs 16 bytes.
int FormatPortLine(char* out, char op, uint16_t port, int value);

} // namespace tinkla
