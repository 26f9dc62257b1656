#include "devices/SimDoorbell.h"

#include "platform/Clock.h"
#include "platform/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <limits>

namespace tinkla
{

namespace
{
// The context of this unit's texts in the translation catalogue.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SimDoorbell)
};
} // namespace

namespace
{
constexpr uint8_t kMasterData = 0x80;  // data register: master pulls the data line low
constexpr uint8_t kMasterClock = 0x40; // data register: master pulls the clock line low
constexpr uint8_t kResetLine = 0x20;
constexpr uint8_t kPlayLine = 0x08;
} // namespace

SimDoorbell::SimDoorbell(SimOptions options) : m_opt(std::move(options))
{
    m_memory.fill(0xFF);
    Load();
    if (m_opt.leftInRead) {
        m_bLeftInRead = true;
        m_bRead = true;
        m_nTx = 0x00;
        m_nSent = 0;
        m_phase = Phase::Send;
        DriveSendBit();
        m_bSdaLine = false;
    }
}

SimDoorbell::~SimDoorbell()
{
    if (m_bWriting && !m_bStuck)
        CompleteWriteCycle();
}

QString SimDoorbell::Describe() const
{
    return m_opt.path.isEmpty() ? QStringLiteral("sim") : QStringLiteral("sim:") + m_opt.path;
}

void SimDoorbell::Load()
{
    if (m_opt.path.isEmpty())
        return;
    // Never more than the memory holds, whatever the file's size; a FIFO or a device given as
    // the memory is refused rather than waited on or written over.
    QString error;
    bool missing = false;
    const QByteArray bytes = ReadRegularFile(m_opt.path, kMemoryBytes, &error, &missing);
    if (missing)
        return; // a doorbell never written: blank
    if (!error.isEmpty()) {
        m_strFileError =
            Text::tr("Не удалось прочитать память звонка «%1»: %2").arg(m_opt.path, error);
        return;
    }
    for (int i = 0; i < bytes.size() && i < kMemoryBytes; ++i)
        m_memory[i] = static_cast<uint8_t>(bytes[i]);
}

void SimDoorbell::Save()
{
    if (m_opt.path.isEmpty())
        return;
    QDir().mkpath(QFileInfo(m_opt.path).absolutePath());
    const QByteArray bytes(reinterpret_cast<const char*>(m_memory.data()), kMemoryBytes);
    QString error;
    if (SaveFileSafely(m_opt.path, bytes, &error)) {
        m_strFileError.clear();
        return;
    }
    m_strFileError =
        Text::tr("Не удалось сохранить память звонка в «%1»: %2").arg(m_opt.path, error);
}

uint8_t SimDoorbell::In(uint16_t port)
{
    switch (port) {
    case kPortData:
        return m_nData;
    case kPortStatus:
        Settle();
        return static_cast<uint8_t>((m_bSdaLine ? 0x00 : 0x80) | (m_bSclLine ? 0x40 : 0x00));
    case kPortControl:
        return m_nControl;
    default:
        return 0xFF;
    }
}

void SimDoorbell::Out(uint16_t port, uint8_t value)
{
    if (port == kPortControl) {
        m_nControl = value;
        return;
    }
    if (port != kPortData)
        return;
    const uint8_t old = m_nData;
    m_nData = value;
    if ((old & kResetLine) && !(value & kResetLine)) {
        ResetStateMachine();
        if (m_onStop)
            m_onStop();
    }
    if ((old & kPlayLine) && !(value & kPlayLine) && !InReset() && m_onPlay) {
        AdvanceTime(); // play what is stored, including a page that has just finished
        m_onPlay(m_memory.data(), m_memory[256]);
    }
    Settle();
}

void SimDoorbell::AdvanceTime()
{
    if (!m_bWriting && !m_bDevScl && !m_bReleasing)
        return;
    const double now = TheClock().NowMs();
    if (m_bReleasing && now >= m_dReleaseAt) {
        m_bReleasing = false;
        m_bDevSda = false;
    }
    if (m_bWriting && !m_bStuck && now >= m_dWriteEnds)
        CompleteWriteCycle();
    if (m_bDevScl && now >= m_dStretchEnds)
        m_bDevScl = false;
}

