#pragma once
// What the doorbell-link tests share: a fixture with a fake clock and one-pass delays, a port
// wrapper that counts accesses, and a decoder that turns a port trace back into bus frames.
#include "bell/Bus.h"
#include "devices/SimDoorbell.h"
#include "document/TinklaDoc.h"
#include "platform/Archive.h"
#include "platform/Clock.h"
#include "platform/Ports.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/ScriptedPrompter.h"

namespace tinkla::test
{

// Keeps the calibrated values of the process and puts them back when it goes.
class SavedDelays
{
public:
    ~SavedDelays()
    {
        std::tie(g_dDelay1us, g_dDelay4us, g_dDelay4ms, g_dDelay10ms, g_dDelay50ms, g_dTimeout,
                 g_dPassSeconds) = m_values;
    }

private:
    std::tuple<double, double, double, double, double, double, double> m_values{
        g_dDelay1us,  g_dDelay4us, g_dDelay4ms,   g_dDelay10ms,
        g_dDelay50ms, g_dTimeout,  g_dPassSeconds};
};

// Runs on a fake clock that moves 10 us with every reading, so that waits and write cycles make
// progress without real time; every pause is one loop pass and the bus limit is the real 3 s.
// The port is left unconnected and the clock real afterwards.
class BusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_dDelay1us = g_dDelay4us = g_dDelay4ms = g_dDelay10ms = g_dDelay50ms = 0.0;
        g_dTimeout = 3.0;
        clock.SetAutoStep(0.01);
        SetClock(&clock);
        m_start = clock.Peek();
    }
    void TearDown() override
    {
        Ports::Instance().SetParallel(nullptr);
        SetClock(nullptr);
    }
    template <class Device> Device* Install(std::unique_ptr<Device> device)
    {
        Device* raw = device.get();
        Ports::Instance().SetParallel(std::move(device));
        return raw;
    }
    SimDoorbell* InstallSim(SimOptions options = {})
    {
        return Install(std::make_unique<SimDoorbell>(std::move(options)));
    }
    double ElapsedMs() const { return clock.Peek() - m_start; }

    FakeClock clock;

private:
    SavedDelays m_saved; // restored after TearDown, with the fixture
    double m_start = 0.0;
};

// A set of the given format whose melodies hold the given note codes.
class SetFixture
{
public:
    SetFixture(unsigned melodies, unsigned notes,
               const std::vector<std::vector<BYTE>>& content = {})
        : doc(&prompter)
    {
        doc.OnNewDocument();
        doc.SetFormat(melodies, notes);
        doc.ResetMelodies();
        for (size_t k = 0; k < content.size(); ++k)
            for (BYTE code : content[k])
                doc.GetMelody(static_cast<unsigned>(k))->AppendNote(code);
    }
    std::vector<std::vector<BYTE>> Notes() const
    {
        std::vector<std::vector<BYTE>> notes(doc.GetMelodyCount());
        for (unsigned k = 0; k < notes.size(); ++k)
            for (int j = 0; j < doc.GetMelody(k)->GetNoteCount(); ++j)
                notes[k].push_back(doc.GetMelody(k)->GetNoteCode(j));
        return notes;
    }
    QByteArray Saved()
    {
        Archive ar;
        doc.Serialize(ar);
        return ar.Data();
    }
    test::ScriptedPrompter prompter;
    CTinklaDoc doc;
};

inline BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

// Passes every access through to the device it wraps and counts them; keeps the data register
// writes in order.
class CountingPort : public PortDevice
{
public:
    explicit CountingPort(std::unique_ptr<PortDevice> inner) : m_inner(std::move(inner)) {}
    uint8_t In(uint16_t port) override
    {
        ++accesses;
        return m_inner ? m_inner->In(port) : 0xFF;
    }
    void Out(uint16_t port, uint8_t value) override
    {
        ++accesses;
        if (port == kPortData)
            dataWrites.push_back(value);
        if (m_inner)
            m_inner->Out(port, value);
    }
    int accesses = 0;
    std::vector<uint8_t> dataWrites;

private:
    std::unique_ptr<PortDevice> m_inner;
};

