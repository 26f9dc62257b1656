#pragma once
// The sinks that make the speaker's tone audible on this machine. Each Open returns nullptr with
// a one-line reason (in the program's language) when the device cannot be used.
#include "devices/SoundSink.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace tinkla
{

// A square wave through ALSA on a thread of its own: period about 20 ms, two periods of buffer.
// Pitch changes wait for the wave's next sign change and tones fade in and out over about a
// millisecond, so note edges do not click. While idle it writes nothing and the stream is stopped.
class AlsaSink final : public SoundSink
{
public:
    // device: an ALSA PCM name, "default" when empty.
    static std::unique_ptr<AlsaSink> Open(const QString& device, QString* error);
    ~AlsaSink() override; // fades out what sounds, lets it play out, closes the device

    void Tone(uint32_t divisor) override;
    void Silence() override;
    // Set when the device failed while playing (unplugged, server gone); sound is off from then.
    QString Notice() const override;

    uint32_t Rate() const { return m_nRate; } // Hz, as the device accepted it
    unsigned long PeriodFrames() const { return m_nPeriod; }

private:
    AlsaSink(void* pcm, QString device, uint32_t rate, unsigned long period);
    void Run();
    void SetTarget(uint32_t divisor);

    void* m_pcm; // snd_pcm_t
    QString m_strDevice;
    uint32_t m_nRate;
    unsigned long m_nPeriod;
    std::atomic<uint32_t> m_nTarget{0};
    bool m_bQuit = false; // under m_mutex
    std::mutex m_mutex;
    std::condition_variable m_cv;
    mutable std::mutex m_noticeMutex;
    QString m_strNotice;
    std::thread m_thread;
};

// The PC speaker through the input layer: EV_SND / SND_TONE events to an evdev node, by default
// the one under /dev/input/by-path whose name holds "pcspkr".
class PcspkrSink final : public SoundSink
{
public:
    // path: the event device; empty to look it up.
    static std::unique_ptr<PcspkrSink> Open(const QString& path, QString* error);
    ~PcspkrSink() override; // tone off, device closed

    // The driver takes whole hertz: kPitHz / divisor rounded; outside 20..32767 Hz it is silence.
    void Tone(uint32_t divisor) override;
    void Silence() override;

    static constexpr const char* kByPathDir = "/dev/input/by-path";

private:
    explicit PcspkrSink(int fd);
    static void EmergencySilence(void* context);
    static void Send(int fd, int hz); // async-signal-safe

    int m_fd;
    int m_nSafetySlot = -1;
};

// The real interval timer and port 0x61 through ioperm: x86 only, and only for root (or a process
// with CAP_SYS_RAWIO).
class RealPitSink final : public SoundSink
{
public:
    static std::unique_ptr<RealPitSink> Open(QString* error);
    ~RealPitSink() override; // gate and speaker bits cleared

    void Tone(uint32_t divisor) override;
    void Silence() override;

private:
    RealPitSink();
    static void EmergencySilence(void* context);

    int m_nSafetySlot = -1;
};

} // namespace tinkla
