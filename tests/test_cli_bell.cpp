// tinkla-cli image, write, read and test, run as a user runs them, against simulated doorbells
// in a scratch directory.
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include "bell/BellMessages.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <csignal>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

class CliBell : public ::testing::Test
{
protected:
    CliResult Run(const QStringList& args) { return RunCli(args, files.Dir()); }
    QString Path(const char* name) const { return files.Path(QString::fromUtf8(name)); }
    QString Sim(const char* name, const char* options = "") const
    {
        return QStringLiteral("sim:") + Path(name) + QString::fromUtf8(options);
    }
    // A set with notes in three melodies.
    QString SampleSet()
    {
        SetFixture set(16, 15, {{Code(1, 2), Code(3, 3)}, {}, std::vector<BYTE>(15, Code(20, 4))});
        EXPECT_TRUE(set.doc.OnSaveDocument(Path("set.fml")));
        return Path("set.fml");
    }

    TempFiles files;
};

TEST_F(CliBell, WrittenDoorbellHoldsExactlyTheImageAndReadsBackAsTheSet)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"image", set, "-o", Path("dump.bin")}).code, 0);
    const CliResult write = Run({"write", set, "--port", Sim("bell.bin")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_TRUE(write.err.contains(QStringLiteral("Проверено")));
    const QByteArray dump = TempFiles::Read(Path("dump.bin"));
    ASSERT_EQ(dump.size(), 512);
    EXPECT_EQ(TempFiles::Read(Path("bell.bin")), dump);
    EXPECT_EQ(uint8_t(dump[256]), 0xF0);
    EXPECT_EQ(dump.mid(257), QByteArray(255, '\xFF'));

    const CliResult read = Run({"read", Path("back.fml"), "--port", Sim("bell.bin")});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    SetFixture original(8, 31), back(8, 31);
    ASSERT_TRUE(original.doc.OnOpenDocument(set));
    ASSERT_TRUE(back.doc.OnOpenDocument(Path("back.fml")));
    EXPECT_EQ(back.doc.GetMelodyCount(), 16u);
    EXPECT_EQ(back.Notes(), original.Notes());
}

TEST_F(CliBell, TraceShowsEveryPageAfterPolling)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin"), "--trace", Path("trace.txt"),
                   "--trace-times"})
                  .code,
              0);
    // Each line stamped with the time of the access, in order; the bridge grammar after it.
    QString stamped = QString::fromUtf8(TempFiles::Read(Path("trace.txt")));
    const QRegularExpression stamp(QStringLiteral("^(\\d+\\.\\d{3}) "),
                                   QRegularExpression::MultilineOption);
    double last = 0.0;
    int lines = 0;
    for (auto it = stamp.globalMatch(stamped); it.hasNext(); ++lines) {
        const double t = it.next().captured(1).toDouble();
        EXPECT_GE(t, last);
        last = t;
    }
    EXPECT_EQ(lines, stamped.count(QLatin1Char('\n')));
    const std::string trace = stamped.remove(stamp).toStdString();
    ASSERT_EQ(trace.rfind("o 378 38\no 378 18\no 378 38\n", 0), 0u); // the reset pulse first
    ExpectPagedWrite(DecodeTrace(trace));
}

