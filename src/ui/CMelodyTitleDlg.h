#pragma once
// "Задание названия мелодии": one line of at most 30 characters, each one code page 1251 can
// hold (the title is stored in that code page). An empty title is allowed.
#include <QDialog>
#include <QValidator>

class QLineEdit;

namespace tinkla
{

constexpr int kMaxTitleChars = 30;

// Accepts only text whose every character has a code page 1251 byte.
class Cp1251Validator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

class CMelodyTitleDlg : public QDialog
{
    Q_OBJECT
public:
    explicit CMelodyTitleDlg(QWidget* parent = nullptr);

    // The title: set it before exec(), read it after exec() returned Accepted.
    QString m_strMelodyTitle;

    void accept() override;
    QLineEdit* Edit() const { return m_edit; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* m_edit;
};

} // namespace tinkla
