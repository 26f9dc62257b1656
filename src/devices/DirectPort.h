#pragma once
// The parallel port by direct I/O (ioperm, inb, outb): x86 only, and only for root (or
// CAP_SYS_RAWIO). The three registers sit at BASE, BASE + 1, BASE + 2.
#include "devices/ParallelPort.h"

#include <memory>

namespace tinkla
{

class DirectPort final : public ParallelPort
{
public:
    // nullptr with *error when the machine or the user may not do direct port I/O.
    static std::unique_ptr<DirectPort> Open(uint16_t base, QString* error);
    ~DirectPort() override; // gives up the port permission

    uint8_t In(uint16_t port) override;
    void Out(uint16_t port, uint8_t value) override;
    QString Describe() const override;

private:
    explicit DirectPort(uint16_t base) : m_nBase(base) {}
    uint16_t m_nBase;
};

} // namespace tinkla
