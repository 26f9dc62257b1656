#pragma once
// "Вывод звука": where the speaker's tone goes — the sound card through ALSA, the PC speaker
// through the input layer, the real timer ports, a WAV file, or nowhere — and a "Проверить"
// button that installs the choice and sounds a short tone on it, or says why it cannot. The
// choice is a SINK text in the --speaker grammar (devices/SoundSink.h); OK accepts only one that
// parses. The caller stores and installs the confirmed choice, and puts back what played before
// when the dialog is cancelled after a check.
#include "ui/DialogButtons.h"

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace tinkla
{

class Prompter;

class CSoundDlg : public QDialog
{
    Q_OBJECT
public:
    // current: the SINK text to show chosen. overridden: the --speaker of this run, or empty.
    // prompter: asks for the WAV file.
    CSoundDlg(const QString& current, const QString& overridden, Prompter& prompter,
              QWidget* parent = nullptr);

    // The SINK text of the controls as they stand.
    QString SinkText() const;
    // Sets the controls from a SINK text; one that is none of the five kinds leaves them alone.
    void SetSinkText(const QString& text);

    // "Проверить": installs the chosen sink as the speaker and sounds the test tone on it; shows
    // and returns whether that worked.
    bool OnCheck();
    QString CheckText() const { return m_answer.Text(); }
    // Whether a check has replaced the speaker that was installed when the dialog opened.
    bool Checked() const { return m_bChecked; }

    QPushButton* CheckButton() const { return m_btnCheck; }
    QPushButton* BrowseButton() const { return m_btnBrowse; }

    // The test tone: tone code 13 (A4, 440 Hz) for this long (ms).
    static constexpr int kTestToneMs = 300;

public slots:
    void accept() override;         // refuses, with the reason shown, a choice that does not parse
    void done(int result) override; // the test tone ends with the dialog

private:
    enum Kind { Audio, Pcspkr, RealPorts, Wav, None, KindCount };
    Kind Chosen() const { return CheckedKind<Kind>(m_radio); }
    void UpdateControls();
    void OnBrowse();
    void EndTone();

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
    bool m_bChecked = false;
};

} // namespace tinkla
