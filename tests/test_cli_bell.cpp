// tinkla-cli image, write, read and test, run as a user runs them, against simulated doorbells
// in a scratch directory.
#include "support/DocTestKit.h"
#include "test_bus_support.h"

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
    const CliResult write = Run({"write", set, "--port", Sim("bell.bin"), "--verify"});
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
    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin"), "--trace", Path("trace.txt")}).code, 0);
    const std::string trace = TempFiles::Read(Path("trace.txt")).toStdString();
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
    EXPECT_EQ(port.code, 1);
    EXPECT_TRUE(port.err.contains(QStringLiteral("Неизвестный порт")));
}

TEST_F(CliBell, UsageMistakesExitTwo)
{
    const QStringList cases[] = {
        {"write"},          {"write", "a.fml", "b.fml"}, {"read", "--port"},
        {"image", "a.fml"}, {"test", "--seconds", "-1"}, {"test", "--bogus"}};
    for (const QStringList& args : cases)
        EXPECT_EQ(Run(args).code, 2) << args.join(' ').toStdString();
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
    ASSERT_TRUE(WriteSettings(files.Dir(), ("[Doorbell]\nPort=" + Sim("bell.bin", ",absent") + "\n").toUtf8()));
    EXPECT_EQ(Run({"read", Path("out.fml")}).code, 1);
    EXPECT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
}

} // namespace
