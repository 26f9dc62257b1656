// tinkla-cli png: one melody of a set as the editor shows it, written to a PNG file, so a set can
// be looked at (or checked by a script) without starting the editor.
#ifdef TINKLA_HAVE_GUI

#include "canvas/QtCanvas.h"
#include "cli/CliDoc.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPalette>

namespace tinkla::cli
{
namespace
{

constexpr const char* kUsage = "png SET.fml K OUT.png [--select I] [--scale F]";

int RunPng(const QStringList& arguments)
{
    const Args args(arguments, {QStringLiteral("select"), QStringLiteral("scale")}, {});
    if (args.positional().size() != 3)
        return Usage(kUsage);
    int select = -1;
    if (args.has(QStringLiteral("select"))) {
        bool ok = false;
        select = args.value(QStringLiteral("select")).toInt(&ok);
        if (!ok || select < 0)
            return UsageError(QStringLiteral("--select takes a note index from 0, not '%1'")
                                  .arg(args.value(QStringLiteral("select"))));
    }
    // As a display of that device pixel ratio shows it; beyond 8 the picture is only memory.
    double scale = 1;
    if (args.has(QStringLiteral("scale"))) {
        bool ok = false;
        scale = args.value(QStringLiteral("scale")).toDouble(&ok);
        if (!ok || !(scale >= 0.25 && scale <= 8)) {
            return UsageError(QStringLiteral("--scale takes a number from 0.25 to 8, not '%1'")
                                  .arg(args.value(QStringLiteral("scale"))));
        }
    }

    CliDoc set;
    if (!set.Open(args.positional()[0]))
        return kExitFailed;
    unsigned k = 0;
    if (const int rc = set.ResolveMelody(args.positional()[1], &k); rc != kExitOk)
        return rc;
    CMelody& melody = *set.doc().GetMelody(k - 1);
    if (select >= melody.GetNoteCount()) {
        Err(melody.GetNoteCount() == 0
                ? QStringLiteral("tinkla-cli: melody %1 has no notes to select").arg(k)
                : QStringLiteral("tinkla-cli: melody %1 has notes 0..%2, there is no note %3")
                      .arg(k)
                      .arg(melody.GetNoteCount() - 1)
                      .arg(select));
        return kExitFailed;
    }
    if (select >= 0)
        melody.Select(select);

    // A white window, and the desktop's highlight for the selected note, as in the editor.
    const QColor highlight =
        QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
    const QImage image = RenderMelody(melody, Qt::white, highlight, scale);

    const QString out = args.positional()[2];
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG")) {
        Err(QStringLiteral("cannot draw melody %1 as PNG").arg(k));
        return kExitFailed;
    }
    return WriteOutput(out, png, true) ? kExitOk : kExitFailed;
}

} // namespace

TINKLA_CLI_COMMAND("png", kUsage,
                   "draw melody K (from 1) as the editor shows it into a PNG, note I (from 0) "
                   "selected, at F device pixels per picture pixel",
                   RunPng);

} // namespace tinkla::cli

#endif // TINKLA_HAVE_GUI
