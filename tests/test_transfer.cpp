// Reading and writing the whole set tick by tick, as the progress dialogs drive it, against the
// simulated doorbell: round trips, every failure path, and cancelling a read.
#include "bell/BellMessages.h"
#include "bell/Transactions.h"
#include "bell/TransferSession.h"
#include "support/DocTestKit.h"
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
    template <class Session> static int Run(Session& session)
    {
        int ticks = 0;
        for (; !session.IsFinished() && ticks < 1000; ++ticks)
            session.Tick();
        return ticks;
    }
    static QByteArray Memory(unsigned formatByte)
    {
        QByteArray memory(SimDoorbell::kMemoryBytes, '\xFF');
        memory[256] = char(formatByte);
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
    // The write's steps, then the verify's.
    ASSERT_EQ(steps.size(), size_t(2 * kTransferSteps));
    EXPECT_EQ(steps.front(), 1);
    EXPECT_EQ(steps.back(), write.Steps());
    // Two reset pulses close the write.
    const std::vector<uint8_t> tail(port->dataWrites.end() - 6, port->dataWrites.end());
    EXPECT_EQ(tail, (std::vector<uint8_t>{0x38, 0x18, 0x38, 0x38, 0x18, 0x38}));
    EXPECT_EQ(set.Saved(), before); // a write only reads the set

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

INSTANTIATE_TEST_SUITE_P(Transfer, TransferRoundTrip, ::testing::Values(0, 2, kFormatCount - 1),
                         tinkla::test::FormatName);

TEST_F(TransferTest, InvalidFormatByteIsBadContentsAndNothingIsRead)
{
    CountingPort* port = Doorbell(Memory(0x90));
    ReadSession read;
    read.Tick();
    EXPECT_EQ(read.State(), TransferState::Failed);
    EXPECT_EQ(read.Message(), kMsgBellContents);
    const int accesses = port->accesses;
    read.Tick();
    EXPECT_EQ(read.Cancel(), nullptr);
    EXPECT_EQ(port->accesses, accesses); // over: no more bus traffic
}

// Every image byte 0x00: whenever the doorbell is about to send a bit, it pulls the data line low.
QByteArray LowBits()
{
    QByteArray memory(SimDoorbell::kMemoryBytes, '\0');
    memory[256] = char(0xE0);
    return memory;
}

TEST_F(TransferTest, ReadAbandonedByAProgramThatDiedIsClockedFreeByTheNextOne)
{
    // The doorbell goes on holding the data line low for its next zero bit; the next start
    // clocks it out of the byte instead of failing until the doorbell loses power.
    Doorbell(LowBits());
    {
        ReadSession read;
        for (int i = 0; i < 10; ++i)
            read.Tick();
    }
    ReadSession next;
    while (!next.IsFinished())
        next.Tick();
    EXPECT_EQ(next.State(), TransferState::Done) << (next.Message() ? next.Message() : "");
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
    SimOptions busy;
    busy.busy = true;
    CountingPort* port = BlankDoorbell(busy);
    SetFixture set(8, 31);
    WriteSession write(set.doc);
    write.Tick();
    ASSERT_EQ(write.State(), TransferState::Failed);
    EXPECT_EQ(std::count(port->dataWrites.begin(), port->dataWrites.end(), 0x18), 0);
    EXPECT_EQ(m_sim->CompletedWriteCycles(), 0);
}

} // namespace
