// tinkla-cli's file commands, run as the user runs them: a real process on real files.
#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <gtest/gtest.h>

#include <chrono>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

QJsonObject Json(const CliResult& r)
{
    return QJsonDocument::fromJson(r.out).object();
}

class CliFiles : public ::testing::Test
{
protected:
    // A set with notes in melody 2 (tone 13 = "Ля", quarter notes) and a title of its own.
    QString WriteSet(const QString& name, int format = kDefaultFormat, int notes = 3)
    {
        ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        doc.OnNewDocument();
        doc.SetFormat(kSetFormats[format].melodies, kSetFormats[format].notes);
        doc.ResetMelodies();
        CMelody* m = doc.GetMelody(doc.GetMelodyCount() > 1 ? 1 : 0);
        for (int i = 0; i < notes; ++i)
            m->AppendNote((13 << 3) | 2);
        m->SetTitle(QByteArray("\xC2\xE0\xEB\xFC\xF1")); // "Вальс"
        return files.Write(name, StoredSet(doc));
    }

    TempFiles files;
};

TEST_F(CliFiles, NewWritesEmptyMelodiesOfTheChosenFormat)
{
    ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    doc.OnNewDocument();
    ASSERT_EQ(RunCli({"new", files.Path("new.fml")}).code, 0);
    EXPECT_EQ(TempFiles::Read(files.Path("new.fml")), StoredSet(doc)) << "the default set";
    for (const int format : {0, kFormatCount - 1}) {
        const SetFormat& f = kSetFormats[format];
        const QString path = files.Path(QStringLiteral("%1.fml").arg(format));
        const QString size = QStringLiteral("%1x%2").arg(f.melodies).arg(f.notes);
        ASSERT_EQ(RunCli({"new", "--format", size, path}).code, 0);
        EXPECT_EQ(TempFiles::Read(path).size(), 8 + 22 * static_cast<int>(f.melodies));
        const QJsonObject info = Json(RunCli({"info", "--json", path}));
        EXPECT_EQ(info["notes"].toInt(), static_cast<int>(f.notes));
        EXPECT_EQ(info["items"].toArray().size(), static_cast<int>(f.melodies));
    }
}

