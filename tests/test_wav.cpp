// WAV: the renderer sample by sample, the recording sink against the Clock, play and wav commands.
#include "devices/SoundWav.h"
#include "devices/SoundWave.h"
#include "devices/WavRender.h"
#include "platform/Clock.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <QtEndian>

using namespace tinkla;

namespace
{

struct Wav {
    static Wav Read(const QString& path) { return {test::TempFiles::Read(path)}; }
    size_t Count() const { return std::max<qsizetype>(bytes.size() - kWavHeaderBytes, 0) / 2; }
    int16_t At(size_t i) const
    {
        return qFromLittleEndian<qint16>(bytes.constData() + kWavHeaderBytes + i * 2);
    }
    QByteArray bytes;
};

// The header of a 16-bit mono PCM file of `samples` samples at rate, and that many samples.
void ExpectHeader(const Wav& w, uint32_t rate, size_t samples = SIZE_MAX)
{
    samples = samples == SIZE_MAX ? w.Count() : samples; // by default, as many as there are
    using test::Le32;
    const QByteArray header = "RIFF" + Le32(36 + samples * 2) + "WAVEfmt " + Le32(16) +
                              QByteArray::fromHex("0100 0100") + Le32(rate) + Le32(rate * 2) +
                              QByteArray::fromHex("0200 1000") + "data" + Le32(samples * 2);
    EXPECT_EQ(w.bytes.left(kWavHeaderBytes).toHex(' '), header.toHex(' '));
    EXPECT_EQ(w.Count(), samples);
}

TEST(WavRender, EveryToneAtItsPitchEveryLengthExactAtEveryRate)
{
    CMelody m; // every tone once, the durations cycling through all five
    for (int tone = 0; tone < kToneCount; ++tone)
        m.AppendNote(static_cast<BYTE>(tone * 8 + tone % kDurationCount));
    m.Select(29);
    // From the selected note too: then only its notes, and the melody is left as it was.
    for (const auto& [rate, first] : {std::pair{8000u, 0}, {44100u, 0}, {96000u, 29}}) {
        SCOPED_TRACE(rate);
        const Wav w{RenderMelodyWav(m, {rate, first > 0})};
        uint64_t tick = 0;
        for (int i = first; i < m.GetNoteCount(); ++i) {
            const CNote note(m.GetNoteCode(i));
            const uint64_t on = TickSample(tick, rate);
            const uint64_t off = TickSample(tick + kDurationTicks[note.GetDuration()], rate);
            tick += kDurationTicks[note.GetDuration()] + 1;
            ASSERT_EQ(w.At(on), kSquareAmplitude) << "note " << i << " starts positive";
            int flips = 0; // two a period, the first after half of one
            for (uint64_t s = on; s < off; ++s) {
                ASSERT_EQ(std::abs(w.At(s)), kSquareAmplitude) << "note " << i << " at " << s;
                flips += s > on && w.At(s) != w.At(s - 1);
            }
            for (uint64_t s = off; s < TickSample(tick, rate); ++s)
                ASSERT_EQ(w.At(s), 0) << "gap after note " << i << " at " << s;
            const double hz = double(kPitHz) / (kPitHz / g_nFrequencies[note.GetTone()]);
            EXPECT_NEAR(flips, 2.0 * hz * double(off - on) / rate, 1.5) << "note " << i;
        }
        ExpectHeader(w, rate, TickSample(tick, rate)); // the melody's ticks, no more
    }
    EXPECT_EQ(m.GetSelected(), 29);
    EXPECT_EQ(m.GetPlayIndex(), 0) << "the render played a copy";
    ExpectHeader(Wav{RenderMelodyWav(CMelody(), {})}, 44100, 0);
}

TEST(WavSink, WritesEventsAtTheirClockTimesAndCutsTheSilenceAfterThemToTheTail)
{
    FakeClock clock;
    SetClock(&clock);
    const std::shared_ptr<void> restore(nullptr, [](void*) { SetClock(nullptr); }); // when it ends
    const test::TempFiles files;
    clock.Advance(5000); // the time before the first tone is not recorded
    {
        auto sink = WavSink::Open(files.Path("rec.wav"), 8000, nullptr);
        ASSERT_TRUE(sink);
        sink->Tone(2711);
        clock.Advance(100);
        sink->Silence();
        clock.Advance(50);
        sink->Tone(958);
        clock.Advance(100);
        sink->Silence();
        clock.Advance(600000); // ten idle minutes: a second of them is kept
    }
    const Wav wav = Wav::Read(files.Path("rec.wav"));
    ExpectHeader(wav, 8000, 800 + 400 + 800 + 8000);
    for (size_t i = 0; i < wav.Count(); ++i)
        ASSERT_EQ(wav.At(i) == 0, (i >= 800 && i < 1200) || i >= 2000) << i;
    if (auto sink = WavSink::Open(files.Path("rec.wav"), 44100, nullptr))
        sink->Silence(); // before any tone: nothing to write, an empty but valid file
    ExpectHeader(Wav::Read(files.Path("rec.wav")), 44100, 0);
}

TEST(PlayAndWavCommands, RenderPlayInRealTimeRefuseWithTheirStatusAndStopOnSigterm)
{
    QTemporaryDir dir;
    const QString set = dir.filePath(QStringLiteral("set.fml"));
    CMelody tune; // melody 1; 2 stays empty, 3 holds two whole notes (3.6 s)
    for (BYTE code : {13 * 8 + 4, 16 * 8 + 4, 20 * 8 + 4})
        tune.AppendNote(code);
    {
        test::ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        doc.OnNewDocument(); // 8 × 31
        *doc.GetMelody(0) = tune;
        doc.GetMelody(2)->AppendNote(13 * 8);
        doc.GetMelody(2)->AppendNote(13 * 8);
        ASSERT_TRUE(doc.OnSaveDocument(set));
    }
    const auto run = [&](QStringList args) { // SET stands for the set, DIR for the scratch folder
        args.replaceInStrings(QStringLiteral("SET"), set);
        return test::RunCli(args.replaceInStrings(QStringLiteral("DIR"), dir.path()), dir.path());
    };
    test::CliResult r = run({"wav", "SET", "1", "DIR/m.wav", "--rate", "22050"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(Wav::Read(dir.filePath(QStringLiteral("m.wav"))).bytes,
              RenderMelodyWav(tune, {22050}));

    const QString rec = dir.filePath(QStringLiteral("rec.wav"));
    ASSERT_TRUE(test::WriteSettings(dir.path(), "[Sound]\nSpeaker=wav:" + rec.toUtf8() + "\n"));
    r = run({"play", "SET", "1", "--from", "1"}); // to the remembered sink
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QString::fromUtf8("2  До, Вторая октава  Шестнадцатая"),
                           QString::fromUtf8("3  Ми, Вторая октава  Шестнадцатая")}));
    const Wav played = Wav::Read(rec);
    ExpectHeader(played, kDefaultWavRate);
    // Timed by the real clock, so a busy machine is allowed for, but a command line at the wrong
    // tick rate or pitch is not: two sixteenths of 110 ms, at 523 and 659 Hz.
    std::vector<std::pair<size_t, int>> runs; // samples and sign changes of each sounding run
    for (size_t i = 0; i < played.Count(); ++i) {
        if (played.At(i) == 0)
            continue;
        if (i == 0 || played.At(i - 1) == 0)
            runs.push_back({0, 0});
        runs.back().first++;
        runs.back().second += runs.back().first > 1 && played.At(i) != played.At(i - 1);
    }
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_NEAR(runs[0].first * 1000.0 / kDefaultWavRate, 110.0, 30.0);
    for (const auto& [run, hz] : {std::pair{runs[0], 523}, {runs[1], 659}})
        EXPECT_NEAR(run.second * double(kDefaultWavRate) / (2.0 * run.first), hz, hz * 0.02);

