// The .fml reader on arbitrary bytes: it must never crash, leak or allocate beyond what the bytes
// justify; a refused or damaged file leaves the set as it was; whatever loads is a valid set that
// stores and loads again to the same bytes, without a single message the second time.
#include "SilentPrompter.h"
#include "document/TinklaDoc.h"
#include "platform/Archive.h"

#include <cstddef>
#include <cstdint>

using namespace tinkla;
using tinkla::fuzz::Fail;

namespace
{

QByteArray Stored(CTinklaDoc& doc)
{
    Archive out;
    doc.Serialize(out);
    return out.Data();
}

void CheckInvariants(CTinklaDoc& doc)
{
    if (FormatIndex(doc.GetMelodyCount(), doc.GetNotesPerMelody()) < 0)
        Fail("set format");
    if (doc.GetCurrentNumber() < 1 || doc.GetCurrentNumber() > doc.GetMelodyCount())
        Fail("current melody");
    for (unsigned i = 0; i < doc.GetMelodyCount(); ++i) {
        const CMelody* m = doc.GetMelody(i);
        if (!m)
            Fail("melody count");
        if (m->GetNoteCount() > static_cast<int>(doc.GetNotesPerMelody()))
            Fail("melody longer than the set allows");
        if (m->GetRows() > kMaxRows || m->GetRows() < 0)
            Fail("rows out of bounds");
        if (m->GetTitle().size() > kMaxTitleBytes)
            Fail("title longer than kept");
        for (int n = 0; n < m->GetNoteCount(); ++n)
            if (m->GetNote(n).GetTone() >= kToneCount ||
                m->GetNote(n).GetDuration() >= kDurationCount)
                Fail("note out of range");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::SilentPrompter prompter;
    CTinklaDoc doc(&prompter);
    doc.OnNewDocument();
    const QByteArray before = Stored(doc);

    Archive in(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)),
               &prompter);
    try {
        doc.Serialize(in);
    } catch (const ArchiveError&) {
        if (Stored(doc) != before)
            Fail("a file that ends early changed the set");
        return 0;
    }
    CheckInvariants(doc);

    const QByteArray once = Stored(doc);
    fuzz::SilentPrompter quiet;
    CTinklaDoc again(&quiet);
    again.OnNewDocument();
    Archive in2(once, &quiet);
    try {
        again.Serialize(in2);
    } catch (const ArchiveError&) {
        Fail("a stored set does not load again");
    }
    if (quiet.messages != 0)
        Fail("a stored set loads with messages");
    if (in2.Remaining() != 0 || Stored(again) != once)
        Fail("a stored set does not round-trip");
    return 0;
}
