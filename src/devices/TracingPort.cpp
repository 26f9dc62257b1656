#include "devices/TracingPort.h"

#include "platform/Clock.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstring>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(TracingPort)
};
} // namespace

int FormatPortLine(char* out, char op, uint16_t port, int value)
{
    static const char kHex[] = "0123456789abcdef";
    int n = 0;
    out[n++] = op;
    out[n++] = ' ';
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int digit = (port >> shift) & 0xF;
        if (digit != 0 || started || shift == 0) {
            out[n++] = kHex[digit];
            started = true;
        }
    }
    if (value >= 0) {
        out[n++] = ' ';
        out[n++] = kHex[(value >> 4) & 0xF];
        out[n++] = kHex[value & 0xF];
    }
    out[n] = '\0';
    return n;
}

std::unique_ptr<TracingPort> TracingPort::Open(std::unique_ptr<PortDevice> inner,
                                               const QString& path, QString* error)
{
    // A trace never truncates a device or waits on a FIFO.
    if (const QString refusal = NotAnOutputFile(path); !refusal.isEmpty()) {
        *error = Text::tr("Не удалось создать файл трассировки «%1»: %2").arg(path, refusal);
        return nullptr;
    }
    std::FILE* stream = std::fopen(QFile::encodeName(path).constData(), "we");
    if (!stream) {
        *error = Text::tr("Не удалось создать файл трассировки «%1»: %2")
                     .arg(path, SystemErrorText(errno, true));
        return nullptr;
    }
    auto port = std::make_unique<TracingPort>(std::move(inner), stream);
    port->m_bOwnsStream = true;
    return port;
}

TracingPort::TracingPort(std::unique_ptr<PortDevice> inner, std::FILE* stream)
    : m_inner(std::move(inner)), m_stream(stream)
{
}

TracingPort::~TracingPort()
{
    if (m_bOwnsStream)
        std::fclose(m_stream);
    else
        std::fflush(m_stream);
}

uint8_t TracingPort::In(uint16_t port)
{
    const uint8_t value = m_inner ? m_inner->In(port) : 0xFF;
    Write('i', port, value);
    return value;
}

void TracingPort::Out(uint16_t port, uint8_t value)
{
    if (m_inner)
        m_inner->Out(port, value);
    Write('o', port, value);
}

// Stamped once the access is done: a write's time is when the line changed, a read's when its
// value was there.
void TracingPort::Write(char op, uint16_t port, int value)
{
    if (m_bTimes)
        std::fprintf(m_stream, "%.3f ", TheClock().NowMs() * 1000.0);
    char line[16];
    const int n = FormatPortLine(line, op, port, value);
    line[n] = '\n';
    std::fwrite(line, 1, n + 1, m_stream);
}

QString TracingPort::Fault() const
{
    const auto* inner = dynamic_cast<const ParallelPort*>(m_inner.get());
    return inner ? inner->Fault() : QString();
}

QString TracingPort::Describe() const
{
    const auto* inner = dynamic_cast<const ParallelPort*>(m_inner.get());
    return inner ? inner->Describe() : QStringLiteral("?");
}

} // namespace tinkla
