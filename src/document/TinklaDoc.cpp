#include "document/TinklaDoc.h"

#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Cp1251.h"
#include "platform/Prompter.h"
#include "platform/SafeFile.h"
#include "platform/TinklaError.h"

#include <QFileInfo>
#include <cstdlib>

namespace tinkla
{

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
    StartHistory();
}

void CTinklaDoc::StartHistory()
{
    m_history.Clear();
    m_bForcedModified = m_bModified;
    emit historyChanged();
}

void CTinklaDoc::UpdateModified()
{
    const bool modified = m_bForcedModified || !m_history.IsClean();
    if (m_bModified == modified)
        return;
    m_bModified = modified;
    emit modifiedChanged(modified);
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
        return tr(kUntitledName);
    return QFileInfo(m_strPathName).fileName();
}

void CTinklaDoc::SetModifiedFlag(bool modified)
{
    m_bForcedModified = modified;
    if (!modified)
        m_history.SetClean();
    UpdateModified();
}

EditState CTinklaDoc::CaptureMelody(unsigned index) const
{
    EditState state;
    state.current = m_nCurrent;
    state.melody = static_cast<int>(index);
    Archive ar;
    m_melodies[index]->Serialize(ar);
    state.bytes = ar.Data();
    state.selected = m_melodies[index]->GetSelected();
    return state;
}

void CTinklaDoc::Restore(const EditState& state)
{
    if (state.melody < 0 || static_cast<size_t>(state.melody) >= m_melodies.size())
        return;
    Archive ar(state.bytes, m_pPrompter);
    auto melody = std::make_unique<CMelody>();
    melody->SetTitle(QByteArray());
    melody->Serialize(ar, static_cast<int>(m_nNotes));
    melody->Select(state.selected);
    m_melodies[state.melody] = std::move(melody);
    SetCurrentNumber(state.current);
}

void CTinklaDoc::EditCurrentMelody(const char* name, const std::function<void(CMelody&)>& change)
{
    const unsigned index = m_nCurrent - 1;
    EditState before = CaptureMelody(index);
    change(*m_melodies[index]);
    EditState after = CaptureMelody(index);
    if (after.bytes != before.bytes) {
        m_history.Push({name, std::move(before), std::move(after)});
        emit historyChanged();
    } else {
        m_bForcedModified = true; // nothing to undo, but the user asked for a change
    }
    UpdateModified();
    UpdateAllViews();
}

void CTinklaDoc::ReplaceSet(unsigned melodies, unsigned notes,
                            const std::vector<std::vector<BYTE>>& codes)
{
    SetFormat(melodies, notes);
    ResetMelodies();
    for (unsigned k = 0; k < melodies && k < codes.size(); ++k)
        for (size_t j = 0; j < codes[k].size() && j < notes; ++j)
            m_melodies[k]->AppendNote(codes[k][j]);
    UpdateAllViews();
}

bool CTinklaDoc::InsertNote()
{
    CMelody* melody = GetCurrentMelody();
    // The melody does not know the set's limit; the document keeps every melody within N.
    if (static_cast<unsigned>(melody->GetNoteCount()) >= m_nNotes) {
        ShowMessage(*m_pPrompter, kMsgCannotInsert, MB_OK | MB_ICONINFORMATION);
        return false;
    }
    EditCurrentMelody(kEditInsertNote, [](CMelody& m) { m.InsertNote(); });
    return true;
}

