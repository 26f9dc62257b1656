#include "platform/Settings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace tinkla {
namespace {
QSettings Store()
{
    return QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla"));
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

QString SettingPort()
{
    return Clean(Store().value(QStringLiteral("Doorbell/Port")).toString(), QStringLiteral("sim"));
}

void SetSettingPort(const QString& port)
{
    Store().setValue(QStringLiteral("Doorbell/Port"), port);
}

QString SettingSpeaker()
{
    return Clean(Store().value(QStringLiteral("Sound/Speaker")).toString(),
                 QStringLiteral("audio"));
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
        const QString f = Clean(s.value(QStringLiteral("Recent File List/File%1").arg(i)).toString(),
                                QString());
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
