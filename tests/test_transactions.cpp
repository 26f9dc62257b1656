// The four doorbell memory transactions: the format byte both ways, the sequential read and the
// paged write as they appear on the bus.
#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "devices/TracingPort.h"
#include "platform/TinklaError.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <cstdio>
#include <cstring>

using namespace tinkla;
using tinkla::test::BusTest;
using tinkla::test::CountingPort;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct FormatByteCase {
    BYTE byte;
    unsigned melodies; // 0: bad contents
};
void PrintTo(const FormatByteCase& c, std::ostream* os)
{
    *os << "byte " << int(c.byte);
}

class FormatByte : public ::testing::TestWithParam<FormatByteCase>
{
};

TEST_P(FormatByte, DecodesToItsSetFormatOrRefuses)
{
    const FormatByteCase& c = GetParam();
    unsigned melodies = 99, notes = 99;
    const bool ok = DecodeFormatByte(c.byte, &melodies, &notes);
    EXPECT_EQ(ok, c.melodies != 0);
    if (ok) {
        EXPECT_EQ(melodies, c.melodies);
        EXPECT_EQ(notes, 256 / c.melodies - 1);
    } else {
        EXPECT_EQ(melodies, 99u); // untouched
    }
}

// A run of ones anywhere counts by its length; too many melodies or two runs are refused.
INSTANTIATE_TEST_SUITE_P(Transactions, FormatByte,
                         ::testing::Values(FormatByteCase{0x00, 1}, FormatByteCase{0xF8, 32},
                                           FormatByteCase{0x01, 2}, FormatByteCase{0x70, 8},
                                           FormatByteCase{0xFC, 0}, FormatByteCase{0xFF, 0},
                                           FormatByteCase{0x90, 0}, FormatByteCase{0x81, 0}),
                         [](const auto& info) {
                             char name[8];
                             std::snprintf(name, sizeof name, "Byte%02X", info.param.byte);
                             return std::string(name);
                         });

TEST(FormatByteEncoding, EachFormatWritesItsByteAndReadsBack)
{
    const std::pair<unsigned, BYTE> table[] = {{1, 0x00}, {2, 0x80},  {4, 0xC0},
                                               {8, 0xE0}, {16, 0xF0}, {32, 0xF8}};
    for (const auto& [melodies, expected] : table) {
        BYTE b = 0x55;
        ASSERT_TRUE(EncodeFormatByte(melodies, &b));
        EXPECT_EQ(b, expected);
        unsigned m = 0, n = 0;
        ASSERT_TRUE(DecodeFormatByte(b, &m, &n));
        EXPECT_EQ(m, melodies);
    }
    for (unsigned bad : {0u, 3u, 64u, 0xFFFFFFFFu}) {
        BYTE b = 0x55;
        EXPECT_FALSE(EncodeFormatByte(bad, &b)) << bad;
        EXPECT_EQ(b, 0x55);
    }
}

class TransactionsTest : public BusTest
{
protected:
    // The simulated doorbell with a counting port in front of it.
    CountingPort* Counted(SimOptions options = {})
    {
        auto sim = std::make_unique<SimDoorbell>(std::move(options));
        m_sim = sim.get();
        return Install(std::make_unique<CountingPort>(std::move(sim)));
    }
    static const char* Thrown(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const TinklaError& e) {
            return e.text;
        }
        return nullptr;
    }
    SimDoorbell* m_sim = nullptr;
};

TEST_F(TransactionsTest, FormatOutsideTheSixIsRefusedBeforeTheBus)
{
    for (unsigned bad : {0u, 3u, 5u, 64u}) {
        CountingPort* port = Counted();
        EXPECT_EQ(Thrown([bad] { WriteSetFormat(bad); }), kMsgBellBadFormat) << bad;
        EXPECT_EQ(port->accesses, 0);
    }
}

TEST_F(TransactionsTest, FormatByteRoundTripsThroughTheDoorbell)
{
    Counted();
    for (unsigned melodies : {1u, 2u, 4u, 8u, 16u, 32u}) {
        WriteSetFormat(melodies);
        unsigned m = 0, n = 0;
        // The first read finds the device storing the byte; polling is the write side's job.
        clock.Advance(10.0);
        ReadSetFormat(m, n);
        EXPECT_EQ(m, melodies);
        EXPECT_EQ(n, 256 / melodies - 1);
    }
}

TEST_F(TransactionsTest, AbsentDeviceFailsTheFirstByte)
{
    CountingPort* port = Counted({QString(), true});
    unsigned m = 0, n = 0;
    EXPECT_EQ(Thrown([&] { ReadSetFormat(m, n); }), kMsgBellLink);
    // start (7 accesses or so) and one byte of 9 clocks, nothing after the refused device code
    EXPECT_LT(port->accesses, 80);
}

TEST_F(TransactionsTest, InvalidStoredFormatByteIsBadContents)
{
    Counted();
    WriteSetFormat(8);
    clock.Advance(10.0);
    Inp(kPortStatus);
    // Something else stored a byte with two runs of ones.
    BusStart();
    BusSendByte(0xA2);
    BusSendByte(0x00);
    BusSendByte(0x90);
    BusStop();
    clock.Advance(10.0);
    unsigned m = 0, n = 0;
    EXPECT_EQ(Thrown([&] { ReadSetFormat(m, n); }), kMsgBellContents);
    EXPECT_EQ(m_sim->GetMemory()[256], 0x90);
}

TEST_F(TransactionsTest, WriteSendsThirtyTwoPagesEachAfterPolling)
{
    std::FILE* trace = std::tmpfile();
    ASSERT_NE(trace, nullptr);
    auto sim = std::make_unique<SimDoorbell>();
    SimDoorbell* raw = sim.get();
    Install(std::make_unique<TracingPort>(std::move(sim), trace));

    WriteSetFormat(16);
    for (int i = 0; i < 256; ++i)
        WriteImageByte(static_cast<BYTE>(i ^ 0x5A), i == 0     ? TRANSFER_FIRST
                                                    : i == 255 ? TRANSFER_LAST
                                                               : TRANSFER_NEXT);
    EXPECT_EQ(g_nPage, 32);
    EXPECT_EQ(g_nPageByte, 8);
    // The format byte and every page stored before the write returns.
    EXPECT_EQ(raw->CompletedWriteCycles(), 33);
    EXPECT_FALSE(raw->IsWriting());
    Ports::Instance().SetParallel(nullptr); // flushes the trace

    std::string text;
    std::rewind(trace);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, trace)) > 0;)
        text.append(buffer, n);
    std::fclose(trace);

    const auto frames = test::DecodeTrace(text);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].bytes, (std::vector<uint8_t>{0xA2, 0x00, 0xF0}));
    test::ExpectPagedWrite(frames);
}

TEST_F(TransactionsTest, LastByteOpeningAPageWaitsTenMilliseconds)
{
    // Not reached by a 256-byte image, but the mode must still close what it opens.
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
    InstallSim({QString(), false, false, false, true});
    WriteSetFormat(8); // accepted; its store never ends
    const double start = clock.Peek();
    EXPECT_EQ(Thrown([] { WriteImageByte(0x07, TRANSFER_FIRST); }), kMsgBellLink);
    const double waited = clock.Peek() - start;
    EXPECT_GT(waited, 3000.0);
    EXPECT_LT(waited, 4100.0);
}

} // namespace
