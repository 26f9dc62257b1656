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
        return bytes.size() >= kWavHeaderBytes && U32(4) == uint32_t(bytes.size() - 8) &&
               U32(40) == uint32_t(Count() * 2);
    }
};

Wav ReadWav(const QString& path)
{
    return {test::TempFiles::Read(path)};
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
    return rate * double(rises.size() - 1) / double(rises.back() - rises.front());
}

TEST(WavRender, EveryToneAtItsPitchEveryLengthExactAtEveryRate)
{
    CMelody m; // every tone once, the durations cycling through all five
    for (int tone = 0; tone < kToneCount; ++tone)
        m.AppendNote(static_cast<BYTE>(tone * 8 + tone % kDurationCount));
    m.Select(29);
    for (const uint32_t rate : {8000u, 44100u, 96000u}) {
        SCOPED_TRACE(rate);
        WavRenderOptions options;
        options.rate = rate;
        // From the selected note too: then only its notes, and the melody is left as it was.
        for (const int first : {0, 29}) {
            options.fromSelected = first > 0;
            const Wav w{RenderMelodyWav(m, options)};
            uint64_t tick = 0;
            for (int i = first; i < m.GetNoteCount(); ++i)
                tick += kDurationTicks[m.GetNoteCode(i) & 7] + 1;
            ExpectHeader(w, rate, TickSample(tick, rate));
            tick = 0;
            for (int i = first; i < m.GetNoteCount(); ++i) {
                const CNote note(m.GetNoteCode(i));
                const uint64_t on = TickSample(tick, rate);
                const uint64_t off = TickSample(tick + kDurationTicks[note.GetDuration()], rate);
                tick += kDurationTicks[note.GetDuration()] + 1;
                ASSERT_EQ(w.At(on), kSquareAmplitude) << "note " << i << " starts positive";
                for (uint64_t s = on; s < off; ++s)
                    ASSERT_EQ(std::abs(w.At(s)), kSquareAmplitude) << "note " << i << " at " << s;
                for (uint64_t s = off; s < TickSample(tick, rate); ++s)
                    ASSERT_EQ(w.At(s), 0) << "gap after note " << i << " at " << s;
                const double want = double(kPitHz) / (kPitHz / g_nFrequencies[note.GetTone()]);
                EXPECT_NEAR(MeasuredHz(w, on, off, rate) / want, 1.0, 0.005) << "note " << i;
            }
        }
    }
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
    ExpectHeader(wav, 44100, 4410 + 2205 + 4410);
    for (size_t i = 0; i < wav.Count(); ++i)
        ASSERT_EQ(wav.At(i) == 0, i >= 4410 && i < 6615) << i;
    EXPECT_EQ(wav.At(6615), kSquareAmplitude) << "a tone starts on its positive half";
    EXPECT_NEAR(MeasuredHz(wav, 0, 4410, 44100), double(kPitHz) / 2711, 0.5);
    EXPECT_NEAR(MeasuredHz(wav, 6615, wav.Count(), 44100), double(kPitHz) / 958, 1.5);
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
    ExpectHeader(ReadWav(path), 8000, 440 + 8000);
    {
        auto sink = WavSink::Open(path, 44100, nullptr);
        ASSERT_TRUE(sink);
        sink->Silence();
    }
    ExpectHeader(ReadWav(path), 44100, 0); // nothing played: empty but valid
}

class PlayCommands : public ::testing::Test
{
protected:
    PlayCommands()
    {
        test::ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        doc.OnNewDocument(); // 8 × 31
        for (int tone : {13, 16, 20}) {
            tune.AppendNote(static_cast<BYTE>(tone * 8 + 4));
            doc.GetMelody(0)->AppendNote(static_cast<BYTE>(tone * 8 + 4));
        }
        doc.GetMelody(2)->AppendNote(13 * 8); // melody 3: two whole notes, 3.6 s
        doc.GetMelody(2)->AppendNote(13 * 8);
        EXPECT_TRUE(doc.OnSaveDocument(set));
    }
    int Run(QStringList args, QString* out = nullptr)
    {
        args.replaceInStrings(QStringLiteral("SET"), set);
        args.replaceInStrings(QStringLiteral("DIR"), dir.path());
        const test::CliResult r = test::RunCli(args, dir.path());
        if (out)
            *out = QString::fromUtf8(r.out);
        lastErr = r.err;
        return r.code;
    }

    CMelody tune;
    QTemporaryDir dir;
    QString set = dir.filePath(QStringLiteral("set.fml"));
    QString lastErr;
};

TEST_F(PlayCommands, WavWritesWhatTheRendererRenders)
{
    ASSERT_EQ(Run({"wav", "SET", "1", "DIR/m.wav", "--rate", "22050"}), 0) << lastErr.toStdString();
    WavRenderOptions options;
    options.rate = 22050;
    EXPECT_EQ(ReadWav(dir.filePath(QStringLiteral("m.wav"))).bytes, RenderMelodyWav(tune, options));
}

TEST_F(PlayCommands, RefusalsAndUsageExitWithTheirStatus)
{
    const std::pair<QStringList, int> rows[] = {
        {{"play", "SET", "x", "--speaker", "none"}, 2},
        {{"play", "SET", "2", "--speaker", "none"}, 1}, // an empty melody
        {{"play", "SET", "1", "--speaker", "beeper"}, 2},
        {{"play", "SET", "1", "--speaker", "none", "--from", "3"}, 1},
        {{"play", "SET", "1", "--loud"}, 2},
        {{"wav", "SET", "1", "DIR/o.wav", "--rate", "100"}, 2},
        {{"wav", "SET", "1", "DIR/no/o.wav"}, 1},
        {{"wav", "SET", "1"}, 2},
    };
    for (const auto& [args, status] : rows) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(Run(args), status) << lastErr.toStdString();
        EXPECT_FALSE(lastErr.isEmpty());
    }
}

TEST_F(PlayCommands, PlayInRealTimeFromANoteIntoARecording)
{
    QString out;
    ASSERT_EQ(Run({"play", "SET", "1", "--speaker", "wav:DIR/rec.wav", "--from", "1"}, &out), 0)
        << lastErr.toStdString();
    EXPECT_EQ(out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QString::fromUtf8("2  До, Вторая октава  Шестнадцатая"),
                           QString::fromUtf8("3  Ми, Вторая октава  Шестнадцатая")}));
    // Two sixteenths of 110 ms with a 55 ms gap, timed by the real clock: allow for a busy
    // machine.
    const Wav w = ReadWav(dir.filePath(QStringLiteral("rec.wav")));
    EXPECT_TRUE(w.SizesAgree());
    std::vector<double> ms; // each sounding run
    for (size_t i = 0; i < w.Count(); ++i) {
        if (w.At(i) == 0)
            continue;
        if (i == 0 || w.At(i - 1) == 0)
            ms.push_back(0);
        ms.back() += 1000.0 / kDefaultWavRate;
    }
    ASSERT_EQ(ms.size(), 2u);
    EXPECT_NEAR(ms[0], 110.0, 30.0);
}

TEST_F(PlayCommands, PlayWithoutSpeakerOptionUsesTheRememberedSink)
{
    const QString rec = dir.filePath(QStringLiteral("remembered.wav"));
    ASSERT_TRUE(test::WriteSettings(dir.path(), "[Sound]\nSpeaker=wav:" + rec.toUtf8() + "\n"));
    ASSERT_EQ(Run({"play", "SET", "1"}), 0) << lastErr.toStdString();
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
