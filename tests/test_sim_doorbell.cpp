// The simulated doorbell as the bus primitives see it: pages, address wrap, write cycles, the
// memory file, the reset and play lines.
#include "bell/Bus.h"
#include "devices/SimDoorbell.h"
#include "test_bus_support.h"

#include <QFile>
#include <QTemporaryDir>

using namespace tinkla;
using tinkla::test::BusTest;

namespace
{

class SimDoorbellTest : public BusTest
{
protected:
    QString MemoryFile(const QByteArray& contents)
    {
        const QString path = m_dir.filePath(QStringLiteral("doorbell.bin"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }
    QByteArray Counting()
    {
        QByteArray bytes(SimDoorbell::kMemoryBytes, 0);
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(i < 256 ? i : 0x80 ^ (i - 256));
        return bytes;
    }
    // A page write; true when every byte was acknowledged and the stop went through.
    static bool Write(BYTE device, BYTE address, const std::vector<BYTE>& bytes)
    {
        bool ok = BusStart() == 0 && BusSendByte(device) == 0 && BusSendByte(address) == 0;
        for (BYTE b : bytes)
            ok = ok && BusSendByte(b) == 0;
        return ok && BusStop() == 0;
    }
    // A random read of n bytes, the last one without acknowledge.
    static std::vector<BYTE> Read(BYTE device, BYTE address, int n)
    {
        std::vector<BYTE> bytes;
        if (BusStart() != 0 || BusSendByte(device) != 0 || BusSendByte(address) != 0 ||
            BusStart() != 0 || BusSendByte(static_cast<BYTE>(device | 1)) != 0)
            return bytes;
        for (int i = 0; i < n; ++i) {
            BYTE b = 0;
            if (BusReceiveByte(&b, i == n - 1) != 0)
                return bytes;
            bytes.push_back(b);
        }
        EXPECT_EQ(BusStop(), 0);
        return bytes;
    }
    // Lets a write cycle run out; the device notices at its next access.
    void FinishWriteCycle() { clock.Advance(10.0); }

    QTemporaryDir m_dir;
};

// The file appears, with its folders, only when the write cycle completes.
TEST_F(SimDoorbellTest, PageWriteWrapsInsideItsPageAndReachesTheFileWithItsCycle)
{
    const QString path = m_dir.filePath(QStringLiteral("sub/dir/doorbell.bin"));
    SimDoorbell* sim = InstallSim({path});
    ASSERT_TRUE(Write(0xA0, 0x16, {1, 2, 3, 4}));
    EXPECT_FALSE(QFile::exists(path));
    FinishWriteCycle();
    Inp(kPortStatus);
    const auto& m = sim->GetMemory();
    EXPECT_EQ((std::vector<int>{m[0x10], m[0x11], m[0x15], m[0x16], m[0x17], m[0x18]}),
              (std::vector<int>{3, 4, 0xFF, 1, 2, 0xFF}));
    EXPECT_EQ(sim->CompletedWriteCycles(), 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    ASSERT_EQ(saved.size(), SimDoorbell::kMemoryBytes);
    EXPECT_EQ(saved.mid(0x15, 4), QByteArray("\xFF\x01\x02\xFF", 4));
    EXPECT_TRUE(sim->FileError().isEmpty());
}

TEST_F(SimDoorbellTest, SequentialReadWrapsInsideItsBlockAndBlocksAreSeparateDevices)
{
    SimDoorbell* sim = InstallSim({MemoryFile(Counting())});
    EXPECT_EQ(Read(0xA0, 254, 4), (std::vector<BYTE>{254, 255, 0, 1}));
    EXPECT_EQ(Read(0xA2, 255, 2), (std::vector<BYTE>{0x80 ^ 255, 0x80}));
    ASSERT_TRUE(Write(0xA2, 0, {0xE0}));
    FinishWriteCycle();
    EXPECT_EQ(Read(0xA0, 0, 1), std::vector<BYTE>{0});
    EXPECT_EQ(sim->GetMemory()[256], 0xE0);
}

TEST_F(SimDoorbellTest, WriteCycleRefusesDeviceCodeUntilItEnds)
{
    InstallSim({QString(), false, false, false, false, 0.0, 5.0});
    ASSERT_TRUE(Write(0xA0, 0, {0x11}));
    ASSERT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA0), 3);
    ASSERT_EQ(BusStop(), 0);
    FinishWriteCycle();
    ASSERT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA0), 0);
}

