// tinkla-cli image, write, read, dump and test, run as a user runs them, against simulated
// doorbells in a scratch directory.
#include "bell/BellMessages.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <csignal>

using namespace tinkla;
using namespace tinkla::test;

namespace
{

// Every test starts with set.fml: a set with notes in three melodies.
class CliBell : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetFixture set(16, 15, {{Code(1, 2), Code(3, 3)}, {}, std::vector<BYTE>(15, Code(20, 4))});
        ASSERT_TRUE(set.doc.OnSaveDocument(Path("set.fml")));
    }
    // Runs tinkla-cli, expecting the exit status and `says` on its standard error.
    CliResult Run(const QStringList& args, int code = 0, const QString& says = {})
    {
        const CliResult r = RunCli(args, files.Dir());
        EXPECT_EQ(r.code, code) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(says)) << r.err.toStdString();
        return r;
    }
    QString Path(const char* name) const { return files.Path(QString::fromUtf8(name)); }
    QString Sim(const char* options = "") const
    {
        return QStringLiteral("sim:") + Path("bell.bin") + QString::fromUtf8(options);
    }

    TempFiles files;
};

TEST_F(CliBell, WrittenDoorbellHoldsExactlyTheImageAndReadsBackAsTheSet)
{
    Run({"image", Path("set.fml"), "-o", Path("dump.bin")});
    Run({"write", Path("set.fml"), "--port", Sim()}, 0, "Проверено");
    const QByteArray dump = TempFiles::Read(Path("dump.bin"));
    EXPECT_EQ(TempFiles::Read(Path("bell.bin")), dump);
    EXPECT_EQ(dump.mid(256, 2), QByteArray("\xF0\xFF", 2)); // the format byte, then blank

    // A read replaces a file only when forced; "-" is the standard output.
    const QByteArray set = TempFiles::Read(Path("set.fml"));
    Run({"read", Path("set.fml"), "--port", Sim()}, 1);
    Run({"read", "--force", Path("set.fml"), "--port", Sim()});
    EXPECT_EQ(Run({"read", "-", "--port", Sim()}).out, set);
    EXPECT_EQ(TempFiles::Read(Path("set.fml")), set);
}

TEST_F(CliBell, FailuresExitOneWithTheMessageAndWriteNoFile)
{
    const QString fifo = MakeFifo(files, "fifo");
    const QString link = QStringLiteral("Звонок не подключен");
    const QString memory = QStringLiteral("Не удалось прочитать память звонка");
    const std::pair<QStringList, QString> cases[] = {
        {{"read", Path("out.fml"), "--port", Sim(",absent")}, link},
        {{"read", Path("out.fml"), "--port", Sim(",scl-low")}, link},
        {{"write", Path("set.fml"), "--port", Sim(",absent")}, link},
        {{"write", Path("set.fml"), "--port", Sim(",scl-low")}, link},
        {{"read", Path("out.fml"), "--port", Sim()}, "отсутсвуют"}, // blank: no format
        {{"write", Path("set.fml"), "--port", "sim:" + fifo}, memory},
        {{"write", Path("set.fml"), "--port", "sim:" + files.Dir()}, memory}};
    for (const auto& [args, says] : cases) {
        Run(args, 1, says);
        EXPECT_FALSE(QFile::exists(Path("out.fml")));
    }
    EXPECT_FALSE(QFileInfo(fifo).isFile()); // a memory "file" that is none is left what it was
    Run({"write", Path("set.fml"), "--port", "lpt1"}, 2, "Неизвестный порт");
}

// Dumped as it is: contents that decode to no set (a format byte with two runs of ones). Without
// --port the remembered port is used, and without that the simulated doorbell, which says so.
TEST_F(CliBell, DumpGivesTheMemoryAsItIsFromTheChosenPort)
{
    const CliResult unchosen = Run({"dump", "-o", Path("dump.bin")}, 0, "simulated doorbell");
    EXPECT_TRUE(unchosen.err.contains(files.Dir() + "/data/")) << "and where its memory is";
    QByteArray memory(512, '\x5A');
    memory[256] = char(0xA5);
    files.Write("bell.bin", memory);
    // Quoted, as the program writes it: unquoted, the commas would make it a list.
    ASSERT_TRUE(
        WriteSettings(files.Dir(), ("[Doorbell]\nPort=\"" + Sim(",absent") + "\"\n").toUtf8()));
    Run({"dump"}, 1, "no answer on the bus");
    const CliResult chosen = Run({"dump", "--port", Sim()});
    EXPECT_EQ(chosen.out, memory);
    EXPECT_TRUE(chosen.err.isEmpty()) << chosen.err.toStdString();
    Run({"dump", "--port", Sim(), "-o", Path("dump.bin")});
    EXPECT_EQ(TempFiles::Read(Path("dump.bin")), memory);
}

