// The sinks behind the speaker: the SINK grammar, the events they send, the fallbacks when a
// device is missing, the click-free voice, and silence on every way the program can end.
#include "devices/Pit.h"
#include "devices/SoundDevices.h"
#include "devices/SoundSafety.h"
#include "devices/SoundWav.h"
#include "devices/SoundWave.h"
#include "devices/Speaker.h"
#include "model/Note.h"

#include "support/DocTestKit.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <linux/input.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

TEST(SinkSpecParse, AcceptsTheFormsAndExplainsTheRest)
{
    struct Row {
        QString text;
        bool ok;
        SinkSpec::Kind kind;
        QString argOrReason; // the argument when ok, else what the message must say
    };
    const Row rows[] = {
        {"audio", true, SinkSpec::Audio, ""},
        {" AUDIO:hw:1,0 ", true, SinkSpec::Audio, "hw:1,0"},
        {"pcspkr:/dev/input/event3", true, SinkSpec::Pcspkr, "/dev/input/event3"},
        {"ports", true, SinkSpec::RealPorts, ""},
        {"wav:C:мелодия a.wav", true, SinkSpec::Wav, "C:мелодия a.wav"},
        {"none", true, SinkSpec::None, ""},
        {"wav:", false, SinkSpec::None, "имя файла"},
        {"ports:0x61", false, SinkSpec::None, "не бывает параметра"},
        {"alsa", false, SinkSpec::None, "«alsa»"},
        {"wav:a\nb", false, SinkSpec::None, "управляющий символ"},
        {"wav:" + QString(kMaxSinkSpecLength, 'a'), false, SinkSpec::None,
         QString::number(kMaxSinkSpecLength)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text.toStdString());
        SinkSpec parsed;
        QString error;
        ASSERT_EQ(ParseSinkSpec(r.text, &parsed, &error), r.ok) << error.toStdString();
        if (r.ok) {
            EXPECT_EQ(parsed.kind, r.kind);
            EXPECT_EQ(parsed.arg, r.argOrReason);
            EXPECT_TRUE(error.isEmpty());
        } else {
            EXPECT_TRUE(error.contains(r.argOrReason)) << error.toStdString();
        }
    }
}

class SpeakerSetupTest : public ::testing::Test
{
protected:
    ~SpeakerSetupTest() override { ShutdownSpeaker(); }
    QTemporaryDir dir;
};

TEST_F(SpeakerSetupTest, RefusalsAndMissingDevicesSayWhyAndLeaveASilentSpeaker)
{
    struct Row {
        QString spec;
        bool ok; // a missing sound device is no error, only a notice
        QString says;
    };
    const Row rows[] = {
        {"beeper", false, "beeper"},
        {"audio:tinkla_no_such_device", true, "tinkla_no_such_device"},
        {"pcspkr:" + dir.filePath("no/event9"), false, "modprobe pcspkr"},
        {"wav:" + dir.filePath("missing/dir/a.wav"), false, "a.wav"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.spec.toStdString());
        const SpeakerSetup s = SetupSpeaker(r.spec);
        EXPECT_EQ(s.ok, r.ok);
        const QString said = r.ok ? s.notice : s.error;
        EXPECT_TRUE(said.contains(r.says)) << said.toStdString();
        EXPECT_TRUE(r.ok || s.error[0].isUpper());
        auto* pit = dynamic_cast<Pit*>(Ports::Instance().Speaker());
        ASSERT_NE(pit, nullptr);
        EXPECT_NE(dynamic_cast<NullSink*>(&pit->Sink()), nullptr);
        CNote(13, 2).SoundOn(); // goes nowhere, harmlessly
        CNote::SoundOff();
    }
}

TEST_F(SpeakerSetupTest, DefaultAudioEitherPlaysOrSaysItCannot)
{
    const SpeakerSetup s = SetupSpeaker(QStringLiteral("audio"));
    EXPECT_TRUE(s.ok);
    auto* pit = dynamic_cast<Pit*>(Ports::Instance().Speaker());
    ASSERT_NE(pit, nullptr);
    EXPECT_EQ(dynamic_cast<AlsaSink*>(&pit->Sink()) != nullptr, s.notice.isEmpty());
    // A short tone and silence must not hang or crash whichever it is.
    CNote(13, 4).SoundOn();
    CNote::SoundOff();
}

