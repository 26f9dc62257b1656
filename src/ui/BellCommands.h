#pragma once
// The doorbell in the editor: the port it is reached through, the read and write commands with
// their questions and progress dialogs, the doorbell test, the port dialog, and the start-up step
// (connect the port, calibrate the bus delays, reset the doorbell). It also owns the speaker that
// the doorbell and the editor play through, and its dialog. One object per main window, its
// child; it closes the port it opened and the speaker it installed when the window goes.
#include "devices/SimPlayer.h"

#include <QObject>
#include <QString>

namespace tinkla
{

class CMainFrame;

class BellCommands : public QObject
{
    Q_OBJECT
public:
    explicit BellCommands(CMainFrame* frame);
    ~BellCommands() override;

    // After the main window has painted: the speaker if nobody has set one up, the port, then
    // CalibrateDelays and SendResetPulse. A port that does not open is said once in the status
    // bar; the commands then report the link failure when used.
    void Startup();
    void Read();
    void Write();
    void Test();
    void Port();
    // "Вывод звука": the confirmed choice is remembered and installed at once; a cancelled dialog
    // leaves the speaker as it was before the dialog's checks.
    void Sound();

    // The PORT text the commands use: the one chosen in the port dialog during this run, else
    // --port of this run, else the remembered one (default "sim").
    QString WantedPort() const;
    // Makes sure a port is connected (connecting WantedPort() if none is) and the simulated
    // doorbell, if that is what it is, plays through the speaker. False when the port does not
    // open; LinkError() then says why.
    bool EnsureLink();
    QString LinkError() const { return m_strLinkError; }
    SimPlayer& Player() { return m_player; }

private:
    bool Connect(const QString& text);
    void ShowLinkFailure();
    // EnsureLink, or the link failure with its reason; false then.
    bool LinkOrSayWhyNot();
    void ShowFailure(const char* text); // one of the program's texts, stop icon
    void Notice(const QString& text);
    // The SINK text the speaker plays through: the one chosen in the sound dialog during this
    // run, else --speaker of this run, else the remembered one (default "audio").
    QString WantedSpeaker() const;
    // Installs the speaker; returns what the user should hear of it (error or notice), or empty.
    QString InstallSpeaker(const QString& sink);
    // The "save under another name" step of the read; false when a save was tried and failed.
    bool SaveUnderAnotherName();

    CMainFrame* m_pFrame;
    SimPlayer m_player;
    QString m_strChosen;    // confirmed in the port dialog during this run
    QString m_strConnected; // what this object connected, to be closed with it
    QString m_strLinkError;
    bool m_bOwnsSpeaker = false;
    QString m_strSpeaker;          // the SINK text installed (when m_bOwnsSpeaker)
    bool m_bSpeakerChosen = false; // in the sound dialog during this run
    bool m_bSpeakerWorks = false;  // m_strSpeaker opened without an error or a fallback
    int m_nStartupWaitedMs = 0;
};

} // namespace tinkla
