#include "ui/CBellTestDlg.h"

#include "bell/Bus.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tinkla
{

namespace
{
const char* const kTestText = QT_TRANSLATE_NOOP("tinkla::CBellTestDlg", "Тест");
const char* const kStopText = QT_TRANSLATE_NOOP("tinkla::CBellTestDlg", "Стоп");
} // namespace

CBellTestDlg::CBellTestDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_wndStatus(new QLabel(this)), m_btnTest(new QPushButton(tr(kTestText), this)),
      m_btnCancel(new QPushButton(tr("Отмена"), this))
{
    setWindowTitle(tr("Тестирование звонка"));

    // Room for the longer of the two texts, so the dialog keeps its size when the text changes.
    const QFontMetrics fm(m_wndStatus->font());
    m_wndStatus->setMinimumWidth(
        qMax(fm.horizontalAdvance(tr(kBellTestIdle)), fm.horizontalAdvance(tr(kBellTestPlaying))) +
        fm.averageCharWidth() * 2);
    m_wndStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_btnTest->setDefault(true);
    m_btnCancel->setAutoDefault(false);
    const int buttonWidth = qMax(m_btnTest->sizeHint().width(), m_btnCancel->sizeHint().width());
    m_btnTest->setMinimumWidth(buttonWidth);
    m_btnCancel->setMinimumWidth(buttonWidth);

    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setHorizontalSpacing(fm.averageCharWidth() * 3);
    grid->addWidget(m_wndStatus, 0, 0);
    grid->addWidget(m_btnTest, 0, 1);
    grid->addWidget(m_btnCancel, 1, 1);
    grid->setRowStretch(2, 1);

    connect(m_btnTest, &QPushButton::clicked, this, &CBellTestDlg::OnTest);
    connect(m_btnCancel, &QPushButton::clicked, this, &CBellTestDlg::reject);
    m_btnTest->setFocus();
}

void CBellTestDlg::SetStatus(const QString& status)
{
    m_strStatus = status;
    m_wndStatus->setText(status);
}

void CBellTestDlg::OnTest()
{
    if (m_btnTest->text() == tr(kTestText)) {
        m_btnTest->setText(tr(kStopText));
        SetStatus(tr(kBellTestPlaying));
        // Shown before the pulse blocks the thread for its 58 ms.
        m_wndStatus->repaint();
        SendPlayPulse();
    } else {
        m_btnTest->setText(tr(kTestText));
        SetStatus(tr(kBellTestIdle));
        m_wndStatus->repaint();
        SendResetPulse();
    }
}

void CBellTestDlg::reject()
{
    SendResetPulse();
    QDialog::reject();
}

} // namespace tinkla
