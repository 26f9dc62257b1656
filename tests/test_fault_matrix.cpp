// Every fault the simulated doorbell can show, struck at every stage of a read and of a write of
// the whole set: what the user is told, what becomes of the set (read) or of the doorbell's memory
// (write), and that a fault never costs more than one 3-second limit of waiting.
//
// The fault begins after a given number of bytes on the bus, so each row names the stage it hits:
//   read:  A2 00 A3 [format byte] A0 00 A1 [image byte 0] [1] .. [255]   (the device's bytes)
//   write: A2 00 [format byte]  then per page: A0 [address] [8 bytes] stop
// and it hits just before that stage's first data byte.
#include "bell/BellMessages.h"
#include "bell/TransferSession.h"
#include "support/DocTestKit.h"
#include "test_bus_support.h"

#include <map>
#include <random>

using namespace tinkla;
using tinkla::test::BusTest;
using tinkla::test::Code;
using tinkla::test::SetFixture;

namespace
{

enum class Fault {
    Absent,
    DataLow,
    ClockLow,
    StretchShort,
    StretchLong,
    Busy,
    SlowStore,
    WriteProtect,
    LeftInRead
};

// Each fault, in the order above: its name and how the simulated doorbell shows it.
const std::pair<const char*, void (*)(SimOptions&)> kFaults[] = {
    {"Absent", [](SimOptions& o) { o.absent = true; }},
    {"DataLineLow", [](SimOptions& o) { o.sdaLow = true; }},
    {"ClockLineLow", [](SimOptions& o) { o.sclLow = true; }},
    {"StretchWithinLimit", [](SimOptions& o) { o.stretchMs = 2000.0; }},
    {"StretchPastLimit", [](SimOptions& o) { o.stretchMs = 5000.0; }},
    {"BusyForever", [](SimOptions& o) { o.busy = true; }},
    {"StoreTakesTenSeconds", [](SimOptions& o) { o.twrMs = 10000.0; }},
    {"WriteProtected", [](SimOptions& o) { o.writeProtect = true; }},
    {"LeftInsideARead", [](SimOptions& o) { o.leftInRead = true; }}};

SimOptions Options(Fault f, int afterBytes)
{
    SimOptions o;
    o.faultAfterBytes = afterBytes;
    kFaults[static_cast<int>(f)].second(o);
    return o;
}

// The stages, by the bytes through before the stage's first data byte (see the top; page 16 of a
// write: 5 + 15 × 10).
enum class ReadStage { FormatByte = 3, FirstByte = 7, MiddleByte = 7 + 100, LastByte = 7 + 255 };
enum class WriteStage { FormatByte = 2, FirstPage = 5, Page16 = 155, LastPage = 315 };

// A row's name: the fault, then the stage it hits (no read and write stage share a byte count).
template <class Case> std::string CaseName(const Case& c)
{
    static const std::map<int, const char*> stages = {
        {int(ReadStage::FormatByte), "FormatByte"},  {int(ReadStage::FirstByte), "FirstByte"},
        {int(ReadStage::MiddleByte), "Byte100"},     {int(ReadStage::LastByte), "LastByte"},
        {int(WriteStage::FormatByte), "FormatByte"}, {int(WriteStage::FirstPage), "FirstPage"},
        {int(WriteStage::Page16), "Page16"},         {int(WriteStage::LastPage), "LastPage"}};
    return std::string(kFaults[int(c.fault)].first) + "At" + stages.at(int(c.stage));
}

// The limit as the seconds clock measures it: more than 3 whole seconds, so up to 4 s of real
// waiting, plus the bus traffic of the attempts themselves.
constexpr double kOneLimitMs = 4000.0 + 100.0;

// The doorbell's set for the reads (8 × 31, every melody full, so that every image byte but the
// end bytes is a note) and the document's set for the writes.
std::vector<std::vector<BYTE>> FullSet(unsigned melodies, unsigned notes, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::vector<BYTE>> set(melodies);
    for (auto& melody : set)
        for (unsigned j = 0; j < notes; ++j)
            melody.push_back(Code(static_cast<int>(random() % 32), static_cast<int>(random() % 5)));
    return set;
}

class FaultMatrix : public BusTest
{
protected:
    // Coarser than the fixture's step, so that a byte stretched for 2 s takes a few thousand
    // attempts rather than a few hundred thousand; a bit still takes well under a millisecond
    // of its 3-second budget, and a healthy transfer under a second.
    void SetUp() override
    {
        BusTest::SetUp();
        clock.SetAutoStep(0.1);
    }
    // A doorbell holding `memory`, with the fault, in a memory file of its own (the one it
    // replaces saves its own memory when it goes).
    void Install(const QByteArray& memory, SimOptions options)
    {
        Ports::Instance().SetParallel(nullptr);
        m_file = m_files.Write(QStringLiteral("doorbell%1.bin").arg(++m_nFiles), memory);
        options.path = m_file;
        InstallSim(std::move(options));
    }
    // What the doorbell holds once it is put away (a store under way completes, as it does on a
    // powered doorbell; one that never ends does not).
    QByteArray Unplugged()
    {
        Ports::Instance().SetParallel(nullptr);
        return test::TempFiles::Read(m_file);
    }
    // Runs a session as its dialog does; returns the message the user sees, or nullptr.
    const char* Read(CTinklaDoc& doc)
    {
        ReadSession session;
        for (int ticks = 0; !session.IsFinished() && ticks < 1000; ++ticks)
            session.Tick();
        if (session.State() == TransferState::Failed)
            return session.Message();
        EXPECT_EQ(session.State(), TransferState::Done);
        return session.ApplyTo(doc);
    }
    const char* Write(const CTinklaDoc& doc)
    {
        WriteSession session(doc);
        session.Tick();
        EXPECT_TRUE(session.IsFinished());
        return session.Message();
    }

