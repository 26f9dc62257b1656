#include "ui/CMainFrame.h"

#include "document/Examples.h"
#include "document/SetFormat.h"
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/Translations.h"
#include "ui/CAboutDlg.h"
#include "ui/CTinklaView.h"
#include "ui/Icons.h"
#include "ui/LockKeys.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QWhatsThis>
#include <algorithm>

namespace tinkla
{
namespace
{

// Set files open from the open dialog, the recent list and a drop (one space before the
// parenthesis, as the open dialog has always shown it).
constexpr const char* kOpenSetFilter =
    QT_TRANSLATE_NOOP("tinkla::CMainFrame", "Набор мелодий (*.fml)|*.fml|Все файлы (*.*)|*.*||");

QSettings Store()
{
    return OpenSettings(); // a damaged file cannot make the window's state a hazard
}

} // namespace

CMainFrame::CMainFrame(CTinklaDoc* doc, QWidget* parent) : QMainWindow(parent), m_pDoc(doc)
{
    // The view needs a melody to show from its first paint: the start-up set, without a dialog.
    if (!m_pDoc->HasSet())
        m_pDoc->OnNewDocument();
    LoadResources();
    m_pView = new CTinklaView(doc, this);
    setCentralWidget(m_pView);

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    readSettings();

    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    qApp->installEventFilter(this);

    connect(m_pDoc, &CTinklaDoc::updated, m_pView, &CTinklaView::Repaint);
    connect(m_pDoc, &CTinklaDoc::modifiedChanged, this, &CMainFrame::UpdateTitle);
    connect(m_pDoc, &CTinklaDoc::pathChanged, this, &CMainFrame::UpdateTitle);
    connect(m_pDoc, &CTinklaDoc::recentFileAdded, this, &CMainFrame::AddRecentFile);
    connect(m_pView, &CTinklaView::changed, this, &CMainFrame::UpdateCommandUI);
    connect(m_pDoc, &CTinklaDoc::historyChanged, this, &CMainFrame::UpdateCommandUI);
    UpdateTitle();
    UpdateCommandUI();
    m_pView->setFocus();
    // Small enough for a corner of the screen, large enough for a staff row and every pane.
    setMinimumSize(qMax(480, statusBar()->minimumSizeHint().width()), 240);
}

CMainFrame::~CMainFrame()
{
    qApp->removeEventFilter(this);
    delete m_pHelp;
}

QAction* CMainFrame::MakeAction(int id, const QString& text, const QString& prompt,
                                const QString& whatsThis, const QKeySequence& shortcut)
{
    auto* action = new QAction(text, this);
    // The prompt holds the status-bar text, then after a line break the tool tip.
    const QStringList parts = prompt.split(QLatin1Char('\n'));
    action->setStatusTip(parts.value(0));
    if (parts.size() > 1) {
        action->setToolTip(parts[1]);
        action->setIconText(parts[1]);
    }
    action->setWhatsThis(whatsThis);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    // Keys act anywhere in the main window, also while the menu bar or toolbar is hidden.
    addAction(action);
    m_actions.insert(id, action);
    return action;
}

void CMainFrame::createActions()
{
    // --- File ---
    MakeAction(
        ID_FILE_NEW, tr("&Новый набор...\tCtrl+N"),
        tr("Создание нового набора мелодий.\nНовый набор"),
        tr("Создаёт новый пустой набор мелодий. Программа спросит формат набора: сколько в нём "
           "мелодий и сколько нот может быть в каждой."),
        QKeySequence(Qt::CTRL | Qt::Key_N));
    MakeAction(ID_FILE_OPEN, tr("&Загрузить набор...\tCtrl+O"),
               tr("Загрузка набора мелодий.\nЗагрузить набор"),
               tr("Открывает набор мелодий из файла .fml вместо текущего."),
               QKeySequence(Qt::CTRL | Qt::Key_O));
    MakeAction(
        ID_FILE_SAVE, tr("&Сохранить набор\tCtrl+S"),
        tr("Сохранение набора мелодий.\nСохранить набор"),
        tr("Сохраняет набор мелодий в его файл; набор без имени программа предложит назвать."),
        QKeySequence(Qt::CTRL | Qt::Key_S));
    MakeAction(ID_FILE_SAVE_AS, tr("Сохранит набор &как..."),
               tr("Сохранение набора мелодий под другим именем.\nСохранить набор как"),
               tr("Сохраняет набор мелодий в новый файл и дальше работает с ним."));
    MakeAction(ID_MELODY_LOAD, tr("З&агрузить мелодию..."),
               tr("Загрузка мелодии в набор.\nЗагрузить мелодию"),
               tr("Заменяет текущую мелодию мелодией из файла .mel. Перед этим программа предложит "
                  "сохранить набор под другим именем."));
    MakeAction(ID_MELODY_SAVE, tr("С&охранить мелодию..."),
               tr("Сохранение текущей мелодии.\nСохранить мелодию"),
               tr("Сохраняет текущую мелодию с её названием в отдельный файл .mel."));
    MakeAction(
        ID_MELODY_IMPORT, tr("&Импорт мелодии..."),
        tr("Импорт мелодии из RTTTL или MIDI.\nИмпорт мелодии"),
        tr("Заменяет текущую мелодию мелодией из текста RTTTL (.rtttl, .rtx, .txt) или файла "
           "MIDI (.mid). Ноты вписываются в диапазон звонка, паузы и точки отбрасываются; "
           "программа сообщит, что пришлось изменить."));
    MakeAction(ID_MELODY_EXPORT, tr("&Экспорт мелодии..."),
               tr("Экспорт мелодии в RTTTL или MIDI.\nЭкспорт мелодии"),
               tr("Сохраняет текущую мелодию как текст RTTTL (.rtttl) или файл MIDI (.mid), чтобы "
                  "открыть её в другой программе или телефоне."));
    for (int i = 0; i < kRecentFileCount; ++i) {
        auto* action = new QAction(this);
        action->setVisible(false);
        action->setWhatsThis(tr("Открывает набор мелодий, с которым вы недавно "
                                "работали."));
        connect(action, &QAction::triggered, this, &CMainFrame::OnOpenRecentFile);
        m_recentActions[i] = action;
        m_actions.insert(ID_FILE_MRU_FILE1 + i, action);
    }
    MakeAction(ID_APP_EXIT, tr("&Выход"), tr("Завершение работы с программой.\nВыход"),
               tr("Закрывает программу. Если набор изменён, программа предложит его сохранить."),
               QKeySequence::Quit);

    // --- Edit ---
    // --- Edit ---
    MakeAction(ID_EDIT_UNDO, tr("&Отменить\tCtrl+Z"),
               tr("Отмена последнего изменения набора.\nОтменить"),
               tr("Возвращает набор к тому, каким он был до последнего изменения, и показывает, "
                  "где оно было. Переход к другой мелодии изменением не считается."),
               QKeySequence(Qt::CTRL | Qt::Key_Z));
    MakeAction(ID_EDIT_REDO, tr("&Повторить\tCtrl+Y"),
               tr("Повтор отменённого изменения.\nПовторить"),
               tr("Снова делает изменение, отменённое последним."));
    Action(ID_EDIT_REDO)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    MakeAction(ID_MELODY_TITLE, tr("&Название мелодии...\tN"),
               tr("Задание названия мелодии.\nНазвание"),
               tr("Задаёт название текущей мелодии (до 30 знаков). Название рисуется над нотами и "
                  "хранится в файлах, но в звонок не записывается."),
               QKeySequence(Qt::Key_N));
    MakeAction(ID_MELODY_NEXT, tr("&Следующая мелодия\t Ctrl+PgUp"),
               tr("Переход к следующей мелодии.\nСледующая мелодия"),
               tr("Показывает следующую мелодию набора; после последней — первую."),
               QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    MakeAction(ID_MELODY_PREV, tr("&Предыдущая мелодия\t Ctrl+PgDn"),
               tr("Возврат к предыдущей мелодии.\nПредыдущая мелодия"),
               tr("Показывает предыдущую мелодию набора; перед первой — последнюю."),
               QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    MakeAction(
        ID_NOTE_INSERT, tr("&Вставить ноту\tIns"), tr("Вставка новой ноты.\nВставить ноту"),
        tr("Вставляет ноту «Соль, восьмая» после выделенной ноты или в конец мелодии и выделяет "
           "её. Мелодия не может быть длиннее, чем позволяет формат набора."),
        QKeySequence(Qt::Key_Insert));
    MakeAction(ID_NOTE_DELETE, tr("&Удалить ноту\tDel"),
               tr("Удаление выделенной ноты.\nУдалить ноту"),
               tr("Удаляет выделенную ноту (после подтверждения)."), QKeySequence(Qt::Key_Delete));
    MakeAction(ID_NOTE_DELETE_LAST, tr("У&далить последнюю ноту\tBack"),
               tr("Удаление последней ноты.\nУдалить последнюю ноту"),
               tr("Удаляет последнюю ноту мелодии без подтверждения."),
               QKeySequence(Qt::Key_Backspace));
    MakeAction(ID_MELODY_TRANSPOSE, tr("&Транспонировать..."),
               tr("Сдвиг всей мелодии на несколько полутонов.\nТранспонировать"),
               tr("Сдвигает все ноты мелодии вверх или вниз на заданное число полутонов. Если нота "
                  "выйдет за пределы звонка, мелодия не изменится — или ноты можно вписать по "
                  "октавам."));
    MakeAction(ID_NOTE_NEXT, tr("С&ледующая нота\tP"),
               tr("Выделение следующей ноты.\nСледующая нота"),
               tr("Выделяет следующую ноту. После последней ноты выделение снимается, затем снова "
                  "выделяется первая."),
               QKeySequence(Qt::Key_P));
    MakeAction(ID_NOTE_PREV, tr("П&редыдущая нота\tO"),
               tr("Выделение предыдущей ноты.\nПредыдущая нота"),
               tr("Выделяет предыдущую ноту. Перед первой нотой выделение снимается, затем снова "
                  "выделяется последняя."),
               QKeySequence(Qt::Key_O));
    MakeAction(ID_TONE_UP, tr("П&овысить тон\tW"),
               tr("Повышение тона выделенной ноты.\nПовысить тон"),
               tr("Повышает выделенную ноту на полтона (не выше ре-диеза третьей октавы)."),
               QKeySequence(Qt::Key_W));
    MakeAction(ID_TONE_DOWN, tr("Пон&изить тон\tX"),
               tr("Понижение тона выделенной ноты.\nПонизить тон"),
               tr("Понижает выделенную ноту на полтона (не ниже соль-диеза малой октавы)."),
               QKeySequence(Qt::Key_X));
    MakeAction(ID_OCTAVE_UP, tr("На &октаву выше\tShift+W"),
               tr("Повышение выделенной ноты на октаву.\nНа октаву выше"),
               tr("Повышает выделенную ноту на октаву, если она не выходит за верх диапазона."),
               QKeySequence(Qt::SHIFT | Qt::Key_W));
    MakeAction(ID_OCTAVE_DOWN, tr("На о&ктаву ниже\tShift+X"),
               tr("Понижение выделенной ноты на октаву.\nНа октаву ниже"),
               tr("Понижает выделенную ноту на октаву, если она не выходит за низ диапазона."),
               QKeySequence(Qt::SHIFT | Qt::Key_X));
    MakeAction(ID_DURATION_UP, tr("Увели&чить длительность\tD"),
               tr("Увеличение длительности выделенной ноты.\nУвеличить длительность"),
               tr("Удваивает длительность выделенной ноты (не длиннее целой)."),
               QKeySequence(Qt::Key_D));
    MakeAction(ID_DURATION_DOWN, tr("Умень&шить длительность\tA"),
               tr("Уменьшение длительности выделенной ноты.\nУменьшить длительность"),
               tr("Вдвое укорачивает выделенную ноту (не короче шестнадцатой)."),
               QKeySequence(Qt::Key_A));

    // --- View ---
    MakeAction(ID_VIEW_STATUS_BAR, tr("&Строка состояния"),
               tr("Вывод и скрытие строки состояния.\nСтрока состояния"),
               tr("Показывает или скрывает строку состояния внизу окна."))
        ->setCheckable(true);
    MakeAction(ID_VIEW_ZOOM_IN, tr("&Крупнее\tCtrl++"),
               tr("Увеличение масштаба нотного стана.\nКрупнее"),
               tr("Показывает нотный стан крупнее (до 400 %). Также Ctrl+колесо мыши вверх."),
               QKeySequence(Qt::CTRL | Qt::Key_Plus))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    MakeAction(ID_VIEW_ZOOM_OUT, tr("&Мельче\tCtrl+-"),
               tr("Уменьшение масштаба нотного стана.\nМельче"),
               tr("Показывает нотный стан мельче (до 50 %). Также Ctrl+колесо мыши вниз."),
               QKeySequence(Qt::CTRL | Qt::Key_Minus));
    MakeAction(ID_VIEW_ZOOM_NORMAL, tr("&Обычный размер\tCtrl+0"),
               tr("Нотный стан в обычном размере.\nОбычный размер"),
               tr("Возвращает нотному стану обычный размер (100 %)."),
               QKeySequence(Qt::CTRL | Qt::Key_0));

    // --- Playback, doorbell ---
    MakeAction(
        ID_MELODY_PLAY, tr("&Проиграть мелодию...\tCtrl+P"), tr("Проигрывание мелодии.\nИграть"),
        tr("Проигрывает текущую мелодию через динамик компьютера — с начала или с выделенной "
           "ноты."),
        QKeySequence(Qt::CTRL | Qt::Key_P));
    MakeAction(ID_SOUND_OUTPUT, tr("&Вывод звука..."),
               tr("Выбор устройства, через которое звучат мелодии.\nВывод звука"),
               tr("Выбирает, куда идёт звук: звуковая карта, встроенный динамик, файл WAV или "
                  "без звука; кнопка «Проверить» играет на выбранном выводе короткий тон."));
    MakeAction(ID_BELL_READ, tr("&Считать набор\tCtrl+R"),
               tr("Чтение набора мелодий.\nСчитать набор"),
               tr("Считывает набор мелодий из памяти звонка вместо текущего набора."),
               QKeySequence(Qt::CTRL | Qt::Key_R));
    MakeAction(
        ID_BELL_WRITE, tr("&Записать набор\tCtrl+W"), tr("Запись набора мелодий.\nЗаписать набор"),
        tr("Записывает весь набор мелодий в память звонка."), QKeySequence(Qt::CTRL | Qt::Key_W));
    MakeAction(ID_BELL_TEST, tr("&Тест...\tCtrl+T"), tr("Тестирование звонка.\nТест звонка"),
               tr("Заставляет звонок играть и замолкать, чтобы проверить, что он подключён."),
               QKeySequence(Qt::CTRL | Qt::Key_T));
    MakeAction(
        ID_BELL_PORT, tr("&Порт звонка..."),
        tr("Выбор порта, к которому подключён звонок.\nПорт "
           "звонка"),
        tr("Выбирает параллельный порт (или модель звонка), через который программа говорит со "
           "звонком."));

    // --- Help ---
    MakeAction(ID_HELP_FINDER, tr("&Вызов справки"), tr("Вызов справочной системы.\nСправка"),
               tr("Открывает справку по программе."));
    MakeAction(ID_HELP, tr("Справка"), tr("Display help for current task or command\nСправка"),
               tr("Открывает справку по программе."), QKeySequence(Qt::Key_F1));
    MakeAction(
        ID_CONTEXT_HELP, tr("Справка по объекту"),
        tr("Вывод справки при щелчке мышью на кнопке, меню или окне.\nСправка"),
        tr("После этой команды щёлкните кнопку, пункт меню или часть окна, чтобы узнать, для "
           "чего они."),
        QKeySequence(Qt::SHIFT | Qt::Key_F1));
    MakeAction(ID_APP_ABOUT, tr("&О программе..."), tr("Вывод сведений о программе.\nО программе"),
               tr("Показывает версию и назначение программы."));

    // Handlers: the set's file commands here, melody commands in the document, note commands in
    // the view, the doorbell's in CMainFrame_bell.cpp.
    const auto on = [this](int id, auto* receiver, auto slot) {
        connect(Action(id), &QAction::triggered, receiver, slot);
    };
    on(ID_FILE_NEW, this, &CMainFrame::OnFileNew);
    on(ID_FILE_OPEN, this, &CMainFrame::OnFileOpen);
    on(ID_FILE_SAVE, this, &CMainFrame::OnFileSave);
    on(ID_FILE_SAVE_AS, this, &CMainFrame::OnFileSaveAs);
    on(ID_APP_EXIT, this, &QWidget::close);
    on(ID_EDIT_UNDO, this, &CMainFrame::OnEditUndo);
    on(ID_EDIT_REDO, this, &CMainFrame::OnEditRedo);
    on(ID_MELODY_LOAD, m_pDoc, &CTinklaDoc::OnMelodyLoad);
    on(ID_MELODY_SAVE, m_pDoc, &CTinklaDoc::OnMelodySave);
    on(ID_MELODY_IMPORT, m_pDoc, &CTinklaDoc::OnMelodyImport);
    on(ID_MELODY_EXPORT, m_pDoc, &CTinklaDoc::OnMelodyExport);
    on(ID_MELODY_TRANSPOSE, m_pDoc, &CTinklaDoc::OnMelodyTranspose);
    on(ID_MELODY_TITLE, m_pDoc, &CTinklaDoc::OnMelodyTitle);
    on(ID_MELODY_NEXT, m_pDoc, &CTinklaDoc::OnMelodyNext);
    on(ID_MELODY_PREV, m_pDoc, &CTinklaDoc::OnMelodyPrev);
    on(ID_NOTE_INSERT, m_pView, &CTinklaView::OnNoteInsert);
    on(ID_NOTE_DELETE, m_pView, &CTinklaView::OnNoteDelete);
    on(ID_NOTE_DELETE_LAST, m_pView, &CTinklaView::OnNoteDeleteLast);
    on(ID_NOTE_NEXT, m_pView, &CTinklaView::OnNoteNext);
    on(ID_NOTE_PREV, m_pView, &CTinklaView::OnNotePrev);
    on(ID_TONE_UP, m_pView, &CTinklaView::OnToneUp);
    on(ID_TONE_DOWN, m_pView, &CTinklaView::OnToneDown);
    on(ID_OCTAVE_UP, m_pView, &CTinklaView::OnOctaveUp);
    on(ID_OCTAVE_DOWN, m_pView, &CTinklaView::OnOctaveDown);
    on(ID_VIEW_ZOOM_IN, m_pView, &CTinklaView::OnZoomIn);
    on(ID_VIEW_ZOOM_OUT, m_pView, &CTinklaView::OnZoomOut);
    on(ID_VIEW_ZOOM_NORMAL, m_pView, &CTinklaView::OnZoomReset);
    on(ID_DURATION_UP, m_pView, &CTinklaView::OnDurationUp);
    on(ID_DURATION_DOWN, m_pView, &CTinklaView::OnDurationDown);
    on(ID_MELODY_PLAY, m_pView, &CTinklaView::OnMelodyPlay);
    on(ID_BELL_READ, this, &CMainFrame::OnBellRead);
    on(ID_BELL_WRITE, this, &CMainFrame::OnBellWrite);
    on(ID_BELL_TEST, this, &CMainFrame::OnBellTest);
    on(ID_BELL_PORT, this, &CMainFrame::OnBellPort);
    on(ID_SOUND_OUTPUT, this, &CMainFrame::OnSoundOutput);
    on(ID_HELP_FINDER, this, &CMainFrame::OnHelpFinder);
    on(ID_HELP, this, &CMainFrame::OnHelpFinder);
    on(ID_CONTEXT_HELP, this, &CMainFrame::OnContextHelp);
    on(ID_APP_ABOUT, this, &CMainFrame::OnAppAbout);
    connect(Action(ID_VIEW_STATUS_BAR), &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
}

void CMainFrame::createMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&Файл"));
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS})
        file->addAction(Action(id));
    file->addSeparator();
    file->addAction(Action(ID_MELODY_LOAD));
    file->addAction(Action(ID_MELODY_SAVE));
    file->addAction(Action(ID_MELODY_IMPORT));
    file->addAction(Action(ID_MELODY_EXPORT));
    createExamplesMenu(file);
    file->addSeparator();
    for (QAction* recent : m_recentActions)
        file->addAction(recent);
    m_pRecentSeparator = file->addSeparator();
    file->addAction(Action(ID_APP_EXIT));

    QMenu* edit = menuBar()->addMenu(tr("&Правка"));
    edit->addAction(Action(ID_EDIT_UNDO));
    edit->addAction(Action(ID_EDIT_REDO));
    edit->addSeparator();
    edit->addAction(Action(ID_MELODY_TITLE));
    edit->addSeparator();
    edit->addAction(Action(ID_MELODY_NEXT));
    edit->addAction(Action(ID_MELODY_PREV));
    edit->addSeparator();
    for (int id : {ID_NOTE_INSERT, ID_NOTE_DELETE, ID_NOTE_DELETE_LAST})
        edit->addAction(Action(id));
    edit->addAction(Action(ID_MELODY_TRANSPOSE));
    edit->addSeparator();
    edit->addAction(Action(ID_NOTE_NEXT));
    edit->addAction(Action(ID_NOTE_PREV));
    edit->addSeparator();
    for (int id :
         {ID_TONE_UP, ID_TONE_DOWN, ID_OCTAVE_UP, ID_OCTAVE_DOWN, ID_DURATION_UP, ID_DURATION_DOWN})
        edit->addAction(Action(id));

    m_pViewMenu = menuBar()->addMenu(tr("&Вид"));
    for (int id : {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_NORMAL})
        m_pViewMenu->addAction(Action(id));
    m_pViewMenu->addSeparator();
    // The toolbar's own toggle action is added here by createToolBar.

    QMenu* play = menuBar()->addMenu(tr("В&оспроизведение"));
    play->addAction(Action(ID_MELODY_PLAY));
    play->addSeparator();
    play->addAction(Action(ID_SOUND_OUTPUT));

    QMenu* bell = menuBar()->addMenu(tr("&Звонок"));
    bell->addAction(Action(ID_BELL_READ));
    bell->addAction(Action(ID_BELL_WRITE));
    bell->addSeparator();
    bell->addAction(Action(ID_BELL_TEST));
    bell->addAction(Action(ID_BELL_PORT));

    QMenu* help = menuBar()->addMenu(tr("&Справка"));
    help->addAction(Action(ID_HELP_FINDER));
    help->addSeparator();
    help->addAction(Action(ID_APP_ABOUT));

    // The view's context menus share the same actions, so they obey the same update rules.
    m_pMelodyMenu = new QMenu(this);
    m_pMelodyMenu->addAction(Action(ID_MELODY_TITLE));
    m_pMelodyMenu->addSeparator();
    m_pMelodyMenu->addAction(Action(ID_MELODY_NEXT));
    m_pMelodyMenu->addAction(Action(ID_MELODY_PREV));
    m_pMelodyMenu->addSeparator();
    m_pMelodyMenu->addAction(Action(ID_NOTE_INSERT));
    m_pMelodyMenu->addAction(Action(ID_NOTE_DELETE_LAST));

    m_pNoteMenu = new QMenu(this);
    m_pNoteMenu->addAction(Action(ID_NOTE_INSERT));
    m_pNoteMenu->addAction(Action(ID_NOTE_DELETE));
    m_pNoteMenu->addSeparator();
    for (int id :
         {ID_TONE_UP, ID_TONE_DOWN, ID_OCTAVE_UP, ID_OCTAVE_DOWN, ID_DURATION_UP, ID_DURATION_DOWN})
        m_pNoteMenu->addAction(Action(id));
}

void CMainFrame::createToolBar()
{
    m_pToolBar = addToolBar(tr("Панель инструментов"));
    m_pToolBar->setObjectName(QStringLiteral("mainToolBar"));
    m_pToolBar->setIconSize(QSize(16, 16));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setMovable(true);
    // The buttons in order; 0 stands for a separator, the picture follows the button's place.
    const int buttons[] = {ID_FILE_NEW,
                           ID_FILE_OPEN,
                           ID_FILE_SAVE,
                           0,
                           ID_MELODY_PREV,
                           ID_MELODY_NEXT,
                           0,
                           ID_NOTE_INSERT,
                           ID_NOTE_DELETE,
                           0,
                           ID_NOTE_NEXT,
                           ID_NOTE_PREV,
                           0,
                           ID_TONE_UP,
                           ID_TONE_DOWN,
                           ID_DURATION_UP,
                           ID_DURATION_DOWN,
                           0,
                           ID_MELODY_PLAY,
                           0,
                           ID_CONTEXT_HELP,
                           ID_APP_ABOUT};
    int picture = 0;
    for (int id : buttons) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        Action(id)->setIcon(ToolbarIcon(picture++));
        m_pToolBar->addAction(Action(id));
        if (id == ID_FILE_SAVE) {
            // Undo and redo have no picture of their own: the desktop theme's, else the style's.
            m_pToolBar->addSeparator();
            Action(ID_EDIT_UNDO)
                ->setIcon(QIcon::fromTheme(QStringLiteral("edit-undo"),
                                           style()->standardIcon(QStyle::SP_ArrowBack)));
            Action(ID_EDIT_REDO)
                ->setIcon(QIcon::fromTheme(QStringLiteral("edit-redo"),
                                           style()->standardIcon(QStyle::SP_ArrowForward)));
            m_pToolBar->addAction(Action(ID_EDIT_UNDO));
            m_pToolBar->addAction(Action(ID_EDIT_REDO));
        }
    }

