// The PORT grammar, the ppdev and exec backends with their refusals, and the doorbell probe.
#include "bell/Transactions.h"
#include "bell/TransferSession.h"
#include "devices/ExecBridge.h"
#include "devices/PortSpec.h"
#include "devices/PpdevPort.h"
#include "devices/TracingPort.h"
#include "platform/TinklaError.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <QFileInfo>
#include <cerrno>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

// What the other tests never parse: every simulator option.
TEST(PortSpec, ParsesIntoItsBackend)
{
    PortSpec p;
    QString error;
    const char* all = "  sim:/x.bin,twr=0.5,stretch=20,release=3.5,after=7,absent,busy,wp,midread,";
    ASSERT_TRUE(ParsePortSpec(QString::fromUtf8(all), &p, &error)) << error.toStdString();
    const SimOptions& o = p.sim;
    EXPECT_TRUE(o.path == "/x.bin" && o.twrMs == 0.5 && o.stretchMs == 20.0 && o.releaseUs == 3.5);
    EXPECT_TRUE(o.faultAfterBytes == 7 && o.absent && o.busy && o.writeProtect && o.leftInRead);
    ASSERT_TRUE(ParsePortSpec(QStringLiteral("direct:0x278"), &p, &error));
    EXPECT_TRUE(p.kind == PortSpec::Kind::Direct && p.base == 0x278);
}

// What a refusal tells the user; empty when there was none.
QString SpecRefusal(const std::string& text)
{
    PortSpec parsed;
    QString error;
    return ParsePortSpec(QString::fromStdString(text), &parsed, &error) ? QString() : error;
}
QString OpenRefusal(const QString& path)
{
    QString error;
    return PpdevPort::Open(path, &error) ? QString() : error;
}
// A bridge's refusal is quick: its process is gone within the half second its closing allows, plus
// slack. A ppdev text names the device, too.
QString BridgeRefusal(const char* command)
{
    QString error;
    const auto start = std::chrono::steady_clock::now();
    const bool started = ExecBridge::Start(QString::fromUtf8(command), &error, 300) != nullptr;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << command;
    return started ? QString() : error;
}
QString PpdevRefusal(const char* step, int err, bool lp)
{
    const QString text = PpdevOpenError(QStringLiteral("/dev/parport0"), step, err, lp);
    return text.contains(QStringLiteral("/dev/parport0")) ? text : QString();
}

// Every refusal is a sentence the user can act on.
TEST(PortRefusals, SayWhatIsWrongAndWhatMendsIt)
{
    const test::TempFiles files;
    const std::pair<QString, const char*> cases[] = {
        {SpecRefusal("lpt1"), "Неизвестный порт «lpt1». Возможные значения: sim[:ФАЙЛ]"},
        {SpecRefusal("sim,nonsense"), "absent, sda-low"},
        {SpecRefusal("sim,twr=1e9"), "от 0 до 60000"},
        {SpecRefusal("sim,after=x"), "число байтов"},
        {SpecRefusal("direct:0x12345"), "от 0x100"},
        {SpecRefusal("exec:   "), "нужна команда"},
        {SpecRefusal(std::string(kMaxPortSpecLength + 1, 'x')), "длиннее 4096"},
        {PpdevRefusal("open", ENOENT, false), "sudo modprobe ppdev"},
        {PpdevRefusal("open", ENOENT, false), "нет параллельного порта"},
        {PpdevRefusal("open", EACCES, false), "sudo usermod -aG lp $USER"},
        {PpdevRefusal("open", EPERM, true), "группу lp"},
        {PpdevRefusal("claim", ENXIO, true), "sudo rmmod lp"},
        {PpdevRefusal("claim", EBUSY, true), "sudo rmmod lp"},
        {PpdevRefusal("claim", EBUSY, true), "«blacklist lp» в файл в /etc/modprobe.d/"},
        {PpdevRefusal("claim", EBUSY, false), "другой программой"},
        {PpdevRefusal("claim", ENXIO, false), "нет параллельного порта"},
        {PpdevRefusal("claim", ENOTTY, false), "не устройство параллельного порта"},
        {PpdevRefusal("open", EIO, false), "Не удалось открыть"},
        {OpenRefusal(QStringLiteral("/nonexistent/parport7")), "Нет устройства"},
        {OpenRefusal(QStringLiteral("/dev/null")), "не устройство параллельного порта"},
        {OpenRefusal(files.Dir()), "это папка"},
        {BridgeRefusal("exit 7"), "завершилась с кодом 7"},
        {BridgeRefusal("yes zz"), "ответила «zz»"},
        {BridgeRefusal("yes 01234567890123456789012345678901234567890123456789012345678901234"),
         "длиннее 64"},
        {BridgeRefusal("sleep 5"), "не ответила за 300 мс"},
    };
    for (const auto& [text, says] : cases)
        EXPECT_TRUE(text.contains(QString::fromUtf8(says))) << says << ": " << text.toStdString();
}

