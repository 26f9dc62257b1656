#pragma once
// "Воспроизведение мелодии": plays the current melody of a set on the speaker, one 55 ms tick at a
// time, showing the number, tone and duration of the note being played. Modal; plays once: every
// way out ends the dialog, and none of them leaves a tone sounding.
#include <QDialog>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tinkla
{

class CMelody;
class CTinklaDoc;

// Period of the playback timer: one sequencer tick (ms).
constexpr int PLAY_TICK_MS = 55;

class CPlayDlg : public QDialog
{
    Q_OBJECT
public:
    // doc: the set whose current melody plays; looked up anew at every step, never owned.
    explicit CPlayDlg(CTinklaDoc* doc, QWidget* parent = nullptr);
    ~CPlayDlg() override;

    // Start at the selected note; set before exec(), read back after it. Without a selected
    // note the check box is cleared and disabled, but this value is handed back unchanged.
    void SetFromSelected(bool b);
    bool GetFromSelected() const { return m_bFromSelected; }

    // exec(): Accepted when the melody played to its end, Rejected when stopped or closed.

    // One timer tick: ends the dialog (Accepted) once the melody has ended, else counts a tick,
    // advances the sequencer and shows the note. Public so that tests step it tick by tick.
    void OnTimer();
    // The Play/Stop button.
    void OnPlay();
    bool IsPlaying() const { return m_timer.isActive(); }

    // The three value texts as shown: note number (1-based), tone with octave, duration name.
    QString NoteNumberText() const;
    QString ToneText() const;
    QString DurationText() const;
    QPushButton* PlayButton() const { return m_btnPlay; }
    QCheckBox* FromSelectedBox() const { return m_btnFromSelected; }

    // "Соль#, Первая октава" for tone code 12; tone 0..31.
    static QString ToneName(int tone);

signals:
    // The note now sounding (0-based), or -1 once the playback has stopped.
    void playingNote(int index);

public slots:
    // Every end of the dialog passes here: a running playback is stopped first (timer, then
    // StopPlay), so Esc, the close box and an application quit all silence the speaker.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CMelody* Melody() const;
    void ShowPlayedNote();
    void StopIfPlaying();

    QPointer<CTinklaDoc> m_pDoc;
    QCheckBox* m_btnFromSelected = nullptr;
    QPushButton* m_btnPlay = nullptr;
    QLabel* m_wndNoteNumber = nullptr;
    QLabel* m_wndTone = nullptr;
    QLabel* m_wndDuration = nullptr;
    QString m_strNoteNumber;
    QString m_strTone;
    QString m_strDuration;
    bool m_bFromSelected = false;
    QTimer m_timer;
};

// The editor's play command: hands the set's remembered start-from-selected choice to the
// dialog, runs it, and stores the choice back whatever the result. Returns IDOK when the melody
// played to its end, IDCANCEL when the user stopped or closed it (the caller then scrolls to the
// selected note).
// follow, when given, hears every note as it starts sounding and -1 at the end. The dialog opens
// beside the parent's window, or failing room there beside avoid (global, the staff as shown),
// so that it hides none of the staff.
int RunPlayCommand(CTinklaDoc* doc, QWidget* parent, const std::function<void(int)>& follow = {},
                   QRect avoid = {});

} // namespace tinkla