bool CTinklaDoc::DeleteSelectedNote()
{
    if (GetCurrentMelody()->GetSelected() < 0)
        return false;
    if (ShowMessage(*m_pPrompter, kMsgDeleteNote, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    EditCurrentMelody(kEditDeleteNote, [](CMelody& m) { m.DeleteSelected(); });
    return true;
}

bool CTinklaDoc::DeleteLastNote()
{
    if (GetCurrentMelody()->GetNoteCount() == 0)
        return false;
    EditCurrentMelody(kEditDeleteNote, [](CMelody& m) { m.DeleteLast(); });
    return true;
}

bool CTinklaDoc::ModifySelectedNote(BYTE op)
{
    if (GetCurrentMelody()->GetSelected() < 0)
        return false;
    EditCurrentMelody(op < 2 ? kEditTone : kEditDuration,
                      [op](CMelody& m) { m.ModifySelected(op); });
    return true;
}

bool CTinklaDoc::MoveSelectedTone(int semitones)
{
    const CMelody* melody = GetCurrentMelody();
    const int selected = melody->GetSelected();
    if (selected < 0 || semitones == 0)
        return false;
    const int tone = melody->GetNote(selected).GetTone() + semitones;
    if (tone < 0 || tone >= kToneCount)
        return false;
    EditCurrentMelody(kEditTone, [semitones](CMelody& m) {
        for (int i = 0; i < std::abs(semitones); ++i)
            m.ModifySelected(semitones > 0 ? 0 : 1);
    });
    return true;
}

const char* CTinklaDoc::UndoName() const
{
    const EditStep* step = m_history.NextUndo();
    return step ? step->name : nullptr;
}

const char* CTinklaDoc::RedoName() const
{
    const EditStep* step = m_history.NextRedo();
    return step ? step->name : nullptr;
}

void CTinklaDoc::Undo()
{
    if (!CanUndo())
        return;
    Restore(m_history.Undo().before);
    UpdateModified();
    emit historyChanged();
    UpdateAllViews();
}

void CTinklaDoc::Redo()
{
    if (!CanRedo())
        return;
    Restore(m_history.Redo().after);
    UpdateModified();
    emit historyChanged();
    UpdateAllViews();
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
        *error = tr("слишком большой файл");
        return {};
    }
    return bytes;
}

bool CTinklaDoc::WriteFile(const QString& path, const QByteArray& bytes)
{
    QString error;
    if (SaveFileSafely(path, bytes, &error))
        return true;
    m_pPrompter->MessageBox(MessageText(kMsgCannotSave).arg(path, error), MB_OK | MB_ICONHAND);
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
    StartHistory();
}

bool CTinklaDoc::ReadFileOrSay(const QString& path, QByteArray* bytes)
{
    QString error;
    *bytes = ReadFile(path, &error);
    if (error.isEmpty())
        return true;
    m_pPrompter->MessageBox(MessageText(kMsgCannotOpen).arg(path, error), MB_OK | MB_ICONHAND);
    return false;
}

bool CTinklaDoc::LoadSetFile(const QString& path)
{
    QByteArray bytes;
    if (!ReadFileOrSay(path, &bytes))
        return false;
    Archive ar(bytes, m_pPrompter);
    Set set;
    try {
        // An invalid header is not a successful open: the set, its name and its changes stay.
        if (!LoadSet(ar, &set))
            return false;
    } catch (const ArchiveError&) {
        m_pPrompter->MessageBox(MessageText(kMsgFileDamaged).arg(path), MB_OK | MB_ICONHAND);
        return false;
    }
    Adopt(std::move(set));
    return true;
}

bool CTinklaDoc::OnOpenDocument(const QString& path)
{
    if (!LoadSetFile(path))
        return false;
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
        req.title = tr("Сохранить как");
        req.initialPath = path.isEmpty() ? GetTitle() + QStringLiteral(".fml") : path;
        req.defaultExtension = QStringLiteral("fml");
        req.filter = tr(kSetFileFilter);
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
    const QString question = tr("Сохранить изменения в «%1»?").arg(GetTitle());
    switch (m_pPrompter->MessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return DoSave(false);
    case IDNO:
        return true;
    default:
        return false;
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
    EditCurrentMelody(kEditLoadMelody, [&loaded](CMelody& m) { m = std::move(loaded); });
}

bool CTinklaDoc::LoadMelodyFile(const QString& path)
{
    QByteArray bytes;
    if (!ReadFileOrSay(path, &bytes))
        return false;
    Archive ar(bytes, m_pPrompter);
    try {
        SerializeMelody(ar);
    } catch (const ArchiveError&) {
        m_pPrompter->MessageBox(MessageText(kMsgFileDamaged).arg(path), MB_OK | MB_ICONHAND);
        return false;
    } catch (const TinklaError& e) {
        // Reported here, not by the caller, so that the command-line tool gets the same message
        // and a plain false instead of an exception it would have to know about.
        ShowMessage(*m_pPrompter, e.text, MB_OK | MB_ICONHAND);
        return false;
    }
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
    req.title = tr("Сохранить как");
    req.initialPath = m_strPathName;
    req.defaultExtension = QStringLiteral("fml");
    req.filter = tr(kSetFileFilter);
    const QString path = m_pPrompter->FileDialog(req);
    if (path.isEmpty())
        return; // no save, but the load goes on
    if (!OnSaveDocument(path))
        ThrowMessage(kMsgSaveFailed);
    SetPathName(path, true);
}

bool CTinklaDoc::ConfirmReplaceMelody()
{
    const Answer answer =
        ShowMessage(*m_pPrompter, kMsgReplaceMelody, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer != IDYES && answer != IDNO)
        return false;
    if (answer == IDYES)
        SaveAsFirst();
    return true;
}

void CTinklaDoc::ReplaceMelodyFromFile(FileDialogRequest request,
                                       const std::function<void(const QString&)>& load)
{
    try {
        if (!ConfirmReplaceMelody())
            return;
        request.save = false;
        const QString path = m_pPrompter->FileDialog(request);
        if (!path.isEmpty())
            load(path);
    } catch (const TinklaError& e) {
        ShowMessage(*m_pPrompter, e.text, MB_OK | MB_ICONHAND);
    }
}

void CTinklaDoc::OnMelodyLoad()
{
    FileDialogRequest req;
    req.defaultExtension = QStringLiteral("mel");
    req.filter = tr(kMelodyFileFilter);
    ReplaceMelodyFromFile(req, [this](const QString& path) { LoadMelodyFile(path); });
}

void CTinklaDoc::OnMelodySave()
{
    FileDialogRequest req;
    req.save = true;
    req.defaultExtension = QStringLiteral("mel");
    req.filter = tr(kMelodyFileFilter);
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
    EditCurrentMelody(kEditTitle, [&bytes](CMelody& m) { m.SetTitle(bytes); });
}

} // namespace tinkla
