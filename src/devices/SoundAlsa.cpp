#include "devices/SoundDevices.h"
#include "devices/SoundWave.h"

#include <QCoreApplication>
#include <vector>

#ifdef TINKLA_HAVE_ALSA
#include <alsa/asoundlib.h>
#endif

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundAlsa)
};
} // namespace

#ifdef TINKLA_HAVE_ALSA

namespace
{
constexpr unsigned kWantedRate = 48000;     // Hz
constexpr unsigned kWantedPeriodUs = 20000; // one period of samples per write
constexpr unsigned kWantedBufferUs = 40000; // what can be queued ahead: the latency
constexpr double kRampMs = 1.0;             // fade in and out of a tone
constexpr double kIdleStopMs = 300.0;       // silence after which the stream is stopped

snd_pcm_t* Pcm(void* p)
{
    return static_cast<snd_pcm_t*>(p);
}

// ALSA reports every failed probe on stderr itself; the program says what matters in its own
// words instead.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

QString AlsaText(int err)
{
    return QString::fromLocal8Bit(snd_strerror(err));
}
} // namespace

std::unique_ptr<AlsaSink> AlsaSink::Open(const QString& device, QString* error)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsa); });

    const QString name = device.isEmpty() ? QStringLiteral("default") : device;
    auto fail = [&](const QString& what, int err) {
        if (error)
            *error =
                Text::tr("звуковое устройство ALSA «%1»: %2 (%3)").arg(name, what, AlsaText(err));
        return nullptr;
    };

    snd_pcm_t* pcm = nullptr;
    // Non-blocking open: a busy device must not hang the program's start.
    int err = snd_pcm_open(&pcm, name.toLocal8Bit().constData(), SND_PCM_STREAM_PLAYBACK,
                           SND_PCM_NONBLOCK);
    if (err < 0)
        return fail(Text::tr("не открывается"), err);
    std::unique_ptr<snd_pcm_t, int (*)(snd_pcm_t*)> guard(pcm, snd_pcm_close);
    snd_pcm_nonblock(pcm, 0);

    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = kWantedRate;
    unsigned periodUs = kWantedPeriodUs;
    unsigned bufferUs = kWantedBufferUs;
    int dir = 0;
    if ((err = snd_pcm_hw_params_any(pcm, hw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(pcm, hw, SND_PCM_FORMAT_S16)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(pcm, hw, 1)) < 0 ||
        (err = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, &dir)) < 0 ||
        (err = snd_pcm_hw_params_set_period_time_near(pcm, hw, &periodUs, &dir)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &bufferUs, &dir)) < 0 ||
        (err = snd_pcm_hw_params(pcm, hw)) < 0)
        return fail(Text::tr("не принимает 16-битный моно-звук"), err);
    snd_pcm_uframes_t period = 0;
    snd_pcm_uframes_t buffer = 0;
    snd_pcm_hw_params_get_period_size(hw, &period, &dir);
    snd_pcm_hw_params_get_buffer_size(hw, &buffer);
    snd_pcm_hw_params_get_rate(hw, &rate, &dir);
    if (period == 0 || rate == 0)
        return fail(Text::tr("не сообщает своих параметров"), -EINVAL);

    snd_pcm_sw_params_t* sw = nullptr;
    snd_pcm_sw_params_alloca(&sw);
    // Start with the first period written: waiting for a full buffer would only add latency.
    if ((err = snd_pcm_sw_params_current(pcm, sw)) < 0 ||
        (err = snd_pcm_sw_params_set_start_threshold(pcm, sw, period)) < 0 ||
        (err = snd_pcm_sw_params_set_avail_min(pcm, sw, period)) < 0 ||
        (err = snd_pcm_sw_params(pcm, sw)) < 0 || (err = snd_pcm_prepare(pcm)) < 0)
        return fail(Text::tr("не настраивается"), err);

    guard.release();
    return std::unique_ptr<AlsaSink>(new AlsaSink(pcm, name, rate, period));
}

