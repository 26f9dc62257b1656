#include "devices/SoundSink.h"

#include <QCoreApplication>

#include "devices/SoundDevices.h"
#include "devices/SoundWav.h"

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SoundSink)
};
} // namespace

QString SinkSpecUsage()
{
    return Text::tr("audio[:УСТРОЙСТВО], pcspkr[:УСТРОЙСТВО], ports, wav:ФАЙЛ или none");
}

bool ParseSinkSpec(const QString& text, SinkSpec* out, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return fail(Text::tr("не указан вывод звука; возможны %1").arg(SinkSpecUsage()));
    if (trimmed.size() > kMaxSinkSpecLength)
        return fail(Text::tr("слишком длинное описание вывода звука (%1 знаков, "
                             "допустимо %2)")
                        .arg(trimmed.size())
                        .arg(kMaxSinkSpecLength));
    // Device names and paths go to system calls; a control character in one is never meant.
    for (const QChar c : trimmed)
        if (c.category() == QChar::Other_Control)
            return fail(Text::tr("в описании вывода звука есть управляющий символ"));

    const qsizetype colon = trimmed.indexOf(QLatin1Char(':'));
    const QString name = (colon < 0 ? trimmed : trimmed.left(colon)).toLower();
    const bool hasArg = colon >= 0;
    const QString arg = hasArg ? trimmed.mid(colon + 1) : QString();

    SinkSpec parsed;
    if (name == QLatin1String("audio"))
        parsed.kind = SinkSpec::Audio;
    else if (name == QLatin1String("pcspkr"))
        parsed.kind = SinkSpec::Pcspkr;
    else if (name == QLatin1String("ports"))
        parsed.kind = SinkSpec::RealPorts;
    else if (name == QLatin1String("wav"))
        parsed.kind = SinkSpec::Wav;
    else if (name == QLatin1String("none"))
        parsed.kind = SinkSpec::None;
    else
        return fail(Text::tr("неизвестный вывод звука «%1»; возможны %2")
                        .arg(trimmed.left(64), SinkSpecUsage()));

    const bool takesArg = parsed.kind == SinkSpec::Audio || parsed.kind == SinkSpec::Pcspkr ||
                          parsed.kind == SinkSpec::Wav;
    if (hasArg && !takesArg)
        return fail(Text::tr("у вывода звука «%1» не бывает параметра").arg(name));
    if (hasArg && arg.isEmpty())
        return fail(Text::tr("после «%1:» нужно %2")
                        .arg(name, parsed.kind == SinkSpec::Audio ? Text::tr("имя устройства ALSA")
                                   : parsed.kind == SinkSpec::Wav ? Text::tr("имя файла")
                                                                  : Text::tr("путь к устройству")));
    if (parsed.kind == SinkSpec::Wav && !hasArg)
        return fail(Text::tr("для вывода в файл нужно имя: wav:ФАЙЛ"));
    parsed.arg = arg;
    if (out)
        *out = parsed;
    return true;
}

std::unique_ptr<SoundSink> CreateSink(const SinkSpec& parsed, QString* error, QString* notice)
{
    QString why;
    std::unique_ptr<SoundSink> sink;
    switch (parsed.kind) {
    case SinkSpec::None:
        return std::make_unique<NullSink>();
    case SinkSpec::Audio:
        sink = AlsaSink::Open(parsed.arg, &why);
        if (!sink) {
            // No sound card is a normal state of many machines: play in silence and say so.
            if (notice)
                *notice = Text::tr("Нет звука: %1. Мелодии играются беззвучно.").arg(why);
            return std::make_unique<NullSink>();
        }
        return sink;
    case SinkSpec::Pcspkr:
        sink = PcspkrSink::Open(parsed.arg, &why);
        break;
    case SinkSpec::RealPorts:
        sink = RealPitSink::Open(&why);
        break;
    case SinkSpec::Wav:
        sink = WavSink::Open(parsed.arg, kDefaultWavRate, &why);
        break;
    }
    if (!sink && error)
        *error = why;
    return sink;
}

} // namespace tinkla
