#pragma once
// The doorbell's memory as bytes, without any I/O: the 256-byte image, one slot of N + 1 bytes per
// melody (melody k, 1-based, at (k - 1) × (N + 1)) holding its note codes (tone × 8 + duration),
// the end byte 0x07 and 0xFF filler (a full melody has its end byte in the slot's last byte;
// titles are not stored), and the format byte that says M × N.
#include "platform/Byte.h"

#include <array>
#include <vector>

namespace tinkla
{

using DoorbellImage = std::array<BYTE, 256>;
constexpr BYTE kEndByte = 0x07;
constexpr BYTE kFillerByte = 0xFF;

// The format byte holds M as k one-bits from the top for M = 2^k: 0x00 (1 × 255) .. 0xF8
// (32 × 7). Reading accepts 0, or one unbroken run of 1..5 one-bits anywhere in the byte.
// False for any other byte (bad contents).
bool DecodeFormatByte(BYTE b, unsigned* pMelodies, unsigned* pNotes);
// False, leaving *pByte alone, for a melody count that is not one of 1, 2, 4, 8, 16, 32.
bool EncodeFormatByte(unsigned nMelodies, BYTE* pByte);

// The melodies an image holds for M × N, as note codes. Decoding stops at the first note byte
// whose duration field exceeds 4: badMelody (0-based) holds the notes before it, the later
// melodies are empty. The last byte of a slot is never examined.
struct DecodedImage {
    std::vector<std::vector<BYTE>> melodies;
    bool bad = false;
    unsigned badMelody = 0; // 0-based
    unsigned badNote = 0;   // 0-based index in the slot
};
DecodedImage DecodeDoorbellImage(const DoorbellImage& image, unsigned nMelodies, unsigned nNotes);

} // namespace tinkla