    QAction* toggle = m_pToolBar->toggleViewAction();
    toggle->setText(tr("&Панель инструментов"));
    toggle->setStatusTip(tr("Вывод и скрытие набора инструментов."));
    toggle->setToolTip(tr("Набор инструментов"));
    toggle->setWhatsThis(tr("Показывает или скрывает панель инструментов. Панель "
                            "можно перетащить к любому краю окна или оставить "
                            "плавающей."));
    m_actions.insert(ID_VIEW_TOOLBAR, toggle);
    m_pViewMenu->addAction(toggle);
    m_pViewMenu->addAction(Action(ID_VIEW_STATUS_BAR));
}

namespace
{

QString FormatPaneText(int melodies, int notes)
{
    return CMainFrame::tr(" %1 м. х %2 н.").arg(melodies).arg(notes);
}
QString MelodyPaneText(int number)
{
    return CMainFrame::tr(" %1 м.").arg(number);
}
QString NotesPaneText(int count)
{
    return CMainFrame::tr(" %1 н.").arg(count);
}
QString TonePaneText(BYTE code, bool none)
{
    return none ? QString() : PitchName(code >> 3);
}
QString DurationPaneText(BYTE code, bool none)
{
    const int duration = code & 7;
    if (none || duration >= kDurationCount)
        return {};
    return QString::fromUtf8(g_szDurationShort[duration]);
}

} // namespace

