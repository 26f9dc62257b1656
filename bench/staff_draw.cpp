// Drawing a melody into the view's off-screen image, as every repaint does: the largest set
// format's melody (255 notes, 22 staff rows) and shorter ones, to see that the cost grows with the
// notes and no faster.
#include "canvas/QtCanvas.h"
#include "model/Melody.h"

#include <QGuiApplication>
#include <QPainter>
#include <QtMath>
#include <benchmark/benchmark.h>

using namespace tinkla;

namespace
{

// Every tone and every length in turn, so ledger lines, sharps and both stem directions all occur.
CMelody MelodyOf(int notes)
{
    CMelody m;
    for (int i = 0; i < notes; ++i)
        m.AppendNote(static_cast<BYTE>((i * 7 % kToneCount) * 8 + i % kDurationCount));
    m.Select(notes / 2);
    return m;
}

void BM_PaintMelody(benchmark::State& state)
{
    CMelody melody = MelodyOf(static_cast<int>(state.range(0)));
    QImage image(kStaffPictureWidth, StaffPictureHeight(melody), QImage::Format_RGB32);
    const QColor highlight(0, 120, 215);
    for (auto _ : state) {
        QPainter painter(&image);
        PaintMelody(painter, melody, Qt::white, highlight);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PaintMelody)
    ->Arg(32)
    ->Arg(64)
    ->Arg(128)
    ->Arg(255)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);

// The 255-note melody at a scale in percent: a 200 % zoom and a device pixel ratio of 2 both paint
// this way, with every glyph drawn at device resolution.
void BM_PaintMelodyScaled(benchmark::State& state)
{
    CMelody melody = MelodyOf(255);
    const qreal scale = qreal(state.range(0)) / 100;
    QImage image(qCeil(kStaffPictureWidth * scale), qCeil(StaffPictureHeight(melody) * scale),
                 QImage::Format_RGB32);
    const QColor highlight(0, 120, 215);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.scale(scale, scale);
        PaintMelody(painter, melody, Qt::white, highlight);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintMelodyScaled)->Arg(150)->Arg(200)->Arg(300)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // fonts need it
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
