#pragma once
// "Вывод звука": where the speaker's tone goes — the sound card through ALSA, the PC speaker
// through the input layer, the real timer ports, a WAV file, or nowhere — and a "Проверить"
// button that installs the choice and sounds a short tone on it, or says why it cannot. The
// choice is a SINK text in the --speaker grammar (devices/SoundSink.h); OK accepts only one that
// parses. A check sets the speaker that played when the dialog opened aside, silent but open, so
// that Cancel can put it back as it was (a WAV recording goes on in its file); the caller stores
// and installs a confirmed choice.
#include "devices/SoundSink.h"
#include "ui/DialogButtons.h"

#include <QDialog>
#include <QString>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tinkla
{

class PortDevice;
class Prompter;

class CSoundDlg : public QDialog
{
    Q_OBJECT
public:
    // current: the SINK text to show chosen. overridden: the --speaker of this run, or empty.
    // prompter: asks for the WAV file.
    CSoundDlg(const QString& current, const QString& overridden, Prompter& prompter,
              QWidget* parent = nullptr);
    ~CSoundDlg() override;

    // The SINK text of the controls as they stand.
    QString SinkText() const;
    // Sets the controls from a SINK text; one that is none of the five kinds leaves them alone.
    void SetSinkText(const QString& text);

    // "Проверить": installs the chosen sink as the speaker and sounds the test tone on it; shows
    // and returns whether that worked. The choice the dialog opened with, when it works, is
    // checked on the speaker as it is, without opening its device or file again.
    bool OnCheck();
    QString CheckText() const { return m_answer.Text(); }
    // Whether the speaker now installed is not the one the dialog opened with (it was closed on
    // OK; Cancel puts it back).
    bool Replaced() const { return m_bReplaced; }

    QPushButton* CheckButton() const { return m_btnCheck; }
    QPushButton* BrowseButton() const { return m_btnBrowse; }

    // The test tone: tone code 13 (A4, 440 Hz) for this long (ms).
    static constexpr int kTestToneMs = 300;

public slots:
    void accept() override; // refuses, with the reason shown, a choice that does not parse
    // The test tone ends with the dialog; Cancel puts back the speaker a check set aside, OK
    // closes it.
    void done(int result) override;

private:
    // In the order of SinkSpec::Kind, so that a parsed kind picks its radio button.
    enum Kind {
        Audio = SinkSpec::Audio,
        Pcspkr = SinkSpec::Pcspkr,
        RealPorts = SinkSpec::RealPorts,
        Wav = SinkSpec::Wav,
        None = SinkSpec::None,
        KindCount
    };
    Kind Chosen() const { return CheckedKind<Kind>(m_radio); }
    void UpdateControls();
    void OnBrowse();
    void EndTone();
    bool InstalledWorks() const;

    Prompter& m_prompter;
    QRadioButton* m_radio[KindCount] = {};
    QLineEdit* m_editAlsa;
    QLineEdit* m_editPcspkr;
    QLineEdit* m_editWav;
    QPushButton* m_btnBrowse;
    QLabel* m_wndSinkText;
    QPushButton* m_btnCheck;
    CheckAnswer m_answer;
    QTimer* m_pToneTimer;
    QString m_strInstalled; // the SINK text the dialog opened with, as SinkText() gives it
    std::unique_ptr<PortDevice> m_pOriginal; // set aside while m_bReplaced
    bool m_bReplaced = false;
};

} // namespace tinkla
