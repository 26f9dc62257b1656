#include "support/ScriptedPrompter.h"

namespace tinkla::test
{

Answer ScriptedPrompter::MessageBox(const QString& text, unsigned type)
{
    shown.push_back({text, type});
    const unsigned buttons = type & 0xF;
    if (answers.empty())
        return buttons == MB_OK ? IDOK : IDCANCEL;
    const Answer a = answers.front();
    answers.pop_front();
    return a;
}

QString ScriptedPrompter::FileDialog(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    if (files.empty())
        return {};
    QString f = files.front();
    files.pop_front();
    return f;
}

bool ScriptedPrompter::AskSetFormat(int* choice)
{
    formatOffered.push_back(*choice);
    if (formats.empty())
        return false;
    const int f = formats.front();
    formats.pop_front();
    if (f < 0)
        return false;
    *choice = f;
    return true;
}

bool ScriptedPrompter::AskTranspose(int* semitones, bool* fold)
{
    if (shifts.empty())
        return false;
    *semitones = shifts.front().semitones;
    *fold = shifts.front().fold;
    shifts.pop_front();
    return true;
}

bool ScriptedPrompter::AskMelodyTitle(QString* title)
{
    if (titles.empty())
        return false;
    const QString t = titles.front();
    titles.pop_front();
    if (t.isNull())
        return false;
    *title = t;
    return true;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList list;
    for (const Shown& s : shown)
        list << s.text;
    return list;
}

} // namespace tinkla::test
