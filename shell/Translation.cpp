// Translation through the language file, with the first texts of every
// translated property kept so that each switch starts from them.
#include "shell/Translation.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <system_error>

#include "document/IniFiles.h"
#include "document/LZR.h"
#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

// Drops the cached texts of a component when it goes, so that a new
// component at the same address never inherits them.
class TSourceTextWatch : public TComponent {
public:
    TSourceTextWatch() : TComponent(nullptr) {}
    std::map<std::pair<TComponent*, String>, String> Texts;
    // Component and property ("" for all) the form translation leaves alone.
    std::set<std::pair<TComponent*, String>> Untranslated;

    void Remember(TComponent* C, const String& Prop, const String& Text)
    {
        Texts.emplace(std::make_pair(C, Prop), Text);
        C->FreeNotification(this);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        if (Operation == opRemove) {
            auto it = Texts.lower_bound(std::make_pair(AComponent, String()));
            while (it != Texts.end() && it->first.first == AComponent)
                it = Texts.erase(it);
            auto u = Untranslated.lower_bound(std::make_pair(AComponent, String()));
            while (u != Untranslated.end() && u->first == AComponent)
                u = Untranslated.erase(u);
        }
        TComponent::Notification(AComponent, Operation);
    }
};

struct TTranslationState {
    std::unique_ptr<TMemIniFile> File;
    std::unique_ptr<TSourceTextWatch, TObjectDeleter> Watch{new TSourceTextWatch()};
    std::vector<String> Patterns;
    std::vector<TClass> CaptionClasses;
    std::function<void(const String&)> Observer;
    String ProgramFolder;
    bool Started = false;
};

TTranslationState& State()
{
    static TTranslationState state;
    if (!state.Started) {
        state.Started = true;
        SetLanguagefile();
    }
    return state;
}

const char* const TranslatedSection = "translated";

String Lower(const String& S)
{
    String r = S;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return r;
}

bool HasCaption(TComponent* C)
{
    if (Is<TCustomForm>(C) || Is<TLabel>(C) || Is<TButton>(C) || Is<TSpeedButton>(C) || Is<TCheckBox>(C) ||
        Is<TRadioButton>(C) || Is<TGroupBox>(C) || Is<TPanel>(C) || Is<TTabSheet>(C) || Is<TToolButton>(C) ||
        Is<TMenuItem>(C) || Is<TAction>(C))
        return true;
    for (TClass cls : State().CaptionClasses)
        if (C->InheritsFrom(cls))
            return true;
    return false;
}

bool HasHint(TComponent* C) { return Is<TControl>(C) || Is<TMenuItem>(C) || Is<TAction>(C); }

void ReplaceBackslashN(String& S)
{
    std::size_t p = 0;
    while ((p = S.find("\\n", p)) != String::npos)
        S.replace(p, 2, "\r");
}

}  // namespace

void CloseFile() { State().File.reset(); }

String DecodeLanguageText(const std::string& Bytes)
{
    std::string text = Bytes;
    TLZR lzr;
    std::string plain;
    if (lzr.DeCompress(Bytes.data(), Bytes.size(), plain))
        text = std::move(plain);
    // Without a byte-order mark a language file is read as Windows-1252,
    // unless it is UTF-8 beyond plain ASCII, as editors on Linux write it.
    const bool marked = text.compare(0, 3, "\xEF\xBB\xBF") == 0 || text.compare(0, 2, "\xFF\xFE") == 0 ||
                        text.compare(0, 2, "\xFE\xFF") == 0;
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
    if (!marked && !ascii && Utf16ToUtf8(Utf8ToUtf16(text)) == text)
        text.insert(0, "\xEF\xBB\xBF");
    return DecodeText(text);
}

void SetLanguagefile(const String& Path)
{
    TTranslationState& s = State();
    s.File.reset();
    const String name = Path.empty() ? String("default.lng") : Path;
    try {
        std::error_code ec;
        const std::filesystem::path p(name);
        if (!std::filesystem::is_regular_file(p, ec))
            return;
        const auto size = std::filesystem::file_size(p, ec);
        if (ec || size > std::uintmax_t(MaxLanguageFileSize))
            return;
        std::string bytes;
        {
            TFileStream file(name, fmOpenRead | fmShareDenyWrite);
            bytes = file.ReadBytes(std::min<Int64>(file.Remaining(), MaxLanguageFileSize));
        }
        auto ini = std::make_unique<TMemIniFile>();
        ini->SetText(DecodeLanguageText(bytes));
        s.File = std::move(ini);
    } catch (...) {
        s.File.reset();
    }
}

bool LanguageFileLoaded() { return bool(State().File); }

String doTranslate(const String&, const String& Key, const String& Default)
{
    TTranslationState& s = State();
    if (s.Observer && !Key.empty())
        s.Observer(Key);
    if (!s.File || Key.empty())
        return Default;
    const String v = s.File->ReadString(TranslatedSection, Key, String());
    return v.empty() ? Default : v;
}

