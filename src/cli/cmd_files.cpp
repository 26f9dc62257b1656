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

// "Ля, Первая октава 1/4": with the octave, so that tones 12 apart never read the same.
QString NoteName(BYTE code)
{
    const CNote note(code);
    const int tone = note.GetTone();
    return QStringLiteral("%1 %2").arg(ToneName(tone),
                                       QString::fromUtf8(g_szDurationShort[note.GetDuration()]));
}

// A title as text that cannot upset a terminal or cut a line: control characters (a NUL too)
// and DEL as \xNN.
QString PrintableTitle(const QByteArray& title)
{
    QString text;
    for (const QChar c : Cp1251ToUnicode(title)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            text += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
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
    return names.join(QStringLiteral("; "));
}

void PrintMelodyText(const QString& heading, const CMelody& melody)
{
    Out(QCoreApplication::translate("tinkla-cli", "%1 «%2», нот: %3")
            .arg(heading, PrintableTitle(melody.GetTitle()))
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
    Out(QCoreApplication::translate("tinkla-cli", "Набор мелодий %1").arg(SetFormatLabel(format)));
    for (unsigned i = 0; i < doc.GetMelodyCount(); ++i)
        PrintMelodyText(QCoreApplication::translate("tinkla-cli", "Мелодия %1").arg(i + 1),
                        *doc.GetMelody(i));
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
        Err(MessageText(kMsgCannotOpen).arg(path, error));
        return kExitFailed;
    }
    Archive ar(bytes, &prompter);
    CMelody melody;
    int32_t leading = 0;
    try {
        leading = ar.ReadI32();
        if (leading < 0 || leading > kMaxNotesAnySet) {
            Err(MessageText(kMsgBadMelodyFile));
            return kExitFailed;
        }
        melody.Serialize(ar, kMaxNotesAnySet);
    } catch (const ArchiveError&) {
        Err(MessageText(kMsgFileDamaged).arg(path));
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
    Out(QCoreApplication::translate("tinkla-cli", "Мелодия из файла, нот по заголовку: %1")
            .arg(leading));
    PrintMelodyText(QCoreApplication::translate("tinkla-cli", "Мелодия"), melody);
    return kExitOk;
}

bool HasSuffix(const QString& path, const char* suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1String(suffix), Qt::CaseInsensitive) == 0;
}

// A file without a known suffix, by its first bytes: a set's header (M and N of a set format)
// first, then a melody's leading count. 0 set, 1 melody, -1 neither or unreadable (said why).
int KindByContents(const QString& path)
{
    QString error;
    const QByteArray bytes = CTinklaDoc::ReadFile(path, &error);
    if (!error.isEmpty()) {
        Err(MessageText(kMsgCannotOpen).arg(path, error));
        return -1;
    }
    CliPrompter prompter;
    Archive ar(bytes, &prompter);
    try {
        if (ar.Remaining() >= 8) {
            const uint32_t melodies = ar.ReadU32();
            if (FormatIndex(melodies, ar.ReadU32()) >= 0)
                return 0;
        }
        Archive again(bytes, &prompter);
        const int32_t leading = again.ReadI32();
        if (leading >= 0 && leading <= kMaxNotesAnySet)
            return 1;
    } catch (const ArchiveError&) {
    }
    Err(QStringLiteral("%1 is neither a set nor a melody file").arg(path));
    return -1;
}

// SET.fml K FILE: opens the set and makes melody K current. Returns kExitOk, or the status the
// command ends with (after the reason was printed).
int OpenSetMelody(const QStringList& argv, const char* usage, CliDoc& set, QString* file)
{
    const Args args(argv, {}, {});
    if (args.positional().size() != 3)
        return Usage(usage);
    if (!set.Open(args.positional()[0]))
        return kExitFailed;
    unsigned k = 0;
    if (const int rc = set.ResolveMelody(args.positional()[1], &k); rc != kExitOk)
        return rc;
    *file = args.positional()[2];
    return kExitOk;
}

} // namespace

TINKLA_CLI_COMMAND(
    "new", "new [--format MxN] [--force] OUT.fml",
    "write a new set of empty melodies (default 8x31); MxN: 32x7 16x15 8x31 4x63 "
    "2x127 1x255; an existing OUT is replaced only with --force",
    [](const QStringList& argv) -> int {
        static const char* usage = "new [--format MxN] [--force] OUT.fml";
        const Args args(argv, {QStringLiteral("format")}, {QStringLiteral("force")});
        if (args.positional().size() != 1)
            return Usage(usage);
        int format = kDefaultFormat;
        if (args.has(QStringLiteral("format"))) {
            format = ParseSetFormat(args.value(QStringLiteral("format")));
            if (format < 0)
                return UsageError(
                    QStringLiteral("--format must be one of: %1").arg(SetFormatChoices()));
        }
        const QString out = args.positional()[0];
        if (!args.has(QStringLiteral("force")) && RefuseToReplace(out))
            return kExitFailed;
        CliDoc set;
        set.doc().ReplaceSet(kSetFormats[format].melodies, kSetFormats[format].notes, {});
        return set.Save(out) ? kExitOk : kExitFailed;
    });

TINKLA_CLI_COMMAND("info", "info [--json] FILE",
                   "list a set (.fml) or melody file (.mel): format, titles, notes; a file "
                   "without either suffix is recognised by its contents",
                   [](const QStringList& argv) -> int {
                       static const char* usage = "info [--json] FILE";
                       const Args args(argv, {}, {QStringLiteral("json")});
                       if (args.positional().size() != 1)
                           return Usage(usage);
                       const QString path = args.positional()[0];
                       const bool json = args.has(QStringLiteral("json"));
                       if (HasSuffix(path, "fml"))
                           return InfoSet(path, json);
                       if (HasSuffix(path, "mel"))
                           return InfoMelody(path, json);
                       switch (KindByContents(path)) {
                       case 0:
                           Err(QStringLiteral("%1: no .fml or .mel suffix; read as a set, by its "
                                              "contents")
                                   .arg(path));
                           return InfoSet(path, json);
                       case 1:
                           Err(QStringLiteral("%1: no .fml or .mel suffix; read as a melody, by "
                                              "its contents")
                                   .arg(path));
                           return InfoMelody(path, json);
                       default:
                           return kExitFailed;
                       }
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
                   "only when the set and the melody load without any message",
                   [](const QStringList& argv) -> int {
                       CliDoc set;
                       QString in;
                       if (const int rc =
                               OpenSetMelody(argv, "melody-load SET.fml K IN.mel", set, &in);
                           rc != kExitOk)
                           return rc;
                       // A message means something was left out or changed on the way in: a
                       // set saved now would lose it for good.
                       if (!set.doc().LoadMelodyFile(in) || set.prompter().messages > 0) {
                           Err(QStringLiteral("%1 is not rewritten").arg(set.doc().GetPathName()));
                           return kExitFailed;
                       }
                       return set.Save() ? kExitOk : kExitFailed;
                   });

} // namespace tinkla::cli
