// The PORT grammar, the ppdev and exec backends with their refusals, the trace format, and the
// doorbell probe behind the "check" button.
#include "bell/Transactions.h"
#include "bell/TransferSession.h"
#include "devices/ExecBridge.h"
#include "devices/PortSpec.h"
#include "devices/PpdevPort.h"
#include "devices/TracingPort.h"
#include "platform/Settings.h"
#include "platform/TinklaError.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <cctype>
#include <cerrno>
#include <cstdio>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct SpecCase {
    const char* text;
    PortSpec::Kind kind;
    const char* detail; // path, device, base in hex, or command
    SimOptions sim;
};
void PrintTo(const SpecCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

SimOptions With(double twr = 5.0, double stretch = 0.0, bool absent = false, bool busy = false)
{
    SimOptions o;
    o.twrMs = twr;
    o.stretchMs = stretch;
    o.absent = absent;
    o.busy = busy;
    return o;
}

class PortSpecValid : public ::testing::TestWithParam<SpecCase>
{
};

TEST_P(PortSpecValid, ParsesIntoItsBackend)
{
    const SpecCase& c = GetParam();
    PortSpec parsed;
    QString error;
    ASSERT_TRUE(ParsePortSpec(QString::fromUtf8(c.text), &parsed, &error)) << error.toStdString();
    EXPECT_EQ(parsed.kind, c.kind);
    switch (parsed.kind) {
    case PortSpec::Kind::Sim:
        EXPECT_EQ(parsed.sim.path,
                  c.detail[0] ? QString::fromUtf8(c.detail) : DefaultDoorbellFile());
        EXPECT_EQ(parsed.sim.twrMs, c.sim.twrMs);
        EXPECT_EQ(parsed.sim.stretchMs, c.sim.stretchMs);
        EXPECT_EQ(parsed.sim.absent, c.sim.absent);
        EXPECT_EQ(parsed.sim.busy, c.sim.busy);
        break;
    case PortSpec::Kind::Ppdev:
        EXPECT_EQ(parsed.device, QString::fromUtf8(c.detail));
        break;
    case PortSpec::Kind::Direct:
        EXPECT_EQ(parsed.base, QString::fromUtf8(c.detail).toUInt(nullptr, 16));
        break;
    case PortSpec::Kind::Exec:
        EXPECT_EQ(parsed.command, QString::fromUtf8(c.detail));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(
    PortSpec, PortSpecValid,
    ::testing::Values(SpecCase{"sim", PortSpec::Kind::Sim, "", With()},
                      SpecCase{"sim:/tmp/x.bin,twr=0.5,stretch=20", PortSpec::Kind::Sim,
                               "/tmp/x.bin", With(0.5, 20.0)},
                      SpecCase{"sim,absent,busy,", PortSpec::Kind::Sim, "",
                               With(5.0, 0.0, true, true)},
                      SpecCase{"  ppdev  ", PortSpec::Kind::Ppdev, "/dev/parport0", With()},
                      SpecCase{"ppdev:parport1", PortSpec::Kind::Ppdev, "/dev/parport1", With()},
                      SpecCase{"direct", PortSpec::Kind::Direct, "378", With()},
                      SpecCase{"direct:3BC", PortSpec::Kind::Direct, "3bc", With()},
                      SpecCase{"exec:my-bridge --dev 'a b'", PortSpec::Kind::Exec,
                               "my-bridge --dev 'a b'", With()}),
    [](const auto& info) {
        std::string name = "Case" + std::to_string(info.index) + "_";
        for (const char* p = info.param.text; *p && *p != ':' && *p != ','; ++p)
            if (std::isalnum(static_cast<unsigned char>(*p)))
                name += *p;
        return name;
    });

TEST(PortSpecInvalid, RefusalsSayWhatIsAllowed)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "sim[:ФАЙЛ]"},
        {"lpt1", "ppdev:/dev/parportN"},
        {"simulator", "Неизвестный порт"},
        {"sim,nonsense", "absent, sda-low"},
        {"sim,twr=-1", "от 0 до 60000"},
        {"sim,twr=1e9", "от 0 до 60000"},
        {"sim,stretch=nan", "stretch"},
        {"direct:0x20", "от 0x100"},
        {"direct:0x12345", "от 0x100"},
        {"exec:", "нужна команда"},
        {"exec:   ", "нужна команда"},
    };
    for (const auto& [text, hint] : cases) {
        PortSpec parsed;
        QString error;
        EXPECT_FALSE(ParsePortSpec(QString::fromUtf8(text), &parsed, &error)) << text;
        EXPECT_TRUE(error.contains(QString::fromUtf8(hint))) << text << ": " << error.toStdString();
    }
    PortSpec parsed;
    QString error;
    EXPECT_FALSE(ParsePortSpec(QString(kMaxPortSpecLength + 1, QLatin1Char('x')), &parsed, &error));
}

