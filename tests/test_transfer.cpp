// Reading and writing the whole set tick by tick, as the progress dialogs drive it, against the
// simulated doorbell: round trips, every failure path, and cancelling a read.
#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "bell/TransferSession.h"
#include "platform/TinklaError.h"
#include "test_bus_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <random>

using namespace tinkla;
using tinkla::test::BusTest;
using tinkla::test::Code;
using tinkla::test::CountingPort;
using tinkla::test::SetFixture;

namespace
{

class TransferTest : public BusTest
{
protected:
    // A simulated doorbell holding `memory` (512 bytes), behind a counting port.
    CountingPort* Doorbell(const QByteArray& memory, SimOptions options = {})
    {
        options.path = m_dir.filePath(QStringLiteral("doorbell.bin"));
        QFile file(options.path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(memory);
        file.close();
        auto sim = std::make_unique<SimDoorbell>(std::move(options));
        m_sim = sim.get();
        return Install(std::make_unique<CountingPort>(std::move(sim)));
    }
    CountingPort* BlankDoorbell(SimOptions options = {})
    {
        return Doorbell(QByteArray(), std::move(options));
    }
    // Ticks to the end; returns the number of ticks.
    static int Run(TransferSession& session, const std::function<void()>& tick)
    {
        int ticks = 0;
        while (!session.IsFinished() && ticks < 1000) {
            tick();
            ++ticks;
        }
        return ticks;
    }
    static int Run(ReadSession& s)
    {
        return Run(s, [&s] { s.Tick(); });
    }
    static int Run(WriteSession& s)
    {
        return Run(s, [&s] { s.Tick(); });
    }
    static QByteArray Memory(unsigned formatByte, const std::vector<std::pair<int, BYTE>>& bytes)
    {
        QByteArray memory(SimDoorbell::kMemoryBytes, '\xFF');
        for (int k = 0; k < 8; ++k)
            memory[k * 32] = char(kEndByte);
        memory[256] = char(formatByte);
        for (const auto& [at, b] : bytes)
            memory[at] = char(b);
        return memory;
    }

    QTemporaryDir m_dir;
    SimDoorbell* m_sim = nullptr;
};

class TransferRoundTrip : public TransferTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(TransferRoundTrip, WrittenSetReadsBackNoteForNote)
{
    const SetFormat& f = kSetFormats[GetParam()];
    std::mt19937 random(static_cast<unsigned>(GetParam()) * 31 + 1);
    std::vector<std::vector<BYTE>> content(f.melodies);
    for (auto& melody : content)
        for (unsigned j = 0, count = random() % (f.notes + 1); j < count; ++j)
            melody.push_back(Code(static_cast<int>(random() % 32), static_cast<int>(random() % 5)));
    SetFixture set(f.melodies, f.notes, content);
    const QByteArray before = set.Saved();
    CountingPort* port = BlankDoorbell();

    WriteSession write(set.doc);
    std::vector<int> steps;
    write.SetProgressHandler([&](int p) { steps.push_back(p); });
    EXPECT_EQ(Run(write), 1); // everything in the first tick
    ASSERT_EQ(write.State(), TransferState::Done) << (write.Message() ? write.Message() : "");
    ASSERT_EQ(steps.size(), size_t(kTransferSteps));
    EXPECT_EQ(steps.front(), 1);
    EXPECT_EQ(steps.back(), kTransferSteps);
    // Two reset pulses close the write.
    const std::vector<uint8_t> tail(port->dataWrites.end() - 6, port->dataWrites.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0x38, 0x18, 0x38, 0x38, 0x18, 0x38}));
    EXPECT_EQ(set.Saved(), before); // a write only reads the set

    // The reset pulses take 208 ms on a real doorbell, long enough for the last page's store;
    // here the pauses take no time, so let the store finish.
    clock.Advance(10.0);
    ReadSession read;
    int readSteps = 0;
    read.SetProgressHandler([&](int p) { readSteps = p; });
    EXPECT_EQ(Run(read), 256);
    ASSERT_EQ(read.State(), TransferState::Done) << (read.Message() ? read.Message() : "");
    EXPECT_EQ(readSteps, kTransferSteps);
    EXPECT_EQ(read.GetImage(), write.GetImage());

