#include "document/Examples.h"

#include "document/TinklaDoc.h"
#include "platform/Cp1251.h"
#include "platform/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tinkla
{
namespace
{

// Listing the library asks nothing and shows nothing: a damaged file is left out.
class QuietPrompter : public Prompter
{
public:
    Answer MessageBox(const QString&, unsigned) override { return IDCANCEL; }
    QString FileDialog(const FileDialogRequest&) override { return {}; }
    bool AskSetFormat(int*) override { return false; }
    bool AskMelodyTitle(QString*) override { return false; }
};

} // namespace

QString ExamplesDir()
{
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() +
                          QStringLiteral("/../share/tinkla/examples");
#ifdef TINKLA_EXAMPLES_SOURCE_DIR
    candidates << QStringLiteral(TINKLA_EXAMPLES_SOURCE_DIR);
#endif
    for (const QString& dir : candidates)
        if (!QDir(dir).entryList({QStringLiteral("*.fml")}, QDir::Files).isEmpty())
            return QDir(dir).absolutePath();
    return {};
}

std::vector<Example> ListExamples()
{
    std::vector<Example> examples;
    const QString dir = ExamplesDir();
    if (dir.isEmpty())
        return examples;
    const QDir folder(dir);
    for (const QString& file :
         folder.entryList({QStringLiteral("*.fml")}, QDir::Files, QDir::Name)) {
        QuietPrompter prompter;
        CTinklaDoc doc(&prompter);
        const QString path = folder.absoluteFilePath(file);
        if (!doc.OnOpenDocument(path))
            continue;
        examples.push_back({QFileInfo(file).completeBaseName(), path,
                            Cp1251ToUnicode(doc.GetMelody(0)->GetTitle())});
    }
    return examples;
}

} // namespace tinkla
