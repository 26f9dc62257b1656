#pragma once
// Square waves at exactly kPitHz / divisor Hz. The half-period, rate × divisor / (2 × kPitHz)
// samples, is kept as an exact fraction, so a tone does not drift however long it lasts.
#include "devices/SoundSink.h"

#include <cstddef>
#include <cstdint>

namespace tinkla
{

// Amplitude of the generated square waves: a quarter of full scale, loud enough without
// clipping anything mixed with it.
constexpr int16_t kSquareAmplitude = 8192;

// The bare wave: +1 for the first half-period from Start, then -1, and so on.
class SquareWave
{
public:
    // rate: samples per second, > 0; divisor 1..65536; sign of the first half-period, +1 or -1.
    void Start(uint32_t rate, uint32_t divisor, int sign = 1)
    {
        m_nHalf = static_cast<uint64_t>(rate) * divisor;
        m_nAcc = 0;
        m_nSign = sign < 0 ? -1 : 1;
    }
    // The sign of the next sample (+1 or -1); *edge is set when the wave changes sign after it.
    int Next(bool* edge = nullptr)
    {
        const int sign = m_nSign;
        m_nAcc += 2ull * kPitHz;
        const bool flip = m_nAcc >= m_nHalf;
        if (flip) {
            m_nAcc -= m_nHalf;
            if (m_nAcc >= m_nHalf) // above half the sample rate: alias rather than stall
                m_nAcc %= m_nHalf;
            m_nSign = -m_nSign;
        }
        if (edge)
            *edge = flip;
        return sign;
    }
    // Fills n samples of amplitude amp.
    void Fill(int16_t* out, size_t n, int16_t amp)
    {
        for (size_t i = 0; i < n; ++i)
            out[i] = static_cast<int16_t>(Next() * amp);
    }

private:
    uint64_t m_nHalf = 1;
    uint64_t m_nAcc = 0;
    int m_nSign = 1;
};

// A live voice for a sound card: changes of tone wait for the wave's next sign change, and the
// start and end of a tone ramp over a few samples, so note edges do not click.
class SquareVoice
{
public:
    // rampSamples: length of the fade in and out, >= 1.
    SquareVoice(uint32_t rate, int16_t amplitude, int rampSamples)
        : m_nRate(rate), m_nAmp(amplitude), m_nRamp(rampSamples > 0 ? rampSamples : 1)
    {
    }
    // 0 = silence. Tones the rate cannot carry (at or above half the sample rate) are silence.
    void SetTarget(uint32_t divisor)
    {
        const bool carried = divisor && uint64_t{kPitHz} * 2 < uint64_t{m_nRate} * divisor;
        m_nTarget = carried ? divisor : 0;
    }
    bool IsSilent() const { return m_nCurrent == 0 && m_nTarget == 0; }

    void Render(int16_t* out, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            out[i] = NextSample();
    }

private:
    int16_t NextSample()
    {
        if (m_nCurrent == 0) {
            if (m_nTarget == 0)
                return 0;
            m_nCurrent = m_nTarget;
            m_wave.Start(m_nRate, m_nCurrent);
            m_nEnv = 0;
        }
        // Fade in while the target holds, fade out once it has let go at a sign change.
        if (m_bReleasing) {
            if (m_nEnv > 0)
                --m_nEnv;
        } else if (m_nEnv < m_nRamp) {
            ++m_nEnv;
        }
        bool edge = false;
        const int sign = m_wave.Next(&edge);
        const int16_t value = static_cast<int16_t>(sign * m_nAmp * m_nEnv / m_nRamp);
        if (m_bReleasing && m_nEnv == 0) {
            m_bReleasing = false;
            m_nCurrent = 0; // the next sample starts the pending tone afresh, if any
        } else if (edge && m_nTarget != m_nCurrent) {
            if (m_nTarget == 0) {
                m_bReleasing = true;
            } else {
                m_nCurrent = m_nTarget; // a new pitch from this sign change on, no gap
                m_wave.Start(m_nRate, m_nCurrent, -sign);
            }
        } else if (m_bReleasing && m_nTarget != 0) {
            m_bReleasing = false; // taken back while fading: fade in again
        }
        return value;
    }

    uint32_t m_nRate;
    int16_t m_nAmp;
    int m_nRamp;
    uint32_t m_nTarget = 0;
    uint32_t m_nCurrent = 0;
    bool m_bReleasing = false;
    int m_nEnv = 0;
    SquareWave m_wave;
};

} // namespace tinkla
