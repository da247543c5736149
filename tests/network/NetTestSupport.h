#pragma once
// Events and helpers shared by the network tests.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "network/EventStream.h"
#include "network/TOOCS.h"
#include "network/TOOCSEvent.h"
#include "platform/Forms.h"
#include "platform/Sockets.h"
#include "platform/StringList.h"

namespace nettest {

enum TColour { coRed, coGreen, coBlue };

// One property of every kind the stream knows.
class TProbeEvent : public TTOOCSEvent {
    VEK_DECLARE_CREATABLE_CLASS(TProbeEvent, TTOOCSEvent)

public:
    TProbeEvent() : TTOOCSEvent(nullptr) {}

    Int64 Transaction() const { return FTransaction; }
    void SetTransaction(Int64 V) { FTransaction = V; }
    int Number() const { return FNumber; }
    void SetNumber(int V) { FNumber = V; }
    TColour Colour() const { return FColour; }
    void SetColour(TColour V) { FColour = V; }
    TDateTime When() const { return FWhen; }
    void SetWhen(TDateTime V) { FWhen = V; }
    const String& Text() const { return FText; }
    void SetText(const String& V) { FText = V; }
    TStringList* Lines() const { return FLines.get(); }

    void Perform() override { ++FPerformed; }
    int Performed() const { return FPerformed; }

protected:
    void DeclareProperties(TEventPropertyList& List) const override
    {
        TTOOCSEvent::DeclareProperties(List);
        List.AddInt64("Transaction", &TProbeEvent::Transaction, &TProbeEvent::SetTransaction);
        List.AddInteger("Number", &TProbeEvent::Number, &TProbeEvent::SetNumber);
        List.AddEnumeration("Colour", &TProbeEvent::Colour, &TProbeEvent::SetColour, {"coRed", "coGreen", "coBlue"});
        List.AddDateTime("When", &TProbeEvent::When, &TProbeEvent::SetWhen);
        List.AddString("Text", &TProbeEvent::Text, &TProbeEvent::SetText);
        List.AddStrings("Lines", &TProbeEvent::Lines);
    }

private:
    Int64 FTransaction = 0;
    int FNumber = 0;
    TColour FColour = coRed;
    TDateTime FWhen = 0;
    String FText;
    std::unique_ptr<TStringList> FLines = std::make_unique<TStringList>();
    int FPerformed = 0;
};

// A subclass: its own property comes after the inherited ones.
class TProbeChildEvent : public TProbeEvent {
    VEK_DECLARE_CREATABLE_CLASS(TProbeChildEvent, TProbeEvent)

public:
    int Extra() const { return FExtra; }
    void SetExtra(int V) { FExtra = V; }

protected:
    void DeclareProperties(TEventPropertyList& List) const override
    {
        TProbeEvent::DeclareProperties(List);
        List.AddInteger("Extra", &TProbeChildEvent::Extra, &TProbeChildEvent::SetExtra);
    }

private:
    int FExtra = 0;
};

// Every kind of property set to a value that is easy to get wrong: extremes,
// line breaks, quotes, empty lines, characters of two to four bytes.
inline void FillProbe(TProbeChildEvent& E)
{
    E.SetTransaction(-(Int64(1) << 50));
    E.SetNumber(-2147483647 - 1);
    E.SetColour(coBlue);
    E.SetWhen(45123.123456789);
    E.SetText("line\r\nbreak \xF0\x9F\x98\x80 emoji, \xCE\xA9, 'quotes' \xE2\x82\xAC");
    E.Lines()->Add("");
    E.Lines()->Add("second \xCE\xA9 x'y");
    E.SetExtra(-1);
}

inline void ExpectSameProbe(const TProbeChildEvent& Want, const TProbeChildEvent* Got)
{
    ASSERT_NE(Got, nullptr);
    EXPECT_EQ(Got->Transaction(), Want.Transaction());
    EXPECT_EQ(Got->Number(), Want.Number());
    EXPECT_EQ(Got->Colour(), Want.Colour());
    EXPECT_EQ(Got->When(), Want.When());
    EXPECT_EQ(Got->Text(), Want.Text());
    EXPECT_EQ(Got->Lines()->Text(), Want.Lines()->Text());
    EXPECT_EQ(Got->Extra(), Want.Extra());
}

// Registered, creatable, but no event.
class TNotAnEvent : public TComponent {
    VEK_DECLARE_CREATABLE_CLASS(TNotAnEvent, TComponent)

public:
    TNotAnEvent() : TComponent(nullptr) {}
};

inline void RegisterProbeClasses()
{
    RegisterClass(TProbeEvent::StaticClassInfo());
    RegisterClass(TProbeChildEvent::StaticClassInfo());
    RegisterClass(TNotAnEvent::StaticClassInfo());
}

// The component stream of an event.
inline std::string Encode(TTOOCSEvent& Event)
{
    TMemoryStream s;
    WriteEventComponent(Event, s);
    return s.DataString();
}

// The wire message of an event.
inline std::string WireMessage(TTOOCSEvent& Event)
{
    TMemoryStream s;
    WriteEventComponent(Event, s);
    return CompressMessage(s);
}

inline std::string ProbeWire(int Number, const String& Text = "")
{
    TProbeEvent e;
    e.SetNumber(Number);
    e.SetText(Text);
    return WireMessage(e);
}

inline void StartEventLoop()
{
    Application->Initialize();
}

inline bool WaitFor(const std::function<bool()>& Done, int TimeoutMs = 5000)
{
    return RunMessagesUntil(Done, TimeoutMs);
}

// A plain blocking connection to a loopback port, outside the event loop:
// a peer that reads only when the test does, if ever. Its receive buffer is
// small unless ReceiveBuffer is 0 (the system's). -1 on failure.
inline int UnreadPeer(Word Port, int ReceiveBuffer = 4096)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    if (ReceiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &ReceiveBuffer, sizeof(ReceiveBuffer));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(Port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace nettest
