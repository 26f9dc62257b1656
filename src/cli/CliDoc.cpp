#include "cli/CliDoc.h"

#include <QRegularExpression>

namespace tinkla::cli
{

CliDoc::CliDoc() : m_doc(&m_prompter)
{
    m_doc.OnNewDocument();
}

bool CliDoc::Open(const QString& path)
{
    return m_doc.OnOpenDocument(path);
}

bool CliDoc::Save(const QString& path)
{
    const QString target = path.isEmpty() ? m_doc.GetPathName() : path;
    if (target.isEmpty()) {
        Err(QStringLiteral("tinkla-cli: no file to save the set to"));
        return false;
    }
    return m_doc.OnSaveDocument(target);
}

int CliDoc::ResolveMelody(const QString& text, unsigned* number, bool makeCurrent)
{
    bool ok = false;
    const unsigned k = text.toUInt(&ok);
    if (!ok) {
        return UsageError(
            QStringLiteral("melody number must be a whole number, not '%1'").arg(text));
    }
    const unsigned count = m_doc.GetMelodyCount();
    if (k < 1 || k > count) {
        Err(QStringLiteral("tinkla-cli: the set has melodies 1..%1, there is no melody %2")
                .arg(count)
                .arg(k));
        return kExitFailed;
    }
    if (makeCurrent)
        m_doc.SetCurrentNumber(k);
    *number = k;
    return kExitOk;
}

int CliDoc::OpenWithMelody(const QString& path, const QString& k)
{
    if (!Open(path))
        return kExitFailed;
    unsigned number = 0;
    return ResolveMelody(k, &number);
}

int ParseSetFormat(const QString& text)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,3})\\s*[xX×]\\s*(\\d{1,3})\\s*$"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return -1;
    return FormatIndex(m.captured(1).toUInt(), m.captured(2).toUInt());
}

QString SetFormatChoices()
{
    QStringList choices;
    for (const SetFormat& f : kSetFormats)
        choices << QStringLiteral("%1x%2").arg(f.melodies).arg(f.notes);
    return choices.join(QLatin1Char(' '));
}

} // namespace tinkla::cli
