// The editor's real dialogs and message boxes, answered with keys and clicks, and the start-up
// of the whole application.
#include "ui/CAboutDlg.h"
#include "ui/CMelodyTitleDlg.h"
#include "ui/CSetFormatDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/QtPrompter.h"
#include "ui_editor_support.h"

#include <QDir>
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

using tinkla::test::PrintTo;

struct FilterCase {
    const char* name;
    const char* pairs;
    QStringList filters;
};

class FileFilters : public ::testing::TestWithParam<FilterCase>
{
};

TEST_P(FileFilters, PairsBecomeQtNameFilters)
{
    EXPECT_EQ(NameFiltersFromPairs(QString::fromUtf8(GetParam().pairs)), GetParam().filters);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, FileFilters,
    ::testing::Values(
        // "*.*" would hide files without a dot; the doubled space of the label goes.
        FilterCase{"AllFiles",
                   "Набор мелодий  (*.fml)|*.fml|Все файлы (*.*)|*.*||",
                   {QStringLiteral("Набор мелодий (*.fml)"), QStringLiteral("Все файлы (*)")}},
        FilterCase{
            "TwoPatterns", "Мелодии|*.mel;*.MEL||", {QStringLiteral("Мелодии (*.mel *.MEL)")}},
        FilterCase{"Empty", "", {}}),
    kRowName);

struct BoxCase {
    const char* name;
    unsigned type;
    QMessageBox::StandardButton press; // NoButton: Escape
    Answer answer;
    QMessageBox::Icon icon;
    int buttons;
};

class QtMessageBox : public ::testing::TestWithParam<BoxCase>
{
};

TEST_P(QtMessageBox, ButtonsIconAndAnswer)
{
    QtPrompter prompter;
    const BoxCase c = GetParam();
    bool seen = false;
    WhenModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_TRUE(box);
        seen = true;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Tinkla"));
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(box->buttons().size(), c.buttons);
        if (c.press == QMessageBox::NoButton)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(c.press)->click();
    });
    EXPECT_EQ(prompter.MessageBox(QStringLiteral("?"), c.type), c.answer);
    EXPECT_TRUE(seen);
}

INSTANTIATE_TEST_SUITE_P(
    Types, QtMessageBox,
    ::testing::Values(BoxCase{"Hand", MB_OK | MB_ICONHAND, QMessageBox::Ok, IDOK,
                              QMessageBox::Critical, 1},
                      BoxCase{"Information", MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, IDOK,
                              QMessageBox::Information, 1},
                      BoxCase{"YesNoYes", MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, IDYES,
                              QMessageBox::Question, 2},
                      BoxCase{"YesNoEscapeIsNo", MB_YESNO | MB_ICONQUESTION, QMessageBox::NoButton,
                              IDNO, QMessageBox::Question, 2},
                      BoxCase{"YesNoCancelEscapeIsCancel", MB_YESNOCANCEL | MB_ICONQUESTION,
                              QMessageBox::NoButton, IDCANCEL, QMessageBox::Question, 3}),
    kRowName);

TEST(SetFormatDialog, ShowsTheSixFormatsInTwoColumnsWithThePreselectedOneChecked)
{
    CSetFormatDlg dlg;
    dlg.m_nFormat = 2;
    dlg.show();
    const QList<QRadioButton*> radios = dlg.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 6);
    EXPECT_EQ(radios[0]->text(), QStringLiteral("32 м. x 7 н."));
    EXPECT_EQ(radios[5]->text(), QStringLiteral("1 м. x 255 н."));
    EXPECT_TRUE(radios[2]->isChecked());
    EXPECT_GT(radios[3]->x(), radios[0]->x());
    EXPECT_EQ(radios[3]->y(), radios[0]->y());
    for (QRadioButton* r : radios)
        EXPECT_FALSE(r->whatsThis().isEmpty());
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowContextHelpButtonHint);
}

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

struct TitleCase {
    const char* name;
    const char* typed;
    const char* kept; // what the field holds afterwards
};

class TitleField : public ::testing::TestWithParam<TitleCase>
{
};

TEST_P(TitleField, TakesOnlyWhatCodePage1251Holds)
{
    CMelodyTitleDlg dlg;
    dlg.show();
    dlg.Edit()->clear();
    // As a keyboard of any layout types it: each key press carries its character.
    for (QChar c : QString::fromUtf8(GetParam().typed))
        QTest::sendKeyEvent(QTest::Click, dlg.Edit(), Qt::Key_unknown, QString(c), {});
    EXPECT_EQ(dlg.Edit()->text(), QString::fromUtf8(GetParam().kept));
}

