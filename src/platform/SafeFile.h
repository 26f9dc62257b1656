#pragma once
// The one way the program reads and writes whole files: the editor's sets and melodies, every
// output of tinkla-cli, and the simulated doorbell's memory.
//
//  - a read never blocks: a folder, a device or a FIFO is refused before it is opened, and the
//    open itself does not wait for a writer;
//  - a save never replaces anything but a regular file, and never lies: the bytes go into a file
//    beside the target, every write, the flush and the sync are checked, and only then is it
//    renamed over the target. On any failure the old file stays byte for byte.
//
// Reasons come back in the program's language, ready to follow "Не удалось …: ".
#include <QByteArray>
#include <QString>

namespace tinkla
{

// The reason for a system error number, in the program's language ("нет такого файла").
// writing: EACCES and EPERM read "нет прав на запись", else "нет прав на чтение".
QString SystemErrorText(int err, bool writing);

// The name of the group that owns path (a device node), for telling the user which group to
// join; fallback when it cannot be read or is root's (joining root's group is never the fix).
QString OwningGroup(const QString& path, const QString& fallback);

// Why path may not be written over: it exists and is a folder, a device or a FIFO. Empty when
// it does not exist or is a regular file. For outputs written as a stream (a trace, a recording).
QString NotAnOutputFile(const QString& path);

// Up to maxBytes + 1 bytes of the regular file at path (so that the caller can tell a file that
// is too long). On failure returns empty with *error set; *missing (if given) tells a file that
// does not exist from other failures.
QByteArray ReadRegularFile(const QString& path, qint64 maxBytes, QString* error,
                           bool* missing = nullptr);

// Writes bytes as the whole content of path, as described above. False with *error set.
bool SaveFileSafely(const QString& path, const QByteArray& bytes, QString* error);

} // namespace tinkla
