#include "devices/PpdevPort.h"

#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PpdevPort)
};
} // namespace

QString PpdevOpenError(const QString& device, const char* step, int err, bool lpLoaded)
{
    const bool claiming = std::strcmp(step, "claim") == 0;
    switch (err) {
    case ENOENT:
        return Text::tr("Нет устройства %1. Загрузите модуль ppdev: «sudo modprobe ppdev». Если "
                        "устройство так и не появится, в компьютере, видимо, нет параллельного "
                        "порта — укажите другой порт.")
            .arg(device);
    case EACCES:
    case EPERM:
        return Text::tr("Нет доступа к %1: пользователь не входит в группу %2, которой "
                        "принадлежит устройство. Выполните «sudo usermod -aG %2 $USER» и войдите "
                        "в систему заново.")
            .arg(device, OwningGroup(device, QStringLiteral("lp")));
    case EBUSY:
    case ENXIO:
        if (lpLoaded)
            return Text::tr("Порт %1 занят другим драйвером — модулем принтера lp. Освободите "
                            "порт: «sudo rmmod lp». Чтобы модуль не загружался снова, добавьте "
                            "строку «blacklist lp» в файл в /etc/modprobe.d/.")
                .arg(device);
        if (err == EBUSY)
            return Text::tr("Порт %1 занят другой программой.").arg(device);
        return Text::tr("За %1 нет параллельного порта, либо его занимает другая программа.")
            .arg(device);
    case ENOTTY:
    case EINVAL:
        if (claiming)
            return Text::tr("%1 — не устройство параллельного порта (ppdev).").arg(device);
        break;
    default:
        break;
    }
    return Text::tr("Не удалось открыть %1: %2").arg(device, SystemErrorText(err, true));
}

std::unique_ptr<PpdevPort> PpdevPort::Open(const QString& device, QString* error)
{
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        // Kept before anything else runs: looking for the lp module changes errno.
        const int err = errno;
        *error = PpdevOpenError(device, "open", err, QFileInfo::exists("/sys/module/lp"));
        return nullptr;
    }
    // Exclusive: with lp registered on the port the claim fails at once instead of blocking.
    if (::ioctl(fd, PPEXCL) != 0 || ::ioctl(fd, PPCLAIM) != 0) {
        const int err = errno;
        ::close(fd);
        *error = PpdevOpenError(device, "claim", err, QFileInfo::exists("/sys/module/lp"));
        return nullptr;
    }
    return std::unique_ptr<PpdevPort>(new PpdevPort(device, fd));
}

PpdevPort::~PpdevPort()
{
    ::ioctl(m_fd, PPRELEASE);
    ::close(m_fd);
}

void PpdevPort::Failed(const char* what, int err)
{
    if (m_strFault.isEmpty())
        m_strFault = Text::tr("Ошибка порта %1 (%2): %3")
                         .arg(m_strDevice, QString::fromLatin1(what),
                              QString::fromLocal8Bit(std::strerror(err)));
}

uint8_t PpdevPort::In(uint16_t port)
{
    if (!m_strFault.isEmpty())
        return 0xFF;
    unsigned char value = 0xFF;
    unsigned long request;
    const char* name;
    switch (port) {
    case kPortData:
        request = PPRDATA;
        name = "PPRDATA";
        break;
    case kPortStatus:
        request = PPRSTATUS;
        name = "PPRSTATUS";
        break;
    case kPortControl:
        request = PPRCONTROL;
        name = "PPRCONTROL";
        break;
    default:
        return 0xFF;
    }
    if (::ioctl(m_fd, request, &value) != 0) {
        Failed(name, errno);
        return 0xFF;
    }
    return value;
}

void PpdevPort::Out(uint16_t port, uint8_t value)
{
    if (!m_strFault.isEmpty())
        return;
    unsigned char v = value;
    if (port == kPortData && ::ioctl(m_fd, PPWDATA, &v) != 0)
        Failed("PPWDATA", errno);
    else if (port == kPortControl && ::ioctl(m_fd, PPWCONTROL, &v) != 0)
        Failed("PPWCONTROL", errno);
}

} // namespace tinkla
