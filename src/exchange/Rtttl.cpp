// RTTTL as the common players read it: a4 = 440 Hz, defaults d=4, o=6, b=63, "h" for "b", the dot
// before or after the octave, and RTX's extra settings (l, s) accepted and ignored.
#include "exchange/Exchange.h"

#include <QCoreApplication>

#include <array>
#include <cctype>

namespace tinkla::exchange
{
namespace
{

struct Rtttl {
    Q_DECLARE_TR_FUNCTIONS(Rtttl)
};

// Semitone above C of a note letter; -1 for a pause, -2 for no note letter.
int LetterSemitone(char c)
{
    switch (c) {
    case 'c':
        return 0;
    case 'd':
        return 2;
    case 'e':
        return 4;
    case 'f':
        return 5;
    case 'g':
        return 7;
    case 'a':
        return 9;
    case 'b':
    case 'h':
        return 11;
    case 'p':
        return -1;
    default:
        return -2;
    }
}

// Duration code of an RTTTL length (1, 2, 4, 8, 16), else -1.
int DurationOf(int length)
{
    for (int code = 0; code < kDurationCount; ++code)
        if (length == (1 << code))
            return code;
    return -1;
}

class Reader
{
public:
    Reader(const QByteArray& text, QString* error) : m_text(text), m_error(error) {}

    bool Fail(qsizetype at, const QString& what)
    {
        *m_error = Rtttl::tr("RTTTL, позиция %1: %2").arg(at + 1).arg(what);
        return false;
    }
    char Peek() const
    {
        return m_pos < m_text.size()
                   ? static_cast<char>(std::tolower(static_cast<unsigned char>(m_text[m_pos])))
                   : '\0';
    }
    void SkipSpace()
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
    }
    // Digits, at most `limit`; -1 when there are none. Too large a number is an error.
    bool Number(int limit, int* value, bool* present)
    {
        const qsizetype start = m_pos;
        long long n = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            n = n * 10 + (Peek() - '0');
            if (n > limit)
                return Fail(start, Rtttl::tr("слишком большое число"));
            ++m_pos;
        }
        *present = m_pos > start;
        *value = static_cast<int>(n);
        return true;
    }

    bool Read(Imported* out)
    {
        const qsizetype colon = m_text.indexOf(':');
        if (colon < 0)
            return Fail(m_text.size(), Rtttl::tr("нет двоеточия после названия"));
        out->title = DecodeName(m_text.left(colon).trimmed());
        m_pos = colon + 1;
        if (!Settings())
            return false;
        return Notes(out);
    }

private:
    bool Settings()
    {
        for (;;) {
            SkipSpace();
            const char key = Peek();
            if (key == ':') {
                ++m_pos;
                return true;
            }
            const qsizetype at = m_pos;
            if (key != 'd' && key != 'o' && key != 'b' && key != 'l' && key != 's')
                return Fail(at, Rtttl::tr("ожидалась настройка d, o или b"));
            ++m_pos;
            SkipSpace();
            if (Peek() != '=')
                return Fail(m_pos, Rtttl::tr("ожидался знак ="));
            ++m_pos;
            SkipSpace();
            if (key == 'l' || key == 's') { // RTX's loop and style: nothing a doorbell plays
                while (m_pos < m_text.size() && Peek() != ',' && Peek() != ':')
                    ++m_pos;
                if (Peek() == ',')
                    ++m_pos;
                continue;
            }
            int value = 0;
            bool present = false;
            if (!Number(99999, &value, &present))
                return false;
            if (!present)
                return Fail(m_pos, Rtttl::tr("ожидалось число"));
            if (key == 'd') {
                if (value != 32 && DurationOf(value) < 0)
                    return Fail(at, Rtttl::tr("длительность бывает 1, 2, 4, 8, 16 или 32"));
                m_defaultLength = value;
            } else if (key == 'o') {
                if (value > 9)
                    return Fail(at, Rtttl::tr("октава бывает от 0 до 9"));
                m_defaultOctave = value;
            } else {
                if (value == 0)
                    return Fail(at, Rtttl::tr("темп не может быть нулевым"));
                m_bpm = value;
            }
            SkipSpace();
            if (Peek() == ',')
                ++m_pos;
            else if (Peek() != ':')
                return Fail(m_pos, Rtttl::tr("ожидалась запятая или двоеточие"));
        }
    }

