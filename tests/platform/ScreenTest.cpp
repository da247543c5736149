// The screen object: font families with their kinds and sizes, and the
// bounds and work area of the screen holding a point.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QProcess>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Forms.h"
#include "tests/support/PlatformFixture.h"

namespace {

// A bitmap font of our own: a cell of 12 pixels (9 above the base line, 3
// below) for a size of 10 pixels, so 2 of them are internal leading.
String WriteBitmapFont(const std::filesystem::path& Folder, const String& Family, int First, int Last)
{
    const auto path = Folder / (Family + ".bdf");
    std::ofstream out(path);
    out << "STARTFONT 2.1\nFONT -vek-" << Family << "-medium-r-normal--10-100-75-75-c-60-iso10646-1\n"
        << "SIZE 10 75 75\nFONTBOUNDINGBOX 6 12 0 -3\nSTARTPROPERTIES 10\nFAMILY_NAME \"" << Family << "\"\n"
        << "FOUNDRY \"vek\"\nWEIGHT_NAME \"Medium\"\nSLANT \"R\"\nSPACING \"C\"\nPIXEL_SIZE 10\nFONT_ASCENT 9\n"
        << "FONT_DESCENT 3\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\n"
        << "CHARS " << (Last - First + 1) << "\n";
    for (int c = First; c <= Last; ++c) {
        out << "STARTCHAR c" << c << "\nENCODING " << c << "\nSWIDTH 600 0\nDWIDTH 6 0\nBBX 6 12 0 -3\nBITMAP\n";
        for (int y = 0; y < 12; ++y)
            out << (y == 2 || y == 9 ? "FC\n" : "84\n");
        out << "ENDCHAR\n";
    }
    out << "ENDFONT\n";
    return path.string();
}

const TScreenFont* FindFont(const std::vector<TScreenFont>& Fonts, const String& Name)
{
    auto it = std::find_if(Fonts.begin(), Fonts.end(), [&](const TScreenFont& F) { return F.Name == Name; });
    return it == Fonts.end() ? nullptr : &*it;
}

}  // namespace

TEST(Screen, FontFamiliesWithTheirKindsAndSizes)
{
    EnsureApplication();
    char pattern[] = "/tmp/vek-fonts-XXXXXX";
    const std::filesystem::path folder = ::mkdtemp(pattern);
    // Stars and suns only: a font of symbols.
    const int id = QFontDatabase::addApplicationFont(
        QString::fromStdString(WriteBitmapFont(folder, "VekTestSymbols", 0x2600, 0x2610)));
    ASSERT_GE(id, 0);
    Screen->ResetFonts();
    const std::vector<TScreenFont>& fonts = Screen->Fonts();
    ASSERT_FALSE(fonts.empty());
    EXPECT_TRUE(std::is_sorted(fonts.begin(), fonts.end(),
                               [](const TScreenFont& A, const TScreenFont& B) { return A.Name < B.Name; }));
    EXPECT_TRUE(std::adjacent_find(fonts.begin(), fonts.end(), [](const TScreenFont& A, const TScreenFont& B) {
                    return A.Name == B.Name;
                }) == fonts.end());

    const TScreenFont* bitmap = FindFont(fonts, "VekTestSymbols");
    ASSERT_NE(bitmap, nullptr);
    EXPECT_FALSE(bitmap->Scalable);
    EXPECT_TRUE(bitmap->Symbol);
    ASSERT_EQ(bitmap->Sizes.size(), 1u);
    EXPECT_EQ(bitmap->Sizes[0].CellHeight, 12);
    EXPECT_EQ(bitmap->Sizes[0].InternalLeading, 2);

    // A font the build installs.
    const TScreenFont* sans = FindFont(fonts, "DejaVu Sans");
    ASSERT_NE(sans, nullptr);
    EXPECT_TRUE(sans->Scalable);
    EXPECT_FALSE(sans->Symbol);
    EXPECT_TRUE(sans->Sizes.empty());

    QFontDatabase::removeApplicationFont(id);
    Screen->ResetFonts();
    EXPECT_EQ(FindFont(Screen->Fonts(), "VekTestSymbols"), nullptr);
    std::filesystem::remove_all(folder);
}

TEST(Screen, TheScreenHoldingAPointOrTheNearest)
{
    EnsureApplication();
    const TRect primary = Screen->MonitorRect({0, 0});
    EXPECT_EQ(Screen->MonitorWorkAreaRect(primary.CenterPoint()), Screen->WorkAreaRect());
    EXPECT_EQ(Screen->MonitorRect({primary.Right + 5000, primary.Bottom + 5000}), primary);
    EXPECT_EQ(primary.Width(), Screen->Width());
}

// Run by the next test in a process of its own with two screens side by side.
TEST(Screen, TwoScreensPeer)
{
    if (!std::getenv("VEK_TWO_SCREENS"))
        GTEST_SKIP() << "runs inside the next test";
    EnsureApplication();
    EXPECT_EQ(Screen->MonitorRect({100, 100}), TRect(0, 0, 1000, 800));
    EXPECT_EQ(Screen->MonitorRect({1500, 100}), TRect(1000, 0, 2600, 1200));
    EXPECT_EQ(Screen->MonitorWorkAreaRect({1500, 1100}), TRect(1000, 0, 2600, 1200));
    // Below the first screen, nearer to it than to the second.
    EXPECT_EQ(Screen->MonitorRect({500, 1100}), TRect(0, 0, 1000, 800));
    EXPECT_EQ(Screen->MonitorRect({5000, -40}), TRect(1000, 0, 2600, 1200));
    EXPECT_EQ(Screen->WorkAreaRect(), TRect(0, 0, 1000, 800));
}

TEST(Screen, WorkAreaPerScreen)
{
    EnsureApplication();
    char pattern[] = "/tmp/vek-screens-XXXXXX";
    const std::filesystem::path folder = ::mkdtemp(pattern);
    const auto config = folder / "screens.json";
    std::ofstream(config) << R"({"screens": [
        {"name": "left", "x": 0, "y": 0, "width": 1000, "height": 800, "logicalDpi": 96},
        {"name": "right", "x": 1000, "y": 0, "width": 1600, "height": 1200, "logicalDpi": 96}]})";
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VEK_TWO_SCREENS", "1");
    env.insert("QT_QPA_PLATFORM", QString::fromStdString("offscreen:configfile=" + config.string()));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QString::fromStdString(std::filesystem::read_symlink("/proc/self/exe").string()),
                {"--gtest_filter=Screen.TwoScreensPeer"});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    std::filesystem::remove_all(folder);
}
