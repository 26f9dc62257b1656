#include "devices/SoundDevices.h"

#include "devices/SoundSafety.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundPcspkr)
};
} // namespace

namespace
{
// The tones the pcspkr driver plays; it ignores anything outside.
constexpr int kMinHz = 20;
constexpr int kMaxHz = 32767;

QString Errno(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// True when the device can sound a tone (EV_SND with SND_TONE).
bool SupportsTone(int fd)
{
    unsigned long types = 0;
    unsigned long sounds = 0;
    if (ioctl(fd, EVIOCGBIT(0, sizeof types), &types) < 0 || !(types & (1ul << EV_SND)))
        return false;
    if (ioctl(fd, EVIOCGBIT(EV_SND, sizeof sounds), &sounds) < 0)
        return false;
    return sounds & (1ul << SND_TONE);
}
} // namespace

std::unique_ptr<PcspkrSink> PcspkrSink::Open(const QString& givenPath, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return nullptr;
    };
    QString path = givenPath;
    if (path.isEmpty()) {
        const QDir dir(QString::fromLatin1(kByPathDir));
        const QStringList found =
            dir.entryList({QStringLiteral("*pcspkr*")}, QDir::System | QDir::Files, QDir::Name);
        if (found.isEmpty())
            return fail(Text::tr("нет устройства PC-динамика (%1/*pcspkr*); его "
                                 "драйвер загружается командой «sudo modprobe pcspkr»")
                            .arg(QString::fromLatin1(kByPathDir)));
        path = dir.filePath(found.first());
    }

    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM)
            return fail(Text::tr("нет прав на запись в %1 (%2); устройство принадлежит группе "
                                 "%3: «sudo usermod -aG %3 $USER» и новый вход в систему, или "
                                 "правило udev")
                            .arg(path, Errno(err), OwningGroup(path, QStringLiteral("input"))));
        if (err == ENOENT)
            return fail(Text::tr("нет устройства %1; драйвер PC-динамика загружается "
                                 "командой «sudo modprobe pcspkr»")
                            .arg(path));
        return fail(Text::tr("не открывается %1: %2").arg(path, Errno(err)));
    }
    struct stat st = {};
    // A character device must be an input device that can sound; anything else (a file to
    // capture the events) is taken as it is.
    if (fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && !SupportsTone(fd)) {
        ::close(fd);
        return fail(Text::tr("%1 не умеет звучать тоном (это не PC-динамик)").arg(path));
    }
    return std::unique_ptr<PcspkrSink>(new PcspkrSink(fd));
}

PcspkrSink::PcspkrSink(int fd) : m_fd(fd)
{
    m_nSafetySlot = RegisterEmergencySilence(&PcspkrSink::EmergencySilence, this);
}

PcspkrSink::~PcspkrSink()
{
    UnregisterEmergencySilence(m_nSafetySlot);
    Send(m_fd, 0);
    ::close(m_fd);
}

void PcspkrSink::Send(int fd, int hz)
{
    struct input_event ev = {};
    ev.type = EV_SND;
    ev.code = SND_TONE;
    ev.value = hz;
    // One small write to a character device; a failure leaves nothing more to try.
    while (::write(fd, &ev, sizeof ev) < 0 && errno == EINTR) {
    }
}

void PcspkrSink::EmergencySilence(void* context)
{
    Send(static_cast<PcspkrSink*>(context)->m_fd, 0);
}

void PcspkrSink::Tone(uint32_t divisor)
{
    const long hz = divisor ? std::lround(double(kPitHz) / divisor) : 0;
    Send(m_fd, hz >= kMinHz && hz <= kMaxHz ? static_cast<int>(hz) : 0);
}

void PcspkrSink::Silence()
{
    Send(m_fd, 0);
}

} // namespace tinkla
