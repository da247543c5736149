#include "network/TOOCS.h"

#include <vector>

#include "network/EventText.h"
#include "network/NetLog.h"

namespace {

const char SendingError[] = "TCP Object sending error:\r\n";
const char ReceivingError[] = "TCP Object receiving error:\r\n";
const char NoConnection[] = "Can't send message without a connection to client";

String OneLine(String S)
{
    for (std::size_t i = 0; (i = S.find("\r\n", i)) != String::npos;)
        S.replace(i, 2, " ");
    return S;
}

using TEventHolder = std::unique_ptr<TTOOCSEvent, TObjectDeleter>;

// For a catch (...) handler: the text of the exception being handled. Any
// other kind of exception goes on up, as if it had not been caught.
String HandledErrorText()
{
    try {
        throw;
    } catch (const Exception& e) {
        return e.Message;
    } catch (const std::exception& e) {
        return e.what();
    }
}

// A message that cannot be sent or queued whole fails with the socket's reason.
void SendWhole(TSimpleCustomSocket* Sender, TSocket Socket, const std::string& Wire)
{
    if (Sender->SendBufferTo(Socket, Wire.data(), Int64(Wire.size())) != Int64(Wire.size()))
        throw ETOOCSException(SocketErrorText(Sender->LastSendError()));
}

} // namespace

// ---------------------------------------------------------------------------
// TTOOCSBase

TTOOCSBase::TTOOCSBase(TComponent* AOwner) : TComponent(AOwner), FAlive(std::make_shared<int>(0)) {}

TTOOCSBase::~TTOOCSBase() = default;

TMemoryStream* TTOOCSBase::CreateStreamFromEvent(TTOOCSEvent* Event)
{
    if (!Event)
        throw ETOOCSException("No event to send");
    std::unique_ptr<TMemoryStream> stream(new TMemoryStream());
    switch (FMode) {
    case tmBinary:
        WriteEventComponent(*Event, *stream);
        break;
    case tmText:
        WriteEventText(*Event, *stream);
        break;
    case tmCustom:
        if (!OnCreateStream)
            throw ETOOCSException("No encoder for the custom transfer mode");
        OnCreateStream(this, Event, *stream);
        break;
    }
    stream->SetPosition(0);
    return stream.release();
}

TTOOCSEvent* TTOOCSBase::CreateEventFromStream(TStream* Stream)
{
    switch (FMode) {
    case tmBinary: {
        TEventHolder event(ReadEventComponent(*Stream));
        if (Stream->Remaining() != 0)
            throw EEventStreamError("Unexpected bytes after the event");
        return event.release();
    }
    case tmText:
        return ReadEventText(*Stream);
    case tmCustom: {
        if (!OnCreateEvent)
            throw ETOOCSException("No decoder for the custom transfer mode");
        TTOOCSEvent* event = nullptr;
        OnCreateEvent(this, *Stream, event);
        if (!event)
            throw ETOOCSException("The message holds no event");
        return event;
    }
    }
    throw ETOOCSException("Unknown transfer mode");
}

std::string TTOOCSBase::EncodeMessage(TTOOCSEvent* Event)
{
    std::unique_ptr<TMemoryStream> stream(CreateStreamFromEvent(Event));
    return CompressMessage(*stream);
}

void TTOOCSBase::DoError(TSocket Socket, const String& ErrorMsg, int ErrorCode, bool Log)
{
    if (OnError)
        OnError(this, Socket, ErrorMsg, ErrorCode);
    else if (Log)
        NetLog(ClassName() + ": " + OneLine(ErrorMsg));
}

TTOOCSBase::TReceiveResult TTOOCSBase::ReceiveMessages(TMessageBuffer& Buffer,
                                                       const std::function<void(TTOOCSEvent*)>& Deliver,
                                                       const std::function<bool()>& StillReceiving,
                                                       String& Error, std::exception_ptr& Raised)
{
    for (;;) {
        std::string wire;
        const TMessageBuffer::TState state = Buffer.Next(wire, Error);
        if (state == TMessageBuffer::msIncomplete) {
            if (Int64(Buffer.Buffered()) > MaxWireMessageSize()) {
                Error = "Message too long";
                return rrError;
            }
            return rrDone;
        }
        if (state == TMessageBuffer::msError)
            return rrError;
        TEventHolder event;
        try {
            TMemoryStream plain;
            DecompressMessage(wire, plain);
            event.reset(CreateEventFromStream(&plain));
        } catch (...) {
            Error = HandledErrorText();
            return rrError;
        }
        // A handler that raises does not hold up the messages behind its
        // own; the first exception goes on once they are delivered.
        try {
            Deliver(event.get());
        } catch (...) {
            if (!Raised)
                Raised = std::current_exception();
        }
        event.reset();
        if (!StillReceiving())
            return rrGone;
    }
}