// One transaction as a trace shows it: from a start condition to the next start or a stop. Every
// nine clocked bits make a byte and its acknowledge (true: the line was low in the ninth clock).
struct BusFrame {
    std::vector<uint8_t> bytes;
    std::vector<bool> acked;
    bool endedByStop = false;
};

// Decodes "o 378 XX" / "i 379 XX" lines: the master's own data-register writes give start and
// stop conditions; the status read that follows a released clock gives each bit as the line
// carried it (so the device's acknowledges and data are seen too).
inline std::vector<BusFrame> DecodeTrace(const std::string& trace)
{
    std::vector<BusFrame> frames;
    std::vector<int> bits;
    bool inFrame = false;
    bool pending = false; // the master released the clock; the next status read samples a bit
    unsigned data = 0x38;
    auto close = [&](bool byStop) {
        if (inFrame) {
            frames.back().endedByStop = byStop;
            inFrame = false;
        }
        bits.clear();
    };
    std::istringstream in(trace);
    std::string op, port;
    unsigned value = 0;
    while (in >> op >> port >> std::hex >> value) {
        if (op == "o" && port == "378") {
            const unsigned old = data;
            data = value;
            const bool clockWasFree = !(old & 0x40);
            const bool clockIsFree = !(data & 0x40);
            if (clockWasFree && clockIsFree && !(old & 0x80) && (data & 0x80)) {
                close(false);
                frames.emplace_back();
                inFrame = true;
            } else if (clockWasFree && clockIsFree && (old & 0x80) && !(data & 0x80)) {
                close(true);
            } else if (!clockWasFree && clockIsFree) {
                pending = true;
            }
        } else if (op == "i" && port == "379" && pending && (value & 0x40)) {
            pending = false;
            if (!inFrame)
                continue;
            bits.push_back((value & 0x80) ? 0 : 1);
            if (bits.size() == 9) {
                unsigned byte = 0;
                for (int i = 0; i < 8; ++i)
                    byte = (byte << 1) | static_cast<unsigned>(bits[i]);
                frames.back().bytes.push_back(static_cast<uint8_t>(byte));
                frames.back().acked.push_back(bits[8] == 0);
                bits.clear();
            }
        }
    }
    return frames;
}

// Checks the frames of a whole set write: the format byte, then for each of the 32 pages, in
// address order 0, 8, .., 248, the polls the storing device refused (at least one: every page
// waits for the store before it, the first for the format byte's) and the page itself (0xA0
// acknowledged, its address, 8 bytes, a stop); then the polls that wait for the last page's
// store, closed with a stop once it is acknowledged. What follows (a verify) is not looked at.
inline void ExpectPagedWrite(const std::vector<BusFrame>& frames)
{
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].bytes.size(), 3u);
    EXPECT_EQ(frames[0].bytes[0], 0xA2);
    std::vector<int> pages, expected;
    int stops = 0, refused = 0;
    bool storeAwaited = false;
    for (size_t i = 1; i < frames.size() && !storeAwaited; ++i) {
        const BusFrame& f = frames[i];
        stops += f.endedByStop ? 1 : 0;
        if (f.bytes.size() == 1 && f.bytes[0] == 0xA0 && !f.acked[0] && !f.endedByStop) {
            ++refused;
        } else if (pages.size() == 32 && f.bytes.size() == 1 && f.bytes[0] == 0xA0 && f.acked[0] &&
                   f.endedByStop) {
            storeAwaited = true;
        } else {
            EXPECT_TRUE(f.bytes.size() == 10 && f.bytes[0] == 0xA0 && f.acked[0] && f.endedByStop)
                << "frame " << i << " is neither a poll nor a page";
            EXPECT_GE(refused, 1) << "page " << pages.size() + 1 << " did not poll";
            pages.push_back(f.bytes.size() > 1 ? f.bytes[1] : -1);
            refused = 0;
        }
    }
    for (int a = 0; a < 256; a += 8)
        expected.push_back(a);
    EXPECT_EQ(pages, expected);
    EXPECT_TRUE(storeAwaited) << "nothing waited for the last page's store";
    EXPECT_EQ(stops, 32 + 1);
}

} // namespace tinkla::test
