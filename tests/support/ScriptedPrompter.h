#pragma once
// A Prompter whose answers a test scripts in advance and whose every message it records.
#include "platform/Prompter.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

namespace tinkla::test
{

class ScriptedPrompter : public Prompter
{
public:
    struct Shown {
        QString text;
        unsigned type;
    };

    Answer MessageBox(const QString& text, unsigned type) override;
    QString FileDialog(const FileDialogRequest& request) override;
    bool AskSetFormat(int* choice) override;
    bool AskMelodyTitle(QString* title) override;
    bool AskTranspose(int* semitones, bool* fold) override;

    // Scripted answers, taken in order; when a queue is empty: IDOK / IDCANCEL / cancel.
    std::deque<Answer> answers;
    std::deque<QString> files;  // empty string = dialog cancelled
    std::deque<int> formats;    // -1 = cancelled
    std::deque<QString> titles; // a null QString = cancelled
    struct Shift {
        int semitones;
        bool fold;
    };
    std::deque<Shift> shifts; // transpose dialog answers; none left = cancelled

    std::vector<Shown> shown;                    // every message box
    std::vector<FileDialogRequest> fileRequests; // every file dialog
    std::vector<int> formatOffered;              // the preselected choice of each format dialog
    QStringList texts() const;
};

} // namespace tinkla::test
