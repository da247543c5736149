#include "DocumentTestSupport.h"

TEST(Search, FindsWordsInAnyCaseInTheActiveTable)
{
    TDocumentPtr doc = MakeDocument();
    TNodeData* first = AddTask(*doc, "A", Date(), 1);
    TNodeData* second = AddTask(*doc, "B", Date(), 1);
    TNodeData* third = AddTask(*doc, "C", Date(), 1);
    doc->SetData(first, 5, "Deliver PUMP parts");
    doc->SetData(third, 5, "pump (spare) \xC3\xBC");
    TNodeData* absent = doc->AddNode(doc->GetFreeID(), tbExclude, -1, -1, -1, cmIgnoreNet);
    doc->SetData(absent, 6, "pump holiday");

    EXPECT_EQ(doc->FindFirst("pump"), first);
    EXPECT_EQ(doc->FindNext(first), third);
    EXPECT_EQ(doc->FindNext(third), nullptr);
    EXPECT_EQ(doc->FindFirst("\xC3\x9C"), third) << "upper-casing beyond ASCII";
    EXPECT_EQ(doc->FindFirst("nothing"), nullptr);
    EXPECT_EQ(doc->FindFirst("b"), second) << "the position cell counts too";

    doc->SetActiveTable(tbExclude);
    EXPECT_EQ(doc->FindFirst("PUMP"), absent);
    EXPECT_EQ(doc->FindNext(absent), nullptr);
}
