#pragma once
// The real main window in the offscreen platform, with a temporary
// configuration folder and working directory. Every question is answered
// through the hooks: message boxes by the next scripted answer (recording
// their texts), input boxes by the next scripted text (recording what they
// offered), file dialogs by the next path.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ComCtrls.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"
#include "shell/MainForm.h"
#include "shell/MessageDialog.h"
#include "shell/Startup.h"
#include "shell/Translation.h"
#include "tests/support/PlatformFixture.h"
#include "tests/support/TestData.h"

namespace mainformtest {

inline String ReadFile(const String& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFile(const String& Path, const String& Text) { std::ofstream(Path, std::ios::binary) << Text; }

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Root = vektest::TempDir();
        Config = Root + "/config";
        Work = Root + "/work";
        ::mkdir(Config.c_str(), 0700);
        ::mkdir(Work.c_str(), 0700);
        ::setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
        const String runtime = Root + "/runtime";
        ::mkdir(runtime.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ASSERT_EQ(::chdir(Work.c_str()), 0);
        SetProgramFolder(Root + "/");
        SetModalHook([this](TCustomForm* F) {
            if (F->Name() == "InputQueryBox") {
                AnswerInput(F);
                return;
            }
            auto* box = dynamic_cast<TMessageForm*>(F);
            ASSERT_NE(box, nullptr) << "unexpected form " << F->Name();
            Questions.push_back(box->Message->Caption());
            F->SetModalResult(Answers.empty() ? mrCancel : Answers.front());
            if (!Answers.empty())
                Answers.erase(Answers.begin());
        });
        SetDialogHook([this](TCommonDialog* D) {
            auto* open = dynamic_cast<TOpenDialog*>(D);
            if (!open || Paths.empty())
                return false;
            open->SetFileName(Paths.front());
            Paths.erase(Paths.begin());
            return true;
        });
    }

    void TearDown() override
    {
        StopProgram();
        SetStartupObserver(nullptr);
        SetModalHook(nullptr);
        SetDialogHook(nullptr);
        SetProgramFolder(String());
    }

    // An input box: records "prompt=offered text" and enters the next
    // scripted text (Cancel when none is left or it is empty).
    void AnswerInput(TCustomForm* F)
    {
        auto* prompt = static_cast<TControl*>(F->FindComponent("Prompt"));
        auto* edit = static_cast<TEdit*>(F->FindComponent("Edit"));
        Offered.push_back(prompt->Caption() + "=" + edit->Text());
        const String answer = Inputs.empty() ? String() : Inputs.front();
        if (!Inputs.empty())
            Inputs.erase(Inputs.begin());
        edit->SetText(answer);
        F->SetModalResult(answer.empty() ? mrCancel : mrOk);
    }

    // A document with one task, saved at Path.
    String MakeDocument(const String& Name)
    {
        const String path = Work + "/" + Name;
        TMainForm* m = StartProgram({});
        m->AddNode(0, tbTable, 0, 480, 46000, cmDefault);
        m->SaveTo(path);
        StopProgram();
        return path;
    }

    String Root, Config, Work;
    std::vector<TModalResult> Answers;
    std::vector<String> Questions;
    std::vector<String> Paths;
    std::vector<String> Inputs;
    std::vector<String> Offered;
};

inline String Panel(TMainForm* M, int Index) { return M->StatusBar1->Panels()->Items(Index)->Text(); }

}  // namespace mainformtest
