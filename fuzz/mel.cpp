// The .mel reader on arbitrary bytes, into a set of every format in turn: it must never crash,
// leak or over-allocate; a refused or damaged file leaves the current melody as it was; whatever
// loads fits the set and stores and loads again to the same bytes without a message.
#include "SilentPrompter.h"
#include "document/TinklaDoc.h"
#include "platform/Archive.h"
#include "platform/TinklaError.h"

#include <cstddef>
#include <cstdint>

using namespace tinkla;
using tinkla::fuzz::Fail;

namespace
{

QByteArray StoredMelody(CTinklaDoc& doc)
{
    Archive out;
    doc.SerializeMelody(out);
    return out.Data();
}

void Setup(CTinklaDoc& doc, const SetFormat& format)
{
    doc.OnNewDocument();
    doc.SetFormat(format.melodies, format.notes);
    doc.ResetMelodies();
    doc.SetCurrentNumber(format.melodies); // the last melody: no neighbour to spill into
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const SetFormat& format : kSetFormats) {
        fuzz::SilentPrompter prompter;
        CTinklaDoc doc(&prompter);
        Setup(doc, format);
        const QByteArray before = StoredMelody(doc);

        Archive in(bytes, &prompter);
        try {
            doc.SerializeMelody(in);
        } catch (const ArchiveError&) {
            if (StoredMelody(doc) != before)
                Fail("a melody file that ends early changed the melody");
            continue;
        } catch (const TinklaError&) {
            if (StoredMelody(doc) != before)
                Fail("a refused melody file changed the melody");
            continue;
        }
        const CMelody* m = doc.GetCurrentMelody();
        if (m->GetNoteCount() > static_cast<int>(format.notes))
            Fail("melody longer than the set allows");
        if (m->GetRows() > kMaxRows || m->GetRows() < 0)
            Fail("rows out of bounds");
        if (m->GetTitle().size() > kMaxTitleBytes)
            Fail("title longer than kept");

        const QByteArray once = StoredMelody(doc);
        fuzz::SilentPrompter quiet;
        CTinklaDoc again(&quiet);
        Setup(again, format);
        Archive in2(once, &quiet);
        try {
            again.SerializeMelody(in2);
        } catch (...) {
            Fail("a stored melody does not load again");
        }
        if (quiet.messages != 0 || in2.Remaining() != 0 || StoredMelody(again) != once)
            Fail("a stored melody does not round-trip");
    }
    return 0;
}
