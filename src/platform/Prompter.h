#pragma once
// Everything a command asks the user goes through a Prompter: the Qt one shows real message boxes
// and dialogs; tests script the answers; the command-line tool prints and answers from its flags.
#include <QCoreApplication>
#include <QString>

namespace tinkla
{

// Message box types, combined with |, as the commands request them.
enum MessageType : unsigned {
    MB_OK = 0x0,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10, // stop icon: a failure
    MB_ICONQUESTION = 0x20,
    MB_ICONINFORMATION = 0x40,
};

enum Answer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

struct FileDialogRequest {
    bool save = false;        // save dialog (overwrite prompt) or open dialog (file must exist)
    QString title;            // empty: the toolkit's default title
    QString initialPath;      // empty: no initial name
    QString defaultExtension; // without the dot: "fml", "mel"
    QString filter;           // pairs of label and pattern: "Label|*.ext|Label|*.*||"
};

class Prompter
{
public:
    virtual ~Prompter() = default;
    // Shows a message with the caption "Tinkla"; returns the button pressed.
    virtual Answer MessageBox(const QString& text, unsigned type) = 0;
    // Returns the chosen path, or an empty string when the dialog was cancelled.
    virtual QString FileDialog(const FileDialogRequest& request) = 0;
    // The set-format dialog: in, the preselected choice 0..5; out, the confirmed one.
    virtual bool AskSetFormat(int* choice) = 0;
    // The melody-title dialog: at most 30 characters, code page 1251 only.
    virtual bool AskMelodyTitle(QString* title) = 0;
    // The transpose dialog: in, the proposed shift and fold choice; out, the confirmed ones
    // (semitones -31..31; fold: notes that would leave the range move by octaves instead).
    // Where no dialog can be shown, the answer is Cancel.
    virtual bool AskTranspose(int* semitones, bool* fold)
    {
        (void)semitones;
        (void)fold;
        return false;
    }
};

// One of the program's message texts (Messages.h, BellMessages.h: UTF-8, marked in the context
// "Messages") in the interface's language.
inline QString MessageText(const char* utf8)
{
    return QCoreApplication::translate("Messages", utf8);
}

// Shorthand for showing one of the program's message texts.
inline Answer ShowMessage(Prompter& p, const char* utf8, unsigned type)
{
    return p.MessageBox(MessageText(utf8), type);
}

} // namespace tinkla
