// "Порт звонка": the PORT text the controls stand for, the check that asks a port whether a
// doorbell answers, and confirming a choice (remembered, connected at once); "Вывод звука", its
// counterpart for the speaker.
#include "devices/Pit.h"
#include "devices/PortSpec.h"
#include "devices/SoundWav.h"
#include "test_speaker_support.h"
#include "ui/CBellPortDlg.h"
#include "ui/CSoundDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/Commands.h"
#include "ui_editor_support.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace tinkla;
using tinkla::test::kRowName;

namespace
{

using tinkla::test::PrintTo;

struct PortText {
    const char* name;
    const char* text;
};

class PortTexts : public ::testing::TestWithParam<PortText>
{
};

TEST_P(PortTexts, ControlsGiveBackTheTextTheyWereSetFrom)
{
    const QString text = QString::fromUtf8(GetParam().text);
    CBellPortDlg dlg(QStringLiteral("sim"), QString());
    dlg.SetPortText(text);
    EXPECT_EQ(dlg.PortText(), text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PortTexts,
    ::testing::Values(PortText{"Sim", "sim"},
                      PortText{"SimPathWithSpace", "sim:/tmp/bell memory.bin"},
                      PortText{"SimPathAndOptions", "sim:/tmp/b.bin,absent,twr=7"},
                      PortText{"SimOption", "sim,sda-low"},
                      PortText{"Ppdev", "ppdev:/dev/parport1"}, PortText{"Direct", "direct:0x278"},
                      PortText{"Exec", "exec:tinkla-cli bridge --port sim"}),
    kRowName);

TEST(BellPortDialog, DefaultMemoryFileIsStoredAsPlainSim)
{
    CBellPortDlg dlg(QStringLiteral("sim:") + DefaultDoorbellFile(), QString());
    EXPECT_EQ(dlg.SimPathEdit()->text(), DefaultDoorbellFile());
    EXPECT_EQ(dlg.PortText(), QStringLiteral("sim"));
}

TEST(BellPortDialog, FindsParportNodesInNumberOrder)
{
    QTemporaryDir dir;
    for (const char* name : {"parport10", "parport2", "parport0", "lp0"})
        test::WriteBytes(dir.filePath(QString::fromUtf8(name)), {});
    EXPECT_EQ(CBellPortDlg::PpdevDevices(dir.path()),
              (QStringList{dir.filePath(QStringLiteral("parport0")),
                           dir.filePath(QStringLiteral("parport2")),
                           dir.filePath(QStringLiteral("parport10"))}));
}

struct Check {
    const char* name;
    const char* port; // "%1": a memory file of the test's own
    bool ok;
    const char* says; // part of the answer
};

class PortCheck : public ::testing::TestWithParam<Check>
{
};

TEST_P(PortCheck, SaysWhetherADoorbellAnswersAndWhyNot)
{
    const Check& c = GetParam();
    QTemporaryDir dir;
    const QString port =
        QString::fromUtf8(c.port).arg(dir.filePath(QStringLiteral("doorbell.bin")));
    CBellPortDlg dlg(port, QString());
    ASSERT_EQ(dlg.PortText(), port);
    EXPECT_EQ(dlg.OnCheck(), c.ok);
    EXPECT_TRUE(dlg.CheckText().contains(QString::fromUtf8(c.says)))
        << dlg.CheckText().toStdString();
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "the check wrote the doorbell's memory";
    dlg.SetPortText(QStringLiteral("direct:0x278")); // another choice makes the answer stale
    EXPECT_TRUE(dlg.CheckText().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Ports, PortCheck,
    ::testing::Values(Check{"Sim", "sim:%1", true, "Звонок отвечает"},
                      Check{"SimNothingThere", "sim:%1,absent", false, "не отвечает"},
                      Check{"SimDataLineLow", "sim:%1,sda-low", false, "Линия данных"},
                      Check{"NoDeviceNode", "ppdev:/dev/parport-none", false, "/dev/parport-none"}),
    kRowName);

TEST(BellPortDialog, RefusesToConfirmWhatDoesNotParse)
{
    CBellPortDlg dlg(QStringLiteral("sim,bogus"), QString());
    dlg.show();
    dlg.accept();
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_TRUE(dlg.CheckText().contains(QStringLiteral("bogus")));
}

// A device's answer may be several long lines (what failed, then the command that mends it): the
// dialog grows to show it whole, and the command can be copied from it.
TEST(BellPortDialog, LongAnswerOfSeveralLinesShowsWholeAndCanBeCopied)
{
    CBellPortDlg dlg(QStringLiteral("ppdev:/dev/parport0"), QString());
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    const QString line(30, QLatin1Char('w'));
    const QString answer = QStringList(6, QStringList(4, line).join(QLatin1Char(' '))).join('\n');
    dlg.ShowProblem(answer);
    for (int i = 0; i < 3; ++i) // the request to grow climbs one widget per event-loop turn
        QApplication::processEvents();
    QLabel* shown = nullptr;
    for (QLabel* label : dlg.findChildren<QLabel*>())
        if (label->text() == answer)
            shown = label;
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->wordWrap());
    EXPECT_GE(shown->height(), shown->heightForWidth(shown->width()));
    EXPECT_TRUE(shown->textInteractionFlags() & Qt::TextSelectableByMouse);
}

class BellPortCommand : public tinkla::test::EditorTest
{
protected:
    // Without the port, --port or --speaker an earlier test in this process left behind.
    void SetUp() override
    {
        DisconnectPort();
        int exitCode = 0;
        ASSERT_TRUE(CTinklaApp::ParseCommandLine({QStringLiteral("tinkla")}, &exitCode));
        EditorTest::SetUp();
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        DisconnectPort();
    }
    QTemporaryDir dir;
};

TEST_F(BellPortCommand, ConfirmedChoiceIsRememberedAndConnected)
{
    const QString first = QStringLiteral("sim:") + dir.filePath(QStringLiteral("a.bin"));
    const QString second = QStringLiteral("sim:") + dir.filePath(QStringLiteral("b.bin"));
    SetSettingPort(first);
    frame->StartupDoorbell();
    ASSERT_EQ(ConnectedPortText(), first);

    test::WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CBellPortDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->PortText(), first);
        dlg->SetPortText(second);
        dlg->accept();
    });
    Action(ID_BELL_PORT)->trigger();
    EXPECT_EQ(SettingPort(), second);
    EXPECT_EQ(ConnectedPortText(), second);

    test::WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    Action(ID_BELL_PORT)->trigger();
    EXPECT_EQ(SettingPort(), second);
    EXPECT_TRUE(prompter.shown.empty());
}

