#pragma once
// "Транспонирование": how many semitones to move the whole melody (-31..31, up is positive), and
// whether notes that would leave the doorbell's range move by octaves instead of refusing.
#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace tinkla
{

class CTransposeDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CTransposeDlg(QWidget* parent = nullptr);

    void SetValues(int semitones, bool fold);
    int Semitones() const;
    bool Fold() const;
    QSpinBox* SpinBox() const { return m_spin; }

private:
    QSpinBox* m_spin;
    QCheckBox* m_fold;
};

} // namespace tinkla
