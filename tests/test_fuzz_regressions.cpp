// Inputs the fuzz targets found harmful, kept so that they stay harmless.
#include "devices/PortSpec.h"
#include "devices/SoundSink.h"
#include "platform/Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tinkla;

namespace
{

// A settings file of the test's own: ctest runs tests side by side, and others use the shared one.
class SettingsFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString shared =
            QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).fileName();
        m_sharedBase = QFileInfo(QFileInfo(shared).absolutePath()).absolutePath();
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_path = QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).fileName();
        ASSERT_TRUE(m_path.startsWith(m_dir.path()));
    }
    void TearDown() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_sharedBase);
    }
    void Write(const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(m_path).absolutePath());
        QFile file(m_path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QTemporaryDir m_dir;
    QString m_path;

private:
    QString m_sharedBase;
};

struct DamagedValue {
    const char* name;
    QByteArray line; // the Port line of the file
};

void PrintTo(const DamagedValue& v, std::ostream* os)
{
    *os << v.name;
}

class StreamedObjectInSettings : public SettingsFile,
                                 public ::testing::WithParamInterface<DamagedValue>
{
};

// QSettings decodes a value "@Variant(...)" through QDataStream and believes the element count
// inside: this one (from the settings fuzz target) asks for a list of 1.5 billion variants,
// 49 GB, and only the allocator stood between it and the program. However the prefix is spelled,
// the line is gone before QSettings parses it, the setting falls back, and the rest stays.
TEST_P(StreamedObjectInSettings, IsDroppedBeforeQSettingsDecodesIt)
{
    const QByteArray stream =
        QByteArrayLiteral("(\\0\\0\\0\\x7f\\0\\0\\0\\x12QVariantList\\0@Byte[rray(/x.fml)");
    QByteArray line = GetParam().line;
    line.replace("(…)", stream);
    Write("[Doorbell]\n" + line +
          "\n[Recent%20File%20List]\nFile1=/home/a.fml\n"
          "File2=@Variant" +
          stream + "\n[Sound]\nSpeaker=none\n");

    EXPECT_EQ(SettingPort(), QStringLiteral("sim"));
    EXPECT_EQ(SettingRecentFiles(), QStringList{QStringLiteral("/home/a.fml")});
    EXPECT_EQ(SettingSpeaker(), QStringLiteral("none"));
    QSettings s = OpenSettings();
    EXPECT_FALSE(s.contains(QStringLiteral("Doorbell/Port")));
    EXPECT_FALSE(s.contains(QStringLiteral("Recent File List/File2")));
    EXPECT_TRUE(s.contains(QStringLiteral("Recent File List/File1")));
}

INSTANTIATE_TEST_SUITE_P(Fuzz, StreamedObjectInSettings,
                         ::testing::Values(DamagedValue{"Plain", "Port=@Variant(…)"},
                                           DamagedValue{"Quoted", "Port=\"@Var\"iant(…)"},
                                           DamagedValue{"InAList", "Port=sim, @Variant(…)"},
                                           DamagedValue{"HexAt", "Port=\\x40Variant(…)"},
                                           DamagedValue{"WideHexAt", "Port=\\x10040Variant(…)"},
                                           DamagedValue{"OctalAt", "Port=\\100Variant(…)"},
                                           DamagedValue{"SkippedEscape", "Port=@V\\qariant(…)"},
                                           DamagedValue{"EmptyHexEscape", "Port=@\\xVariant(…)"},
                                           DamagedValue{"JoinedLine", "Port=@Vari\\\nant(…)"},
                                           DamagedValue{"JoinedCrLfLine",
                                                        "Port=@Vari\\\r\nant(…)"}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the program writes itself (a value beginning with '@', an escaped backslash, Cyrillic,
// the window's binary state) survives untouched.
TEST_F(SettingsFile, OwnValuesWithAtSignsAndCyrillicSurvive)
{
    Write(QByteArray());
    const QString port = QStringLiteral("@Variant(sim)");
    const QStringList files{QStringLiteral("/дом/Набор.fml"), QStringLiteral("/a\\x40b.fml")};
    SetSettingPort(port);
    SetSettingRecentFiles(files);
    {
        QSettings s = OpenSettings();
        s.setValue(QStringLiteral("MainWindow/Geometry"), QByteArray("\x01\x02@@V(", 7));
    }
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    EXPECT_EQ(SettingPort(), port);
    EXPECT_EQ(SettingRecentFiles(), files);
    EXPECT_EQ(OpenSettings().value(QStringLiteral("MainWindow/Geometry")).toByteArray(),
              QByteArray("\x01\x02@@V(", 7));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

// The port and sink parsers take what the settings hand them; a value the settings layer lets
// through is parsed or refused with a reason.
TEST(SettingsValues, ReachTheParsersAsTextOnly)
{
    PortSpec port;
    SinkSpec sink;
    QString error;
    EXPECT_FALSE(ParsePortSpec(QStringLiteral("@Variant(sim)"), &port, &error));
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    EXPECT_FALSE(ParseSinkSpec(QStringLiteral("@Variant(none)"), &sink, &error));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
