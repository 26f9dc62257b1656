#pragma once
// A bridge program behind the port (a USB adapter's helper, another simulator), run as
// `/bin/sh -c COMMAND` with its stdin and stdout on a socket of ours. We send one line per
// access: "o 378 38" writes 0x38 to 0x378; "i 379" reads 0x379, which the bridge answers with
// two hex digits and a newline ("40\n"). Lower-case hex, no 0x. The bridge must answer a read of
// 0x378 with what was last written there.
//
// Every reply line is bounded (kMaxBridgeLine) and awaited for at most the reply time-out; a
// bridge that exits, stalls, or answers nonsense becomes the port's Fault() and the bus then
// fails fast (reads 0xFF) instead of waiting on it again.
#include "devices/ParallelPort.h"

#include <QByteArray>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tinkla
{

constexpr size_t kMaxBridgeLine = 64; // characters before the newline
constexpr int kBridgeReplyTimeoutMs = 2000;

// Cuts the bytes a bridge sends into lines, refusing any longer than kMaxBridgeLine.
class BridgeLineReader
{
public:
    enum Result { NeedMore, Line, TooLong };
    void Append(const char* data, size_t size) { m_buffer.append(data, size); }
    // Line: *line holds the next line without its newline. TooLong: no newline within the bound
    // (the reader is then unusable).
    Result Next(std::string* line);

private:
    std::string m_buffer;
};

// One reply line: two hex digits (either case), surrounding blanks and a trailing CR allowed.
bool ParseBridgeReply(std::string_view line, uint8_t* value);

// One request line as a bridge reads it: "o 378 38" or "i 379" (hex, either case, no 0x; blank
// lines and a trailing CR tolerated around the fields). False for anything else.
struct BridgeRequest {
    bool write = false;
    uint16_t port = 0;
    uint8_t value = 0;
};
bool ParseBridgeRequest(std::string_view line, BridgeRequest* request);

class ExecBridge final : public ParallelPort
{
public:
    // Starts the bridge and asks it for the status register once, so that a command that is not
    // there or does not speak the protocol is refused at once. nullptr with *error on failure.
    static std::unique_ptr<ExecBridge> Start(const QString& command, QString* error,
                                             int replyTimeoutMs = kBridgeReplyTimeoutMs);
    // Closes the bridge's input, gives it half a second to exit, then ends its process group.
    ~ExecBridge() override;

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    QString Fault() const override { return m_strFault; }
    QString Describe() const override { return QStringLiteral("exec:") + m_strCommand; }

private:
    ExecBridge(const QString& command, int fd, pid_t pid, int timeoutMs);
    bool Send(const char* line, size_t size);
    void SetFault(const QString& why);
    QString ExitText();

    QString m_strCommand;
    int m_fd;
    pid_t m_pid;
    int m_nTimeoutMs;
    bool m_bReaped = false;
    int m_nStatus = 0;
    BridgeLineReader m_reader;
    QString m_strFault;
};

} // namespace tinkla