void CMainFrame::createStatusBar()
{
    QStatusBar* bar = statusBar();
    // The message pane: command prompts while a menu item or button is under the mouse,
    // otherwise the idle text (or the What's This mode text).
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(tr(m_bHelpMode ? kHelpModeMessage : kIdleMessage));
        else
            ElideStatusMessage(message);
    });
    bar->showMessage(tr(kIdleMessage));

    struct PaneInfo {
        QString widthTemplate;
        QStringList longest; // every text the pane can show that might outgrow the template
        QString whatsThis;
    };
    QStringList formats, tones, durations;
    for (const SetFormat& f : kSetFormats)
        formats << FormatPaneText(int(f.melodies), int(f.notes));
    for (int tone = 0; tone < 12; ++tone)
        tones << TonePaneText(BYTE(tone << 3), false);
    for (int d = 0; d < kDurationCount; ++d)
        durations << DurationPaneText(BYTE(d), false);
    const PaneInfo panes[PaneCount] = {
        {tr("11м.х111н."), formats,
         tr("Формат набора: число мелодий и наибольшее число нот в мелодии.")},
        {tr("32 м."), {MelodyPaneText(32)}, tr("Номер текущей мелодии в наборе.")},
        {tr("255 н."), {NotesPaneText(255)}, tr("Число нот в текущей мелодии.")},
        {tr("Соль #"), tones, tr("Тон выделенной ноты.")},
        {QStringLiteral("1/16"), durations, tr("Длительность выделенной ноты.")},
    };
    for (int i = 0; i < PaneCount; ++i) {
        auto* label = new QLabel;
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        label->setWhatsThis(panes[i].whatsThis);
        // Sized once from its template, widened where a real text would otherwise be cut.
        const QFontMetrics fm(label->font());
        int width = fm.horizontalAdvance(panes[i].widthTemplate);
        for (const QString& text : panes[i].longest)
            width = qMax(width, fm.horizontalAdvance(text));
        label->setMinimumWidth(width + 2 * label->frameWidth() + 6);
        bar->addPermanentWidget(label);
        m_panes[i] = label;
    }

    LockState locks;
    if (QueryLockKeys(&locks)) {
        const char* const names[3] = {"CAP", "NUM", "SCRL"};
        for (int i = 0; i < 3; ++i) {
            auto* label = new QLabel;
            label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
            label->setContentsMargins(3, 0, 3, 0);
            label->setAlignment(Qt::AlignCenter);
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QLatin1String(names[i])) +
                                   2 * label->frameWidth() + 6);
            label->setProperty("lockName", QLatin1String(names[i]));
            bar->addPermanentWidget(label);
            m_lockPanes[i] = label;
        }
        UpdateLockIndicators();
    }
}

