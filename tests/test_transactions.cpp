// The doorbell memory transactions: the format byte, and the paged write as it appears on the bus.
#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "devices/TracingPort.h"
#include "platform/TinklaError.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <regex>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

// Refusing to write a format happens before the bus: with nothing on the port, reaching the bus
// would end in the link failure instead.
TEST(FormatByte, RunOfOnesGivesTheMelodyCountAndOnlyTheSixFormatsAreWritten)
{
    // A run of ones anywhere counts by its length; too many melodies or two runs are refused,
    // and a refusal leaves the outputs untouched.
    const std::pair<BYTE, unsigned> decoded[] = {{0x00, 1}, {0x80, 2}, {0x01, 2},  {0xC0, 4},
                                                 {0xE0, 8}, {0x70, 8}, {0xF0, 16}, {0xF8, 32},
                                                 {0xFC, 0}, {0xFF, 0}, {0x90, 0},  {0x81, 0}};
    for (const auto& [byte, melodies] : decoded) {
        unsigned m = 99, n = 99;
        EXPECT_EQ(DecodeFormatByte(byte, &m, &n), melodies != 0) << int(byte);
        EXPECT_EQ(m, melodies ? melodies : 99u) << int(byte);
        EXPECT_EQ(n, melodies ? 256 / melodies - 1 : 99u) << int(byte);
    }
    const std::pair<unsigned, BYTE> encoded[] = {
        // 0x55: refused, left as it was
        {1, 0x00},  {2, 0x80}, {4, 0xC0}, {5, 0x55},  {8, 0xE0},          {16, 0xF0},
        {32, 0xF8}, {0, 0x55}, {3, 0x55}, {64, 0x55}, {0xFFFFFFFFu, 0x55}};
    for (const auto& [melodies, expected] : encoded) {
        BYTE b = 0x55;
        EXPECT_EQ(EncodeFormatByte(melodies, &b), expected != 0x55) << melodies;
        EXPECT_EQ(b, expected) << melodies;
        if (expected != 0x55)
            continue;
        try {
            WriteSetFormat(melodies);
            ADD_FAILURE() << melodies;
        } catch (const TinklaError& e) {
            EXPECT_EQ(e.text, kMsgBellBadFormat) << melodies;
        }
    }
}

using TransactionsTest = BusTest;

// The format byte; then, in address order, each page after at least one poll the device refused
// while storing what came before; then polls until the last page's store is acknowledged.
TEST_F(TransactionsTest, WriteSendsThirtyTwoPagesEachAfterPolling)
{
    const test::TempFiles files;
    const QString path = files.Path(QStringLiteral("trace.txt"));
    QString error;
    auto sim = std::make_unique<SimDoorbell>();
    SimDoorbell* raw = sim.get();
    Install(TracingPort::Open(std::move(sim), path, &error));
    WriteSetFormat(16);
    for (int i = 0; i < 256; ++i)
        WriteImageByte(static_cast<BYTE>(i ^ 0x5A), i == 0     ? TRANSFER_FIRST
                                                    : i == 255 ? TRANSFER_LAST
                                                               : TRANSFER_NEXT);
    EXPECT_EQ(raw->CompletedWriteCycles(), 33); // all stored before the write returns
    Ports::Instance().SetParallel(nullptr);     // closes the trace

    const auto frames = test::DecodeTrace(test::TempFiles::Read(path).toStdString());
    std::string shape; // F: format, p: refused poll, W: page, A: acknowledged poll and stop
    std::vector<int> addresses;
    for (const test::BusFrame& f : frames) {
        const bool poll = f.bytes == std::vector<uint8_t>{0xA0};
        if (poll && !f.acked[0] && !f.endedByStop) {
            shape += 'p';
        } else if (poll && f.acked[0] && f.endedByStop) {
            shape += 'A';
        } else if (f.bytes.size() == 10 && f.bytes[0] == 0xA0 && f.acked[0] && f.endedByStop) {
            shape += 'W';
            addresses.push_back(f.bytes[1]);
        } else {
            shape += f.bytes == std::vector<uint8_t>{0xA2, 0x00, 0xF0} && f.endedByStop ? 'F' : '?';
        }
    }
    EXPECT_TRUE(std::regex_match(shape, std::regex("F(p+W){32}p*A"))) << shape;
    for (int page = 0; page < 32; ++page)
        EXPECT_EQ(addresses.at(page), page * 8);
}

// Not reached by a 256-byte image, but the mode must still close the page it opens.
TEST_F(TransactionsTest, LastByteOpeningAPageWaitsTenMilliseconds)
{
    SimDoorbell* sim = InstallSim();
    WriteImageByte(0x01, TRANSFER_FIRST);
    for (int i = 1; i < 8; ++i)
        WriteImageByte(static_cast<BYTE>(i + 1), TRANSFER_NEXT);
    g_dDelay10ms = 100.0;
    const uint64_t before = DelayPassCount();
    WriteImageByte(0x09, TRANSFER_LAST);
    EXPECT_GE(DelayPassCount() - before, 101u);
    clock.Advance(10.0);
    Inp(kPortStatus);
    EXPECT_EQ(sim->GetMemory()[8], 0x09);
    EXPECT_EQ(sim->GetMemory()[7], 0x08);
}

TEST_F(TransactionsTest, BusyDeviceFailsPollingAfterTheLimitNotBefore)
{
    InstallSim({.path = {}, .busy = true});
    WriteSetFormat(8); // accepted; its store never ends
    const double start = clock.Peek();
    EXPECT_THROW(WriteImageByte(0x07, TRANSFER_FIRST), TinklaError); // the link failure
    EXPECT_GT(clock.Peek() - start, 3000.0);
    EXPECT_LT(clock.Peek() - start, 4100.0);
}

} // namespace
