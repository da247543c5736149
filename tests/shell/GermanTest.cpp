// German is complete: every text the program looks up, on every path the
// tests of this executable drive, and every caption and hint of every form
// the program can show, has its German in resources/languages/Deutsch.lng.
//
// Each test of this executable records the texts it makes the program look
// up; when it ends, a text the German file lacks fails it, by name. A new
// form joins the walk below; a new text needs only its German line.
#include <gtest/gtest.h>

#include <set>

#include "document/IniFiles.h"
#include "platform/ActnList.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Streams.h"
#include "shell/SplashForm.h"
#include "tests/shell/MainFormFixture.h"

using namespace mainformtest;

namespace {

String GermanFile() { return vektest::DataPath("../../resources/languages/Deutsch.lng"); }

const TMemIniFile& German()
{
    static const std::unique_ptr<TMemIniFile> ini = [] {
        TFileStream file(GermanFile(), fmOpenRead);
        auto i = std::make_unique<TMemIniFile>();
        i->SetText(DecodeLanguageText(file.ReadBytes(file.Remaining())));
        return i;
    }();
    return *ini;
}

bool HasGerman(const String& Text) { return !German().ReadString("translated", Text, String()).empty(); }

// Suites that feed the translation service made-up texts of their own.
bool MadeUpTexts()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return !test || String(test->test_suite_name()) == "Translate";
}

std::set<String>& Seen()
{
    static std::set<String> seen;
    return seen;
}

void Record(const String& Text)
{
    if (!MadeUpTexts())
        Seen().insert(Text);
}

class TGermanCoverage : public ::testing::Environment {
public:
    void SetUp() override { SetTranslationObserver(Record); }
    void TearDown() override
    {
        SetTranslationObserver(nullptr);
        for (const String& text : Seen())
            if (!HasGerman(text))
                ADD_FAILURE() << "Deutsch.lng has no German for \"" << text << "\"";
    }
};

[[maybe_unused]] ::testing::Environment* const Coverage = ::testing::AddGlobalTestEnvironment(new TGermanCoverage);

}  // namespace

TEST_F(MainFormTest, GermanCoversEveryFormTheProgramShows)
{
    std::set<String> walked;
    SetTranslationObserver([&](const String& Text) {
        walked.insert(Text);
        Record(Text);
    });
    TMainForm* m = StartProgram({});
    // The forms, each through the walk a language switch makes.
    Translate(m);
    Translate(Splash());
    for (TMsgDlgType type : {mtWarning, mtError, mtInformation, mtConfirmation, mtCustom}) {
        TMessageForm* box = CreateMessageDialog(String(), type,
                                                TMsgDlgButtons{mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll,
                                                               mbNoToAll, mbYesToAll, mbHelp, mbClose});
        Translate(box);
        delete box;
    }
    // The input boxes of the network menu, walked while they show.
    SetModalHook([](TCustomForm* F) {
        Translate(F);
        // Past the address to the port.
        F->SetModalResult(F->Caption() == "Server address" ? mrOk : mrCancel);
    });
    m->Server1->Click();
    m->Client1->Click();
    SetTranslationObserver(Record);

    for (const char* text : {"&File", "Open...", "Yes to all", "Please enter a port for the Server", "Cancel"})
        EXPECT_TRUE(walked.count(text)) << text;
    for (const String& text : walked)
        EXPECT_TRUE(HasGerman(text)) << "Deutsch.lng has no German for \"" << text << "\"";
}

TEST_F(MainFormTest, ChosenGermanTheMenusSpeakGerman)
{
    ::mkdir((Root + "/languages").c_str(), 0700);
    WriteFile(Root + "/languages/Deutsch.lng", ReadFile(GermanFile()));
    TMainForm* m = StartProgram({});
    m->SetLanguage("Deutsch");
    EXPECT_EQ(m->Datei1->Caption(), "&Datei");
    EXPECT_EQ(m->ActOpen->Caption(), "\xC3\x96" "ffnen...");
    EXPECT_EQ(m->Exportieren1->Caption(), "Excel-Export");
    EXPECT_EQ(Panel(m, 0), "Tabelle gesamt: 0");
}
