// The document's commands for melodies in other formats: import (RTTTL, MIDI) into the current
// melody, export of it, and transposition. The codecs are in exchange/; here are the files, the
// questions and the reports.
#include "document/TinklaDoc.h"
#include "exchange/Exchange.h"
#include "model/Messages.h"
#include "platform/Cp1251.h"
#include "platform/Prompter.h"
#include "platform/TinklaError.h"

#include <QFileInfo>

namespace tinkla
{
namespace
{

// Translated where they are shown, with CTinklaDoc::tr() or MessageText().
constexpr const char* kImportFilter = QT_TRANSLATE_NOOP(
    "tinkla::CTinklaDoc",
    "Мелодии RTTTL и MIDI (*.rtttl;*.rtx;*.txt;*.mid;*.midi)|*.rtttl;*.rtx;*.txt;*.mid;*.midi|"
    "Все файлы (*.*)|*.*||");
constexpr const char* kExportFilter = QT_TRANSLATE_NOOP(
    "tinkla::CTinklaDoc",
    "Мелодия RTTTL (*.rtttl)|*.rtttl|Файл MIDI (*.mid)|*.mid|Все файлы (*.*)|*.*||");
constexpr const char* kMsgOutOfRange = QT_TRANSLATE_NOOP(
    "Messages",
    "Транспонирование выводит ноты за пределы звонка (от соль-диеза малой октавы до ре-диеза "
    "третьей).\nМелодия не изменена.");
constexpr const char* kMsgNothingImported =
    QT_TRANSLATE_NOOP("Messages", "Не удалось импортировать мелодию из «%1»:\n%2");

bool IsMidiName(const QString& name)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return suffix == QLatin1String("mid") || suffix == QLatin1String("midi");
}

std::vector<BYTE> CodesOf(const CMelody& melody)
{
    std::vector<BYTE> codes;
    for (int i = 0; i < melody.GetNoteCount(); ++i)
        codes.push_back(melody.GetNoteCode(i));
    return codes;
}

} // namespace

void CTinklaDoc::ReplaceCurrentMelody(const char* name, const QByteArray& title,
                                      const std::vector<BYTE>& codes, int selected)
{
    EditCurrentMelody(name, [&](CMelody& m) {
        CMelody melody;
        melody.SetTitle(title);
        for (BYTE code : codes)
            melody.AppendNote(code);
        melody.Select(selected);
        m = std::move(melody);
    });
}

bool CTinklaDoc::ImportMelodyData(const QByteArray& bytes, const QString& name,
                                  const ImportOptions& options)
{
    exchange::Imported imported;
    QString error;
    const bool midi = IsMidiName(name) || bytes.startsWith("MThd");
    const bool read = midi ? exchange::ReadMidi(bytes, options.track, &imported, &error)
                           : exchange::ReadRtttl(bytes, &imported, &error);
    if (read && imported.notes.empty())
        error = tr("в файле нет нот");
    if (!error.isEmpty()) {
        m_pPrompter->MessageBox(MessageText(kMsgNothingImported).arg(name, error),
                                MB_OK | MB_ICONHAND);
        return false;
    }
    const int maxNotes = static_cast<int>(m_nNotes);
    const exchange::FitResult fit =
        exchange::FitNotes(imported.notes, options.fitOctaves, options.semitones, maxNotes);
    QByteArray title = exchange::TitleBytes(imported.title);
    if (title.isEmpty() && name != QLatin1String("-")) // standard input has no name to give
        title = exchange::TitleBytes(QFileInfo(name).completeBaseName());
    if (title.isEmpty())
        title = GetCurrentMelody()->GetTitle();
    ReplaceCurrentMelody(kEditImport, title, fit.codes);
    m_pPrompter->MessageBox(exchange::ImportReport(imported, fit, maxNotes),
                            MB_OK | MB_ICONINFORMATION);
    return true;
}

bool CTinklaDoc::ImportMelodyFile(const QString& path, const ImportOptions& options)
{
    QByteArray bytes;
    return ReadFileOrSay(path, &bytes) && ImportMelodyData(bytes, path, options);
}

QByteArray CTinklaDoc::ExportMelodyBytes(bool midi)
{
    const CMelody& melody = *GetCurrentMelody();
    const QString title = Cp1251ToUnicode(melody.GetTitle());
    const std::vector<BYTE> codes = CodesOf(melody);
    return midi ? exchange::WriteMidi(title, codes) : exchange::WriteRtttl(title, codes);
}

bool CTinklaDoc::ExportMelodyFile(const QString& path)
{
    return WriteFile(path, ExportMelodyBytes(IsMidiName(path)));
}

bool CTinklaDoc::TransposeMelody(int semitones, bool fold)
{
    CMelody* melody = GetCurrentMelody();
    std::vector<BYTE> codes = CodesOf(*melody);
    if (!exchange::TransposeCodes(&codes, semitones, fold, nullptr)) {
        ShowMessage(*m_pPrompter, kMsgOutOfRange, MB_OK | MB_ICONHAND);
        return false;
    }
    // The same note stays selected.
    ReplaceCurrentMelody(kEditTranspose, melody->GetTitle(), codes, melody->GetSelected());
    return true;
}

bool CTinklaDoc::OpenExample(const QString& path)
{
    if (!LoadSetFile(path))
        return false;
    SetPathName(QString(), false); // the installed file stays as it is
    SetModifiedFlag(false);
    UpdateAllViews();
    return true;
}

void CTinklaDoc::OnMelodyImport()
{
    FileDialogRequest req;
    req.title = tr("Импорт мелодии");
    req.filter = tr(kImportFilter);
    ReplaceMelodyFromFile(req,
                          [this](const QString& path) { ImportMelodyFile(path, ImportOptions{}); });
}

void CTinklaDoc::OnMelodyExport()
{
    FileDialogRequest req;
    req.save = true;
    req.title = tr("Экспорт мелодии");
    req.defaultExtension = QStringLiteral("rtttl");
    req.filter = tr(kExportFilter);
    const QString path = m_pPrompter->FileDialog(req);
    if (!path.isEmpty())
        ExportMelodyFile(path);
}

void CTinklaDoc::OnMelodyTranspose()
{
    int semitones = 0;
    bool fold = false;
    if (!m_pPrompter->AskTranspose(&semitones, &fold) || semitones == 0)
        return;
    TransposeMelody(semitones, fold);
}

} // namespace tinkla