TEST_F(SpeakerSetupTest, APcspkrNodeThatIsNoneOrLockedIsRefusedWithTheFix)
{
    QString error;
    EXPECT_EQ(PcspkrSink::Open(QStringLiteral("/dev/null"), &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("/dev/null")));
    // A node the user may not write: the fix is joining the group that owns it.
    test::TempFiles files;
    const QString locked = files.Write(QStringLiteral("event7"), QByteArray());
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const QFileInfo node(locked);
    const QString group = node.groupId() == 0 ? QStringLiteral("input") : node.group();
    const test::UnwritableDir unprivileged(files.Dir());
    if (!unprivileged.ok())
        GTEST_SKIP() << "cannot open a file without permission here";
    EXPECT_EQ(PcspkrSink::Open(locked, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("usermod -aG %1 $USER").arg(group)))
        << error.toStdString();
}

TEST_F(SpeakerSetupTest, RealPortsAreRefusedTellingAMissingPrivilegeFromAMissingIoperm)
{
    const SpeakerSetup s = SetupSpeaker(QStringLiteral("ports"));
    if (s.ok)
        GTEST_SKIP() << "this process may program the real timer";
    const QString reason = geteuid() != 0 ? QStringLiteral("root") : QStringLiteral("ioperm");
    EXPECT_TRUE(s.error.contains(reason) || (geteuid() != 0 && s.error.contains("x86")))
        << s.error.toStdString();
}

// Frequency of the square wave from its rising sign changes (Hz); 0 with fewer than 100.
double RisingHz(const std::vector<int16_t>& pcm, uint32_t rate)
{
    size_t firstRise = 0, lastRise = 0, rises = 0;
    for (size_t i = 1; i < pcm.size(); ++i)
        if (pcm[i - 1] < 0 && pcm[i] > 0) {
            if (!rises++)
                firstRise = i;
            lastRise = i;
        }
    return rises < 100 ? 0 : rate * double(rises - 1) / double(lastRise - firstRise);
}

TEST(AlsaSink, SoundsTheToneFadingInAndEndsInSilence)
{
    QTemporaryDir dir;
    const QString raw = dir.filePath(QStringLiteral("alsa.raw"));
    QString error;
    // alsa-lib's own "file" device: every sample the sink plays lands in a file.
    auto sink = AlsaSink::Open(QStringLiteral("file:'%1',raw").arg(raw), &error);
    if (!sink)
        GTEST_SKIP() << error.toStdString();
    const uint32_t rate = sink->Rate();
    EXPECT_NEAR(sink->PeriodFrames() * 1000.0 / rate, 20.0, 10.0) << "a short period";
    sink->Tone(2711);
    // Its null device takes samples as fast as they come: wait for half a second of them.
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(raw).size() < qint64(rate) && waited.elapsed() < 5000)
        QThread::usleep(500);
    sink->Silence();
    sink.reset();

    const QByteArray bytes = test::TempFiles::Read(raw);
    std::vector<int16_t> pcm(bytes.size() / 2);
    std::memcpy(pcm.data(), bytes.constData(), pcm.size() * 2);
    ASSERT_GT(pcm.size(), size_t(rate / 2));
    EXPECT_LT(std::abs(pcm.front()), kSquareAmplitude / 8) << "fades in";
    EXPECT_EQ(pcm.back(), 0) << "ends silent";
    EXPECT_NEAR(RisingHz(pcm, rate), double(kPitHz) / 2711, 0.05);
}

std::vector<input_event> ReadEvents(const QString& path)
{
    const QByteArray bytes = test::TempFiles::Read(path);
    std::vector<input_event> events(bytes.size() / sizeof(input_event));
    std::memcpy(events.data(), bytes.constData(), events.size() * sizeof(input_event));
    return events;
}

TEST_F(SpeakerSetupTest, PcspkrSendsWholeHertzToneEventsAndEndsSilent)
{
    const QString path = dir.filePath(QStringLiteral("events"));
    QFile(path).open(QIODevice::WriteOnly);
    ASSERT_TRUE(SetupSpeaker(QStringLiteral("pcspkr:") + path).ok);
    CNote(13, 2).SoundOn(); // 1193180 / 2711 = 440.126 Hz
    CNote::SoundOff();
    CNote(31, 2).SoundOn(); // 1193180 / 958 = 1245.49 Hz
    ShutdownSpeaker();      // while sounding
    std::vector<int> values;
    for (const input_event& e : ReadEvents(path)) {
        EXPECT_EQ(e.type, EV_SND);
        EXPECT_EQ(e.code, SND_TONE);
        values.push_back(e.value);
    }
    EXPECT_EQ(values, (std::vector<int>{440, 0, 1245, 0, 0}));
}

