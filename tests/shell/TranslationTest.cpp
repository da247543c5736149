// Translation: texts with line breaks and arguments, forms switched between
// languages and back, the language menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/Buttons.h"
#include "platform/ExtCtrls.h"
#include "platform/FormBuilder.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "shell/Translation.h"
#include "tests/support/PlatformFixture.h"

namespace {

namespace fs = std::filesystem;

fs::path TestFolder()
{
    const fs::path p = fs::temp_directory_path() / ("vek-lang-" + std::to_string(::getpid()));
    fs::create_directories(p / "languages");
    return p;
}

void WriteLanguage(const String& Name, const String& Body)
{
    std::ofstream(TestFolder() / "languages" / (Name + ".lng"), std::ios::binary) << Body;
}

struct TLanguageGuard {
    TLanguageGuard() { SetProgramFolder(TestFolder().string()); }
    ~TLanguageGuard()
    {
        SetLanguagefile(LanguageFileName("missing-on-purpose"));
        SetProgramFolder(String());
    }
};

}  // namespace

TEST(Translate, LineBreaksAndArgumentsWithAndWithoutAFile)
{
    TLanguageGuard guard;
    SetLanguagefile(LanguageFileName("none"));
    EXPECT_FALSE(LanguageFileLoaded());
    EXPECT_EQ(Translate("a\\nb"), "a\rb");
    EXPECT_EQ(Translate("%s and %s", {"x", "y"}), "x and y");
    EXPECT_EQ(Translate("%s and %s", {"x"}), "x and %s");
    EXPECT_EQ(Translate("100% of %s", {"x", "surplus"}), "100% of x");
    // Each substitution searches from the start, so an argument holding
    // "%s" is filled by the next one.
    EXPECT_EQ(Translate("%s-%s", {"<%s>", "y"}), "<y>-%s");

    WriteLanguage("Test", "\xEF\xBB\xBF[other]\r\nOpen=Wrong\r\n[translated]\r\nOpen=Öffnen\r\nRow %s of %s=Zeile %s von %s\r\n"
                          "Two\\nlines=Zwei\\nZeilen\r\nEmpty=\r\n");
    SetLanguagefile(LanguageFileName("Test"));
    ASSERT_TRUE(LanguageFileLoaded());
    EXPECT_EQ(Translate("Open"), "Öffnen");
    EXPECT_EQ(Translate("Row %s of %s", {"3", "7"}), "Zeile 3 von 7");
    EXPECT_EQ(Translate("Two\\nlines"), "Zwei\rZeilen");
    EXPECT_EQ(Translate("Empty"), "Empty");
    EXPECT_EQ(Translate("Not in the file"), "Not in the file");
}

TEST(Translate, MalformedOrHugeFilesTranslateNothing)
{
    TLanguageGuard guard;
    WriteLanguage("Bad", String("\xff\xfe\x00[trans", 9) + "lated\r\n=\r\n==\r\n[\r\nOpen");
    SetLanguagefile(LanguageFileName("Bad"));
    EXPECT_EQ(Translate("Open"), "Open");
    SetLanguagefile((TestFolder() / "languages").string());  // a folder
    EXPECT_FALSE(LanguageFileLoaded());
    {
        std::ofstream big(TestFolder() / "languages" / "Big.lng", std::ios::binary);
        big << "[translated]\r\nOpen=Auf\r\n";
        big.seekp(MaxLanguageFileSize + 1);
        big << '\n';
    }
    SetLanguagefile(LanguageFileName("Big"));
    EXPECT_FALSE(LanguageFileLoaded());
    fs::remove(TestFolder() / "languages" / "Big.lng");
}

TEST(Translate, PathHelpersAndStringLists)
{
    String first;
    EXPECT_EQ(GetFirstPart(" Form1 . Panel.caption ", first), "Panel.caption");
    EXPECT_EQ(first, "Form1");
    EXPECT_EQ(GetFirstPart("caption", first), "");
    EXPECT_EQ(first, "caption");
    EXPECT_TRUE(IsLastPart("hint"));
    TStringList lines;
    SetStringsProperty(lines, " one \\n two\\n\\n three ");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(lines[3], "three");
}

