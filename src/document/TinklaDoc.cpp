#include "document/TinklaDoc.h"

#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Cp1251.h"
#include "platform/Prompter.h"
#include "platform/SafeFile.h"
#include "platform/TinklaError.h"

#include <QFileInfo>

namespace tinkla {

CTinklaDoc::CTinklaDoc(Prompter* prompter, QObject* parent) : QObject(parent), m_pPrompter(prompter)
{
}

CTinklaDoc::~CTinklaDoc() = default;

void CTinklaDoc::SetFormat(unsigned melodies, unsigned notes)
{
    m_nMelodies = melodies;
    m_nNotes = notes;
}

void CTinklaDoc::ResetMelodies()
{
    m_melodies.clear();
    for (unsigned i = 0; i < m_nMelodies; ++i)
        m_melodies.push_back(std::make_unique<CMelody>());
    m_nCurrent = 1;
}

CMelody* CTinklaDoc::GetMelody(unsigned index)
{
    return index < m_melodies.size() ? m_melodies[index].get() : nullptr;
}

const CMelody* CTinklaDoc::GetMelody(unsigned index) const
{
    return index < m_melodies.size() ? m_melodies[index].get() : nullptr;
}

void CTinklaDoc::SetCurrentNumber(unsigned n)
{
    if (n >= 1 && n <= m_melodies.size())
        m_nCurrent = n;
}

void CTinklaDoc::SetPathName(const QString& path, bool addToRecent)
{
    m_strPathName = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    emit pathChanged(m_strPathName);
    if (addToRecent && !m_strPathName.isEmpty())
        emit recentFileAdded(m_strPathName);
}

QString CTinklaDoc::GetTitle() const
{
    if (m_strPathName.isEmpty())
        return QString::fromUtf8(kUntitledName);
    return QFileInfo(m_strPathName).fileName();
}

void CTinklaDoc::SetModifiedFlag(bool modified)
{
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    emit modifiedChanged(modified);
}

bool CTinklaDoc::OnNewDocument()
{
    if (m_bFirstNew) {
        m_bFirstNew = false;
        SetFormat(8, 31);
        ResetMelodies();
    } else {
        int choice = m_nFormatChoice;
        if (!m_pPrompter->AskSetFormat(&choice) || choice < 0 || choice >= kFormatCount)
            return true; // cancelled: the set, its name and its changes stay as they were
        SetFormat(kSetFormats[choice].melodies, kSetFormats[choice].notes);
        m_nFormatChoice = choice;
        ResetMelodies();
    }
    SetPathName(QString(), false);
    SetModifiedFlag(false);
    UpdateAllViews();
    return true;
}

QByteArray CTinklaDoc::ReadFile(const QString& path, QString* error)
{
    QByteArray bytes = ReadRegularFile(path, kMaxFileBytes, error);
    if (!error->isEmpty())
        return {};
    if (bytes.size() > kMaxFileBytes) {
        *error = QStringLiteral("слишком большой файл");
        return {};
    }
    return bytes;
}

bool CTinklaDoc::WriteFile(const QString& path, const QByteArray& bytes)
{
    QString error;
    if (SaveFileSafely(path, bytes, &error))
        return true;
    m_pPrompter->MessageBox(QString::fromUtf8(kMsgCannotSave).arg(path, error),
                            MB_OK | MB_ICONHAND);
    return false;
}

bool CTinklaDoc::LoadSet(Archive& ar, Set* set)
{
    const uint32_t melodies = ar.ReadU32();
    const uint32_t notes = ar.ReadU32();
    if (FormatIndex(melodies, notes) < 0) {
        ShowMessage(*m_pPrompter, kMsgBadSetFile, MB_OK);
        return false;
    }
    set->melodies = melodies;
    set->notes = notes;
    for (uint32_t i = 0; i < melodies; ++i) {
        set->list.push_back(std::make_unique<CMelody>());
        set->list.back()->Serialize(ar, static_cast<int>(notes));
    }
    return true;
}

void CTinklaDoc::Serialize(Archive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteU32(m_nMelodies);
        ar.WriteU32(m_nNotes);
        for (auto& melody : m_melodies)
            melody->Serialize(ar);
        return;
    }
    Set set;
    if (!LoadSet(ar, &set))
        return;
    Adopt(std::move(set));
    UpdateAllViews();
}

void CTinklaDoc::Adopt(Set&& set)
{
    m_nMelodies = set.melodies;
    m_nNotes = set.notes;
    m_melodies = std::move(set.list);
    m_nCurrent = 1;
    m_bFirstNew = false;
}

bool CTinklaDoc::OnOpenDocument(const QString& path)
{
    QString error;
    const QByteArray bytes = ReadFile(path, &error);
    if (!error.isEmpty()) {
        m_pPrompter->MessageBox(QString::fromUtf8(kMsgCannotOpen).arg(path, error),
                                MB_OK | MB_ICONHAND);
        return false;
    }
    Archive ar(bytes, m_pPrompter);
    Set set;
    try {
        // An invalid header is not a successful open: the set, its name and its changes stay.
        if (!LoadSet(ar, &set))
            return false;
    } catch (const ArchiveError&) {
        m_pPrompter->MessageBox(QString::fromUtf8(kMsgFileDamaged).arg(path), MB_OK | MB_ICONHAND);
        return false;
    }
    Adopt(std::move(set));
    SetPathName(path, true);
    SetModifiedFlag(false);
    UpdateAllViews();
    return true;
}

bool CTinklaDoc::OnSaveDocument(const QString& path)
{
    Archive ar;
    Serialize(ar);
    if (!WriteFile(path, ar.Data()))
        return false;
    SetModifiedFlag(false);
    UpdateAllViews();
    return true;
}

