// Melodies in the world's formats from the command line: import of an RTTTL text or a MIDI file
// into melody K of a set, export of melody K, transposition, and the library of tunes.
#include "cli/CliDoc.h"
#include "document/Examples.h"
#include "model/Messages.h"

#include <QFile>
#include <QFileInfo>

namespace tinkla::cli
{
namespace
{

constexpr const char* kImportUsage = "import SET.fml K FILE|- [--track N] [--transpose fit|±S]";
constexpr const char* kExportUsage = "export SET.fml K OUT.(rtttl|mid)|-";
constexpr const char* kTransposeUsage = "transpose SET.fml K ±S";
constexpr const char* kExamplesUsage = "examples [NAME OUT.fml]";
constexpr int kMaxShift = 127; // further than any pitch can be from the range

// A whole number with an optional sign within ±limit.
bool ParseShift(const QString& text, int limit, int* value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < -limit || v > limit)
        return false;
    *value = v;
    return true;
}

// Whether the command line has `count` operands (the options were checked as it was parsed).
bool Parsed(const Args& args, qsizetype count)
{
    return args.positional().size() == count;
}

// Standard input, bounded as a file is.
QByteArray ReadStdin(QString* error)
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        *error = in.errorString();
        return {};
    }
    QByteArray bytes = in.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes)
        *error = QCoreApplication::translate("tinkla-cli", "слишком большой файл");
    return bytes;
}

int Import(const QStringList& argv)
{
    const Args args(argv, {QStringLiteral("track"), QStringLiteral("transpose")}, {});
    if (!Parsed(args, 3))
        return Usage(kImportUsage);
    CTinklaDoc::ImportOptions options;
    if (args.has(QStringLiteral("track"))) {
        bool ok = false;
        options.track = args.value(QStringLiteral("track")).toInt(&ok);
        if (!ok || options.track < 1) {
            return UsageError(QStringLiteral("--track must be a track number from 1"));
        }
    }
    const QString transpose = args.value(QStringLiteral("transpose"), QStringLiteral("fit"));
    if (transpose != QLatin1String("fit")) {
        options.fitOctaves = false;
        if (!ParseShift(transpose, kMaxShift, &options.semitones)) {
            return UsageError(QStringLiteral("--transpose must be fit or a number of semitones"));
        }
    }
    CliDoc set;
    if (const int rc = set.OpenWithMelody(args.positional()[0], args.positional()[1]);
        rc != kExitOk)
        return rc;
    const QString file = args.positional()[2];
    bool imported = false;
    if (file == QLatin1String("-")) {
        QString error;
        const QByteArray bytes = ReadStdin(&error);
        if (!error.isEmpty()) {
            Err(MessageText(kMsgCannotOpen).arg(QStringLiteral("-"), error));
            return kExitFailed;
        }
        imported = set.doc().ImportMelodyData(bytes, QStringLiteral("-"), options);
    } else {
        imported = set.doc().ImportMelodyFile(file, options);
    }
    if (!imported)
        return kExitFailed; // the set file is untouched
    return set.Save() ? kExitOk : kExitFailed;
}

int Export(const QStringList& argv)
{
    const Args args(argv, {}, {});
    if (!Parsed(args, 3))
        return Usage(kExportUsage);
    CliDoc set;
    if (const int rc = set.OpenWithMelody(args.positional()[0], args.positional()[1]);
        rc != kExitOk)
        return rc;
    const QString out = args.positional()[2];
    if (out == QLatin1String("-")) // a text on stdout: RTTTL
        return WriteOutput(out, set.doc().ExportMelodyBytes(false), false) ? kExitOk : kExitFailed;
    return set.doc().ExportMelodyFile(out) ? kExitOk : kExitFailed;
}

int Transpose(const QStringList& argv)
{
    const Args args(argv, {}, {}); // "-5" is an operand: a number is never an option
    if (!Parsed(args, 3))
        return Usage(kTransposeUsage);
    int shift = 0;
    if (!ParseShift(args.positional()[2], kToneCount - 1, &shift)) {
        return UsageError(QStringLiteral("the shift must be a number of semitones, -31..31"));
    }
    CliDoc set;
    if (const int rc = set.OpenWithMelody(args.positional()[0], args.positional()[1]);
        rc != kExitOk)
        return rc;
    if (!set.doc().TransposeMelody(shift, false))
        return kExitFailed;
    return set.Save() ? kExitOk : kExitFailed;
}

int Examples(const QStringList& argv)
{
    const Args args(argv, {}, {});
    if (!Parsed(args, args.positional().size() == 2 ? 2 : 0))
        return Usage(kExamplesUsage);
    const std::vector<Example> examples = ListExamples();
    if (examples.empty()) {
        Err(QStringLiteral("tinkla-cli: the library of tunes is not installed"));
        return kExitFailed;
    }
    if (args.positional().isEmpty()) {
        for (const Example& e : examples)
            Out(QStringLiteral("%1  %2").arg(e.name, -20).arg(e.title));
        return kExitOk;
    }
    const QString name = QFileInfo(args.positional()[0]).completeBaseName();
    for (const Example& e : examples) {
        if (e.name != name)
            continue;
        // Through the document, so the copy is checked and written as every set is.
        CliDoc set;
        if (!set.Open(e.path))
            return kExitFailed;
        return set.Save(args.positional()[1]) ? kExitOk : kExitFailed;
    }
    Err(QStringLiteral("tinkla-cli: no tune named '%1' (tinkla-cli examples lists them)")
            .arg(name));
    return kExitFailed;
}

} // namespace

TINKLA_CLI_COMMAND("import", kImportUsage,
                   "replace melody K by an RTTTL text or a MIDI file (- reads stdin), fitted to "
                   "the doorbell's range; the set is rewritten only when notes were imported",
                   Import);
TINKLA_CLI_COMMAND("export", kExportUsage,
                   "write melody K as an RTTTL text or a MIDI file (by the name's extension)",
                   Export);
TINKLA_CLI_COMMAND("transpose", kTransposeUsage,
                   "move melody K by S semitones; refused when a note would leave the range",
                   Transpose);
TINKLA_CLI_COMMAND("examples", kExamplesUsage,
                   "list the library of tunes, or copy tune NAME to a set file", Examples);

} // namespace tinkla::cli
