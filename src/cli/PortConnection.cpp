#include "cli/PortConnection.h"

#include "devices/PortSpec.h"
#include "devices/SimDoorbell.h"
#include "devices/SoundSink.h"
#include "platform/Settings.h"

namespace tinkla::cli
{

int CheckDeviceOptions(const Args& args)
{
    QString error;
    if (args.has(QStringLiteral("port"))) {
        PortSpec port;
        if (!ParsePortSpec(args.value(QStringLiteral("port")), &port, &error))
            return UsageError(error);
    }
    if (args.has(QStringLiteral("speaker"))) {
        SinkSpec sink;
        if (!ParseSinkSpec(args.value(QStringLiteral("speaker")), &sink, &error))
            return UsageError(QStringLiteral("--speaker: ") + error);
    }
    return kExitOk;
}

PortConnection::PortConnection(const Args& args)
{
    const bool chosen = args.has(QStringLiteral("port")) || IsSettingPortChosen();
    const QString port = args.value(QStringLiteral("port"), SettingPort());
    QString error;
    m_bOk = ConnectPort(port, &error, args.value(QStringLiteral("trace")),
                        args.has(QStringLiteral("trace-times")));
    if (!m_bOk) {
        Err(error);
        return;
    }
    if (const SimDoorbell* sim = ConnectedSim(); sim && !chosen)
        Err(QStringLiteral("no port chosen (--port): the simulated doorbell answers, %1")
                .arg(sim->Describe()));
}

PortConnection::~PortConnection()
{
    DisconnectPort();
}

bool PortConnection::MemorySaved()
{
    SimDoorbell* sim = ConnectedSim();
    if (!sim || sim->FileError().isEmpty())
        return true;
    Err(sim->FileError());
    return false;
}

} // namespace tinkla::cli
