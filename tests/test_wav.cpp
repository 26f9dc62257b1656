// Melodies rendered to WAV, measured sample by sample: every note at its pitch, every note and
// every silent tick exactly as long as the sequencer makes it; the recording sink against the
// Clock; and the play and wav commands.
#include "devices/SoundWav.h"
#include "devices/SoundWave.h"
#include "devices/WavRender.h"
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "platform/Clock.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>

using namespace tinkla;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct Wav {
    QByteArray bytes;
    uint32_t U32(int at) const { return qFromLittleEndian<quint32>(bytes.constData() + at); }
    uint16_t U16(int at) const { return qFromLittleEndian<quint16>(bytes.constData() + at); }
    size_t Count() const { return (bytes.size() - kWavHeaderBytes) / 2; }
    int16_t At(size_t i) const
    {
        return qFromLittleEndian<qint16>(bytes.constData() + kWavHeaderBytes + i * 2);
    }
    bool SizesAgree() const
    {
        return U32(4) == uint32_t(bytes.size() - 8) && U32(40) == uint32_t(Count() * 2);
    }
};

Wav ReadWav(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return {f.readAll()};
}

// Every header field of a 16-bit mono PCM file at rate holding `samples` samples.
void ExpectHeader(const Wav& w, uint32_t rate, size_t samples)
{
    ASSERT_GE(w.bytes.size(), kWavHeaderBytes);
    EXPECT_EQ(w.bytes.left(4), "RIFF");
    EXPECT_EQ(w.U32(4), uint32_t(36 + samples * 2));
    EXPECT_EQ(w.bytes.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(w.U32(16), 16u);
    EXPECT_EQ(w.U16(20), 1u); // PCM
    EXPECT_EQ(w.U16(22), 1u); // mono
    EXPECT_EQ(w.U32(24), rate);
    EXPECT_EQ(w.U32(28), rate * 2);
    EXPECT_EQ(w.U16(32), 2u);
    EXPECT_EQ(w.U16(34), 16u);
    EXPECT_EQ(w.bytes.mid(36, 4), "data");
    EXPECT_EQ(w.U32(40), uint32_t(samples * 2));
    EXPECT_EQ(w.Count(), samples);
}

// Frequency of the square wave in [from, to): from its rising sign changes (Hz).
double MeasuredHz(const Wav& w, size_t from, size_t to, uint32_t rate)
{
    std::vector<size_t> rises;
    for (size_t i = from + 1; i < to; ++i)
        if (w.At(i - 1) < 0 && w.At(i) > 0)
            rises.push_back(i);
    if (rises.size() < 2)
        return 0;
    const double period = double(rises.back() - rises.front()) / double(rises.size() - 1);
    return rate / period;
}

// A melody holding every tone once, the durations cycling through all five.
CMelody EveryTone()
{
    CMelody m;
    for (int tone = 0; tone < kToneCount; ++tone)
        m.AppendNote(static_cast<BYTE>(tone * 8 + tone % kDurationCount));
    return m;
}

// Checks that the render of the notes from `first` on is exactly the sequencer's timing.
void ExpectEveryNoteExact(const CMelody& m, const Wav& w, uint32_t rate, int first = 0)
{
    uint64_t tick = 0;
    for (int i = first; i < m.GetNoteCount(); ++i) {
        const CNote note(m.GetNoteCode(i));
        const uint64_t on = TickSample(tick, rate);
        const uint64_t off = TickSample(tick + kDurationTicks[note.GetDuration()], rate);
        const uint64_t next = TickSample(tick + kDurationTicks[note.GetDuration()] + 1, rate);
        ASSERT_EQ(w.At(on), kSquareAmplitude) << "note " << i << " starts on its positive half";
        for (uint64_t s = on; s < off; ++s)
            ASSERT_EQ(std::abs(w.At(s)), kSquareAmplitude) << "note " << i << " sample " << s;
        for (uint64_t s = off; s < next; ++s)
            ASSERT_EQ(w.At(s), 0) << "gap after note " << i << " sample " << s;
        const double want = double(kPitHz) / (kPitHz / g_nFrequencies[note.GetTone()]);
        EXPECT_NEAR(MeasuredHz(w, on, off, rate) / want, 1.0, 0.005) << "note " << i;
        tick += kDurationTicks[note.GetDuration()] + 1;
    }
    EXPECT_EQ(w.Count(), TickSample(tick, rate)) << "the melody's ticks × 55 ms, no more";
}

class WavRenderRate : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(WavRenderRate, EveryToneAtItsPitchEveryLengthExact)
{
    const uint32_t rate = GetParam();
    const CMelody m = EveryTone();
    WavRenderOptions options;
    options.rate = rate;
    const Wav w{RenderMelodyWav(m, options)};
    uint64_t ticks = 0;
    for (int i = 0; i < m.GetNoteCount(); ++i)
        ticks += kDurationTicks[m.GetNoteCode(i) & 7] + 1;
    ExpectHeader(w, rate, TickSample(ticks, rate));
    ExpectEveryNoteExact(m, w, rate);
}

INSTANTIATE_TEST_SUITE_P(Rates, WavRenderRate, ::testing::Values(8000u, 44100u, 96000u),
                         [](const auto& info) { return "Hz" + std::to_string(info.param); });

TEST(WavRender, FromTheSelectionAndTheMelodyLeftAsItWas)
{
    CMelody m = EveryTone();
    m.Select(29);
    WavRenderOptions options;
    options.fromSelected = true;
    const Wav w{RenderMelodyWav(m, options)};
    ExpectEveryNoteExact(m, w, options.rate, 29);
    EXPECT_EQ(m.GetSelected(), 29);
    EXPECT_EQ(m.GetPlayIndex(), 0) << "the render played a copy";
    ExpectHeader(Wav{RenderMelodyWav(CMelody(), {})}, 44100, 0);
}

class WavSinkTest : public ::testing::Test
{
protected:
    WavSinkTest() { SetClock(&clock); }
    ~WavSinkTest() override { SetClock(nullptr); }
    FakeClock clock;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("rec.wav"));
};

