// The editor's real dialogs and message boxes, answered with keys and clicks, and the start-up
// of the whole application.
#include "devices/PortSpec.h"
#include "ui/CAboutDlg.h"
#include "ui/CMelodyTitleDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/QtPrompter.h"
#include "ui_editor_support.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>

namespace tinkla::test
{
namespace
{

TEST(FileFilters, PairsBecomeQtNameFilters)
{
    // "*.*" would hide files without a dot; the doubled space of the label goes.
    EXPECT_EQ(NameFiltersFromPairs(QStringLiteral("Набор  (*.fml)|*.fml|Все файлы (*.*)|*.*||")),
              (QStringList{QStringLiteral("Набор (*.fml)"), QStringLiteral("Все файлы (*)")}));
    EXPECT_EQ(NameFiltersFromPairs(QStringLiteral("Мелодии|*.mel;*.MEL||")),
              QStringList{QStringLiteral("Мелодии (*.mel *.MEL)")});
    EXPECT_TRUE(NameFiltersFromPairs(QString()).isEmpty());
}

// Each kind of message with its icon and buttons; Escape declines a question, or cancels it.
TEST(QtMessageBox, ButtonsIconAndAnswer)
{
    QtPrompter prompter;
    const auto answer = [&](unsigned type, QMessageBox::StandardButton press,
                            QMessageBox::Icon icon, qsizetype buttons) {
        WhenModal([=](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Tinkla"));
            EXPECT_EQ(box->icon(), icon);
            EXPECT_EQ(box->buttons().size(), buttons);
            if (press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press)->click();
        });
        return prompter.MessageBox(QStringLiteral("?"), type);
    };
    const auto question = QMessageBox::Question;
    EXPECT_EQ(answer(MB_OK | MB_ICONHAND, QMessageBox::Ok, QMessageBox::Critical, 1), IDOK);
    EXPECT_EQ(answer(MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, QMessageBox::Information, 1),
              IDOK);
    EXPECT_EQ(answer(MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, question, 2), IDYES);
    EXPECT_EQ(answer(MB_YESNO | MB_ICONQUESTION, QMessageBox::NoButton, question, 2), IDNO);
    EXPECT_EQ(answer(MB_YESNOCANCEL | MB_ICONQUESTION, QMessageBox::NoButton, question, 3),
              IDCANCEL);
}

// The arrows go from the chosen format across the two columns; Escape keeps the choice.
TEST(SetFormatDialog, ArrowsCrossTheColumnsAndEscapeKeepsTheChoice)
{
    QtPrompter prompter;
    WhenModal([](QWidget* w) {
        // From "8 × 31" up to "16 × 15", then right to "2 × 127".
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Right, Qt::Key_Return})
            QTest::keyClick(w->focusWidget(), key);
    });
    int choice = 2;
    ASSERT_TRUE(prompter.AskSetFormat(&choice));
    EXPECT_EQ(choice, 4);

    WhenModal([](QWidget* w) {
        w->findChildren<QRadioButton*>()[0]->click();
        QTest::keyClick(w, Qt::Key_Escape);
    });
    choice = 3;
    EXPECT_FALSE(prompter.AskSetFormat(&choice));
    EXPECT_EQ(choice, 3);
}

// A longer title from a file is shown whole, not cut unseen: OK refuses it until it is shortened,
// the excess selected for one Delete to cut.
TEST(TitleDialog, ALongerTitleIsShownWholeAndRefusedUntilShortened)
{
    CMelodyTitleDlg dlg;
    dlg.m_strMelodyTitle = QString(40, QLatin1Char('a'));
    dlg.show();
    EXPECT_EQ(dlg.Edit()->text(), dlg.m_strMelodyTitle);
    bool refused = false;
    WhenModal([&refused](QWidget* box) {
        refused = qobject_cast<QMessageBox*>(box) != nullptr;
        box->close();
    });
    dlg.accept();
    EXPECT_TRUE(refused && dlg.isVisible());
    QTest::keyClick(dlg.Edit(), Qt::Key_Delete);
    dlg.accept();
    EXPECT_EQ(dlg.m_strMelodyTitle, QString(30, QLatin1Char('a')));
}