TEST(SquareVoice, NoteEdgesRampPitchChangesWaitForASignChangeAndTooHighIsSilence)
{
    const int ramp = 48;
    SquareVoice voice(48000, kSquareAmplitude, ramp);
    std::vector<int16_t> out(48000);
    voice.SetTarget(2711);
    voice.Render(out.data(), 10000);
    voice.SetTarget(958);
    voice.Render(out.data() + 10000, 10000);
    voice.SetTarget(0);
    voice.Render(out.data() + 20000, 28000);
    EXPECT_TRUE(voice.IsSilent());

    const int step = kSquareAmplitude / ramp + 1;
    EXPECT_LE(std::abs(out[0]), step) << "fades in";
    int bigJumps = 0;
    for (size_t i = 1; i < out.size(); ++i) {
        const int jump = std::abs(out[i] - out[i - 1]);
        if (jump > step) {
            // Only the wave's own sign changes (at whatever level the fade has reached), never
            // a cut to or from silence, or within a half-period.
            ASSERT_LT(int(out[i]) * int(out[i - 1]), 0) << i;
            ASSERT_LE(std::abs(std::abs(out[i]) - std::abs(out[i - 1])), step) << i;
            ++bigJumps;
        }
    }
    EXPECT_GT(bigJumps, 50);
    EXPECT_EQ(out.back(), 0);

    SquareVoice high(8000, kSquareAmplitude, 8);
    high.SetTarget(100); // 11.9 kHz, above half the rate
    EXPECT_TRUE(high.IsSilent());
}

TEST(SquareWave, KeepsExactPitchOverMinutes)
{
    SquareWave wave;
    const uint32_t rate = 44100;
    wave.Start(rate, 2711);
    uint64_t edges = 0;
    for (uint64_t i = 0; i < uint64_t(rate) * 600; ++i) {
        bool edge = false;
        wave.Next(&edge);
        edges += edge;
    }
    // 2 × 600 s × 1193180 / 2711 Hz sign changes.
    EXPECT_NEAR(double(edges), 2.0 * 600 * kPitHz / 2711, 1.0);
}

struct ExitCase {
    const char* name;
    void (*end)();
    int signal; // that ends the child; 0: it exits with status 0
};

class EmergencySilence : public ::testing::TestWithParam<ExitCase>
{
};

TEST_P(EmergencySilence, EveryExitSilencesThePcSpeakerAndCompletesTheRecording)
{
    QTemporaryDir dir;
    const QString events = dir.filePath(QStringLiteral("events"));
    const QString wavPath = dir.filePath(QStringLiteral("rec.wav"));
    QFile(events).open(QIODevice::WriteOnly);

    std::fflush(nullptr); // the child must not repeat what the parent has buffered
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The sinks are deliberately leaked: their destructors must not be what saves us.
        auto* speaker = PcspkrSink::Open(events, nullptr).release();
        auto* recorder = WavSink::Open(wavPath, 8000, nullptr).release();
        if (!speaker || !recorder)
            _exit(99);
        speaker->Tone(2711);
        recorder->Tone(2711);
        recorder->Silence(); // some samples on disk
        recorder->Tone(958);
        GetParam().end();
        _exit(98);
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_FALSE(WIFEXITED(status) && WEXITSTATUS(status) >= 98) << "child could not run";
    if (GetParam().signal == 0)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    else
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == GetParam().signal);
    const std::vector<input_event> sent = ReadEvents(events);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent.front().value, 440);
    EXPECT_EQ(sent.back().value, 0) << "the last word to the speaker is silence";
    // The header's two sizes describe the bytes that reached the disk.
    const QByteArray b = test::TempFiles::Read(wavPath);
    ASSERT_GE(b.size(), kWavHeaderBytes);
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 4), quint32(b.size() - 8));
    EXPECT_EQ(qFromLittleEndian<quint32>(b.constData() + 40), quint32(b.size() - kWavHeaderBytes));
}

INSTANTIATE_TEST_SUITE_P(Exits, EmergencySilence,
                         ::testing::Values(ExitCase{"Return", [] { std::exit(0); }, 0},
                                           ExitCase{"Terminate", [] { std::terminate(); }, SIGABRT},
                                           ExitCase{"Abort", [] { std::abort(); }, SIGABRT},
                                           ExitCase{"Segv", [] { raise(SIGSEGV); }, SIGSEGV},
                                           ExitCase{"Int", [] { raise(SIGINT); }, SIGINT},
                                           ExitCase{"Term", [] { raise(SIGTERM); }, SIGTERM}),
                         test::ByName{});

} // namespace
