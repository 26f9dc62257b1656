// Set and melody files from the command line: a new set, a listing of a set or melody file, and
// the exchange of one melody between a set and a .mel file.
#include "cli/CliDoc.h"
#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Cp1251.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tinkla::cli
{
namespace
{

// The largest N of any set format: what a .mel can hold to fit some set.
constexpr int kMaxNotesAnySet = 255;

QString NoteName(BYTE code)
{
    const CNote note(code);
    return QStringLiteral("%1 %2").arg(QString::fromUtf8(g_szNoteNames[note.GetTone() % 12]),
                                       QString::fromUtf8(g_szDurationShort[note.GetDuration()]));
}

QJsonArray NotesJson(const CMelody& melody)
{
    QJsonArray notes;
    for (int i = 0; i < melody.GetNoteCount(); ++i) {
        const CNote& note = melody.GetNote(i);
        notes.append(QJsonArray{note.GetTone(), note.GetDuration()});
    }
    return notes;
}

QString NotesText(const CMelody& melody)
{
    QStringList names;
    for (int i = 0; i < melody.GetNoteCount(); ++i)
        names << NoteName(melody.GetNoteCode(i));
    return names.join(QStringLiteral(", "));
}

void PrintMelodyText(const QString& heading, const CMelody& melody)
{
    Out(QStringLiteral("%1 «%2», нот: %3")
            .arg(heading, Cp1251ToUnicode(melody.GetTitle()))
            .arg(melody.GetNoteCount()));
    if (melody.GetNoteCount() > 0)
        Out(QStringLiteral("  ") + NotesText(melody));
}

void PrintJson(const QJsonObject& object)
{
    Out(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

int InfoSet(const QString& path, bool json)
{
    CliDoc set;
    if (!set.Open(path))
        return kExitFailed;
    CTinklaDoc& doc = set.doc();
    if (json) {
        QJsonArray items;
        for (unsigned i = 0; i < doc.GetMelodyCount(); ++i) {
            const CMelody& melody = *doc.GetMelody(i);
            items.append(QJsonObject{{"title", Cp1251ToUnicode(melody.GetTitle())},
                                     {"rows", melody.GetRows()},
                                     {"notes", NotesJson(melody)}});
        }
        PrintJson(QJsonObject{{"type", "set"},
                              {"melodies", static_cast<int>(doc.GetMelodyCount())},
                              {"notes", static_cast<int>(doc.GetNotesPerMelody())},
                              {"items", items}});
        return kExitOk;
    }
    const int format = FormatIndex(doc.GetMelodyCount(), doc.GetNotesPerMelody());
    Out(QStringLiteral("Набор мелодий %1").arg(QString::fromUtf8(kSetFormats[format].label)));
    for (unsigned i = 0; i < doc.GetMelodyCount(); ++i)
        PrintMelodyText(QStringLiteral("Мелодия %1").arg(i + 1), *doc.GetMelody(i));
    return kExitOk;
}

// A .mel needs no set to be listed: the leading count, then the melody record, each bounded as a
// set would bound it.
int InfoMelody(const QString& path, bool json)
{
    CliPrompter prompter;
    QString error;
    const QByteArray bytes = CTinklaDoc::ReadFile(path, &error);
    if (!error.isEmpty()) {
        Err(QString::fromUtf8(kMsgCannotOpen).arg(path, error));
        return kExitFailed;
    }
    Archive ar(bytes, &prompter);
    CMelody melody;
    int32_t leading = 0;
    try {
        leading = ar.ReadI32();
        if (leading < 0 || leading > kMaxNotesAnySet) {
            Err(QString::fromUtf8(kMsgBadMelodyFile));
            return kExitFailed;
        }
        melody.Serialize(ar, kMaxNotesAnySet);
    } catch (const ArchiveError&) {
        Err(QString::fromUtf8(kMsgFileDamaged).arg(path));
        return kExitFailed;
    }
    if (json) {
        PrintJson(QJsonObject{{"type", "melody"},
                              {"count", leading},
                              {"title", Cp1251ToUnicode(melody.GetTitle())},
                              {"rows", melody.GetRows()},
                              {"notes", NotesJson(melody)}});
        return kExitOk;
    }
    Out(QStringLiteral("Мелодия из файла, нот по заголовку: %1").arg(leading));
    PrintMelodyText(QStringLiteral("Мелодия"), melody);
    return kExitOk;
}

bool HasSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

// SET.fml K FILE: opens the set and makes melody K current. Returns kExitOk, or the status the
// command ends with (after the reason was printed).
int OpenSetMelody(const QStringList& argv, const char* usage, CliDoc& set, QString* file)
{
    const Args args(argv, {}, {});
    if (!args.ok() || args.positional().size() != 3) {
        if (!args.ok())
            Err(args.error());
        return Usage(usage);
    }
    if (!set.Open(args.positional()[0]))
        return kExitFailed;
    unsigned k = 0;
    if (const int rc = set.ResolveMelody(args.positional()[1], &k); rc != kExitOk)
        return rc;
    *file = args.positional()[2];
    return kExitOk;
}

} // namespace

TINKLA_CLI_COMMAND("new", "new [--format MxN] OUT.fml",
                   "write a new set of empty melodies (default 8x31); MxN: 32x7 16x15 8x31 4x63 "
                   "2x127 1x255",
                   [](const QStringList& argv) -> int {
                       static const char* usage = "new [--format MxN] OUT.fml";
                       const Args args(argv, {QStringLiteral("format")}, {});
                       if (!args.ok() || args.positional().size() != 1) {
                           if (!args.ok())
                               Err(args.error());
                           return Usage(usage);
                       }
                       int format = kDefaultFormat;
                       if (args.has(QStringLiteral("format"))) {
                           format = ParseSetFormat(args.value(QStringLiteral("format")));
                           if (format < 0) {
                               Err(QStringLiteral("tinkla-cli: --format must be one of: %1")
                                       .arg(SetFormatChoices()));
                               return Usage(usage);
                           }
                       }
                       CliDoc set;
                       set.doc().SetFormat(kSetFormats[format].melodies, kSetFormats[format].notes);
                       set.doc().ResetMelodies();
                       return set.Save(args.positional()[0]) ? kExitOk : kExitFailed;
                   });

TINKLA_CLI_COMMAND("info", "info [--json] FILE",
                   "list a set (.fml) or melody file (.mel): format, titles, notes",
                   [](const QStringList& argv) -> int {
                       static const char* usage = "info [--json] FILE";
                       const Args args(argv, {}, {QStringLiteral("json")});
                       if (!args.ok() || args.positional().size() != 1) {
                           if (!args.ok())
                               Err(args.error());
                           return Usage(usage);
                       }
                       const QString path = args.positional()[0];
                       const bool json = args.has(QStringLiteral("json"));
                       if (HasSuffix(path, "fml"))
                           return InfoSet(path, json);
                       if (HasSuffix(path, "mel"))
                           return InfoMelody(path, json);
                       Err(QStringLiteral("tinkla-cli: FILE must be a .fml set or a .mel melody"));
                       return Usage(usage);
                   });

TINKLA_CLI_COMMAND("melody-save", "melody-save SET.fml K OUT.mel",
                   "write melody K (from 1) of a set to a melody file",
                   [](const QStringList& argv) -> int {
                       CliDoc set;
                       QString out;
                       if (const int rc =
                               OpenSetMelody(argv, "melody-save SET.fml K OUT.mel", set, &out);
                           rc != kExitOk)
                           return rc;
                       return set.doc().SaveMelodyFile(out) ? kExitOk : kExitFailed;
                   });

TINKLA_CLI_COMMAND("melody-load", "melody-load SET.fml K IN.mel",
                   "replace melody K (from 1) of a set by a melody file; the set is rewritten "
                   "only when the melody fits",
                   [](const QStringList& argv) -> int {
                       CliDoc set;
                       QString in;
                       if (const int rc =
                               OpenSetMelody(argv, "melody-load SET.fml K IN.mel", set, &in);
                           rc != kExitOk)
                           return rc;
                       if (!set.doc().LoadMelodyFile(in))
                           return kExitFailed;
                       return set.Save() ? kExitOk : kExitFailed;
                   });

} // namespace tinkla::cli
