// Opening and saving the largest sets, as File > Open and File > Save do them: the whole file read
// and checked before the set is replaced, and a save written to a temporary file, flushed to disk
// and renamed over the old one. The two largest sets are a single melody of 255 notes (1 × 255)
// and eight full melodies of 31 notes (8 × 31). The same work without the disk (the set's bytes
// parsed and stored in memory) shows how much of it is the file system's.
#include "document/TinklaDoc.h"
#include "platform/Archive.h"
#include "platform/Prompter.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace tinkla;

namespace
{

// Nothing the measured commands do asks a question; a message would mean the file is bad.
class CountingPrompter : public Prompter
{
public:
    Answer MessageBox(const QString&, unsigned) override
    {
        ++messages;
        return IDCANCEL;
    }
    QString FileDialog(const FileDialogRequest&) override { return {}; }
    bool AskSetFormat(int*) override { return false; }
    bool AskMelodyTitle(QString*) override { return false; }
    int messages = 0;
};

struct Shape {
    unsigned melodies;
    unsigned notes;
};
constexpr Shape kShapes[] = {{1, 255}, {8, 31}};

QByteArray Stored(CTinklaDoc& doc)
{
    Archive out;
    doc.Serialize(out);
    return out.Data();
}

// The set of the benchmark's shape (every melody full, every tone and length in turn, Cyrillic
// titles as long as they can be), an empty document to load into, and a folder for the file.
struct Sets {
    explicit Sets(benchmark::State& state) : shape(kShapes[state.range(0)])
    {
        full.OnNewDocument();
        full.SetFormat(shape.melodies, shape.notes);
        full.ResetMelodies();
        for (unsigned k = 0; k < shape.melodies; ++k) {
            CMelody* melody = full.GetMelody(k);
            melody->SetTitle(QByteArray(30, char(0xC0 + k))); // 30: the title dialog's limit
            for (unsigned i = 0; i < shape.notes; ++i)
                melody->AppendNote(
                    static_cast<BYTE>((i * 7 % kToneCount) * 8 + i % kDurationCount));
        }
        empty.OnNewDocument();
        full.OnSaveDocument(path);
    }
    // Reports the size and the shape; says so when `doc` does not hold the full set.
    void Finish(benchmark::State& state, qint64 bytes, CTinklaDoc* doc = nullptr)
    {
        if (prompter.messages != 0 || (doc && Stored(*doc) != Stored(full)))
            state.SkipWithError("the set did not come back as it was");
        state.counters["bytes"] = static_cast<double>(bytes);
        state.SetLabel(std::to_string(shape.melodies) + "x" + std::to_string(shape.notes));
    }

    const Shape shape;
    CountingPrompter prompter;
    CTinklaDoc full{&prompter};
    CTinklaDoc empty{&prompter};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("set.fml"));
};

void BM_SaveSet(benchmark::State& state)
{
    Sets sets(state);
    for (auto _ : state) {
        sets.full.SetModifiedFlag(true);
        if (!sets.full.OnSaveDocument(sets.path))
            state.SkipWithError("save failed");
    }
    sets.Finish(state, QFileInfo(sets.path).size());
}

void BM_OpenSet(benchmark::State& state)
{
    Sets sets(state);
    for (auto _ : state)
        if (!sets.empty.OnOpenDocument(sets.path))
            state.SkipWithError("open failed");
    sets.Finish(state, QFileInfo(sets.path).size(), &sets.empty);
}

// The file format's own cost, without the file: the set stored into bytes, and parsed back.
void BM_StoreSetInMemory(benchmark::State& state)
{
    Sets sets(state);
    qint64 bytes = 0;
    for (auto _ : state) {
        Archive out;
        sets.full.Serialize(out);
        bytes = out.Data().size();
        benchmark::DoNotOptimize(out.Data().constData());
    }
    sets.Finish(state, bytes);
}

void BM_ParseSetInMemory(benchmark::State& state)
{
    Sets sets(state);
    const QByteArray bytes = Stored(sets.full);
    for (auto _ : state) {
        Archive in(bytes, &sets.prompter);
        sets.empty.Serialize(in);
    }
    sets.Finish(state, bytes.size(), &sets.empty);
}

} // namespace

BENCHMARK(BM_SaveSet)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSet)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StoreSetInMemory)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseSetInMemory)->DenseRange(0, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
