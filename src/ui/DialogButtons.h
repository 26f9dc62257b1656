#pragma once
// The layout the program's small dialogs share: one group box above centred OK and "Отмена"
// buttons, fixed to the size its contents need.
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
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

} // namespace tinkla
