#include "ui/CSetFormatDlg.h"

#include "document/SetFormat.h"
#include "ui/DialogButtons.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QWhatsThis>

namespace tinkla
{
namespace
{

// What each format means for the user: how many melodies, how long, and the trade between them.
const char* const kFormatHelp[kFormatCount] = {
    QT_TRANSLATE_NOOP(
        "tinkla::CSetFormatDlg",
        "32 мелодии, в каждой не больше 7 нот. Подходит для коротких сигналов: звонок хранит "
        "больше всего мелодий."),
    QT_TRANSLATE_NOOP("tinkla::CSetFormatDlg", "16 мелодий, в каждой не больше 15 нот."),
    QT_TRANSLATE_NOOP(
        "tinkla::CSetFormatDlg",
        "8 мелодий, в каждой не больше 31 ноты. Этот формат получает набор, с которым запускается "
        "программа."),
    QT_TRANSLATE_NOOP("tinkla::CSetFormatDlg", "4 мелодии, в каждой не больше 63 нот."),
    QT_TRANSLATE_NOOP("tinkla::CSetFormatDlg", "2 мелодии, в каждой не больше 127 нот."),
    QT_TRANSLATE_NOOP("tinkla::CSetFormatDlg",
                      "Одна мелодия длиной до 255 нот: вся память звонка отдана ей."),
};

} // namespace

CSetFormatDlg::CSetFormatDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint),
      m_group(new QButtonGroup(this))
{
    setWindowTitle(tr("Выбор формата набора мелодий"));

    auto* box = new QGroupBox(tr("Возможные форматы набора мелодий"));
    auto* grid = new QGridLayout(box);
    grid->setHorizontalSpacing(24);
    // The memory of the doorbell holds 256 notes and end marks; every format fills it exactly,
    // so the left column trades melodies for length and the right one continues the trade.
    for (int i = 0; i < kFormatCount; ++i) {
        auto* radio = new QRadioButton(SetFormatLabel(i));
        radio->setWhatsThis(tr(kFormatHelp[i]));
        m_group->addButton(radio, i);
        grid->addWidget(radio, i % 3, i / 3);
    }

    LayOutDialog(this, box);
}

void CSetFormatDlg::showEvent(QShowEvent* event)
{
    if (QAbstractButton* b = m_group->button(m_nFormat)) {
        b->setChecked(true);
        b->setFocus();
    }
    QDialog::showEvent(event);
}

void CSetFormatDlg::accept()
{
    m_nFormat = m_group->checkedId();
    QDialog::accept();
}

void CSetFormatDlg::keyPressEvent(QKeyEvent* event)
{
    // F1 explains the focused choice in place, as the caption's help button does on a click.
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        QWidget* focus = focusWidget();
        if (focus && !focus->whatsThis().isEmpty())
            QWhatsThis::showText(focus->mapToGlobal(focus->rect().bottomLeft()), focus->whatsThis(),
                                 focus);
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSetFormatDlg::contextMenuEvent(QContextMenuEvent* event)
{
    QWidget* child = childAt(event->pos());
    while (child && child != this && child->whatsThis().isEmpty())
        child = child->parentWidget();
    if (child && child != this)
        QWhatsThis::showText(event->globalPos(), child->whatsThis(), child);
}

} // namespace tinkla
