#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tinkla
{
namespace
{

struct SafeFile {
    Q_DECLARE_TR_FUNCTIONS(SafeFile)
};

// What a path that exists but is no regular file is.
QString KindText(mode_t mode)
{
    if (S_ISDIR(mode))
        return SafeFile::tr("это папка, а не файл");
    if (S_ISFIFO(mode) || S_ISSOCK(mode))
        return SafeFile::tr("это канал, а не файл");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return SafeFile::tr("это устройство, а не файл");
    return SafeFile::tr("это не обычный файл");
}

// Qt's own reason is English: the system's error number decides ours. It is read at once, as
// the next call may change it; 0 when there is none to read.
QString FailureText(int err, bool writing)
{
    if (err != 0)
        return SystemErrorText(err, writing);
    return writing ? SafeFile::tr("ошибка записи") : SafeFile::tr("ошибка чтения");
}

} // namespace

QString SystemErrorText(int err, bool writing)
{
    switch (err) {
    case ENOENT:
        return writing ? SafeFile::tr("нет такой папки") : SafeFile::tr("нет такого файла");
    case ENOTDIR:
        return SafeFile::tr("в пути есть файл вместо папки");
    case EISDIR:
        return SafeFile::tr("это папка, а не файл");
    case EACCES:
    case EPERM:
        return writing ? SafeFile::tr("нет прав на запись") : SafeFile::tr("нет прав на чтение");
    case ENOSPC:
    case EDQUOT:
        return SafeFile::tr("нет места на диске");
    case EFBIG:
        return SafeFile::tr("файл больше, чем разрешено записывать");
    case EROFS:
        return SafeFile::tr("диск только для чтения");
    case EIO:
        return SafeFile::tr("ошибка ввода-вывода");
    case ENAMETOOLONG:
        return SafeFile::tr("слишком длинное имя");
    case ELOOP:
        return SafeFile::tr("ссылки замкнуты в круг");
    case EMFILE:
    case ENFILE:
        return SafeFile::tr("открыто слишком много файлов");
    case ENXIO:
    case ENODEV:
        return SafeFile::tr("нет такого устройства");
    case EBUSY:
        return SafeFile::tr("занято другой программой");
    default:
        return SafeFile::tr("системная ошибка %1").arg(err);
    }
}

QString OwningGroup(const QString& path, const QString& fallback)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_gid == 0)
        return fallback;
    struct group entry = {};
    struct group* found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || !found)
        return fallback;
    return QString::fromLocal8Bit(found->gr_name);
}

QString NotAnOutputFile(const QString& path)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    return KindText(st.st_mode);
}

QByteArray ReadRegularFile(const QString& path, qint64 maxBytes, QString* error, bool* missing)
{
    if (missing)
        *missing = false;
    const QByteArray native = QFile::encodeName(path);
    struct stat st = {};
    if (::stat(native.constData(), &st) != 0) {
        const int err = errno;
        if (missing)
            *missing = err == ENOENT;
        *error = SystemErrorText(err, false);
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        *error = KindText(st.st_mode);
        return {};
    }
    // Without waiting, and checked again once open: the path may have changed meanwhile.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        *error = SystemErrorText(errno, false);
        return {};
    }
    QByteArray bytes;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *error = KindText(st.st_mode);
        ::close(fd);
        return {};
    }
    const qint64 limit = maxBytes + 1;
    bytes.resize(static_cast<qsizetype>(st.st_size < limit ? st.st_size : limit));
    qint64 done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done >= limit)
                break;
            // The file grew after fstat: room for the rest, still bounded.
            bytes.resize(static_cast<qsizetype>(qMin(limit, done + 4096)));
        }
        const ssize_t n = ::read(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = SystemErrorText(errno, false);
            ::close(fd);
            return {};
        }
        if (n == 0)
            break;
        done += n;
    }
    ::close(fd);
    bytes.resize(static_cast<qsizetype>(done));
    return bytes;
}

bool SaveFileSafely(const QString& path, const QByteArray& bytes, QString* error)
{
    if (path.isEmpty()) {
        *error = SafeFile::tr("не указано имя файла");
        return false;
    }
    // A device node or a FIFO would become a regular file at the rename: never replace one.
    if (const QString refusal = NotAnOutputFile(path); !refusal.isEmpty()) {
        *error = refusal;
        return false;
    }
    // Unbuffered: each write reaches the file at once and reports its own failure. A buffered
    // QSaveFile can lose the error of its last flush and commit an empty file on a full disk.
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = FailureText(errno, true);
        return false;
    }
    errno = 0;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        *error = FailureText(errno, true);
        file.cancelWriting(); // the temporary file goes, the target stays as it was
        return false;
    }
    errno = 0;
    if (!file.commit()) {
        *error = FailureText(errno, true);
        return false;
    }
    return true;
}

} // namespace tinkla