bool CTinklaDoc::DoSave(bool saveAs)
{
    QString path = m_strPathName;
    if (saveAs || path.isEmpty()) {
        FileDialogRequest req;
        req.save = true;
        req.title = QStringLiteral("Сохранить как");
        req.initialPath = path.isEmpty() ? GetTitle() + QStringLiteral(".fml") : path;
        req.defaultExtension = QStringLiteral("fml");
        req.filter = QString::fromUtf8(kSetFileFilter);
        path = m_pPrompter->FileDialog(req);
        if (path.isEmpty())
            return false;
    }
    if (!OnSaveDocument(path))
        return false;
    SetPathName(path, true);
    return true;
}

void CTinklaDoc::MarkAsNewUnsavedSet()
{
    SetPathName(QString(), false);
    SetModifiedFlag(true);
    UpdateAllViews();
}

bool CTinklaDoc::SaveModified()
{
    if (!m_bModified)
        return true;
    const QString question = QStringLiteral("Сохранить изменения в «%1»?").arg(GetTitle());
    switch (m_pPrompter->MessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return DoSave(false);
    case IDNO: return true;
    default: return false;
    }
}

void CTinklaDoc::SerializeMelody(Archive& ar)
{
    CMelody* current = GetCurrentMelody();
    if (ar.IsStoring()) {
        ar.WriteI32(current->GetNoteCount());
        current->Serialize(ar);
        return;
    }
    const uint32_t leading = ar.ReadU32();
    if (leading > m_nNotes)
        ThrowMessage(kMsgBadMelodyFile);
    // Read into a melody of its own, so a file that ends early leaves the current one as it was.
    CMelody loaded;
    loaded.SetTitle(current->GetTitle());
    loaded.Serialize(ar, static_cast<int>(m_nNotes));
    *current = std::move(loaded);
}

bool CTinklaDoc::LoadMelodyFile(const QString& path)
{
    QString error;
    const QByteArray bytes = ReadFile(path, &error);
    if (!error.isEmpty()) {
        m_pPrompter->MessageBox(QString::fromUtf8(kMsgCannotOpen).arg(path, error),
                                MB_OK | MB_ICONHAND);
        return false;
    }
    Archive ar(bytes, m_pPrompter);
    try {
        SerializeMelody(ar);
    } catch (const ArchiveError&) {
        m_pPrompter->MessageBox(QString::fromUtf8(kMsgFileDamaged).arg(path), MB_OK | MB_ICONHAND);
        return false;
    } catch (const TinklaError& e) {
        // Reported here, not by the caller, so that the command-line tool gets the same message
        // and a plain false instead of an exception it would have to know about.
        ShowMessage(*m_pPrompter, e.text, MB_OK | MB_ICONHAND);
        return false;
    }
    UpdateAllViews();
    SetModifiedFlag(true);
    return true;
}

bool CTinklaDoc::SaveMelodyFile(const QString& path)
{
    Archive ar;
    SerializeMelody(ar);
    return WriteFile(path, ar.Data());
}

void CTinklaDoc::OnMelodyNext()
{
    if (!HasSet())
        return;
    m_nCurrent = m_nCurrent < m_nMelodies ? m_nCurrent + 1 : 1;
    UpdateAllViews();
}

void CTinklaDoc::OnMelodyPrev()
{
    if (!HasSet())
        return;
    m_nCurrent = m_nCurrent <= 1 ? m_nMelodies : m_nCurrent - 1;
    UpdateAllViews();
}

void CTinklaDoc::SaveAsFirst()
{
    FileDialogRequest req;
    req.save = true;
    req.title = QStringLiteral("Сохранить как");
    req.initialPath = m_strPathName;
    req.defaultExtension = QStringLiteral("fml");
    req.filter = QString::fromUtf8(kSetFileFilter);
    const QString path = m_pPrompter->FileDialog(req);
    if (path.isEmpty())
        return; // no save, but the load goes on
    if (!OnSaveDocument(path))
        ThrowMessage(kMsgSaveFailed);
    SetPathName(path, true);
}

void CTinklaDoc::OnMelodyLoad()
{
    const Answer answer =
        ShowMessage(*m_pPrompter, kMsgReplaceMelody, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO)
        return;
    try {
        if (answer == IDYES)
            SaveAsFirst();
        FileDialogRequest req;
        req.save = false;
        req.defaultExtension = QStringLiteral("mel");
        req.filter = QString::fromUtf8(kMelodyFileFilter);
        const QString path = m_pPrompter->FileDialog(req);
        if (path.isEmpty())
            return;
        LoadMelodyFile(path);
    } catch (const TinklaError& e) {
        ShowMessage(*m_pPrompter, e.text, MB_OK | MB_ICONHAND);
    }
}

void CTinklaDoc::OnMelodySave()
{
    FileDialogRequest req;
    req.save = true;
    req.defaultExtension = QStringLiteral("mel");
    req.filter = QString::fromUtf8(kMelodyFileFilter);
    const QString path = m_pPrompter->FileDialog(req);
    if (path.isEmpty())
        return;
    SaveMelodyFile(path);
}

void CTinklaDoc::OnMelodyTitle()
{
    CMelody* melody = GetCurrentMelody();
    QString title = Cp1251ToUnicode(melody->GetTitle());
    if (!m_pPrompter->AskMelodyTitle(&title))
        return;
    QByteArray bytes;
    if (!UnicodeToCp1251(title, &bytes))
        return; // the dialog admits only what code page 1251 can hold
    melody->SetTitle(bytes);
    UpdateAllViews();
    SetModifiedFlag(true);
}

} // namespace tinkla
