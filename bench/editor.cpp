// The editor as the user feels it: from start-up to the first painted staff, and from a key press
// to the repainted staff. The key goes through Qt's shortcut map to the command, as a real key
// does; the repaint goes through the window's backing store on the offscreen platform.
#include "document/TinklaDoc.h"
#include "model/Melody.h"
#include "platform/Prompter.h"
#include "ui/CMainFrame.h"
#include "ui/CTinklaView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

// QtGui's entry for a key's shortcut, the one QTest uses for its key clicks.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString& text,
                                               bool autorep, ushort count);

using namespace tinkla;

namespace
{

// Says yes to nothing and shows nothing: the measured commands ask no questions.
class SilentPrompter : public Prompter
{
public:
    Answer MessageBox(const QString&, unsigned) override { return IDCANCEL; }
    QString FileDialog(const FileDialogRequest&) override { return {}; }
    bool AskSetFormat(int*) override { return false; }
    bool AskMelodyTitle(QString*) override { return false; }
};

// Counts the view's paints, to wait for the one that follows a change.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void WaitForPaint(PaintCounter& counter, int before)
{
    while (counter.paints == before)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A key press as the window system delivers it: shortcut first, else the focused widget.
void PressKey(QWidget* focus, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    if (qt_sendShortcutOverrideEvent(focus, 0, key, mods, QString(), false, 1))
        return;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(focus, &press);
}

void BM_StartupToFirstPaint(benchmark::State& state)
{
    SilentPrompter prompter;
    for (auto _ : state) {
        CTinklaDoc doc(&prompter);
        doc.OnNewDocument();
        CMainFrame frame(&doc);
        PaintCounter counter;
        frame.GetView()->viewport()->installEventFilter(&counter);
        frame.show();
        WaitForPaint(counter, 0);
        state.PauseTiming();
        frame.hide();
        state.ResumeTiming();
    }
    state.SetLabel("new 8 x 31 set, window shown and its staff painted");
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(20);

// A 1 x 255 set whose melody has `notes` notes, the last one selected and given `edits` tone
// steps up and down, in a main window shown and painted once.
struct ShownMelody {
    explicit ShownMelody(int notes, int edits = 0) : doc(&prompter), frame(&doc)
    {
        doc.OnNewDocument();
        doc.ReplaceSet(1, 255, {});
        CMelody* melody = doc.GetCurrentMelody();
        for (int i = 0; i < notes; ++i)
            melody->AppendNote(BYTE((i * 7 % 20) * 8 + i % kDurationCount));
        melody->Select(notes - 1);
        for (int i = 0; i < edits; ++i)
            doc.ModifySelectedNote(i % 2 ? 1 : 0);
        frame.resize(700, 560);
        frame.show();
        frame.activateWindow();
        CTinklaView* view = frame.GetView();
        view->setFocus();
        view->viewport()->installEventFilter(&counter);
        QCoreApplication::processEvents();
        view->OnInitialUpdate();
        WaitForPaint(counter, 0);
    }
    SilentPrompter prompter;
    CTinklaDoc doc;
    CMainFrame frame;
    PaintCounter counter;
};

// Tone up on the last note of a melody of `notes` notes in a 1 x 255 set, to the repainted view.
void BM_ToneUpToRepaint(benchmark::State& state)
{
    const int notes = int(state.range(0));
    ShownMelody shown(notes);
    CTinklaDoc& doc = shown.doc;
    CMelody* melody = doc.GetCurrentMelody();
    CTinklaView* view = shown.frame.GetView();
    PaintCounter& counter = shown.counter;

    // The key must reach the command, not just repaint the view.
    const BYTE code = melody->GetNoteCode(notes - 1);
    PressKey(view, Qt::Key_W);
    if (melody->GetNoteCode(notes - 1) == code) {
        state.SkipWithError("W did not reach the tone-up command");
        return;
    }
    int key = Qt::Key_X;
    for (auto _ : state) {
        const int before = counter.paints;
        PressKey(view, key);
        WaitForPaint(counter, before);
        // Up and down in turn, so the note never sits at its limit.
        state.PauseTiming();
        key = key == Qt::Key_W ? Qt::Key_X : Qt::Key_W;
        state.ResumeTiming();
    }
    state.SetLabel(
        QStringLiteral("%1 notes, %2 rows").arg(notes).arg(melody->GetRows()).toStdString());
}
BENCHMARK(BM_ToneUpToRepaint)->Arg(1)->Arg(255)->Unit(benchmark::kMillisecond);

// A zoom step (Ctrl+= and Ctrl+- in turn, 100 % and 125 %) on a full 1 x 255 melody, to the
// repainted view.
void BM_ZoomStepToRepaint(benchmark::State& state)
{
    ShownMelody shown(255);
    CTinklaView* view = shown.frame.GetView();
    PaintCounter& counter = shown.counter;
    view->SetZoom(kZoomNormal);
    QCoreApplication::processEvents();
    int key = Qt::Key_Equal;
    for (auto _ : state) {
        const int before = counter.paints;
        PressKey(view, key, Qt::ControlModifier);
        WaitForPaint(counter, before);
        state.PauseTiming();
        key = key == Qt::Key_Equal ? Qt::Key_Minus : Qt::Key_Equal;
        state.ResumeTiming();
    }
    if (view->GetZoom() != kZoomNormal && view->GetZoom() != 125)
        state.SkipWithError("the zoom keys did not reach the view");
    view->SetZoom(kZoomNormal);
}
BENCHMARK(BM_ZoomStepToRepaint)->Unit(benchmark::kMillisecond);

// Ctrl+Z after 10,000 edits of the last note of a full 1 x 255 melody, to the repainted view;
// Ctrl+Y puts the edit back between runs.
void BM_UndoAfterTenThousandEdits(benchmark::State& state)
{
    ShownMelody shown(255, 10000);
    CTinklaDoc& doc = shown.doc;
    CTinklaView* view = shown.frame.GetView();
    PaintCounter& counter = shown.counter;
    for (auto _ : state) {
        const int before = counter.paints;
        PressKey(view, Qt::Key_Z, Qt::ControlModifier);
        WaitForPaint(counter, before);
        state.PauseTiming();
        if (!doc.CanRedo()) {
            state.SkipWithError("Ctrl+Z did not reach the undo command");
            return;
        }
        PressKey(view, Qt::Key_Y, Qt::ControlModifier);
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("10000 edits, 255 notes, 22 rows");
}
BENCHMARK(BM_UndoAfterTenThousandEdits)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The frame reads and writes its settings: keep them away from the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
