#include "bell/Transactions.h"

#include "bell/BellMessages.h"
#include "platform/TinklaError.h"

namespace tinkla
{

BYTE g_nPage = 0;
BYTE g_nPageByte = 0;

namespace
{

// Every non-zero result of a bus primitive is the link failure.
void Check(BusResult rc)
{
    if (rc != BUS_OK)
        ThrowMessage(kMsgBellLink);
}

// Waits for the device to acknowledge 0xA0 again, which it does once the page (or format byte)
// it is storing is done. Entry: bus free or after a stop; exit: 0xA0 sent and acknowledged.
void PollAcknowledge()
{
    BusWait wait;
    for (;;) {
        Check(BusStart());
        if (wait.Expired())
            ThrowMessage(kMsgBellLink);
        if (BusSendByte(kDeviceImageWrite) == BUS_OK)
            return;
    }
}

// Sets the device's address to 0 and turns the bus round for reading from it.
// Entry: bus free; exit: the read code sent and acknowledged, clock low.
void BeginRead(BYTE writeCode)
{
    Check(BusStart());
    Check(BusSendByte(writeCode));
    Check(BusSendByte(0x00));
    Check(BusStart());
    Check(BusSendByte(static_cast<BYTE>(writeCode | 0x01)));
}

BYTE PageAddress()
{
    return static_cast<BYTE>(g_nPage * 8 - 8);
}

// Moves on in the page; returns true when a new page was begun (stop, polling, its address).
bool AdvancePage()
{
    if (g_nPageByte != kPageBytes) {
        ++g_nPageByte;
        return false;
    }
    g_nPageByte = 1;
    ++g_nPage;
    Check(BusStop());
    PollAcknowledge();
    Check(BusSendByte(PageAddress()));
    return true;
}

} // namespace

BYTE ReadFormatByte()
{
    BYTE b = 0;
    BeginRead(kDeviceFormatWrite);
    Check(BusReceiveByte(&b, 1));
    Check(BusStop());
    return b;
}

void ReadSetFormat(unsigned& nMelodies, unsigned& nNotes)
{
    if (!DecodeFormatByte(ReadFormatByte(), &nMelodies, &nNotes)) {
        ConfirmDevicePresent(); // 0xFF is also what a chip that went away leaves on the bus
        ThrowMessage(kMsgBellContents);
    }
}

void ConfirmDevicePresent()
{
    Check(BusStart());
    const BusResult rc = BusSendByte(kDeviceImageWrite);
    Check(BusStop());
    Check(rc);
}

void WriteSetFormat(unsigned nMelodies)
{
    BYTE v = 0;
    if (!EncodeFormatByte(nMelodies, &v))
        ThrowMessage(kMsgBellBadFormat);
    Check(BusStart());
    Check(BusSendByte(kDeviceFormatWrite));
    Check(BusSendByte(0x00));
    Check(BusSendByte(v));
    Check(BusStop());
}

BYTE ReadImageByte(int nMode)
{
    BYTE b = 0;
    if (nMode == TRANSFER_FIRST) {
        BeginRead(kDeviceImageWrite);
        Check(BusReceiveByte(&b, 0));
    } else if (nMode == TRANSFER_LAST) {
        Check(BusReceiveByte(&b, 1));
        Check(BusStop());
    } else {
        Check(BusReceiveByte(&b, 0));
    }
    return b;
}

void WriteImageByte(BYTE value, int nMode)
{
    if (nMode == TRANSFER_FIRST) {
        g_nPage = 1;
        g_nPageByte = 1;
        PollAcknowledge();
        Check(BusSendByte(PageAddress()));
        Check(BusSendByte(value));
    } else if (nMode == TRANSFER_LAST) {
        if (AdvancePage())
            Delay(g_dDelay10ms);
        Check(BusSendByte(value));
        Check(BusStop());
        // Only a device that has stored the last page answers again: a store that never ends
        // is the link failure, not a write reported done.
        PollAcknowledge();
        Check(BusStop());
    } else {
        AdvancePage();
        Check(BusSendByte(value));
    }
}

} // namespace tinkla
