#pragma once
// The doorbell's two-wire bus, bit-banged on the first parallel port, and its two control pulses.
//
// Lines (data register 0x378, written by read-modify-write so that the other bits keep their
// value; status register 0x379 reads the lines back):
//   data bit 7  data line:  1 drives it low, 0 releases it (it then rests high)
//   data bit 6  clock line: 1 drives it low, 0 releases it
//   data bit 5  reset line of the doorbell, rests at 1
//   data bit 3  play line of the doorbell, rests at 1
//   status bit 7 set while the data line is low; status bit 6 set while the clock line is high
//
// Layered like the kernel's bit-banging I2C algorithm: Bus.cpp has one place that touches the
// port, line helpers above it, the six primitives and the bus probe above those. Nothing outside
// this folder and the port backends names the registers or their bits.
// Everything blocks the calling thread; pauses end on the monotonic clock (their lengths come
// from loop counts calibrated against the millisecond tick counter), and every bus wait gives
// up after g_dTimeout seconds.
#include "platform/Byte.h"

#include <cstdint>
#include <ctime>

namespace tinkla
{

// What a primitive reports. The numbers are kept: traces and older logs give them by number.
enum BusResult : int {
    BUS_OK = 0,          // done (a byte sent: acknowledged)
    BUS_CLOCK_HELD = 1,  // the clock stayed low after release, or a bit ran out of time
    BUS_DATA_LOW = 2,    // the data line stayed low although released
    BUS_NO_ACK = 3,      // nobody acknowledged the byte
    BUS_STOP_FAILED = 4, // the data line stayed low after the stop
};

// Loop-pass counts for each pause, set by CalibrateDelays (0.0 before: every pause is one pass).
extern double g_dDelay1us;
extern double g_dDelay4us;
extern double g_dDelay4ms;
extern double g_dDelay10ms;
extern double g_dDelay50ms;
// Seconds one loop pass took by the last calibration (the fallback if it failed; 0.0 before):
// what turns the counts above into the lengths of the pauses.
extern double g_dPassSeconds;
// Limit of every bus wait, seconds of the calendar clock; 0.0 before CalibrateDelays, then 3.0.
extern double g_dTimeout;

// The budget of one bus wait: g_dTimeout seconds on the whole-second calendar clock, so the
// limit is reached at a clock difference of 4 s. A clock set back while waiting restarts the
// budget instead of stretching the wait by the size of the jump.
class BusWait
{
public:
    BusWait();
    bool Expired(); // reads the clock

private:
    std::time_t m_t0;
};

// While one lives, each bit of a byte is tried once: a clock held low fails the byte at once
// instead of after g_dTimeout. For closing a transfer that has already failed, so that the user
// never waits for the same fault twice.
class BusSingleAttempt
{
public:
    BusSingleAttempt();
    ~BusSingleAttempt();
    BusSingleAttempt(const BusSingleAttempt&) = delete;
    BusSingleAttempt& operator=(const BusSingleAttempt&) = delete;
};

// Pauses for the time `count` loop passes took at the last calibration, measured on the
// monotonic clock: never shorter, longer when the machine is busy. Pauses above 2 ms sleep for
// most of their length; shorter ones spin. Before any calibration: floor(count) + 1 passes of
// the loop for count >= 0, nothing for a negative count.
void Delay(double count);

// Measures the delay loop against TheClock().GetTickCount() and sets the five counts and the
// time-out. A measurement that comes out zero, negative or never ends (a stuck clock) is
// repeated; if none succeeds the counts fall back to a pass time no real machine beats, so
// pauses err long, never short and never endless. Takes about 60 ms of real time.
void CalibrateDelays();

// Loop passes the Delay calls since the program started asked for (floor(count) + 1 each);
// times g_dPassSeconds that is what the bus pauses demanded.
uint64_t DelayPassCount();

// The doorbell's reset pulse: data register 0x38, 50 ms; 0x18 (reset low), 4 ms; 0x38, 50 ms.
// Leaves the data register at 0x38 with both bus lines released.
void SendResetPulse();
// The play pulse: data register 0x38, 4 ms; 0x30 (play low), 50 ms; 0x38, 4 ms.
// Leaves the data register at 0x38 with both bus lines released.
void SendPlayPulse();

// Start (or repeated start) condition. Returns 0, 1 or 2. A data line held low by a chip left
// inside a read is first freed with BusRecover; 2 only when that fails.
// Entry: any; exit on 0: clock low, data low. On 1 the clock is left released.
BusResult BusStart();
// Frees a data line that a chip left inside a byte it was sending holds low: with the data line
// released, up to nine clock pulses until it lets go, then a stop. True when the data line is
// free (at once, when nobody held it). Entry: any; exit on true: both lines released.
bool BusRecover();
// Stop condition. Returns 0, 1 or 4. Entry: clock low; exit on 0: both lines released.
BusResult BusStop();
// One bit out; the bit is bit 6 (0x40) of `bit`. Returns 0, 1 or 2.
// Entry: clock low; exit on 0: clock low, data line holding the bit. On 1 the clock is released.
BusResult BusSendBit(BYTE bit);
// One bit in, into bit 7 of *pBit (bits 0..6 untouched). Returns 0 or 1.
// Entry: clock low; exit on 0: clock low, data released.
BusResult BusReceiveBit(BYTE* pBit);
// Eight bits most significant first, then reads the acknowledge. Returns 0, 1, 2 or 3.
// Each bit, and the acknowledge, is retried while the clock is held low, for g_dTimeout seconds.
// Entry: clock low (after a start); exit on 0 or 3: clock low.
BusResult BusSendByte(BYTE value);
// Eight bits most significant first into *pByte, then sends the acknowledge: 0 when noAck is 0,
// else 1 (no acknowledge, ends a read). Returns 0, 1 or 2. Entry and exit on 0: clock low.
BusResult BusReceiveByte(BYTE* pByte, BYTE noAck);

// Whether a device on the bus answers: both lines released and high (a data line a chip holds
// is freed first, as at a start), then up to `attempts` tries, 10 ms apart, of a start, the
// device code and a stop (a doorbell storing a page does not answer for a few milliseconds).
// Sends no pulse and changes no memory. Calibrates the delays if that never happened.
enum class BusProbe {
    Answers,
    ClockStuckLow, // the clock line is low while released
    DataStuckLow,  // the data line is low while released, and clocking does not free it
    ClockHeld,     // a device held the clock low past g_dTimeout
    NoAnswer,      // nobody acknowledged the device code
};
BusProbe ProbeBus(BYTE deviceCode, int attempts = 5);

} // namespace tinkla