// A refusal always says why, as the tool, and changes no file. Placeholders: SET is a valid set,
// MEL a valid melody file, OUT a path to write; the rest are damaged or foreign files.
TEST_F(CliFiles, RefusesWithTheExitStatusOfItsKindAndChangesNothing)
{
    const struct {
        const char* name;
        QStringList args;
        int code;
        const char* message = ""; // how stderr goes on after "tinkla-cli: "
    } cases[] = {
        {"NewBadFormat", {"new", "--format", "3x3", "OUT"}, 2},
        {"NewIntoMissingFolder", {"new", "/nonexistent-dir/x.fml"}, 1},
        {"InfoMissingFileOfNoKnownKind", {"info", "SET.txt"}, 1},
        {"SaveKZero", {"melody-save", "SET", "0", "MEL"}, 1},
        {"LoadMissingMelodyFile", {"melody-load", "SET", "1", "OUT"}, 1},
        {"LoadKPastTheSet", {"melody-load", "SET", "9", "MEL"}, 1},
        {"UnknownCommand", {"frobnicate"}, 2},
        {"ImportMissingFile", {"import", "SET", "1", "OUT"}, 1},
        {"ImportNotAMelody", {"import", "SET", "1", "MEL"}, 1},
        {"ImportBadTranspose", {"import", "SET", "1", "MEL", "--transpose", "up"}, 2},
        {"ImportTrackZero", {"import", "SET", "1", "MEL", "--track", "0"}, 2},
        {"ExportKPastTheSet", {"export", "SET", "9", "OUT"}, 1},
        {"TransposeOutOfRange", {"transpose", "SET", "2", "+31"}, 1},
        {"TransposeNotANumber", {"transpose", "SET", "2", "up"}, 2},
        {"ExamplesUnknownTune", {"examples", "no_such_tune", "OUT"}, 1},
        {"NewOverAnExistingSet", {"new", "SET"}, 1},
        {"NewForcedOverAFifo", {"new", "--force", "FIFO"}, 1},
        {"InfoOfAFifo", {"info", "FIFO"}, 1},
        {"MelodyLoadOfAFifo", {"melody-load", "SET", "1", "FIFO"}, 1},
        {"OpenAFolder", {"info", "--json", "/"}, 1},
        {"UnknownDashOption", {"info", "-j", "SET"}, 2},
        {"BadValueAfterTheOperand", {"new", "OUT", "--format=9x9"}, 2},
        {"OptionWithoutItsValue", {"new", "OUT", "--format"}, 2},
        {"MelodyNumberNotANumber", {"melody-save", "SET", "two", "OUT"}, 2},
        {"DoubleDashEndsTheOptions", {"info", "--", "--json"}, 1},
        {"InfoSetHeader", {"info", "HEADER"}, 1, kMsgBadSetFile},
        {"InfoSetCutShort", {"info", "CUT"}, 1, "Файл «"},
        {"InfoMelodyTooLongForAnySet", {"info", "LONG"}, 1, kMsgBadMelodyFile},
        {"InfoEmptyFile", {"info", "EMPTY"}, 1, "Файл «"},
        {"MelodyLoadIntoADamagedSet", {"melody-load", "HEADER", "1", "MEL"}, 1, kMsgBadSetFile},
        // Any message while loading a melody leaves the set alone.
        {"MelodyLoadTooLong", {"melody-load", "SET", "1", "M100"}, 1, kMsgBadMelodyFile},
        {"MelodyLoadBadNote", {"melody-load", "SET", "1", "BADNOTE"}, 1, kMsgNoteReadError},
        {"MelodyLoadBadCount", {"melody-load", "SET", "1", "BADCOUNT"}, 1, kMsgMelodyReadError}};
    const QMap<QString, QString> placeholders = {
        {"SET", WriteSet("set.fml")},
        {"MEL", files.Write("m.mel", Le32(0) + MelodyRecord(1, "t", 0))},
        {"OUT", files.Path("out.fml")},
        {"FIFO", MakeFifo(files, "fifo")},
        {"HEADER", files.Write("header.fml", Le32(16) + Le32(7))},
        {"CUT", files.Write("cut.fml", Le32(1) + Le32(255) + Le32(1))},
        {"LONG", files.Write("long.mel", Le32(256) + MelodyRecord(22, "", 0))},
        {"EMPTY", files.Write("empty.mel", {})},
        {"M100", files.Write("100.mel", Le32(100) + MelodyRecord(9, "x", 100, NoteBytes(100)))},
        {"BADNOTE", files.Write("n.mel", Le32(1) + MelodyRecord(1, "n", 1, NoteBytes(1, 32)))},
        {"BADCOUNT", files.Write("c.mel", Le32(13) + MelodyRecord(1, "c", 13))}};
    const QStringList names = QDir(files.Dir()).entryList(QDir::Files);
    QList<QByteArray> contents;
    for (const QString& name : names)
        contents << TempFiles::Read(files.Path(name));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList args;
        for (const QString& a : c.args)
            args << placeholders.value(a, a);
        const auto start = std::chrono::steady_clock::now();
        const CliResult r = RunCli(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "it waited";
        EXPECT_EQ(r.code, c.code) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("tinkla-cli: " + QString::fromUtf8(c.message)))
            << r.err.toStdString();
        EXPECT_EQ(r.code == 2, r.err.contains("usage: tinkla-cli ")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty() || c.code == 2) << r.out.constData();
        ASSERT_EQ(QDir(files.Dir()).entryList(QDir::Files), names) << "a file was made or lost";
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(TempFiles::Read(files.Path(names[i])), contents[i]) << names[i].toStdString();
    }
}