    test::TempFiles m_files;
    QString m_file;
    int m_nFiles = 0;
};

struct ReadCase {
    Fault fault;
    ReadStage stage;
    const char* message; // what the user is told; nullptr: nothing
    // The set afterwards: -1 unchanged; otherwise replaced by the doorbell's, up to image byte
    // `upTo` (the first byte that did not come through); 256: all of it.
    int upTo;
};

class ReadFaults : public FaultMatrix, public ::testing::WithParamInterface<ReadCase>
{
};

TEST_P(ReadFaults, TellsWhyAndKeepsOrReplacesTheSetAsFarAsItCameThrough)
{
    const ReadCase& c = GetParam();
    const auto stored = FullSet(8, 31, 7);
    SetFixture source(8, 31, stored);
    DoorbellImage image{};
    ASSERT_TRUE(BuildDoorbellImage(source.doc, &image));
    QByteArray memory(SimDoorbell::kMemoryBytes, '\xFF');
    std::copy(image.begin(), image.end(), memory.begin());
    memory[256] = char(0xE0);

    SetFixture set(16, 15, {{Code(4, 2), Code(9, 1)}, {}, {Code(31, 4)}});
    set.doc.GetMelody(0)->SetTitle("\xD1\xE2\xEE\xFF"); // "Своя" in CP1251
    const QByteArray before = set.Saved();

    // The same read on a healthy doorbell, for the time it takes.
    Install(memory, {});
    SetFixture spare(8, 31);
    double start = clock.Peek();
    ASSERT_EQ(Read(spare.doc), nullptr);
    const double healthyMs = clock.Peek() - start;

    Install(memory, Options(c.fault, static_cast<int>(c.stage)));
    start = clock.Peek();
    EXPECT_STREQ(Read(set.doc), c.message);
    if (c.fault != Fault::StretchShort) {
        EXPECT_LE(clock.Peek() - start, healthyMs + kOneLimitMs);
    }

    if (c.upTo < 0) {
        EXPECT_EQ(set.Saved(), before);
        return;
    }
    std::vector<std::vector<BYTE>> expected(8);
    for (int i = 0; i < c.upTo && i < 256; ++i)
        if (i % 32 != 31) // the end byte of a full melody
            expected[i / 32].push_back(stored[i / 32][i % 32]);
    EXPECT_EQ(set.Notes(), expected);
    EXPECT_EQ(set.doc.GetCurrentNumber(), 1u);
    EXPECT_FALSE(set.doc.IsModified());
}

constexpr int kUnchanged = -1;
constexpr int kAll = 256;

// A doorbell that goes away leaves the data line released, so the rest reads as 0xFF; the read
// then addresses it once more, and its silence makes that the link failure, not bad contents. A
// line stuck low turns every later bit into 0, and the closing no-acknowledge bit, released but
// read low, fails the read. A chip found inside a read is clocked free by the first start.
// Busy and slow stores and write protection do not concern a read.
INSTANTIATE_TEST_SUITE_P(
    Matrix, ReadFaults,
    ::testing::Values(ReadCase{Fault::Absent, ReadStage::FormatByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::Absent, ReadStage::FirstByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::Absent, ReadStage::MiddleByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::Absent, ReadStage::LastByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::DataLow, ReadStage::FormatByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::DataLow, ReadStage::FirstByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::DataLow, ReadStage::MiddleByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::DataLow, ReadStage::LastByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::ClockLow, ReadStage::FormatByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::ClockLow, ReadStage::FirstByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::ClockLow, ReadStage::MiddleByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::ClockLow, ReadStage::LastByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::StretchShort, ReadStage::FormatByte, nullptr, kAll},
                      ReadCase{Fault::StretchShort, ReadStage::FirstByte, nullptr, kAll},
                      ReadCase{Fault::StretchShort, ReadStage::MiddleByte, nullptr, kAll},
                      ReadCase{Fault::StretchShort, ReadStage::LastByte, nullptr, kAll},
                      ReadCase{Fault::StretchLong, ReadStage::FormatByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::StretchLong, ReadStage::FirstByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::StretchLong, ReadStage::MiddleByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::StretchLong, ReadStage::LastByte, kMsgBellLink, kUnchanged},
                      ReadCase{Fault::Busy, ReadStage::FormatByte, nullptr, kAll},
                      ReadCase{Fault::Busy, ReadStage::FirstByte, nullptr, kAll},
                      ReadCase{Fault::Busy, ReadStage::MiddleByte, nullptr, kAll},
                      ReadCase{Fault::Busy, ReadStage::LastByte, nullptr, kAll},
                      ReadCase{Fault::SlowStore, ReadStage::FormatByte, nullptr, kAll},
                      ReadCase{Fault::SlowStore, ReadStage::FirstByte, nullptr, kAll},
                      ReadCase{Fault::SlowStore, ReadStage::MiddleByte, nullptr, kAll},
                      ReadCase{Fault::SlowStore, ReadStage::LastByte, nullptr, kAll},
                      ReadCase{Fault::WriteProtect, ReadStage::FormatByte, nullptr, kAll},
                      ReadCase{Fault::LeftInRead, ReadStage::FormatByte, nullptr, kAll}),
    [](const auto& info) { return CaseName(info.param); });

struct WriteCase {
    Fault fault;
    WriteStage stage;
    const char* message;
    bool formatStored; // the doorbell holds the new format byte
    int pagesStored;   // and the first this many pages of the new image, the rest as before
};

class WriteFaults : public FaultMatrix, public ::testing::WithParamInterface<WriteCase>
{
};

TEST_P(WriteFaults, TellsWhyAndLeavesTheDoorbellHoldingWhatWasStoredBeforeIt)
{
    const WriteCase& c = GetParam();
    SetFixture set(8, 31, FullSet(8, 31, 11));
    const QByteArray before = set.Saved();
    DoorbellImage image{};
    ASSERT_TRUE(BuildDoorbellImage(set.doc, &image));
    // The doorbell holds an empty 32 × 7 set: every page of it differs from the new image.
    QByteArray old(SimDoorbell::kMemoryBytes, '\xFF');
    for (int k = 0; k < 32; ++k)
        old[k * 8] = char(kEndByte);
    old[256] = char(0xF8);

    InstallSim({}); // memory only: the healthy write is timed, not kept
    double start = clock.Peek();
    ASSERT_EQ(Write(set.doc), nullptr);
    const double healthyMs = clock.Peek() - start;

    Install(old, Options(c.fault, static_cast<int>(c.stage)));
    start = clock.Peek();
    EXPECT_STREQ(Write(set.doc), c.message);
    if (c.fault != Fault::StretchShort) {
        EXPECT_LE(clock.Peek() - start, healthyMs + kOneLimitMs);
    }
    EXPECT_EQ(set.Saved(), before); // a write only reads the set

    QByteArray expected = old;
    if (c.formatStored)
        expected[256] = char(0xE0);
    for (int i = 0; i < c.pagesStored * 8; ++i)
        expected[i] = char(image[i]);
    EXPECT_EQ(Unplugged().toHex(' '), expected.toHex(' '));
}

// Absent, a line stuck low or a clock held past the limit end the write inside the stage's
// page, which is then never stored. A store that never ends is found by the next page's polling;
// a 10-second store as well, but that page does get stored; after the last page the write polls
// once more for the same reason. A write-protected doorbell takes everything and stores nothing
// from the stage on: only reading it back finds that out.
INSTANTIATE_TEST_SUITE_P(
    Matrix, WriteFaults,
    ::testing::Values(
        WriteCase{Fault::Absent, WriteStage::FormatByte, kMsgBellLink, false, 0},
        WriteCase{Fault::Absent, WriteStage::FirstPage, kMsgBellLink, true, 0},
        WriteCase{Fault::Absent, WriteStage::Page16, kMsgBellLink, true, 15},
        WriteCase{Fault::Absent, WriteStage::LastPage, kMsgBellLink, true, 31},
        WriteCase{Fault::DataLow, WriteStage::FormatByte, kMsgBellLink, false, 0},
        WriteCase{Fault::DataLow, WriteStage::FirstPage, kMsgBellLink, true, 0},
        WriteCase{Fault::DataLow, WriteStage::Page16, kMsgBellLink, true, 15},
        WriteCase{Fault::DataLow, WriteStage::LastPage, kMsgBellLink, true, 31},
        WriteCase{Fault::ClockLow, WriteStage::FormatByte, kMsgBellLink, false, 0},
        WriteCase{Fault::ClockLow, WriteStage::FirstPage, kMsgBellLink, true, 0},
        WriteCase{Fault::ClockLow, WriteStage::Page16, kMsgBellLink, true, 15},
        WriteCase{Fault::ClockLow, WriteStage::LastPage, kMsgBellLink, true, 31},
        WriteCase{Fault::StretchShort, WriteStage::FormatByte, nullptr, true, 32},
        WriteCase{Fault::StretchShort, WriteStage::FirstPage, nullptr, true, 32},
        WriteCase{Fault::StretchShort, WriteStage::Page16, nullptr, true, 32},
        WriteCase{Fault::StretchShort, WriteStage::LastPage, nullptr, true, 32},
        WriteCase{Fault::StretchLong, WriteStage::FormatByte, kMsgBellLink, false, 0},
        WriteCase{Fault::StretchLong, WriteStage::FirstPage, kMsgBellLink, true, 0},
        WriteCase{Fault::StretchLong, WriteStage::Page16, kMsgBellLink, true, 15},
        WriteCase{Fault::StretchLong, WriteStage::LastPage, kMsgBellLink, true, 31},
        WriteCase{Fault::Busy, WriteStage::FormatByte, kMsgBellLink, false, 0},
        WriteCase{Fault::Busy, WriteStage::FirstPage, kMsgBellLink, true, 0},
        WriteCase{Fault::Busy, WriteStage::Page16, kMsgBellLink, true, 15},
        WriteCase{Fault::Busy, WriteStage::LastPage, kMsgBellLink, true, 31},
        WriteCase{Fault::SlowStore, WriteStage::FormatByte, kMsgBellLink, true, 0},
        WriteCase{Fault::SlowStore, WriteStage::FirstPage, kMsgBellLink, true, 1},
        WriteCase{Fault::SlowStore, WriteStage::Page16, kMsgBellLink, true, 16},
        WriteCase{Fault::SlowStore, WriteStage::LastPage, kMsgBellLink, true, 32},
        WriteCase{Fault::WriteProtect, WriteStage::FormatByte, kMsgBellVerify, false, 0},
        WriteCase{Fault::WriteProtect, WriteStage::Page16, kMsgBellVerify, true, 15},
        WriteCase{Fault::WriteProtect, WriteStage::LastPage, kMsgBellVerify, true, 31},
        WriteCase{Fault::LeftInRead, WriteStage::FormatByte, nullptr, true, 32}),
    [](const auto& info) { return CaseName(info.param); });

} // namespace