TEST_F(WavSinkTest, WritesEventsAtTheirClockTimes)
{
    clock.Advance(5000); // the time before the first tone is not recorded
    {
        QString error;
        auto sink = WavSink::Open(path, 44100, &error);
        ASSERT_TRUE(sink) << error.toStdString();
        sink->Tone(2711);
        clock.Advance(100);
        sink->Silence();
        clock.Advance(50);
        sink->Tone(958);
        clock.Advance(100); // still sounding when the sink goes
    }
    const Wav wav = ReadWav(path);
    ASSERT_TRUE(wav.SizesAgree());
    ASSERT_EQ(wav.Count(), 4410u + 2205u + 4410u);
    for (size_t i = 0; i < wav.Count(); ++i) {
        const bool gap = i >= 4410 && i < 6615;
        ASSERT_EQ(wav.At(i) == 0, gap) << i;
    }
    EXPECT_EQ(wav.At(0), kSquareAmplitude);
    EXPECT_EQ(wav.At(6615), kSquareAmplitude) << "a tone starts on its positive half";
}

TEST_F(WavSinkTest, SilenceAfterTheLastEventIsCutToTheTail)
{
    {
        auto sink = WavSink::Open(path, 8000, nullptr);
        ASSERT_TRUE(sink);
        sink->Tone(2711);
        clock.Advance(55);
        sink->Silence();
        clock.Advance(600000); // ten idle minutes
    }
    EXPECT_TRUE(ReadWav(path).SizesAgree());
    EXPECT_EQ(ReadWav(path).Count(), 440u + 8000u);
    {
        auto sink = WavSink::Open(path, 44100, nullptr);
        ASSERT_TRUE(sink);
        sink->Silence();
    }
    EXPECT_EQ(ReadWav(path).bytes.size(), kWavHeaderBytes) << "nothing played: empty but valid";
    EXPECT_TRUE(ReadWav(path).SizesAgree());
}

class PlayCommands : public ::testing::Test
{
protected:
    PlayCommands()
    {
        test::ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        doc.OnNewDocument(); // 8 × 31
        for (int tone : {13, 16, 20})
            doc.GetMelody(0)->AppendNote(static_cast<BYTE>(tone * 8 + 4));
        doc.GetMelody(2)->AppendNote(13 * 8); // melody 3: two whole notes, 3.6 s
        doc.GetMelody(2)->AppendNote(13 * 8);
        set = dir.filePath(QStringLiteral("set.fml"));
        EXPECT_TRUE(doc.OnSaveDocument(set));
    }

    int Run(const QStringList& args, QString* out = nullptr)
    {
        const test::CliResult r = test::RunCli(args, dir.path());
        if (out)
            *out = QString::fromUtf8(r.out);
        lastErr = r.err;
        return r.code;
    }

    QTemporaryDir dir;
    QString set;
    QString lastErr;
};

TEST_F(PlayCommands, WavWritesWhatTheRendererRenders)
{
    const QString out = dir.filePath(QStringLiteral("m.wav"));
    ASSERT_EQ(Run({QStringLiteral("wav"), set, QStringLiteral("1"), out, QStringLiteral("--rate"),
                   QStringLiteral("22050")}),
              0)
        << lastErr.toStdString();
    CMelody m;
    for (int tone : {13, 16, 20})
        m.AppendNote(static_cast<BYTE>(tone * 8 + 4));
    WavRenderOptions options;
    options.rate = 22050;
    EXPECT_EQ(ReadWav(out).bytes, RenderMelodyWav(m, options));
}

