// Listening from the command line: a melody played in real time on the chosen speaker, and a
// melody rendered offline into a WAV file.
#include "cli/CliDoc.h"
#include "cli/PortConnection.h"
#include "devices/SoundWav.h"
#include "devices/Speaker.h"
#include "devices/WavRender.h"
#include "platform/Settings.h"

#include <QFileInfo>
#include <chrono>
#include <csignal>
#include <optional>
#include <thread>

namespace tinkla::cli
{
namespace
{

constexpr const char* kPlayUsage = "play SET.fml K [--speaker SINK] [--from I]";
constexpr const char* kWavUsage = "wav SET.fml K OUT.wav [--rate HZ] [--from I]";

// The command's arguments, or nothing after the reason and the usage line were printed.
std::optional<Args> ParseArgs(const QStringList& argv, const QStringList& valueOptions,
                              qsizetype positionals, const char* usage)
{
    Args args(argv, valueOptions, {});
    if (args.positional().size() != positionals) {
        Usage(usage);
        return std::nullopt;
    }
    if (CheckDeviceOptions(args) != kExitOk)
        return std::nullopt;
    return args;
}

// The melody K of SET (already made current) with at least one note, or an exit status.
int OpenMelody(CliDoc& set, const QStringList& positional, CMelody** melody)
{
    if (!set.Open(positional[0]))
        return kExitFailed;
    unsigned k = 0;
    if (const int rc = set.ResolveMelody(positional[1], &k); rc != kExitOk)
        return rc;
    *melody = set.doc().GetCurrentMelody();
    if (!*melody || (*melody)->GetNoteCount() == 0) {
        Err(QStringLiteral("tinkla-cli: melody %1 has no notes to play").arg(k));
        return kExitFailed;
    }
    return kExitOk;
}

// --from I: selects note I (0-based) to start from. Returns kExitOk, or the status after the
// message.
int ApplyFrom(const Args& args, CMelody* melody, bool* fromSelected)
{
    *fromSelected = args.has(QStringLiteral("from"));
    if (!*fromSelected)
        return kExitOk;
    bool ok = false;
    const int from = args.value(QStringLiteral("from")).toInt(&ok);
    if (!ok) {
        return UsageError(QStringLiteral("--from takes a note index (0-based), not '%1'")
                              .arg(args.value(QStringLiteral("from"))));
    }
    if (from < 0 || from >= melody->GetNoteCount()) {
        Err(QStringLiteral("tinkla-cli: the melody has notes 0..%1, there is no note %2")
                .arg(melody->GetNoteCount() - 1)
                .arg(from));
        return kExitFailed;
    }
    melody->Select(from);
    return kExitOk;
}

// "3  Ля, Первая октава  Четверть": the note being played, as the playback dialog shows it.
QString PlayedNoteLine(const CMelody& melody)
{
    const int i = melody.GetPlayIndex();
    const CNote note(melody.GetNoteCode(i));
    const int tone = note.GetTone();
    return QStringLiteral("%1  %2  %3")
        .arg(i + 1)
        .arg(ToneName(tone), DurationName(note.GetDuration() % kDurationCount));
}

int Play(const QStringList& argv)
{
    const auto parsed =
        ParseArgs(argv, {QStringLiteral("speaker"), QStringLiteral("from")}, 2, kPlayUsage);
    if (!parsed)
        return kExitUsage;
    const Args& args = *parsed;

    CliDoc set;
    CMelody* melody = nullptr;
    if (const int rc = OpenMelody(set, args.positional(), &melody); rc != kExitOk)
        return rc;
    bool fromSelected = false;
    if (const int rc = ApplyFrom(args, melody, &fromSelected); rc != kExitOk)
        return rc;

    const QString sink = args.value(QStringLiteral("speaker"), SettingSpeaker());
    const SpeakerSetup speaker = SetupSpeaker(sink);
    if (!speaker.ok) {
        ShutdownSpeaker();
        Err(QStringLiteral("tinkla-cli: ") + speaker.error);
        return kExitFailed;
    }
    if (!speaker.notice.isEmpty())
        Err(QStringLiteral("tinkla-cli: ") + speaker.notice);

    const InterruptGuard interrupts;
    using Clock = std::chrono::steady_clock;
    const auto tick = std::chrono::milliseconds(kTickMs);
    // Ticks are counted from the start, so a late tick does not delay the ones after it.
    const Clock::time_point start = Clock::now();
    melody->PlayStep(true, fromSelected);
    int shown = melody->GetPlayIndex();
    Out(PlayedNoteLine(*melody));
    bool interrupted = false;
    for (long n = 1;; ++n) {
        std::this_thread::sleep_until(start + n * tick);
        if (InterruptGuard::Caught()) {
            melody->StopPlay();
            interrupted = true;
            break;
        }
        // As the playback dialog does: the tick that finds the end closes; others count, step.
        if (melody->IsPlayEnded())
            break;
        melody->Tick();
        melody->PlayStep(false, false);
        if (melody->GetPlayIndex() != shown && !melody->IsPlayEnded()) {
            shown = melody->GetPlayIndex();
            Out(PlayedNoteLine(*melody));
        }
        std::fflush(stdout);
    }
    ShutdownSpeaker(); // silences the speaker and completes a WAV recording
    if (interrupted) {
        Err(QStringLiteral("tinkla-cli: stopped at note %1 (0-based)").arg(melody->GetPlayIndex()));
        return kExitFailed;
    }
    return kExitOk;
}

int Wav(const QStringList& argv)
{
    const auto parsed =
        ParseArgs(argv, {QStringLiteral("rate"), QStringLiteral("from")}, 3, kWavUsage);
    if (!parsed)
        return kExitUsage;
    const Args& args = *parsed;
    WavRenderOptions options;
    if (args.has(QStringLiteral("rate"))) {
        bool ok = false;
        const uint rate = args.value(QStringLiteral("rate")).toUInt(&ok);
        if (!ok || rate < kMinWavRate || rate > kMaxWavRate) {
            return UsageError(QStringLiteral("--rate takes a sample rate of %1..%2 Hz, not '%3'")
                                  .arg(kMinWavRate)
                                  .arg(kMaxWavRate)
                                  .arg(args.value(QStringLiteral("rate"))));
        }
        options.rate = rate;
    }

    CliDoc set;
    CMelody* melody = nullptr;
    if (const int rc = OpenMelody(set, args.positional(), &melody); rc != kExitOk)
        return rc;
    if (const int rc = ApplyFrom(args, melody, &options.fromSelected); rc != kExitOk)
        return rc;

    const QByteArray wav = RenderMelodyWav(*melody, options);
    const QString out = args.positional()[2];
    if (!WriteOutput(out, wav, true))
        return kExitFailed;
    if (out == QLatin1String("-"))
        return kExitOk; // stdout holds the sound, nothing else
    const qint64 samples = (wav.size() - kWavHeaderBytes) / 2;
    Out(QStringLiteral("%1: %2 samples, %3 s at %4 Hz")
            .arg(QFileInfo(out).fileName())
            .arg(samples)
            .arg(double(samples) / options.rate, 0, 'f', 3)
            .arg(options.rate));
    return kExitOk;
}

} // namespace

TINKLA_CLI_COMMAND("play", kPlayUsage,
                   "play melody K on the speaker in real time, 55 ms a tick, from note I (0-based) "
                   "if given; SINK: audio[:DEV] (default), pcspkr[:DEV], ports, wav:PATH, none",
                   Play);
TINKLA_CLI_COMMAND("wav", kWavUsage,
                   "render melody K offline to a 16-bit mono WAV file (default 44100 Hz)", Wav);

} // namespace tinkla::cli