void CMainFrame::ElideStatusMessage(const QString& message)
{
    // The bar clips its message at the first pane; cut it short with "…" there instead, and keep
    // the whole text as the bar's tool tip.
    QStatusBar* bar = statusBar();
    if (message == bar->property("elided").toString())
        return; // our own shortened text coming back
    int room = bar->width() - 12;
    if (m_panes[0] && m_panes[0]->isVisible())
        room = m_panes[0]->geometry().left() - 12;
    // A device's message may run to several lines (what failed, then how to fix it): the bar
    // has one, the tool tip keeps the lines.
    const QString line = QString(message).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString elided = bar->fontMetrics().elidedText(line, Qt::ElideRight, qMax(room, 0));
    bar->setProperty("fullMessage", message);
    bar->setProperty("elided", elided);
    bar->setToolTip(elided == message ? QString() : message);
    if (bar->currentMessage() != elided)
        bar->showMessage(elided);
}

void CMainFrame::UpdateLockIndicators()
{
    LockState locks;
    if (!m_lockPanes[0] || !QueryLockKeys(&locks))
        return;
    const bool on[3] = {locks.caps, locks.num, locks.scroll};
    for (int i = 0; i < 3; ++i)
        m_lockPanes[i]->setText(on[i] ? m_lockPanes[i]->property("lockName").toString()
                                      : QString());
}

