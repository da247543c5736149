// Entry of the program.
#include "platform/Forms.h"
#include "platform/Version.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) {
            const TBuildInfo v = GetBuildInfo();
            std::printf("VEK %d.%d.%d.%d\n", v.Major, v.Minor, v.Release, v.Build);
            return 0;
        }
    Application->Initialize();
    Application->SetTitle("VEK");
    TForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    mainForm->SetCaption("VEK");
    mainForm->SetBounds(100, 100, 800, 600);
    Application->Run();
    // The forms and the toolkit go in order before the process ends.
    Application->Shutdown();
    return 0;
}
