#include "ui/CSoundDlg.h"

#include "devices/Pit.h"
#include "devices/Speaker.h"
#include "model/Note.h"
#include "platform/Prompter.h"
#include "ui/DialogButtons.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tinkla
{

namespace
{
constexpr BYTE kTestTone = 13; // A4, 440 Hz
const QString kDefaultAlsa = QStringLiteral("default");
} // namespace

CSoundDlg::CSoundDlg(const QString& current, const QString& overridden, Prompter& prompter,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_prompter(prompter), m_editAlsa(new QLineEdit), m_editPcspkr(new QLineEdit),
      m_editWav(new QLineEdit), m_btnBrowse(new QPushButton(tr("Обзор..."))),
      m_wndSinkText(new QLabel), m_btnCheck(new QPushButton(tr("&Проверить"))),
      m_pToneTimer(new QTimer(this))
{
    setWindowTitle(tr("Вывод звука"));
    const int em = fontMetrics().averageCharWidth();

    auto* body = new QWidget;
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);

    if (!overridden.isEmpty())
        column->addWidget(
            WrappedNote(tr("На этот запуск вывод звука задан в командной строке: --speaker %1. "
                           "Вывод, выбранный здесь, будет запомнен и начнет действовать сразу.")
                            .arg(overridden)));

    auto* box = new QGroupBox(tr("Мелодии звучат через"));
    auto* grid = new QGridLayout(box);
    auto* group = new QButtonGroup(this);
    const char* const kinds[KindCount] = {
        QT_TR_NOOP("&Звуковую карту (ALSA)"), QT_TR_NOOP("&Встроенный динамик (pcspkr)"),
        QT_TR_NOOP("Порты &таймера напрямую (только для root, только x86)"),
        QT_TR_NOOP("Запись в &файл WAV"), QT_TR_NOOP("&Без звука")};
    for (int i = 0; i < KindCount; ++i) {
        m_radio[i] = new QRadioButton(tr(kinds[i]));
        group->addButton(m_radio[i], i);
    }

    int row = 0;
    grid->addWidget(m_radio[Audio], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Устройство ALSA:"), m_editAlsa), row, 0);
    grid->addWidget(m_editAlsa, row++, 1, 1, 2);
    m_editAlsa->setText(kDefaultAlsa);
    m_editAlsa->setToolTip(tr("Имя устройства ALSA: default, pulse, hw:0,0 и т. п.; список "
                              "выводит команда «aplay -L»."));
    m_editAlsa->setMinimumWidth(em * 44);

    grid->addWidget(m_radio[Pcspkr], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Устройство:"), m_editPcspkr), row, 0);
    grid->addWidget(m_editPcspkr, row++, 1, 1, 2);
    m_editPcspkr->setPlaceholderText(tr("найти автоматически"));
    m_editPcspkr->setToolTip(tr("Устройство ввода PC-динамика; пусто — то, что найдётся в "
                                "/dev/input/by-path/*pcspkr*."));

    grid->addWidget(m_radio[RealPorts], row++, 0, 1, 3);

    grid->addWidget(m_radio[Wav], row++, 0, 1, 3);
    grid->addWidget(IndentedLabel(tr("Файл:"), m_editWav), row, 0);
    grid->addWidget(m_editWav, row, 1);
    grid->addWidget(m_btnBrowse, row++, 2);

    grid->addWidget(m_radio[None], row++, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    column->addWidget(box);

    auto* sinkRow = new QHBoxLayout;
    sinkRow->addWidget(new QLabel(tr("Вывод (--speaker):")));
    sinkRow->addWidget(m_wndSinkText, 1);
    m_wndSinkText->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_wndSinkText->setTextFormat(Qt::PlainText);
    column->addLayout(sinkRow);

    m_btnCheck->setToolTip(tr("Включить выбранный вывод и сыграть на нём короткий "
                              "проверочный тон."));
    column->addLayout(m_answer.Row(m_btnCheck));

    LayOutDialog(this, body);

    m_pToneTimer->setSingleShot(true);
    m_pToneTimer->setInterval(kTestToneMs);
    connect(m_pToneTimer, &QTimer::timeout, this, [] { CNote::SoundOff(); });

    m_radio[Audio]->setChecked(true);
    SetSinkText(current);
    m_strInstalled = SinkText();

    connect(group, &QButtonGroup::idToggled, this, [this] { UpdateControls(); });
    for (QLineEdit* edit : {m_editAlsa, m_editPcspkr, m_editWav})
        connect(edit, &QLineEdit::textChanged, this, [this] { UpdateControls(); });
    connect(m_btnBrowse, &QPushButton::clicked, this, &CSoundDlg::OnBrowse);
    connect(m_btnCheck, &QPushButton::clicked, this, &CSoundDlg::OnCheck);
    UpdateControls();
}

CSoundDlg::~CSoundDlg() = default;

void CSoundDlg::SetSinkText(const QString& text)
{
    SinkSpec parsed;
    if (!ParseSinkSpec(text, &parsed, nullptr))
        return;
    if (parsed.kind == SinkSpec::Audio)
        m_editAlsa->setText(parsed.arg.isEmpty() ? kDefaultAlsa : parsed.arg);
    else if (parsed.kind == SinkSpec::Pcspkr)
        m_editPcspkr->setText(parsed.arg);
    else if (parsed.kind == SinkSpec::Wav)
        m_editWav->setText(parsed.arg);
    m_radio[parsed.kind]->setChecked(true);
    UpdateControls();
}

QString CSoundDlg::SinkText() const
{
    const auto withArg = [](const char* name, const QLineEdit* edit) {
        const QString arg = edit->text().trimmed();
        return arg.isEmpty() ? QString::fromLatin1(name)
                             : QString::fromLatin1(name) + QLatin1Char(':') + arg;
    };
    switch (Chosen()) {
    case Audio:
        // The default device is stored as plain "audio", as the command line writes it.
        return m_editAlsa->text().trimmed() == kDefaultAlsa ? QStringLiteral("audio")
                                                            : withArg("audio", m_editAlsa);
    case Pcspkr:
        return withArg("pcspkr", m_editPcspkr);
    case RealPorts:
        return QStringLiteral("ports");
    case Wav:
        // An empty name stays visible as "wav:", which OK refuses with the reason.
        return QStringLiteral("wav:") + m_editWav->text().trimmed();
    case None:
    case KindCount:
        break;
    }
    return QStringLiteral("none");
}

void CSoundDlg::UpdateControls()
{
    const Kind kind = Chosen();
    m_editAlsa->setEnabled(kind == Audio);
    m_editPcspkr->setEnabled(kind == Pcspkr);
    m_editWav->setEnabled(kind == Wav);
    m_btnBrowse->setEnabled(kind == Wav);
    m_wndSinkText->setText(SinkText());
    m_answer.Clear();
}

bool CSoundDlg::OnCheck()
{
    EndTone();
    SpeakerSetup setup;
    if (SinkText() == m_strInstalled && InstalledWorks()) {
        // Opening it again would start its WAV recording afresh, or find its device busy.
        if (m_bReplaced)
            Ports::Instance().SetSpeaker(std::move(m_pOriginal));
        m_bReplaced = false;
    } else {
        if (!m_bReplaced)
            m_pOriginal = Ports::Instance().ExchangeSpeaker(nullptr);
        m_bReplaced = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        setup = SetupSpeaker(SinkText());
        QApplication::restoreOverrideCursor();
    }
    // "audio" without a device plays silently: no tone will be heard, so the check fails.
    if (!setup.ok || !setup.notice.isEmpty()) {
        m_answer.Show(false, setup.ok ? setup.notice : setup.error);
        return false;
    }
    CNote(kTestTone, 0).SoundOn();
    m_pToneTimer->start();
    switch (Chosen()) {
    case Wav:
        m_answer.Show(
            true, tr("Проверочный тон записывается в файл %1.").arg(m_editWav->text().trimmed()));
        break;
    case None:
        m_answer.Show(true, tr("Мелодии будут играться беззвучно."));
        break;
    default:
        m_answer.Show(true, tr("Звучит проверочный тон: ля первой октавы, 440 Гц. Если его не "
                               "слышно, проверьте громкость."));
        break;
    }
    return true;
}

void CSoundDlg::OnBrowse()
{
    FileDialogRequest request;
    request.save = true;
    request.title = tr("Файл для записи звука");
    request.initialPath = m_editWav->text().trimmed();
    request.defaultExtension = QStringLiteral("wav");
    request.filter = tr("Звук WAV (*.wav)|*.wav|Все файлы (*.*)|*.*||");
    const QString path = m_prompter.FileDialog(request);
    if (!path.isEmpty())
        m_editWav->setText(path);
}

void CSoundDlg::EndTone()
{
    if (m_pToneTimer->isActive()) {
        m_pToneTimer->stop();
        CNote::SoundOff();
    }
}

bool CSoundDlg::InstalledWorks() const
{
    // A sink that did not open, and "audio" without a device, left a silent stand-in; a sink with
    // a notice has failed since (the sound server went away, the disk filled up).
    const auto* pit =
        dynamic_cast<const Pit*>(m_bReplaced ? m_pOriginal.get() : Ports::Instance().Speaker());
    return pit && pit->Sink().Notice().isEmpty() &&
           (m_strInstalled == QLatin1String("none") ||
            !dynamic_cast<const NullSink*>(&pit->Sink()));
}

void CSoundDlg::accept()
{
    QString error;
    if (!ParseSinkSpec(SinkText(), nullptr, &error)) {
        error[0] = error[0].toUpper();
        m_answer.Show(false, error);
        return;
    }
    QDialog::accept();
}

void CSoundDlg::done(int result)
{
    EndTone();
    if (m_bReplaced && result != Accepted) {
        Ports::Instance().SetSpeaker(std::move(m_pOriginal));
        m_bReplaced = false;
    }
    // The caller installs the choice next; nothing may still hold its device or file then.
    m_pOriginal.reset();
    QDialog::done(result);
}

} // namespace tinkla