struct ExitCase {
    const char* name;
    QStringList args; // SET stands for the set file
    int status;
};

class PlayCommandExits : public PlayCommands, public ::testing::WithParamInterface<ExitCase>
{
};

TEST_P(PlayCommandExits, RefusalsAndUsage)
{
    QStringList args = GetParam().args;
    args.replaceInStrings(QStringLiteral("SET"), set);
    args.replaceInStrings(QStringLiteral("DIR"), dir.path());
    EXPECT_EQ(Run(args), GetParam().status) << lastErr.toStdString();
    EXPECT_FALSE(lastErr.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayCommandExits,
    ::testing::Values(
        ExitCase{"PlayMelodyNotANumber", {"play", "SET", "x", "--speaker", "none"}, 2},
        ExitCase{"PlayEmptyMelody", {"play", "SET", "2", "--speaker", "none"}, 1},
        ExitCase{"PlayBadSink", {"play", "SET", "1", "--speaker", "beeper"}, 2},
        ExitCase{"PlayFromPastTheEnd", {"play", "SET", "1", "--speaker", "none", "--from", "3"}, 1},
        ExitCase{"PlayUnknownOption", {"play", "SET", "1", "--loud"}, 2},
        ExitCase{"WavRateTooLow", {"wav", "SET", "1", "DIR/o.wav", "--rate", "100"}, 2},
        ExitCase{"WavUnwritable", {"wav", "SET", "1", "DIR/no/o.wav"}, 1},
        ExitCase{"WavTooFewArgs", {"wav", "SET", "1"}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayCommands, PlayInRealTimeFromANoteIntoARecording)
{
    const QString rec = dir.filePath(QStringLiteral("rec.wav"));
    QString out;
    ASSERT_EQ(Run({QStringLiteral("play"), set, QStringLiteral("1"), QStringLiteral("--speaker"),
                   QStringLiteral("wav:") + rec, QStringLiteral("--from"), QStringLiteral("1")},
                  &out),
              0)
        << lastErr.toStdString();
    const QStringList lines = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines, (QStringList{QString::fromUtf8("2  До, Вторая октава  Шестнадцатая"),
                                  QString::fromUtf8("3  Ми, Вторая октава  Шестнадцатая")}));

    const Wav w = ReadWav(rec);
    ASSERT_GT(w.Count(), 0u);
    EXPECT_EQ(w.U32(40), uint32_t(w.Count() * 2));
    // Two sixteenths of 110 ms with a 55 ms gap, timed by the real clock: allow for a busy
    // machine, but the pitches are exact.
    std::vector<std::pair<size_t, size_t>> tones;
    size_t i = 0;
    while (i < w.Count()) {
        while (i < w.Count() && w.At(i) == 0)
            ++i;
        const size_t on = i;
        while (i < w.Count() && w.At(i) != 0)
            ++i;
        if (i > on)
            tones.push_back({on, i});
    }
    ASSERT_EQ(tones.size(), 2u);
    const double ms0 = (tones[0].second - tones[0].first) * 1000.0 / kDefaultWavRate;
    EXPECT_NEAR(ms0, 110.0, 30.0);
    EXPECT_NEAR(MeasuredHz(w, tones[0].first, tones[0].second, kDefaultWavRate),
                double(kPitHz) / (kPitHz / 523), 523 * 0.005);
    EXPECT_NEAR(MeasuredHz(w, tones[1].first, tones[1].second, kDefaultWavRate),
                double(kPitHz) / (kPitHz / 659), 659 * 0.005);
}

TEST_F(PlayCommands, PlayWithoutSpeakerOptionUsesTheRememberedSink)
{
    const QString rec = dir.filePath(QStringLiteral("remembered.wav"));
    ASSERT_TRUE(test::WriteSettings(dir.path(), "[Sound]\nSpeaker=wav:" + rec.toUtf8() + "\n"));
    ASSERT_EQ(Run({QStringLiteral("play"), set, QStringLiteral("1")}), 0) << lastErr.toStdString();
    EXPECT_GT(ReadWav(rec).Count(), 0u);
}

TEST_F(PlayCommands, TerminatedPlayStopsAndCompletesTheRecording)
{
    const QString rec = dir.filePath(QStringLiteral("stopped.wav"));
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
            {QStringLiteral("play"), set, QStringLiteral("3"), QStringLiteral("--speaker"),
             QStringLiteral("wav:") + rec});
    ASSERT_TRUE(p.waitForReadyRead(10000)) << "the first note is announced";
    p.terminate(); // SIGTERM, as a session logout or a service stop sends it
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("stopped")));
    EXPECT_TRUE(ReadWav(rec).SizesAgree());
}

} // namespace
