#pragma once
// The remembered choices, in QSettings("Korvel", "Tinkla") (~/.config/Korvel/Tinkla.conf), shared
// by the editor and the command-line tool. A value that does not parse falls back to the default.
#include <QSettings>
#include <QString>
#include <QStringList>

namespace tinkla
{

// The parallel-port backend, in the --port grammar; default "sim".
QString SettingPort();
// Whether a port was ever chosen and remembered (else SettingPort() is the default, "sim").
bool IsSettingPortChosen();
void SetSettingPort(const QString& port);
// Whether a write reads the doorbell back and compares; default true.
bool SettingVerifyWrite();
void SetSettingVerifyWrite(bool verify);
// The speaker sink, in the --speaker grammar; default "audio".
QString SettingSpeaker();
void SetSettingSpeaker(const QString& sink);
// The recent-file list, most recent first, at most 4 entries.
constexpr int kRecentFileCount = 4;
QStringList SettingRecentFiles();
void SetSettingRecentFiles(const QStringList& files);
// The settings store, for what else the program remembers there (the main window's state). A
// line of the file that QSettings could decode as a binary-streamed object is dropped first: this
// program writes only text and plain values, and such a stream can make QSettings ask for
// gigabytes.
QSettings OpenSettings();
// Where the simulated doorbell keeps its memory: $XDG_DATA_HOME/Korvel/Tinkla/doorbell.bin.
QString DefaultDoorbellFile();

} // namespace tinkla
