#pragma once
// The application: settings identity, Qt's own texts in Russian, the command line, and the one
// document, main window and view that live from start-up to exit.
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace tinkla
{

class CMainFrame;
class CTinklaDoc;
class QtPrompter;

class CTinklaApp : public QObject
{
    Q_OBJECT
public:
    CTinklaApp();
    ~CTinklaApp() override;

    // Start-up: the 8 × 31 set, then the set named on the command line (a file that does not
    // open leaves the new set and its message; a .mel becomes the set's first melody), the window,
    // and after its first paint the doorbell's start-up step. Returns false when the program must
    // end at once with *exitCode
    // (--help, --version, a bad option).
    bool InitInstance(const QStringList& arguments, int* exitCode);
    // The command line alone, before the GUI starts (--help, --version and a bad option need no
    // display). Returns false when the program must end at once with *exitCode;
    // else keeps the options and the file for InitInstance.
    static bool ParseCommandLine(const QStringList& arguments, int* exitCode);

    CMainFrame* GetMainFrame() const { return m_pFrame.get(); }
    CTinklaDoc* GetDocument() const { return m_pDoc.get(); }

    // --port and --speaker of this run; empty when not given (the remembered choice applies).
    // They are never written to the settings.
    static QString PortOverride() { return s_strPort; }
    static QString SpeakerOverride() { return s_strSpeaker; }

    // Organization "Korvel", application "Tinkla", and Qt's dialogs and buttons in Russian.
    void SetupApplication();
    // Qt's own texts in Russian through translator, which must outlive their use.

private:
    void OpenMelodyFile(const QString& path);

    std::unique_ptr<QtPrompter> m_pPrompter;
    std::unique_ptr<CTinklaDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame; // declared last: goes first, while the document lives

    static QString s_strPort;
    static QString s_strSpeaker;
    static QStringList s_files;
};

} // namespace tinkla
