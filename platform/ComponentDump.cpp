// Dumps what a form shows of itself: the controls' geometry, text and state,
// menu items and actions, in owner order.
#include "platform/ComponentDump.h"

#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/Controls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

namespace {

String B(bool V) { return V ? "True" : "False"; }
String I(long long V) { return std::to_string(V); }

std::vector<std::pair<TClass, TDumpHook>>& Hooks()
{
    static std::vector<std::pair<TClass, TDumpHook>> hooks;
    return hooks;
}

void RunHooks(TComponent* C, TDumpProperties& P)
{
    std::vector<TClass> chain;
    for (TClass c = C->ClassType(); c; c = c->Parent)
        chain.insert(chain.begin(), c);
    for (TClass c : chain)
        for (const auto& [cls, hook] : Hooks())
            if (cls == c)
                hook(C, P);
}

void Emit(String& Out, const String& Path, TComponent* C, TDumpProperties& P)
{
    RunHooks(C, P);
    for (const auto& [name, value] : P.Items())
        Out += Path + "." + name + "=" + value + "\n";
}

String ChildPath(const String& Path, TComponent* C, int Index)
{
    return Path + "." + (C->Name().empty() ? "#" + I(Index) : C->Name());
}

void DumpItems(String& Out, const String& Path, TMenuItem* Parent);

void DumpItem(String& Out, const String& Path, TMenuItem* M)
{
    TDumpProperties p;
    p.Set("ClassName", M->ClassName());
    p.Set("Caption", M->Caption());
    if (M->ShortCut())
        p.Set("ShortCut", ShortCutToText(M->ShortCut()));
    p.Set("Checked", B(M->Checked()));
    p.Set("Enabled", B(M->Enabled()));
    p.Set("Visible", B(M->Visible()));
    if (M->Tag())
        p.Set("Tag", I(M->Tag()));
    Emit(Out, Path, M, p);
    DumpItems(Out, Path, M);
}

void DumpItems(String& Out, const String& Path, TMenuItem* Parent)
{
    for (int i = 0; i < Parent->Count(); ++i)
        DumpItem(Out, ChildPath(Path, Parent->Items(i), i), Parent->Items(i));
}

void DumpOne(String& Out, const String& Path, TComponent* C)
{
    if (auto* m = dynamic_cast<TMenuItem*>(C)) {
        DumpItem(Out, Path, m);
        return;
    }
    TDumpProperties p;
    p.Set("ClassName", C->ClassName());
    if (auto* ctl = dynamic_cast<TControl*>(C)) {
        p.Set("Left", I(ctl->Left()));
        p.Set("Top", I(ctl->Top()));
        p.Set("Width", I(ctl->Width()));
        p.Set("Height", I(ctl->Height()));
        if (ctl->Align() != alNone)
            p.Set("Align", I(ctl->Align()));
        if (!ctl->Caption().empty())
            p.Set("Caption", ctl->Caption());
        p.Set("Visible", B(ctl->Visible()));
        p.Set("Enabled", B(ctl->Enabled()));
        if (ctl->Parent() && ctl->Parent() != C->Owner())
            p.Set("Parent", ctl->Parent()->Name());
    }
    if (auto* b = dynamic_cast<TButton*>(C); b && b->ModalResult() != mrNone)
        p.Set("ModalResult", I(b->ModalResult()));
    if (auto* a = dynamic_cast<TAction*>(C)) {
        p.Set("Caption", a->Caption());
        p.Set("Enabled", B(a->Enabled()));
        p.Set("Checked", B(a->Checked()));
    }
    if (C->Tag())
        p.Set("Tag", I(C->Tag()));
    Emit(Out, Path, C, p);
    if (auto* m = dynamic_cast<TMenu*>(C))
        DumpItems(Out, Path, m->Items());
}

void DumpTree(String& Out, const String& Path, TComponent* C)
{
    DumpOne(Out, Path, C);
    for (int i = 0; i < C->ComponentCount(); ++i) {
        TComponent* sub = C->Components(i);
        // Named menu items owned by the form are dumped under their menu.
        if (dynamic_cast<TMenuItem*>(sub) && static_cast<TMenuItem*>(sub)->Parent())
            continue;
        DumpTree(Out, ChildPath(Path, sub, i), sub);
    }
}

}  // namespace

void TDumpProperties::Set(const String& Name, const String& Value)
{
    for (auto& [name, value] : FItems)
        if (name == Name) {
            value = Value;
            return;
        }
    FItems.emplace_back(Name, Value);
}

void TDumpProperties::Remove(const String& Name)
{
    std::erase_if(FItems, [&](const auto& P) { return P.first == Name; });
}

const String* TDumpProperties::Find(const String& Name) const
{
    for (const auto& [name, value] : FItems)
        if (name == Name)
            return &value;
    return nullptr;
}

void RegisterDumpHook(TClass Cls, TDumpHook Hook)
{
    auto& hooks = Hooks();
    std::erase_if(hooks, [Cls](const auto& H) { return H.first == Cls; });
    if (Cls && Hook)
        hooks.emplace_back(Cls, std::move(Hook));
}

String DumpComponents(TComponent* Root)
{
    String out;
    if (Root)
        DumpTree(out, Root->Name().empty() ? String(Root->ClassName()) : Root->Name(), Root);
    return out;
}