TEST_F(SimDoorbellTest, OnlyItsOwnDeviceCodesAreAcknowledged)
{
    InstallSim();
    for (int code = 0; code < 256; code += 2) {
        ASSERT_EQ(BusStart(), 0);
        EXPECT_EQ(BusSendByte(static_cast<BYTE>(code)), (code == 0xA0 || code == 0xA2) ? 0 : 3)
            << std::hex << code;
        ASSERT_EQ(BusStop(), 0);
    }
}

TEST_F(SimDoorbellTest, RepeatedStartBeforeStopDropsThePage)
{
    SimDoorbell* sim = InstallSim();
    ASSERT_EQ(BusStart(), 0);
    ASSERT_EQ(BusSendByte(0xA0), 0);
    ASSERT_EQ(BusSendByte(0x00), 0);
    ASSERT_EQ(BusSendByte(0x12), 0);
    EXPECT_EQ(Read(0xA0, 0, 1), std::vector<BYTE>{0xFF});
    FinishWriteCycle();
    EXPECT_EQ(sim->CompletedWriteCycles(), 0);
}

TEST_F(SimDoorbellTest, MemoryFileOfAnySizeReadsWithBlankRest)
{
    struct {
        QByteArray contents;
        bool exists;
    } cases[] = {{QByteArray(), false},
                 {QByteArray("\x01\x02\x03", 3), true},
                 {QByteArray(1000, '\x42'), true}};
    for (const auto& c : cases) {
        const QString path = c.exists ? MemoryFile(c.contents) : m_dir.filePath("none.bin");
        SimDoorbell sim({path});
        EXPECT_TRUE(sim.FileError().isEmpty());
        for (int i = 0; i < SimDoorbell::kMemoryBytes; ++i)
            ASSERT_EQ(sim.GetMemory()[i],
                      i < c.contents.size() ? uint8_t(c.contents[i]) : uint8_t(0xFF))
                << i;
    }
    EXPECT_FALSE(QFile::exists(m_dir.filePath("none.bin"))); // reading never creates it
}

TEST_F(SimDoorbellTest, UnwritableMemoryFileIsReportedNotFatal)
{
    const QString path = m_dir.filePath(QStringLiteral("blocker"));
    MemoryFile(QByteArray());
    QFile::rename(m_dir.filePath("doorbell.bin"), path); // a file where a directory must go
    SimDoorbell* sim = InstallSim({path + QStringLiteral("/doorbell.bin")});
    ASSERT_TRUE(Write(0xA0, 0, {0x33}));
    FinishWriteCycle();
    EXPECT_EQ(Read(0xA0, 0, 1), std::vector<BYTE>{0x33});
    EXPECT_FALSE(sim->FileError().isEmpty());
}

// A chip left inside a read pulls the data line low for its next zero bit, whether a master
// walked away from it or it was found so at power-on, when the doorbell's reset line does not
// reach it. The next start clocks it out of its byte and stops it.
TEST_F(SimDoorbellTest, ChipLeftInsideAReadIsClockedFreeByTheNextStart)
{
    QByteArray contents(SimDoorbell::kMemoryBytes, '\0'); // every bit it sends is a low line
    InstallSim({MemoryFile(contents)});
    ASSERT_EQ(BusStart(), 0);
    ASSERT_EQ(BusSendByte(0xA1), 0);
    BYTE b = 0;
    ASSERT_EQ(BusReceiveByte(&b, 0), 0); // acknowledged: it goes on sending, pulling data low
    EXPECT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA0), 0);

    SimOptions found;
    found.leftInRead = true;
    InstallSim(found);
    SendResetPulse();
    EXPECT_NE(Inp(kPortStatus) & 0x80, 0) << "the data line should still be held low";
    EXPECT_EQ(BusStart(), 0);
    EXPECT_EQ(BusSendByte(0xA0), 0);
    // A line that stays low whatever the clock does is a fault no recovery mends.
    SimOptions stuck;
    stuck.sdaLow = true;
    InstallSim(stuck);
    EXPECT_EQ(BusStart(), 2);
}

TEST_F(SimDoorbellTest, PlayLineHandsOverImageAndFormatByte)
{
    QByteArray contents = Counting();
    contents[256] = '\xF0';
    SimDoorbell* sim = InstallSim({MemoryFile(contents)});
    int plays = 0;
    sim->SetPlayHandler([&](const uint8_t image[256], uint8_t format) {
        ++plays;
        EXPECT_EQ(image[0], 0);
        EXPECT_EQ(image[255], 255);
        EXPECT_EQ(format, 0xF0);
    });
    SendPlayPulse();
    EXPECT_EQ(plays, 1);
    Outp(kPortData, 0x10); // play line falls while the reset line is low: held in reset
    Outp(kPortData, 0x38);
    EXPECT_EQ(plays, 1);
}

} // namespace
