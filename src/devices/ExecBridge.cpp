#include "devices/ExecBridge.h"

#include "devices/TracingPort.h"

#include <QCoreApplication>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(ExecBridge)
};
} // namespace

namespace
{

using SteadyClock = std::chrono::steady_clock;

int MsUntil(SteadyClock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A reply as the user may see it: printable, short.
QString Shown(std::string_view line)
{
    QString text;
    for (size_t i = 0; i < line.size() && i < 32; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        text += (c >= 0x20 && c < 0x7F) ? QChar(c) : QChar(u'?');
    }
    if (line.size() > 32)
        text += QStringLiteral("…");
    return text;
}

} // namespace

BridgeLineReader::Result BridgeLineReader::Next(std::string* line)
{
    const size_t nl = m_buffer.find('\n');
    if (nl == std::string::npos)
        return m_buffer.size() > kMaxBridgeLine ? TooLong : NeedMore;
    if (nl > kMaxBridgeLine)
        return TooLong;
    line->assign(m_buffer, 0, nl);
    m_buffer.erase(0, nl + 1);
    return Line;
}

bool ParseBridgeReply(std::string_view line, uint8_t* value)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    if (line.size() != 2)
        return false;
    const int hi = HexDigit(line[0]);
    const int lo = HexDigit(line[1]);
    if (hi < 0 || lo < 0)
        return false;
    *value = static_cast<uint8_t>(hi * 16 + lo);
    return true;
}

namespace
{

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The next blank-separated field of a request, advancing `line` past it.
std::string_view NextField(std::string_view* line)
{
    size_t start = 0;
    while (start < line->size() && IsBlank((*line)[start]))
        ++start;
    size_t end = start;
    while (end < line->size() && !IsBlank((*line)[end]))
        ++end;
    const std::string_view field = line->substr(start, end - start);
    line->remove_prefix(end);
    return field;
}

// A hex number of 1..digits digits, no prefix.
bool ParseHex(std::string_view field, size_t digits, unsigned* value)
{
    if (field.empty() || field.size() > digits)
        return false;
    unsigned v = 0;
    for (char c : field) {
        const int d = HexDigit(c);
        if (d < 0)
            return false;
        v = v * 16 + static_cast<unsigned>(d);
    }
    *value = v;
    return true;
}

} // namespace

bool ParseBridgeRequest(std::string_view line, BridgeRequest* request)
{
    const std::string_view op = NextField(&line);
    const std::string_view port = NextField(&line);
    const std::string_view value = NextField(&line);
    const std::string_view extra = NextField(&line);
    unsigned p = 0;
    unsigned v = 0;
    if (!extra.empty() || op.size() != 1 || !ParseHex(port, 4, &p))
        return false;
    if (op[0] == 'o' && ParseHex(value, 2, &v)) {
        *request = BridgeRequest{true, static_cast<uint16_t>(p), static_cast<uint8_t>(v)};
        return true;
    }
    if (op[0] == 'i' && value.empty()) {
        *request = BridgeRequest{false, static_cast<uint16_t>(p), 0};
        return true;
    }
    return false;
}