    SetFixture back(8, 31);
    EXPECT_EQ(read.ApplyTo(back.doc), nullptr);
    EXPECT_EQ(back.doc.GetMelodyCount(), f.melodies);
    EXPECT_EQ(back.Notes(), content);
}

INSTANTIATE_TEST_SUITE_P(Transfer, TransferRoundTrip, ::testing::Range(0, kFormatCount));

struct FaultCase {
    const char* name;
    SimOptions options;
    const char* readMessage;  // nullptr: the read succeeds
    const char* writeMessage; // nullptr: the write succeeds
};

class TransferFault : public TransferTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(TransferFault, FailsWithTheLinkMessageWithinTheLimitAndChangesNothing)
{
    const FaultCase& c = GetParam();
    SetFixture set(16, 15, {{Code(4, 2), Code(9, 1)}});
    const QByteArray before = set.Saved();

    Doorbell(Memory(0xE0, {}), c.options);
    ReadSession read;
    double start = clock.Peek();
    Run(read);
    EXPECT_EQ(read.Message(), c.readMessage);
    EXPECT_EQ(read.State(), c.readMessage ? TransferState::Failed : TransferState::Done);
    EXPECT_LT(clock.Peek() - start, 4200.0); // one bit's limit, not one per byte
    if (c.readMessage) {
        EXPECT_EQ(read.ApplyTo(set.doc), nullptr);
    }
    EXPECT_EQ(set.Saved(), before);

    BlankDoorbell(c.options);
    WriteSession write(set.doc);
    start = clock.Peek();
    write.Tick();
    EXPECT_EQ(write.Message(), c.writeMessage);
    EXPECT_LT(clock.Peek() - start, 4200.0);
    EXPECT_EQ(set.Saved(), before);
}

SimOptions Fault(bool absent, bool sdaLow, bool sclLow, bool busy, double stretch = 0.0)
{
    SimOptions o;
    o.absent = absent;
    o.sdaLow = sdaLow;
    o.sclLow = sclLow;
    o.busy = busy;
    o.stretchMs = stretch;
    return o;
}

