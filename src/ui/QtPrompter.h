#pragma once
// The editor's Prompter: real message boxes, file dialogs and the two document dialogs, all
// parented to the main window once it exists.
#include "platform/Prompter.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace tinkla
{

// "Label|*.a;*.b|Label|*.*||" as Qt name filters: "Label (*.a *.b)". A label's own
// "(...)" is replaced by the patterns, and "*.*" becomes "*" so that files without a dot show.
QStringList NameFiltersFromPairs(const QString& pairs);

class QtPrompter : public Prompter
{
public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void SetParent(QWidget* parent) { m_parent = parent; }

    Answer MessageBox(const QString& text, unsigned type) override;
    QString FileDialog(const FileDialogRequest& request) override;
    bool AskSetFormat(int* choice) override;
    bool AskMelodyTitle(QString* title) override;
    bool AskTranspose(int* semitones, bool* fold) override;

private:
    QPointer<QWidget> m_parent;
    QString m_lastDir; // the folder of the last file chosen; empty: the user's home
};

} // namespace tinkla