std::unique_ptr<ExecBridge> ExecBridge::Start(const QString& command, QString* error,
                                              int replyTimeoutMs)
{
    if (command.trimmed().isEmpty()) {
        *error = Text::tr("После «exec:» нужна команда программы-моста.");
        return nullptr;
    }
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        *error = Text::tr("Не удалось запустить программу-мост: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sv[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, sv[1], STDOUT_FILENO);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    // Its own process group, so that ending it also ends whatever the shell started; default
    // signal handling and an empty mask whatever this process has.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF |
                                        POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setsigmask(&attr, &mask);
    QByteArray cmd = command.toLocal8Bit();
    char sh[] = "sh";
    char dashC[] = "-c";
    char* argv[] = {sh, dashC, cmd.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, "/bin/sh", &actions, &attr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    ::close(sv[1]);
    if (rc != 0) {
        ::close(sv[0]);
        *error = Text::tr("Не удалось запустить программу-мост «%1»: %2")
                     .arg(command, QString::fromLocal8Bit(std::strerror(rc)));
        return nullptr;
    }
    fcntl(sv[0], F_SETFL, fcntl(sv[0], F_GETFL) | O_NONBLOCK);
    std::unique_ptr<ExecBridge> bridge(new ExecBridge(command, sv[0], pid, replyTimeoutMs));
    bridge->In(kPortStatus);
    if (!bridge->m_strFault.isEmpty()) {
        *error = bridge->m_strFault;
        return nullptr;
    }
    return bridge;
}

ExecBridge::ExecBridge(const QString& command, int fd, pid_t pid, int timeoutMs)
    : m_strCommand(command), m_fd(fd), m_pid(pid), m_nTimeoutMs(timeoutMs)
{
}

ExecBridge::~ExecBridge()
{
    ::close(m_fd); // end of input: a well-behaved bridge exits now
    // The shell may be gone while what it started lives on in its group: the group ends, always.
    // Reaped first, a leader no longer counts as a member still there.
    for (int signal : {0, SIGTERM, SIGKILL}) {
        if (signal != 0)
            ::kill(-m_pid, signal);
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(500);
        do {
            if (!m_bReaped && ::waitpid(m_pid, &m_nStatus, WNOHANG) == m_pid)
                m_bReaped = true;
            if (m_bReaped && ::kill(-m_pid, 0) != 0)
                return;
            ::usleep(5000);
        } while (SteadyClock::now() < deadline);
    }
    if (!m_bReaped)
        ::waitpid(m_pid, &m_nStatus, 0);
}

void ExecBridge::SetFault(const QString& why)
{
    if (m_strFault.isEmpty())
        m_strFault = why;
}

// How the bridge ended, once it has closed its output; it gets a moment to finish exiting.
QString ExecBridge::ExitText()
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(200);
    while (!m_bReaped) {
        if (::waitpid(m_pid, &m_nStatus, WNOHANG) == m_pid) {
            m_bReaped = true;
            break;
        }
        if (SteadyClock::now() >= deadline)
            return Text::tr("закрыла свой вывод");
        ::usleep(2000);
    }
    if (WIFEXITED(m_nStatus))
        return Text::tr("завершилась с кодом %1").arg(WEXITSTATUS(m_nStatus));
    if (WIFSIGNALED(m_nStatus))
        return Text::tr("завершилась по сигналу %1").arg(WTERMSIG(m_nStatus));
    return Text::tr("завершилась");
}

bool ExecBridge::Send(const char* line, size_t size)
{
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(m_nTimeoutMs);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::send(m_fd, line + done, size - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{m_fd, POLLOUT, 0};
            if (::poll(&p, 1, MsUntil(deadline)) == 0) {
                SetFault(Text::tr("Программа-мост «%1» не принимает команды дольше %2 мс.")
                             .arg(m_strCommand)
                             .arg(m_nTimeoutMs));
                return false;
            }
            continue;
        }
        SetFault(Text::tr("Программа-мост «%1» %2.").arg(m_strCommand, ExitText()));
        return false;
    }
    return true;
}

void ExecBridge::Out(uint16_t port, uint8_t value)
{
    if (!m_strFault.isEmpty())
        return;
    char line[16];
    int n = FormatPortLine(line, 'o', port, value);
    line[n++] = '\n';
    Send(line, static_cast<size_t>(n));
}

uint8_t ExecBridge::In(uint16_t port)
{
    if (!m_strFault.isEmpty())
        return 0xFF;
    char line[16];
    int n = FormatPortLine(line, 'i', port, -1);
    line[n++] = '\n';
    if (!Send(line, static_cast<size_t>(n)))
        return 0xFF;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(m_nTimeoutMs);
    for (;;) {
        std::string reply;
        switch (m_reader.Next(&reply)) {
        case BridgeLineReader::Line: {
            uint8_t value = 0;
            if (ParseBridgeReply(reply, &value))
                return value;
            SetFault(Text::tr("Программа-мост «%1» ответила «%2» вместо двух "
                              "шестнадцатеричных цифр.")
                         .arg(m_strCommand, Shown(reply)));
            return 0xFF;
        }
        case BridgeLineReader::TooLong:
            SetFault(Text::tr("Программа-мост «%1» прислала строку длиннее %2 символов.")
                         .arg(m_strCommand)
                         .arg(kMaxBridgeLine));
            return 0xFF;
        case BridgeLineReader::NeedMore:
            break;
        }
        pollfd p{m_fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, MsUntil(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready < 0) {
            SetFault(Text::tr("Программа-мост «%1»: %2")
                         .arg(m_strCommand, QString::fromLocal8Bit(std::strerror(errno))));
            return 0xFF;
        }
        if (ready == 0) {
            SetFault(Text::tr("Программа-мост «%1» не ответила за %2 мс.")
                         .arg(m_strCommand)
                         .arg(m_nTimeoutMs));
            return 0xFF;
        }
        char chunk[256];
        const ssize_t got = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (got > 0) {
            m_reader.Append(chunk, static_cast<size_t>(got));
        } else if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            SetFault(Text::tr("Программа-мост «%1» %2.").arg(m_strCommand, ExitText()));
            return 0xFF;
        }
    }
}

} // namespace tinkla
