#pragma once
// What the editor's widget tests share: settings kept away from the user's own, a real main
// window on a scripted prompter, and a way to answer a modal window that a command opens.
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "platform/Settings.h"
#include "support/ScriptedPrompter.h"
#include "ui/CMainFrame.h"
#include "ui/CTinklaView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tinkla::test {

// Runs before main(), so before anything reads settings: the tests' settings live in a
// temporary folder of this process, never in the user's ~/.config. (Qt's test mode would share
// one folder among test processes running side by side.)
inline const bool kSettingsIsolated = [] {
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    return true;
}();

// Calls answer with the modal window a command is about to open (a message box, a dialog or a
// popup menu), as soon as it is up. The command's exec() returns once answer has closed it.
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

class EditorTest : public ::testing::Test {
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
    // A key as the user presses it in the main window: accelerators first, then the view.
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(View(), Qt::Key(key), mods);
    }
    // The paint that follows every edit, now rather than at the next event-loop turn.
    void Paint() { View()->viewport()->repaint(); }
    QString Pane(CMainFrame::Pane pane) const { return frame->PaneText(pane); }
    // A click at a point of the staff picture (document coordinates).
    void ClickAt(QPoint doc, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(View()->viewport(), button, {}, doc - View()->GetScrollPosition());
    }
    // The right click's context menu at a document point; returns the menu that opened (closed
    // again at once), or nullptr.
    QMenu* ContextMenuAt(QPoint doc, QContextMenuEvent::Reason reason = QContextMenuEvent::Mouse)
    {
        QMenu* shown = nullptr;
        WhenModal([&shown](QWidget* w) {
            shown = qobject_cast<QMenu*>(w);
            w->close();
        });
        const QPoint local = doc - View()->GetScrollPosition();
        QContextMenuEvent event(reason, local, View()->viewport()->mapToGlobal(local));
        QApplication::sendEvent(View()->viewport(), &event);
        return shown;
    }
    void InsertNotes(int count) { Key(Qt::Key_Insert, Qt::NoModifier, count); }

    ScriptedPrompter prompter;
    std::unique_ptr<CTinklaDoc> doc;
    std::unique_ptr<CMainFrame> frame;
};

} // namespace tinkla::test
