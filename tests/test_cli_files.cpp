#include "model/Messages.h"
#include "support/DocTestKit.h"

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

class CliFiles : public ::testing::Test
{
protected:
    // The default set with notes in melody 2 (tone 13 = "Ля", quarter notes), titled "Вальс".
    QString WriteSet(const QString& name, int notes)
    {
        const QByteArray blank = MelodyRecord(1, DefaultMelodyTitle(), 0);
        const QByteArray waltz =
            MelodyRecord(notes / 12 + 1, "\xC2\xE0\xEB\xFC\xF1", notes, NoteBytes(notes));
        return files.Write(name, Le32(8) + Le32(31) + blank + waltz + blank.repeated(6));
    }

    TempFiles files;
};

// A refusal says why, as the tool ("tinkla-cli: " and the row's text), and changes no file. SET is
// a valid set, MEL a valid melody file, OUT a path to write; the rest are damaged or foreign files.
TEST_F(CliFiles, RefusesWithTheExitStatusOfItsKindAndChangesNothing)
{
    const std::tuple<const char*, QStringList, int, const char*> cases[] = {
        {"NewBadFormat", {"new", "--format", "3x3", "OUT"}, 2, ""},
        {"NewIntoMissingFolder", {"new", "/nonexistent-dir/x.fml"}, 1, ""},
        {"SaveKZero", {"melody-save", "SET", "0", "MEL"}, 1, ""},
        {"UnknownCommand", {"frobnicate"}, 2, ""},
        {"ImportMissingFile", {"import", "SET", "1", "OUT"}, 1, ""},
        {"ImportNotAMelody", {"import", "SET", "1", "MEL"}, 1, ""},
        {"ImportBadTranspose", {"import", "SET", "1", "MEL", "--transpose", "up"}, 2, ""},
        {"ImportTrackZero", {"import", "SET", "1", "MEL", "--track", "0"}, 2, ""},
        {"ExportKPastTheSet", {"export", "SET", "9", "OUT"}, 1, ""},
        {"TransposeOutOfRange", {"transpose", "SET", "2", "+31"}, 1, ""},
        {"TransposeNotANumber", {"transpose", "SET", "2", "up"}, 2, ""},
        {"ExamplesUnknownTune", {"examples", "no_such_tune", "OUT"}, 1, ""},
        {"NewOverAnExistingSet", {"new", "SET"}, 1, ""},
        {"NewForcedOverAFifo", {"new", "--force", "FIFO"}, 1, ""},
        {"InfoOfAFifo", {"info", "FIFO"}, 1, ""},
        {"MelodyLoadOfAFifo", {"melody-load", "SET", "1", "FIFO"}, 1, ""},
        {"UnknownDashOption", {"info", "-j", "SET"}, 2, ""},
        {"BadValueAfterTheOperand", {"new", "OUT", "--format=9x9"}, 2, ""},
        {"OptionWithoutItsValue", {"new", "OUT", "--format"}, 2, ""},
        {"MelodyNumberNotANumber", {"melody-save", "SET", "two", "OUT"}, 2, ""},
        {"DoubleDashEndsTheOptions", {"info", "--", "--json"}, 1, ""},
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
        {"SET", WriteSet("set.fml", 3)},
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
    for (const auto& [name, argv, code, message] : cases) {
        SCOPED_TRACE(name);
        QStringList args;
        for (const QString& a : argv)
            args << placeholders.value(a, a);
        const auto start = std::chrono::steady_clock::now();
        const CliResult r = RunCli(args);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "it waited";
        EXPECT_EQ(r.code, code) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith("tinkla-cli: " + QString::fromUtf8(message)))
            << r.err.toStdString();
        EXPECT_EQ(r.code == 2, r.err.contains("usage: tinkla-cli ")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.constData();
        ASSERT_EQ(QDir(files.Dir()).entryList(QDir::Files), names) << "a file was made or lost";
        for (int i = 0; i < names.size(); ++i)
            EXPECT_EQ(TempFiles::Read(files.Path(names[i])), contents[i]) << names[i].toStdString();
    }
}

TEST_F(CliFiles, InfoListsTitlesAndNotesByNameAndAsJson)
{
    const CliResult set = RunCli({"info", "--json", WriteSet("set.fml", 13)});
    EXPECT_TRUE(set.err.isEmpty()) << set.err.toStdString();
    QJsonObject o = QJsonDocument::fromJson(set.out).object();
    const QJsonArray items = o.take("items").toArray();
    EXPECT_EQ(o, (QJsonObject{{"type", "set"}, {"melodies", 8}, {"notes", 31}}));
    const QJsonArray waltz = QJsonArray::fromVariantList(QVariantList(13, QVariantList{13, 2}));
    EXPECT_EQ(items[1], (QJsonObject{{"title", "Вальс"}, {"rows", 2}, {"notes", waltz}}));

    // A title with a NUL, a line feed, an escape and DEL. The first note is out of range: said,
    // replaced by the default note, and the reading goes on. Tones 1, 13, 25: an octave apart.
    const QByteArray record = MelodyRecord(1, QByteArray("a\0b\n\x1b\x7f", 6), 4,
                                           QByteArray("\x20\x00\x01\x02\x0d\x02\x19\x02", 8));
    const CliResult r = RunCli({"info", files.Write("set.bin", Le32(1) + Le32(255) + record)});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString text = QString::fromUtf8(r.out);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Набор мелодий 1 м. x 255 н.\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("Мелодия 1 «a\\x00b\\x0a\\x1b\\x7f», нот: 4")));
    EXPECT_EQ(text.count('\n'), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("Ля, Малая октава 1/4; Ля, Первая октава 1/4; Ля, "
                                             "Вторая октава 1/4")));
    EXPECT_TRUE(r.err.contains("read as a set")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(kMsgNoteReadError)));

    // The same record with a leading count is a melody file, which needs no set.
    const CliResult mel = RunCli({"info", "--json", files.Write("m.dat", Le32(4) + record)});
    EXPECT_EQ(mel.code, 0);
    EXPECT_TRUE(mel.err.contains("read as a melody")) << mel.err.toStdString();
    o = QJsonDocument::fromJson(mel.out).object();
    EXPECT_EQ(o.take("title").toString(), QStringLiteral("a\0b\n\x1b\x7f"));
    const QJsonArray notes{QJsonArray{11, 3}, QJsonArray{1, 2}, QJsonArray{13, 2},
                           QJsonArray{25, 2}};
    EXPECT_EQ(o, (QJsonObject{{"type", "melody"}, {"count", 4}, {"rows", 1}, {"notes", notes}}));
    EXPECT_TRUE(QString::fromUtf8(RunCli({"info", files.Path("m.dat")}).out)
                    .startsWith(QStringLiteral("Мелодия из файла, нот по заголовку: 4\n")));
    EXPECT_EQ(RunCli({"info", files.Write("x.dat", "not a set")}).code, 1);
}