// A failing open gives its own reason, not what a later call left in errno; the group named is
// the one that owns the node (root's never: lp is the fix then).
TEST(Ppdev, OpenRefusalNamesTheGroupOfTheNode)
{
    test::TempFiles files;
    const QString locked = files.Write(QStringLiteral("parport9"), QByteArray());
    ::chmod(QFile::encodeName(locked).constData(), 0);
    const test::UnwritableDir unprivileged(files.Dir()); // root gives up its file privileges
    if (!unprivileged.ok())
        GTEST_SKIP() << "cannot open a file without permission here";
    const QString error = OpenRefusal(locked);
    const QFileInfo node(locked);
    const QString group = node.groupId() == 0 ? QStringLiteral("lp") : node.group();
    EXPECT_TRUE(error.contains(QStringLiteral("usermod -aG %1 $USER").arg(group)))
        << error.toStdString();
}

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
    char line[16]; // a trace line is the bridge's request: lower-case hex, no prefix
    FormatPortLine(line, 'i', 0x37A, 0xAB);
    EXPECT_STREQ(line, "i 37a ab");
    BridgeLineReader reader; // cuts lines as they come, and refuses one too long
    std::string text;
    reader.Append("4", 1);
    EXPECT_EQ(reader.Next(&text), BridgeLineReader::NeedMore);
    reader.Append("0\nff\n", 5);
    ASSERT_EQ(reader.Next(&text), BridgeLineReader::Line);
    EXPECT_EQ(text, "40");
    ASSERT_EQ(reader.Next(&text), BridgeLineReader::Line);
    EXPECT_EQ(text, "ff");
    const std::string longLine(kMaxBridgeLine + 1, 'a');
    reader.Append(longLine.data(), longLine.size());
    EXPECT_EQ(reader.Next(&text), BridgeLineReader::TooLong);
}

// The shell answers the opening read and leaves at the end of input; its child would live on.
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
    auto bridge = ExecBridge::Start(QStringLiteral("read l; echo 40"), &error, 300); // then exits
    ASSERT_NE(bridge, nullptr) << error.toStdString();
    ExecBridge* raw = Install(std::move(bridge));
    unsigned m = 0, n = 0;
    EXPECT_THROW(ReadSetFormat(m, n), TinklaError);
    EXPECT_TRUE(raw->Fault().contains(QStringLiteral("завершилась"))) << raw->Fault().toStdString();
    EXPECT_EQ(Inp(kPortStatus), 0xFF);
}

// A probe of another port, or a port that cannot open, leaves the connected one in place.
TEST_F(BusTest, SetTravelsThroughTheBridgeToASimulatedDoorbell)
{
    SetClock(nullptr); // the bridge's doorbell keeps real time, and so must the polling here
    CalibrateDelays();
    const test::TempFiles files;
    const QString sim = QStringLiteral("sim:") + files.Path(QStringLiteral("bell.bin"));
    const QString port = QStringLiteral("exec:%1 bridge --port ").arg(qgetenv("TINKLA_CLI")) + sim;
    QString error;
    ASSERT_TRUE(ConnectPort(port, &error)) << error.toStdString();
    // Why no doorbell answers, as the port dialog's check says it.
    for (const auto& [text, says] : {std::pair{sim + ",absent", "никто на шине"},
                                     {sim + ",scl-low", "Линия тактов"},
                                     {QStringLiteral("bogus"), "Неизвестный порт"}}) {
        const ProbeResult r = ProbeDoorbell(text);
        EXPECT_TRUE(!r.ok && r.message.contains(QString::fromUtf8(says)))
            << r.message.toStdString();
    }
    EXPECT_FALSE(ConnectPort(QStringLiteral("ppdev:tinkla-none"), &error)); // a node in /dev
    EXPECT_TRUE(error.contains("/dev/tinkla-none")) << error.toStdString();
    EXPECT_EQ(ConnectedPortText(), port);
    EXPECT_TRUE(ProbeDoorbell(port).ok); // the connected one, in place

    // The write reads everything back through the bridge.
    test::SetFixture set(4, 63, {{test::Code(1, 1), test::Code(2, 2)}, {test::Code(3, 3)}});
    WriteSession write(set.doc);
    write.Tick();
    EXPECT_EQ(write.State(), TransferState::Done) << (write.Message() ? write.Message() : "");
    DisconnectPort();
}

} // namespace
