#include "devices/SoundWav.h"

#include "devices/SoundSafety.h"
#include "platform/Clock.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundWav)
};
} // namespace

namespace
{
void PutLe(char* at, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

bool WriteAll(int fd, const char* data, size_t n)
{
    while (n > 0) {
        const ssize_t done = ::write(fd, data, n);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

// The two size fields of the header, written in place; async-signal-safe.
void PatchSizes(int fd, uint32_t dataBytes)
{
    char riff[4];
    char data[4];
    PutLe(riff, dataBytes + kWavHeaderBytes - 8, 4);
    PutLe(data, dataBytes, 4);
    if (::pwrite(fd, riff, 4, 4) != 4 || ::pwrite(fd, data, 4, 40) != 4)
        return; // nothing more can be done for the file here
}
} // namespace

QByteArray WavHeader(uint32_t rate, uint32_t dataBytes)
{
    QByteArray h(kWavHeaderBytes, '\0');
    char* p = h.data();
    std::memcpy(p, "RIFF", 4);
    PutLe(p + 4, dataBytes + kWavHeaderBytes - 8, 4);
    std::memcpy(p + 8, "WAVEfmt ", 8);
    PutLe(p + 16, 16, 4); // fmt chunk size
    PutLe(p + 20, 1, 2);  // PCM
    PutLe(p + 22, 1, 2);  // mono
    PutLe(p + 24, rate, 4);
    PutLe(p + 28, rate * 2, 4); // bytes per second
    PutLe(p + 32, 2, 2);        // block align
    PutLe(p + 34, 16, 2);       // bits per sample
    std::memcpy(p + 36, "data", 4);
    PutLe(p + 40, dataBytes, 4);
    return h;
}

std::unique_ptr<WavSink> WavSink::Open(const QString& path, uint32_t rate, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    // A recording never truncates a device or waits on a FIFO.
    if (const QString refusal = NotAnOutputFile(path); !refusal.isEmpty()) {
        if (error)
            *error = Text::tr("Не удалось создать файл «%1»: %2").arg(path, refusal);
        return nullptr;
    }
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (error)
            *error = Text::tr("Не удалось создать файл «%1»: %2")
                         .arg(path, SystemErrorText(errno, true));
        return nullptr;
    }
    const QByteArray header = WavHeader(rate, 0);
    if (!WriteAll(fd, header.constData(), header.size())) {
        if (error)
            *error = Text::tr("Не удалось записать файл «%1»: %2")
                         .arg(path, SystemErrorText(errno, true));
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<WavSink>(new WavSink(fd, path, rate));
}

WavSink::WavSink(int fd, QString path, uint32_t rate)
    : m_fd(fd), m_strPath(std::move(path)), m_nRate(rate)
{
    m_nSafetySlot = RegisterEmergencySilence(&WavSink::EmergencyFinish, this);
}

WavSink::~WavSink()
{
    UnregisterEmergencySilence(m_nSafetySlot);
    if (m_bStarted) {
        double end = TheClock().NowMs();
        if (m_nDivisor == 0)
            end = std::min(end, m_dLastEventMs + kTailMs);
        CatchUp(end);
    }
    PatchSizes(m_fd, m_nDataBytes.load());
    ::close(m_fd);
}

void WavSink::EmergencyFinish(void* context)
{
    auto* self = static_cast<WavSink*>(context);
    PatchSizes(self->m_fd, self->m_nDataBytes.load());
}

void WavSink::WriteSamples(const int16_t* samples, size_t n)
{
    const uint32_t have = m_nDataBytes.load();
    const size_t room = (kMaxWavDataBytes - have) / 2;
    if (n > room) {
        n = room;
        if (m_strNotice.isEmpty())
            m_strNotice = Text::tr("Файл «%1» достиг предельного размера WAV; "
                                   "дальнейший звук не записывается.")
                              .arg(m_strPath);
    }
    if (n == 0)
        return;
    // Little-endian on disk whatever the host.
    std::vector<char> bytes(n * 2);
    for (size_t i = 0; i < n; ++i)
        PutLe(&bytes[2 * i], static_cast<uint16_t>(samples[i]), 2);
    if (!WriteAll(m_fd, bytes.data(), bytes.size())) {
        if (m_strNotice.isEmpty())
            m_strNotice = Text::tr("Не удалось записать файл «%1»: %2")
                              .arg(m_strPath, SystemErrorText(errno, true));
        return;
    }
    m_nDataBytes.store(have + static_cast<uint32_t>(n * 2));
}

void WavSink::CatchUp(double nowMs)
{
    const double elapsed = std::max(0.0, nowMs - m_dStartMs);
    const auto target = static_cast<uint64_t>(std::llround(elapsed * m_nRate / 1000.0));
    constexpr size_t kChunk = 4096;
    int16_t buffer[kChunk];
    while (m_nWritten < target && m_strNotice.isEmpty()) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, target - m_nWritten));
        if (m_nDivisor)
            m_wave.Fill(buffer, n, kSquareAmplitude);
        else
            std::memset(buffer, 0, n * sizeof buffer[0]);
        WriteSamples(buffer, n);
        m_nWritten += n;
    }
}

void WavSink::Tone(uint32_t divisor)
{
    const double now = TheClock().NowMs();
    if (!m_bStarted) {
        m_bStarted = true;
        m_dStartMs = now;
    }
    CatchUp(now);
    m_dLastEventMs = now;
    m_nDivisor = divisor;
    m_wave.Start(m_nRate, divisor);
}

void WavSink::Silence()
{
    if (!m_bStarted)
        return; // nothing has sounded yet: the file starts with the first tone
    const double now = TheClock().NowMs();
    CatchUp(now);
    m_dLastEventMs = now;
    m_nDivisor = 0;
}

} // namespace tinkla
