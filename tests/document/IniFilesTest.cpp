#include "document/IniFiles.h"

#include "document/LZR.h"
#include "platform/Exceptions.h"
#include "platform/FormatSettings.h"
#include "platform/TextFile.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/TestData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>


namespace {

std::string Packed(const std::string& bytes)
{
    TLZR lzr;
    std::string out;
    EXPECT_TRUE(lzr.Compress(bytes.data(), bytes.size(), out));
    return out;
}

std::vector<String> Items(const TStrings& list)
{
    std::vector<String> items;
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list[i]);
    return items;
}

class IniFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved = FormatSettings;
        FormatSettings = TFormatSettings::Default();
    }
    void TearDown() override { FormatSettings = saved; }

    TFormatSettings saved;
};

} // namespace

TEST_F(IniFiles, ParsingKeepsRepeatedSectionsButLookupsSeeTheFirst)
{
    TMemIniFile ini;
    ini.SetText("lost=1\r\n; comment\r\n[Row]\r\nA=1\r\nA=dup\r\n\r\n [x\r\n ;not a comment\r\n"
                "[ROW]\r\nA=2\r\nB=3\n[]\rC=4\r\n[open\r\n");
    TStringList names;
    ini.ReadSections(names);
    EXPECT_EQ(Items(names), (std::vector<String>{"Row", "ROW", ""}));
    EXPECT_EQ(ini.ReadString("row", "a", "-"), "1");
    EXPECT_EQ(ini.ReadString("ROW", "B", "-"), "-");
    EXPECT_EQ(ini.ReadString("", "C", "-"), "4");
    TStringList lines;
    ini.ReadSectionValues("Row", lines);
    EXPECT_EQ(Items(lines), (std::vector<String>{"A=1", "A=dup", " [x", " ;not a comment"}));
    // A line that starts with "[" but does not end with "]" is an ordinary line.
    ini.ReadSectionValues("", lines);
    EXPECT_EQ(Items(lines), (std::vector<String>{"C=4", "[open"}));

    // Writing goes to the first section and its first key; the text keeps
    // everything else as read, and what was before the first section is gone.
    ini.WriteString("ROW", "a", "new");
    EXPECT_EQ(ini.GetText(), "[Row]\r\na=new\r\nA=dup\r\n [x\r\n ;not a comment\r\n\r\n"
                             "[ROW]\r\nA=2\r\nB=3\r\n\r\n[]\r\nC=4\r\n[open\r\n\r\n");

    // Erasing the first of two sections uncovers the second.
    ini.EraseSection("row");
    EXPECT_EQ(ini.ReadString("Row", "A", "-"), "2");
    ini.EraseSection("Row");
    EXPECT_EQ(ini.ReadString("Row", "A", "-"), "-");
    ini.EraseSection("Row");
    EXPECT_EQ(ini.SectionCount(), 1);
}

TEST_F(IniFiles, KeysAndValuesAreNotTrimmed)
{
    TMemIniFile ini;
    ini.SetText("[S]\r\nKey = Value \r\nNoEquals\r\n=empty key\r\nx==y\r\n");
    EXPECT_EQ(ini.ReadString("S", "Key", "-"), "-");
    EXPECT_EQ(ini.ReadString("S", "Key ", "-"), " Value ");
    EXPECT_EQ(ini.ReadString("S", "", "-"), "empty key");
    EXPECT_EQ(ini.ReadString("S", "x", "-"), "=y");
    EXPECT_EQ(ini.ReadString("S", "NoEquals", "-"), "-");
    TStringList keys;
    keys.Add("stale");
    ini.ReadSection("S", keys);
    EXPECT_EQ(Items(keys), (std::vector<String>{"Key ", "", "", "x"}));
    EXPECT_TRUE(ini.ValueExists("s", "KEY "));
    EXPECT_FALSE(ini.ValueExists("S", "Key"));
    EXPECT_FALSE(ini.ValueExists("T", "Key "));
    ini.ReadSection("missing", keys);
    EXPECT_EQ(keys.Count(), 0);
}

