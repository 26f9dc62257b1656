// Standard MIDI Files, formats 0 and 1, read and written by the program itself: the melody needs
// only the note events, a track name and a tempo, and a reader of our own can bound every length
// against the bytes that remain (the distribution's SMF libraries abort or trust the file).
#include "exchange/Exchange.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tinkla::exchange
{
namespace
{

struct Midi {
    Q_DECLARE_TR_FUNCTIONS(Midi)
};

constexpr int kPercussionChannel = 9; // channel 10: drums, never a melody

struct Sounded {
    int64_t start;
    int64_t end;
    int pitch;
};

struct Track {
    QString name;
    std::vector<Sounded> notes;
};

class Reader
{
public:
    Reader(const QByteArray& bytes, QString* error)
        : m_data(reinterpret_cast<const uint8_t*>(bytes.constData())), m_size(bytes.size()),
          m_error(error)
    {
    }

    bool Fail(qsizetype at, const QString& what)
    {
        *m_error = Midi::tr("MIDI, байт %1: %2").arg(at).arg(what);
        return false;
    }

    bool Header(int* format, int* division)
    {
        if (m_size < 14 || std::memcmp(m_data, "MThd", 4) != 0)
            return Fail(0, Midi::tr("это не файл MIDI (нет заголовка MThd)"));
        const uint32_t length = U32(4);
        if (length < 6 || length > static_cast<uint64_t>(m_size - 8))
            return Fail(4, Midi::tr("неверная длина заголовка"));
        *format = U16(8);
        if (*format > 1)
            return Fail(8, Midi::tr("поддерживаются форматы 0 и 1"));
        const int div = U16(12);
        if (div & 0x8000)
            return Fail(12, Midi::tr("время в кадрах SMPTE не поддерживается"));
        if (div == 0)
            return Fail(12, Midi::tr("нулевое деление четверти"));
        *division = div;
        m_pos = 8 + static_cast<qsizetype>(length);
        return true;
    }

    // The next MTrk chunk into *track (others are skipped); false at the end or on an error
    // (*error set then).
    bool NextTrack(Track* track, bool* done)
    {
        for (;;) {
            if (m_pos == m_size) {
                *done = true;
                return true;
            }
            if (m_size - m_pos < 8)
                return Fail(m_pos, Midi::tr("блок обрывается"));
            const uint32_t length = U32(m_pos + 4);
            if (length > static_cast<uint64_t>(m_size - m_pos - 8))
                return Fail(m_pos + 4, Midi::tr("блок длиннее файла"));
            const bool isTrack = std::memcmp(m_data + m_pos, "MTrk", 4) == 0;
            const qsizetype body = m_pos + 8;
            m_pos = body + static_cast<qsizetype>(length);
            if (isTrack)
                return Events(body, m_pos, track);
        }
    }

    int tempoBpm = 0;

private:
    uint32_t U32(qsizetype at) const
    {
        return (uint32_t(m_data[at]) << 24) | (uint32_t(m_data[at + 1]) << 16) |
               (uint32_t(m_data[at + 2]) << 8) | m_data[at + 3];
    }
    int U16(qsizetype at) const { return (m_data[at] << 8) | m_data[at + 1]; }

    // A variable-length quantity of at most 4 bytes, inside [*at, end).
    bool Vlq(qsizetype* at, qsizetype end, uint32_t* value)
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            if (*at >= end)
                return Fail(*at, Midi::tr("число обрывается в конце дорожки"));
            const uint8_t b = m_data[(*at)++];
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                *value = v;
                return true;
            }
        }
        return Fail(*at - 4, Midi::tr("число длиннее четырёх байт"));
    }

    bool Events(qsizetype at, qsizetype end, Track* track)
    {
        auto& on = m_on;
        const auto stop = [&](int channel, int pitch, int64_t tick) {
            if (on[channel][pitch] >= 0)
                track->notes.push_back({on[channel][pitch], tick, pitch});
            on[channel][pitch] = -1;
        };
        int64_t tick = 0;
        uint8_t running = 0;
        while (at < end) {
            uint32_t delta = 0;
            if (!Vlq(&at, end, &delta))
                return false;
            tick += delta;
            if (at >= end)
                return Fail(at, Midi::tr("событие обрывается в конце дорожки"));
            uint8_t status = m_data[at];
            if (status & 0x80) {
                ++at;
            } else if (running) {
                status = running;
            } else {
                return Fail(at, Midi::tr("данные без байта состояния"));
            }
            if (status == 0xFF || status == 0xF0 || status == 0xF7) {
                running = 0;
                int type = -1;
                if (status == 0xFF) {
                    if (at >= end)
                        return Fail(at, Midi::tr("событие обрывается в конце дорожки"));
                    type = m_data[at++];
                }
                uint32_t length = 0;
                if (!Vlq(&at, end, &length))
                    return false;
                if (length > static_cast<uint64_t>(end - at))
                    return Fail(at, Midi::tr("событие длиннее дорожки"));
                const qsizetype data = at;
                at += static_cast<qsizetype>(length);
                if (type == 0x03 && track->name.isEmpty())
                    track->name =
                        DecodeName(QByteArray(reinterpret_cast<const char*>(m_data + data),
                                              static_cast<qsizetype>(length)));
                else if (type == 0x51 && length == 3 && tempoBpm == 0) {
                    const uint32_t us = (uint32_t(m_data[data]) << 16) |
                                        (uint32_t(m_data[data + 1]) << 8) | m_data[data + 2];
                    if (us != 0)
                        tempoBpm = static_cast<int>(std::lround(60000000.0 / us));
                } else if (type == 0x2F) {
                    break;
                }
                continue;
            }
            if (status >= 0xF0)
                return Fail(at - 1, Midi::tr("неизвестное событие"));
            running = status;
            const int size = (status & 0xE0) == 0xC0 ? 1 : 2;
            if (end - at < size)
                return Fail(at, Midi::tr("событие обрывается в конце дорожки"));
            const int channel = status & 0x0F;
            const int pitch = m_data[at] & 0x7F;
            const int velocity = size == 2 ? m_data[at + 1] & 0x7F : 0;
            at += size;
            if (channel == kPercussionChannel)
                continue;
            const int kind = status & 0xF0;
            if (kind == 0x90 && velocity > 0) {
                stop(channel, pitch, tick); // struck again: the old one ends here
                on[channel][pitch] = tick;
                m_struck.push_back(channel * 128 + pitch);
            } else if (kind == 0x80 || kind == 0x90) {
                stop(channel, pitch, tick);
            }
        }
        // Notes still sounding end with the track; only the struck ones are visited, so a file of
        // many empty tracks costs no more than its bytes.
        for (int key : m_struck)
            stop(key / 128, key % 128, tick);
        m_struck.clear();
        return true;
    }

    const uint8_t* m_data;
    qsizetype m_size;
    QString* m_error;
    qsizetype m_pos = 0;
    // The tick each sounding note began at, by channel and pitch; -1 when silent.
    std::array<std::array<int64_t, 128>, 16> m_on = MakeSilent();
    std::vector<int> m_struck; // channel × 128 + pitch of every note-on of the current track

    static std::array<std::array<int64_t, 128>, 16> MakeSilent()
    {
        std::array<std::array<int64_t, 128>, 16> on;
        for (auto& ch : on)
            ch.fill(-1);
        return on;
    }
};

