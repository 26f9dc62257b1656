#include "devices/SoundDevices.h"

#include "devices/SoundSafety.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define TINKLA_HAVE_IOPERM 1
#include <sys/io.h>
#endif

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundPorts)
};
} // namespace

#ifdef TINKLA_HAVE_IOPERM

namespace
{
// Gate and data bits off: async-signal-safe (two port instructions).
void SpeakerOff()
{
    outb(static_cast<unsigned char>(inb(0x61) & 0xFC), 0x61);
}
} // namespace

std::unique_ptr<RealPitSink> RealPitSink::Open(QString* error)
{
    if (ioperm(0x42, 2, 1) != 0 || ioperm(0x61, 1, 1) != 0) {
        const int err = errno;
        const QString why = QString::fromLocal8Bit(std::strerror(err));
        if (error)
            *error = err == EPERM ? Text::tr("прямой доступ к таймеру (порты 0x42, 0x43, 0x61) "
                                             "разрешён только root или с правом CAP_SYS_RAWIO "
                                             "(ioperm: %1)")
                                        .arg(why)
                                  : Text::tr("прямой доступ к таймеру (порты 0x42, 0x43, 0x61) "
                                             "здесь невозможен (ioperm: %1)")
                                        .arg(why);
        ioperm(0x42, 2, 0);
        return nullptr;
    }
    return std::unique_ptr<RealPitSink>(new RealPitSink());
}

RealPitSink::RealPitSink()
{
    m_nSafetySlot = RegisterEmergencySilence(&RealPitSink::EmergencySilence, this);
}

RealPitSink::~RealPitSink()
{
    UnregisterEmergencySilence(m_nSafetySlot);
    SpeakerOff();
    ioperm(0x42, 2, 0);
    ioperm(0x61, 1, 0);
}

void RealPitSink::EmergencySilence(void*)
{
    SpeakerOff();
}

void RealPitSink::Tone(uint32_t divisor)
{
    outb(0xB6, 0x43); // channel 2, low then high byte, mode 3, binary
    outb(static_cast<unsigned char>(divisor & 0xFF), 0x42);
    outb(static_cast<unsigned char>((divisor >> 8) & 0xFF), 0x42); // 65536 is written as 0
    outb(static_cast<unsigned char>(inb(0x61) | 0x03), 0x61);
}

void RealPitSink::Silence()
{
    SpeakerOff();
}

#else

std::unique_ptr<RealPitSink> RealPitSink::Open(QString* error)
{
    if (error)
        *error = Text::tr("прямой доступ к таймеру есть только на x86");
    return nullptr;
}
RealPitSink::RealPitSink() = default;
RealPitSink::~RealPitSink() = default;
void RealPitSink::EmergencySilence(void*) {}
void RealPitSink::Tone(uint32_t) {}
void RealPitSink::Silence() {}

#endif

} // namespace tinkla