TEST_F(IniFiles, WritesKeepPositionsAndAppendNewKeysAndSections)
{
    TMemIniFile ini;
    ini.WriteString("B", "one", "1");
    ini.WriteString("A", "x", "");
    ini.WriteString("B", "two", "2");
    ini.WriteString("b", "ONE", "uno");
    ini.WriteInteger("A", "n", -42);
    ini.WriteBool("A", "yes", true);
    ini.WriteBool("A", "no", false);
    EXPECT_EQ(ini.GetText(), "[B]\r\nONE=uno\r\ntwo=2\r\n\r\n[A]\r\nx=\r\nn=-42\r\nyes=1\r\nno=0\r\n\r\n");
    ini.DeleteKey("B", "one");
    ini.DeleteKey("B", "missing");
    ini.DeleteKey("missing", "two");
    EXPECT_EQ(ini.GetText(), "[B]\r\ntwo=2\r\n\r\n[A]\r\nx=\r\nn=-42\r\nyes=1\r\nno=0\r\n\r\n");

    TStringList lines;
    ini.GetStrings(lines);
    EXPECT_EQ(Items(lines), (std::vector<String>{"[B]", "two=2", "", "[A]", "x=", "n=-42", "yes=1", "no=0", ""}));
    TMemIniFile copy;
    copy.SetStrings(lines);
    EXPECT_EQ(copy.GetText(), ini.GetText());

    const TStrings& sections = ini.Sections();
    ASSERT_EQ(sections.Count(), 2);
    EXPECT_EQ(sections[1], "A");
    EXPECT_EQ(static_cast<TIniSection*>(sections.Objects(1))->Lines().size(), 4u);
}

TEST_F(IniFiles, LineBreaksInAValueBecomeBlanks)
{
    TMemIniFile ini;
    ini.WriteString("S", "K", "a\r\nb\rc\nd\n\re");
    ini.WriteString("S", "L", "after");
    EXPECT_EQ(ini.ReadString("S", "K", ""), "a b c d  e");
    TMemIniFile reread;
    reread.SetText(ini.GetText());
    EXPECT_EQ(reread.GetText(), "[S]\r\nK=a b c d  e\r\nL=after\r\n\r\n");
}

TEST_F(IniFiles, LineBreaksInNamesBecomeBlanksToo)
{
    TMemIniFile ini;
    ini.WriteString("Se\r\nction", "K\ney", "v");
    ini.WriteString("Se\r\nction", "K\ney", "w");  // the same key again
    ini.WriteString("After", "x", "1");
    EXPECT_EQ(ini.GetText(), "[Se ction]\r\nK ey=w\r\n\r\n[After]\r\nx=1\r\n\r\n");
    EXPECT_EQ(ini.ReadString("Se\nction", "K\r\ney", ""), "w");
    TMemIniFile reread;
    reread.SetText(ini.GetText());
    EXPECT_EQ(reread.SectionCount(), 2);
    EXPECT_EQ(reread.ReadString("Se ction", "K ey", ""), "w");
}