void TTOOCSBase::ForwardSocketErrors(TSimpleCustomSocket* ASocket)
{
    ASocket->OnError = [this](TObject*, TSocket S, const String& Msg, int Code) {
        if (OnError)
            OnError(this, S, Msg, Code);
        else
            throw ESocketError(Msg);
    };
}

// ---------------------------------------------------------------------------
// TTOOCSServer

TTOOCSServer::TTOOCSServer(TComponent* AOwner) : TTOOCSBase(AOwner)
{
    FServer = Create<TSimpleTCPServer>(nullptr);
    ForwardSocketErrors(FServer);
    FServer->OnAccept = [this](TObject*, TSimpleTCPClient* C) {
        FBuffers[C] = std::make_shared<TMessageBuffer>();
        if (OnAccept)
            OnAccept(this, C);
    };
    FServer->OnClientConnect = [this](TObject*, TSimpleTCPClient* C) {
        if (OnClientConnection)
            OnClientConnection(this, C);
    };
    FServer->OnClientDisconnect = [this](TObject*, TSimpleTCPClient* C) {
        FBuffers.erase(C);
        if (OnClientDisconnection)
            OnClientDisconnection(this, C);
    };
    FServer->OnRead = [this](TObject*, TSimpleTCPClient* C, TStream& S) { SocketRead(C, S); };
}

TTOOCSServer::~TTOOCSServer()
{
    FServer->OnError = nullptr;
    FServer->OnAccept = nullptr;
    FServer->OnClientConnect = nullptr;
    FServer->OnClientDisconnect = nullptr;
    FServer->OnRead = nullptr;
    FServer->Release();
}

void TTOOCSServer::SetActive(bool Value)
{
    if (Value == FServer->Active())
        return;
    std::weak_ptr<int> alive = AliveToken();
    if (Value) {
        FBuffers.clear();
        FServer->SetActive(true);
        if (FServer->Active() && OnStart)
            OnStart(this);
    } else {
        FServer->SetActive(false);
        FBuffers.clear();
        if (OnStop)
            OnStop(this);
    }
}

bool TTOOCSServer::Send(TSimpleTCPClient* Client, TTOOCSEvent* Event, bool FreeEvent)
{
    TEventHolder owned(FreeEvent ? Event : nullptr);
    std::weak_ptr<int> alive = AliveToken();
    TSocket socket = INVALID_SOCKET;
    bool full = false;
    try {
        if (!FServer->Active() || !FServer->HasClient(Client) || !Client->Connected())
            throw ETOOCSException(NoConnection);
        socket = Client->Socket();
        // Nothing is numbered or encoded for a queue that cannot take it.
        if (FServer->QueueFull(socket)) {
            full = true;
            throw ETOOCSException(SocketErrorText(WSAENOBUFS));
        }
        if (OnSendEvent)
            OnSendEvent(this, Client, Event);
        if (alive.expired())
            return false;
        if (!FServer->HasClient(Client))
            throw ETOOCSException(NoConnection);
        const std::string wire = EncodeMessage(Event);
        full = FServer->QueuedBytes(socket) + Int64(wire.size()) > FServer->QueueLimit();
        SendWhole(FServer, socket, wire);
        return true;
    } catch (...) {
        DoError(socket, SendingError + HandledErrorText(), -1);
    }
    // A peer that leaves that much unread is not reading: its stream now
    // lacks a message, so it goes (and may connect again for the document).
    if (full && !alive.expired() && FServer->HasClient(Client))
        FServer->CloseConnection(Client);
    return false;
}

void TTOOCSServer::Broadcast(TTOOCSEvent* Event, bool FreeEvent)
{
    TEventHolder owned(FreeEvent ? Event : nullptr);
    std::weak_ptr<int> alive = AliveToken();
    std::vector<TSimpleTCPClient*> clients;
    for (int i = 0; i < FServer->ClientCount(); ++i)
        clients.push_back(FServer->Clients(i));
    for (TSimpleTCPClient* c : clients) {
        if (!FServer->HasClient(c))
            continue;
        Send(c, Event, false);
        if (alive.expired())
            return;
    }
}