void CMainFrame::readSettings()
{
    QSettings s = Store();
    s.beginGroup(QStringLiteral("MainWindow"));
    const QByteArray geometry = s.value(QStringLiteral("Geometry")).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        // Wide enough for the whole staff and its right bar line beside a vertical scroll bar.
        const int width = kScrollWidth + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
        resize(width, 560);
    }
    restoreState(s.value(QStringLiteral("State")).toByteArray());
    const bool statusVisible = s.value(QStringLiteral("StatusBar"), true).toBool();
    s.endGroup();
    statusBar()->setVisible(statusVisible);
    Action(ID_VIEW_STATUS_BAR)->setChecked(statusVisible);

    m_recentFiles = SettingRecentFiles();
    UpdateRecentFileActions();
}

void CMainFrame::writeSettings()
{
    QSettings s = Store();
    s.beginGroup(QStringLiteral("MainWindow"));
    s.setValue(QStringLiteral("Geometry"), saveGeometry());
    s.setValue(QStringLiteral("State"), saveState());
    s.setValue(QStringLiteral("StatusBar"), !statusBar()->isHidden());
    s.endGroup();
}

void CMainFrame::UpdateCommandUI()
{
    const CMelody* melody = m_pDoc->GetCurrentMelody();
    const bool selected = melody && melody->GetSelected() >= 0;
    const bool notes = melody && melody->GetNoteCount() != 0;
    for (int id : {ID_NOTE_DELETE, ID_TONE_UP, ID_TONE_DOWN, ID_OCTAVE_UP, ID_OCTAVE_DOWN,
                   ID_DURATION_UP, ID_DURATION_DOWN})
        Action(id)->setEnabled(selected);
    Action(ID_VIEW_ZOOM_IN)->setEnabled(m_pView->GetZoom() < kZoomMax);
    Action(ID_VIEW_ZOOM_OUT)->setEnabled(m_pView->GetZoom() > kZoomMin);
    Action(ID_VIEW_ZOOM_NORMAL)->setEnabled(m_pView->GetZoom() != kZoomNormal);
    for (int id : {ID_NOTE_DELETE_LAST, ID_NOTE_NEXT, ID_NOTE_PREV, ID_MELODY_PLAY,
                   ID_MELODY_EXPORT, ID_MELODY_TRANSPOSE})
        Action(id)->setEnabled(notes);
    // "Отменить «Вставка ноты»": what the step was, in the menu; the bare word without one.
    const struct {
        int id;
        const char* word;
        const char* named; // the word with the step's name as %1
        const char* name;
        const char* keys;
    } history[] = {{ID_EDIT_UNDO, QT_TR_NOOP("&Отменить"), QT_TR_NOOP("&Отменить «%1»"),
                    m_pDoc->UndoName(), "Ctrl+Z"},
                   {ID_EDIT_REDO, QT_TR_NOOP("&Повторить"), QT_TR_NOOP("&Повторить «%1»"),
                    m_pDoc->RedoName(), "Ctrl+Y"}};
    for (const auto& h : history) {
        const QString text = h.name ? tr(h.named).arg(CTinklaDoc::tr(h.name)) : tr(h.word);
        Action(h.id)->setText(text + QLatin1Char('\t') + QLatin1String(h.keys));
        Action(h.id)->setEnabled(h.name != nullptr);
    }
}

