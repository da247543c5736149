#pragma once
// The printer of the printing tests: Printer() writing PDF files into a
// fresh folder, A4 portrait, and a preview engine that prints on it.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Printers.h"
#include "printing/PrintPreview.h"
#include "tests/support/PdfReader.h"
#include "tests/support/PlatformFixture.h"

class TPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureApplication();
        Folder = std::filesystem::temp_directory_path() /
                 ("vek-print-" + std::to_string(::getpid()) + "-" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(Folder);
        std::filesystem::create_directories(Folder);
        Pdf = (Folder / "out.pdf").string();
        Printer()->SetOutputFileName(Pdf);
        Printer()->SetPaper(pkA4);
        Printer()->SetOrientation(poPortrait);
    }
    void TearDown() override
    {
        SetModalHook(nullptr);
        if (Printer()->Printing())
            Printer()->Abort();
        std::filesystem::remove_all(Folder);
    }
    std::filesystem::path Folder;
    String Pdf;
};

// Texts of a recorded page in recording order.
inline std::vector<String> TextsOf(TMetafile* Page)
{
    std::vector<String> r;
    for (const TMetaText& t : Page->Texts())
        r.push_back(t.Text);
    return r;
}
