#include "model/Note.h"

#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Ports.h"
#include "platform/Prompter.h"

namespace tinkla
{

const int g_nFrequencies[kToneCount] = {208, 220, 233, 247, 262, 277, 294,  311,  330,  349, 370,
                                        392, 415, 440, 466, 494, 523, 554,  587,  622,  659, 698,
                                        740, 784, 831, 880, 932, 988, 1047, 1109, 1175, 1245};

const int g_nStaffOffsets[kToneCount] = {33, 29, 29, 24,  20,  20,  15,  15,  11,  6,  6,
                                         2,  2,  -3, -3,  14,  9,   9,   5,   5,   0,  -4,
                                         -4, -9, -9, -13, -13, -18, -22, -22, -27, -27};

const char* const g_szNoteNames[12] = {"Соль#", "Ля",  "Ля#", "Си", "До",  "До#",
                                       "Ре",    "Ре#", "Ми",  "Фа", "Фа#", "Соль"};
const char* const g_szDurationNames[kDurationCount] = {"Целая", "Половина", "Четверть", "Восьмая",
                                                       "Шестнадцатая"};
const char* const g_szDurationShort[kDurationCount] = {"1", "1/2", "1/4", "1/8", "1/16"};

const char* OctaveFormat(int tone)
{
    if (tone <= 3)
        return "%s, Малая октава";
    if (tone <= 15)
        return "%s, Первая октава";
    if (tone <= 27)
        return "%s, Вторая октава";
    return "%s, Третья октава";
}

void CNote::ToneUp()
{
    if (m_nTone < kToneCount - 1)
        ++m_nTone;
}

void CNote::ToneDown()
{
    if (m_nTone > 0)
        --m_nTone;
}

void CNote::Lengthen()
{
    if (m_nDuration > 0)
        --m_nDuration;
}

void CNote::Shorten()
{
    if (m_nDuration < kDurationCount - 1)
        ++m_nDuration;
}

void CNote::SetPosition(int index)
{
    // A tone code beyond the table can only come from a code the caller did not validate; draw it
    // where the highest tone goes rather than read past the table.
    const int tone = m_nTone < kToneCount ? m_nTone : kToneCount - 1;
    m_ptPos.x = (index % 12) * 45 + 90;
    m_ptPos.y = (index / 12) * 100 + 132 + g_nStaffOffsets[tone];
}

void CNote::SoundOn() const
{
    const int tone = m_nTone < kToneCount ? m_nTone : kToneCount - 1;
    const int divisor = 1193180 / g_nFrequencies[tone];
    Outp(kPortPitControl, 0xB6); // channel 2, low then high byte, mode 3, binary
    Outp(kPortPitData, static_cast<uint8_t>(divisor & 0xFF));
    Outp(kPortPitData, static_cast<uint8_t>((divisor >> 8) & 0xFF));
    Outp(kPortSpeaker, static_cast<uint8_t>(Inp(kPortSpeaker) | 0x03));
}

void CNote::SoundOff()
{
    Outp(kPortSpeaker, static_cast<uint8_t>(Inp(kPortSpeaker) & 0xFC));
}

void CNote::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU8(m_nTone);
        ar.WriteU8(m_nDuration);
        return;
    }
    const BYTE tone = ar.ReadU8();
    const BYTE duration = ar.ReadU8();
    if (tone >= kToneCount || duration >= kDurationCount) {
        if (ar.GetPrompter())
            ShowMessage(*ar.GetPrompter(), kMsgNoteReadError, MB_OK);
        return;
    }
    m_nTone = tone;
    m_nDuration = duration;
}

} // namespace tinkla
