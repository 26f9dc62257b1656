// A doorbell's memory is outside bytes: the format byte and the 256-byte image decoded into a set
// as a read does. Nothing may crash; a refused format leaves the set alone; whatever decodes
// writes back to an image that decodes to the same notes.
#include "SilentPrompter.h"
#include "bell/DoorbellImage.h"
#include "bell/Transactions.h"
#include "document/TinklaDoc.h"
#include "platform/Archive.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{

QByteArray Saved(tinkla::CTinklaDoc& doc)
{
    tinkla::Archive ar;
    doc.Serialize(ar);
    return ar.Data();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tinkla;
    if (size == 0)
        return 0;
    const BYTE formatByte = data[0];
    DoorbellImage image;
    image.fill(kFillerByte); // a short dump reads as a blank rest, as the simulator's file does
    std::memcpy(image.data(), data + 1, std::min(size - 1, image.size()));

    fuzz::SilentPrompter prompter;
    CTinklaDoc doc(&prompter);
    doc.OnNewDocument();
    unsigned melodies = 0;
    unsigned notes = 0;
    if (!DecodeFormatByte(formatByte, &melodies, &notes)) {
        // The read ends here; the image decoder must refuse such a pair on its own as well.
        const unsigned m = formatByte;
        const unsigned n = static_cast<unsigned>(size % 300);
        if (FormatIndex(m, n) >= 0)
            return 0;
        const QByteArray before = Saved(doc);
        if (ApplyDoorbellImage(doc, m, n, image) == nullptr || Saved(doc) != before)
            fuzz::Fail("a format outside the six was taken");
        return 0;
    }
    const char* message = ApplyDoorbellImage(doc, melodies, notes, image);
    if (doc.GetMelodyCount() != melodies || doc.GetNotesPerMelody() != notes)
        fuzz::Fail("the set does not have the format read");
    DoorbellImage rebuilt;
    if (!BuildDoorbellImage(doc, &rebuilt))
        fuzz::Fail("a decoded set cannot be written back");
    const DecodedImage a = DecodeDoorbellImage(image, melodies, notes);
    const DecodedImage b = DecodeDoorbellImage(rebuilt, melodies, notes);
    if (b.bad || a.melodies != b.melodies || (message != nullptr) != a.bad)
        fuzz::Fail("notes do not survive a write back");
    DescribeImageDifferences(melodies, notes, rebuilt, melodies, notes, image);
    return 0;
}
