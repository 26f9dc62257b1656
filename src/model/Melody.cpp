#include "model/Melody.h"

#include "model/Messages.h"
#include "platform/Archive.h"
#include "platform/Cp1251.h"
#include "platform/Prompter.h"

#include <QCoreApplication>

namespace tinkla
{

QByteArray DefaultMelodyTitle()
{
    // Looked up each time: a melody made after a change of language gets the new one's title.
    QByteArray title;
    UnicodeToCp1251(QCoreApplication::translate("CMelody", "Новая мелодия"), &title);
    return title;
}

CMelody::CMelody() : m_strTitle(DefaultMelodyTitle()) {}

void CMelody::InsertNote()
{
    CNote note;
    note.Select();
    if (m_nSelected >= 0) {
        m_notes[m_nSelected].Deselect();
        const int at = m_nSelected + 1;
        note.SetPosition(at);
        m_notes.insert(m_notes.begin() + at, note);
        m_nSelected = at;
    } else {
        m_notes.push_back(note);
        m_nSelected = GetNoteCount() - 1;
        m_notes.back().SetPosition(m_nSelected);
    }
    RecalcRows();
}

void CMelody::AppendNote(BYTE code)
{
    m_notes.emplace_back(code);
    m_notes.back().SetPosition(GetNoteCount() - 1);
    RecalcRows();
}

void CMelody::DeleteSelected()
{
    if (m_nSelected < 0)
        return;
    m_notes.erase(m_notes.begin() + m_nSelected);
    m_nSelected = -1;
    RecalcRows();
}

void CMelody::DeleteLast()
{
    if (m_notes.empty())
        return;
    if (m_nSelected == GetNoteCount() - 1)
        m_nSelected = -1;
    m_notes.pop_back();
    RecalcRows();
}

void CMelody::DeleteAll()
{
    m_notes.clear();
    m_nSelected = -1;
    RecalcRows();
}

void CMelody::ModifySelected(BYTE op)
{
    if (m_nSelected < 0)
        return;
    CNote& note = m_notes[m_nSelected];
    switch (op) {
    case 0:
        note.ToneUp();
        break;
    case 1:
        note.ToneDown();
        break;
    case 2:
        note.Lengthen();
        break;
    case 3:
        note.Shorten();
        break;
    default:
        break;
    }
}

void CMelody::HitTest(int x, int y)
{
    if (m_notes.empty())
        return;
    if (m_nSelected >= 0)
        m_notes[m_nSelected].Deselect();
    // 64-bit so that a huge stored row count cannot overflow the band's end.
    const long long bottom = static_cast<long long>(m_nRows) * 100 + 100;
    if (x >= 69 && x < 609 && y >= 100 && y < bottom) {
        const long long index =
            (x - 69) / 45 + static_cast<long long>((y - 100) / 100) * kNotesPerRow;
        m_nSelected = index < GetNoteCount() ? static_cast<int>(index) : GetNoteCount() - 1;
    } else {
        m_nSelected = -1;
    }
    if (m_nSelected >= 0)
        m_notes[m_nSelected].Select();
}

void CMelody::Select(int index)
{
    if (index < 0 || index >= GetNoteCount())
        return;
    if (m_nSelected >= 0)
        m_notes[m_nSelected].Deselect();
    m_notes[index].Select();
    m_nSelected = index;
}

void CMelody::Deselect()
{
    if (m_nSelected < 0)
        return;
    m_notes[m_nSelected].Deselect();
    m_nSelected = -1;
}

void CMelody::Serialize(Archive& ar, int maxNotes)
{
    if (ar.IsStoring()) {
        ar.WriteI32(m_nRows);
        ar.WriteString(m_strTitle);
        ar.WriteI32(GetNoteCount());
        for (CNote& note : m_notes)
            note.Serialize(ar);
        return;
    }

    const int32_t rows = ar.ReadI32();
    QByteArray title = ar.ReadString();
    const int32_t count = ar.ReadI32();
    if (count < 0 || static_cast<int64_t>(count) > static_cast<int64_t>(rows) * kNotesPerRow) {
        if (ar.GetPrompter())
            ShowMessage(*ar.GetPrompter(), kMsgMelodyReadError, MB_OK);
        return;
    }
    // The notes must be there before any is created: a count from a damaged file never sizes an
    // allocation beyond the bytes that follow it.
    ar.Require(static_cast<uint64_t>(count) * 2);

    m_nRows = rows;
    // A title may legally be megabytes long in a file; every keystroke and every picture of the
    // melody would pay for it.
    if (title.size() > kMaxTitleBytes) {
        title.truncate(kMaxTitleBytes);
        if (ar.GetPrompter())
            ShowMessage(*ar.GetPrompter(), kMsgTitleTruncated, MB_OK);
    }
    m_strTitle = std::move(title);
    const int limit = maxNotes > 0 ? maxNotes : 0;
    const int kept = count < limit ? count : limit;
    const size_t first = m_notes.size();
    m_notes.resize(first + static_cast<size_t>(kept));
    for (size_t i = first; i < m_notes.size(); ++i) {
        m_notes[i].Serialize(ar);
        m_notes[i].SetPosition(static_cast<int>(i)); // placed before the first paint
    }
    for (int i = kept; i < count; ++i) {
        CNote dropped;
        dropped.Serialize(ar);
    }
    if (kept < count) {
        if (ar.GetPrompter())
            ShowMessage(*ar.GetPrompter(), kMsgMelodyTruncated, MB_OK);
        RecalcRows();
    } else if (m_nRows > kMaxRows) {
        // More rows than any set format needs only stretch the picture and its scroll range.
        m_nRows = kMaxRows;
    }
}

} // namespace tinkla
