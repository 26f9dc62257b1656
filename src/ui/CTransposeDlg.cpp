#include "ui/CTransposeDlg.h"

#include "model/Note.h"
#include "ui/DialogButtons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QSpinBox>

namespace tinkla
{

CTransposeDlg::CTransposeDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_spin(new QSpinBox), m_fold(new QCheckBox(tr("Вписать по &октавам")))
{
    setWindowTitle(tr("Транспонирование"));
    m_spin->setRange(-(kToneCount - 1), kToneCount - 1);
    m_spin->setSuffix(tr(" полутонов"));
    m_spin->setWhatsThis(tr("На сколько полутонов сдвинуть всю мелодию: "
                            "вверх — положительное число, вниз — отрицательное."));
    m_fold->setWhatsThis(tr("Ноты, которые вышли бы за пределы звонка, переносятся "
                            "на октаву; иначе мелодия не изменится."));
    auto* box = new QGroupBox(tr("Сдвиг мелодии"));
    auto* form = new QFormLayout(box);
    form->addRow(tr("&Сдвиг:"), m_spin);
    form->addRow(m_fold);
    LayOutDialog(this, box);
    m_spin->setFocus();
}

void CTransposeDlg::SetValues(int semitones, bool fold)
{
    m_spin->setValue(semitones);
    m_fold->setChecked(fold);
    m_spin->selectAll();
}

int CTransposeDlg::Semitones() const
{
    return m_spin->value();
}

bool CTransposeDlg::Fold() const
{
    return m_fold->isChecked();
}

} // namespace tinkla
