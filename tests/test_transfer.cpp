// The whole set both ways, tick by tick as the progress dialogs drive it, on a simulated doorbell.
#include "bell/BellMessages.h"
#include "bell/TransferSession.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <random>

using namespace tinkla;
using tinkla::test::Code;
using tinkla::test::SetFixture;

namespace
{

// Every bus primitive pauses: an unchanged DelayPassCount() means no bus traffic.
class TransferTest : public test::BusTest
{
protected:
    // A simulated doorbell holding `memory` (blank after it), counting the reset pulses it gets.
    SimDoorbell* Doorbell(const QByteArray& memory, SimOptions options = {})
    {
        options.path = m_files.Write(QStringLiteral("doorbell.bin"), memory);
        SimDoorbell* sim = InstallSim(std::move(options));
        sim->SetStopHandler([this] { ++resets; });
        return sim;
    }
    test::TempFiles m_files;
    int resets = 0;
};

TEST_F(TransferTest, WrittenSetReadsBackNoteForNote)
{
    for (int format : {0, 2, kFormatCount - 1}) {
        const SetFormat& f = kSetFormats[format];
        SCOPED_TRACE(f.melodies);
        std::mt19937 random(static_cast<unsigned>(format) * 31 + 1);
        std::vector<std::vector<BYTE>> content(f.melodies);
        for (auto& melody : content)
            for (unsigned j = 0, count = random() % (f.notes + 1); j < count; ++j)
                melody.push_back(Code(int(random() % 32), int(random() % 5)));
        SetFixture set(f.melodies, f.notes, content);
        Doorbell({});
        resets = 0;

        WriteSession write(set.doc);
        std::vector<int> steps;
        write.SetProgressHandler([&](int p) { steps.push_back(p); });
        write.Tick(); // everything in the first tick
        ASSERT_EQ(write.State(), TransferState::Done) << (write.Message() ? write.Message() : "");
        ASSERT_EQ(steps.size(), size_t(2 * kTransferSteps)); // the write's, then the verify's
        EXPECT_EQ(steps.back(), write.Steps());
        EXPECT_EQ(resets, 2); // two reset pulses close the write

        ReadSession read;
        read.SetProgressHandler([&](int p) { steps.push_back(p); });
        for (int tick = 0; tick < 255; ++tick)
            read.Tick();
        EXPECT_FALSE(read.IsFinished()); // a byte a tick, for the progress bar
        read.Tick();
        ASSERT_EQ(read.State(), TransferState::Done) << (read.Message() ? read.Message() : "");
        EXPECT_EQ(steps.back(), kTransferSteps);
        SetFixture back(8, 31);
        EXPECT_EQ(read.ApplyTo(back.doc), nullptr);
        EXPECT_EQ(back.Notes(), content);
    }
}

TEST_F(TransferTest, InvalidFormatByteIsBadContentsAndNothingIsRead)
{
    QByteArray memory(257, '\xFF');
    memory[256] = char(0x90);
    Doorbell(memory);
    ReadSession read;
    read.Tick();
    EXPECT_EQ(read.State(), TransferState::Failed);
    EXPECT_EQ(read.Message(), kMsgBellContents);
    const uint64_t passes = DelayPassCount();
    read.Tick();
    EXPECT_EQ(read.Cancel(), nullptr);
    EXPECT_EQ(DelayPassCount(), passes); // over: no more bus traffic
}

TEST_F(TransferTest, CancelledReadAndSetWithoutAValidFormatTouchNothing)
{
    Doorbell({});
    const uint64_t passes = DelayPassCount();
    ReadSession read;
    EXPECT_EQ(read.Cancel(), nullptr);
    read.Tick();
    EXPECT_EQ(read.State(), TransferState::Cancelled);
    SetFixture set(8, 15);
    WriteSession write(set.doc);
    write.Tick();
    EXPECT_EQ(write.Message(), kMsgBellBadFormat);
    EXPECT_EQ(DelayPassCount(), passes);
}

TEST_F(TransferTest, FailedWriteSendsNoResetPulse)
{
    SimDoorbell* sim = Doorbell({}, {.path = {}, .busy = true});
    SetFixture set(8, 31);
    WriteSession write(set.doc);
    write.Tick();
    ASSERT_EQ(write.State(), TransferState::Failed);
    EXPECT_EQ(resets, 0);
    EXPECT_EQ(sim->CompletedWriteCycles(), 0);
}

} // namespace
