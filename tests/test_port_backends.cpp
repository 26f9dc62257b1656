// The PORT grammar, the ppdev and exec backends with their refusals, and the doorbell probe.
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
#include <cerrno>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

TEST(PortSpec, ParsesIntoItsBackend)
{
    PortSpec p;
    auto parse = [&p](const char* text, PortSpec::Kind kind) {
        QString error;
        EXPECT_TRUE(ParsePortSpec(QString::fromUtf8(text), &p, &error)) << error.toStdString();
        EXPECT_EQ(p.kind, kind) << text;
        return p;
    };
    EXPECT_EQ(parse("  ppdev  ", PortSpec::Kind::Ppdev).device, QStringLiteral("/dev/parport0"));
    EXPECT_EQ(parse("ppdev:parport1", PortSpec::Kind::Ppdev).device, "/dev/parport1");
    EXPECT_EQ(parse("direct", PortSpec::Kind::Direct).base, 0x378);
    EXPECT_EQ(parse("direct:3BC", PortSpec::Kind::Direct).base, 0x3BC);
    EXPECT_EQ(parse("exec:my-bridge --dev 'a b'", PortSpec::Kind::Exec).command,
              "my-bridge --dev 'a b'");
    EXPECT_EQ(parse("sim", PortSpec::Kind::Sim).sim.path, DefaultDoorbellFile());
    const SimOptions o =
        parse("sim:/tmp/x.bin,twr=0.5,stretch=20,absent,busy,", PortSpec::Kind::Sim).sim;
    EXPECT_EQ(o.path, "/tmp/x.bin");
    EXPECT_TRUE(o.twrMs == 0.5 && o.stretchMs == 20.0 && o.absent && o.busy && !o.sdaLow);
}

TEST(PortSpec, RefusalsSayWhatIsAllowed)
{
    const std::pair<std::string, const char*> cases[] = {
        {"", "sim[:ФАЙЛ]"},
        {"lpt1", "ppdev:/dev/parportN"},
        {"simulator", "Неизвестный порт"},
        {"sim,nonsense", "absent, sda-low"},
        {"sim,twr=-1", "от 0 до 60000"},
        {"sim,after=x", "число байтов"},
        {"sim,stretch=nan", "stretch"},
        {"direct:0x20", "от 0x100"},
        {"direct:0x12345", "от 0x100"},
        {"exec:   ", "нужна команда"},
        {std::string(kMaxPortSpecLength + 1, 'x'), "длиннее 4096"},
    };
    PortSpec parsed;
    QString error;
    for (const auto& [text, hint] : cases) {
        EXPECT_FALSE(ParsePortSpec(QString::fromStdString(text), &parsed, &error)) << text;
        EXPECT_TRUE(error.contains(QString::fromUtf8(hint))) << text << ": " << error.toStdString();
    }
}