TEST_F(CliFiles, HelpVersionAndTheExamplesListAnswerAndWriteNothing)
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
    const CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith("tinkla-cli 1.0"));
    const CliResult list = RunCli({"examples"});
    ASSERT_EQ(list.code, 0) << list.err.toStdString();
    EXPECT_GE(list.out.count('\n'), 25);
    EXPECT_TRUE(QString::fromUtf8(list.out).contains(QStringLiteral("Ода к радости")));
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files), QStringList());
}

// new writes empty melodies of the chosen format. On a full disk or a full output a run fails, and
// every output it would have replaced stays whole.
TEST_F(CliFiles, NewWritesEmptyMelodiesAndAFullDiskLeavesEveryOldOutputWhole)
{
    ASSERT_EQ(RunCli({"new", files.Path("new.fml")}).code, 0);
    EXPECT_EQ(TempFiles::Read(files.Path("new.fml")), BlankSet(8, 31)) << "the default set";
    const QString set = files.Path("1x255.fml");
    ASSERT_EQ(RunCli({"new", "--format", "1x255", set}).code, 0);
    EXPECT_EQ(TempFiles::Read(set), BlankSet(1, 255));
    QProcess full;
    full.setStandardOutputFile(QStringLiteral("/dev/full"));
    full.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")), {"info", set});
    ASSERT_TRUE(full.waitForFinished(30000));
    EXPECT_EQ(full.exitCode(), 1);
    EXPECT_TRUE(full.readAllStandardError().contains("нет места на диске"));
    const QStringList runs[] = {{"new", "--force", set},
                                {"melody-save", set, "1", files.Path("m.mel")},
                                {"image", set, "-o", files.Path("dump.bin")}};
    for (const QStringList& args : runs) // the old outputs
        ASSERT_EQ(RunCli(args).code, 0);
    for (const QStringList& args : runs) {
        const QByteArray before = TempFiles::Read(args.last());
        const CliResult r = RunCli(args, files.Dir(), 16); // each output is larger
        EXPECT_EQ(r.code, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Не удалось сохранить файл")))
            << r.err.toStdString();
        EXPECT_EQ(TempFiles::Read(args.last()), before) << args.join(' ').toStdString();
    }
    EXPECT_EQ(QDir(files.Dir()).entryList(QDir::Files).size(), 4) << "no temporary file left";
}

// melody-save writes what the editor would and melody-load puts it into melody K; an imported
// tune goes out as MIDI and RTTTL and comes back the same; an example is copied out whole.
TEST_F(CliFiles, MelodyFilesAndImportsComeBackTheSame)
{
    const QString set = WriteSet("set.fml", 3);
    const QString mel = files.Path("m.mel");
    ASSERT_EQ(RunCli({"melody-save", set, "2", mel}).code, 0);
    EXPECT_EQ(TempFiles::Read(mel),
              Le32(3) + MelodyRecord(1, "\xC2\xE0\xEB\xFC\xF1", 3, NoteBytes(3, 13, 2)));
    ASSERT_EQ(RunCli({"melody-load", set, "8", mel}).code, 0);
    const QString tune = files.Write("t.rtx", "Ода:d=4,o=5:e,e,f,g,8g,2f,16e,1d");
    const CliResult r = RunCli({"import", set, "1", tune, "--transpose", "-12"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Импортировано нот: 8."))) << r.err.toStdString();
    ASSERT_EQ(RunCli({"export", set, "1", files.Path("t.mid")}).code, 0);
    ASSERT_EQ(RunCli({"import", set, "3", files.Path("t.mid")}).code, 0);
    ASSERT_EQ(RunCli({"export", set, "1", files.Path("t.rtttl")}).code, 0);
    ASSERT_EQ(RunCli({"import", set, "4", files.Path("t.rtttl")}).code, 0);
    ASSERT_EQ(RunCli({"transpose", set, "4", "-4"}).code, 0);
    ASSERT_EQ(RunCli({"examples", "ode_to_joy", files.Path("ode.fml")}).code, 0);
    const QJsonArray items =
        QJsonDocument::fromJson(RunCli({"info", "--json", set}).out)["items"].toArray();
    EXPECT_EQ(items[7], items[1]);
    EXPECT_EQ(items[0].toObject()["title"].toString(), QStringLiteral("Ода"));
    EXPECT_EQ(items[0].toObject()["notes"].toArray()[0].toArray(), (QJsonArray{8, 2}));
    EXPECT_EQ(items[2], items[0]);
    EXPECT_EQ(items[3].toObject()["notes"].toArray()[0].toArray(), (QJsonArray{4, 2}));
    const QJsonDocument ode =
        QJsonDocument::fromJson(RunCli({"info", "--json", files.Path("ode.fml")}).out);
    EXPECT_EQ(ode["items"][0]["notes"].toArray().size(), 30);
}

} // namespace
