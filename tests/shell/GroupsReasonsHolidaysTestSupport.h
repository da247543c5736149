#pragma once
// What the tests of the groups, absence reasons and holidays dialogs share:
// a started program with positions of their own, and a dialog shown
// through its opener with the user's steps in place of the user.
#include <functional>

#include "document/CommaText.h"
#include "document/IniFiles.h"
#include "tests/shell/MainFormFixture.h"

namespace setuptest {

// A position's whole entry: its name as a comma text.
inline String Entry(const char* Name) { return AddToCommaText(String(), Name); }

inline void SetPositions(TMainForm* M, std::initializer_list<const char*> Names)
{
    TStringList* list = M->GetColumnStrings(tbTable, M->GetConnection(tbTable, cnPosition));
    list->Clear();
    for (const char* p : Names)
        list->Add(Entry(p));
    M->ApplyPositionGroup();
}

inline std::vector<String> List(const TStrings& Strings)
{
    std::vector<String> list;
    for (int i = 0; i < Strings.Count(); ++i)
        list.push_back(Strings.Get(i));
    return list;
}

// A group's comma text of the positions' whole entries.
inline String Members(std::initializer_list<const char*> Names)
{
    String text;
    for (const char* n : Names)
        text = AddToCommaText(text, Entry(n));
    return text;
}

// Shows Dialog through Open (an opener of the main window); Steps act as the
// user and end it with a button.
template <class TDialog>
void Answer(TMainForm* M, const std::function<void()>& Open, const std::function<void(TDialog*)>& Steps)
{
    (void)M;
    bool shown = false;
    SetModalHook([&](TCustomForm* F) {
        auto* d = dynamic_cast<TDialog*>(F);
        ASSERT_NE(d, nullptr) << F->Name();
        shown = true;
        Steps(d);
    });
    Open();
    SetModalHook(nullptr);
    EXPECT_TRUE(shown);
}

inline std::unique_ptr<TMemIniFile> Saved(TMainForm* M, const String& Path)
{
    M->SaveTo(Path);
    return TScheduleDocument::ReadDocumentFile(Path);
}

}  // namespace setuptest
