#pragma once
// Small helpers for tests of the set and melody files: a temporary folder, the bytes of records,
// and a folder that the test process really cannot write into (even when it runs as root).
#include "document/TinklaDoc.h"
#include "platform/Archive.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tinkla::test
{

// Parameter rows that carry a name print as it (in the listing and in failures), not as bytes; used
// in the namespace that declares the rows, where argument-dependent lookup finds it.
#define TINKLA_PRINT_ROWS_BY_NAME                                                                  \
    template <class Row>                                                                           \
    requires requires(const Row& r)                                                                \
    {                                                                                              \
        r.name;                                                                                    \
    }                                                                                              \
    [[maybe_unused]] void PrintTo(const Row& row, std::ostream* os)                                \
    {                                                                                              \
        *os << row.name;                                                                           \
    }

// Instance names for parameterised tests: a case's own name, or a set format as "M<melodies>".
struct ByName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& info) const
    {
        return info.param.name;
    }
};
inline std::string FormatName(const ::testing::TestParamInfo<int>& info)
{
    return "M" + std::to_string(kSetFormats[info.param].melodies);
}

// Files a test writes, removed with it.
class TempFiles
{
public:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            return {};
        return f.fileName();
    }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

// A run of tinkla-cli. Given a scratch folder, the run's settings and data live in it, never in
// those of the person running the tests.
struct CliResult {
    int code = -1; // -1: it did not finish, or crashed
    QByteArray out;
    QString err;
};
// fileSizeLimit > 0: no file the run writes can grow beyond that many bytes, as on a full disk.
inline CliResult RunCli(const QStringList& args, const QString& scratch = {},
                        rlim_t fileSizeLimit = 0)
{
    QProcess p;
    if (fileSizeLimit > 0)
        p.setChildProcessModifier([fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    if (!scratch.isEmpty()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), scratch + QStringLiteral("/data"));
        p.setProcessEnvironment(env);
    }
    p.start(QString::fromLocal8Bit(qgetenv("TINKLA_CLI")), args);
    CliResult r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.code = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}
// Settings as tinkla-cli will read them when run with RunCli(.., scratch).
inline bool WriteSettings(const QString& scratch, const QByteArray& text)
{
    QDir().mkpath(scratch + QStringLiteral("/config/Korvel"));
    QFile conf(scratch + QStringLiteral("/config/Korvel/Tinkla.conf"));
    return conf.open(QIODevice::WriteOnly) && conf.write(text) == text.size();
}

inline QByteArray Le32(int32_t v)
{
    Archive out;
    out.WriteI32(v);
    return out.Data();
}

// A melody record as CMelody writes it: rows, title, count, then the given note bytes.
inline QByteArray MelodyRecord(int32_t rows, const QByteArray& title, int32_t count,
                               const QByteArray& notes = {})
{
    Archive out;
    out.WriteI32(rows);
    out.WriteString(title);
    out.WriteI32(count);
    return out.Data() + notes;
}

// count note records (tone, duration), all the same note.
inline QByteArray NoteBytes(int count, char tone = 13, char duration = 2)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(tone).append(duration);
    return b;
}

inline QByteArray StoredSet(CTinklaDoc& doc)
{
    Archive out;
    doc.Serialize(out);
    return out.Data();
}

inline QByteArray StoredMelody(CMelody& melody)
{
    Archive out;
    melody.Serialize(out);
    return out.Data();
}

// While it lives, no file of this process can grow beyond bytes: writes past it fail (EFBIG) as
// on a full disk, instead of raising SIGXFSZ.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = SIG_DFL;
};

// A FIFO nobody writes to: opening it for reading the ordinary way would wait forever.
inline QString MakeFifo(const TempFiles& files, const char* name)
{
    const QString path = files.Path(QString::fromUtf8(name));
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

// While it lives, dir cannot be written into: its mode is r-x, and a test running as root gives up
// the file-system privileges of root (fsuid) that would otherwise ignore the mode. ok() is false
// when that could not be arranged, and the test should skip.
class UnwritableDir
{
public:
    explicit UnwritableDir(const QString& dir) : m_dir(QFile::encodeName(dir))
    {
        ::chmod(m_dir.constData(), 0555);
        if (::geteuid() == 0) {
            // Let the unprivileged user reach the folder, then become that user for file access.
            QDir d(dir);
            while (d.cdUp() && !d.isRoot() && d.path() != QDir::tempPath())
                ::chmod(QFile::encodeName(d.path()).constData(), 0755);
            ::setfsgid(65534);
            ::setfsuid(65534);
            m_dropped = static_cast<uid_t>(::setfsuid(-1)) == 65534;
        }
        m_ok = ::geteuid() == 0 ? m_dropped : ::access(m_dir.constData(), W_OK) != 0;
    }
    ~UnwritableDir()
    {
        if (::geteuid() == 0) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
        ::chmod(m_dir.constData(), 0755);
    }
    UnwritableDir(const UnwritableDir&) = delete;
    UnwritableDir& operator=(const UnwritableDir&) = delete;
    bool ok() const { return m_ok; }

private:
    QByteArray m_dir;
    bool m_dropped = false;
    bool m_ok = false;
};

} // namespace tinkla::test
