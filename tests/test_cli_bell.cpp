// tinkla-cli write, read, dump and test as a user runs them, against simulated doorbells.
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
    QString Sim(const char* options = "") const { return "sim:" + Path("bell.bin") + options; }

    TempFiles files;
};

// A failure exits 1 with the message and writes no file; a usage mistake exits 2.
TEST_F(CliBell, RefusalsExitWithTheirStatusAndMessage)
{
    const QString fifo = MakeFifo(files, "fifo");
    const std::pair<QStringList, QString> cases[] = {
        {{"read", Path("out.fml"), "--port", Sim(",absent")}, "Звонок не подключен"},
        {{"read", Path("out.fml"), "--port", Sim(",scl-low")}, "Звонок не подключен"},
        {{"write", Path("set.fml"), "--port", Sim(",absent")}, "Звонок не подключен"},
        {{"read", Path("out.fml"), "--port", Sim()}, "отсутсвуют"}, // blank: no format
        {{"write", Path("set.fml"), "--port", "sim:" + fifo}, "Не удалось прочитать память"},
        {{"write", Path("set.fml"), "--port", "sim:" + files.Dir()},
         "Не удалось прочитать память"}};
    for (const auto& [args, says] : cases)
        Run(args, 1, says);
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    EXPECT_FALSE(QFileInfo(fifo).isFile()); // a memory "file" that is none is left what it was
    Run({"write", Path("set.fml"), "--port", "lpt1"}, 2, "Неизвестный порт");
    const QStringList usage[] = {
        {"write"},           {"write", "a.fml", "b.fml"},   {"read", "--port"},
        {"image", "a.fml"},  {"test", "--seconds", "-1"},   {"test", "--bogus"},
        {"read", "-x", "a"}, {"test", "--speaker", "loud"}, {"silence", "--speaker", "beep"},
        {"dump", "extra"}};
    for (const QStringList& args : usage)
        Run(args, 2, "usage: tinkla-cli " + args[0]);
    Run({"silence", "--speaker", "none"});
}

// Dumped as it is: contents that decode to no set (a format byte with two runs of ones). Without
// --port the remembered port is used, and without that the simulated doorbell, which says so.
TEST_F(CliBell, DumpGivesTheMemoryAsItIsFromTheChosenPort)
{
    Run({"dump", "-o", Path("dump.bin")}, 0, "simulated doorbell answers, sim:" + files.Dir());
    EXPECT_EQ(TempFiles::Read(Path("dump.bin")), QByteArray(512, '\xFF')); // a blank doorbell
    const QByteArray memory = QByteArray(256, '\x5A') + '\xA5' + QByteArray(255, '\x5A');
    files.Write("bell.bin", memory);
    // Typed by hand, without the quotes the program writes: the commas are not a list.
    ASSERT_TRUE(WriteSettings(files.Dir(), ("[Doorbell]\nPort=" + Sim(",absent") + "\n").toUtf8()));
    Run({"dump"}, 1, "no answer on the bus");
    const CliResult chosen = Run({"dump", "--port", Sim()});
    EXPECT_EQ(chosen.out, memory);
    EXPECT_TRUE(chosen.err.isEmpty()) << chosen.err.toStdString();
}

// A doorbell that takes the set and keeps none of it is found out by reading it back; only
// --no-verify takes the bus's word. A chip that a killed program left inside a read, which the
// reset pulse does not reach, is clocked free. A read replaces a file only when forced.
TEST_F(CliBell, NothingIsReportedDoneThatWasNotDone)
{
    const CliResult wp = Run({"write", Path("set.fml"), "--port", Sim(",wp")}, 1, kMsgBellVerify);
    EXPECT_TRUE(wp.err.contains(QStringLiteral("формат: в звонке испорченный байт формата")));
    Run({"write", Path("set.fml"), "--no-verify", "--port", Sim(",wp")});
    Run({"write", Path("set.fml"), "--port", Sim()}, 0, "Проверено");
    const QByteArray set = TempFiles::Read(Path("set.fml"));
    files.Write("set.fml", "mine");
    Run({"read", Path("set.fml"), "--port", Sim()}, 1);
    EXPECT_EQ(TempFiles::Read(Path("set.fml")), QByteArray("mine"));
    Run({"read", "--force", Path("set.fml"), "--port", Sim(",midread")});
    EXPECT_EQ(TempFiles::Read(Path("set.fml")), set);
    EXPECT_EQ(Run({"read", "-", "--port", Sim()}).out, set); // "-": the standard output
}

TEST_F(CliBell, InterruptedReadFreesTheBusAndExitsWithTheSignal)
{
    Run({"write", Path("set.fml"), "--port", Sim()});
    QProcess p;
    // Every byte stretched by 20 ms: the read takes seconds.
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
            {"read", Path("out.fml"), "--port", Sim(",stretch=20"), "--trace", Path("trace.txt")});
    ASSERT_TRUE(p.waitForStarted());
    // Inside the image read: its device code and a few bytes are through.
    for (int i = 0; i < 500 && QFileInfo(Path("trace.txt")).size() < 40000; ++i)
        QThread::msleep(20);
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_TRUE(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 130) << p.exitCode();
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    const auto frames = DecodeTrace(TempFiles::Read(Path("trace.txt")).toStdString());
    ASSERT_FALSE(frames.empty());
    const BusFrame& read = frames.back();
    ASSERT_FALSE(read.bytes.empty());
    EXPECT_TRUE(read.bytes.front() == 0xA1 && !read.acked.back() && read.endedByStop);
}

// --trace-times stamps each line with the time of the access, in order.
TEST_F(CliBell, TestPulsesResetPlayResetAndTheDoorbellIsHeard)
{
    Run({"write", Path("set.fml"), "--port", Sim()});
    Run({"test", "--port", Sim(), "--seconds", "0.3", "--speaker", "wav:" + Path("heard.wav"),
         "--trace", Path("trace.txt"), "--trace-times"});
    const QByteArray wav = TempFiles::Read(Path("heard.wav"));
    EXPECT_GT(wav.mid(44).size() - wav.mid(44).count('\0'), 0) << "the doorbell played nothing";
    QString trace = QString::fromUtf8(TempFiles::Read(Path("trace.txt")));
    const QRegularExpression stamp("^(\\d+\\.\\d{3}) ", QRegularExpression::MultilineOption);
    std::vector<double> times;
    for (auto it = stamp.globalMatch(trace); it.hasNext();)
        times.push_back(it.next().captured(1).toDouble());
    EXPECT_TRUE(times.size() == 9 && std::is_sorted(times.begin(), times.end()));
    EXPECT_EQ(trace.remove(stamp), QStringLiteral("o 378 38\no 378 18\no 378 38\n"
                                                  "o 378 38\no 378 30\no 378 38\n"
                                                  "o 378 38\no 378 18\no 378 38\n"));
}

} // namespace