void TTOOCSServer::SocketRead(TSimpleTCPClient* Client, TStream& Stream)
{
    std::shared_ptr<TMessageBuffer>& slot = FBuffers[Client];
    if (!slot)
        slot = std::make_shared<TMessageBuffer>();
    // Held here: a handler may drop the connection (and its buffer) or free
    // this object while its messages are being delivered.
    std::shared_ptr<TMessageBuffer> buffer = slot;
    const std::string bytes = Stream.ReadBytes(Stream.Remaining());
    buffer->Append(bytes.data(), bytes.size());

    std::weak_ptr<int> alive = AliveToken();
    const TSocket socket = Client->Socket();
    String error;
    std::exception_ptr raised;
    const TReceiveResult result = ReceiveMessages(
        *buffer,
        [this, Client](TTOOCSEvent* E) {
            if (OnReceiveEvent)
                OnReceiveEvent(this, Client, E);
        },
        [this, Client, alive] { return !alive.expired() && FServer->HasClient(Client); }, error, raised);
    if (result == rrError) {
        buffer->Clear();
        DoError(socket, ReceivingError + error, -1, true);
        if (!alive.expired() && FServer->HasClient(Client))
            FServer->CloseConnection(Client);
    }
    if (raised)
        std::rethrow_exception(raised);
}

// ---------------------------------------------------------------------------
// TTOOCSClient

TTOOCSClient::TTOOCSClient(TComponent* AOwner) : TTOOCSBase(AOwner), FBuffer(std::make_shared<TMessageBuffer>())
{
    FClient = Create<TSimpleTCPClient>(nullptr);
    ForwardSocketErrors(FClient);
    FClient->OnConnect = [this](TObject*) {
        FBuffer = std::make_shared<TMessageBuffer>();
        if (OnConnection)
            OnConnection(this);
    };
    FClient->OnDisconnect = [this](TObject*) {
        if (OnDisconnected)
            OnDisconnected(this);
    };
    FClient->OnConnectionLost = [this](TObject*) {
        if (OnConnectionLost)
            OnConnectionLost(this);
    };
    FClient->OnRead = [this](TObject*, TSimpleTCPClient*, TStream& S) { SocketRead(S); };
}

TTOOCSClient::~TTOOCSClient()
{
    FClient->OnError = nullptr;
    FClient->OnConnect = nullptr;
    FClient->OnDisconnect = nullptr;
    FClient->OnConnectionLost = nullptr;
    FClient->OnRead = nullptr;
    // Inside one of the socket's own notices this waits until it returns.
    FClient->Release();
}

bool TTOOCSClient::Send(TTOOCSEvent* Event, bool FreeEvent)
{
    TEventHolder owned(FreeEvent ? Event : nullptr);
    std::weak_ptr<int> alive = AliveToken();
    TSocket socket = FClient->Socket();
    try {
        if (!FClient->Connected())
            throw ETOOCSException(NoConnection);
        if (OnSendEvent)
            OnSendEvent(this, Event);
        if (alive.expired())
            return false;
        if (!FClient->Connected())
            throw ETOOCSException(NoConnection);
        socket = FClient->Socket();
        SendWhole(FClient, socket, EncodeMessage(Event));
        return true;
    } catch (...) {
        DoError(socket, SendingError + HandledErrorText(), -1);
    }
    return false;
}

void TTOOCSClient::SocketRead(TStream& Stream)
{
    std::shared_ptr<TMessageBuffer> buffer = FBuffer;
    const std::string bytes = Stream.ReadBytes(Stream.Remaining());
    buffer->Append(bytes.data(), bytes.size());

    std::weak_ptr<int> alive = AliveToken();
    const TSocket socket = FClient->Socket();
    String error;
    std::exception_ptr raised;
    const TReceiveResult result = ReceiveMessages(
        *buffer,
        [this](TTOOCSEvent* E) {
            if (OnReceiveEvent)
                OnReceiveEvent(this, E);
        },
        [this, alive, buffer] { return !alive.expired() && FBuffer == buffer && FClient->Connected(); }, error,
        raised);
    if (result == rrError) {
        buffer->Clear();
        DoError(socket, ReceivingError + error, -1, true);
        if (!alive.expired() && FClient->Connected())
            FClient->CloseConnection();
    }
    if (raised)
        std::rethrow_exception(raised);
}