TEST_F(CliFiles, InfoListsTitlesAndNotesByNameAndAsJson)
{
    const QString set = WriteSet("set.fml", 3, 13);
    const CliResult r = RunCli({"info", set});
    EXPECT_EQ(r.code, 0);
    const QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("4 м. x 63 н."))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Мелодия 2 «Вальс», нот: 13")));
    EXPECT_TRUE(text.contains(QStringLiteral("Ля, Первая октава 1/4; Ля, Первая октава 1/4; Ля")));
    EXPECT_TRUE(r.err.isEmpty());

    const QJsonObject o = Json(RunCli({"info", "--json", set}));
    EXPECT_EQ(o["type"].toString(), QStringLiteral("set"));
    const QJsonArray items = o["items"].toArray();
    ASSERT_EQ(items.size(), 4);
    const QJsonObject second = items[1].toObject();
    EXPECT_EQ(second["title"].toString(), QStringLiteral("Вальс"));
    EXPECT_EQ(second["rows"].toInt(), 2);
    const QJsonArray notes = second["notes"].toArray();
    ASSERT_EQ(notes.size(), 13);
    EXPECT_EQ(notes[0].toArray(), (QJsonArray{13, 2}));
    EXPECT_EQ(items[0].toObject()["title"].toString(), QStringLiteral("Новая мелодия"));
    EXPECT_TRUE(items[0].toObject()["notes"].toArray().isEmpty());
}

TEST_F(CliFiles, InfoShowsControlCharactersAndOctavesAndKnowsFilesByContents)
{
    // Tones 1, 13 and 25 are the same note an octave apart; the title holds a NUL, a line feed,
    // an escape and DEL.
    const QByteArray notes("\x01\x02\x0d\x02\x19\x02", 6);
    const QByteArray set =
        Le32(1) + Le32(255) + MelodyRecord(1, QByteArray("a\0b\n\x1b\x7f", 6), 3, notes);
    const QString path = files.Write("set.bin", set);
    const CliResult r = RunCli({"info", path});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.contains(QStringLiteral("«a\\x00b\\x0a\\x1b\\x7f»"))) << text.toStdString();
    EXPECT_EQ(text.count('\n'), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Ля, Малая октава 1/4; Ля, Первая октава 1/4; Ля, "
                                             "Вторая октава 1/4")));
    EXPECT_TRUE(r.err.contains("read as a set")) << r.err.toStdString();

    // The same record with a leading count is a melody file, which needs no set.
    const CliResult mel = RunCli({"info", "--json", files.Write("m.dat", Le32(3) + set.mid(8))});
    EXPECT_EQ(mel.code, 0);
    EXPECT_TRUE(mel.err.contains("read as a melody")) << mel.err.toStdString();
    const QJsonObject o = Json(mel);
    EXPECT_EQ(o["type"].toString(), QStringLiteral("melody"));
    EXPECT_EQ(o["count"].toInt(), 3);
    EXPECT_EQ(o["title"].toString(), QStringLiteral("a\0b\n\x1b\x7f"));
    EXPECT_EQ(o["rows"].toInt(), 1);
    EXPECT_EQ(o["notes"].toArray(),
              (QJsonArray{QJsonArray{1, 2}, QJsonArray{13, 2}, QJsonArray{25, 2}}));
    EXPECT_EQ(RunCli({"info", files.Write("x.dat", "not a set")}).code, 1);
}

TEST_F(CliFiles, InfoIntoAFullOutputFails)
{
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")), {"info", WriteSet("set.fml")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("нет места на диске"));
}

TEST_F(CliFiles, EveryCommandAnswersHelpAndDoesNothingElse)
{
    for (const char* command :
         {"new", "info", "melody-save", "melody-load", "image", "write", "read", "test", "bridge",
          "play", "wav", "png", "dump", "silence"}) {
        for (const char* help : {"-h", "--help"}) {
            const CliResult r = RunCli({command, files.Path("out.fml"), help}, files.Dir());
            EXPECT_EQ(r.code, 0) << command;
            EXPECT_TRUE(r.out.startsWith(QByteArray("usage: tinkla-cli ") + command)) << command;
        }
    }
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files), QStringList());
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith("tinkla-cli 1.0"));
}

TEST_F(CliFiles, AFullDiskLeavesEveryOldOutputWhole)
{
    const QString set = WriteSet("set.fml", 5, 100);
    const QString mel = files.Path("m.mel");
    const QString dump = files.Path("dump.bin");
    ASSERT_EQ(RunCli({"melody-save", set, "1", mel}).code, 0);
    ASSERT_EQ(RunCli({"image", set, "-o", dump}).code, 0);
    const QStringList runs[] = {
        {"new", "--force", set}, {"melody-save", set, "1", mel}, {"image", set, "-o", dump}};
    for (const QStringList& args : runs) {
        const QString out = args.last();
        const QByteArray before = TempFiles::Read(out);
        const CliResult r = RunCli(args, files.Dir(), 100); // each output is larger
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Не удалось сохранить файл")))
            << r.err.toStdString();
        EXPECT_EQ(TempFiles::Read(out), before) << args.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files).size(), 3) << "no temporary file left";
}