String Translate(const String& Text)
{
    String r = doTranslate("Messages", Text, Text);
    ReplaceBackslashN(r);
    return r;
}

String Translate(const String& Text, const std::vector<String>& Arguments)
{
    String r = Translate(Text);
    for (const String& a : Arguments) {
        const std::size_t p = r.find("%s");
        if (p == String::npos)
            break;
        r.replace(p, 2, a);
    }
    return r;
}

String GetFirstPart(const String& Path, String& First)
{
    const std::size_t p = Path.find('.');
    if (p == String::npos) {
        First = Trim(Path);
        return String();
    }
    First = Trim(Path.substr(0, p));
    return Trim(Path.substr(p + 1));
}

bool IsLastPart(const String& Path) { return Path.find('.') == String::npos; }

TComponent* FindComponent(TComponent* Owner, const String& Name)
{
    if (!Owner)
        Owner = Application;
    if (!Owner || Name.empty())
        return nullptr;
    for (int i = 0; i < Owner->ComponentCount(); ++i)
        if (SameText(Owner->Components(i)->Name(), Name))
            return Owner->Components(i);
    return nullptr;
}

bool HasProperty(TComponent* C, const String& Name)
{
    if (!C)
        return false;
    const String n = Lower(Name);
    return (n == "caption" && HasCaption(C)) || (n == "hint" && HasHint(C)) || n == "tag";
}

bool StringProperty(TComponent* C, const String& Name)
{
    const String n = Lower(Name);
    return HasProperty(C, Name) && (n == "caption" || n == "hint");
}

bool IntegerProperty(TComponent* C, const String& Name) { return HasProperty(C, Name) && Lower(Name) == "tag"; }

String GetProperty(TComponent* C, const String& Name)
{
    if (!HasProperty(C, Name))
        return String();
    const String n = Lower(Name);
    if (n == "tag")
        return std::to_string(C->Tag());
    const bool caption = n == "caption";
    if (auto* m = dynamic_cast<TMenuItem*>(C))
        return caption ? m->Caption() : m->Hint();
    if (auto* a = dynamic_cast<TAction*>(C))
        return caption ? a->Caption() : a->Hint();
    auto* ctl = static_cast<TControl*>(C);
    return caption ? ctl->Caption() : ctl->Hint();
}

void SetProperty(TComponent* C, const String& Name, const String& Value)
{
    if (!HasProperty(C, Name))
        return;
    const String n = Lower(Name);
    if (n == "tag") {
        C->SetTag(StrToIntDef(Trim(Value), int(C->Tag())));
        return;
    }
    const bool caption = n == "caption";
    if (auto* m = dynamic_cast<TMenuItem*>(C))
        caption ? m->SetCaption(Value) : m->SetHint(Value);
    else if (auto* a = dynamic_cast<TAction*>(C))
        caption ? a->SetCaption(Value) : a->SetHint(Value);
    else if (auto* ctl = dynamic_cast<TControl*>(C))
        caption ? ctl->SetCaption(Value) : ctl->SetHint(Value);
}

void RegisterCaptionClass(TClass Cls)
{
    auto& v = State().CaptionClasses;
    if (Cls && std::find(v.begin(), v.end(), Cls) == v.end())
        v.push_back(Cls);
}

void SetStringsProperty(TStrings& Strings, const String& Text)
{
    Strings.Clear();
    String rest = Text;
    std::size_t p;
    while ((p = rest.find("\\n")) != String::npos) {
        Strings.Add(Trim(rest.substr(0, p)));
        rest.erase(0, p + 2);
    }
    if (!Trim(rest).empty())
        Strings.Add(Trim(rest));
}

void BuildProperties(TComponent* Component, TStrings& List, const String& Prefix)
{
    if (!Component || Component->Name().empty())
        return;
    const String path = Prefix.empty() ? Component->Name() : Prefix + "." + Component->Name();
    for (int i = 0; i < Component->ComponentCount(); ++i)
        BuildProperties(Component->Components(i), List, path);
    // A menu item or button that follows an action shows the action's
    // caption and hint: translating the item itself would last only until
    // the action next changes, so the action is translated in its place.
    if (auto* client = dynamic_cast<TActionClient*>(Component); client && client->Action())
        return;
    const auto& untranslated = State().Watch->Untranslated;
    if (untranslated.count(std::make_pair(Component, String())))
        return;
    for (const String& pattern : State().Patterns) {
        const std::size_t dot = pattern.rfind('.');
        const String prop = dot == String::npos ? pattern : pattern.substr(dot + 1);
        if (!StringProperty(Component, prop) || untranslated.count(std::make_pair(Component, Lower(prop))))
            continue;
        const String text = GetProperty(Component, prop);
        if (text.empty() || text == "-" || text == Component->Name())
            continue;
        List.Add(path + "." + prop);
    }
}

