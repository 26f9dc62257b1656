#include "ui/CAboutDlg.h"

#include "ui/DialogButtons.h"
#include "ui/Icons.h"

#include <QHBoxLayout>
#include <QLabel>

namespace tinkla
{

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(tr("О программе \"Tinkla\""));

    auto* icon = new QLabel;
    icon->setPixmap(ApplicationIcon().pixmap(QSize(64, 64), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* text = new QLabel(tr("Tinkla. Версия 1.0\n\nПрограмма предназначена:\n"
                               " - для создания одноголосых мелодий;\n"
                               " - для записи мелодий в музыкальный звонок."));
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* body = new QWidget;
    auto* row = new QHBoxLayout(body);
    row->setSpacing(18);
    row->addWidget(icon);
    row->addWidget(text, 1);
    LayOutDialog(this, body, false);
}

} // namespace tinkla
