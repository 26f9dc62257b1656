#pragma once
// The melody set: M melodies of up to N notes, the current melody, and what the framework keeps
// for a document (path, modified flag, undo history). Reused for every New and Open. Every
// question it asks goes through the Prompter; every change it makes is announced by updated() for
// the views to repaint. Every edit of the set is one of its commands, an undoable step; the
// modified flag follows the history back to the saved state.
#include "document/EditHistory.h"
#include "document/SetFormat.h"
#include "model/Melody.h"
#include "platform/Prompter.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tinkla
{

class Archive;
class Prompter;

// The texts of this header are translated where they are shown, with CTinklaDoc::tr().
// The .fml filter, as the set's save dialogs show it (two spaces before the parenthesis).
inline constexpr const char* kSetFileFilter =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Набор мелодий  (*.fml)|*.fml|Все файлы (*.*)|*.*||");
inline constexpr const char* kMelodyFileFilter =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Мелодии (*.mel)|*.mel|Все файлы (*.*)|*.*||");
// Files larger than this are not melody sets or melodies whatever they hold; refusing them early
// keeps a mistaken pick of a huge file from being read into memory.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

class CTinklaDoc : public QObject
{
    Q_OBJECT
public:
    explicit CTinklaDoc(Prompter* prompter, QObject* parent = nullptr);
    ~CTinklaDoc() override;

    // --- the set ---
    unsigned GetMelodyCount() const { return m_nMelodies; }
    unsigned GetNotesPerMelody() const { return m_nNotes; }
    void SetFormat(unsigned melodies, unsigned notes);
    // M new empty melodies, melody 1 current; a set replaced as a whole starts a fresh history
    // (the modified flag stays as it was).
    void ResetMelodies();
    CMelody* GetMelody(unsigned index); // 0-based
    const CMelody* GetMelody(unsigned index) const;
    CMelody* GetCurrentMelody() { return GetMelody(m_nCurrent - 1); }
    unsigned GetCurrentNumber() const { return m_nCurrent; } // 1-based
    void SetCurrentNumber(unsigned n);
    bool HasSet() const { return !m_melodies.empty(); }
    bool GetPlayFromSelected() const { return m_bPlayFromSelected; }
    void SetPlayFromSelected(bool b) { m_bPlayFromSelected = b; }
    int GetFormatChoice() const { return m_nFormatChoice; }

    // --- what the framework keeps ---
    QString GetPathName() const { return m_strPathName; }
    // addToRecent: the path enters the recent-file list (recentFileAdded).
    void SetPathName(const QString& path, bool addToRecent = true);
    // The file's name, or the untitled name.
    QString GetTitle() const;
    bool IsModified() const { return m_bModified; }
    // true: modified whatever the history says, until saved; false: the present state is the
    // saved one (undo back to it and the set is unmodified again).
    void SetModifiedFlag(bool modified = true);
    void UpdateAllViews() { emit updated(); }

    // New: the first time the 8 × 31 set without asking; later the set-format dialog. Cancel
    // leaves the set, its path and its modified flag as they were.
    bool OnNewDocument();
    // Replaces the set with the file's; on any failure shows why and changes nothing.
    bool OnOpenDocument(const QString& path);
    // Writes the set atomically; shows why on failure. Does not change the path.
    bool OnSaveDocument(const QString& path);
    // Save (or Save As when untitled or saveAs); on success the set bears the name.
    bool DoSave(bool saveAs);
    // After the set was replaced by one that no file holds (read from the doorbell): untitled and
    // modified, so that Save asks for a name and quitting asks to save, and no file of the user's
    // is overwritten by a set it never held.
    void MarkAsNewUnsavedSet();
    // Before New, Open and exit: asks to save a modified set. False: the user cancelled, or the
    // save failed — the caller must not go on.
    bool SaveModified();

    // The .fml body: M, N, then M melody records. Loading into this document replaces the set
    // only when the whole file is valid; throws ArchiveError when the data ends early.
    void Serialize(Archive& ar);
    // The .mel body for the current melody: leading count, then the melody record.
    void SerializeMelody(Archive& ar);

    // --- edits of the current melody; each marks the set modified and repaints once ---
    // Refused with kMsgCannotInsert when the melody already holds N notes.
    bool InsertNote();
    // Asks first (kMsgDeleteNote); false without a selection or when the user says no.
    bool DeleteSelectedNote();
    bool DeleteLastNote(); // false for an empty melody
    // op: 0 tone up, 1 tone down, 2 lengthen, 3 shorten; false without a selection. A note at
    // its limit is left alone but the set still counts as changed: the user asked for a change.
    bool ModifySelectedNote(BYTE op);
    // The whole set replaced by M × N melodies of these note codes (a format of the six; more
    // codes than N are not taken), titled "Новая мелодия", melody 1 current: a fresh history.
    void ReplaceSet(unsigned melodies, unsigned notes, const std::vector<std::vector<BYTE>>& codes);
    // Moves the selected note by semitones (an octave is 12) as one step; refused, with nothing
    // changed, without a selection, for 0, or when the tone would leave the range.
    bool MoveSelectedTone(int semitones);
    // Any other change of the current melody, as one undoable step named `name` (UTF-8).
    void EditCurrentMelody(const char* name, const std::function<void(CMelody&)>& change);

    // --- undo and redo: the state before / after a step, with its current melody and selection
    bool CanUndo() const { return m_history.NextUndo() != nullptr; }
    bool CanRedo() const { return m_history.NextRedo() != nullptr; }
    // The name of the step Undo / Redo would take (one of the kEdit texts, UTF-8; shown with
    // CTinklaDoc::tr()), or nullptr.
    const char* UndoName() const;
    const char* RedoName() const;
    void Undo();
    void Redo();

    // Commands of the document.
    void OnMelodyNext();
    void OnMelodyPrev();
    void OnMelodyLoad();
    void OnMelodySave();
    void OnMelodyTitle();

    // The steps of the melody commands without their dialogs, for the command-line tool.
    // Each shows its failure through the prompter and returns false.
    bool LoadMelodyFile(const QString& path);
    bool SaveMelodyFile(const QString& path);

    // --- melodies in the world's formats (TinklaDocExchange.cpp) ---
    struct ImportOptions {
        int track = 0;          // MIDI track, 1-based; 0: the first with notes
        bool fitOctaves = true; // move by octaves to fit; else by `semitones`
        int semitones = 0;
    };
    // Replaces the current melody by the melody in `bytes` (MIDI when the name ends in .mid or
    // .midi or the bytes begin as a MIDI file, else RTTTL), fitted to the range and to N notes;
    // `name` gives the title when the file gives none. Shows the report, or why nothing was
    // imported (false, melody unchanged).
    bool ImportMelodyData(const QByteArray& bytes, const QString& name,
                          const ImportOptions& options);
    bool ImportMelodyFile(const QString& path, const ImportOptions& options);
    // The current melody as MIDI (.mid, .midi) or RTTTL (any other name); false after the reason.
    bool ExportMelodyFile(const QString& path);
    // The current melody as a MIDI file or an RTTTL text.
    QByteArray ExportMelodyBytes(bool midi);
    // Moves the current melody by `semitones`; refused with a message (false, nothing changed)
    // when a note would leave the range, unless fold moves such notes by octaves.
    bool TransposeMelody(int semitones, bool fold);
    // Opens a set of the library of tunes as a new, untitled set (saving asks for a name);
    // false after the reason, the set as it was.
    bool OpenExample(const QString& path);
    void OnMelodyImport();
    void OnMelodyExport();
    void OnMelodyTranspose();

    Prompter& GetPrompter() { return *m_pPrompter; }

    // The whole of a set or melody file, refused (empty, with *error set) when it cannot be read
    // or is larger than kMaxFileBytes.
    static QByteArray ReadFile(const QString& path, QString* error);

signals:
    void updated(); // repaint every view
    void modifiedChanged(bool modified);
    void pathChanged(const QString& path); // also when the title changes with it
    void recentFileAdded(const QString& path);
    void historyChanged(); // what Undo and Redo can do has changed

private:
    struct Set {
        unsigned melodies = 0;
        unsigned notes = 0;
        std::vector<std::unique_ptr<CMelody>> list;
    };
    // Reads the header and the records into a set of their own; returns false (after the
    // message) for an invalid header.
    bool LoadSet(Archive& ar, Set* set);
    // Makes a completely loaded set the document's, melody 1 current.
    void Adopt(Set&& set);
    // The whole file, or false after saying why it cannot be read.
    bool ReadFileOrSay(const QString& path, QByteArray* bytes);
    // A set file adopted whole, or false after the message (the set as it was); the path and
    // the modified flag are the caller's.
    bool LoadSetFile(const QString& path);
    bool WriteFile(const QString& path, const QByteArray& bytes);
    void SaveAsFirst(); // the "save under another name" step of the melody load
    EditState CaptureMelody(unsigned index) const;
    void Restore(const EditState& state);
    void StartHistory();
    void UpdateModified();
    // The melody load's question and save before a melody is replaced; false: do not go on.
    bool ConfirmReplaceMelody();
    // The melody load's steps: the question, the file dialog (request), then `load` of the
    // chosen file; a failure on the way is shown.
    void ReplaceMelodyFromFile(FileDialogRequest request,
                               const std::function<void(const QString&)>& load);
    // The current melody replaced by these notes, as one undoable step.
    void ReplaceCurrentMelody(const char* name, const QByteArray& title,
                              const std::vector<BYTE>& codes, int selected = -1);

    Prompter* m_pPrompter;
    bool m_bPlayFromSelected = false;
    std::vector<std::unique_ptr<CMelody>> m_melodies;
    unsigned m_nCurrent = 1;
    unsigned m_nMelodies = 0;
    unsigned m_nNotes = 0;
    bool m_bFirstNew = true;
    int m_nFormatChoice = kDefaultFormat;
    QString m_strPathName;
    bool m_bModified = false;
    bool m_bForcedModified = false; // SetModifiedFlag(true) since the last save
    EditHistory m_history;
};

// The names of the edit steps, as the Edit menu shows them after "Отменить" / "Повторить".
inline constexpr const char* kEditInsertNote =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Вставка ноты");
inline constexpr const char* kEditDeleteNote =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Удаление ноты");
inline constexpr const char* kEditTone =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Изменение высоты");
inline constexpr const char* kEditDuration =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Изменение длительности");
inline constexpr const char* kEditTitle =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Название мелодии");
inline constexpr const char* kEditLoadMelody =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Загрузка мелодии");
inline constexpr const char* kEditImport =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Импорт мелодии");
inline constexpr const char* kEditTranspose =
    QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Транспонирование");

// The untitled name the editor shows for a set never saved.
inline constexpr const char* kUntitledName = QT_TRANSLATE_NOOP("tinkla::CTinklaDoc", "Безымянный");

} // namespace tinkla
