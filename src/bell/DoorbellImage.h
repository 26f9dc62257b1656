#pragma once
// The doorbell image of a document's set, the set a doorbell's image gives a document, and what a
// doorbell holds that differs from what was meant to be written. The image itself:
// exchange/DoorbellCodec.h.
#include "exchange/DoorbellCodec.h"

#include <QStringList>
#include <array>
#include <vector>

namespace tinkla
{

class CTinklaDoc;

// The image of the document's set. False (image untouched) when the document's format is none
// of the six. A melody longer than its slot, which the editor never lets happen, is cut at N
// notes rather than spill into the next melody's slot.
bool BuildDoorbellImage(const CTinklaDoc& doc, DoorbellImage* image);

// Replaces the document's set with the doorbell's (format, M melodies titled "Новая мелодия",
// melody 1 current) and repaints. Returns nullptr, or kMsgBellContents when:
//  - (M, N) is none of the six formats: the document is left as it was;
//  - a note byte is bad: the set stays replaced up to that byte (see DecodeDoorbellImage).
// Leaves the modified flag and the path name alone.
const char* ApplyDoorbellImage(CTinklaDoc& doc, unsigned nMelodies, unsigned nNotes,
                               const DoorbellImage& image);

// What a doorbell holds that differs from what was meant to be written, one line each, 1-based:
// "мелодия 2, нота 5: в звонке Ля 1/4, в наборе Си 1/8"; a different format byte; when the
// notes agree, differing raw bytes (filler). At most maxLines lines, the last one saying how
// many more there are. Empty when both agree byte for byte. nReadMelodies 0: the format byte
// read back means no format at all.
QStringList DescribeImageDifferences(unsigned nMelodies, unsigned nNotes,
                                     const DoorbellImage& expected, unsigned nReadMelodies,
                                     unsigned nReadNotes, const DoorbellImage& read,
                                     int maxLines = 20);

} // namespace tinkla