// Brings the line levels up to date and feeds every edge to the state machine; the device's own
// answer to an edge (acknowledge, next bit) is settled in the same call.
void SimDoorbell::Settle()
{
    AdvanceTime();
    for (int guard = 0; guard < 8; ++guard) {
        const bool sda = !((m_nData & kMasterData) || m_bDevSda || (m_opt.sdaLow && Faulty()));
        const bool scl = !((m_nData & kMasterClock) || m_bDevScl || (m_opt.sclLow && Faulty()));
        if (sda == m_bSdaLine && scl == m_bSclLine)
            return;
        if (m_bSclLine && !scl) {
            // The clock falls first: a data change with it is one made while the clock is low.
            m_bSclLine = false;
            OnClockFall();
        } else if (!m_bSclLine && scl) {
            m_bSdaLine = sda; // data settles before the clock rises
            m_bSclLine = true;
            OnClockRise();
        } else if (scl) {
            m_bSdaLine = sda;
            if (sda)
                OnStop();
            else
                OnStart();
        } else {
            m_bSdaLine = sda;
        }
    }
}

void SimDoorbell::OnStart()
{
    if (InReset())
        return;
    m_nPageMask = 0; // a repeated start before the stop drops an unfinished page write
    m_bDevSda = false;
    m_bReleasing = false;
    m_bLeftInRead = false;
    if (m_opt.absent && Faulty()) {
        m_phase = Phase::Idle;
        return;
    }
    m_phase = Phase::Receive;
    m_expect = Expect::DeviceCode;
    m_nBits = 0;
    m_nShift = 0;
}

void SimDoorbell::OnStop()
{
    if (InReset())
        return;
    if (m_phase != Phase::Idle && !m_bRead && m_expect == Expect::Data && m_nPageMask != 0)
        BeginWriteCycle();
    m_phase = Phase::Idle;
    m_bDevSda = false;
    m_bReleasing = false;
    m_bLeftInRead = false;
}

void SimDoorbell::OnClockRise()
{
    if (InReset())
        return;
    switch (m_phase) {
    case Phase::Receive:
        if (m_nBits < 8) {
            m_nShift = static_cast<uint8_t>((m_nShift << 1) | (m_bSdaLine ? 1 : 0));
            ++m_nBits;
        }
        break;
    case Phase::AckOut:
        m_bClocked = true;
        break;
    case Phase::Send:
        ++m_nSent;
        break;
    case Phase::AckIn:
        m_bMasterAck = !m_bSdaLine;
        m_bClocked = true;
        break;
    case Phase::Idle:
        break;
    }
}

void SimDoorbell::OnClockFall()
{
    if (InReset())
        return;
    if (m_opt.absent && Faulty() && m_phase != Phase::Idle) {
        // Gone in the middle of a transaction: the line it held is let go with the clock.
        m_phase = Phase::Idle;
        m_bDevSda = false;
        return;
    }
    switch (m_phase) {
    case Phase::Receive:
        if (m_nBits == 1)
            Stretch();
        if (m_nBits == 8) {
            m_nBits = 0;
            if (Accept(m_nShift)) {
                if (!Faulty())
                    ++m_nBytes;
                m_bDevSda = true; // acknowledge during the ninth clock
                m_bClocked = false;
                m_phase = Phase::AckOut;
            } else {
                m_phase = Phase::Idle; // not for us, or busy: wait for the next start
            }
        }
        break;
    case Phase::AckOut:
        if (!m_bClocked)
            break;
        if (m_opt.releaseUs > 0.0 && !m_bRead) {
            m_bReleasing = true;
            m_dReleaseAt = TheClock().NowMs() + m_opt.releaseUs / 1000.0;
        } else {
            m_bDevSda = false;
        }
        if (m_bRead) {
            LoadNextByte();
        } else {
            m_phase = Phase::Receive;
            m_nShift = 0;
            m_nBits = 0;
        }
        break;
    case Phase::Send:
        if (m_nSent >= 8) {
            if (!Faulty())
                ++m_nBytes;
            m_bDevSda = false; // the master answers in the ninth clock
            m_bClocked = false;
            m_phase = Phase::AckIn;
        } else {
            DriveSendBit();
            if (m_nSent == 1)
                Stretch();
        }
        break;
    case Phase::AckIn:
        if (!m_bClocked)
            break;
        if (m_bMasterAck) {
            LoadNextByte();
        } else {
            m_phase = Phase::Idle; // the read is over; the master sends a stop
            m_bLeftInRead = false;
        }
        break;
    case Phase::Idle:
        break;
    }
}

