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
      m_spin(new QSpinBox), m_fold(new QCheckBox(QStringLiteral("Вписать по &октавам")))
{
    setWindowTitle(QStringLiteral("Транспонирование"));
    m_spin->setRange(-(kToneCount - 1), kToneCount - 1);
    m_spin->setSuffix(QStringLiteral(" полутонов"));
    m_spin->setWhatsThis(QStringLiteral("На сколько полутонов сдвинуть всю мелодию: "
                                        "вверх — положительное число, вниз — отрицательное."));
    m_fold->setWhatsThis(QStringLiteral("Ноты, которые вышли бы за пределы звонка, переносятся "
                                        "на октаву; иначе мелодия не изменится."));
    auto* box = new QGroupBox(QStringLiteral("Сдвиг мелодии"));
    auto* form = new QFormLayout(box);
    form->addRow(QStringLiteral("&Сдвиг:"), m_spin);
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
