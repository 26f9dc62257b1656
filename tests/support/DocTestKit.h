#pragma once
#include "document/TinklaDoc.h"
#include "platform/Archive.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tinkla::test
{

// Rows with a name print as it, not as bytes; put in the namespace that declares the rows.
#define TINKLA_PRINT_ROWS_BY_NAME                                                                  \
    template <class Row>                                                                           \
    requires std::is_member_object_pointer_v<decltype(&Row::name)>                                 \
    [[maybe_unused]] void PrintTo(const Row& row, std::ostream* os)                                \
    {                                                                                              \
        *os << row.name;                                                                           \
    }

// Instance names for parameterised tests: a case's own name.
struct ByName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& info) const
    {
        return info.param.name;
    }
};

class TempFiles // removed with the test
{
public:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? f.fileName()
                                                                              : QString();
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

// A run of tinkla-cli: given a scratch folder, its settings and data live there; given a
// fileSizeLimit, no file it writes grows past it, as on a full disk.
struct CliResult {
    int code = -1; // -1: it did not finish, or crashed
    QByteArray out;
    QString err;
};
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
    const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
    return {done ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
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
    Archive text;
    text.WriteString(title);
    return Le32(rows) + text.Data() + Le32(count) + notes;
}

// The stored bytes of a new set of m empty melodies of n notes each.
inline QByteArray BlankSet(int m, int n)
{
    return Le32(m) + Le32(n) + MelodyRecord(1, DefaultMelodyTitle(), 0).repeated(m);
}

inline QByteArray NoteBytes(int count, char tone = 13, char duration = 2)
{
    const char record[] = {tone, duration};
    return QByteArray(record, 2).repeated(count);
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

// While it lives, writes past bytes fail (EFBIG, no SIGXFSZ) as on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

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

// While it lives, dir is r-x and a root test gives up root's file access (fsuid), which would
// ignore the mode. ok() is false when that could not be arranged: the test should skip.
class UnwritableDir
{
public:
    explicit UnwritableDir(const QString& dir) : m_dir(QFile::encodeName(dir))
    {
        ::chmod(m_dir.constData(), 0555);
        m_ok = ::access(m_dir.constData(), W_OK) != 0; // root may write anyway
        if (::geteuid() == 0) {
            QDir d(dir);
            while (d.cdUp() && !d.isRoot() && d.path() != QDir::tempPath())
                ::chmod(QFile::encodeName(d.path()).constData(), 0755);
            ::setfsgid(65534);
            ::setfsuid(65534);
            m_ok = static_cast<uid_t>(::setfsuid(-1)) == 65534;
        }
    }
    ~UnwritableDir()
    {
        ::setfsuid(0); // refused, and harmless, when the test never was root
        ::setfsgid(0);
        ::chmod(m_dir.constData(), 0755);
    }
    bool ok() const { return m_ok; }

private:
    QByteArray m_dir;
    bool m_ok = false;
};

} // namespace tinkla::test