void CMainFrame::OnEditUndo()
{
    m_pDoc->Undo();
    m_pView->EnsureSelectionVisible();
}

void CMainFrame::OnEditRedo()
{
    m_pDoc->Redo();
    m_pView->EnsureSelectionVisible();
}

void CMainFrame::SetFormatText(int melodies, int notes)
{
    m_panes[PaneFormat]->setText(FormatPaneText(melodies, notes));
}

void CMainFrame::SetMelodyText(int number)
{
    m_panes[PaneMelody]->setText(MelodyPaneText(number));
}

void CMainFrame::SetNotesText(int count)
{
    m_panes[PaneNotes]->setText(NotesPaneText(count));
}

void CMainFrame::SetToneText(BYTE code, bool none)
{
    m_panes[PaneTone]->setText(TonePaneText(code, none));
}

void CMainFrame::SetDurationText(BYTE code, bool none)
{
    m_panes[PaneDuration]->setText(DurationPaneText(code, none));
}

QString CMainFrame::PaneText(Pane pane) const
{
    return pane >= 0 && pane < PaneCount ? m_panes[pane]->text() : QString();
}

void CMainFrame::UpdateTitle()
{
    setWindowTitle(QStringLiteral("%1[*] - Tinkla").arg(m_pDoc->GetTitle()));
    setWindowModified(m_pDoc->IsModified());
}