TEST(Translate, FormsSwitchToGermanAndBackFromTheirFirstTexts)
{
    EnsureApplication();
    TLanguageGuard guard;
    WriteLanguage("Deutsch", "[translated]\r\nPlan=Plan DE\r\nSave=Speichern\r\nSaves the plan=Speichert den Plan\r\n"
                             "Inner=Innen\r\nFile=Datei\r\nTip=Hinweis\r\nLevel=7\r\nEdit=Bearbeiten\r\n");
    WriteLanguage("Other", "[translated]\r\nSave=Sauver\r\n");
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetName("PlanForm");
    form->SetCaption("Plan");
    auto* save = Build<TButton>(form, "SaveButton").Parent(form).Caption("Save").Hint("Saves the plan").Get();
    auto* frame = Build<TPanel>(form, "Frame").Parent(form).Caption("Frame").Get();
    auto* inner = Build<TLabel>(frame, "InnerLabel").Parent(frame).Caption("Inner").Get();
    auto* sep = Build<TMenuItem>(form, "Sep").Caption("-").Hint("Tip").Get();
    auto* file = Build<TMenuItem>(form, "FileItem").Caption("File").Get();
    auto* edit = Build<TEdit>(form, "Field").Parent(form).Caption("Edit").Get();
    auto* unnamed = Create<TMenuItem>(form);
    unnamed->SetCaption("File");

    EXPECT_EQ(ApplyLanguage("Deutsch", nullptr), "Deutsch");
    EXPECT_EQ(form->Caption(), "Plan DE");
    EXPECT_EQ(save->Caption(), "Speichern");
    EXPECT_EQ(save->Hint(), "Speichert den Plan");
    EXPECT_EQ(inner->Caption(), "Innen");       // owned by the panel, not the form
    EXPECT_EQ(frame->Caption(), "Frame");       // equals its name: left alone
    EXPECT_EQ(sep->Caption(), "-");
    EXPECT_EQ(sep->Hint(), "Hinweis");
    EXPECT_EQ(file->Caption(), "Datei");
    EXPECT_EQ(unnamed->Caption(), "File");      // no name: skipped
    EXPECT_EQ(edit->Caption(), "Edit");         // an edit's text is the user's, not a caption

    save->SetCaption("Changed by code");
    EXPECT_EQ(ApplyLanguage("Other", nullptr), "Other");
    EXPECT_EQ(save->Caption(), "Sauver");
    EXPECT_EQ(form->Caption(), "Plan");
    EXPECT_EQ(save->Hint(), "Saves the plan");
    EXPECT_EQ(ApplyLanguage("Deutsch", nullptr), "Deutsch");
    EXPECT_EQ(save->Caption(), "Speichern");
    EXPECT_EQ(ApplyLanguage("Gone", nullptr), "");
    EXPECT_EQ(save->Caption(), "Save");
    EXPECT_EQ(inner->Caption(), "Inner");
    EXPECT_EQ(file->Caption(), "File");

    // A component freed and another made in its place starts from its own text.
    delete save;
    auto* again = Build<TButton>(form, "SaveButton").Parent(form).Caption("Edit").Get();
    ApplyLanguage("Deutsch", nullptr);
    EXPECT_EQ(again->Caption(), "Bearbeiten");
    delete form;
}

TEST(Translate, LanguageMenuIsSortedUnnamedAndChecksTheChoice)
{
    EnsureApplication();
    TLanguageGuard guard;
    fs::remove_all(TestFolder() / "languages");
    fs::create_directories(TestFolder() / "languages");
    for (const char* n : {"zulu", "Deutsch", "alpha", "Bravo"})
        WriteLanguage(n, "[translated]\r\nalpha=ALPHA\r\n");
    std::ofstream(TestFolder() / "languages" / "notes.txt") << "x";
    fs::create_directories(TestFolder() / "languages" / "sub.lng");
    auto* form = Create<TForm>(Application);
    form->SetName("MenuForm");
    auto* menu = Build<TMenuItem>(form, "Sprache1").Caption("Language").Get();
    String chosen;
    BuildLanguageMenu(menu, [&](const String& L) { chosen = L; });
    std::vector<String> captions;
    for (int i = 0; i < menu->Count(); ++i) {
        captions.push_back(menu->Items(i)->Caption());
        EXPECT_TRUE(menu->Items(i)->Name().empty());
    }
    EXPECT_EQ(captions, (std::vector<String>{"alpha", "Bravo", "Deutsch", "zulu"}));
    EXPECT_EQ(menu->AutoHotkeys(), maManual);
    menu->Items(2)->Click();
    EXPECT_EQ(chosen, "Deutsch");
    ApplyLanguage("alpha", menu);
    EXPECT_EQ(menu->Items(0)->Caption(), "alpha");  // never translated
    for (int i = 0; i < menu->Count(); ++i)
        EXPECT_EQ(menu->Items(i)->Checked(), i == 0);
    fs::remove(TestFolder() / "languages" / "alpha.lng");
    EXPECT_EQ(ApplyLanguage("alpha", menu), "");
    for (int i = 0; i < menu->Count(); ++i)
        EXPECT_FALSE(menu->Items(i)->Checked());
    delete form;
}
