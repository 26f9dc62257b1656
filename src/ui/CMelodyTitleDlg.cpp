#include "ui/CMelodyTitleDlg.h"

#include "platform/Cp1251.h"
#include "ui/DialogButtons.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tinkla
{

QValidator::State Cp1251Validator::validate(QString& input, int&) const
{
    return IsCp1251Encodable(input) ? Acceptable : Invalid;
}

CMelodyTitleDlg::CMelodyTitleDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_edit(new QLineEdit)
{
    setWindowTitle(tr("Задание названия мелодии"));

    m_edit->setMaxLength(kMaxTitleChars);
    m_edit->setValidator(new Cp1251Validator(m_edit));
    m_edit->setClearButtonEnabled(true);
    m_edit->setWhatsThis(
        tr("Название рисуется над нотным станом и хранится вместе с мелодией в файлах .fml и .mel. "
           "Не длиннее 30 знаков; в звонок не записывается."));
    // Room for the whole 30 characters of a typical title without scrolling.
    m_edit->setMinimumWidth(m_edit->fontMetrics().averageCharWidth() * (kMaxTitleChars + 4));

    auto* box = new QGroupBox(tr("Название мелодии"));
    auto* boxLayout = new QVBoxLayout(box);
    boxLayout->addWidget(m_edit);

    LayOutDialog(this, box);
}

void CMelodyTitleDlg::showEvent(QShowEvent* event)
{
    // A title read from a file may be longer than the dialog takes. Cutting it here would let a
    // plain OK shorten it unseen; it is shown whole and refused on OK until the user shortens it.
    m_edit->setMaxLength(qMax(kMaxTitleChars, int(m_strMelodyTitle.size())));
    m_edit->setText(m_strMelodyTitle);
    m_edit->selectAll();
    m_edit->setFocus();
    QDialog::showEvent(event);
}

void CMelodyTitleDlg::accept()
{
    if (m_edit->text().size() > kMaxTitleChars) {
        QMessageBox::information(this, QStringLiteral("Tinkla"),
                                 tr("Название мелодии должно быть не длиннее %1 "
                                    "знаков.")
                                     .arg(kMaxTitleChars));
        m_edit->setSelection(kMaxTitleChars, int(m_edit->text().size()) - kMaxTitleChars);
        m_edit->setFocus();
        return;
    }
    m_strMelodyTitle = m_edit->text();
    QDialog::accept();
}

} // namespace tinkla