bool SimDoorbell::Accept(uint8_t byte)
{
    switch (m_expect) {
    case Expect::DeviceCode:
        if ((byte & 0xFC) != 0xA0 || m_bWriting)
            return false;
        m_bRead = (byte & 0x01) != 0;
        m_nBlock = (byte >> 1) & 0x01;
        if (m_bRead)
            m_nAddress = (m_nBlock << 8) | (m_nAddress & 0xFF);
        else
            m_expect = Expect::Address;
        return true;
    case Expect::Address:
        m_nAddress = (m_nBlock << 8) | byte;
        m_nPageBase = m_nAddress & ~7u;
        m_nPageOffset = m_nAddress & 7u;
        m_nPageMask = 0;
        m_expect = Expect::Data;
        return true;
    case Expect::Data:
        m_page[m_nPageOffset] = byte;
        m_nPageMask = static_cast<uint8_t>(m_nPageMask | (1u << m_nPageOffset));
        m_nPageOffset = (m_nPageOffset + 1) & 7u;
        m_nAddress = m_nPageBase | m_nPageOffset;
        return true;
    }
    return false;
}

void SimDoorbell::LoadNextByte()
{
    m_nTx = m_memory[m_nAddress];
    m_nAddress = (m_nAddress & 0x100u) | ((m_nAddress + 1) & 0xFFu);
    m_nSent = 0;
    m_phase = Phase::Send;
    DriveSendBit();
}

void SimDoorbell::DriveSendBit()
{
    m_bDevSda = (m_nTx & (0x80u >> m_nSent)) == 0;
}

void SimDoorbell::Stretch()
{
    if (m_opt.stretchMs <= 0.0 || !Faulty())
        return;
    m_bDevScl = true;
    m_dStretchEnds = TheClock().NowMs() + m_opt.stretchMs;
}

void SimDoorbell::BeginWriteCycle()
{
    if (m_opt.writeProtect && Faulty()) {
        m_nPageMask = 0; // acknowledged, never stored
        return;
    }
    m_pending = m_page;
    m_nPendingBase = m_nPageBase;
    m_nPendingMask = m_nPageMask;
    m_nPageMask = 0;
    m_bWriting = true;
    if (m_opt.busy && Faulty()) {
        m_bStuck = true;
        m_dWriteEnds = std::numeric_limits<double>::infinity();
        return;
    }
    const double twrMs = Faulty() ? m_opt.twrMs : SimOptions().twrMs;
    m_dWriteEnds = TheClock().NowMs() + twrMs;
    if (twrMs <= 0.0)
        CompleteWriteCycle();
}

void SimDoorbell::CompleteWriteCycle()
{
    for (unsigned i = 0; i < 8; ++i)
        if (m_nPendingMask & (1u << i))
            m_memory[m_nPendingBase + i] = m_pending[i];
    m_bWriting = false;
    ++m_nWriteCycles;
    Save();
}

void SimDoorbell::ResetStateMachine()
{
    if (m_bLeftInRead)
        return; // the memory chip has no reset line
    m_phase = Phase::Idle;
    m_bDevSda = false;
    m_bDevScl = false;
    m_nPageMask = 0;
}

} // namespace tinkla
