#pragma once
// The parallel port through Linux ppdev (/dev/parportN): claimed exclusively (PPEXCL, PPCLAIM)
// for as long as the object lives; the registers through PPRDATA/PPWDATA, PPRSTATUS and
// PPRCONTROL/PPWCONTROL.
#include "devices/ParallelPort.h"

#include <memory>

namespace tinkla
{

class PpdevPort final : public ParallelPort
{
public:
    // nullptr with *error saying what to do: no such node, not in group lp, port held by lp.
    static std::unique_ptr<PpdevPort> Open(const QString& device, QString* error);
    ~PpdevPort() override; // releases the port

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    QString Fault() const override { return m_strFault; }
    QString Describe() const override { return QStringLiteral("ppdev:") + m_strDevice; }

private:
    PpdevPort(const QString& device, int fd) : m_strDevice(device), m_fd(fd) {}
    void Failed(const char* what, int err);

    QString m_strDevice;
    int m_fd;
    QString m_strFault;
};

// The message for a failed step of opening ppdev ("open" or "claim") with its errno; lpLoaded
// tells whether the printer module is loaded (it then holds the port).
QString PpdevOpenError(const QString& device, const char* step, int err, bool lpLoaded);

} // namespace tinkla
