#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

namespace tinkla
{
namespace
{

// Whether a line of the settings file, decoded as QSettings decodes it (escapes, quotes, a
// backslash that joins the next line), holds "@Variant(": the start of a binary-streamed object.
// Wider than QSettings' own rule (only at the start of a value or list element), never narrower.
bool MayHoldStreamedObject(const QByteArray& line)
{
    auto digit = [](char d, unsigned base) {
        const unsigned v = d >= '0' && d <= '9'   ? unsigned(d - '0')
                           : d >= 'a' && d <= 'f' ? unsigned(d - 'a' + 10)
                           : d >= 'A' && d <= 'F' ? unsigned(d - 'A' + 10)
                                                  : base;
        return v < base ? int(v) : -1;
    };
    QByteArray text;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"')
            continue; // quotes only group
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i == line.size())
            break;
        const char e = line[i];
        if (QByteArrayView("abfnrtv\"?'\\").contains(e)) {
            text += e; // a character of its own (what it stands for does not matter here)
        } else if (e == 'x' || digit(e, 8) >= 0) {
            // A code, hex or octal, kept in 16 bits as QSettings keeps it; "\x" alone is nothing.
            const unsigned base = e == 'x' ? 16 : 8;
            const bool any = base == 8 || (i + 1 < line.size() && digit(line[i + 1], 16) >= 0);
            unsigned code = base == 8 ? unsigned(digit(e, 8)) : 0;
            for (; i + 1 < line.size() && digit(line[i + 1], base) >= 0; ++i)
                code = (code * base + unsigned(digit(line[i + 1], base))) & 0xFFFF;
            if (any)
                text += code < 0x80 ? char(code) : '?';
        } else if ((e == '\n' || e == '\r') && i + 1 < line.size() &&
                   (line[i + 1] == '\n' || line[i + 1] == '\r') && line[i + 1] != e) {
            ++i; // a joined line ending in a pair: nothing, like any other unknown escape
        }
    }
    const QByteArray prefix = QByteArrayLiteral("@Variant(");
    for (qsizetype at = text.indexOf(prefix); at >= 0; at = text.indexOf(prefix, at + 1))
        if (at == 0 || text[at - 1] != '@')
            return true;
    return false;
}

// QSettings turns a value written as "@Variant(...)" into an object through QDataStream, which
// believes the element counts it finds there: a damaged settings file can make it ask for
// gigabytes. This program stores only text and plain values (QSettings doubles a leading '@'),
// so such lines are not ours: they are dropped from the file before QSettings parses a value,
// and what they held falls back to its default.
void DropStreamedObjects(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    if (!bytes.contains('@') && !bytes.contains('\\'))
        return; // nothing could spell the prefix
    QByteArray kept;
    bool dropped = false;
    for (qsizetype begin = 0; begin < bytes.size();) {
        // One line as QSettings reads it: a backslash takes the next character with it, also a
        // line break (and the other half of a CR LF or LF CR pair).
        qsizetype end = begin;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') {
            if (bytes[end] == '\\' && end + 1 < bytes.size()) {
                ++end;
                if (end + 1 < bytes.size() && (bytes[end] == '\n' || bytes[end] == '\r') &&
                    (bytes[end + 1] == '\n' || bytes[end + 1] == '\r') &&
                    bytes[end + 1] != bytes[end])
                    ++end;
            }
            ++end;
        }
        const qsizetype next = end < bytes.size() ? end + 1 : end;
        const QByteArray line = bytes.mid(begin, next - begin);
        if (MayHoldStreamedObject(line))
            dropped = true;
        else
            kept += line;
        begin = next;
    }
    if (!dropped)
        return;
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly) && out.write(kept) == kept.size())
        out.commit();
}

QSettings Store()
{
    return OpenSettings();
}
// Typed by hand without quotes, a value with commas reads as a list: it is still the text typed.
QString Text(const QSettings& s, const QString& key)
{
    const QVariant v = s.value(key);
    return v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
}

// Settings are text a user can edit by hand: keep what is read short and printable.
QString Clean(const QString& value, const QString& fallback)
{
    if (value.isEmpty() || value.size() > 4096)
        return fallback;
    for (QChar c : value)
        if (c.unicode() < 0x20)
            return fallback;
    return value;
}
} // namespace

QSettings OpenSettings()
{
    // Opening reads the file but parses no value yet; the path is the one QSettings uses.
    DropStreamedObjects(QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).fileName());
    return QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla"));
}

QString SettingPort()
{
    return Clean(Text(Store(), QStringLiteral("Doorbell/Port")), QStringLiteral("sim"));
}

bool IsSettingPortChosen()
{
    return !Text(Store(), QStringLiteral("Doorbell/Port")).trimmed().isEmpty();
}

void SetSettingPort(const QString& port)
{
    Store().setValue(QStringLiteral("Doorbell/Port"), port);
}

bool SettingVerifyWrite()
{
    const QString v = Store().value(QStringLiteral("Doorbell/VerifyWrite")).toString();
    return v != QLatin1String("false") && v != QLatin1String("0");
}

void SetSettingVerifyWrite(bool verify)
{
    Store().setValue(QStringLiteral("Doorbell/VerifyWrite"), verify);
}

QString SettingSpeaker()
{
    return Clean(Text(Store(), QStringLiteral("Sound/Speaker")), QStringLiteral("audio"));
}

void SetSettingSpeaker(const QString& sink)
{
    Store().setValue(QStringLiteral("Sound/Speaker"), sink);
}

QStringList SettingRecentFiles()
{
    QStringList files;
    QSettings s = Store();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString f =
            Clean(Text(s, QStringLiteral("Recent File List/File%1").arg(i)), QString());
        if (!f.isEmpty() && !files.contains(f))
            files << f;
    }
    return files;
}

void SetSettingRecentFiles(const QStringList& files)
{
    QSettings s = Store();
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString key = QStringLiteral("Recent File List/File%1").arg(i);
        if (i <= files.size())
            s.setValue(key, files[i - 1]);
        else
            s.remove(key);
    }
}

QString DefaultDoorbellFile()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Korvel/Tinkla/doorbell.bin");
}

} // namespace tinkla
