#pragma once
// "Выбор формата набора мелодий": the six set formats as radio buttons in two columns. Each
// choice explains itself on F1, on a right click and in What's This mode.
#include <QDialog>

class QButtonGroup;

namespace tinkla
{

class CSetFormatDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CSetFormatDlg(QWidget* parent = nullptr);

    // The chosen format, an index into kSetFormats (0..5); -1 for none. Set it before exec();
    // read it after exec() returned Accepted.
    int m_nFormat = -1;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QButtonGroup* m_group;
};

} // namespace tinkla
