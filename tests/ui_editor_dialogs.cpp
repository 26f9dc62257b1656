// The editor's real dialogs and message boxes answered with keys and clicks; the start-up.
#include "devices/PortSpec.h"
#include "support/DocTestKit.h"
#include "ui/CAboutDlg.h"
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
}

TEST(QtPrompter, MessageBoxesAndTheFormatAndTitleDialogsAnswerKeysAndClicks)
{
    // Each kind of message with its icon and buttons; Escape declines a question, or cancels it.
    using enum QMessageBox::Icon;
    using enum QMessageBox::StandardButton;
    QtPrompter prompter;
    const auto answer = [&](unsigned type, auto press, auto icon, int buttons) {
        WhenModal([=](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_TRUE(box);
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Tinkla"));
            EXPECT_EQ(box->icon(), icon);
            EXPECT_EQ(box->buttons().size(), buttons);
            if (press == NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press)->click();
        });
        return prompter.MessageBox(QStringLiteral("?"), type);
    };
    EXPECT_EQ(answer(MB_OK | MB_ICONHAND, Ok, Critical, 1), IDOK);
    EXPECT_EQ(answer(MB_OK | MB_ICONINFORMATION, Ok, Information, 1), IDOK);
    EXPECT_EQ(answer(MB_YESNO | MB_ICONQUESTION, Yes, Question, 2), IDYES);
    EXPECT_EQ(answer(MB_YESNO | MB_ICONQUESTION, NoButton, Question, 2), IDNO);
    EXPECT_EQ(answer(MB_YESNOCANCEL | MB_ICONQUESTION, NoButton, Question, 3), IDCANCEL);

    // The format dialog's arrows cross its two columns: from "8 × 31" up to "16 × 15", then right
    // to "2 × 127". Escape keeps the choice.
    WhenModal([](QWidget* w) {
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

    // A longer title from a file is shown whole, not cut unseen: OK refuses it until it is
    // shortened, the excess selected for one Delete to cut. Typing takes what code page 1251 holds.
    WhenModal([](QWidget* w) {
        auto* edit = qobject_cast<QLineEdit*>(w->focusWidget());
        ASSERT_TRUE(edit);
        EXPECT_EQ(edit->text(), QString(40, QLatin1Char('a')));
        WhenModal([](QWidget* box) { box->close(); }); // the refusal, over the dialog
        QTest::keyClick(edit, Qt::Key_Return);
        EXPECT_TRUE(w->isVisible());
        QTest::keyClick(edit, Qt::Key_Delete);
        EXPECT_EQ(edit->text(), QString(30, QLatin1Char('a')));
        edit->clear();
        // As a keyboard of any layout types it: each key press carries its character.
        for (QChar c : QString::fromUtf8("Вальс «Осень» ♪ Ελλάδα 123"))
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), {});
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString title(40, QLatin1Char('a'));
    ASSERT_TRUE(prompter.AskMelodyTitle(&title));
    EXPECT_EQ(title, QString::fromUtf8("Вальс «Осень»   123"));
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

// Start-up as the program does it, with the real prompter. The port given on the command line
// serves this run only: not remembered, let go with the window.
TEST(StartUp, OpensTheFileNamedOnTheCommandLineOnThePortGivenThereAndReportsABadOne)
{
    QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).clear();
    // Start-up sets the default locale process-wide; it is set back however the test ends.
    struct RestoreLocale {
        QLocale locale;
        ~RestoreLocale() { QLocale::setDefault(locale); }
    } restore;
    QTemporaryDir dir;
    auto app = std::make_unique<CTinklaApp>();
    const auto start = [&](const char* name, const QByteArray& bytes, QStringList options) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        WriteBytes(path, bytes);
        int code = -1;
        return app->InitInstance(QStringList{QStringLiteral("tinkla")} + options << path, &code);
    };
    SetSettingPort(QStringLiteral("ppdev:/dev/tinkla-remembered"));
    const QString port = QStringLiteral("sim:") + dir.filePath(QStringLiteral("bell.bin"));
    // A .mel of 40 notes: too long for 8 × 31, so the set becomes 4 × 63.
    ASSERT_TRUE(start("long.mel", Le32(40) + MelodyRecord(4, "A", 40, NoteBytes(40, 11, 3)),
                      QStringLiteral("--port|%1|--speaker|none").arg(port).split(u'|')));
    EXPECT_EQ(app->GetDocument()->GetNotesPerMelody(), 63u);
    EXPECT_TRUE(app->GetMainFrame()->isVisible());
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
    // The start-up step runs once the window is on the screen.
    EXPECT_TRUE(QTest::qWaitFor([] { return !ConnectedPortText().isEmpty(); }, 2000));
    EXPECT_EQ(ConnectedPortText(), port);
    app.reset();
    EXPECT_TRUE(ConnectedPortText().isEmpty()) << "the port outlived the window";
    EXPECT_EQ(SettingPort(), QStringLiteral("ppdev:/dev/tinkla-remembered"));

    // A bad file is reported; the new set stays.
    app = std::make_unique<CTinklaApp>();
    bool reported = false;
    WhenModal([&reported](QWidget* w) { reported = w->close(); });
    ASSERT_TRUE(start("bad.fml", QByteArray::fromHex("0300000054000000"), {}));
    EXPECT_TRUE(reported);
    EXPECT_EQ(app->GetDocument()->GetMelodyCount(), 8u);
    EXPECT_EQ(app->GetMainFrame()->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
}

TEST(EditorCommandLine, HelpVersionAndBadOptionsNeedNoDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    for (const auto& [option, code, says] :
         {std::tuple{"--help", 0, "--port <PORT>"}, std::tuple{"-v", 0, "Tinkla 1.0"},
          std::tuple{"--bogus", 2, "--speaker <SINK>"}}) {
        SCOPED_TRACE(option);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QString::fromUtf8(TINKLA_EDITOR_PATH), {QString::fromLatin1(option)});
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), code);
        const QByteArray text = code == 0 ? p.readAllStandardOutput() : p.readAllStandardError();
        EXPECT_TRUE(text.contains(says)) << text.toStdString();
        EXPECT_FALSE(text.contains("<executable_name>"));
    }
}

} // namespace
} // namespace tinkla::test
