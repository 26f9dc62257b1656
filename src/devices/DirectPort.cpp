#include "devices/DirectPort.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define TINKLA_HAVE_PORT_IO 1
#endif

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(DirectPort)
};
} // namespace

namespace
{
QString Hex(uint16_t base)
{
    return QStringLiteral("0x%1").arg(base, 0, 16);
}
} // namespace

QString DirectPort::Describe() const
{
    return QStringLiteral("direct:") + Hex(m_nBase);
}

#ifdef TINKLA_HAVE_PORT_IO

std::unique_ptr<DirectPort> DirectPort::Open(uint16_t base, QString* error)
{
    if (::ioperm(base, 3, 1) != 0) {
        const int err = errno;
        if (err == ENOSYS)
            *error = Text::tr("Эта система не дает прямого доступа к портам ввода-вывода "
                              "(контейнер или виртуальная машина). Выберите "
                              "ppdev:/dev/parport0.");
        else if (err == EPERM)
            *error = Text::tr("Прямой доступ к портам %1 разрешен только root (CAP_SYS_RAWIO)."
                              " Запустите программу от root или выберите "
                              "ppdev:/dev/parport0.")
                         .arg(Hex(base));
        else
            *error = Text::tr("Нет доступа к портам %1: %2")
                         .arg(Hex(base), QString::fromLocal8Bit(std::strerror(err)));
        return nullptr;
    }
    return std::unique_ptr<DirectPort>(new DirectPort(base));
}

DirectPort::~DirectPort()
{
    ::ioperm(m_nBase, 3, 0);
}

uint8_t DirectPort::In(uint16_t port)
{
    if (port < kPortData || port > kPortControl)
        return 0xFF;
    return ::inb(static_cast<uint16_t>(m_nBase + (port - kPortData)));
}

void DirectPort::Out(uint16_t port, uint8_t value)
{
    if (port < kPortData || port > kPortControl)
        return;
    ::outb(value, static_cast<uint16_t>(m_nBase + (port - kPortData)));
}

#else

std::unique_ptr<DirectPort> DirectPort::Open(uint16_t base, QString* error)
{
    *error = Text::tr("Прямой доступ к портам ввода-вывода (%1) есть только на x86. "
                      "Выберите ppdev:/dev/parport0.")
                 .arg(Hex(base));
    return nullptr;
}

DirectPort::~DirectPort() = default;

uint8_t DirectPort::In(uint16_t)
{
    return 0xFF;
}

void DirectPort::Out(uint16_t, uint8_t) {}

#endif

} // namespace tinkla