bool CMainFrame::maybeSave()
{
    return m_pDoc->SaveModified();
}

bool CMainFrame::OpenDocument(const QString& path)
{
    if (!m_pDoc->OnOpenDocument(path))
        return false;
    m_pView->OnInitialUpdate();
    return true;
}

bool CMainFrame::OpenFile(const QString& path)
{
    return maybeSave() && OpenDocument(path);
}

void CMainFrame::OnFileNew()
{
    if (!maybeSave())
        return;
    // A cancelled format dialog leaves everything as it was, the scroll position included.
    bool replaced = false;
    const auto watch =
        connect(m_pDoc, &CTinklaDoc::updated, this, [&replaced] { replaced = true; });
    m_pDoc->OnNewDocument();
    disconnect(watch);
    if (replaced)
        m_pView->OnInitialUpdate();
}

void CMainFrame::OnFileOpen()
{
    if (!maybeSave())
        return;
    FileDialogRequest request;
    request.save = false;
    request.defaultExtension = QStringLiteral("fml");
    request.filter = tr(kOpenSetFilter);
    const QString path = m_pDoc->GetPrompter().FileDialog(request);
    if (!path.isEmpty())
        OpenDocument(path);
}

void CMainFrame::createExamplesMenu(QMenu* file)
{
    QMenu* examples = file->addMenu(tr("&Примеры"));
    examples->setObjectName(QStringLiteral("examplesMenu"));
    examples->menuAction()->setStatusTip(tr("Известные мелодии, готовые для звонка."));
    examples->menuAction()->setWhatsThis(
        tr("Открывает одну из известных мелодий, записанных для звонка, как новый набор. "
           "Прежде программа предложит сохранить изменённый набор."));
    std::vector<Example> list = ListExamples();
    // The files are named in Latin letters; the menu is read by its Russian titles.
    std::sort(list.begin(), list.end(), [](const Example& a, const Example& b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    examples->setEnabled(!list.empty());
    for (const Example& example : list) {
        QAction* action = examples->addAction(example.title);
        action->setStatusTip(tr("Открывает «%1» как новый набор.").arg(example.title));
        action->setWhatsThis(examples->menuAction()->whatsThis());
        const QString path = example.path;
        connect(action, &QAction::triggered, this, [this, path] {
            if (maybeSave())
                m_pDoc->OpenExample(path);
        });
    }
}

void CMainFrame::OnFileSave()
{
    m_pDoc->DoSave(false);
}

void CMainFrame::OnFileSaveAs()
{
    m_pDoc->DoSave(true);
}

void CMainFrame::OnOpenRecentFile()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action || !maybeSave())
        return;
    const QString path = action->data().toString();
    if (!OpenDocument(path) && !QFileInfo::exists(path)) {
        // A set that is gone stays out of the list; one that failed for another reason stays.
        m_recentFiles = SettingRecentFiles();
        m_recentFiles.removeAll(path);
        SetSettingRecentFiles(m_recentFiles);
        UpdateRecentFileActions();
    }
}

