// The doorbell and the speaker as they are, for when something went wrong: the raw memory of a
// doorbell whose contents do not decode, and a speaker left sounding by a player that was killed.
#include "bell/Bus.h"
#include "bell/Transactions.h"
#include "cli/PortConnection.h"
#include "devices/Pit.h"
#include "devices/SimDoorbell.h"
#include "devices/Speaker.h"
#include "model/Note.h"
#include "platform/Ports.h"
#include "platform/Settings.h"

#include <cstdio>
#include <unistd.h>

namespace tinkla::cli
{
namespace
{

constexpr const char* kDumpUsage = "dump [--port PORT] [--trace FILE] [-o FILE|-]";
constexpr const char* kSilenceUsage = "silence [--speaker SINK]";
constexpr int kBlockBytes = 256;

// One 256-byte block in a single sequential read from address 0 (writeCode: 0xA0 block 0, 0xA2
// block 1). False on any bus failure; the bus is free again on success.
bool ReadBlock(BYTE writeCode, char* out)
{
    if (BusStart() != 0 || BusSendByte(writeCode) != 0 || BusSendByte(0x00) != 0 ||
        BusStart() != 0 || BusSendByte(static_cast<BYTE>(writeCode | 1)) != 0)
        return false;
    for (int i = 0; i < kBlockBytes; ++i) {
        BYTE b = 0;
        if (BusReceiveByte(&b, i == kBlockBytes - 1 ? 1 : 0) != 0)
            return false;
        out[i] = static_cast<char>(b);
    }
    return BusStop() == 0;
}

// "0000  ff ff ...": 16 bytes a line, the offset in hex.
QString HexListing(const QByteArray& bytes)
{
    QStringList lines;
    for (int offset = 0; offset < bytes.size(); offset += 16) {
        QString line = QStringLiteral("%1 ").arg(offset, 4, 16, QLatin1Char('0'));
        for (int i = offset; i < offset + 16 && i < bytes.size(); ++i)
            line += QStringLiteral(" %1").arg(uint8_t(bytes[i]), 2, 16, QLatin1Char('0'));
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

int RunDump(const QStringList& argv)
{
    const Args args(argv,
                    {QStringLiteral("port"), QStringLiteral("trace"), QStringLiteral("o"),
                     QStringLiteral("output")},
                    {});
    if (!args.positional().isEmpty())
        return Usage(kDumpUsage);
    if (const int rc = CheckDeviceOptions(args); rc != kExitOk)
        return rc;
    const QString out =
        args.value(QStringLiteral("o"), args.value(QStringLiteral("output"), QStringLiteral("-")));
    PortConnection port(args);
    if (!port.ok())
        return kExitFailed;
    CalibrateDelays();
    SendResetPulse();
    QByteArray memory(2 * kBlockBytes, '\0');
    if (!ReadBlock(kDeviceImageWrite, memory.data()) ||
        !ReadBlock(kDeviceFormatWrite, memory.data() + kBlockBytes)) {
        Err(QStringLiteral("the doorbell did not give its memory (no answer on the bus)"));
        return kExitFailed;
    }
    if (out == QLatin1String("-") && ::isatty(STDOUT_FILENO)) {
        Out(HexListing(memory));
        return kExitOk;
    }
    return WriteOutput(out, memory, true) ? kExitOk : kExitFailed;
}

int RunSilence(const QStringList& argv)
{
    const Args args(argv, {QStringLiteral("speaker")}, {});
    if (!args.positional().isEmpty())
        return Usage(kSilenceUsage);
    if (const int rc = CheckDeviceOptions(args); rc != kExitOk)
        return rc;
    const SpeakerSetup speaker =
        SetupSpeaker(args.value(QStringLiteral("speaker"), SettingSpeaker()));
    if (!speaker.ok) {
        ShutdownSpeaker();
        Err(speaker.error);
        return kExitFailed;
    }
    // A new sink does not know the tone a killed player left on: it is told to be silent
    // whatever it believes, and the gate goes off as a player would turn it off.
    if (auto* pit = dynamic_cast<Pit*>(Ports::Instance().Speaker()))
        pit->Sink().Silence();
    CNote::SoundOff();
    ShutdownSpeaker();
    return kExitOk;
}

} // namespace

TINKLA_CLI_COMMAND("dump", kDumpUsage,
                   "the doorbell's 512 bytes as they are, undecoded (block 0, then block 1): a "
                   "hex listing on a terminal, else the raw bytes (to FILE with -o)",
                   RunDump);
TINKLA_CLI_COMMAND("silence", kSilenceUsage,
                   "turn the speaker off (after a player was killed with a tone on)", RunSilence);

} // namespace tinkla::cli
