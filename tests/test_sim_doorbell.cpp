// The simulated doorbell as a chip on the wire, driven by the bus primitives.
#include "support/DocTestKit.h"
#include "test_bus_support.h"

using namespace tinkla;

namespace
{

class SimDoorbellTest : public test::BusTest
{
protected:
    QString MemoryFile(const QByteArray& contents)
    {
        return m_files.Write(QStringLiteral("doorbell.bin"), contents);
    }
    // A page write; true when every byte was acknowledged (and the stop went through).
    static bool Write(BYTE device, BYTE address, const std::vector<BYTE>& bytes, bool stop = true)
    {
        bool ok = BusStart() == 0 && BusSendByte(device) == 0 && BusSendByte(address) == 0;
        for (BYTE b : bytes)
            ok = ok && BusSendByte(b) == 0;
        return ok && (!stop || BusStop() == 0);
    }
    // A random read of n bytes, the last one without acknowledge.
    static std::vector<BYTE> Read(BYTE device, BYTE address, int n)
    {
        std::vector<BYTE> bytes(n);
        EXPECT_TRUE(Write(device, address, {}, false) && BusStart() == 0 &&
                    BusSendByte(static_cast<BYTE>(device | 1)) == 0);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(BusReceiveByte(&bytes[i], i == n - 1), 0);
        EXPECT_EQ(BusStop(), 0);
        return bytes;
    }
    // Lets a write cycle run out; the device notices at its next access.
    void FinishWriteCycle()
    {
        clock.Advance(10.0);
        Inp(kPortStatus);
    }

    test::TempFiles m_files;
};

// The file and its folders appear when the cycle completes; a failed save is only reported.
TEST_F(SimDoorbellTest, PageWriteWrapsInsideItsPageAndReachesTheFileWithItsCycle)
{
    const QString path = m_files.Path(QStringLiteral("sub/dir/doorbell.bin"));
    SimDoorbell* sim = InstallSim({path});
    ASSERT_TRUE(Write(0xA0, 0x16, {1, 2, 3, 4}));
    EXPECT_FALSE(QFile::exists(path));
    FinishWriteCycle();
    const auto& m = sim->GetMemory();
    EXPECT_EQ((std::vector<int>{m[0x10], m[0x11], m[0x15], m[0x16], m[0x17], m[0x18]}),
              (std::vector<int>{3, 4, 0xFF, 1, 2, 0xFF}));
    EXPECT_EQ(test::TempFiles::Read(path).mid(0x15, 4), QByteArray("\xFF\x01\x02\xFF", 4));
    EXPECT_EQ(sim->CompletedWriteCycles(), 1);

    sim = InstallSim({MemoryFile(QByteArray()) + QStringLiteral("/doorbell.bin")}); // not a dir
    ASSERT_TRUE(Write(0xA0, 0, {0x33}));
    FinishWriteCycle();
    EXPECT_EQ(Read(0xA0, 0, 1), std::vector<BYTE>{0x33});
    EXPECT_FALSE(sim->FileError().isEmpty());
}

// 0xA0 and 0xA2 address the two 256-byte blocks.
TEST_F(SimDoorbellTest, SequentialReadWrapsInsideItsBlockAndBlocksAreSeparateDevices)
{
    QByteArray counting(SimDoorbell::kMemoryBytes, 0);
    for (int i = 0; i < counting.size(); ++i)
        counting[i] = static_cast<char>(i < 256 ? i : 0x80 ^ (i - 256));
    SimDoorbell* sim = InstallSim({MemoryFile(counting)});
    EXPECT_EQ(Read(0xA0, 254, 4), (std::vector<BYTE>{254, 255, 0, 1}));
    EXPECT_EQ(Read(0xA2, 255, 2), (std::vector<BYTE>{0x80 ^ 255, 0x80}));
    ASSERT_TRUE(Write(0xA2, 0, {0xE0}));
    FinishWriteCycle();
    EXPECT_EQ(Read(0xA0, 0, 1), std::vector<BYTE>{0});
    EXPECT_EQ(sim->GetMemory()[256], 0xE0);
}

// A short file leaves the rest blank; reading a missing one never creates it.
TEST_F(SimDoorbellTest, MemoryFileOfAnySizeReadsWithBlankRest)
{
    const SimDoorbell shorter({MemoryFile(QByteArray("\x01\x02\x03", 3))});
    EXPECT_EQ(shorter.GetMemory()[2], 0x03);
    EXPECT_EQ(shorter.GetMemory()[3], 0xFF);
    const QString none = m_files.Path(QStringLiteral("none.bin"));
    const SimDoorbell missing({none});
    EXPECT_EQ(missing.GetMemory()[0], 0xFF);
    EXPECT_TRUE(missing.FileError().isEmpty());
    EXPECT_FALSE(QFile::exists(none));
}

// A chip a master walked away from inside a read pulls the data line low for its next zero bit;
// the next start clocks it out of its byte and stops it.
TEST_F(SimDoorbellTest, ChipLeftInsideAReadIsClockedFreeByTheNextStart)
{
    InstallSim({MemoryFile(QByteArray(SimDoorbell::kMemoryBytes, '\0'))}); // sends only zeros
    ASSERT_EQ(BusStart(), 0);
    ASSERT_EQ(BusSendByte(0xA1), 0);
    BYTE b = 0;
    ASSERT_EQ(BusReceiveByte(&b, 0), 0); // acknowledged: it goes on sending, pulling data low
    EXPECT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA0), 0);
}

TEST_F(SimDoorbellTest, PlayLineHandsOverImageAndFormatByte)
{
    QByteArray contents(257, '\x07');
    contents[256] = '\xF0';
    SimDoorbell* sim = InstallSim({MemoryFile(contents)});
    std::vector<int> plays;
    sim->SetPlayHandler([&](const uint8_t image[256], uint8_t format) {
        plays.insert(plays.end(), {image[0], image[255], format});
    });
    SendPlayPulse();
    EXPECT_EQ(plays, (std::vector<int>{0x07, 0x07, 0xF0}));
}

} // namespace
