#pragma once
// The main window: menu, toolbar, status bar with the five panes, and the commands of the set
// and of the application. Every command is one QAction shared by the menu, the toolbar, the
// context menus and its key; its enabled state follows the model after every change, so a
// disabled command can never run.
#include "model/Note.h"
#include "ui/Commands.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

class QLabel;
class QMenu;
class QMimeData;
class QTextBrowser;
class QToolBar;

namespace tinkla
{

class CTinklaDoc;
class CTinklaView;

// The idle text of the message pane and its text in What's This mode.
inline constexpr const char* kIdleMessage =
    QT_TRANSLATE_NOOP("tinkla::CMainFrame", "Для справки нажмите F1.");
inline constexpr const char* kHelpModeMessage =
    QT_TRANSLATE_NOOP("tinkla::CMainFrame", "Выберите объект для справки.");

class CMainFrame : public QMainWindow
{
    Q_OBJECT
public:
    // doc must outlive the frame; its prompter shows every question the commands ask.
    explicit CMainFrame(CTinklaDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CTinklaDoc* GetDocument() const { return m_pDoc; }
    CTinklaView* GetView() const { return m_pView; }
    // The command's action; nullptr for an id the frame does not have.
    QAction* Action(int id) const { return m_actions.value(id); }
    // The view's context menus: with no note selected, and with a note selected.
    QMenu* MelodyMenu() const { return m_pMelodyMenu; }
    QMenu* NoteMenu() const { return m_pNoteMenu; }
    QToolBar* ToolBar() const { return m_pToolBar; }

    // The five status panes, in the order the view hands them over after every paint.
    void SetFormatText(int melodies, int notes); // " M м. х N н."
    void SetMelodyText(int number);              // " n м.", 1-based
    void SetNotesText(int count);                // " n н."
    void SetToneText(BYTE code, bool none);      // note name of code >> 3, or empty
    void SetDurationText(BYTE code, bool none);  // "1" .. "1/16" of code & 7, or empty
    enum Pane { PaneFormat, PaneMelody, PaneNotes, PaneTone, PaneDuration, PaneCount };
    QString PaneText(Pane pane) const;

    // The one gate before New, Open, a recent or dropped file, and exit: false when the user
    // cancelled or the save failed.
    bool maybeSave();
    // Opens a set after the gate (the command line, a drop); a failure has been shown and leaves
    // the set as it was.
    bool OpenFile(const QString& path);
    QStringList RecentFiles() const { return m_recentFiles; }

    // Doorbell commands and the doorbell's start-up step (CMainFrame_bell.cpp).
    void StartupDoorbell();

public slots:
    // Recomputes every command's enabled state from the document and the current melody.
    void UpdateCommandUI();

    void OnEditUndo();
    void OnEditRedo();
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnAppAbout();
    void OnHelpFinder();
    void OnContextHelp();
    void OnBellRead();
    void OnBellWrite();
    void OnBellTest();
    void OnBellPort();
    void OnSoundOutput();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnOpenRecentFile();
    void AddRecentFile(const QString& path);
    void UpdateTitle();

private:
    void createActions();
    void createMenus();
    void createExamplesMenu(QMenu* file); // File > "Примеры": the library of tunes
    void createToolBar();
    void createStatusBar();
    void readSettings();
    void writeSettings();

    QAction* MakeAction(int id, const QString& text, const QString& prompt,
                        const QString& whatsThis, const QKeySequence& shortcut = {});
    bool OpenDocument(const QString& path); // without the gate
    void UpdateRecentFileActions();
    void ElideStatusMessage(const QString& message);
    void UpdateLockIndicators();
    static QString DroppedSetFile(const QMimeData* data);

    CTinklaDoc* m_pDoc;
    CTinklaView* m_pView = nullptr;
    QHash<int, QAction*> m_actions;
    QAction* m_recentActions[4] = {};
    QAction* m_pRecentSeparator = nullptr;
    QStringList m_recentFiles;
    QMenu* m_pViewMenu = nullptr;
    QMenu* m_pMelodyMenu = nullptr;
    QMenu* m_pNoteMenu = nullptr;
    QToolBar* m_pToolBar = nullptr;
    QLabel* m_panes[PaneCount] = {};
    QLabel* m_lockPanes[3] = {}; // CAP, NUM, SCRL; only where the window system reports them
    QPointer<QTextBrowser> m_pHelp;
    bool m_bHelpMode = false; // What's This mode: the message pane says so

    // The doorbell link's state, created by CMainFrame_bell.cpp as a child of the frame (so it
    // goes with it); the editor itself never looks inside.
    QObject* m_pBell = nullptr;
};

} // namespace tinkla
