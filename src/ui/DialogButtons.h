#pragma once
// The layout the program's small dialogs share: one group box above centred OK and "Отмена"
// buttons, fixed to the size its contents need; and the parts of the dialogs that choose a device
// and check it.
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>
#include <cstddef>

namespace tinkla
{

// cancel: whether the dialog offers "Отмена" beside OK.
inline QDialogButtonBox* LayOutDialog(QDialog* dialog, QWidget* body, bool cancel = true)
{
    auto* buttons = new QDialogButtonBox(cancel ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                                : QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    if (cancel)
        buttons->button(QDialogButtonBox::Cancel)
            ->setText(QCoreApplication::translate("DialogButtons", "Отмена"));
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(body);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return buttons;
}

// The label of a field that belongs to the radio button above it, set in under the button's text.
inline QLabel* IndentedLabel(const QString& text, QWidget* buddy)
{
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    label->setContentsMargins(label->fontMetrics().averageCharWidth() * 3, 0, 0, 0);
    return label;
}

// A line of plain text above the choices, wrapped to the dialog's width.
inline QLabel* WrappedNote(const QString& text)
{
    auto* note = new QLabel(text);
    note->setWordWrap(true);
    note->setTextFormat(Qt::PlainText);
    return note;
}

// The kind whose radio button is checked; the first when none is.
template <class Kind, size_t N> Kind CheckedKind(QRadioButton* const (&radios)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (radios[i]->isChecked())
            return static_cast<Kind>(i);
    return static_cast<Kind>(0);
}

// The answer beside a "Проверить" button: an icon, and the text shown whole (wrapped, the dialog
// growing for it) and selectable, so the command that mends a fault can be copied. Its labels
// belong to the dialog once Row() has laid them out.
class CheckAnswer
{
public:
    QHBoxLayout* Row(QPushButton* check)
    {
        auto* row = new QHBoxLayout;
        row->addWidget(check, 0, Qt::AlignTop);
        row->addWidget(m_icon, 0, Qt::AlignTop);
        row->addWidget(m_text, 1);
        check->setAutoDefault(false);
        m_text->setWordWrap(true);
        m_text->setTextFormat(Qt::PlainText);
        m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        // Two lines of answer fit without the dialog growing when the answer comes.
        m_text->setMinimumHeight(m_text->fontMetrics().lineSpacing() * 3);
        return row;
    }
    void Show(bool ok, const QString& text)
    {
        const QStyle* style = m_icon->style();
        const int size = style->pixelMetric(QStyle::PM_SmallIconSize);
        m_icon->setPixmap(
            style->standardIcon(ok ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxCritical)
                .pixmap(size, size));
        m_text->setText(text);
    }
    // An answer about another choice would mislead.
    void Clear()
    {
        m_icon->clear();
        m_text->clear();
    }
    QString Text() const { return m_text->text(); }

private:
    QLabel* m_icon = new QLabel;
    QLabel* m_text = new QLabel;
};

} // namespace tinkla