void CMainFrame::AddRecentFile(const QString& path)
{
    // Read afresh: another running editor may have changed the list meanwhile.
    m_recentFiles = SettingRecentFiles();
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFileCount)
        m_recentFiles.removeLast();
    SetSettingRecentFiles(m_recentFiles);
    UpdateRecentFileActions();
}

void CMainFrame::UpdateRecentFileActions()
{
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* action = m_recentActions[i];
        if (i < m_recentFiles.size()) {
            const QString& path = m_recentFiles[i];
            QString name = QFileInfo(path).fileName();
            name.replace(QLatin1Char('&'), QStringLiteral("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
            action->setStatusTip(path);
            action->setData(path);
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
    m_pRecentSeparator->setVisible(!m_recentFiles.isEmpty());
}

QString CMainFrame::DroppedSetFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() &&
            url.toLocalFile().endsWith(QLatin1String(".fml"), Qt::CaseInsensitive))
            return url.toLocalFile();
    return {};
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedSetFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString path = DroppedSetFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop is finished first: a question asked inside it would keep the dragging program
    // waiting for its answer.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            activateWindow();
            OpenFile(path);
        },
        Qt::QueuedConnection);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!maybeSave()) {
        event->ignore();
        return;
    }
    writeSettings();
    if (m_pHelp)
        m_pHelp->close();
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnterWhatsThisMode:
        m_bHelpMode = true;
        statusBar()->showMessage(tr(kHelpModeMessage));
        break;
    case QEvent::LeaveWhatsThisMode:
        m_bHelpMode = false;
        statusBar()->showMessage(tr(kIdleMessage));
        break;
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            UpdateLockIndicators();
        break;
    }
    case QEvent::Resize:
        if (watched == statusBar() && !statusBar()->currentMessage().isEmpty())
            ElideStatusMessage(statusBar()->property("fullMessage").toString());
        break;
    case QEvent::WindowActivate:
        // The lock keys may have changed while another program had the keyboard.
        if (watched == this)
            UpdateLockIndicators();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnAppAbout()
{
    CAboutDlg dlg(this);
    dlg.exec();
}

void CMainFrame::OnHelpFinder()
{
    if (!m_pHelp) {
        m_pHelp = new QTextBrowser;
        m_pHelp->setWindowTitle(tr("Справка - Tinkla"));
        m_pHelp->setWindowIcon(ApplicationIcon());
        m_pHelp->setOpenExternalLinks(true);
        m_pHelp->document()->setDocumentMargin(14);
        m_pHelp->setSource(QUrl(CurrentUiLanguage() == UiLanguage::English
                                    ? QStringLiteral("qrc:/help/index_en.html")
                                    : QStringLiteral("qrc:/help/index.html")));
        m_pHelp->resize(720, 640);
        auto* close = new QAction(m_pHelp);
        close->setShortcut(QKeySequence(Qt::Key_Escape));
        connect(close, &QAction::triggered, m_pHelp, &QWidget::close);
        m_pHelp->addAction(close);
    }
    m_pHelp->show();
    m_pHelp->raise();
    m_pHelp->activateWindow();
}

void CMainFrame::OnContextHelp()
{
    QWhatsThis::enterWhatsThisMode();
}

} // namespace tinkla