    const std::pair<QStringList, int> refusals[] = {
        {{"play", "SET", "x", "--speaker", "none"}, 2},
        {{"play", "SET", "2", "--speaker", "none"}, 1}, // an empty melody
        {{"play", "SET", "1", "--speaker", "beeper"}, 2},
        {{"play", "SET", "1", "--speaker", "none", "--from", "3"}, 1},
        {{"play", "SET", "1", "--loud"}, 2},
        {{"wav", "SET", "1", "DIR/o.wav", "--rate", "100"}, 2},
        {{"wav", "SET", "1", "DIR/no/o.wav"}, 1},
        {{"wav", "SET", "1"}, 2},
    };
    for (const auto& [args, status] : refusals) {
        r = run(args);
        EXPECT_EQ(r.code, status) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
    }

    // Stopped as a session logout or a service stop does it, by SIGTERM, the recording is whole.
    QFile::remove(rec);
    QProcess p;
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
            {QStringLiteral("play"), set, QStringLiteral("3"), QStringLiteral("--speaker"),
             QStringLiteral("wav:") + rec});
    ASSERT_TRUE(p.waitForReadyRead(10000)) << "the first note is announced";
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("stopped")));
    const Wav stopped = Wav::Read(rec);
    EXPECT_GT(stopped.Count(), 0u);
    ExpectHeader(stopped, kDefaultWavRate);
}

} // namespace
