#include "model/Note.h"

#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Ports.h"
#include "platform/Prompter.h"

#include <QCoreApplication>

namespace tinkla
{

const int g_nFrequencies[kToneCount] = {208, 220, 233, 247, 262, 277, 294,  311,  330,  349, 370,
                                        392, 415, 440, 466, 494, 523, 554,  587,  622,  659, 698,
                                        740, 784, 831, 880, 932, 988, 1047, 1109, 1175, 1245};

const int g_nStaffOffsets[kToneCount] = {33, 29, 29, 24,  20,  20,  15,  15,  11,  6,  6,
                                         2,  2,  -3, -3,  14,  9,   9,   5,   5,   0,  -4,
                                         -4, -9, -9, -13, -13, -18, -22, -22, -27, -27};

const char* const g_szNoteNames[12] = {
    QT_TRANSLATE_NOOP("CNote", "Соль#"), QT_TRANSLATE_NOOP("CNote", "Ля"),
    QT_TRANSLATE_NOOP("CNote", "Ля#"),   QT_TRANSLATE_NOOP("CNote", "Си"),
    QT_TRANSLATE_NOOP("CNote", "До"),    QT_TRANSLATE_NOOP("CNote", "До#"),
    QT_TRANSLATE_NOOP("CNote", "Ре"),    QT_TRANSLATE_NOOP("CNote", "Ре#"),
    QT_TRANSLATE_NOOP("CNote", "Ми"),    QT_TRANSLATE_NOOP("CNote", "Фа"),
    QT_TRANSLATE_NOOP("CNote", "Фа#"),   QT_TRANSLATE_NOOP("CNote", "Соль")};
const char* const g_szDurationNames[kDurationCount] = {
    QT_TRANSLATE_NOOP("CNote", "Целая"), QT_TRANSLATE_NOOP("CNote", "Половина"),
    QT_TRANSLATE_NOOP("CNote", "Четверть"), QT_TRANSLATE_NOOP("CNote", "Восьмая"),
    QT_TRANSLATE_NOOP("CNote", "Шестнадцатая")};
const char* const g_szDurationShort[kDurationCount] = {"1", "1/2", "1/4", "1/8", "1/16"};

const char* OctaveFormat(int tone)
{
    if (tone <= 3)
        return QT_TRANSLATE_NOOP("CNote", "%s, Малая октава");
    if (tone <= 15)
        return QT_TRANSLATE_NOOP("CNote", "%s, Первая октава");
    if (tone <= 27)
        return QT_TRANSLATE_NOOP("CNote", "%s, Вторая октава");
    return QT_TRANSLATE_NOOP("CNote", "%s, Третья октава");
}

QString PitchName(int tone)
{
    return QCoreApplication::translate("CNote", g_szNoteNames[((tone % 12) + 12) % 12]);
}

QString ToneName(int tone)
{
    return QCoreApplication::translate("CNote", OctaveFormat(tone))
        .replace(QLatin1String("%s"), PitchName(tone));
}

QString DurationName(int duration)
{
    if (duration < 0 || duration >= kDurationCount)
        return QString();
    return QCoreApplication::translate("CNote", g_szDurationNames[duration]);
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
