#pragma once
// "Тестирование звонка": makes the doorbell play (the play pulse) and stop (the reset pulse), so
// the user hears that it is connected; the doorbell's memory is not touched. The test button's
// caption is the dialog's only state: "Тест" while the doorbell is idle, "Стоп" while it is
// meant to be playing. Every way out (Отмена, Esc, the close box) sends one reset pulse, so the
// doorbell is never left playing.
//
// The pulses write the port without reading anything back: nothing here can fail, and the
// status only says what the doorbell should be doing.
#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace tinkla
{

inline constexpr const char* kBellTestIdle =
    QT_TRANSLATE_NOOP("tinkla::CBellTestDlg", "Нажмите кнопку \"Тест\".");
inline constexpr const char* kBellTestPlaying =
    QT_TRANSLATE_NOOP("tinkla::CBellTestDlg", "Звонок должен играть мелодию...");

class CBellTestDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CBellTestDlg(QWidget* parent = nullptr);

    // The status text, shown at once; empty after construction.
    void SetStatus(const QString& status);
    QString Status() const { return m_strStatus; }
    QPushButton* TestButton() const { return m_btnTest; }
    QPushButton* CancelButton() const { return m_btnCancel; }

    // The test button: "Тест" sends the play pulse and becomes "Стоп"; "Стоп" the reset pulse.
    void OnTest();

public slots:
    void reject() override; // the reset pulse, then the dialog ends

private:
    QString m_strStatus;
    QLabel* m_wndStatus;
    QPushButton* m_btnTest;
    QPushButton* m_btnCancel;
};

} // namespace tinkla
