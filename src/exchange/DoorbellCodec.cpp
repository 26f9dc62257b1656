#include "exchange/DoorbellCodec.h"

#include "document/SetFormat.h"

namespace tinkla
{

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

DecodedImage DecodeDoorbellImage(const DoorbellImage& image, unsigned nMelodies, unsigned nNotes)
{
    DecodedImage decoded;
    if (FormatIndex(nMelodies, nNotes) < 0)
        return decoded;
    decoded.melodies.resize(nMelodies);
    unsigned offset = 0;
    for (unsigned k = 0; k < nMelodies; ++k, offset += nNotes + 1) {
        for (unsigned j = 0; j < nNotes; ++j) {
            const BYTE b = image[offset + j];
            if (b == kEndByte)
                break;
            if ((b & 7) > 4) {
                decoded.bad = true;
                decoded.badMelody = k;
                decoded.badNote = j;
                return decoded;
            }
            decoded.melodies[k].push_back(b);
        }
    }
    return decoded;
}

} // namespace tinkla
