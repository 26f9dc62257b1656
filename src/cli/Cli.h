#pragma once
// tinkla-cli: each command lives in a file of its own and registers itself here.
// Exit status: 0 success, 1 refused or failed, 2 usage.
#include "platform/Prompter.h"

#include <QString>
#include <QStringList>
#include <QMap>
#include <functional>
#include <vector>

namespace tinkla::cli {

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
// Writes a line to stderr.
void Err(const QString& text);
void Out(const QString& text);

// Arguments split into options (--name VALUE or --name=VALUE, and flags) and positionals.
class Args {
public:
    // valueOptions take a value; flags do not. Unknown options make ok() false.
    Args(const QStringList& args, const QStringList& valueOptions, const QStringList& flags);
    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    bool has(const QString& name) const { return m_values.contains(name) || m_flags.contains(name); }
    QString value(const QString& name, const QString& fallback = {}) const
    {
        return m_values.value(name, fallback);
    }
    const QStringList& positional() const { return m_positional; }

private:
    bool m_ok = true;
    QString m_error;
    QMap<QString, QString> m_values;
    QStringList m_flags;
    QStringList m_positional;
};

// Messages on stderr, as the program's own texts; questions get the answer set for the run (the
// default goes on without saving first), file dialogs return the path set for the run.
class CliPrompter : public Prompter {
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
