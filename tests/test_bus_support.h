#pragma once
// The doorbell-link tests' fake-clock fixture, a set of given notes and a port-trace decoder.
#include "bell/Bus.h"
#include "devices/SimDoorbell.h"
#include "document/TinklaDoc.h"
#include "platform/Clock.h"
#include "platform/Ports.h"
#include "support/DocTestKit.h"

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
struct SavedDelays {
    ~SavedDelays()
    {
        std::tie(g_dDelay1us, g_dDelay4us, g_dDelay4ms, g_dDelay10ms, g_dDelay50ms, g_dTimeout,
                 g_dPassSeconds) = m_values;
    }
    std::tuple<double, double, double, double, double, double, double> m_values{
        g_dDelay1us,  g_dDelay4us, g_dDelay4ms,   g_dDelay10ms,
        g_dDelay50ms, g_dTimeout,  g_dPassSeconds};
};

// Waits and write cycles pass on a fake clock (10 us a reading); the bus limit is the real 3 s.
class BusTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_dDelay1us = g_dDelay4us = g_dDelay4ms = g_dDelay10ms = g_dDelay50ms = 0.0;
        g_dTimeout = 3.0;
        clock.SetAutoStep(0.01);
        SetClock(&clock);
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
    FakeClock clock;
    SavedDelays m_saved; // restored after TearDown, with the fixture
};

// The note codes of every melody of a set.
inline std::vector<std::vector<BYTE>> NotesOf(const CTinklaDoc& doc)
{
    std::vector<std::vector<BYTE>> notes(doc.GetMelodyCount());
    for (unsigned k = 0; k < notes.size(); ++k)
        for (int j = 0; j < doc.GetMelody(k)->GetNoteCount(); ++j)
            notes[k].push_back(doc.GetMelody(k)->GetNoteCode(j));
    return notes;
}

// A set of the given format whose melodies hold the given note codes.
struct SetFixture {
    SetFixture(unsigned melodies, unsigned notes, const std::vector<std::vector<BYTE>>& codes = {})
        : doc(&prompter)
    {
        doc.OnNewDocument();
        doc.SetFormat(melodies, notes);
        doc.ResetMelodies();
        for (size_t k = 0; k < codes.size(); ++k)
            for (BYTE code : codes[k])
                doc.GetMelody(static_cast<unsigned>(k))->AppendNote(code);
    }
    std::vector<std::vector<BYTE>> Notes() const { return NotesOf(doc); }
    QByteArray Saved() { return StoredSet(doc); }
    test::ScriptedPrompter prompter;
    CTinklaDoc doc;
};

inline BYTE Code(int tone, int duration)
{
    return static_cast<BYTE>(tone * 8 + duration);
}

// From a start to the next start or stop; acked: the line was low in the byte's ninth clock.
struct BusFrame {
    std::vector<uint8_t> bytes;
    std::vector<bool> acked;
    bool endedByStop = false;
};

// Each bit as the line carried it: the status read that follows the master releasing the clock.
inline std::vector<BusFrame> DecodeTrace(const std::string& trace)
{
    std::vector<BusFrame> frames;
    std::vector<int> bits;
    bool inFrame = false;
    bool pending = false; // the master released the clock; the next status read samples a bit
    unsigned data = 0x38;
    std::istringstream in(trace);
    std::string op, port;
    unsigned value = 0;
    while (in >> op >> port >> std::hex >> value) {
        if (op == "o" && port == "378") {
            const bool clockFree = !(data & 0x40) && !(value & 0x40);
            const bool start = clockFree && !(data & 0x80) && (value & 0x80);
            const bool stop = clockFree && (data & 0x80) && !(value & 0x80);
            if (start || stop) {
                if (inFrame)
                    frames.back().endedByStop = stop;
                if (start)
                    frames.emplace_back();
                inFrame = start;
                bits.clear();
            } else if ((data & 0x40) && !(value & 0x40)) {
                pending = true;
            }
            data = value;
        } else if (op == "i" && port == "379" && pending && (value & 0x40)) {
            pending = false;
            if (inFrame)
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

} // namespace tinkla::test
