#include "ui/BellCommands.h"

#include "bell/BellMessages.h"
#include "bell/Bus.h"
#include "devices/PortSpec.h"
#include "devices/Speaker.h"
#include "document/TinklaDoc.h"
#include "model/Messages.h"
#include "platform/Ports.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "ui/CBellPortDlg.h"
#include "ui/CBellTestDlg.h"
#include "ui/CMainFrame.h"
#include "ui/CReadSetDlg.h"
#include "ui/CSoundDlg.h"
#include "ui/CTinklaApp.h"
#include "ui/CTinklaView.h"
#include "ui/CWriteSetDlg.h"

#include <QStatusBar>
#include <QTimer>
#include <QWindow>

namespace tinkla
{

namespace
{
constexpr int kNoticeMs = 15000;
// How long start-up waits for the main window to reach the screen before it goes on anyway.
constexpr int kStartupWaitMs = 2000;
constexpr int kStartupPollMs = 20;
} // namespace

BellCommands::BellCommands(CMainFrame* frame) : QObject(frame), m_pFrame(frame) {}

BellCommands::~BellCommands()
{
    m_player.Stop();
    m_player.Attach(nullptr); // it must not outlive, even briefly, the doorbell it listens to
    // The simulated doorbell keeps its memory file, a real port is released for other programs.
    if (!m_strConnected.isEmpty() && ConnectedPortText() == m_strConnected)
        DisconnectPort();
    if (m_bOwnsSpeaker)
        ShutdownSpeaker();
}

QString BellCommands::WantedPort() const
{
    if (!m_strChosen.isEmpty())
        return m_strChosen;
    const QString overridden = CTinklaApp::PortOverride();
    return overridden.isEmpty() ? SettingPort() : overridden;
}

void BellCommands::Notice(const QString& text)
{
    m_pFrame->statusBar()->showMessage(text, kNoticeMs);
}

QString BellCommands::WantedSpeaker() const
{
    if (m_bSpeakerChosen)
        return m_strSpeaker;
    const QString overridden = CTinklaApp::SpeakerOverride();
    return overridden.isEmpty() ? SettingSpeaker() : overridden;
}

QString BellCommands::InstallSpeaker(const QString& sink)
{
    const SpeakerSetup speaker = SetupSpeaker(sink);
    m_bOwnsSpeaker = true;
    m_strSpeaker = sink;
    const QString said = speaker.ok ? speaker.notice : speaker.error;
    m_bSpeakerWorks = said.isEmpty();
    return said;
}

bool BellCommands::Connect(const QString& text)
{
    m_player.Stop();
    m_player.Attach(nullptr); // a new port takes the old one, and its doorbell, away
    QString error;
    if (!ConnectPort(text, &error)) {
        m_player.Attach(ConnectedSim()); // the old one stays
        m_strLinkError = tr("Порт звонка «%1» не открывается: %2").arg(text, error);
        return false;
    }
    m_strConnected = text;
    m_strLinkError.clear();
    return true;
}

bool BellCommands::EnsureLink()
{
    if (ConnectedPortText().isEmpty() && !Connect(WantedPort()))
        return false;
    // Always afresh: the doorbell behind the port may be another one than last time.
    m_player.Attach(ConnectedSim());
    return true;
}

void BellCommands::ShowLinkFailure()
{
    m_pFrame->GetDocument()->GetPrompter().MessageBox(
        MessageText(kMsgBellLink) + QStringLiteral("\n\n") + m_strLinkError +
            tr("\nПорт выбирается командой «Звонок» → «Порт звонка...»."),
        MB_OK | MB_ICONHAND);
}

void BellCommands::Startup()
{
    // The window first: the steps below block the user-interface thread for a moment.
    const QWindow* window = m_pFrame->windowHandle();
    if (window && !window->isExposed() && m_nStartupWaitedMs < kStartupWaitMs) {
        m_nStartupWaitedMs += kStartupPollMs;
        QTimer::singleShot(kStartupPollMs, this, &BellCommands::Startup);
        return;
    }

    QStringList notices;
    if (!Ports::Instance().Speaker()) {
        const QString said = InstallSpeaker(WantedSpeaker());
        if (!said.isEmpty())
            notices << said;
    }
    if (EnsureLink()) {
        CalibrateDelays();
        SendResetPulse();
    } else {
        // The status bar has room for a line; the reason comes with the first doorbell command,
        // and in the port dialog.
        notices << tr("Порт звонка не открывается.");
        qWarning("%s", qPrintable(m_strLinkError));
    }
    if (!notices.isEmpty())
        Notice(notices.join(QStringLiteral("  ")));
}

bool BellCommands::SaveUnderAnotherName()
{
    CTinklaDoc* doc = m_pFrame->GetDocument();
    FileDialogRequest request;
    request.save = true;
    request.title = tr("Сохранить как");
    request.initialPath = doc->GetPathName().isEmpty() ? doc->GetTitle() + QStringLiteral(".fml")
                                                       : doc->GetPathName();
    request.defaultExtension = QStringLiteral("fml");
    request.filter = CTinklaDoc::tr(kSetFileFilter);
    const QString path = doc->GetPrompter().FileDialog(request);
    if (path.isEmpty())
        return true; // nothing saved, and the read goes on
    if (!doc->OnSaveDocument(path)) {
        ShowFailure(kMsgSaveFailed);
        return false;
    }
    doc->SetPathName(path, true);
    return true;
}

bool BellCommands::LinkOrSayWhyNot()
{
    if (EnsureLink())
        return true;
    ShowLinkFailure();
    return false;
}

void BellCommands::ShowFailure(const char* text)
{
    ShowMessage(m_pFrame->GetDocument()->GetPrompter(), text, MB_OK | MB_ICONHAND);
}

void BellCommands::Read()
{
    if (!LinkOrSayWhyNot())
        return;
    CTinklaDoc* doc = m_pFrame->GetDocument();
    const Answer answer =
        ShowMessage(doc->GetPrompter(), kMsgReplaceSet, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO)
        return;
    if (answer == IDYES && !SaveUnderAnotherName())
        return;

    CReadSetDlg dlg(m_pFrame);
    SendResetPulse();
    if (dlg.exec() != QDialog::Accepted) {
        // A failure, or the user ended it; a failure to close the read counts too. The set is
        // as it was.
        if (const char* failure = dlg.Failure())
            ShowFailure(failure);
        return;
    }
    const char* bad = dlg.ApplyTo(*doc);
    unsigned melodies = 0, notes = 0;
    dlg.GetFormat(&melodies, &notes);
    if (FormatIndex(melodies, notes) >= 0) // the set was replaced, in part too when bad
        doc->MarkAsNewUnsavedSet();
    m_pFrame->GetView()->OnInitialUpdate();
    if (bad)
        ShowFailure(bad);
    else
        Notice(tr("Набор мелодий считан из звонка."));
}

void BellCommands::Write()
{
    if (!LinkOrSayWhyNot())
        return;
    CTinklaDoc* doc = m_pFrame->GetDocument();
    if (ShowMessage(doc->GetPrompter(), kMsgWriteBell, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    CWriteSetDlg dlg(*doc, SettingVerifyWrite(), m_pFrame);
    SendResetPulse();
    dlg.exec();
    if (const char* failure = dlg.Failure()) {
        if (dlg.Differences().isEmpty())
            ShowFailure(failure);
        else
            doc->GetPrompter().MessageBox(MessageText(failure) + QStringLiteral("\n\n") +
                                              dlg.Differences().join(QLatin1Char('\n')),
                                          MB_OK | MB_ICONHAND);
        return;
    }
    // The simulated doorbell took the set but could not keep it: that is no success.
    if (const SimDoorbell* sim = ConnectedSim(); sim && !sim->FileError().isEmpty()) {
        doc->GetPrompter().MessageBox(sim->FileError(), MB_OK | MB_ICONHAND);
        return;
    }
    Notice(tr("Набор мелодий записан в звонок."));
}

void BellCommands::Test()
{
    if (!LinkOrSayWhyNot())
        return;
    CBellTestDlg dlg(m_pFrame);
    CalibrateDelays();
    SendResetPulse();
    dlg.SetStatus(CBellTestDlg::tr(kBellTestIdle));
    dlg.exec();
}

void BellCommands::Port()
{
    const QString connected = ConnectedPortText();
    CBellPortDlg dlg(connected.isEmpty() ? WantedPort() : connected,
                     m_strChosen.isEmpty() ? CTinklaApp::PortOverride() : QString(), m_pFrame);
    if (connected.isEmpty() && !m_strLinkError.isEmpty())
        dlg.ShowProblem(m_strLinkError);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QString text = dlg.PortText();
    SetSettingPort(text);
    m_strChosen = text;
    if (text == ConnectedPortText())
        return;

    // The old port goes first: the new one may be the same device or memory file.
    m_player.Stop();
    m_player.Attach(nullptr);
    DisconnectPort();
    m_strConnected.clear();
    if (!LinkOrSayWhyNot())
        return;
    CalibrateDelays();
    SendResetPulse();
    Notice(tr("Звонок подключается через %1.").arg(text));
}

void BellCommands::Sound()
{
    const QString installed = m_bOwnsSpeaker ? m_strSpeaker : WantedSpeaker();
    CSoundDlg dlg(installed, m_bSpeakerChosen ? QString() : CTinklaApp::SpeakerOverride(),
                  m_pFrame->GetDocument()->GetPrompter(), m_pFrame);
    if (dlg.exec() != QDialog::Accepted)
        return; // the speaker is the one that played before
    const QString text = dlg.SinkText();
    SetSettingSpeaker(text);
    m_bSpeakerChosen = true;
    // Opening a working sink again would start its WAV recording afresh, over what it holds; one
    // that failed is tried again (the driver may have been loaded since).
    if (text == installed && m_bOwnsSpeaker && m_bSpeakerWorks && !dlg.Replaced())
        return;
    const QString said = InstallSpeaker(text);
    Notice(said.isEmpty() ? tr("Звук выводится через %1.").arg(text) : said);
}

} // namespace tinkla
