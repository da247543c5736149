// The text form of event streams.
#include <gtest/gtest.h>

#include "network/EventText.h"
#include "tests/network/NetTestSupport.h"

using namespace nettest;

namespace {

class EventTextTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterProbeClasses(); }
};

std::string Text(TTOOCSEvent& E)
{
    TMemoryStream s;
    WriteEventText(E, s);
    return s.DataString();
}

std::unique_ptr<TTOOCSEvent, TObjectDeleter> Read(const std::string& T)
{
    TMemoryStream s;
    s.WriteBytes(T);
    s.SetPosition(0);
    return std::unique_ptr<TTOOCSEvent, TObjectDeleter>(ReadEventText(s));
}

} // namespace

TEST_F(EventTextTest, WritesPropertiesAsLinesWithDefaultsLeftOut)
{
    TProbeEvent e;
    e.SetNumber(-3);
    e.SetText("It's \xE2\x82\xAC 5\r\n");
    e.Lines()->Add("a");
    e.Lines()->Add("");
    EXPECT_EQ(Text(e),
              "object TProbeEvent\r\n"
              "  Number = -3\r\n"
              "  Colour = coRed\r\n"
              "  Text = 'It''s '#8364' 5'#13#10\r\n"
              "  Lines.Strings = (\r\n"
              "    'a'\r\n"
              "    '')\r\n"
              "end\r\n");
}

TEST_F(EventTextTest, RoundTripsEveryKind)
{
    TProbeChildEvent e;
    FillProbe(e);
    ExpectSameProbe(e, dynamic_cast<TProbeChildEvent*>(Read(Text(e)).get()));
    e.SetNumber(2147483647);
    ExpectSameProbe(e, dynamic_cast<TProbeChildEvent*>(Read(Text(e)).get()));
}

TEST_F(EventTextTest, RejectsWhatIsNotTheTextOfAnEvent)
{
    const char* bad[] = {
        "",
        "object TNoSuch\r\nend\r\n",
        "object TNotAnEvent\r\nend\r\n",
        "object TProbeEvent\r\n  Bogus = 1\r\nend\r\n",
        "object TProbeEvent\r\n  Number = 1.5\r\nend\r\n",
        "object TProbeEvent\r\n  Number = 99999999999\r\nend\r\n",
        "object TProbeEvent\r\n  Colour = coPink\r\nend\r\n",
        "object TProbeEvent\r\n  Text = 'open\r\nend\r\n",
        "object TProbeEvent\r\n  Text = #99999999\r\nend\r\n",
        "object TProbeEvent\r\n  Text = 5\r\nend\r\n",
        "object TProbeEvent\r\n  When = 1e999\r\nend\r\n",
        "object TProbeEvent\r\n  Lines.Strings = ('a'\r\nend\r\n",
        "object TProbeEvent\r\n  Number = 1\r\n",
        "object TProbeEvent\r\nend\r\nmore",
    };
    for (const char* t : bad)
        EXPECT_THROW(Read(t), EEventStreamError) << t;
}

TEST_F(EventTextTest, TransportSendsTextModeEvents)
{
    StartEventLoop();
    TComponent owner(nullptr);
    auto* server = Create<TTOOCSServer>(&owner);
    server->SetMode(tmText);
    server->Server()->SetBindAddress("127.0.0.1");
    server->SetPort(0);
    server->SetActive(true);
    String got;
    server->OnReceiveEvent = [&](TObject*, TSimpleTCPClient*, TTOOCSEvent* E) {
        got = static_cast<TProbeEvent*>(E)->Text();
    };
    auto* client = Create<TTOOCSClient>(&owner);
    client->SetMode(tmText);
    client->SetHost("127.0.0.1");
    client->SetPort(server->Port());
    client->SetActive(true);
    ASSERT_TRUE(WaitFor([&] { return client->Connected(); }));
    auto* e = new TProbeEvent();
    e->SetText("as text");
    ASSERT_TRUE(client->Send(e, true));
    ASSERT_TRUE(WaitFor([&] { return !got.empty(); }));
    EXPECT_EQ(got, "as text");
    owner.DestroyComponents();
}