INSTANTIATE_TEST_SUITE_P(
    Typed, TitleField,
    ::testing::Values(TitleCase{"Cyrillic", "Вальс № 2 «Осень»", "Вальс № 2 «Осень»"},
                      TitleCase{"SymbolsOutside1251", "Ноты ♪ и ☺", "Ноты  и "},
                      TitleCase{"Greek", "Ελλάδα", ""},
                      TitleCase{"CutAt30", "1234567890123456789012345678901234",
                                "123456789012345678901234567890"}),
    kRowName);

TEST(TitleDialog, EmptyTitleIsAccepted)
{
    QtPrompter prompter;
    WhenModal([](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString title = QStringLiteral("Новая мелодия");
    ASSERT_TRUE(prompter.AskMelodyTitle(&title));
    EXPECT_EQ(title, QString());
}

TEST(TitleDialog, ALongerTitleFromAFileIsShownWholeAndRefusedUntilShortened)
{
    const QString longTitle(40, QLatin1Char('a'));
    QtPrompter prompter;
    bool refused = false;
    WhenModal([&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>();
        EXPECT_EQ(edit->text(), longTitle);
        WhenModal([&](QWidget* box) {
            refused = qobject_cast<QMessageBox*>(box) != nullptr;
            box->close();
            // Once the refusal is over, the excess is selected: one Delete cuts it.
            QTimer::singleShot(0, edit, [edit] {
                QTest::keyClick(edit, Qt::Key_Delete);
                QTest::keyClick(edit, Qt::Key_Return);
            });
        });
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QString title = longTitle;
    ASSERT_TRUE(prompter.AskMelodyTitle(&title));
    EXPECT_TRUE(refused);
    EXPECT_EQ(title, QString(30, QLatin1Char('a')));
}

TEST(AboutDialog, ShowsTheIconAndWhatTheProgramIsFor)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("О программе \"Tinkla\""));
    bool icon = false, text = false;
    for (QLabel* label : dlg.findChildren<QLabel*>()) {
        icon |= !label->pixmap().isNull();
        text |= label->text().startsWith(QStringLiteral("Tinkla. Версия 1.0\n\n"));
    }
    EXPECT_TRUE(icon);
    EXPECT_TRUE(text);
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
        const QString path = QDir(dir.path()).filePath(QString::fromUtf8(name));
        WriteBytes(path, bytes);
        int code = -1;
        return app.InitInstance(QStringList{QStringLiteral("tinkla")} + options << path, &code);
    }

    QTemporaryDir dir;
    QLocale m_locale;
    CTinklaApp app;
};

TEST_F(StartUp, OpensTheSetNamedOnTheCommandLineAndKeepsTheRunsPort)
{
    // 2 × 127: M, N, then two empty melodies titled "A".
    const QByteArray melody = QByteArray::fromHex("01000000014100000000");
    ASSERT_TRUE(Start("two.fml", QByteArray::fromHex("020000007f000000") + melody + melody,
                      {QStringLiteral("--port"), QStringLiteral("sim:/tmp/x")}));
    EXPECT_EQ(app.GetDocument()->GetMelodyCount(), 2u);
    EXPECT_TRUE(app.GetMainFrame()->isVisible());
    EXPECT_EQ(app.GetMainFrame()->windowTitle(), QStringLiteral("two.fml[*] - Tinkla"));
    EXPECT_EQ(CTinklaApp::PortOverride(), QStringLiteral("sim:/tmp/x"));
    // Qt's own texts are Russian from now on.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
}

TEST_F(StartUp, ABadFileIsReportedAndTheNewSetStays)
{
    QString message;
    WhenModal([&message](QWidget* w) {
        message = qobject_cast<QMessageBox*>(w)->text();
        w->close();
    });
    ASSERT_TRUE(Start("bad.fml", QByteArray::fromHex("0300000054000000")));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(app.GetDocument()->GetMelodyCount(), 8u);
    EXPECT_EQ(app.GetMainFrame()->windowTitle(), QStringLiteral("Безымянный[*] - Tinkla"));
}

TEST_F(StartUp, AMelodyFileGetsASetThatHoldsIt)
{
    // A .mel of 40 notes: too long for 8 × 31, so the set becomes 4 × 63.
    QByteArray mel = QByteArray::fromHex("28000000"
                                         "04000000"
                                         "0141"
                                         "28000000");
    for (int i = 0; i < 40; ++i)
        mel += QByteArray::fromHex("0b03");
    ASSERT_TRUE(Start("long.mel", mel));
    EXPECT_EQ(app.GetDocument()->GetNotesPerMelody(), 63u);
    EXPECT_EQ(app.GetDocument()->GetCurrentMelody()->GetNoteCount(), 40);
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