INSTANTIATE_TEST_SUITE_P(
    Transfer, TransferFault,
    ::testing::Values(
        FaultCase{"Absent", Fault(true, false, false, false), kMsgBellLink, kMsgBellLink},
        FaultCase{"DataLineLow", Fault(false, true, false, false), kMsgBellLink, kMsgBellLink},
        FaultCase{"ClockLineLow", Fault(false, false, true, false), kMsgBellLink, kMsgBellLink},
        FaultCase{"ClockHeldPastTheLimit", Fault(false, false, false, false, 5000.0), kMsgBellLink,
                  kMsgBellLink},
        // Busy forever: the first store never ends, so only the write notices.
        FaultCase{"BusyForever", Fault(false, false, false, true), nullptr, kMsgBellLink}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, ClockHeldTwoSecondsInEachByteStillReads)
{
    BlankDoorbell(Fault(false, false, false, false, 2000.0));
    unsigned m = 0;
    unsigned n = 0;
    // A blank doorbell's format byte 0xFF is no format, but every byte of the read got through.
    try {
        ReadSetFormat(m, n);
        FAIL() << "0xFF is not a format byte";
    } catch (const TinklaError& e) {
        EXPECT_EQ(e.text, kMsgBellContents);
    }
    EXPECT_GT(ElapsedMs(), 4 * 2000.0);
}

TEST_F(TransferTest, InvalidFormatByteIsBadContentsAndNothingIsRead)
{
    CountingPort* port = Doorbell(Memory(0x90, {}));
    ReadSession read;
    read.Tick();
    EXPECT_EQ(read.State(), TransferState::Failed);
    EXPECT_EQ(read.Message(), kMsgBellContents);
    const int accesses = port->accesses;
    read.Tick();
    EXPECT_EQ(read.Cancel(), nullptr);
    EXPECT_EQ(port->accesses, accesses); // over: no more bus traffic
}

TEST_F(TransferTest, InvalidNoteByteReplacesTheSetUpToIt)
{
    Doorbell(Memory(0xE0, {{0, Code(2, 2)}, {1, kEndByte}, {32, Code(3, 3)}, {33, 0x0F}}));
    ReadSession read;
    Run(read);
    ASSERT_EQ(read.State(), TransferState::Done);
    SetFixture set(32, 7, {{Code(9, 4)}});
    EXPECT_EQ(read.ApplyTo(set.doc), kMsgBellContents);
    EXPECT_EQ(set.doc.GetMelodyCount(), 8u);
    EXPECT_EQ(set.Notes()[0], std::vector<BYTE>{Code(2, 2)});
    EXPECT_EQ(set.Notes()[1], std::vector<BYTE>{Code(3, 3)});
    EXPECT_TRUE(set.Notes()[2].empty());
}

// Every image byte 0x00: whenever the doorbell is about to send a bit, it pulls the data line low.
QByteArray LowBits()
{
    QByteArray memory(SimDoorbell::kMemoryBytes, '\0');
    memory[256] = char(0xE0);
    return memory;
}

TEST_F(TransferTest, AbandonedReadLeavesTheDoorbellHoldingTheDataLine)
{
    // What Cancel exists for: a read dropped between ticks leaves the doorbell in the middle of
    // sending, and the next transfer cannot even start.
    Doorbell(LowBits());
    {
        ReadSession read;
        for (int i = 0; i < 10; ++i)
            read.Tick();
    }
    ReadSession next;
    next.Tick();
    EXPECT_EQ(next.Message(), kMsgBellLink);
}

TEST_F(TransferTest, CancelledReadLeavesTheBusFree)
{
    Doorbell(LowBits());
    ReadSession read;
    for (int i = 0; i < 10; ++i)
        read.Tick();
    EXPECT_EQ(read.Cancel(), nullptr);
    EXPECT_EQ(read.State(), TransferState::Cancelled);
    SetFixture set(32, 7);
    EXPECT_EQ(read.ApplyTo(set.doc), nullptr);
    EXPECT_EQ(set.doc.GetMelodyCount(), 32u);

    ReadSession next; // no reset pulse in between
    Run(next);
    EXPECT_EQ(next.State(), TransferState::Done);
}

TEST_F(TransferTest, CancelBeforeTheFirstTickTouchesNothing)
{
    CountingPort* port = Doorbell(LowBits());
    ReadSession read;
    EXPECT_EQ(read.Cancel(), nullptr);
    read.Tick();
    EXPECT_EQ(read.State(), TransferState::Cancelled);
    EXPECT_EQ(port->accesses, 0);
}

TEST_F(TransferTest, CancelWhoseClosingFailsReportsTheLinkMessage)
{
    Doorbell(LowBits());
    ReadSession read;
    read.Tick();
    Ports::Instance().SetParallel(std::make_unique<SimDoorbell>(Fault(false, false, true, false)));
    EXPECT_EQ(read.Cancel(), kMsgBellLink);
    EXPECT_EQ(read.State(), TransferState::Cancelled);
    EXPECT_EQ(read.Message(), kMsgBellLink);
}

TEST_F(TransferTest, SetWithoutAValidFormatIsRefusedBeforeTheBus)
{
    CountingPort* port = BlankDoorbell();
    SetFixture set(8, 15);
    WriteSession write(set.doc);
    write.Tick();
    EXPECT_EQ(write.Message(), kMsgBellBadFormat);
    EXPECT_EQ(port->accesses, 0);
}

TEST_F(TransferTest, FailedWriteSendsNoResetPulse)
{
    CountingPort* port = BlankDoorbell(Fault(false, false, false, true));
    SetFixture set(8, 31);
    WriteSession write(set.doc);
    write.Tick();
    ASSERT_EQ(write.State(), TransferState::Failed);
    EXPECT_EQ(std::count(port->dataWrites.begin(), port->dataWrites.end(), 0x18), 0);
    EXPECT_EQ(m_sim->CompletedWriteCycles(), 0);
}

} // namespace
