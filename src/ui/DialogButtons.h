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
#include <QStyle>
#include <QVBoxLayout>

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

// The "Проверить" button with its answer beside it: an icon, and the text shown whole (wrapped,
// the dialog growing for it) and selectable, so the command that mends a fault can be copied.
inline QHBoxLayout* CheckResultRow(QPushButton* check, QLabel* icon, QLabel* result)
{
    auto* row = new QHBoxLayout;
    row->addWidget(check, 0, Qt::AlignTop);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(result, 1);
    check->setAutoDefault(false);
    result->setWordWrap(true);
    result->setTextFormat(Qt::PlainText);
    result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Two lines of answer fit without the dialog growing when the answer comes.
    result->setMinimumHeight(result->fontMetrics().lineSpacing() * 3);
    return row;
}

inline void ShowCheckResult(QLabel* icon, QLabel* result, bool ok, const QString& text)
{
    const QStyle* style = icon->style();
    const int size = style->pixelMetric(QStyle::PM_SmallIconSize);
    icon->setPixmap(
        style->standardIcon(ok ? QStyle::SP_DialogApplyButton : QStyle::SP_MessageBoxCritical)
            .pixmap(size, size));
    result->setText(text);
}

} // namespace tinkla