AlsaSink::AlsaSink(void* pcm, QString device, uint32_t rate, unsigned long period)
    : m_pcm(pcm), m_strDevice(std::move(device)), m_nRate(rate), m_nPeriod(period)
{
    m_thread = std::thread([this] { Run(); });
}

AlsaSink::~AlsaSink()
{
    {
        const std::lock_guard lock(m_mutex);
        m_bQuit = true;
        m_nTarget.store(0);
    }
    m_cv.notify_all();
    m_thread.join();
    snd_pcm_close(Pcm(m_pcm));
}

void AlsaSink::SetTarget(uint32_t divisor)
{
    {
        const std::lock_guard lock(m_mutex);
        m_nTarget.store(divisor);
    }
    m_cv.notify_all();
}

void AlsaSink::Tone(uint32_t divisor)
{
    SetTarget(divisor);
}

void AlsaSink::Silence()
{
    SetTarget(0);
}

QString AlsaSink::Notice() const
{
    const std::lock_guard lock(m_noticeMutex);
    return m_strNotice;
}

void AlsaSink::Run()
{
    snd_pcm_t* pcm = Pcm(m_pcm);
    SquareVoice voice(m_nRate, kSquareAmplitude, static_cast<int>(m_nRate * kRampMs / 1000.0));
    std::vector<int16_t> buffer(m_nPeriod);
    const auto idleLimit = static_cast<unsigned long>(m_nRate * kIdleStopMs / 1000.0);
    unsigned long idleFrames = 0;
    bool running = false; // frames have been written since the last stop

    for (;;) {
        bool quit = false;
        {
            std::unique_lock lock(m_mutex);
            // Idle and stopped: sleep until there is a tone to play or we are told to go.
            if (!running && voice.IsSilent())
                m_cv.wait(lock, [&] { return m_bQuit || m_nTarget.load() != 0; });
            quit = m_bQuit;
        }
        voice.SetTarget(quit ? 0 : m_nTarget.load());
        if (voice.IsSilent()) {
            if (running && (quit || idleFrames >= idleLimit)) {
                // Let what is queued (the fade-out, then silence) play, and stop the stream.
                snd_pcm_drain(pcm);
                snd_pcm_prepare(pcm);
                running = false;
                idleFrames = 0;
            }
            if (quit)
                return;
            if (!running)
                continue;
            idleFrames += m_nPeriod;
        } else {
            idleFrames = 0;
        }
        voice.Render(buffer.data(), buffer.size());
        running = true;

        size_t done = 0;
        while (done < buffer.size()) {
            snd_pcm_sframes_t n = snd_pcm_writei(pcm, buffer.data() + done, buffer.size() - done);
            if (n == -EAGAIN)
                continue;
            if (n < 0)
                n = snd_pcm_recover(pcm, static_cast<int>(n), 1); // an underrun: start again
            if (n < 0) {
                {
                    const std::lock_guard lock(m_noticeMutex);
                    m_strNotice = Text::tr("Звуковое устройство «%1» перестало "
                                           "отвечать (%2); звук отключен.")
                                      .arg(m_strDevice, AlsaText(static_cast<int>(n)));
                }
                snd_pcm_drop(pcm);
                // Nothing more can be played; wait for the end without spinning.
                std::unique_lock lock(m_mutex);
                m_cv.wait(lock, [&] { return m_bQuit; });
                return;
            }
            done += static_cast<size_t>(n);
        }
    }
}

#else // no ALSA at build time

std::unique_ptr<AlsaSink> AlsaSink::Open(const QString&, QString* error)
{
    if (error)
        *error = Text::tr("программа собрана без ALSA");
    return nullptr;
}

AlsaSink::AlsaSink(void* pcm, QString device, uint32_t rate, unsigned long period)
    : m_pcm(pcm), m_strDevice(std::move(device)), m_nRate(rate), m_nPeriod(period)
{
}
AlsaSink::~AlsaSink() = default;
void AlsaSink::Tone(uint32_t) {}
void AlsaSink::Silence() {}
QString AlsaSink::Notice() const
{
    return {};
}
void AlsaSink::Run() {}
void AlsaSink::SetTarget(uint32_t) {}

#endif

} // namespace tinkla
