#include "document/TinklaDoc.h"
#include "platform/Archive.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using namespace tinkla;

TEST(DocumentSmoke, DefaultSetIs184Bytes)
{
    test::ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    ASSERT_TRUE(doc.OnNewDocument());
    Archive ar;
    doc.Serialize(ar);
    EXPECT_EQ(ar.Data().size(), 184);
}