// A doorbell that takes the set and keeps none of it is found out by reading it back; only
// --no-verify takes the bus's word. A chip that a killed program left inside a read, which the
// reset pulse does not reach, is clocked free.
TEST_F(CliBell, NothingIsReportedDoneThatWasNotDone)
{
    const CliResult wp = Run({"write", Path("set.fml"), "--port", Sim(",wp")}, 1, kMsgBellVerify);
    EXPECT_TRUE(wp.err.contains(QStringLiteral("формат: в звонке испорченный байт формата")));
    Run({"write", Path("set.fml"), "--no-verify", "--port", Sim(",wp")});
    Run({"write", Path("set.fml"), "--port", Sim()});
    Run({"read", Path("out.fml"), "--port", Sim(",midread")});
}

TEST_F(CliBell, InterruptedReadFreesTheBusAndExitsWithTheSignal)
{
    Run({"write", Path("set.fml"), "--port", Sim()});
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), files.Dir() + QStringLiteral("/config"));
    p.setProcessEnvironment(env);
    // Every byte stretched by 20 ms: the read takes seconds.
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
            {"read", Path("out.fml"), "--port", Sim(",stretch=20"), "--trace", Path("trace.txt")});
    ASSERT_TRUE(p.waitForStarted());
    // Inside the image read: its device code and a few bytes are through.
    for (int i = 0; i < 500 && QFileInfo(Path("trace.txt")).size() < 40000; ++i)
        QThread::msleep(20);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 130);
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    // The image read's last frame: ended with a no-acknowledge and a stop.
    const auto frames = DecodeTrace(TempFiles::Read(Path("trace.txt")).toStdString());
    ASSERT_FALSE(frames.empty());
    const BusFrame& read = frames.back();
    EXPECT_TRUE(read.bytes.front() == 0xA1 && !read.acked.back() && read.endedByStop);
}

TEST_F(CliBell, UsageMistakesExitTwo)
{
    const QStringList cases[] = {
        {"write"},           {"write", "a.fml", "b.fml"},   {"read", "--port"},
        {"image", "a.fml"},  {"test", "--seconds", "-1"},   {"test", "--bogus"},
        {"read", "-x", "a"}, {"test", "--speaker", "loud"}, {"silence", "--speaker", "beep"},
        {"dump", "extra"}};
    for (const QStringList& args : cases)
        Run(args, 2, "usage: tinkla-cli " + args[0]);
    Run({"silence", "--speaker", "none"});
}

// --trace-times stamps each line with the time of the access, in order.
TEST_F(CliBell, TestPulsesResetPlayResetAndTheDoorbellIsHeard)
{
    Run({"write", Path("set.fml"), "--port", Sim()});
    Run({"test", "--port", Sim(), "--seconds", "0.3", "--speaker", "wav:" + Path("heard.wav"),
         "--trace", Path("trace.txt"), "--trace-times"});
    const QByteArray wav = TempFiles::Read(Path("heard.wav"));
    ASSERT_GT(wav.size(), 44);
    EXPECT_NE(wav.mid(44).count('\0'), wav.size() - 44) << "the doorbell played nothing";
    QString trace = QString::fromUtf8(TempFiles::Read(Path("trace.txt")));
    const QRegularExpression stamp(QStringLiteral("^(\\d+\\.\\d{3}) "),
                                   QRegularExpression::MultilineOption);
    std::vector<double> times;
    for (auto it = stamp.globalMatch(trace); it.hasNext();)
        times.push_back(it.next().captured(1).toDouble());
    EXPECT_TRUE(times.size() == 9 && std::is_sorted(times.begin(), times.end()))
        << trace.toStdString();
    EXPECT_EQ(trace.remove(stamp), QStringLiteral("o 378 38\no 378 18\no 378 38\n"
                                                  "o 378 38\no 378 30\no 378 38\n"
                                                  "o 378 38\no 378 18\no 378 38\n"));
}

} // namespace