TEST(TitleDialog, TypingTakesWhatCodePage1251HoldsUpToThirtyCharacters)
{
    QtPrompter prompter;
    WhenModal([](QWidget* w) {
        QTest::keyClick(w->focusWidget(), Qt::Key_Delete); // all of it is selected
        // As a keyboard of any layout types it: each key press carries its character.
        for (QChar c : QString::fromUtf8("Вальс «Осень» ♪ Ελλάδα 1234567890123456789"))
            QTest::sendKeyEvent(QTest::Click, w->focusWidget(), Qt::Key_unknown, QString(c), {});
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    QString title = QStringLiteral("Старое");
    ASSERT_TRUE(prompter.AskMelodyTitle(&title));
    EXPECT_EQ(title, QString::fromUtf8("Вальс «Осень»   12345678901234"));
}

TEST(AboutDialog, ShowsTheIconAndWhatTheProgramIsFor)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("О программе \"Tinkla\""));
    int icons = 0, texts = 0;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        icons += !label->pixmap().isNull();
        texts += label->text().startsWith(QStringLiteral("Tinkla. Версия 1.0\n\n"));
    }
    EXPECT_TRUE(icons == 1 && texts == 1) << icons << " icons, " << texts << " texts";
}

// Start-up as the program does it, with the real prompter; restores what it sets process-wide.
class StartUp : public ::testing::Test
{
protected:
    void SetUp() override { QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).clear(); }
    void TearDown() override { QLocale::setDefault(m_locale); }
    // Starts the application on a file of the given bytes after the given options.
    bool Start(const char* name, const QByteArray& bytes, QStringList options = {})
    {
        const QString path = dir.filePath(QString::fromUtf8(name));
        WriteBytes(path, bytes);
        int code = -1;
        return app->InitInstance(QStringList{QStringLiteral("tinkla")} + options << path, &code);
    }

    QTemporaryDir dir;
    QLocale m_locale;
    std::unique_ptr<CTinklaApp> app = std::make_unique<CTinklaApp>();
};

// The port given on the command line serves this run only: not remembered, let go with the window.
TEST_F(StartUp, OpensTheFileNamedOnTheCommandLineOnThePortGivenThereAndReportsABadOne)
{
    SetSettingPort(QStringLiteral("ppdev:/dev/tinkla-remembered"));
    const QString port = QStringLiteral("sim:") + dir.filePath(QStringLiteral("bell.bin"));
    // A .mel of 40 notes: too long for 8 × 31, so the set becomes 4 × 63.
    QByteArray mel = QByteArray::fromHex("28000000"
                                         "04000000"
                                         "0141"
                                         "28000000");
    for (int i = 0; i < 40; ++i)
        mel += QByteArray::fromHex("0b03");
    ASSERT_TRUE(Start(
        "long.mel", mel,
        {QStringLiteral("--port"), port, QStringLiteral("--speaker"), QStringLiteral("none")}));
    EXPECT_EQ(app->GetDocument()->GetNotesPerMelody(), 63u);
    EXPECT_EQ(app->GetDocument()->GetCurrentMelody()->GetNoteCount(), 40);
    EXPECT_TRUE(app->GetMainFrame()->isVisible());
    // Qt's own texts are Russian from now on.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    // The start-up step runs once the window is on the screen.
    for (int i = 0; i < 200 && ConnectedPortText().isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(ConnectedPortText(), port);
    app.reset();
    EXPECT_TRUE(ConnectedPortText().isEmpty()) << "the port outlived the window";
    EXPECT_EQ(SettingPort(), QStringLiteral("ppdev:/dev/tinkla-remembered"));

    // A bad file is reported, and the new set stays.
    app = std::make_unique<CTinklaApp>();
    QString message;
    WhenModal([&message](QWidget* w) {
        message = qobject_cast<QMessageBox*>(w)->text();
        w->close();
    });
    ASSERT_TRUE(Start("bad.fml", QByteArray::fromHex("0300000054000000")));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(app->GetDocument()->GetMelodyCount(), 8u);
    EXPECT_EQ(app->GetMainFrame()->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
}

TEST(EditorCommandLine, HelpVersionAndBadOptionsNeedNoDisplay)
{
    struct {
        const char* option;
        int code;
        const char* says; // on stdout for 0, on stderr else
    } cases[] = {{"--help", 0, "--port <PORT>"},
                 {"-v", 0, "Tinkla 1.0"},
                 {"--bogus", 2, "--speaker <SINK>"}};
    for (const auto& c : cases) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        p.setProcessEnvironment(env);
        p.start(QString::fromUtf8(TINKLA_EDITOR_PATH), {QString::fromLatin1(c.option)});
        ASSERT_TRUE(p.waitForFinished(30000)) << c.option;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << c.option;
        EXPECT_EQ(p.exitCode(), c.code) << c.option;
        const QByteArray text = c.code == 0 ? p.readAllStandardOutput() : p.readAllStandardError();
        EXPECT_TRUE(text.contains(c.says)) << c.option << ": " << text.toStdString();
        EXPECT_FALSE(text.contains("<executable_name>"));
    }
}

} // namespace
} // namespace tinkla::test