// Duration code nearest on a log scale to `ticks` at `division` ticks a quarter; *exact is
// false when the length was not one of the five.
BYTE NearestDuration(int64_t ticks, int division, bool* exact)
{
    const double quarters = static_cast<double>(ticks) / division;
    const double code = 2.0 - std::log2(std::max(quarters, 1e-9));
    const long rounded = std::clamp(std::lround(code), 0L, long(kDurationCount - 1));
    *exact = ticks * (1 << rounded) == int64_t(division) * 4;
    return static_cast<BYTE>(rounded);
}

void Reduce(Track& track, int division, Imported* out)
{
    auto& notes = track.notes;
    // By start, the highest first: a chord's first entry is the note kept.
    std::sort(notes.begin(), notes.end(), [](const Sounded& a, const Sounded& b) {
        return a.start != b.start ? a.start < b.start : a.pitch > b.pitch;
    });
    const int64_t restTicks = std::max(1, division / 8); // a 1/32 of silence or more is a rest
    int64_t lastEnd = -1;
    for (size_t i = 0; i < notes.size();) {
        size_t next = i + 1;
        while (next < notes.size() && notes[next].start == notes[i].start)
            ++next;
        if (next - i > 1)
            ++out->approx.chords;
        int64_t end = notes[i].end;
        if (next < notes.size())
            end = std::min(end, notes[next].start); // overlapping notes play one after another
        if (lastEnd >= 0 && notes[i].start - lastEnd >= restTicks)
            ++out->approx.rests;
        bool exact = true;
        const BYTE duration =
            NearestDuration(std::max<int64_t>(end - notes[i].start, 1), division, &exact);
        if (!exact)
            ++out->approx.lengths;
        out->notes.push_back({notes[i].pitch, duration});
        lastEnd = end;
        i = next;
    }
}

