// The clipboard between two processes on an X server of their own: one puts
// a data object there, the other reads every format as any program would,
// then takes the clipboard over with text the first reads back.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "platform/Clipbrd.h"
#include "tests/platform/FixedDataObject.h"
#include "tests/platform/XServer.h"
#include "tests/support/PlatformFixture.h"

namespace {

namespace fs = std::filesystem;

const char* const MimeTypes[] = {"text/plain", "text/plain;charset=utf-8", "text/html", "text/rtf",
                                 "application/rtf", "text/csv", "application/x-vek-vek-peer-rows"};

struct TCounts {
    std::map<String, int> Renders;
    bool Released = false;
};

// The owner's object: tells what it rendered, by name, and when it is let go.
class TPeerObject : public TFixedDataObject {
public:
    explicit TPeerObject(std::shared_ptr<TCounts> ACounts) : Counts(std::move(ACounts))
    {
        Data[CF_TEXT] = std::string("Gr\xFC\xDF" "e\0", 6);
        Data[CF_UNICODETEXT] = std::string("G\0r\0\xFC\0\xDF\0" "e\0\0\0", 12);
        Data[RegisterClipboardFormat("HTML Format")] = ClipboardHtmlOfHtml("<b>Plan</b>") + '\0';
        Data[RegisterClipboardFormat("Rich Text Format")] = std::string("{\\rtf1 Plan}\0", 13);
        Data[RegisterClipboardFormat("CSV")] = std::string("1;\xE4\0", 4);
        Data[RegisterClipboardFormat("Vek Peer Rows")] = std::string("\x01\x02\0\x03", 4);
        Data[RegisterClipboardFormat("Vek Peer Unasked")] = "never";
        OnRender = [this](TClipFormat F) {
            ++Counts->Renders[F < 0xC000 ? std::to_string(F) : GetClipboardFormatName(F)];
        };
    }
    ~TPeerObject() override { Counts->Released = true; }

private:
    std::shared_ptr<TCounts> Counts;
};

bool WaitForFile(const fs::path& File, int Seconds)
{
    return ProcessEventsUntil([&] { return fs::exists(File); }, Seconds * 1000);
}

void WriteTo(const fs::path& File, const std::string& Bytes)
{
    std::ofstream(File, std::ios::binary) << Bytes;
}

std::string ReadFrom(const fs::path& File)
{
    std::ifstream in(File, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

String Peer() { return std::getenv("VEK_CLIPBOARD_PEER") ? std::getenv("VEK_CLIPBOARD_PEER") : ""; }

}  // namespace

TEST(ClipboardPeer, Owner)
{
    if (Peer() != "owner")
        GTEST_SKIP() << "runs inside Clipboard.AnotherProcessReadsEachFormat";
    const fs::path dir = std::getenv("VEK_PEER_DIR");
    EnsureApplication();
    auto counts = std::make_shared<TCounts>();
    ASSERT_EQ(OleSetClipboard(std::make_shared<TPeerObject>(counts)), S_OK);
    WriteTo(dir / "owner-ready", "");
    ASSERT_TRUE(ProcessEventsUntil([&] { return counts->Released; }, 60000));
    std::string lines;
    for (const auto& [name, n] : counts->Renders)
        lines += name + "=" + std::to_string(n) + "\n";
    WriteTo(dir / "counts", lines);
    // The reader's text, read as another program's data.
    IDataObjectPtr other;
    ASSERT_EQ(OleGetClipboard(other), S_OK);
    std::string text;
    ASSERT_TRUE(GetDataBytes(*other, CF_UNICODETEXT, text));
    WriteTo(dir / "other-text", text);
    WriteTo(dir / "owner-done", "");
}

TEST(ClipboardPeer, Reader)
{
    if (Peer() != "reader")
        GTEST_SKIP() << "runs inside Clipboard.AnotherProcessReadsEachFormat";
    const fs::path dir = std::getenv("VEK_PEER_DIR");
    EnsureApplication();
    const QMimeData* m = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(m, nullptr);
    WriteTo(dir / "formats", m->formats().join("\n").toStdString());
    for (std::size_t i = 0; i < std::size(MimeTypes); ++i) {
        const QByteArray b = m->data(MimeTypes[i]);
        WriteTo(dir / ("read-" + std::to_string(i)), std::string(b.constData(), std::size_t(b.size())));
    }
    QGuiApplication::clipboard()->setText(QString::fromUtf8("vom Leser \xE2\x9C\x93"));
    // The owner reads it from us: we stay until it has.
    ASSERT_TRUE(WaitForFile(dir / "owner-done", 60));
}

TEST(Clipboard, AnotherProcessReadsEachFormat)
{
    EnsureApplication();
    const TXServer server;
    if (!server.Running())
        GTEST_SKIP() << "no X server to run the two processes on";
    char pattern[] = "/tmp/vek-clipboard-peers-XXXXXX";
    const fs::path dir = ::mkdtemp(pattern);
    QProcessEnvironment env;
    env.insert("VEK_PEER_DIR", QString::fromStdString(dir.string()));
    env.insert("VEK_CLIPBOARD_PEER", "owner");
    QProcess owner;
    server.StartPeer(owner, "ClipboardPeer.Owner", env);
    ASSERT_TRUE(ProcessEventsUntil([&] { return fs::exists(dir / "owner-ready") || owner.state() == QProcess::NotRunning; },
                                   60000));
    ASSERT_TRUE(fs::exists(dir / "owner-ready")) << owner.readAll().toStdString();
    env.insert("VEK_CLIPBOARD_PEER", "reader");
    QProcess reader;
    server.StartPeer(reader, "ClipboardPeer.Reader", env);
    ASSERT_TRUE(reader.waitForFinished(120000));
    ASSERT_TRUE(owner.waitForFinished(120000));
    EXPECT_EQ(reader.exitCode(), 0) << reader.readAll().toStdString();
    EXPECT_EQ(owner.exitCode(), 0) << owner.readAll().toStdString();

    const std::string formats = ReadFrom(dir / "formats");
    for (const char* mime : MimeTypes)
        EXPECT_NE(formats.find(mime), std::string::npos) << mime << " in\n" << formats;
    const char* const expected[] = {"Gr\xC3\xBC\xC3\x9F" "e", "Gr\xC3\xBC\xC3\x9F" "e", "<b>Plan</b>", "{\\rtf1 Plan}",
                                    "{\\rtf1 Plan}", "1;\xC3\xA4", "\x01\x02"};
    for (std::size_t i = 0; i < std::size(MimeTypes); ++i) {
        std::string want = expected[i];
        if (i == 6)
            want = std::string("\x01\x02\0\x03", 4);
        EXPECT_EQ(ReadFrom(dir / ("read-" + std::to_string(i))), want) << MimeTypes[i];
    }
    const std::string counts = ReadFrom(dir / "counts");
    EXPECT_EQ(counts.find("Vek Peer Unasked"), std::string::npos) << counts;
    for (const char* name : {"1=", "13=", "HTML Format=", "Rich Text Format=", "CSV=", "Vek Peer Rows="})
        EXPECT_NE(counts.find(name), std::string::npos) << name << " in\n" << counts;
    EXPECT_EQ(ReadFrom(dir / "other-text"), std::string("v\0o\0m\0 \0L\0e\0s\0e\0r\0 \0\x13\x27\0\0", 24));
    fs::remove_all(dir);
}
