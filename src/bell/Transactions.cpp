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
void Check(int rc)
{
    if (rc != 0)
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
        if (BusSendByte(kDeviceImageWrite) == 0)
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

bool DecodeFormatByte(BYTE b, unsigned* pMelodies, unsigned* pNotes)
{
    unsigned melodies = 1;
    if (b != 0) {
        // Shift out the trailing zeros and the lowest one-bit; what is left is the rest of the run.
        unsigned q = b;
        unsigned r;
        do {
            r = q % 2;
            q /= 2;
        } while (r != 1);
        melodies = 2 * q + 2;
    }
    if (melodies > 32 || (melodies & (melodies - 1)) != 0)
        return false;
    *pMelodies = melodies;
    *pNotes = 256 / melodies - 1;
    return true;
}

bool EncodeFormatByte(unsigned nMelodies, BYTE* pByte)
{
    if (nMelodies == 0 || nMelodies > 32 || (nMelodies & (nMelodies - 1)) != 0)
        return false;
    BYTE v = 0;
    for (unsigned m = nMelodies; m != 1; m /= 2)
        v = static_cast<BYTE>((v >> 1) | 0x80);
    *pByte = v;
    return true;
}

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
    const int rc = BusSendByte(kDeviceImageWrite);
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