void PutU32(QByteArray* out, uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out->append(static_cast<char>((v >> shift) & 0xFF));
}

void PutVlq(QByteArray* out, uint32_t v)
{
    char bytes[5];
    int n = 0;
    bytes[n++] = static_cast<char>(v & 0x7F);
    while (v >>= 7)
        bytes[n++] = static_cast<char>(0x80 | (v & 0x7F));
    while (n > 0)
        out->append(bytes[--n]);
}

} // namespace

bool ReadMidi(const QByteArray& bytes, int track, Imported* out, QString* error)
{
    Reader reader(bytes, error);
    int format = 0;
    int division = 0;
    if (!reader.Header(&format, &division))
        return false;
    Track chosen;
    QString firstName; // a format 1 file names its piece in the first (tempo) track
    bool found = false;
    for (int number = 1;; ++number) {
        Track t;
        bool done = false;
        if (!reader.NextTrack(&t, &done))
            return false;
        if (done)
            break;
        if (number == 1)
            firstName = t.name;
        if (!found && (track == number || (track == 0 && !t.notes.empty()))) {
            chosen = std::move(t);
            found = true;
        }
    }
    if (!found) {
        *error = track == 0 ? Midi::tr("в файле MIDI нет нот")
                            : Midi::tr("в файле MIDI нет дорожки %1").arg(track);
        return false;
    }
    Imported result;
    result.title = chosen.name.isEmpty() ? firstName : chosen.name;
    result.tempoBpm = reader.tempoBpm;
    Reduce(chosen, division, &result);
    *out = std::move(result);
    return true;
}

QByteArray WriteMidi(const QString& title, const std::vector<BYTE>& codes)
{
    QByteArray track;
    const QByteArray name = title.left(kTitleChars * 2).toUtf8(); // whole characters only
    track.append('\0');
    track.append("\xFF\x03", 2);
    PutVlq(&track, static_cast<uint32_t>(name.size()));
    track.append(name);
    const uint32_t us = 60000000 / kExportBpm;
    track.append("\x00\xFF\x51\x03", 4);
    track.append(static_cast<char>(us >> 16));
    track.append(static_cast<char>(us >> 8));
    track.append(static_cast<char>(us));
    track.append("\x00\xC0\x50", 3); // program 81, Lead 1 (square): the doorbell's own sound
    for (BYTE code : codes) {
        const CNote note(code);
        const int pitch = note.GetTone() + kLowestPitch;
        track.append('\0');
        track.append(static_cast<char>(0x90));
        track.append(static_cast<char>(pitch));
        track.append(static_cast<char>(100));
        PutVlq(&track, static_cast<uint32_t>(kMidiDivision * 4 >> (note.GetDuration() % 5)));
        track.append(static_cast<char>(0x80));
        track.append(static_cast<char>(pitch));
        track.append('\0');
    }
    track.append("\x00\xFF\x2F\x00", 4);

    QByteArray file("MThd", 4);
    PutU32(&file, 6);
    file.append("\x00\x00\x00\x01", 4); // format 0, one track
    file.append(static_cast<char>(kMidiDivision >> 8));
    file.append(static_cast<char>(kMidiDivision & 0xFF));
    file.append("MTrk", 4);
    PutU32(&file, static_cast<uint32_t>(track.size()));
    file.append(track);
    return file;
}

} // namespace tinkla::exchange
