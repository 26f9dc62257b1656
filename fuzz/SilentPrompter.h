#pragma once
// For the fuzz targets: every message is swallowed (and counted), every question is answered with
// Cancel and every dialog is cancelled, so nothing waits for a person.
#include "platform/Prompter.h"

#include <cstdio>
#include <cstdlib>

namespace tinkla::fuzz
{

class SilentPrompter final : public Prompter
{
public:
    Answer MessageBox(const QString&, unsigned type) override
    {
        ++messages;
        return (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
    QString FileDialog(const FileDialogRequest&) override { return {}; }
    bool AskSetFormat(int*) override { return false; }
    bool AskMelodyTitle(QString*) override { return false; }

    int messages = 0;
};

// A property the target checks did not hold: report it as the crash it is.
[[noreturn]] inline void Fail(const char* what)
{
    std::fprintf(stderr, "fuzz property violated: %s\n", what);
    std::abort();
}

} // namespace tinkla::fuzz
