#pragma once
// The melody set: M melodies of up to N notes, the current melody, and what the framework keeps
// for a document (path, modified flag). Reused for every New and Open. Every question it asks goes
// through the Prompter; every change it makes is announced by updated() for the views to repaint.
#include "document/SetFormat.h"
#include "model/Melody.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

namespace tinkla {

class Archive;
class Prompter;

// The .fml filter, as the set's save dialogs show it (two spaces before the parenthesis).
inline constexpr const char* kSetFileFilter = "Набор мелодий  (*.fml)|*.fml|Все файлы (*.*)|*.*||";
inline constexpr const char* kMelodyFileFilter = "Мелодии (*.mel)|*.mel|Все файлы (*.*)|*.*||";
// Files larger than this are not melody sets or melodies whatever they hold; refusing them early
// keeps a mistaken pick of a huge file from being read into memory.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

class CTinklaDoc : public QObject {
    Q_OBJECT
public:
    explicit CTinklaDoc(Prompter* prompter, QObject* parent = nullptr);
    ~CTinklaDoc() override;

    // --- the set ---
    unsigned GetMelodyCount() const { return m_nMelodies; }
    unsigned GetNotesPerMelody() const { return m_nNotes; }
    void SetFormat(unsigned melodies, unsigned notes);
    void ResetMelodies();                 // M new empty melodies, melody 1 current
    CMelody* GetMelody(unsigned index);   // 0-based
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

    Prompter& GetPrompter() { return *m_pPrompter; }

    // The whole of a set or melody file, refused (empty, with *error set) when it cannot be read
    // or is larger than kMaxFileBytes.
    static QByteArray ReadFile(const QString& path, QString* error);

signals:
    void updated();                        // repaint every view
    void modifiedChanged(bool modified);
    void pathChanged(const QString& path); // also when the title changes with it
    void recentFileAdded(const QString& path);

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
    bool WriteFile(const QString& path, const QByteArray& bytes);
    void SaveAsFirst(); // the "save under another name" step of the melody load

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
};

// The untitled name the editor shows for a set never saved.
inline constexpr const char* kUntitledName = "Безымянный";

} // namespace tinkla
