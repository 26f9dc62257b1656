#pragma once
// 16-bit mono PCM WAV: the header, and a sink that records the speaker into a file as the events
// arrive, timed by the Clock.
#include "devices/SoundSink.h"
#include "devices/SoundWave.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <memory>

namespace tinkla
{

constexpr uint32_t kDefaultWavRate = 44100; // Hz
constexpr uint32_t kMinWavRate = 8000;
constexpr uint32_t kMaxWavRate = 96000;
constexpr int kWavHeaderBytes = 44;
// The most sample data a RIFF file can describe (its sizes are 32-bit), kept to whole samples.
constexpr uint32_t kMaxWavDataBytes = 0xFFFFFFF0u;

// The 44-byte header of a 16-bit mono PCM file holding dataBytes of samples.
QByteArray WavHeader(uint32_t rate, uint32_t dataBytes);

class WavSink final : public SoundSink
{
public:
    // Creates (or truncates) path and writes a header for an empty file. nullptr with the reason
    // when the file cannot be created.
    static std::unique_ptr<WavSink> Open(const QString& path, uint32_t rate, QString* error);
    // Writes what is still sounding up to now, completes the header and closes the file.
    ~WavSink() override;

    // The file starts at the first event; the time between events is written as it passed on
    // the Clock (sounding or silent). A tone starts at the positive half of its wave.
    void Tone(uint32_t divisor) override;
    void Silence() override;
    QString Notice() const override { return m_strNotice; }
    uint64_t SamplesWritten() const { return m_nWritten; }

    // Silence after the last event that is kept when the file is closed (ms).
    static constexpr double kTailMs = 1000.0;

private:
    WavSink(int fd, QString path, uint32_t rate);
    void CatchUp(double nowMs);
    void WriteSamples(const int16_t* samples, size_t n);
    static void EmergencyFinish(void* context);

    int m_fd;
    QString m_strPath;
    uint32_t m_nRate;
    bool m_bStarted = false;
    double m_dStartMs = 0;
    double m_dLastEventMs = 0;
    uint64_t m_nWritten = 0; // samples
    uint32_t m_nDivisor = 0; // sounding now, 0 = silent
    SquareWave m_wave;
    std::atomic<uint32_t> m_nDataBytes{0}; // read by the emergency path
    QString m_strNotice;
    int m_nSafetySlot = -1;
};

} // namespace tinkla
