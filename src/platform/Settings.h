#pragma once
// The remembered choices, in QSettings("Korvel", "Tinkla") (~/.config/Korvel/Tinkla.conf), shared
// by the editor and the command-line tool. A value that does not parse falls back to the default.
#include <QString>
#include <QStringList>

namespace tinkla {

// The parallel-port backend, in the --port grammar; default "sim".
QString SettingPort();
void SetSettingPort(const QString& port);
// The speaker sink, in the --speaker grammar; default "audio".
QString SettingSpeaker();
void SetSettingSpeaker(const QString& sink);
// The recent-file list, most recent first, at most 4 entries.
constexpr int kRecentFileCount = 4;
QStringList SettingRecentFiles();
void SetSettingRecentFiles(const QStringList& files);
// Where the simulated doorbell keeps its memory: $XDG_DATA_HOME/Korvel/Tinkla/doorbell.bin.
QString DefaultDoorbellFile();

} // namespace tinkla
