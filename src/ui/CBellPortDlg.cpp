#include "ui/CBellPortDlg.h"

#include "devices/PortSpec.h"
#include "platform/Settings.h"
#include "ui/DialogButtons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

namespace tinkla
{

namespace
{

const char* const kSimOptionsHelp = QT_TRANSLATE_NOOP(
    "tinkla::CBellPortDlg",
    "Неисправности, которые эмулятор изображает по просьбе, через запятую: absent (звонка нет), "
    "sda-low или scl-low (линия данных или тактов замкнута на землю), busy (звонок не "
    "заканчивает запись), stretch=МС (звонок задерживает такты), twr=МС (время записи страницы, "
    "обычно 5).");

} // namespace

QStringList CBellPortDlg::PpdevDevices(const QString& dir)
{
    QStringList names = QDir(dir).entryList({QStringLiteral("parport*")},
                                            QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    // parport2 before parport10.
    const auto number = [](const QString& name) { return name.mid(7).toInt(); };
    std::sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        return number(a) != number(b) ? number(a) < number(b) : a < b;
    });
    QStringList paths;
    for (const QString& name : names)
        paths << QDir(dir).filePath(name);
    return paths;
}

CBellPortDlg::CBellPortDlg(const QString& current, const QString& overridden, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_editSimPath(new QLineEdit), m_btnBrowse(new QPushButton(tr("Обзор..."))),
      m_editSimOptions(new QLineEdit), m_comboPpdev(new QComboBox), m_editAddress(new QLineEdit),
      m_editCommand(new QLineEdit), m_wndPortText(new QLabel),
      m_btnCheck(new QPushButton(tr("&Проверить"))),
      m_checkVerify(new QCheckBox(tr("&Проверять после записи")))
{
    setWindowTitle(tr("Порт звонка"));
    const int em = fontMetrics().averageCharWidth();

    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    if (!overridden.isEmpty())
        column->addWidget(
            WrappedNote(tr("На этот запуск порт задан в командной строке: --port %1. Порт, "
                           "выбранный здесь, будет запомнен и начнет действовать сразу.")
                            .arg(overridden)));

    auto* box = new QGroupBox(tr("Звонок подключен через"));
    auto* grid = new QGridLayout(box);
    auto* group = new QButtonGroup(this);
    const char* const kinds[KindCount] = {QT_TR_NOOP("&Эмулятор звонка (без оборудования)"),
                                          QT_TR_NOOP("Параллельный порт через &ppdev"),
                                          QT_TR_NOOP("Прямой &доступ к порту (только для root)"),
                                          QT_TR_NOOP("Программу-&мост")};
    for (int i = 0; i < KindCount; ++i) {
        m_radio[i] = new QRadioButton(tr(kinds[i]));
        group->addButton(m_radio[i], i);
    }

    int row = 0;
    grid->addWidget(m_radio[Sim], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Файл памяти:"), m_editSimPath), row, 0);
    grid->addWidget(m_editSimPath, row, 1);
    grid->addWidget(m_btnBrowse, row++, 2);
    grid->addWidget(IndentedLabel(tr("Неисправности:"), m_editSimOptions), row, 0);
    grid->addWidget(m_editSimOptions, row++, 1, 1, 2);
    m_editSimOptions->setPlaceholderText(tr("нет"));
    m_editSimOptions->setToolTip(tr(kSimOptionsHelp));
    m_editSimOptions->setWhatsThis(tr(kSimOptionsHelp));
    m_editSimPath->setMinimumWidth(em * 44);

    grid->addWidget(m_radio[Ppdev], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Устройство:"), m_comboPpdev), row, 0);
    grid->addWidget(m_comboPpdev, row++, 1, 1, 2);
    m_comboPpdev->setEditable(true);
    const QStringList devices = PpdevDevices();
    m_comboPpdev->addItems(devices);
    if (devices.isEmpty()) {
        m_comboPpdev->setEditText(QStringLiteral("/dev/parport0"));
        auto* none = IndentedLabel(tr("В системе нет устройств /dev/parport*: нужен "
                                      "параллельный порт и модуль ядра ppdev."),
                                   nullptr);
        none->setWordWrap(true);
        none->setEnabled(false);
        grid->addWidget(none, row++, 0, 1, 3);
    }

    grid->addWidget(m_radio[Direct], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Адрес порта:"), m_editAddress), row, 0);
    grid->addWidget(m_editAddress, row++, 1, 1, 2);
    m_editAddress->setText(QStringLiteral("0x378"));

    grid->addWidget(m_radio[Exec], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Команда:"), m_editCommand), row, 0);
    grid->addWidget(m_editCommand, row++, 1, 1, 2);
    m_editCommand->setToolTip(
        tr("Программа получает строки «o 378 38» (запись в порт) и «i 379» (чтение порта) и на "
           "чтение отвечает двумя шестнадцатеричными цифрами."));
    grid->setColumnStretch(1, 1);
    column->addWidget(box);

    m_checkVerify->setChecked(SettingVerifyWrite());
    m_checkVerify->setToolTip(
        tr("После записи прочитать звонок и сравнить с набором: звонок, который не сохранил "
           "набор, не сойдёт за записанный."));
    column->addWidget(m_checkVerify);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(tr("Порт (--port):")));
    portRow->addWidget(m_wndPortText, 1);
    m_wndPortText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_wndPortText->setTextFormat(Qt::PlainText);
    column->addLayout(portRow);

    m_btnCheck->setToolTip(tr("Спросить выбранный порт, отвечает ли звонок. Память "
                              "звонка не меняется."));
    column->addLayout(m_answer.Row(m_btnCheck));

    LayOutDialog(this, body);

    m_editSimPath->setText(DefaultDoorbellFile());
    m_radio[Sim]->setChecked(true);
    SetPortText(current);

    connect(group, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    for (QLineEdit* edit : {m_editSimPath, m_editSimOptions, m_editAddress, m_editCommand})
        connect(edit, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    connect(m_comboPpdev, &QComboBox::currentTextChanged, this, [this] { UpdateControls(); });
    connect(m_btnBrowse, &QPushButton::clicked, this, &CBellPortDlg::OnBrowse);
    connect(m_btnCheck, &QPushButton::clicked, this, &CBellPortDlg::OnCheck);
    UpdateControls();
}

void CBellPortDlg::SetPortText(const QString& input)
{
    const QString text = input.trimmed();
    const int colon = text.indexOf(QLatin1Char(':'));
    const QString rest = colon < 0 ? QString() : text.mid(colon + 1);
    if (text == QLatin1String("sim") || text.startsWith(QLatin1String("sim:")) ||
        text.startsWith(QLatin1String("sim,"))) {
        QStringList parts = text.mid(3).split(QLatin1Char(','));
        const QString path = parts.takeFirst().mid(1);
        m_editSimPath->setText(path.isEmpty() ? DefaultDoorbellFile() : path);
        m_editSimOptions->setText(parts.join(QLatin1Char(',')));
        m_radio[Sim]->setChecked(true);
    } else if (text.startsWith(QLatin1String("ppdev"))) {
        m_comboPpdev->setEditText(rest.isEmpty() ? QStringLiteral("/dev/parport0") : rest);
        m_radio[Ppdev]->setChecked(true);
    } else if (text.startsWith(QLatin1String("direct"))) {
        m_editAddress->setText(rest.isEmpty() ? QStringLiteral("0x378") : rest);
        m_radio[Direct]->setChecked(true);
    } else if (text.startsWith(QLatin1String("exec:"))) {
        m_editCommand->setText(rest);
        m_radio[Exec]->setChecked(true);
    }
    UpdateControls();
}

QString CBellPortDlg::PortText() const
{
    switch (Chosen()) {
    case Sim: {
        const QString path = m_editSimPath->text().trimmed();
        // The default file is stored as plain "sim", so it follows $XDG_DATA_HOME.
        QString text = path.isEmpty() || path == DefaultDoorbellFile()
                           ? QStringLiteral("sim")
                           : QStringLiteral("sim:") + path;
        QStringList options;
        for (const QString& o :
             m_editSimOptions->text().split(QLatin1Char(','), Qt::SkipEmptyParts))
            if (!o.trimmed().isEmpty())
                options << o.trimmed();
        if (!options.isEmpty())
            text += QLatin1Char(',') + options.join(QLatin1Char(','));
        return text;
    }
    case Ppdev:
        return QStringLiteral("ppdev:") + m_comboPpdev->currentText().trimmed();
    case Direct:
        return QStringLiteral("direct:") + m_editAddress->text().trimmed();
    case Exec:
    case KindCount:
        break;
    }
    return QStringLiteral("exec:") + m_editCommand->text().trimmed();
}

void CBellPortDlg::UpdateControls()
{
    const Kind kind = Chosen();
    m_editSimPath->setEnabled(kind == Sim);
    m_btnBrowse->setEnabled(kind == Sim);
    m_editSimOptions->setEnabled(kind == Sim);
    m_comboPpdev->setEnabled(kind == Ppdev);
    m_editAddress->setEnabled(kind == Direct);
    m_editCommand->setEnabled(kind == Exec);
    m_wndPortText->setText(PortText());
    m_answer.Clear();
}

bool CBellPortDlg::OnCheck()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ProbeResult result = ProbeDoorbell(PortText());
    QApplication::restoreOverrideCursor();
    m_answer.Show(result.ok, result.message);
    return result.ok;
}

void CBellPortDlg::OnBrowse()
{
    QFileDialog dialog(this, tr("Файл памяти эмулятора звонка"));
    // The file need not exist yet: a doorbell never written has none.
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters({tr("Память звонка (*.bin)"), tr("Все файлы (*)")});
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    const QFileInfo current(m_editSimPath->text().trimmed());
    dialog.setDirectory(current.absolutePath());
    dialog.selectFile(current.fileName());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        m_editSimPath->setText(dialog.selectedFiles().constFirst());
}

void CBellPortDlg::accept()
{
    PortSpec parsed;
    QString error;
    if (!ParsePortSpec(PortText(), &parsed, &error)) {
        m_answer.Show(false, error);
        return;
    }
    SetSettingVerifyWrite(m_checkVerify->isChecked());
    QDialog::accept();
}

} // namespace tinkla
