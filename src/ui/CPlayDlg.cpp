#include "ui/CPlayDlg.h"

#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace tinkla
{

namespace
{
const char* const kPlayText = QT_TRANSLATE_NOOP("tinkla::CPlayDlg", "Играть");
const char* const kStopText = QT_TRANSLATE_NOOP("tinkla::CPlayDlg", "Стоп");
// The number shown is at most the longest melody's count.
const char* const kWidestNumber = "255";
} // namespace

QString CPlayDlg::ToneName(int tone)
{
    tone = qBound(0, tone, kToneCount - 1);
    return tinkla::ToneName(tone);
}

CPlayDlg::CPlayDlg(CTinklaDoc* doc, QWidget* parent) : QDialog(parent), m_pDoc(doc)
{
    setWindowTitle(tr("Воспроизведение мелодии"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* labelNumber = new QLabel(tr("Номер ноты"), this);
    auto* labelTone = new QLabel(tr("Тон"), this);
    auto* labelDuration = new QLabel(tr("Длительность"), this);
    m_wndNoteNumber = new QLabel(this);
    m_wndTone = new QLabel(this);
    m_wndDuration = new QLabel(this);

    // Wide enough for the longest text each value can take, so that nothing is clipped and the
    // dialog does not change its size while it plays.
    const QFontMetrics fm(m_wndTone->font());
    int valueWidth = fm.horizontalAdvance(QString::fromUtf8(kWidestNumber));
    for (int tone = 0; tone < kToneCount; ++tone)
        valueWidth = qMax(valueWidth, fm.horizontalAdvance(ToneName(tone)));
    for (int duration = 0; duration < kDurationCount; ++duration)
        valueWidth = qMax(valueWidth, fm.horizontalAdvance(DurationName(duration)));
    for (QLabel* value : {m_wndNoteNumber, m_wndTone, m_wndDuration}) {
        value->setMinimumWidth(valueWidth + fm.averageCharWidth());
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    m_btnPlay = new QPushButton(tr(kPlayText), this);
    // Not the default button, not even while it has the focus: Enter never plays or stops.
    m_btnPlay->setAutoDefault(false);
    m_btnPlay->setDefault(false);
    const QFontMetrics bfm(m_btnPlay->font());
    m_btnPlay->setMinimumWidth(
        qMax(m_btnPlay->sizeHint().width(),
             bfm.horizontalAdvance(tr(kPlayText)) + bfm.averageCharWidth() * 6));

    m_btnFromSelected = new QCheckBox(tr("Начать с выделенной ноты"), this);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(fm.averageCharWidth() * 3);
    grid->addWidget(labelNumber, 0, 0);
    grid->addWidget(m_wndNoteNumber, 0, 1);
    grid->addWidget(labelTone, 1, 0);
    grid->addWidget(m_wndTone, 1, 1);
    grid->addWidget(labelDuration, 2, 0);
    grid->addWidget(m_wndDuration, 2, 1);
    grid->addWidget(m_btnPlay, 0, 2, Qt::AlignTop);
    grid->addWidget(m_btnFromSelected, 3, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(PLAY_TICK_MS);
    connect(&m_timer, &QTimer::timeout, this, &CPlayDlg::OnTimer);
    connect(m_btnPlay, &QPushButton::clicked, this, &CPlayDlg::OnPlay);
    // clicked, not toggled: only the user's own click changes the remembered choice.
    connect(m_btnFromSelected, &QCheckBox::clicked, this,
            [this](bool checked) { m_bFromSelected = checked; });

    // Opening: the box shows the remembered choice only when there is a selected note to start
    // from; the choice itself is kept either way.
    const CMelody* melody = Melody();
    if (!melody || melody->GetSelected() < 0) {
        m_btnFromSelected->setChecked(false);
        m_btnFromSelected->setEnabled(false);
    } else {
        m_btnFromSelected->setChecked(m_bFromSelected);
    }
    m_btnPlay->setEnabled(melody && melody->GetNoteCount() > 0);
    m_btnPlay->setFocus();
}

CPlayDlg::~CPlayDlg()
{
    StopIfPlaying();
}

void CPlayDlg::SetFromSelected(bool b)
{
    m_bFromSelected = b;
    // The box reflects the choice only while it can be used: a note is selected, not yet playing.
    if (m_btnFromSelected->isEnabled())
        m_btnFromSelected->setChecked(b);
}

CMelody* CPlayDlg::Melody() const
{
    return m_pDoc ? m_pDoc->GetCurrentMelody() : nullptr;
}

QString CPlayDlg::NoteNumberText() const
{
    return m_wndNoteNumber->text();
}

QString CPlayDlg::ToneText() const
{
    return m_wndTone->text();
}

QString CPlayDlg::DurationText() const
{
    return m_wndDuration->text();
}

void CPlayDlg::ShowPlayedNote()
{
    const CMelody* melody = Melody();
    if (!melody)
        return;
    const int i = melody->GetPlayIndex();
    if (i < 0 || i >= melody->GetNoteCount())
        return;
    const BYTE code = melody->GetNoteCode(i);
    const int duration = code & 7;
    m_strNoteNumber = QString::number(i + 1);
    m_strTone = ToneName(code >> 3);
    m_strDuration = DurationName(duration);
    m_wndNoteNumber->setText(m_strNoteNumber);
    m_wndTone->setText(m_strTone);
    m_wndDuration->setText(m_strDuration);
    emit playingNote(i);
}

void CPlayDlg::OnPlay()
{
    CMelody* melody = Melody();
    if (m_btnPlay->text() == tr(kPlayText)) {
        if (!melody || melody->GetNoteCount() == 0)
            return;
        // The box was filled only when a note is selected, so its state is a valid request.
        const bool fromSelected = m_btnFromSelected->isChecked();
        m_btnFromSelected->setEnabled(false);
        m_btnPlay->setText(tr(kStopText));
        m_timer.start();
        melody->PlayStep(true, fromSelected);
        ShowPlayedNote();
        return;
    }
    reject(); // done() stops the timer and the melody first
}

void CPlayDlg::OnTimer()
{
    CMelody* melody = Melody();
    if (!melody || melody->IsPlayEnded()) {
        m_timer.stop();
        emit playingNote(-1);
        accept();
        return;
    }
    melody->Tick();
    melody->PlayStep(false, false);
    ShowPlayedNote();
}

void CPlayDlg::StopIfPlaying()
{
    if (!m_timer.isActive())
        return;
    m_timer.stop();
    emit playingNote(-1);
    if (CMelody* melody = Melody())
        melody->StopPlay();
    else
        CNote::SoundOff(); // the set went away under us; the speaker must not keep sounding
}

void CPlayDlg::done(int result)
{
    StopIfPlaying();
    QDialog::done(result);
}

void CPlayDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter ends nothing here: the dialog has no OK button, and a stray Enter must not leave a
    // melody half played. Esc falls through to reject(), which stops like the Stop button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

namespace
{

// Beside the parent's whole window if the screen has room there, else beside avoid (the staff
// within it): right, left, below or above, the first place where the whole dialog fits on the
// screen. None: left where Qt puts it.
void PlaceBeside(QDialog* dlg, QWidget* parent, QRect avoid)
{
    if (!parent || !parent->window()->screen())
        return;
    dlg->adjustSize();
    const QRect screen = parent->window()->screen()->availableGeometry();
    const QSize size = dlg->frameGeometry().size().expandedTo(dlg->sizeHint());
    const int gap = 8;
    for (const QRect& r : {parent->window()->frameGeometry(), avoid}) {
        if (r.isEmpty())
            continue;
        const QPoint candidates[] = {
            {r.right() + gap, r.top()},
            {r.left() - gap - size.width(), r.top()},
            {r.left(), r.bottom() + gap},
            {r.left(), r.top() - gap - size.height()},
        };
        for (const QPoint& at : candidates) {
            if (screen.contains(QRect(at, size))) {
                dlg->move(at);
                return;
            }
        }
    }
}

} // namespace

int RunPlayCommand(CTinklaDoc* doc, QWidget* parent, const std::function<void(int)>& follow,
                   QRect avoid)
{
    if (!doc)
        return IDCANCEL;
    // On the heap and watched: should the parent window go away while the dialog runs (the
    // program closing), it takes the dialog with it, and nothing here may touch it afterwards.
    const QPointer<CTinklaDoc> guardDoc(doc);
    const QPointer<CPlayDlg> dlg = new CPlayDlg(doc, parent);
    dlg->SetFromSelected(doc->GetPlayFromSelected());
    if (follow)
        QObject::connect(dlg.data(), &CPlayDlg::playingNote, dlg.data(), follow);
    PlaceBeside(dlg.data(), parent, avoid);
    const int code = dlg->exec();
    if (!dlg)
        return IDCANCEL;
    if (guardDoc)
        doc->SetPlayFromSelected(dlg->GetFromSelected());
    delete dlg.data();
    return code == QDialog::Accepted ? IDOK : IDCANCEL;
}

} // namespace tinkla