    bool Notes(Imported* out)
    {
        out->tempoBpm = m_bpm;
        SkipSpace();
        if (m_pos >= m_text.size())
            return true; // a tune without notes: the caller says there is nothing to import
        for (;;) {
            SkipSpace();
            const qsizetype at = m_pos;
            int length = 0;
            bool present = false;
            if (!Number(99, &length, &present))
                return false;
            if (!present)
                length = m_defaultLength;
            const int semitone = LetterSemitone(Peek());
            if (semitone == -2)
                return Fail(m_pos, Rtttl::tr("ожидалась нота"));
            ++m_pos;
            if (length != 32 && DurationOf(length) < 0)
                return Fail(at, Rtttl::tr("длительность бывает 1, 2, 4, 8, 16 или 32"));
            bool sharp = false;
            if (Peek() == '#') {
                sharp = true;
                ++m_pos;
            }
            bool dot = false;
            if (Peek() == '.') {
                dot = true;
                ++m_pos;
            }
            int octave = m_defaultOctave;
            bool octavePresent = false;
            if (!Number(9, &octave, &octavePresent))
                return false;
            if (!octavePresent)
                octave = m_defaultOctave;
            if (Peek() == '.') {
                dot = true;
                ++m_pos;
            }
            if (semitone == -1) {
                ++out->approx.rests;
            } else {
                out->approx.dots += dot;
                BYTE duration = 4;
                if (length == 32)
                    ++out->approx.shortNotes;
                else
                    duration = static_cast<BYTE>(DurationOf(length));
                out->notes.push_back({12 * (octave + 1) + semitone + (sharp ? 1 : 0), duration});
            }
            SkipSpace();
            if (m_pos >= m_text.size())
                return true;
            if (Peek() != ',')
                return Fail(m_pos, Rtttl::tr("ожидалась запятая"));
            ++m_pos;
            SkipSpace();
            if (m_pos >= m_text.size())
                return true; // a comma after the last note, as some ring-tone sites write
        }
    }

    const QByteArray& m_text;
    QString* m_error;
    qsizetype m_pos = 0;
    int m_defaultLength = 4;
    int m_defaultOctave = 6;
    int m_bpm = 63;
};

constexpr std::array<const char*, 12> kNames = {"c",  "c#", "d",  "d#", "e",  "f",
                                                "f#", "g",  "g#", "a",  "a#", "b"};

// The most frequent value of 0..size-1 (the lowest on a tie).
template <size_t N> int MostFrequent(const std::array<int, N>& counts)
{
    int best = 0;
    for (size_t i = 1; i < N; ++i)
        if (counts[i] > counts[best])
            best = static_cast<int>(i);
    return best;
}

} // namespace

bool ReadRtttl(const QByteArray& text, Imported* out, QString* error)
{
    Imported result;
    Reader reader(text, error);
    if (!reader.Read(&result))
        return false;
    *out = std::move(result);
    return true;
}

QByteArray WriteRtttl(const QString& title, const std::vector<BYTE>& codes)
{
    // The defaults are the commonest length and octave, so most notes are a letter or two.
    std::array<int, kDurationCount> lengths{};
    std::array<int, 10> octaves{};
    for (BYTE code : codes) {
        const CNote note(code);
        ++lengths[note.GetDuration() % kDurationCount];
        ++octaves[(note.GetTone() + kLowestPitch) / 12 - 1];
    }
    // A melody without notes still gets the usual defaults.
    const int d = codes.empty() ? 2 : MostFrequent(lengths);
    const int o = codes.empty() ? 5 : MostFrequent(octaves);

    QString name;
    for (QChar c : title)
        if (c != QLatin1Char(':') && c != QLatin1Char(',') && c.isPrint())
            name += c;
    QByteArray text = name.trimmed().toUtf8();
    text += ":d=" + QByteArray::number(1 << d) + ",o=" + QByteArray::number(o) +
            ",b=" + QByteArray::number(kExportBpm) + ":";
    bool first = true;
    for (BYTE code : codes) {
        const CNote note(code);
        const int pitch = note.GetTone() + kLowestPitch;
        if (!first)
            text += ',';
        first = false;
        if (note.GetDuration() != d)
            text += QByteArray::number(1 << note.GetDuration());
        text += kNames[pitch % 12];
        if (pitch / 12 - 1 != o)
            text += QByteArray::number(pitch / 12 - 1);
    }
    text += '\n';
    return text;
}

} // namespace tinkla::exchange