// A check installs the choice and says what would mend it; Cancel puts back the very speaker that
// played before (a recording goes on); OK remembers the choice and installs it at once.
TEST_F(BellPortCommand, SoundOutputIsCheckedThenRememberedAndInstalled)
{
    SetSettingSpeaker(QStringLiteral("none"));
    std::vector<uint32_t> events;
    test::RecordSpeaker(&events);
    const QString wav = dir.filePath(QStringLiteral("tone.wav"));
    const auto sink = [] { return &dynamic_cast<Pit&>(*Ports::Instance().Speaker()).Sink(); };

    test::WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CSoundDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->SinkText(), QStringLiteral("none"));
        dlg->SetSinkText(QStringLiteral("pcspkr:/dev/input/no-such-speaker"));
        EXPECT_FALSE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("modprobe pcspkr")))
            << dlg->CheckText().toStdString();
        dlg->reject();
    });
    Action(ID_SOUND_OUTPUT)->trigger();
    EXPECT_EQ(SettingSpeaker(), QStringLiteral("none"));
    EXPECT_NE(dynamic_cast<test::RecordingSink*>(sink()), nullptr);

    prompter.files.push_back(wav);
    test::WhenModal([&](QWidget* w) {
        auto* dlg = static_cast<CSoundDlg*>(w);
        dlg->SetSinkText(QStringLiteral("wav:") + dir.filePath(QStringLiteral("old.wav")));
        dlg->BrowseButton()->click();
        dlg->accept();
    });
    Action(ID_SOUND_OUTPUT)->trigger();
    EXPECT_EQ(SettingSpeaker(), QStringLiteral("wav:") + wav);
    EXPECT_NE(dynamic_cast<WavSink*>(sink()), nullptr);
}

} // namespace