TEST(Ppdev, ErrorsNameTheRemedy)
{
    const QString dev = QStringLiteral("/dev/parport0");
    const std::tuple<const char*, int, bool, const char*> cases[] = {
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
    for (const auto& [step, err, lp, remedy] : cases) {
        const QString text = PpdevOpenError(dev, step, err, lp);
        EXPECT_TRUE(text.contains(QString::fromUtf8(remedy)) && text.contains(dev))
            << text.toStdString();
    }
}

// Real failing opens: the reason is the open's own, not what a later call left in errno.
TEST(Ppdev, OpenRefusesWhatIsNotAParallelPort)
{
    test::TempFiles files;
    const QString locked = files.Write(QStringLiteral("parport9"), QByteArray());
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const std::pair<QString, const char*> cases[] = {
        {QStringLiteral("/nonexistent/parport7"), "Нет устройства"},
        {QStringLiteral("/dev/null"), "не устройство параллельного порта"},
        {files.Dir(), "это папка"}};
    QString error;
    for (const auto& [path, says] : cases) {
        EXPECT_EQ(PpdevPort::Open(path, &error), nullptr);
        EXPECT_TRUE(error.contains(QString::fromUtf8(says))) << error.toStdString();
    }
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

// Trace lines are the bridge's requests: lower-case hex without prefix, the value optional.
TEST(BridgeProtocol, RepliesAreTwoHexDigitsAndLinesAreBounded)
{
    const std::pair<const char*, int> replies[] = {
        {"ff", 0xFF}, {" 0A\r", 0x0A}, {"", -1}, {"4", -1}, {"400", -1}, {"0x40", -1}, {"4 0", -1}};
    for (const auto& [line, expected] : replies) {
        uint8_t value = 0;
        EXPECT_EQ(ParseBridgeReply(line, &value) ? int(value) : -1, expected) << '"' << line;
    }
    // port -1: refused; value -1: a read.
    const std::tuple<const char*, int, int> requests[] = {
        {"o 378 38", 0x378, 0x38}, {"  i 37a \r\n", 0x37A, -1}, {"o 378", -1, -1},
        {"i 379 40", -1, -1},      {"o 12345 1", -1, -1},       {"o 378 100", -1, -1}};
    for (const auto& [line, port, value] : requests) {
        BridgeRequest r{};
        const bool ok = ParseBridgeRequest(line, &r);
        EXPECT_EQ(ok ? int(r.port) : -1, port) << line;
        EXPECT_EQ(ok && r.write ? int(r.value) : -1, value) << line;
    }
    const std::tuple<char, uint16_t, int, const char*> lines[] = {{'o', 0x378, 0x38, "o 378 38"},
                                                                  {'i', 0x379, 0xAB, "i 379 ab"},
                                                                  {'i', 0x37A, -1, "i 37a"},
                                                                  {'o', 0x42, 0x00, "o 42 00"}};
    for (const auto& [op, port, value, expected] : lines) {
        char line[16];
        FormatPortLine(line, op, port, value);
        EXPECT_STREQ(line, expected);
    }
    BridgeLineReader reader; // cuts lines as they come, and refuses one too long
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

// A bridge's process is gone within the half second its closing allows, plus the wait.
TEST_F(BusTest, BridgeRefusalsAreClearAndFast)
{
    const std::pair<const char*, const char*> cases[] = {
        {"true", "завершилась с кодом 0"},
        {"exit 7", "завершилась с кодом 7"},
        {"no-such-bridge-command-here 2>/dev/null", "с кодом 127"},
        {"yes zz", "ответила «zz»"},
        {"yes 0123456789012345678901234567890123456789012345678901234567890123456789",
         "длиннее 64"},
        {"sleep 5", "не ответила за 300 мс"},
    };
    for (const auto& [command, says] : cases) {
        QString error;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ExecBridge::Start(QString::fromUtf8(command), &error, 300), nullptr);
        EXPECT_TRUE(error.contains(QString::fromUtf8(says))) << error.toStdString();
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << command;
    }
}

// The shell answers the opening read and leaves at the end of input; what it started in the
// background would live on.
TEST_F(BusTest, EndingThePortEndsEverythingTheBridgeStarted)
{
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

TEST_F(BusTest, BridgeThatDiesMidTransferFailsTheBusAtOnce)
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

class ConnectedPort : public BusTest
{
protected:
    void TearDown() override
    {
        DisconnectPort();
        BusTest::TearDown();
    }
    test::TempFiles files;
};

TEST_F(ConnectedPort, SetTravelsThroughTheBridgeToASimulatedDoorbell)
{
    SetClock(nullptr); // the bridge's doorbell keeps real time, and so must the polling here
    CalibrateDelays();
    QString error;
    ASSERT_TRUE(ConnectPort(QStringLiteral("exec:%1 bridge --port sim:%2")
                                .arg(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")),
                                     files.Path(QStringLiteral("bell.bin"))),
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
    EXPECT_EQ(read.ApplyTo(back.doc), nullptr);
    EXPECT_EQ(back.Notes(), set.Notes());
}

// A probe of another port puts the connected one back; a port that cannot open changes nothing.
TEST_F(ConnectedPort, ProbingAnotherPortPutsTheConnectedOneBack)
{
    const QString path = QStringLiteral("sim:") + files.Path(QStringLiteral("bell.bin"));
    QString error;
    ASSERT_TRUE(ConnectPort(path, &error));
    SimDoorbell* sim = ConnectedSim();
    const ProbeResult held = ProbeDoorbell(path + QStringLiteral(",scl-low"));
    EXPECT_FALSE(held.ok);
    EXPECT_TRUE(held.message.contains(QStringLiteral("Линия тактов")))
        << held.message.toStdString();
    EXPECT_EQ(ConnectedSim(), sim);
    EXPECT_EQ(ConnectedPortText(), path);
    EXPECT_TRUE(ProbeDoorbell(path).ok); // the connected one, in place
    EXPECT_FALSE(ConnectPort(QStringLiteral("ppdev:/nonexistent/x"), &error));
    EXPECT_EQ(ConnectedSim(), sim);
}

} // namespace
