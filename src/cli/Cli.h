#pragma once
// tinkla-cli: each command lives in a file of its own and registers itself here.
// Exit status: 0 success, 1 refused or failed, 2 usage.
#include "platform/Prompter.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <csignal>
#include <functional>
#include <vector>

namespace tinkla::cli
{

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Command {
    const char* name;
    const char* usage;   // one line: "new [--format MxN] OUT.fml"
    const char* summary; // what it does, one line
    std::function<int(const QStringList& args)> run;
};

// Registers a command at static-initialisation time; returns true so it can seed a constant.
bool RegisterCommand(Command command);
const std::vector<Command>& Commands();

// Prints "usage: tinkla-cli <usage>" on stderr and returns kExitUsage.
int Usage(const char* usage);
// A bad option value or operand: prints "tinkla-cli: <text>" and the running command's usage
// line on stderr, and returns kExitUsage.
int UsageError(const QString& text);
// Writes a line to stderr; errors and notices begin with "tinkla-cli: " (added when missing;
// a line that begins with a space continues the one before it and is left as it is).
void Err(const QString& text);
void Out(const QString& text);

// SIGINT, SIGTERM and SIGHUP, while one lives, only note the signal: the command ends its work
// cleanly (the doorbell's bus left free, the speaker silenced, a recording completed) and then
// exits, as a rule with ExitStatus(), 128 + the signal's number. The previous handlers come back
// with the guard's end.
class InterruptGuard
{
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static const volatile std::sig_atomic_t* Flag();
    static bool Caught() { return *Flag() != 0; }
    static int ExitStatus() { return 128 + *Flag(); }

private:
    static constexpr int kCount = 3;
    struct sigaction m_old[kCount];
};

// Thrown by Args to end the command before it did anything: after --help (status 0) or a usage
// error (status 2), both already printed. main() catches it.
struct EarlyExit {
    int status;
};

// The arguments of one command, the same for every command: options before or after the
// operands; "--name VALUE", "--name=VALUE", and one-letter options as "-x VALUE"; "--" ends the
// options; a lone "-" is an operand (stdin or stdout), and so is a number such as "-5". "-h" or
// "--help" prints the command's usage and ends it with status 0; a word beginning with "-" that is
// no option of the command, or an option without its value, ends it with status 2 (EarlyExit).
class Args
{
public:
    // valueOptions take a value; flags do not (names without dashes; one letter: "-x").
    Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags);
    bool has(const QString& name) const
    {
        return m_values.contains(name) || m_flags.contains(name);
    }
    QString value(const QString& name, const QString& fallback = {}) const
    {
        return m_values.value(name, fallback);
    }
    const QStringList& positional() const { return m_positional; }

private:
    QMap<QString, QString> m_values;
    QStringList m_flags;
    QStringList m_positional;
};

// Writes bytes as the file path, safely (the old file stays whole on any failure, and only a
// regular file is ever replaced); "-" writes them to stdout, where binary data is refused on a
// terminal. False after the message.
bool WriteOutput(const QString& path, const QByteArray& bytes, bool binary);
// True, after saying so, when something already exists at path: commands that create a file
// replace one only when told to (--force).
bool RefuseToReplace(const QString& path);

// Messages on stderr, as the program's own texts; questions get the answer set for the run (the
// default goes on without saving first), file dialogs return the path set for the run.
class CliPrompter : public Prompter
{
public:
    Answer MessageBox(const QString& text, unsigned type) override;
    QString FileDialog(const FileDialogRequest& request) override;
    bool AskSetFormat(int* choice) override;
    bool AskMelodyTitle(QString* title) override;

    Answer questionAnswer = IDNO;
    QString nextFile;
    int messages = 0; // how many messages were shown (a non-question counts as a failure sign)
};

} // namespace tinkla::cli

#define TINKLA_CLI_CONCAT2(a, b) a##b
#define TINKLA_CLI_CONCAT(a, b) TINKLA_CLI_CONCAT2(a, b)
#define TINKLA_CLI_COMMAND(...)                                                                    \
    static const bool TINKLA_CLI_CONCAT(s_registered_, __LINE__) =                                 \
        ::tinkla::cli::RegisterCommand(::tinkla::cli::Command{__VA_ARGS__})
