#pragma once
// A planner whose questions, messages and filter popup are answered and
// recorded by the test, with its tables' columns at fixed widths.
#include "components/TreeGrid/TreeGridColumns.h"
#include "components/TreeGrid/TreeGridHeader.h"
#include "tests/views/ViewsTestSupport.h"

class TTablePlanner : public TTestPlanner {
public:
    using TTestPlanner::TTestPlanner;

    int FilterOpened = 0;
    void ActionFilterExecute() override { ++FilterOpened; }
    std::vector<String> Questions;
    bool Answer = true;
    bool AskYesNo(const String& Text) override
    {
        Questions.push_back(Text);
        return Answer;
    }
    bool AskConfirmation(const String& Text) override
    {
        Questions.push_back(Text);
        return Answer;
    }
    std::vector<String> Messages;
    void ShowMessage(TDocumentMessageKind, const String& Text) override { Messages.push_back(Text); }
    bool Client = false;
    bool IsConnectedClient() const override { return Client; }
    String Translate(const String& Text) const override
    {
        return Text == "yes" ? "ja" : Text == "no" ? "nein" : Text;
    }
};

using TTablePlannerPtr = TOwnedDocument<TTablePlanner>;

inline TTablePlannerPtr MakeTablePlanner()
{
    EnsureApplication();
    TTablePlannerPtr p = MakeDocumentOf<TTablePlanner>({"A", "B", "C"});
    for (TWhichTable table : {tbTable, tbExclude}) {
        TTreeGridColumns* columns = p->GetTable(table)->Header()->Columns();
        for (int i = 0; i < columns->Count(); ++i)
            columns->Items(i)->SetWidth(60);
    }
    p->SetFileChanged(false);
    return p;
}

// The cells of one column, in tree order.
inline std::vector<String> ColumnTexts(TScheduleDocument& Doc, TWhichTable Table, int Column)
{
    std::vector<String> texts;
    for (TNodeData* row : TableRows(Doc, Table))
        texts.push_back(Doc.GetData(row, Column));
    return texts;
}
