// The remembered settings are a text file anybody can edit, truncate or fill with garbage.
// Arbitrary bytes go in as the values of every key the program reads (or, now and then, as the
// whole file); reading them back through the settings layer and handing the port and sink values to
// their parsers must never crash or hang, and whatever comes out must be something the program can
// use: a short printable value or the default, a parse or a refusal with a reason, at most four
// distinct recent files. A value the program stores must read back unchanged.
#include "platform/Settings.h"
#include "devices/PortSpec.h"
#include "devices/SoundSink.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{

[[noreturn]] void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}

std::unique_ptr<QTemporaryDir> g_home; // removed at exit
QString g_file;
qint64 g_stamp = 1000000000;

// The keys of platform/Settings.cpp, as they appear in the file.
const char* const kKeys[][2] = {
    {"Doorbell", "Port"},
    {"Sound", "Speaker"},
    {"Recent%20File%20List", "File1"},
    {"Recent%20File%20List", "File2"},
    {"Recent%20File%20List", "File3"},
    {"Recent%20File%20List", "File4"},
};

void WriteFile(const QByteArray& bytes)
{
    QFile f(g_file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        Fail("cannot write the settings file");
    // QSettings keeps a parsed copy and reads the file again only when its size or time changed:
    // give every input a time of its own so that each one is really read.
    f.flush();
    f.setFileTime(QDateTime::fromSecsSinceEpoch(++g_stamp), QFileDevice::FileModificationTime);
}

bool Printable(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() < 0x20)
            return false;
    return true;
}

void CheckValue(const QString& value, const QString& fallback)
{
    if (value != fallback && (value.isEmpty() || value.size() > 4096 || !Printable(value)))
        Fail("a setting came back empty, overlong or with control characters");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
    // Every input rewrites the file and some make QSettings sync it to disk: in memory, where
    // the system has a place for it, that costs nothing.
    const QString shm = QStringLiteral("/dev/shm");
    g_home =
        QFileInfo(shm).isWritable()
            ? std::make_unique<QTemporaryDir>(shm + QStringLiteral("/tinkla-fuzz-settings-XXXXXX"))
            : std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_home->path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(g_home->path()));
    QDir(g_home->path()).mkpath(QStringLiteral("Korvel"));
    g_file = g_home->filePath(QStringLiteral("Korvel/Tinkla.conf"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tinkla;
    FuzzedDataProvider in(data, size);
    QByteArray file;
    // 0: a file damaged beyond its structure; 1: values, then what the program stores read back
    // (each store syncs the file to disk, so only some inputs pay for it); else values only.
    const int mode = in.ConsumeIntegralInRange<int>(0, 7);
    if (mode == 0) {
        const std::string raw = in.ConsumeRemainingBytesAsString();
        file = QByteArray(raw.data(), static_cast<qsizetype>(raw.size()));
    } else {
        const char* group = "";
        for (const auto& key : kKeys) {
            const std::string value = in.ConsumeRandomLengthString(600);
            if (qstrcmp(group, key[0]) != 0) {
                group = key[0];
                file += '[';
                file += group;
                file += "]\n";
            }
            file += key[1];
            file += '=';
            file += QByteArray(value.data(), static_cast<qsizetype>(value.size()));
            file += '\n';
        }
    }
    WriteFile(file);

    const QString port = SettingPort();
    CheckValue(port, QStringLiteral("sim"));
    PortSpec portSpec;
    QString error;
    if (!ParsePortSpec(port, &portSpec, &error) && error.isEmpty())
        Fail("a port value was refused without a reason");

    const QString speaker = SettingSpeaker();
    CheckValue(speaker, QStringLiteral("audio"));
    SinkSpec sinkSpec;
    error.clear();
    if (!ParseSinkSpec(speaker, &sinkSpec, &error) && error.isEmpty())
        Fail("a sound value was refused without a reason");

    const QStringList recent = SettingRecentFiles();
    QStringList distinct = recent;
    if (recent.size() > kRecentFileCount || distinct.removeDuplicates() != 0)
        Fail("more than four recent files, or one twice");
    for (const QString& f : recent)
        CheckValue(f, QString());

    if (mode != 1)
        return 0;
    // What the program stores it must find again: the recent list in order, the port and sink
    // exactly as given.
    SetSettingRecentFiles(recent);
    if (SettingRecentFiles() != recent)
        Fail("the recent files did not read back as stored");
    SetSettingPort(port);
    SetSettingSpeaker(speaker);
    if (SettingPort() != port || SettingSpeaker() != speaker)
        Fail("a stored setting did not read back unchanged");
    return 0;
}