TEST(Ppdev, ErrorsNameTheRemedy)
{
    const QString dev = QStringLiteral("/dev/parport0");
    struct {
        const char* step;
        int err;
        bool lp;
        const char* remedy;
    } cases[] = {
        {"open", ENOENT, false, "sudo modprobe ppdev"},
        {"open", ENOENT, false, "нет параллельного порта"},
        {"open", EACCES, false, "sudo usermod -aG lp $USER"},
        {"open", EPERM, true, "группу lp"},
        {"claim", ENXIO, true, "sudo rmmod lp"},
        {"claim", EBUSY, true, "sudo rmmod lp"},
        {"claim", EBUSY, true, "«blacklist lp» в файл в /etc/modprobe.d/"},
        {"claim", EBUSY, false, "другой программой"},
        {"claim", ENXIO, false, "нет параллельного порта"},
        {"claim", ENOTTY, false, "не устройство параллельного порта"},
        {"open", EIO, false, "Не удалось открыть"},
    };
    for (const auto& c : cases) {
        const QString text = PpdevOpenError(dev, c.step, c.err, c.lp);
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.remedy))) << text.toStdString();
        EXPECT_TRUE(text.contains(dev));
    }
}

TEST(Ppdev, OpenRefusesWhatIsNotAParallelPort)
{
    QString error;
    EXPECT_EQ(PpdevPort::Open(QStringLiteral("/nonexistent/parport7"), &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("Нет устройства")));
    EXPECT_EQ(PpdevPort::Open(QStringLiteral("/dev/null"), &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("не устройство параллельного порта")))
        << error.toStdString();
    // Real failing opens: the reason is the open's own, not what a later call left in errno.
    test::TempFiles files;
    EXPECT_EQ(PpdevPort::Open(files.Dir(), &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("это папка"))) << error.toStdString();
    const QString locked = files.Write(QStringLiteral("parport9"), QByteArray());
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const test::UnwritableDir unprivileged(files.Dir()); // root gives up its file privileges
    if (!unprivileged.ok())
        GTEST_SKIP() << "cannot open a file without permission here";
    EXPECT_EQ(PpdevPort::Open(locked, &error), nullptr);
    // The group named is the one that owns the node (root's never: lp is the fix then).
    const QFileInfo node(locked);
    const QString group = node.groupId() == 0 ? QStringLiteral("lp") : node.group();
    EXPECT_TRUE(error.contains(QStringLiteral("usermod -aG %1 $USER").arg(group)))
        << error.toStdString();
}