TEST_F(CliFiles, InfoPrintsLoadingMessagesAndGoesOn)
{
    const QByteArray bytes = Le32(2) + Le32(127) +
                             MelodyRecord(1, "a", 1, QByteArray("\x20\x00", 2)) +
                             MelodyRecord(1, "b", 1, NoteBytes(1));
    const CliResult r = RunCli({"info", "--json", files.Write("bad-note.fml", bytes)});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(kMsgNoteReadError)));
    const QJsonArray items = Json(r)["items"].toArray();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0].toObject()["notes"].toArray()[0].toArray(), (QJsonArray{11, 3}));
    EXPECT_EQ(items[1].toObject()["title"].toString(), QStringLiteral("b"));
}

TEST_F(CliFiles, MelodySaveWritesWhatTheEditorWouldAndMelodyLoadPutsItIntoMelodyK)
{
    const QString set = WriteSet("set.fml");
    ASSERT_EQ(RunCli({"melody-save", set, "2", files.Path("m.mel")}).code, 0);
    ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    ASSERT_TRUE(doc.OnOpenDocument(set));
    doc.SetCurrentNumber(2);
    ASSERT_TRUE(doc.SaveMelodyFile(files.Path("expected.mel")));
    EXPECT_EQ(TempFiles::Read(files.Path("m.mel")), TempFiles::Read(files.Path("expected.mel")));
    const CliResult r = RunCli({"melody-load", set, "8", files.Path("m.mel")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray items = Json(RunCli({"info", "--json", set}))["items"].toArray();
    ASSERT_EQ(items.size(), 8);
    EXPECT_EQ(items[7], items[1]);
    EXPECT_NE(items[7], items[0]);
}

TEST_F(CliFiles, ImportedMelodyGoesOutAsRtttlAndMidiAndComesBackTheSame)
{
    const QString set = WriteSet("set.fml");
    const QString tune = files.Write("t.rtx", "Ода:d=4,o=5:e,e,f,g,8g,2f,16e,1d");
    CliResult r = RunCli({"import", set, "1", tune, "--transpose", "-12"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Импортировано нот: 8."))) << r.err.toStdString();
    ASSERT_EQ(RunCli({"export", set, "1", files.Path("t.mid")}).code, 0);
    ASSERT_EQ(RunCli({"export", set, "1", files.Path("t.rtttl")}).code, 0);
    ASSERT_EQ(RunCli({"import", set, "3", files.Path("t.mid")}).code, 0);
    ASSERT_EQ(RunCli({"import", set, "4", files.Path("t.rtttl")}).code, 0);
    ASSERT_EQ(RunCli({"transpose", set, "4", "-4"}).code, 0);
    const QJsonArray items = Json(RunCli({"info", "--json", set}))["items"].toArray();
    EXPECT_EQ(items[0].toObject()["title"].toString(), QStringLiteral("Ода"));
    EXPECT_EQ(items[0].toObject()["notes"].toArray()[0].toArray(), (QJsonArray{8, 2}));
    EXPECT_EQ(items[2], items[0]);
    EXPECT_EQ(items[3].toObject()["notes"].toArray()[0].toArray(), (QJsonArray{4, 2}));
}

TEST_F(CliFiles, ExamplesListsTheLibraryAndCopiesATune)
{
    const CliResult list = RunCli({"examples"});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    const QStringList lines = QString::fromUtf8(list.out).split('\n', Qt::SkipEmptyParts);
    EXPECT_GE(lines.size(), 25);
    EXPECT_TRUE(QString::fromUtf8(list.out).contains(QStringLiteral("Ода к радости")));
    ASSERT_EQ(RunCli({"examples", "ode_to_joy", files.Path("ode.fml")}).code, 0);
    const QJsonObject info = Json(RunCli({"info", "--json", files.Path("ode.fml")}));
    EXPECT_EQ(info["items"].toArray()[0].toObject()["notes"].toArray().size(), 30);
}

} // namespace
