// Dumps what a form shows of itself: the controls' geometry, text and state,
// menu items and actions, in owner order.
#include "platform/ComponentDump.h"

#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

namespace {

void Line(String& Out, const String& Path, const char* Property, const String& Value)
{
    Out += Path + "." + Property + "=" + Value + "\n";
}

String B(bool V) { return V ? "True" : "False"; }
String I(long long V) { return std::to_string(V); }

void DumpItem(String& Out, const String& Path, TMenuItem* M)
{
    Line(Out, Path, "Caption", M->Caption());
    if (M->ShortCut())
        Line(Out, Path, "ShortCut", ShortCutToText(M->ShortCut()));
    Line(Out, Path, "Checked", B(M->Checked()));
    Line(Out, Path, "Enabled", B(M->Enabled()));
    Line(Out, Path, "Visible", B(M->Visible()));
    for (int i = 0; i < M->Count(); ++i) {
        TMenuItem* sub = M->Items(i);
        DumpItem(Out, Path + "." + (sub->Name().empty() ? "#" + I(i) : sub->Name()), sub);
    }
}

void DumpOne(String& Out, const String& Path, TComponent* C)
{
    Line(Out, Path, "ClassName", C->ClassName());
    if (auto* ctl = dynamic_cast<TControl*>(C)) {
        Line(Out, Path, "Left", I(ctl->Left()));
        Line(Out, Path, "Top", I(ctl->Top()));
        Line(Out, Path, "Width", I(ctl->Width()));
        Line(Out, Path, "Height", I(ctl->Height()));
        if (ctl->Align() != alNone)
            Line(Out, Path, "Align", I(ctl->Align()));
        if (!ctl->Caption().empty())
            Line(Out, Path, "Caption", ctl->Caption());
        Line(Out, Path, "Visible", B(ctl->Visible()));
        Line(Out, Path, "Enabled", B(ctl->Enabled()));
        if (ctl->Parent() && ctl->Parent() != C->Owner())
            Line(Out, Path, "Parent", ctl->Parent()->Name());
    }
    if (auto* b = dynamic_cast<TButton*>(C); b && b->ModalResult() != mrNone)
        Line(Out, Path, "ModalResult", I(b->ModalResult()));
    if (auto* m = dynamic_cast<TMenuItem*>(C))
        DumpItem(Out, Path, m);
    if (auto* m = dynamic_cast<TMenu*>(C))
        for (int i = 0; i < m->Items()->Count(); ++i) {
            TMenuItem* sub = m->Items()->Items(i);
            DumpItem(Out, Path + "." + (sub->Name().empty() ? "#" + I(i) : sub->Name()), sub);
        }
    if (auto* a = dynamic_cast<TAction*>(C)) {
        Line(Out, Path, "Caption", a->Caption());
        Line(Out, Path, "Enabled", B(a->Enabled()));
        Line(Out, Path, "Checked", B(a->Checked()));
    }
    if (C->Tag())
        Line(Out, Path, "Tag", I(C->Tag()));
}

void DumpTree(String& Out, const String& Path, TComponent* C)
{
    DumpOne(Out, Path, C);
    for (int i = 0; i < C->ComponentCount(); ++i) {
        TComponent* sub = C->Components(i);
        // Named menu items owned by the form are dumped under their menu.
        if (dynamic_cast<TMenuItem*>(sub) && static_cast<TMenuItem*>(sub)->Parent())
            continue;
        DumpTree(Out, Path + "." + (sub->Name().empty() ? "#" + I(i) : sub->Name()), sub);
    }
}

}  // namespace

String DumpComponents(TComponent* Root)
{
    String out;
    if (Root)
        DumpTree(out, Root->Name().empty() ? String(Root->ClassName()) : Root->Name(), Root);
    return out;
}
