// tinkla-cli image, write, read and test, run as a user runs them, against simulated doorbells
// in a scratch directory.
#include "test_bus_support.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace tinkla;

namespace
{

class CliBell : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_cli = QString::fromLocal8Bit(qgetenv("TINKLA_CLI"));
        if (m_cli.isEmpty())
            GTEST_SKIP() << "TINKLA_CLI not set";
        ASSERT_TRUE(m_dir.isValid());
    }
    struct Result {
        int code;
        QString err;
    };
    Result Run(const QStringList& args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Never the user's own settings or doorbell.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        p.setProcessEnvironment(env);
        p.start(m_cli, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }
    QString Sim(const char* name, const char* options = "") const
    {
        return QStringLiteral("sim:") + Path(name) + QString::fromUtf8(options);
    }
    QByteArray Contents(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A set with notes in three melodies, saved as SET.fml.
    QString SampleSet()
    {
        test::SetFixture set(
            16, 15,
            {{test::Code(1, 2), test::Code(3, 3)}, {}, std::vector<BYTE>(15, test::Code(20, 4))});
        const QString path = Path("set.fml");
        EXPECT_TRUE(set.doc.OnSaveDocument(path));
        return path;
    }

    QString m_cli;
    QTemporaryDir m_dir;
};

TEST_F(CliBell, WrittenDoorbellHoldsExactlyTheImage)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"image", set, "-o", Path("dump.bin")}).code, 0);
    const Result write = Run({"write", set, "--port", Sim("bell.bin"), "--verify"});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    EXPECT_TRUE(write.err.contains(QStringLiteral("Проверено")));
    const QByteArray dump = Contents(Path("dump.bin"));
    ASSERT_EQ(dump.size(), 512);
    EXPECT_EQ(Contents(Path("bell.bin")), dump);
    EXPECT_EQ(uint8_t(dump[256]), 0xF0);
    EXPECT_EQ(dump.mid(257), QByteArray(255, '\xFF'));
}

TEST_F(CliBell, ReadGivesBackTheSetWritten)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin")}).code, 0);
    const Result read = Run({"read", Path("back.fml"), "--port", Sim("bell.bin")});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    test::SetFixture original(8, 31);
    test::SetFixture back(8, 31);
    ASSERT_TRUE(original.doc.OnOpenDocument(set));
    ASSERT_TRUE(back.doc.OnOpenDocument(Path("back.fml")));
    EXPECT_EQ(back.doc.GetMelodyCount(), 16u);
    EXPECT_EQ(back.Notes(), original.Notes());
}

TEST_F(CliBell, TraceShowsEveryPageAfterPolling)
{
    const QString set = SampleSet();
    ASSERT_EQ(Run({"write", set, "--port", Sim("bell.bin"), "--trace", Path("trace.txt")}).code, 0);
    const std::string trace = Contents(Path("trace.txt")).toStdString();
    ASSERT_EQ(trace.rfind("o 378 38\no 378 18\no 378 38\n", 0), 0u); // the reset pulse first
    test::ExpectPagedWrite(test::DecodeTrace(trace));
}

TEST_F(CliBell, FailuresExitOneWithTheMessageAndWriteNoFile)
{
    const QString set = SampleSet();
    const std::pair<const char*, const char*> cases[] = {
        {",absent", "Звонок не подключен"},
        {",scl-low", "Звонок не подключен"},
    };
    for (const auto& [options, says] : cases) {
        const Result read = Run({"read", Path("out.fml"), "--port", Sim("bell.bin", options)});
        EXPECT_EQ(read.code, 1);
        EXPECT_TRUE(read.err.contains(QString::fromUtf8(says))) << read.err.toStdString();
        EXPECT_FALSE(QFile::exists(Path("out.fml")));
        EXPECT_EQ(Run({"write", set, "--port", Sim("bell.bin", options)}).code, 1);
    }
    // A blank doorbell holds no format.
    const Result blank = Run({"read", Path("out.fml"), "--port", Sim("blank.bin")});
    EXPECT_EQ(blank.code, 1);
    EXPECT_TRUE(blank.err.contains(QStringLiteral("отсутсвуют"))) << blank.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.fml")));
    const Result port = Run({"write", set, "--port", "lpt1"});
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

TEST_F(CliBell, TestPulsesResetPlayReset)
{
    // A programmed simulated doorbell is heard: its first melody reaches the chosen speaker.
    ASSERT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
    const Result r = Run({"test", "--port", Sim("bell.bin"), "--seconds", "0.3", "--speaker",
                          "wav:" + Path("heard.wav"), "--trace", Path("trace.txt")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QByteArray wav = Contents(Path("heard.wav"));
    ASSERT_GT(wav.size(), 44);
    EXPECT_NE(wav.mid(44).count('\0'), wav.size() - 44) << "the doorbell played nothing";
    EXPECT_EQ(Contents(Path("trace.txt")), QByteArray("o 378 38\no 378 18\no 378 38\n"
                                                      "o 378 38\no 378 30\no 378 38\n"
                                                      "o 378 38\no 378 18\no 378 38\n"));
}

TEST_F(CliBell, RememberedPortIsTheDefault)
{
    // The settings file of the scratch config names a simulated doorbell with no device on it.
    QDir().mkpath(Path("config/Korvel"));
    QFile conf(Path("config/Korvel/Tinkla.conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write(("[Doorbell]\nPort=" + Sim("bell.bin", ",absent") + "\n").toUtf8());
    conf.close();
    EXPECT_EQ(Run({"read", Path("out.fml")}).code, 1);
    EXPECT_EQ(Run({"write", SampleSet(), "--port", Sim("bell.bin")}).code, 0);
}

} // namespace