TEST(BridgeProtocol, RepliesAreTwoHexDigitsAndNothingElse)
{
    const std::pair<const char*, int> replies[] = {
        {"ff", 0xFF}, {" 0A\r", 0x0A}, {"", -1}, {"4", -1}, {"400", -1}, {"0x40", -1}, {"4 0", -1}};
    for (const auto& [line, expected] : replies) {
        uint8_t value = 0;
        const bool ok = ParseBridgeReply(line, &value);
        EXPECT_EQ(ok ? int(value) : -1, expected) << '"' << line << '"';
    }
    const std::tuple<const char*, bool, int, int> requests[] = {
        {"o 378 38", true, 0x378, 0x38}, {"  i 37a \r\n", true, 0x37A, -1},
        {"o 378", false, 0, 0},          {"i 379 40", false, 0, 0},
        {"o 12345 1", false, 0, 0},      {"o 378 100", false, 0, 0}};
    for (const auto& [line, ok, port, value] : requests) {
        BridgeRequest r;
        ASSERT_EQ(ParseBridgeRequest(line, &r), ok) << line;
        if (!ok)
            continue;
        EXPECT_EQ(r.port, port);
        EXPECT_EQ(r.write, value >= 0);
        if (value >= 0) {
            EXPECT_EQ(r.value, value);
        }
    }
}

TEST(BridgeProtocol, LinesAreCutAndBounded)
{
    BridgeLineReader reader;
    std::string line;
    reader.Append("4", 1);
    EXPECT_EQ(reader.Next(&line), BridgeLineReader::NeedMore);
    reader.Append("0\nff\n", 5);
    ASSERT_EQ(reader.Next(&line), BridgeLineReader::Line);
    EXPECT_EQ(line, "40");
    ASSERT_EQ(reader.Next(&line), BridgeLineReader::Line);
    EXPECT_EQ(line, "ff");
    const std::string longLine(kMaxBridgeLine + 1, 'a');
    reader.Append(longLine.data(), longLine.size());
    EXPECT_EQ(reader.Next(&line), BridgeLineReader::TooLong);
}

TEST(TraceFormat, LinesAreLowerCaseHexWithoutPrefix)
{
    char line[16];
    FormatPortLine(line, 'o', 0x378, 0x38);
    EXPECT_STREQ(line, "o 378 38");
    FormatPortLine(line, 'i', 0x379, 0xAB);
    EXPECT_STREQ(line, "i 379 ab");
    FormatPortLine(line, 'i', 0x37A, -1);
    EXPECT_STREQ(line, "i 37a");
    FormatPortLine(line, 'o', 0x42, 0x00);
    EXPECT_STREQ(line, "o 42 00");
}

class ExecBridgeTest : public BusTest
{
};

TEST_F(ExecBridgeTest, BridgeRefusalsAreClearAndFast)
{
    struct {
        const char* command;
        const char* says;
    } cases[] = {
        {"true", "завершилась с кодом 0"},
        {"exit 7", "завершилась с кодом 7"},
        {"no-such-bridge-command-here 2>/dev/null", "с кодом 127"},
        {"yes zz", "ответила «zz»"},
        {"yes 0123456789012345678901234567890123456789012345678901234567890123456789",
         "длиннее 64"},
        {"sleep 5", "не ответила за 300 мс"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ExecBridge::Start(QString::fromUtf8(c.command), &error, 300), nullptr);
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.says))) << error.toStdString();
        // The bridge's process is gone within the half second its closing allows, plus the wait.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << c.command;
    }
}

TEST_F(ExecBridgeTest, EndingThePortEndsEverythingTheBridgeStarted)
{
    // The shell answers the opening read and leaves at the end of input; what it started in
    // the background would live on.
    test::TempFiles files;
    const QString pidFile = files.Path(QStringLiteral("pid"));
    QString error;
    auto bridge = ExecBridge::Start(
        QStringLiteral("sleep 60 </dev/null >/dev/null 2>&1 & echo $! >%1; read l; echo 40; "
                       "cat >/dev/null")
            .arg(pidFile),
        &error, 2000);
    ASSERT_NE(bridge, nullptr) << error.toStdString();
    const pid_t child = test::TempFiles::Read(pidFile).trimmed().toInt();
    ASSERT_GT(child, 0);
    bridge.reset();
    // Gone, or a zombie waiting for whoever adopted it.
    const QByteArray stat = test::TempFiles::Read(QStringLiteral("/proc/%1/stat").arg(child));
    EXPECT_TRUE(stat.isEmpty() || stat.contains(") Z ")) << stat.toStdString();
}

