// "Порт звонка" and "Вывод звука", one story each: the text the controls stand for, the check
// that tries a choice, and a choice confirmed (remembered, in use at once).
#include "bell/BellMessages.h"
#include "devices/Pit.h"
#include "devices/PortSpec.h"
#include "devices/SoundWav.h"
#include "test_speaker_support.h"
#include "ui/CBellPortDlg.h"
#include "ui/CSoundDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/Commands.h"
#include "ui_editor_support.h"

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

using namespace tinkla;

namespace
{

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

class BellPortCommand : public tinkla::test::EditorTest
{
protected:
    // Without the port, --port or --speaker an earlier test left behind.
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

// A port that does not open at start-up: a line in the status bar, the reason with every doorbell
// command and in the port dialog, where another is chosen, checked, remembered and connected.
TEST_F(BellPortCommand, PortThatDoesNotOpenIsReportedThenAnotherIsCheckedAndConnected)
{
    const QString none = QStringLiteral("ppdev:/dev/tinkla-no-such-parport");
    const QString second = QStringLiteral("sim:") + dir.filePath(QStringLiteral("b.bin"));
    SetSettingPort(none);
    frame->StartupDoorbell();
    EXPECT_FALSE(frame->statusBar()->currentMessage().isEmpty());
    for (int id : {ID_BELL_READ, ID_BELL_WRITE, ID_BELL_TEST})
        Action(id)->trigger();
    ASSERT_EQ(prompter.shown.size(), 3u);
    for (const auto& shown : prompter.shown) {
        EXPECT_TRUE(shown.text.startsWith(QString::fromUtf8(kMsgBellLink)));
        EXPECT_TRUE(shown.text.contains(QStringLiteral("/dev/tinkla-no-such-parport")));
        EXPECT_EQ(shown.type, unsigned(MB_OK | MB_ICONHAND));
    }

    test::WhenModal([&](QWidget* w) {
        auto* dlg = qobject_cast<CBellPortDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->PortText(), none);
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("/dev/tinkla-no-such-parport")));
        for (const char* text :
             {"sim:/tmp/bell memory.bin", "sim:/tmp/b.bin,absent,twr=7", "sim,sda-low",
              "ppdev:/dev/parport1", "direct:0x278", "exec:tinkla-cli bridge --port sim"}) {
            dlg->SetPortText(QString::fromUtf8(text));
            EXPECT_EQ(dlg->PortText(), QString::fromUtf8(text));
        }
        // The default memory file is stored as plain "sim", so it follows $XDG_DATA_HOME.
        dlg->SetPortText(QStringLiteral("sim:") + DefaultDoorbellFile());
        EXPECT_EQ(dlg->PortText(), QStringLiteral("sim"));

        // The check asks without writing the memory; another choice makes its answer stale.
        dlg->SetPortText(second + QStringLiteral(",sda-low"));
        EXPECT_FALSE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("Линия данных")));
        dlg->SetPortText(second);
        EXPECT_TRUE(dlg->OnCheck());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("Звонок отвечает")));
        EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.bin"))));
        dlg->SetPortText(QStringLiteral("sim,bogus"));
        EXPECT_TRUE(dlg->CheckText().isEmpty());
        dlg->accept(); // refused, with the reason
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_TRUE(dlg->CheckText().contains(QStringLiteral("bogus")));
        // A device's answer may be several long lines (what failed, then the command that
        // mends it): the dialog grows to show it whole, and the command can be copied.
        const QString line = QStringList(4, QString(30, QLatin1Char('w'))).join(' ');
        const QString answer = QStringList(6, line).join('\n');
        dlg->ShowProblem(answer);
        for (int i = 0; i < 3; ++i) // the request to grow climbs one widget per event-loop turn
            QApplication::processEvents();
        QLabel* shown = nullptr;
        for (QLabel* label : dlg->findChildren<QLabel*>())
            shown = label->text() == answer ? label : shown;
        EXPECT_TRUE(shown && shown->wordWrap());
        EXPECT_TRUE(shown && shown->height() >= shown->heightForWidth(shown->width()));
        EXPECT_TRUE(shown && shown->textInteractionFlags() & Qt::TextSelectableByMouse);
        dlg->SetPortText(second);
        dlg->accept();
    });
    Action(ID_BELL_PORT)->trigger();
    EXPECT_EQ(SettingPort(), second);
    EXPECT_EQ(ConnectedPortText(), second);

    test::WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
    Action(ID_BELL_PORT)->trigger();
    EXPECT_EQ(SettingPort(), second);
}

// A check sets the speaker in use aside and tries the choice; checking the one in use tries it in
// place (a second opening would start its recording afresh); Cancel puts back the very speaker
// that played before (a recording goes on); OK remembers the choice and installs it at once.
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
        const PortDevice* before = Ports::Instance().Speaker();
        EXPECT_TRUE(dlg->OnCheck());
        EXPECT_EQ(Ports::Instance().Speaker(), before) << "the speaker in use was opened again";
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
