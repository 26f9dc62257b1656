// Sinks: the SINK text, what each sends, fallbacks, the click-free voice, silence on every exit.
#include "devices/Pit.h"
#include "devices/SoundDevices.h"
#include "devices/SoundWav.h"
#include "devices/SoundWave.h"
#include "devices/Speaker.h"
#include "support/DocTestKit.h"

#include <QFileInfo>
#include <QThread>

#include <cstring>
#include <linux/input.h>
#include <sys/wait.h>

using namespace tinkla;

namespace
{

TEST(SpeakerSetup, RefusalsAndMissingDevicesSayWhyAndLeaveASilentSpeaker)
{
    const test::TempFiles files;
    const std::tuple<QString, bool, QString> rows[] = {
        // A missing sound device is no error, only a notice; the default one may be there.
        // Trimmed, in any case; the argument is all after the first colon.
        {" AUDIO:tinkla_no_such_device ", true, "tinkla_no_such_device"},
        {"audio", true, ""},
        {"pcspkr:" + files.Write("events", ""), true, ""},
        {"beeper", false, "beeper"},
        {"wav:", false, "имя файла"},
        {"ports:0x61", false, "не бывает параметра"},
        {"wav:a\nb", false, "управляющий символ"},
        {"wav:" + QString(kMaxSinkSpecLength, 'a'), false, QString::number(kMaxSinkSpecLength)},
        {"pcspkr:" + files.Path("no/event9"), false, "modprobe pcspkr"},
        {"pcspkr:/dev/null", false, "/dev/null"},
        {"wav:" + files.Path("missing/dir/мелодия a:b.wav"), false, "/dir/мелодия a:b.wav"},
    };
    for (const auto& [sink, ok, says] : rows) {
        SCOPED_TRACE(sink.toStdString());
        const SpeakerSetup s = SetupSpeaker(sink);
        EXPECT_EQ(s.ok, ok);
        EXPECT_TRUE((ok ? s.notice : s.error).contains(says)) << s.error.toStdString();
        EXPECT_TRUE(ok || !s.error[0].isLower()) << "a sentence of its own";
        auto* pit = dynamic_cast<Pit*>(Ports::Instance().Speaker());
        ASSERT_NE(pit, nullptr);
        const bool silent = dynamic_cast<NullSink*>(&pit->Sink()) != nullptr;
        EXPECT_EQ(silent, !s.ok || !s.notice.isEmpty());
    }
    // A working event node is the PC speaker itself, not a stand-in with a notice.
    EXPECT_TRUE(SetupSpeaker("pcspkr:" + files.Path("events")).notice.isEmpty());
    auto* pit = dynamic_cast<Pit*>(Ports::Instance().Speaker());
    ASSERT_NE(pit, nullptr);
    EXPECT_NE(dynamic_cast<PcspkrSink*>(&pit->Sink()), nullptr);
    ShutdownSpeaker();
}

TEST(SpeakerSetup, RealPortsAreRefusedTellingAMissingPrivilegeFromAMissingIoperm)
{
    const SpeakerSetup s = SetupSpeaker(QStringLiteral("ports"));
    ShutdownSpeaker();
    if (s.ok)
        GTEST_SKIP() << "this process may program the real timer";
    EXPECT_TRUE(s.error.contains(geteuid() ? "root" : "ioperm") ||
                (geteuid() && s.error.contains("x86")))
        << s.error.toStdString();
}

// A node the user may not write: the fix is joining the group that owns it.
TEST(PcspkrSink, ALockedNodeIsRefusedWithTheFix)
{
    test::TempFiles files;
    const QString locked = files.Write(QStringLiteral("event7"), QByteArray());
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const QString group = QFileInfo(locked).groupId() ? QFileInfo(locked).group() : "input";
    const test::UnwritableDir unprivileged(files.Dir());
    if (!unprivileged.ok())
        GTEST_SKIP() << "cannot open a file without permission here";
    QString error;
    EXPECT_EQ(PcspkrSink::Open(locked, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("usermod -aG %1 $USER").arg(group)))
        << error.toStdString();
}

TEST(AlsaSink, SoundsTheToneAtItsPitchAndEndsInSilence)
{
    const test::TempFiles files;
    const QString raw = files.Path(QStringLiteral("alsa.raw"));
    QString error;
    // alsa-lib's own "file" device: every sample the sink plays lands in a file.
    auto sink = AlsaSink::Open(QStringLiteral("file:'%1',raw").arg(raw), &error);
    if (!sink)
        GTEST_SKIP() << error.toStdString();
    const uint32_t rate = sink->Rate();
    EXPECT_NEAR(sink->PeriodFrames() * 1000.0 / rate, 20.0, 10.0) << "a short period";
    sink->Tone(2711);
    // Its null device takes samples as fast as they come: wait for half a second of them.
    for (int ms = 0; QFileInfo(raw).size() < qint64(rate) && ms < 5000; ++ms)
        QThread::msleep(1);
    sink->Silence();
    sink.reset();

    const QByteArray bytes = test::TempFiles::Read(raw);
    std::vector<int16_t> pcm(bytes.size() / 2);
    std::memcpy(pcm.data(), bytes.constData(), pcm.size() * 2);
    ASSERT_GT(pcm.size(), size_t(rate / 2));
    EXPECT_EQ(pcm.back(), 0) << "ends silent";
    size_t firstRise = 0, lastRise = 0, rises = 0;
    for (size_t i = 1; i < pcm.size(); ++i)
        if (pcm[i - 1] < 0 && pcm[i] > 0) {
            firstRise = rises++ ? firstRise : i;
            lastRise = i;
        }
    EXPECT_NEAR(rate * double(rises - 1) / double(lastRise - firstRise), kPitHz / 2711.0, 0.05);
}

TEST(SquareVoice, NoteEdgesRampPitchChangesWaitForASignChangeAndTooHighIsSilence)
{
    const int ramp = 48, step = kSquareAmplitude / ramp + 1;
    SquareVoice voice(48000, kSquareAmplitude, ramp);
    std::vector<int16_t> out(48000);
    for (const auto& [divisor, from, to] :
         {std::tuple{2711u, 0, 10000}, {958u, 10000, 20000}, {0u, 20000, 48000}}) {
        voice.SetTarget(divisor);
        voice.Render(out.data() + from, to - from);
    }
    EXPECT_LE(std::abs(out[0]), step) << "fades in";
    int bigJumps = 0;
    for (size_t i = 1; i < out.size(); ++i) {
        if (std::abs(out[i] - out[i - 1]) <= step)
            continue;
        // Only the wave's own sign changes (at whatever level the fade has reached), never a cut
        // to or from silence, or within a half-period.
        ASSERT_LT(int(out[i]) * int(out[i - 1]), 0) << i;
        ASSERT_LE(std::abs(std::abs(out[i]) - std::abs(out[i - 1])), step) << i;
        ++bigJumps;
    }
    EXPECT_GT(bigJumps, 50);
    EXPECT_EQ(out.back(), 0);

    SquareVoice low(8000, kSquareAmplitude, 8);
    low.SetTarget(100); // 11.9 kHz, above half the rate
    EXPECT_TRUE(low.IsSilent());
}

TEST(EmergencySilence, EveryExitSilencesThePcSpeakerAndCompletesTheRecording)
{
    const std::tuple<const char*, void (*)(), int> exits[] = {
        // How the child ends; the signal that ends it, 0 when it exits with status 0.
        {"return", [] { std::exit(0); }, 0},
        {"terminate", [] { std::terminate(); }, SIGABRT},
        {"segv", [] { raise(SIGSEGV); }, SIGSEGV},
        {"term", [] { raise(SIGTERM); }, SIGTERM},
    };
    for (const auto& [how, end, signal] : exits) {
        SCOPED_TRACE(how);
        const test::TempFiles files;
        const QString events = files.Write(QStringLiteral("events"), QByteArray());
        std::fflush(nullptr); // the child must not repeat what the parent has buffered
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // The sinks are deliberately leaked: their destructors must not be what saves us.
            auto* speaker = PcspkrSink::Open(events, nullptr).release();
            auto* recorder = WavSink::Open(files.Path("rec.wav"), 8000, nullptr).release();
            speaker->Tone(2711); // 1193180 / 2711 = 440.126 Hz: whole hertz go to the driver
            speaker->Silence();
            speaker->Tone(958); // 1245.49 Hz
            recorder->Tone(2711);
            recorder->Silence(); // some samples on disk
            recorder->Tone(958);
            end();
            _exit(98);
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(signal ? WIFSIGNALED(status) && WTERMSIG(status) == signal : status == 0);
        std::vector<int> values; // the last word to the speaker is silence
        const QByteArray sent = test::TempFiles::Read(events);
        for (qsizetype at = 0; at + qsizetype(sizeof(input_event)) <= sent.size();
             at += sizeof(input_event)) {
            const auto* e = reinterpret_cast<const input_event*>(sent.constData() + at);
            EXPECT_TRUE(e->type == EV_SND && e->code == SND_TONE) << e->type << ' ' << e->code;
            values.push_back(e->value);
        }
        values.erase(std::unique(values.begin(), values.end()), values.end()); // silence twice
        EXPECT_EQ(values, (std::vector<int>{440, 0, 1245, 0}));
        // The header's two sizes describe the bytes that reached the disk.
        const QByteArray b = test::TempFiles::Read(files.Path("rec.wav"));
        ASSERT_GE(b.size(), kWavHeaderBytes);
        EXPECT_EQ(b.mid(4, 4), test::Le32(b.size() - 8));
        EXPECT_EQ(b.mid(40, 4), test::Le32(b.size() - kWavHeaderBytes));
    }
}

} // namespace