TEST_F(ExecBridgeTest, BridgeThatDiesMidTransferFailsTheBusAtOnce)
{
    QString error;
    // Answers the opening status read, then exits.
    auto bridge = ExecBridge::Start(QStringLiteral("read l; echo 40"), &error, 300);
    ASSERT_NE(bridge, nullptr) << error.toStdString();
    ExecBridge* raw = Install(std::move(bridge));
    unsigned m = 0, n = 0;
    EXPECT_THROW(ReadSetFormat(m, n), TinklaError);
    EXPECT_TRUE(raw->Fault().contains(QStringLiteral("завершилась"))) << raw->Fault().toStdString();
    EXPECT_EQ(Inp(kPortStatus), 0xFF);
}

TEST_F(ExecBridgeTest, SetTravelsThroughTheBridgeToASimulatedDoorbell)
{
    const QByteArray cli = qgetenv("TINKLA_CLI");
    QTemporaryDir dir;
    const QString memory = dir.filePath(QStringLiteral("bell.bin"));
    SetClock(nullptr); // the bridge's doorbell keeps real time, and so must the polling here
    CalibrateDelays();
    QString error;
    ASSERT_TRUE(ConnectPort(
        QStringLiteral("exec:%1 bridge --port sim:%2").arg(QString::fromLocal8Bit(cli), memory),
        &error))
        << error.toStdString();
    test::SetFixture set(4, 63, {{test::Code(1, 1), test::Code(2, 2)}, {test::Code(3, 3)}});
    WriteSession write(set.doc);
    write.Tick();
    EXPECT_EQ(write.State(), TransferState::Done) << (write.Message() ? write.Message() : "");
    ReadSession read;
    while (!read.IsFinished())
        read.Tick();
    test::SetFixture back(8, 31);
    ASSERT_EQ(read.State(), TransferState::Done);
    EXPECT_EQ(read.ApplyTo(back.doc), nullptr);
    EXPECT_EQ(back.Notes(), set.Notes());
    DisconnectPort();
}

class ProbeTest : public BusTest
{
protected:
    void TearDown() override
    {
        DisconnectPort();
        BusTest::TearDown();
    }
    QTemporaryDir m_dir;
};

TEST_F(ProbeTest, ProbeSaysWhyNoDoorbellAnswers)
{
    const QString path = m_dir.filePath(QStringLiteral("bell.bin"));
    // The answering doorbell, a missing node and a data line held low: through the port dialog.
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("sim:") + path + QStringLiteral(",absent"), "никто на шине"},
        {QStringLiteral("sim:") + path + QStringLiteral(",scl-low"), "Линия тактов"},
        {QStringLiteral("exec:true"), "завершилась"},
        {QStringLiteral("bogus"), "Неизвестный порт"},
    };
    for (const auto& [port, says] : cases) {
        const ProbeResult r = ProbeDoorbell(port);
        EXPECT_FALSE(r.ok) << port.toStdString();
        EXPECT_TRUE(r.message.contains(QString::fromUtf8(says)))
            << port.toStdString() << ": " << r.message.toStdString();
    }
}

TEST_F(ProbeTest, ProbingAnotherPortPutsTheConnectedOneBack)
{
    QString error;
    const QString connected = QStringLiteral("sim:") + m_dir.filePath(QStringLiteral("a.bin"));
    ASSERT_TRUE(ConnectPort(connected, &error));
    SimDoorbell* sim = ConnectedSim();
    ASSERT_NE(sim, nullptr);
    EXPECT_FALSE(ProbeDoorbell(QStringLiteral("sim,absent")).ok);
    EXPECT_EQ(ConnectedSim(), sim);
    EXPECT_EQ(ConnectedPortText(), connected);
    EXPECT_TRUE(ProbeDoorbell(connected).ok); // the connected one, in place

    EXPECT_FALSE(ConnectPort(QStringLiteral("ppdev:/nonexistent/x"), &error));
    EXPECT_EQ(ConnectedSim(), sim); // a port that cannot open changes nothing
}

} // namespace
