#pragma once
// "Порт звонка": where the doorbell is reached — the simulated doorbell with its memory file, a
// parallel port through ppdev, a port address by direct I/O, or a bridge program — and a
// "Проверить" button that says whether a doorbell answers there and, if not, why. The choice is
// a PORT text in the --port grammar (devices/PortSpec.h); OK accepts only one that parses.
#include "ui/DialogButtons.h"

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tinkla
{

class CBellPortDlg : public QDialog
{
    Q_OBJECT
public:
    // current: the PORT text to show chosen. overridden: the --port of this run, or empty.
    CBellPortDlg(const QString& current, const QString& overridden, QWidget* parent = nullptr);

    // The PORT text of the controls as they stand.
    QString PortText() const;
    // Sets the controls from a PORT text; one that is none of the four kinds leaves them alone.
    void SetPortText(const QString& text);

    // "Проверить": asks the chosen port whether a doorbell answers; shows and returns the answer.
    bool OnCheck();
    QString CheckText() const { return m_answer.Text(); }
    // Shows why the port chosen now does not work, as a check would (until the choice changes).
    void ShowProblem(const QString& text) { m_answer.Show(false, text); }

    QPushButton* CheckButton() const { return m_btnCheck; }
    QLineEdit* SimPathEdit() const { return m_editSimPath; }
    // "Проверять после записи", remembered on OK.
    QCheckBox* VerifyCheck() const { return m_checkVerify; }

    // The ppdev device nodes present in dir (/dev/parport0, ...), in number order.
    static QStringList PpdevDevices(const QString& dir = QStringLiteral("/dev"));

public slots:
    void accept() override; // refuses, with the reason shown, a choice that does not parse

private:
    enum Kind { Sim, Ppdev, Direct, Exec, KindCount };
    Kind Chosen() const { return CheckedKind<Kind>(m_radio); }
    void UpdateControls();
    void OnBrowse();

    QRadioButton* m_radio[KindCount] = {};
    QLineEdit* m_editSimPath;
    QPushButton* m_btnBrowse;
    QLineEdit* m_editSimOptions;
    QComboBox* m_comboPpdev;
    QLineEdit* m_editAddress;
    QLineEdit* m_editCommand;
    QLabel* m_wndPortText;
    QPushButton* m_btnCheck;
    CheckAnswer m_answer;
    QCheckBox* m_checkVerify;
};

} // namespace tinkla
