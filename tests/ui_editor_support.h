#pragma once
// What the widget tests share: settings kept away from the user's own, a real main window on a
// scripted prompter, and a way to answer the modal window a command opens.
#include "document/TinklaDoc.h"
#include "platform/Settings.h"
#include "support/ScriptedPrompter.h"
#include "ui/CMainFrame.h"
#include "ui/CTinklaView.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>

namespace tinkla::test
{

// Runs before main(), before anything reads settings (Qt's test mode shares one folder).
inline const bool kSettingsIsolated = [] {
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    return true;
}();

// Rows of parameter tables that carry a name go by it, in test names and in failure reports.
template <class Row>
requires requires(const Row& r)
{
    r.name;
}
void PrintTo(const Row& row, std::ostream* os)
{
    *os << row.name;
}
inline constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size())
        << path.toStdString();
}

// Calls answer with the modal window (box, dialog or popup) a command opens, once it is up.
inline void WhenModal(std::function<void(QWidget*)> answer, int triesLeft = 200)
{
    QTimer::singleShot(5, [answer, triesLeft] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w)
            w = QApplication::activeModalWidget();
        if (w && w->isVisible()) {
            // Keys go where the user's would: to the focused control of the active window.
            w->activateWindow();
            (void)QTest::qWaitForWindowActive(w);
            answer(w);
        } else if (triesLeft > 0)
            WhenModal(answer, triesLeft - 1);
    });
}

class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("Korvel"), QStringLiteral("Tinkla")).clear();
        doc = std::make_unique<CTinklaDoc>(&prompter);
        doc->OnNewDocument();
        frame = std::make_unique<CMainFrame>(doc.get());
        frame->resize(700, 500);
        frame->show();
        frame->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
        Paint();
    }
    void TearDown() override
    {
        frame.reset();
        doc.reset();
    }

    CTinklaView* View() const { return frame->GetView(); }
    CMelody* Melody() const { return doc->GetCurrentMelody(); }
    QAction* Action(int id) const { return frame->Action(id); }
    // As the user presses it in the main window: accelerators first, then the view.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(View(), Qt::Key(key), mods);
    }
    // The paint that follows every edit, now rather than at the next event-loop turn.
    void Paint() { View()->viewport()->repaint(); }
    QString Pane(CMainFrame::Pane pane) const { return frame->PaneText(pane); }
    void InsertNotes(int count) { Key(Qt::Key_Insert, Qt::NoModifier, count); }

    ScriptedPrompter prompter;
    std::unique_ptr<CTinklaDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace tinkla::test
