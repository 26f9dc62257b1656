// Bringing a melody of any pitches into the doorbell's 32 semitones, and what the import says.
#include "exchange/Exchange.h"

#include <QCoreApplication>

#include "platform/Cp1251.h"

#include <QStringDecoder>
#include <QStringList>
#include <cstdlib>

namespace tinkla::exchange
{
namespace
{

struct FitReport {
    Q_DECLARE_TR_FUNCTIONS(FitReport)
};

bool InRange(int pitch)
{
    return pitch >= kLowestPitch && pitch <= kHighestPitch;
}

// The pitch moved by whole octaves into range (the range spans more than an octave, so one fits).
int Fold(int pitch)
{
    if (pitch < kLowestPitch)
        pitch += (kLowestPitch - pitch + 11) / 12 * 12;
    else if (pitch > kHighestPitch)
        pitch -= (pitch - kHighestPitch + 11) / 12 * 12;
    return pitch;
}

} // namespace

FitResult FitNotes(const std::vector<ImportedNote>& notes, bool fitOctaves, int semitones,
                   int maxNotes)
{
    FitResult fit;
    const size_t kept = std::min(notes.size(), static_cast<size_t>(std::max(maxNotes, 0)));
    fit.dropped = static_cast<int>(notes.size() - kept);
    if (fitOctaves) {
        // MIDI pitches span 0..127 (RTTTL's octaves 0..9 a little more): ±11 octaves reach all.
        int best = -1;
        for (int step = 0; step <= 11; ++step) {
            for (int sign : {1, -1}) {
                if (step == 0 && sign < 0)
                    continue;
                int count = 0;
                for (size_t i = 0; i < kept; ++i)
                    count += InRange(notes[i].pitch + sign * step * 12);
                if (count > best) {
                    best = count;
                    fit.shift = sign * step * 12;
                }
            }
        }
    } else {
        fit.shift = semitones;
    }
    fit.codes.reserve(kept);
    for (size_t i = 0; i < kept; ++i) {
        const int moved = notes[i].pitch + fit.shift;
        const int pitch = Fold(moved);
        fit.folded += pitch != moved;
        fit.codes.push_back(static_cast<BYTE>((pitch - kLowestPitch) * 8 + notes[i].duration));
    }
    return fit;
}

bool TransposeCodes(std::vector<BYTE>* codes, int semitones, bool fold, int* folded)
{
    std::vector<BYTE> result;
    result.reserve(codes->size());
    int moved = 0;
    for (BYTE code : *codes) {
        const CNote note(code);
        const int target = note.GetTone() + kLowestPitch + semitones;
        if (!InRange(target) && !fold)
            return false;
        const int pitch = Fold(target);
        moved += pitch != target;
        result.push_back(static_cast<BYTE>((pitch - kLowestPitch) * 8 + note.GetDuration()));
    }
    *codes = std::move(result);
    if (folded)
        *folded = moved;
    return true;
}

QString ImportReport(const Imported& imported, const FitResult& fit, int maxNotes)
{
    QStringList lines;
    lines << FitReport::tr("Импортировано нот: %1.").arg(fit.codes.size());
    if (fit.shift == 0)
        lines << FitReport::tr("Без транспонирования.");
    else
        lines << FitReport::tr("Транспонировано на %1%2 полутонов.")
                     .arg(fit.shift > 0 ? QStringLiteral("+") : QString())
                     .arg(fit.shift);
    const auto add = [&](int count, const QString& text) {
        if (count > 0)
            lines << text.arg(count);
    };
    add(fit.folded, FitReport::tr("Перенесены на октаву, чтобы попасть в диапазон: %1."));
    add(imported.approx.dots, FitReport::tr("Точки отброшены: %1."));
    add(imported.approx.shortNotes, FitReport::tr("Ноты короче 1/16 стали шестнадцатыми: %1."));
    add(imported.approx.rests, FitReport::tr("Паузы пропущены: %1."));
    add(imported.approx.chords, FitReport::tr("Аккорды сведены к верхней ноте: %1."));
    add(imported.approx.lengths, FitReport::tr("Длительности округлены до ближайшей: %1."));
    if (fit.dropped > 0)
        lines << FitReport::tr("Мелодия длиннее %1 нот: оставлены первые %1, отброшено %2.")
                     .arg(maxNotes)
                     .arg(fit.dropped);
    if (imported.tempoBpm > 0)
        lines << FitReport::tr("Темп файла: %1 четвертей в минуту (звонок играет в своём темпе).")
                     .arg(imported.tempoBpm);
    return lines.join(QLatin1Char('\n'));
}

QByteArray TitleBytes(const QString& title)
{
    QByteArray bytes;
    for (QChar c : title.simplified()) {
        if (bytes.size() >= kTitleChars)
            break;
        QByteArray one;
        if (UnicodeToCp1251(QString(c), &one) && c.isPrint())
            bytes += one;
    }
    return bytes;
}

QString DecodeName(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1251ToUnicode(bytes);
}

} // namespace tinkla::exchange