TEST_F(CliBell, FailuresExitOneWithTheMessageAndWriteNoFile)
{
    const QString set = SampleSet();
    for (const char* options : {",absent", ",scl-low"}) {
        const CliResult read = Run({"read", Path("out.fml"), "--port", Sim("bell.bin", options)});
        EXPECT_EQ(read.code, 1);
        EXPECT_TRUE(read.err.contains(QStringLiteral("Звонок не подключен")))
            << read.err.toStdString();
        EXPECT_FALSE(QFile::exists(Path("out.fml")));
        EXPECT_EQ(Run({"write", set, "--port", Sim("bell.bin", options)}).code, 1);
    }
    // A blank doorbell holds no format.
    const CliResult blank = Run({"read", Path("out.fml"), "--port", Sim("blank.bin")});
    EXPECT_EQ(blank.code, 1);
    EXPECT_TRUE(blank.err.contains(QStringLiteral("отсутсвуют"))) << blank.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    const CliResult port = Run({"write", set, "--port", "lpt1"});
    EXPECT_EQ(port.code, 2);
    EXPECT_TRUE(port.err.contains(QStringLiteral("Неизвестный порт")));
    // A memory "file" that is none: refused at once, and left what it was.
    const QString fifo = MakeFifo(files, "fifo");
    for (const QString& memory : {fifo, files.Dir()}) {
        const CliResult sim = Run({"write", set, "--port", "sim:" + memory});
        EXPECT_EQ(sim.code, 1);
        EXPECT_TRUE(sim.err.contains(QStringLiteral("Не удалось прочитать память звонка")))
            << sim.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

TEST_F(CliBell, ReadReplacesOnlyWithForceAndWritesToStdout)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin")}).code, 0);
    const QByteArray before = TempFiles::Read(set);
    EXPECT_EQ(Run({"read", set, "--port", Sim("bell.bin")}).code, 1);
    EXPECT_EQ(TempFiles::Read(set), before);
    ASSERT_EQ(Run({"read", "--force", set, "--port", Sim("bell.bin")}).code, 0);
    const CliResult piped = Run({"read", "-", "--port", Sim("bell.bin")});
    ASSERT_EQ(piped.code, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out, TempFiles::Read(set));
}

TEST_F(CliBell, DumpGivesTheMemoryAsItIs)
{
    // Contents that decode to no set: a format byte with two runs of ones.
    QByteArray memory(512, '\x5A');
    memory[256] = char(0xA5);
    files.Write("bell.bin", memory);
    const CliResult piped = Run({"dump", "--port", Sim("bell.bin")});
    ASSERT_EQ(piped.code, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out, memory);
    ASSERT_EQ(Run({"dump", "--port", Sim("bell.bin"), "-o", Path("dump.bin")}).code, 0);
    EXPECT_EQ(TempFiles::Read(Path("dump.bin")), memory);
    EXPECT_EQ(Run({"dump", "--port", Sim("bell.bin", ",absent")}).code, 1);
}

TEST_F(CliBell, TheSimulatedDoorbellSaysSoWhenNoPortWasChosen)
{
    const CliResult unchosen = Run({"dump", "-o", Path("dump.bin")});
    EXPECT_EQ(unchosen.code, 0);
    EXPECT_TRUE(unchosen.err.contains("simulated doorbell")) << unchosen.err.toStdString();
    EXPECT_TRUE(unchosen.err.contains(files.Dir() + "/data/")) << "and where its memory is";
    const CliResult chosen = Run({"dump", "-o", Path("dump.bin"), "--port", Sim("bell.bin")});
    EXPECT_EQ(chosen.code, 0);
    EXPECT_TRUE(chosen.err.isEmpty()) << chosen.err.toStdString();
}

// A doorbell that takes the set and keeps none of it is found out by reading it back; only
// --no-verify takes the bus's word. A chip that a killed program left inside a read, which the
// reset pulse does not reach, is clocked free.
TEST_F(CliBell, NothingIsReportedDoneThatWasNotDone)
{
    const QString set = SampleSet();
    const CliResult wp = Run({"write", set, "--port", Sim("bell.bin", ",wp")});
    EXPECT_EQ(wp.code, 1);
    EXPECT_TRUE(wp.err.contains(QString::fromUtf8(kMsgBellVerify))) << wp.err.toStdString();
    EXPECT_TRUE(wp.err.contains(QStringLiteral("формат: в звонке испорченный байт формата")));
    EXPECT_EQ(Run({"write", set, "--no-verify", "--port", Sim("bell.bin", ",wp")}).code, 0);

    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin")}).code, 0);
    const CliResult read = Run({"read", Path("out.fml"), "--port", Sim("bell.bin", ",midread")});
    EXPECT_EQ(read.code, 0) << read.err.toStdString();
    const CliResult gone =
        Run({"read", Path("gone.fml"), "--port", Sim("bell.bin", ",absent,after=100")});
    EXPECT_EQ(gone.code, 1);
    EXPECT_TRUE(gone.err.contains(QString::fromUtf8(kMsgBellLink)));
}

TEST_F(CliBell, InterruptedReadFreesTheBusAndExitsWithTheSignal)
{
    ASSERT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), files.Dir() + QStringLiteral("/config"));
    p.setProcessEnvironment(env);
    // Every byte stretched by 20 ms: the read takes seconds.
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
            {"read", Path("out.fml"), "--port", Sim("bell.bin", ",stretch=20"), "--trace",
             Path("trace.txt")});
    ASSERT_TRUE(p.waitForStarted());
    // Inside the image read: its device code and a few bytes are through.
    for (int i = 0; i < 500 && QFileInfo(Path("trace.txt")).size() < 40000; ++i)
        QThread::msleep(20);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 130);
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    const std::vector<BusFrame> frames =
        DecodeTrace(TempFiles::Read(Path("trace.txt")).toStdString());
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().bytes.front(), 0xA1);
    EXPECT_FALSE(frames.back().acked.back()) << "the read was not ended with a no-acknowledge";
    EXPECT_TRUE(frames.back().endedByStop);
}

TEST_F(CliBell, UsageMistakesExitTwo)
{
    const QStringList cases[] = {{"write"},
                                 {"write", "a.fml", "b.fml"},
                                 {"read", "--port"},
                                 {"image", "a.fml"},
                                 {"test", "--seconds", "-1"},
                                 {"test", "--bogus"},
                                 {"read", "-x", "a.fml"},
                                 {"test", "--speaker", "loud"},
                                 {"silence", "--speaker", "beep"},
                                 {"dump", "extra"}};
    for (const QStringList& args : cases) {
        const CliResult r = Run(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: tinkla-cli " + args[0])) << r.err.toStdString();
    }
    EXPECT_EQ(Run({"silence", "--speaker", "none"}).code, 0);
}

TEST_F(CliBell, TestPulsesResetPlayResetAndTheDoorbellIsHeard)
{
    ASSERT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
    const CliResult r = Run({"test", "--port", Sim("bell.bin"), "--seconds", "0.3", "--speaker",
                             "wav:" + Path("heard.wav"), "--trace", Path("trace.txt")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray wav = TempFiles::Read(Path("heard.wav"));
    ASSERT_GT(wav.size(), 44);
    EXPECT_NE(wav.mid(44).count('\0'), wav.size() - 44) << "the doorbell played nothing";
    EXPECT_EQ(TempFiles::Read(Path("trace.txt")), QByteArray("o 378 38\no 378 18\no 378 38\n"
                                                             "o 378 38\no 378 30\no 378 38\n"
                                                             "o 378 38\no 378 18\no 378 38\n"));
}

TEST_F(CliBell, RememberedPortIsTheDefault)
{
    ASSERT_TRUE(WriteSettings(files.Dir(),
                              ("[Doorbell]\nPort=" + Sim("bell.bin", ",absent") + "\n").toUtf8()));
    EXPECT_EQ(Run({"read", Path("out.fml")}).code, 1);
    EXPECT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
}

} // namespace
