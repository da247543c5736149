// Finding rows by text, and the default bar colours of pulldown entries.
#include "document/ScheduleDocument.h"
#include "platform/SysUtils.h"

TNodeData* TScheduleDocument::FindFirst(const String& Text)
{
    FFindString = AnsiUpperCase(Text);
    return FindNext(nullptr);
}

TNodeData* TScheduleDocument::FindNext(TNodeData* Row)
{
    TStringTreeGrid* tree = GetTable(GetActiveTable());
    if (!tree)
        return nullptr;
    TGridNode* node = Row && Row->VNodeTable == tree && Row->VNode ? tree->GetNextNoInit(Row->VNode)
                                                                  : tree->GetFirstNoInit();
    for (; node; node = tree->GetNextNoInit(node)) {
        TNodeData* candidate = NodeToRow(tree, node);
        if (!candidate || !candidate->StringList)
            continue;
        for (int i = 0; i < candidate->StringList->Count(); ++i)
            if (AnsiUpperCase(candidate->StringList->Get(i)).find(FFindString) != String::npos)
                return candidate;
    }
    return nullptr;
}

void TScheduleDocument::FillUpColors(std::vector<TColor>& Colors, int Count)
{
    static const TColor defaults[10] = {0x008080, 0x00FFFF, 0x00BF00, 0xFFFFFF, 0xC0C0C0,
                                        0xFFFFFF, 0x808000, 0x008000, 0x808080, 0x800000};
    if (Count < 0)
        Count = 0;
    const std::size_t old = Colors.size();
    Colors.resize(std::size_t(Count));
    for (std::size_t i = old; i < Colors.size(); ++i)
        Colors[i] = defaults[(i - old) % 10];
}
