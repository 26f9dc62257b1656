#include "support/ScriptedPrompter.h"

namespace tinkla::test
{

// The next scripted answer, if any is left.
template <class T> static bool Next(std::deque<T>& queue, T* answer)
{
    if (queue.empty())
        return false;
    *answer = std::move(queue.front());
    queue.pop_front();
    return true;
}

Answer ScriptedPrompter::MessageBox(const QString& text, unsigned type)
{
    shown.push_back({text, type});
    Answer a = (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
    Next(answers, &a);
    return a;
}

QString ScriptedPrompter::FileDialog(const FileDialogRequest& request)
{
    fileRequests.push_back(request);
    QString f;
    Next(files, &f);
    return f;
}

bool ScriptedPrompter::AskSetFormat(int* choice)
{
    formatOffered.push_back(*choice);
    int f = -1;
    Next(formats, &f);
    if (f >= 0)
        *choice = f;
    return f >= 0;
}

bool ScriptedPrompter::AskTranspose(int* semitones, bool* fold)
{
    Shift s{};
    if (!Next(shifts, &s))
        return false;
    *semitones = s.semitones;
    *fold = s.fold;
    return true;
}

bool ScriptedPrompter::AskMelodyTitle(QString* title)
{
    QString t;
    if (!Next(titles, &t) || t.isNull())
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
