#pragma once
// What most commands of tinkla-cli start with: a melody set opened from a file, with every message
// of the document printed on stderr, and a melody number K (1-based) taken from the command line.
//
//     cli::CliDoc set;
//     if (!set.Open(args.positional()[0]))
//         return cli::kExitFailed;
//     unsigned k = 0;
//     if (int rc = set.ResolveMelody(args.positional()[1], &k); rc != cli::kExitOk)
//         return rc;
#include "cli/Cli.h"
#include "document/TinklaDoc.h"

namespace tinkla::cli
{

class CliDoc
{
public:
    // A document holding the start-up 8 × 31 set until Open replaces it.
    CliDoc();
    CliDoc(const CliDoc&) = delete;
    CliDoc& operator=(const CliDoc&) = delete;

    // Opens a .fml set; false after the reason was printed (unreadable, damaged, not a set).
    bool Open(const QString& path);
    // Writes the set atomically to path (default: the path it was opened from); false after the
    // reason was printed, and the file there is then as it was.
    bool Save(const QString& path = {});

    // K as given on the command line, 1..M of the open set. Returns kExitOk with *number = K,
    // kExitUsage when K is not a whole number (with the usage line), kExitFailed when the set has
    // no melody K (both after a message). With makeCurrent, K becomes the current melody on
    // success.
    int ResolveMelody(const QString& text, unsigned* number, bool makeCurrent = true);

    // Open, then melody K made current: kExitOk, or the status to end with (after the reason).
    int OpenWithMelody(const QString& path, const QString& k);

    CTinklaDoc& doc() { return m_doc; }
    CliPrompter& prompter() { return m_prompter; }

private:
    CliPrompter m_prompter;
    CTinklaDoc m_doc;
};

// The set format named as on the command line, "MxN" (one of 32x7 16x15 8x31 4x63 2x127 1x255):
// its index 0..5, or -1.
int ParseSetFormat(const QString& text);
// "32x7 16x15 8x31 4x63 2x127 1x255", for usage messages.
QString SetFormatChoices();

} // namespace tinkla::cli
