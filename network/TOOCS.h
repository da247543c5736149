#pragma once
// Whole event objects between one server and its clients. The sender
// streams an event (by Mode), compresses the stream and sends it as one
// message; the receiver takes each complete message out of the connection's
// buffer, decompresses it, rebuilds the event by its class name and hands it
// to the application.
//
// Anything from the wire is untrusted. A message that cannot be a message
// (a bad length, a block that cannot be, a stream that does not decompress
// or does not decode to a registered event) leaves the byte stream without a
// way to find the next message, so that connection is closed and the error
// reported through OnError.
//
// A handler may free the server or client it was called by (on a lost
// connection, say): the socket underneath goes once the notice that called
// the handler has returned, and nothing touches the freed object after the
// handler. The handler itself is freed with its object, so it must not use
// its own captures after the delete.
#include <exception>
#include <functional>
#include <map>
#include <memory>

#include "network/EventStream.h"
#include "network/SimpleSockets.h"
#include "network/TOOCSEvent.h"
#include "platform/Classes.h"

VEK_EXCEPTION_KIND(ETOOCSException, Exception)

enum TTOOCSTransfertMode { tmBinary, tmText, tmCustom };

using TTOOCSErrorEvent = TSocketErrorEvent;
// tmCustom: write the event into Stream / make the event from Stream.
using TCreateStreamEvent = std::function<void(TObject* Sender, TTOOCSEvent* Event, TStream& Stream)>;
using TCreateEventEvent = std::function<void(TObject* Sender, TStream& Stream, TTOOCSEvent*& Event)>;
using TServerEventEvent = std::function<void(TObject* Sender, TSimpleTCPClient* Client, TTOOCSEvent* Event)>;
using TClientEventEvent = std::function<void(TObject* Sender, TTOOCSEvent* Event)>;

class TTOOCSBase : public TComponent {
    VEK_DECLARE_CLASS(TTOOCSBase, TComponent)

public:
    explicit TTOOCSBase(TComponent* AOwner);
    ~TTOOCSBase() override;

    TTOOCSTransfertMode Mode() const { return FMode; }
    void SetMode(TTOOCSTransfertMode Value) { FMode = Value; }
    const String& Host() const { return Socket()->Host(); }
    void SetHost(const String& Value) { Socket()->SetHost(Value); }
    Word Port() const { return Socket()->Port(); }
    void SetPort(Word Value) { Socket()->SetPort(Value); }
    bool Active() const { return Socket()->Active(); }
    virtual void SetActive(bool Value) { Socket()->SetActive(Value); }

    // The event encoded by Mode, uncompressed; the caller frees the stream.
    TMemoryStream* CreateStreamFromEvent(TTOOCSEvent* Event);
    // The event decoded by Mode from the stream's position; the caller frees
    // it. Raises when the bytes are not an event.
    TTOOCSEvent* CreateEventFromStream(TStream* Stream);

    // The socket object underneath.
    virtual TSimpleCustomSocket* Socket() const = 0;

    TTOOCSErrorEvent OnError;
    TCreateStreamEvent OnCreateStream;
    TCreateEventEvent OnCreateEvent;

protected:
    // OnError with the text and code. Without a handler nothing happens,
    // unless Log: then the line goes to the log.
    void DoError(TSocket Socket, const String& ErrorMsg, int ErrorCode, bool Log = false);
    // The wire message of the event: encoded by Mode, then compressed.
    std::string EncodeMessage(TTOOCSEvent* Event);

    enum TReceiveResult { rrDone, rrGone, rrError };
    // Decodes the complete messages waiting in Buffer and hands each event to
    // Deliver, then frees it; stops (rrGone) as soon as StillReceiving says
    // the receiver went away. rrError with Error when the bytes cannot be
    // followed any more. The first exception Deliver raised is left in
    // Raised.
    TReceiveResult ReceiveMessages(TMessageBuffer& Buffer, const std::function<void(TTOOCSEvent*)>& Deliver,
                                   const std::function<bool()>& StillReceiving, String& Error,
                                   std::exception_ptr& Raised);
    // Forwards the socket layer's errors to OnError; without a handler they
    // are raised, as the socket layer does.
    void ForwardSocketErrors(TSimpleCustomSocket* ASocket);

    std::weak_ptr<int> AliveToken() const { return FAlive; }

private:
    TTOOCSTransfertMode FMode = tmBinary;
    std::shared_ptr<int> FAlive;
};

class TTOOCSServer : public TTOOCSBase {
    VEK_DECLARE_CLASS(TTOOCSServer, TTOOCSBase)

public:
    explicit TTOOCSServer(TComponent* AOwner);
    ~TTOOCSServer() override;

    void SetActive(bool Value) override;
    TSimpleCustomSocket* Socket() const override { return FServer; }
    TSimpleTCPServer* Server() const { return FServer; }

    // False (and OnError) when the event could not be sent or queued whole.
    // A connection whose queue cannot take the event is closed: its peer
    // does not read, and its stream would lack the event. A full queue is
    // refused before the event is numbered or encoded.
    bool Send(TSimpleTCPClient* Client, TTOOCSEvent* Event, bool FreeEvent);
    // Send to every connected client, in order; the event is stamped once
    // per client.
    void Broadcast(TTOOCSEvent* Event, bool FreeEvent);

    TNotifyEvent OnStart;
    TNotifyEvent OnStop;
    TSocketClientEvent OnAccept;
    TSocketClientEvent OnClientConnection;
    TSocketClientEvent OnClientDisconnection;
    TServerEventEvent OnReceiveEvent;
    TServerEventEvent OnSendEvent;

private:
    void SocketRead(TSimpleTCPClient* Client, TStream& Stream);
    TSimpleTCPServer* FServer = nullptr;
    std::map<TSimpleTCPClient*, std::shared_ptr<TMessageBuffer>> FBuffers;
};

class TTOOCSClient : public TTOOCSBase {
    VEK_DECLARE_CLASS(TTOOCSClient, TTOOCSBase)

public:
    explicit TTOOCSClient(TComponent* AOwner);
    ~TTOOCSClient() override;

    TSimpleCustomSocket* Socket() const override { return FClient; }
    TSimpleTCPClient* Client() const { return FClient; }
    bool Connected() const { return FClient->Connected(); }
    bool AutoReconnect() const { return FClient->AutoReconnect(); }
    void SetAutoReconnect(bool Value) { FClient->SetAutoReconnect(Value); }
    Cardinal AutoReconnectInterval() const { return FClient->ReconnectInterval(); }
    void SetAutoReconnectInterval(Cardinal Value) { FClient->SetReconnectInterval(Value); }

    bool Send(TTOOCSEvent* Event, bool FreeEvent);

    TNotifyEvent OnConnection;
    TNotifyEvent OnDisconnected;
    TNotifyEvent OnConnectionLost;
    TClientEventEvent OnReceiveEvent;
    TClientEventEvent OnSendEvent;

private:
    void SocketRead(TStream& Stream);
    TSimpleTCPClient* FClient = nullptr;
    // Replaced on every new connection; a delivery in progress holds its own.
    std::shared_ptr<TMessageBuffer> FBuffer;
};
