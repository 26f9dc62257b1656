#include "bell/DoorbellImage.h"

#include "bell/BellMessages.h"
#include "document/TinklaDoc.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace tinkla
{

bool BuildDoorbellImage(const CTinklaDoc& doc, DoorbellImage* image)
{
    const unsigned melodies = doc.GetMelodyCount();
    const unsigned notes = doc.GetNotesPerMelody();
    if (FormatIndex(melodies, notes) < 0)
        return false;
    image->fill(kFillerByte);
    unsigned offset = 0;
    for (unsigned k = 0; k < melodies; ++k, offset += notes + 1) {
        const CMelody* melody = doc.GetMelody(k);
        const unsigned count =
            melody ? std::min<unsigned>(static_cast<unsigned>(melody->GetNoteCount()), notes) : 0;
        for (unsigned j = 0; j < count; ++j)
            (*image)[offset + j] = melody->GetNoteCode(static_cast<int>(j));
        (*image)[offset + count] = kEndByte;
    }
    return true;
}

const char* ApplyDoorbellImage(CTinklaDoc& doc, unsigned nMelodies, unsigned nNotes,
                               const DoorbellImage& image)
{
    if (FormatIndex(nMelodies, nNotes) < 0)
        return kMsgBellContents;
    const DecodedImage decoded = DecodeDoorbellImage(image, nMelodies, nNotes);
    doc.ReplaceSet(nMelodies, nNotes, decoded.melodies);
    return decoded.bad ? kMsgBellContents : nullptr;
}

namespace
{

struct DoorbellDifferences {
    Q_DECLARE_TR_FUNCTIONS(DoorbellDifferences)
};

QString FormatText(unsigned melodies, unsigned notes)
{
    const int index = FormatIndex(melodies, notes);
    return index >= 0 ? SetFormatLabel(index)
                      : DoorbellDifferences::tr("%1 м. x %2 н.").arg(melodies).arg(notes);
}

// "Ля 1/4"; with the octave when that is all that tells two notes apart.
QString NoteText(BYTE code, bool withOctave)
{
    const CNote note(code);
    const QString pitch = withOctave ? ToneName(note.GetTone()) : PitchName(note.GetTone());
    return pitch + QLatin1Char(' ') + QString::fromUtf8(g_szDurationShort[note.GetDuration()]);
}

QString ByteText(BYTE b)
{
    return QStringLiteral("0x%1").arg(b, 2, 16, QLatin1Char('0'));
}

} // namespace

QStringList DescribeImageDifferences(unsigned nMelodies, unsigned nNotes,
                                     const DoorbellImage& expected, unsigned nReadMelodies,
                                     unsigned nReadNotes, const DoorbellImage& read, int maxLines)
{
    QStringList lines;
    int more = 0;
    auto add = [&](const QString& line) {
        if (lines.size() < maxLines)
            lines << line;
        else
            ++more;
    };
    if (nMelodies != nReadMelodies || nNotes != nReadNotes) {
        const QString inBell = nReadMelodies == 0
                                   ? DoorbellDifferences::tr("испорченный байт формата")
                                   : FormatText(nReadMelodies, nReadNotes);
        lines << DoorbellDifferences::tr("формат: в звонке %1, в наборе %2")
                     .arg(inBell, FormatText(nMelodies, nNotes));
        return lines;
    }
    const DecodedImage want = DecodeDoorbellImage(expected, nMelodies, nNotes);
    const DecodedImage got = DecodeDoorbellImage(read, nMelodies, nNotes);
    bool notesDiffer = false;
    for (unsigned k = 0; k < want.melodies.size() && k < got.melodies.size(); ++k) {
        const std::vector<BYTE>& w = want.melodies[k];
        const std::vector<BYTE>& g = got.melodies[k];
        const bool broken = got.bad && got.badMelody == k;
        const size_t count = std::max(w.size(), broken ? size_t(got.badNote) + 1 : g.size());
        for (size_t j = 0; j < count; ++j) {
            QString inBell;
            QString inSet = j < w.size() ? QString() : DoorbellDifferences::tr("нет ноты");
            if (broken && j == got.badNote)
                inBell = DoorbellDifferences::tr("испорченный байт %1")
                             .arg(ByteText(read[k * (nNotes + 1) + j]));
            else if (j >= g.size())
                inBell = DoorbellDifferences::tr("нет ноты");
            else if (j < w.size() && g[j] == w[j])
                continue;
            if (inBell.isEmpty() || inSet.isEmpty()) {
                const BYTE a = j < g.size() ? g[j] : 0;
                const BYTE b = j < w.size() ? w[j] : 0;
                const bool octave =
                    j < g.size() && j < w.size() && NoteText(a, false) == NoteText(b, false);
                if (inBell.isEmpty())
                    inBell = NoteText(a, octave);
                if (inSet.isEmpty())
                    inSet = NoteText(b, octave);
            }
            notesDiffer = true;
            add(DoorbellDifferences::tr("мелодия %1, нота %2: в звонке %3, в наборе %4")
                    .arg(k + 1)
                    .arg(j + 1)
                    .arg(inBell, inSet));
        }
        if (broken)
            break; // nothing after a bad byte is decoded
    }
    if (!notesDiffer) {
        for (int i = 0; i < static_cast<int>(expected.size()); ++i)
            if (expected[i] != read[i])
                add(DoorbellDifferences::tr("байт %1: в звонке %2, в наборе %3")
                        .arg(i)
                        .arg(ByteText(read[i]), ByteText(expected[i])));
    }
    if (more > 0)
        lines << DoorbellDifferences::tr("... и еще %1").arg(more);
    return lines;
}

} // namespace tinkla
