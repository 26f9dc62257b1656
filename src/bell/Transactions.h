#pragma once
// The doorbell's memory as four transactions on the bus: the format byte (device 0xA2/0xA3,
// address 0) and the 256-byte image (device 0xA0/0xA1), read in one sequential read and written
// in 32 pages of 8 bytes. Every failure is thrown as TinklaError carrying kMsgBellLink (any bus
// failure or time-out) or kMsgBellContents (a format byte no set format matches). After a
// failure no stop condition is sent; the next transaction starts with a start condition anyway.
#include "bell/Bus.h"
#include "exchange/DoorbellCodec.h"

namespace tinkla
{

// Modes of the image-byte functions.
constexpr int TRANSFER_NEXT = 0;  // a following byte
constexpr int TRANSFER_FIRST = 1; // byte 0: sets up address 0 first
constexpr int TRANSFER_LAST = 2;  // byte 255: ends the transaction with a stop

constexpr BYTE kDeviceImageWrite = 0xA0;
constexpr BYTE kDeviceImageRead = 0xA1;
constexpr BYTE kDeviceFormatWrite = 0xA2;
constexpr BYTE kDeviceFormatRead = 0xA3;
constexpr int kPageBytes = 8;
constexpr int kImageBytes = 256;

// Paged-write state between WriteImageByte calls: the page being written (1-based, its first
// address is g_nPage * 8 - 8) and the position of the last byte sent in it (1..8).
extern BYTE g_nPage;
extern BYTE g_nPageByte;

// Reads the format byte as it is. Throws kMsgBellLink. Bus free afterwards.
BYTE ReadFormatByte();
// Reads and decodes the format byte: M melodies of N = 256 / M - 1 notes.
// Throws kMsgBellLink or kMsgBellContents (only once ConfirmDevicePresent has shown that the
// byte came from a chip). Bus free afterwards on success.
void ReadSetFormat(unsigned& nMelodies, unsigned& nNotes);
// Writes the format byte for M (1, 2, 4, 8, 16 or 32); does not wait for the device to store it.
// Throws kMsgBellBadFormat, before any bus traffic, for any other M; kMsgBellLink on the bus.
void WriteSetFormat(unsigned nMelodies);
// Addresses the image device once: start, 0xA0, stop. A sequential read cannot tell a chip that
// went away (the released data line reads as 0xFF bytes) from a blank one; its silence here can.
// Throws kMsgBellLink when nothing acknowledges. Entry: bus free; exit: bus free.
void ConfirmDevicePresent();
// One byte of the image in a single sequential read: FIRST once, NEXT 254 times, LAST once.
// FIRST and NEXT acknowledge (the device keeps sending); LAST does not and sends the stop.
// Throws kMsgBellLink.
BYTE ReadImageByte(int nMode);
// One byte of the image: FIRST for byte 0, NEXT for 1..254, LAST for 255. Every eighth byte
// closes the page with a stop and opens the next after acknowledge polling (at most g_dTimeout
// seconds); LAST also polls once the last page is closed, so that it returns only after the
// device has stored it. Throws kMsgBellLink.
void WriteImageByte(BYTE value, int nMode);

} // namespace tinkla