void TranslateProperty(const String& Path, TComponent* Root)
{
    String rest = Trim(Path);
    if (rest.empty() || IsLastPart(rest))
        return;
    String part;
    rest = GetFirstPart(rest, part);
    TComponent* c = Root ? (SameText(Root->Name(), part) ? Root : nullptr) : FindComponent(nullptr, part);
    while (c && !IsLastPart(rest)) {
        rest = GetFirstPart(rest, part);
        c = FindComponent(c, part);
    }
    if (!c || !HasProperty(c, rest))
        return;
    const String prop = Lower(rest);
    TSourceTextWatch& watch = *State().Watch;
    auto it = watch.Texts.find(std::make_pair(c, prop));
    const String source = it != watch.Texts.end() ? it->second : GetProperty(c, prop);
    const String translation = doTranslate("Static", source, source);
    if (translation.empty())
        return;
    if (it == watch.Texts.end())
        watch.Remember(c, prop, source);
    SetProperty(c, prop, translation);
}

void Translate(TComponent* Component)
{
    if (!Component)
        return;
    TTranslationState& s = State();
    s.Patterns = {"*.caption", "*.hint"};
    TStringList list;
    BuildProperties(Component, list, String());
    for (int i = 0; i < list.Count(); ++i)
        TranslateProperty(list[i], Component);
}

void LeaveUntranslated(TComponent* Component, const String& Property)
{
    if (!Component)
        return;
    TSourceTextWatch& watch = *State().Watch;
    watch.Untranslated.insert(std::make_pair(Component, Lower(Property)));
    Component->FreeNotification(&watch);
}

void SetTranslationObserver(std::function<void(const String& Text)> Observer)
{
    State().Observer = std::move(Observer);
}

void ClearSourceTexts()
{
    TSourceTextWatch& watch = *State().Watch;
    std::set<TComponent*> seen;
    for (const auto& [component, property] : watch.Untranslated)
        seen.insert(component);
    for (auto& [key, text] : watch.Texts)
        seen.insert(key.first);
    watch.Texts.clear();
    watch.Untranslated.clear();
    for (TComponent* c : seen)
        c->RemoveFreeNotification(&watch);
}

String ProgramFolder()
{
    TTranslationState& s = State();
    if (!s.ProgramFolder.empty())
        return s.ProgramFolder;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    String folder = ec ? String(".") : exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

void SetProgramFolder(const String& Folder)
{
    String f = Folder;
    if (!f.empty() && f.back() != '/')
        f += '/';
    State().ProgramFolder = f;
}

String LanguageFileName(const String& Name)
{
    const String folder = ProgramFolder() + "languages";
    const String exact = folder + "/" + Name + ".lng";
    std::error_code ec;
    if (Name.empty() || std::filesystem::is_regular_file(exact, ec))
        return exact;
    // The menu lists "*.LNG" as well: find the file as listed.
    for (const String& file : FindFiles(folder, ".lng"))
        if (file.compare(0, file.size() - 4, Name) == 0 && file.size() == Name.size() + 4)
            return folder + "/" + file;
    return exact;
}

std::vector<String> FindFiles(const String& Folder, const String& Extension)
{
    std::vector<String> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(Folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code fe;
        if (!it->is_regular_file(fe))
            continue;
        const String n = it->path().filename().string();
        if (n.size() > Extension.size() && SameText(n.substr(n.size() - Extension.size()), Extension))
            names.push_back(n);
    }
    std::sort(names.begin(), names.end(), [](const String& a, const String& b) {
        const int c = AnsiCompareText(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

void BuildLanguageMenu(TMenuItem* Menu, std::function<void(const String&)> OnChoose)
{
    if (!Menu)
        return;
    Menu->Clear();
    Menu->SetAutoHotkeys(maManual);
    for (const String& file : FindFiles(ProgramFolder() + "languages", ".lng")) {
        auto* item = Create<TMenuItem>(Menu->Owner());
        item->SetCaption(file.substr(0, file.size() - 4));
        item->OnClick = [item, OnChoose](TObject*) {
            if (OnChoose)
                OnChoose(item->Caption());
        };
        Menu->Add(item);
    }
}

void CheckLanguageItems(TMenuItem* Menu, const String& Language)
{
    if (!Menu)
        return;
    for (int i = Menu->Count() - 1; i >= 0; --i)
        Menu->Items(i)->SetChecked(Menu->Items(i)->Caption() == Language);
}

String ApplyLanguage(const String& Name, TMenuItem* LanguageMenu)
{
    std::error_code ec;
    const String language = std::filesystem::is_regular_file(LanguageFileName(Name), ec) ? Name : String();
    CheckLanguageItems(LanguageMenu, language);
    SetLanguagefile(LanguageFileName(language));
    if (Application)
        for (int i = Application->FormCount() - 1; i >= 0; --i)
            Translate(Application->Forms(i));
    return language;
}