TEST_F(IniFiles, TypedValues)
{
    TMemIniFile ini;
    ini.SetText("[N]\r\nhex=0x1F\r\nHEX=0X1f\r\ndollar=$1F\r\nbare=0x\r\nneg=-17\r\ntext=12abc\r\nempty=\r\n"
                "two=2\r\nzero=0\r\n"
                "[D]\r\ndate=15.03.2023\r\nstamp=15.03.2023 12:00:00\r\ntime=06:30:00\r\nbad=31.02.2023\r\n"
                "float=1,5\r\npoint=1.5\r\n");
    EXPECT_EQ(ini.ReadInteger("N", "hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "HEX", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "bare", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -17);
    EXPECT_EQ(ini.ReadInteger("N", "text", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "empty", 7), 7);
    EXPECT_EQ(ini.ReadInteger("N", "missing", 7), 7);
    EXPECT_TRUE(ini.ReadBool("N", "two", false));
    EXPECT_FALSE(ini.ReadBool("N", "zero", true));
    EXPECT_TRUE(ini.ReadBool("N", "text", true));
    EXPECT_FALSE(ini.ReadBool("N", "text", false));

    EXPECT_DOUBLE_EQ(ini.ReadDate("D", "date", 0), 45000);
    EXPECT_DOUBLE_EQ(ini.ReadDateTime("D", "stamp", 0), 45000.5);
    EXPECT_NEAR(ini.ReadTime("D", "time", 0), 6.5 / 24, 1e-9);
    EXPECT_DOUBLE_EQ(ini.ReadDate("D", "bad", -1), -1);
    EXPECT_DOUBLE_EQ(ini.ReadDate("D", "missing", -1), -1);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("D", "float", 0), 1.5);
    EXPECT_DOUBLE_EQ(ini.ReadFloat("D", "point", -1), -1);

    TMemIniFile out;
    out.WriteDate("D", "date", 45000.75);
    out.WriteDateTime("D", "midnight", 45000);
    out.WriteDateTime("D", "noon", 45000.5);
    out.WriteDateTime("D", "almost", 45000 + 1e-10);        // rounds to midnight
    out.WriteDateTime("D", "late", 45000 - 1e-10);          // rounds up to the next day
    out.WriteDateTime("D", "ms", 45000 + 1.0 / 86400000);   // one millisecond is a time
    out.WriteTime("D", "time", 6.5 / 24);
    out.WriteFloat("D", "float", 2.25);
    EXPECT_EQ(out.GetText(), "[D]\r\ndate=15.03.2023\r\nmidnight=15.03.2023\r\nnoon=15.03.2023 12:00:00\r\n"
                             "almost=15.03.2023\r\nlate=15.03.2023\r\nms=15.03.2023 00:00:00\r\n"
                             "time=06:30:00\r\nfloat=2,25\r\n\r\n");
}

TEST_F(IniFiles, NamesCompareWithoutCaseBeyondAscii)
{
    TMemIniFile ini;
    ini.WriteString("Übersicht", "Größe", "1");
    EXPECT_EQ(ini.ReadString("üBERSICHT", "GRÖSSE", "-"), "-");
    EXPECT_EQ(ini.ReadString("üBERSICHT", "gRÖße", "-"), "1");
    ini.WriteString("ÜBERSICHT", "GRÖßE", "2");
    EXPECT_EQ(ini.SectionCount(), 1);
    EXPECT_EQ(ini.GetText(), "[Übersicht]\r\nGRÖßE=2\r\n\r\n");
}

TEST_F(IniFiles, LargeSectionsFindTheirFirstKeyAfterEdits)
{
    TMemIniFile ini;
    for (int i = 0; i < 200; ++i)
        ini.WriteString("Big", "Key" + std::to_string(i), std::to_string(i));
    TMemIniFile withDuplicates;
    withDuplicates.SetText(ini.GetText() + "[big]\r\nKEY5=other\r\n[BIG]\r\nkey5=third\r\n");
    withDuplicates.EraseSection("big");
    EXPECT_EQ(withDuplicates.ReadString("Big", "Key5", "-"), "other");

    ini.SetText(ini.GetText() + "[Big2]\r\n");
    ini.DeleteKey("Big", "key10");
    EXPECT_EQ(ini.ReadString("Big", "Key10", "-"), "-");
    EXPECT_EQ(ini.ReadString("Big", "Key11", "-"), "11");
    ini.WriteString("Big", "KEY199", "last");
    ini.WriteString("Big", "Key10", "back");
    TStringList keys;
    ini.ReadSection("Big", keys);
    ASSERT_EQ(keys.Count(), 200);
    EXPECT_EQ(keys[198], "KEY199");
    EXPECT_EQ(keys[199], "Key10");
    EXPECT_EQ(ini.ReadString("BIG", "key199", "-"), "last");

    // A repeated key in a large section: the first one is read and written.
    TMemIniFile dup;
    String text = "[S]\r\n";
    for (int i = 0; i < 40; ++i)
        text += "k" + std::to_string(i % 20) + "=" + std::to_string(i) + "\r\n";
    dup.SetText(text);
    EXPECT_EQ(dup.ReadString("S", "K3", "-"), "3");
    dup.WriteString("S", "k3", "x");
    dup.DeleteKey("S", "k3");
    EXPECT_EQ(dup.ReadString("S", "k3", "-"), "23");
}

TEST_F(IniFiles, FilesPlainAndCompressed)
{
    const std::string folder = vektest::TempDir();
    const std::string name = folder + "/plan.vek";
    {
        TMemIniFile ini(name);  // missing file: empty
        EXPECT_EQ(ini.SectionCount(), 0);
        ini.WriteString("VEK", "Version", "2.9");
        ini.WriteString("Rows", "Text", "Größe 5 €");
        ini.UpdateFile(false);
    }
    const std::string plain = "[VEK]\r\nVersion=2.9\r\n\r\n[Rows]\r\nText=Gr\xF6\xDF" "e 5 \x80\r\n\r\n";
    EXPECT_EQ(ReadBytes(name), plain);
    {
        TMemIniFile ini(name);
        EXPECT_EQ(ini.ReadString("rows", "text", ""), "Größe 5 €");
        ini.UpdateFile(true);
    }
    EXPECT_EQ(ReadBytes(name), Packed(plain));
    {
        TMemIniFile ini(name);
        EXPECT_EQ(ini.ReadString("VEK", "Version", ""), "2.9");
        // Text beyond the code page goes out as UTF-8 with a byte-order
        // mark, compressed or not, and comes back whole.
        ini.WriteString("Rows", "Mark", "✓ done");
        ini.UpdateFile(true);
        TLZR lzr;
        std::string text;
        const std::string bytes = ReadBytes(name);
        ASSERT_TRUE(lzr.DeCompress(bytes.data(), bytes.size(), text));
        EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF");
    }
    {
        TMemIniFile ini(name);
        EXPECT_EQ(ini.ReadString("Rows", "Mark", ""), "✓ done");
        EXPECT_EQ(ini.ReadString("Rows", "Text", ""), "Größe 5 €");
        ini.LoadValues();
        EXPECT_EQ(ini.SectionCount(), 2);
    }

    // An empty ini still writes a valid compressed stream.
    TMemIniFile empty;
    EXPECT_THROW(empty.UpdateFile(true), EFCreateError);
    TMemIniFile emptyFile(folder + "/empty.vek");
    emptyFile.UpdateFile(true);
    EXPECT_EQ(ReadBytes(folder + "/empty.vek"), std::string("\0\0\0\0\1\0\x80", 7));

    // Failures to write reach the caller.
    TMemIniFile nowhere(folder + "/missing/plan.vek");
    nowhere.WriteString("A", "b", "c");
    EXPECT_THROW(nowhere.UpdateFile(false), EStreamError);
}

// Only a file that is not there is an empty ini: one that cannot be looked
// at raises, so that a failed load is not taken for a new, empty document.
TEST_F(IniFiles, AFileThatCannotBeExaminedRaises)
{
    const std::string folder = vektest::TempDir();
    std::filesystem::create_symlink(folder + "/loop2", folder + "/loop1");
    std::filesystem::create_symlink(folder + "/loop1", folder + "/loop2");
    EXPECT_THROW(TMemIniFile ini(folder + "/loop1"), EFOpenError);
    WriteBytes(folder + "/plain", "x");
    EXPECT_EQ(TMemIniFile(folder + "/plain/plan.vek").SectionCount(), 0) << "a file as folder: missing";
    if (geteuid() != 0) {
        // Permissions are no barrier to root.
        std::filesystem::create_directory(folder + "/locked");
        WriteBytes(folder + "/locked/plan.vek", "[A]\r\nx=1\r\n");
        std::filesystem::permissions(folder + "/locked", std::filesystem::perms::none);
        EXPECT_THROW(TMemIniFile ini(folder + "/locked/plan.vek"), EFOpenError);
        std::filesystem::permissions(folder + "/locked", std::filesystem::perms::owner_all);
    }
}

TEST_F(IniFiles, ReadingPlainTextInAnyLineEndAndCorruptCompressedFiles)
{
    const std::string folder = vektest::TempDir();
    const std::string name = folder + "/plan.vek";
    WriteBytes(name, "[A]\nx=1\ry=2\r\n[B]\nz=3");
    TMemIniFile ini(name);
    EXPECT_EQ(ini.ReadString("A", "y", ""), "2");
    EXPECT_EQ(ini.ReadString("B", "z", ""), "3");

    // A byte-order mark selects UTF-8 (UTF-16 too); no mark is Windows-1252.
    WriteBytes(name, "\xEF\xBB\xBF[A]\r\nx=\xE2\x9C\x93\r\n");
    ini.LoadValues();
    EXPECT_EQ(ini.ReadString("A", "x", ""), "✓");
    WriteBytes(name, std::string("\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\x13\x27", 18));
    ini.LoadValues();
    EXPECT_EQ(ini.ReadString("A", "x", ""), "✓");

    // A compressed file cut short fails to decompress and is read as text:
    // what parses is kept, the rest is lost, nothing breaks.
    const std::string packed = Packed("[A]\r\nx=1\r\n");
    WriteBytes(name, packed.substr(0, packed.size() - 1));
    ini.LoadValues();
    EXPECT_EQ(ini.SectionCount(), 0);
    std::string corrupt = Packed(std::string(100, 'a') + "\r\n[Rows]\r\nName=after the garbage\r\n");
    corrupt[7] = char(0xFF);
    std::string text;
    TLZR lzr;
    ASSERT_FALSE(lzr.DeCompress(corrupt.data(), corrupt.size(), text));
    ini.LoadFromBytes(corrupt);
    TMemIniFile asText;
    asText.SetText(DecodeText(corrupt));
    EXPECT_EQ(ini.GetText(), asText.GetText());
    ini.LoadFromBytes("\r\n[Rows]\r\nName=plain\r\n");
    EXPECT_EQ(ini.ReadString("Rows", "Name", "default"), "plain");

    // A folder is no file: empty. An empty name: empty.
    TMemIniFile folderIni(folder);
    EXPECT_EQ(folderIni.SectionCount(), 0);
    TMemIniFile unnamed("");
    EXPECT_EQ(unnamed.SectionCount(), 0);
}
