#include "network/SimpleSockets.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Controls.h"

namespace {

constexpr UINT_PTR MonitorTimerID = 1;
constexpr UINT QueryEndSessionMsg = 0x0011;
// Rounds of one read notice; a handler that claims the data but leaves it
// in the socket cannot keep the loop here.
constexpr int MaxReadRounds = 1024;

} // namespace

// ---------------------------------------------------------------------------
// TTimerComponent

TTimerComponent::TTimerComponent(TComponent* AOwner) : TComponent(AOwner)
{
    FWindowHandle = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
}

TTimerComponent::~TTimerComponent()
{
    if (FWindowHandle)
        DeallocateHWnd(FWindowHandle);
}

void TTimerComponent::BeforeDestruction()
{
    TComponent::BeforeDestruction();
    if (FWindowHandle) {
        DeallocateHWnd(FWindowHandle);
        FWindowHandle = 0;
    }
}

void TTimerComponent::SetMonitorActive(bool Value)
{
    if (Value == FMonitorActive)
        return;
    FMonitorActive = Value;
    UpdateTimer();
}

void TTimerComponent::SetMonitorInterval(Cardinal Value)
{
    if (Value == FMonitorInterval)
        return;
    FMonitorInterval = Value;
    UpdateTimer();
}

void TTimerComponent::UpdateTimer()
{
    if (!FWindowHandle)
        return;
    KillTimer(FWindowHandle, MonitorTimerID);
    if (FMonitorActive && FMonitorInterval > 0 && !ComponentState().Contains(csLoading) &&
        !ComponentState().Contains(csDestroying) && CanSetTimer()) {
        if (!SetTimer(FWindowHandle, MonitorTimerID, FMonitorInterval))
            throw EOutOfResources("Not enough timers available");
    }
}

void TTimerComponent::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_TIMER && Message.TimerID() == MonitorTimerID) {
        DoTimer();
        return;
    }
    Message.Result = Message.Msg == QueryEndSessionMsg ? 1 : 0;
}

// ---------------------------------------------------------------------------
// TSimpleCustomSocket

TSimpleCustomSocket::TSimpleCustomSocket(TComponent* AOwner)
    : TTimerComponent(AOwner), FAlive(std::make_shared<int>(0))
{
}

TSimpleCustomSocket::~TSimpleCustomSocket() = default;

void TSimpleCustomSocket::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    if (Value)
        DoActivate();
    else
        DoDeactivate();
}

void TSimpleCustomSocket::SetHost(const String& Value)
{
    if (Value == FHost)
        return;
    FHost = Value;
    if (FActive) {
        SetActive(false);
        SetActive(true);
    }
}

void TSimpleCustomSocket::SetPort(Word Value)
{
    if (Value == FPort)
        return;
    FPort = Value;
    if (FActive) {
        SetActive(false);
        SetActive(true);
    }
}

void TSimpleCustomSocket::Release()
{
    if (FNotifyDepth > 0)
        FReleasePending = true;
    else
        delete this;
}

void TSimpleCustomSocket::WndProc(TMessage& Message)
{
    std::weak_ptr<int> alive = FAlive;
    ++FNotifyDepth;
    auto leave = [this, &alive] {
        if (alive.expired())
            return;
        if (--FNotifyDepth == 0 && FReleasePending)
            delete this;
    };
    try {
        if (Message.Msg == UM_TCPSELECT)
            HandleNotice(TSocket(Message.WParam), Message.LParamLo(), Message.LParamHi());
        else
            TTimerComponent::WndProc(Message);
    } catch (...) {
        leave();
        throw;
    }
    leave();
}

void TSimpleCustomSocket::HandleNotice(TSocket Socket, int Event, int ErrorCode)
{
    std::weak_ptr<int> alive = FAlive;
    std::exception_ptr pending;
    if (ErrorCode != 0) {
        // The event is still handled when reporting the error raises, so a
        // broken connection is closed whether or not anyone listens.
        try {
            SocketError(Socket, ErrorCode);
        } catch (...) {
            pending = std::current_exception();
        }
        if (alive.expired()) {
            if (pending)
                std::rethrow_exception(pending);
            return;
        }
    }
    switch (Event) {
    case FD_READ:
        HandleRead(Socket);
        break;
    case FD_WRITE:
        FlushQueue(Socket);
        break;
    case FD_ACCEPT:
    case FD_CONNECT:
        DoConnectAccept(Socket, Event, ErrorCode);
        break;
    case FD_CLOSE:
        DoClose(Socket);
        break;
    default:
        break;
    }
    if (pending)
        std::rethrow_exception(pending);
}

void TSimpleCustomSocket::HandleRead(TSocket Socket)
{
    TSimpleTCPClient* client = ClientOfSocket(Socket);
    if (!client)
        return;
    std::weak_ptr<int> alive = FAlive;
    TMemoryStream stream;
    bool handled = false;
    const bool offer = WantDataAvailable();
    // Everything that has arrived, until the socket runs dry, is one burst.
    for (int round = 0; round < MaxReadRounds && stream.Size() < MaxBurstBytes; ++round) {
        Int64 want = 65536;
        if (offer) {
            const Int64 count = PendingBytes(Socket);
            if (count > 0) {
                DoDataAvailable(client, count, handled);
                if (alive.expired() || ClientOfSocket(Socket) != client)
                    return;
                want = count;
            }
            if (handled) {
                if (count <= 0)
                    break;
                continue;
            }
        }
        want = std::min(want, MaxBurstBytes - stream.Size());
        const Int64 old = stream.Size();
        stream.SetSize(old + want);
        int error = 0;
        const Int64 got = ReceiveSocket(Socket, stream.Memory() + old, want, error);
        stream.SetSize(old + std::max<Int64>(got, 0));
        // Dry, or closed (the close notice follows). A short read is dry
        // too; should more arrive meanwhile, the next notice brings it.
        if (got <= 0 || (!offer && got < want))
            break;
    }
    if (!handled && stream.Size() > 0) {
        stream.SetPosition(0);
        DoRead(client, stream);
    }
}

bool TSimpleCustomSocket::FlushQueue(TSocket Socket)
{
    auto it = FOutQueues.find(Socket);
    if (it == FOutQueues.end())
        return true;
    TOutQueue& q = it->second;
    while (!q.Bytes.Empty()) {
        int error = 0;
        const Int64 n = SendSocket(Socket, q.Bytes.Data(), Int64(q.Bytes.Size()), error);
        if (n < 0) {
            if (error == WSAEWOULDBLOCK)
                return true;  // the rest goes with the write notice
            // The connection is broken: nothing of it will go out.
            q.Bytes.Clear();
            return false;
        }
        q.Bytes.Consume(std::size_t(n));
    }
    return true;
}

void TSimpleCustomSocket::DropQueue(TSocket Socket)
{
    FOutQueues.erase(Socket);
}

Int64 TSimpleCustomSocket::QueuedBytes(TSocket Socket) const
{
    auto it = FOutQueues.find(Socket);
    return it == FOutQueues.end() ? 0 : Int64(it->second.Bytes.Size());
}

Int64 TSimpleCustomSocket::OutputMark(TSocket Socket) const
{
    auto it = FOutQueues.find(Socket);
    return it == FOutQueues.end() ? 0 : it->second.Accepted;
}

bool TSimpleCustomSocket::OutputPassed(TSocket Socket, Int64 Mark) const
{
    auto it = FOutQueues.find(Socket);
    return it == FOutQueues.end() || it->second.Accepted - Int64(it->second.Bytes.Size()) >= Mark;
}

Int64 TSimpleCustomSocket::SendBufferTo(TSocket Socket, const void* Buffer, Int64 Count)
{
    if (Socket == INVALID_SOCKET || Count < 0) {
        FLastSendError = WSAENOTCONN;
        return -1;
    }
    if (Count == 0)
        return 0;
    const char* bytes = static_cast<const char*>(Buffer);
    auto it = FOutQueues.find(Socket);
    if (it != FOutQueues.end() && (it->second.Corked || !it->second.Bytes.Empty())) {
        // Bytes wait already, or the socket is corked: these go behind.
        TOutQueue& q = it->second;
        if (Int64(q.Bytes.Size()) + Count > FQueueLimit) {
            FLastSendError = WSAENOBUFS;
            return -1;
        }
        q.Bytes.Append(bytes, std::size_t(Count));
        q.Accepted += Count;
        ScheduleFlush();
        return Count;
    }
    if (Count > FQueueLimit) {
        FLastSendError = WSAENOBUFS;
        return -1;
    }
    int error = 0;
    Int64 sent = SendSocket(Socket, bytes, Count, error);
    if (sent < 0) {
        if (error != WSAEWOULDBLOCK) {
            FLastSendError = error;
            return -1;
        }
        sent = 0;
    }
    TOutQueue& q = FOutQueues[Socket];
    q.Corked = true;
    q.Accepted += Count;
    q.Bytes.Append(bytes + sent, std::size_t(Count - sent));
    ScheduleFlush();
    return Count;
}

void TSimpleCustomSocket::ScheduleFlush()
{
    if (FFlushScheduled)
        return;
    FFlushScheduled = true;
    std::weak_ptr<int> alive = FAlive;
    QueueDeferredCall([this, alive] {
        if (!alive.expired())
            FlushAll();
    });
}

void TSimpleCustomSocket::FlushAll()
{
    FFlushScheduled = false;
    std::vector<TSocket> sockets;
    sockets.reserve(FOutQueues.size());
    for (auto& [socket, q] : FOutQueues) {
        q.Corked = false;
        sockets.push_back(socket);
    }
    for (TSocket s : sockets)
        FlushQueue(s);
}

Int64 TSimpleCustomSocket::SendStreamTo(TSocket Socket, TStream& Stream)
{
    const Int64 size = Stream.Size();
    if (auto* memory = dynamic_cast<TMemoryStream*>(&Stream))
        return SendBufferTo(Socket, memory->Memory(), size);
    Stream.SetPosition(0);
    const std::string bytes = Stream.ReadBytes(size);
    return SendBufferTo(Socket, bytes.data(), Int64(bytes.size()));
}

Int64 TSimpleCustomSocket::ReceiveFrom(TSocket Socket, void* Buffer, Int64 Count)
{
    int error = 0;
    const Int64 n = ReceiveSocket(Socket, Buffer, Count, error);
    if (n < 0 && error == WSAEWOULDBLOCK)
        return 0;
    return n;
}

Int64 TSimpleCustomSocket::ReceiveStreamFrom(TSocket Socket, TStream& Stream, Int64 Count)
{
    if (Count <= 0)
        return 0;
    std::string buffer(std::size_t(Count), '\0');
    const Int64 n = ReceiveFrom(Socket, buffer.data(), Count);
    if (n > 0)
        Stream.WriteBuffer(buffer.data(), n);
    return n;
}

void TSimpleCustomSocket::SocketError(TSocket Socket, int ErrorCode)
{
    const String text = SocketErrorText(ErrorCode);
    if (OnError)
        OnError(this, Socket, text, ErrorCode);
    else
        throw ESocketError(text);
}

void TSimpleCustomSocket::DoConnectAccept(TSocket, int, int) {}

void TSimpleCustomSocket::DoClose(TSocket) {}

void TSimpleCustomSocket::DoDataAvailable(TSimpleTCPClient* Client, Int64 Count, bool& Handled)
{
    if (OnDataAvailable)
        OnDataAvailable(this, Client, Count, Handled);
}

void TSimpleCustomSocket::DoRead(TSimpleTCPClient* Client, TStream& Stream)
{
    if (OnRead)
        OnRead(this, Client, Stream);
}

// ---------------------------------------------------------------------------
// TSimpleTCPServer

TSimpleTCPServer::TSimpleTCPServer(TComponent* AOwner) : TSimpleCustomSocket(AOwner) {}

TSimpleTCPServer::~TSimpleTCPServer()
{
    if (FActive)
        DoDeactivate();
}

void TSimpleTCPServer::BeforeDestruction()
{
    // Quietly: nobody is told about connections going with the server.
    OnClientDisconnect = nullptr;
    if (FActive)
        DoDeactivate();
    TSimpleCustomSocket::BeforeDestruction();
}

TSimpleTCPClient* TSimpleTCPServer::Clients(int Index) const
{
    return static_cast<TSimpleTCPClient*>(FClients.Items(Index));
}

TSimpleTCPClient* TSimpleTCPServer::FindClient(TSocket Socket) const
{
    if (Socket == INVALID_SOCKET)
        return nullptr;
    for (int i = 0; i < FClients.Count(); ++i)
        if (Clients(i)->Socket() == Socket)
            return Clients(i);
    return nullptr;
}

bool TSimpleTCPServer::HasClient(const TSimpleTCPClient* Client) const
{
    return Client && FClients.IndexOf(const_cast<TSimpleTCPClient*>(Client)) >= 0;
}

Int64 TSimpleTCPServer::SendStream(TSimpleTCPClient* Client, TStream& Stream)
{
    if (!HasClient(Client))
        return -1;
    return SendStreamTo(Client->Socket(), Stream);
}

void TSimpleTCPServer::CloseConnection(TSimpleTCPClient* Client)
{
    if (HasClient(Client))
        DoClose(Client->Socket());
}

String TSimpleTCPServer::GetLocalHostName() const
{
    return LocalHostName();
}

String TSimpleTCPServer::GetLocalIP() const
{
    return LocalIPAddress();
}

void TSimpleTCPServer::DoActivate()
{
    TSocketAddress address;
    int error = 0;
    if (FBindAddress.empty())
        address = AnyAddress(FPort);
    else if (!ResolveHost(FBindAddress, FPort, address, error)) {
        SocketError(INVALID_SOCKET, error);
        return;
    }
    const TSocket s = OpenStreamSocket(address.Family(), error);
    if (s == INVALID_SOCKET) {
        SocketError(INVALID_SOCKET, error);
        return;
    }
    if (!ListenSocket(s, address, Backlog, error)) {
        CloseSocket(s);
        SocketError(INVALID_SOCKET, error);
        return;
    }
    AsyncSelect(s, WindowHandle(), UM_TCPSELECT, FD_READ | FD_ACCEPT | FD_CLOSE);
    FSocket = s;
    FActive = true;
    TSocketAddress local;
    if (FPort == 0 && LocalAddress(s, local))
        FPort = local.Port();
}

void TSimpleTCPServer::DoDeactivate()
{
    for (int i = 0; i < FClients.Count(); ++i) {
        TSimpleTCPClient* c = Clients(i);
        DropQueue(c->FSocket);
        CloseSocket(c->FSocket);
        c->FSocket = INVALID_SOCKET;
        c->FActive = false;
        c->FConnected = false;
    }
    FClients.Clear();
    if (FSocket != INVALID_SOCKET) {
        CloseSocket(FSocket);
        FSocket = INVALID_SOCKET;
    }
    FActive = false;
}

void TSimpleTCPServer::DoConnectAccept(TSocket Socket, int Event, int)
{
    if (Event != FD_ACCEPT || Socket != FSocket || FSocket == INVALID_SOCKET)
        return;
    std::weak_ptr<int> alive = AliveToken();
    // Take everything that waits; the next notice comes when more arrive.
    for (int i = 0; i < 256 && FActive; ++i) {
        TSocketAddress peer;
        int error = 0;
        const TSocket s = AcceptSocket(FSocket, &peer, error);
        if (s == INVALID_SOCKET)
            break;
        TSimpleTCPClient* c = Create<TSimpleTCPClient>(this, s, peer);
        FClients.Add(c);
        AsyncSelect(s, WindowHandle(), UM_TCPSELECT, FD_READ | FD_WRITE | FD_CLOSE);
        if (OnAccept)
            OnAccept(this, c);
        if (alive.expired())
            return;
        if (HasClient(c) && OnClientConnect)
            OnClientConnect(this, c);
        if (alive.expired())
            return;
    }
}

void TSimpleTCPServer::DoClose(TSocket Socket)
{
    if (Socket == FSocket) {
        SetActive(false);
        return;
    }
    TSimpleTCPClient* c = FindClient(Socket);
    if (!c)
        return;
    FClients.Extract(c);
    std::unique_ptr<TSimpleTCPClient, TObjectDeleter> hold(c);
    DropQueue(Socket);
    CloseSocket(Socket);
    c->FSocket = INVALID_SOCKET;
    c->FActive = false;
    c->FConnected = false;
    if (OnClientDisconnect)
        OnClientDisconnect(this, c);
}

// ---------------------------------------------------------------------------
// TSimpleTCPClient

TSimpleTCPClient::TSimpleTCPClient(TComponent* AOwner) : TSimpleCustomSocket(AOwner)
{
    FHost = "localhost";
    SetMonitorInterval(DefaultReconnectInterval);
}

TSimpleTCPClient::TSimpleTCPClient(TSimpleTCPServer* AServer, TSocket ASocket, const TSocketAddress& APeer)
    : TSimpleTCPClient(static_cast<TComponent*>(nullptr))
{
    FServer = AServer;
    FSocket = ASocket;
    FActive = true;
    FConnected = true;
    FPeerHost = APeer.Host();
    FPeerPort = APeer.Port();
    FHost = FPeerHost;
    FPort = FPeerPort;
}

TSimpleTCPClient::~TSimpleTCPClient()
{
    if (!FServer)
        CloseOwnSocket();
}

void TSimpleTCPClient::SetAutoReconnect(bool Value)
{
    FAutoReconnect = Value;
    if (!Value)
        SetMonitorActive(false);
}

Int64 TSimpleTCPClient::SendStream(TStream& Stream)
{
    if (FServer)
        return FServer->SendStream(this, Stream);
    if (!FConnected)
        return -1;
    return SendStreamTo(FSocket, Stream);
}

void TSimpleTCPClient::CloseConnection()
{
    if (FServer)
        FServer->CloseConnection(this);
    else if (FSocket != INVALID_SOCKET)
        DoClose(FSocket);
}

void TSimpleTCPClient::CloseOwnSocket()
{
    if (FSocket == INVALID_SOCKET)
        return;
    DropQueue(FSocket);
    CloseSocket(FSocket);
    FSocket = INVALID_SOCKET;
}

void TSimpleTCPClient::DoActivate()
{
    if (FServer)
        return;
    SetMonitorActive(false);
    TSocketAddress address;
    int error = 0;
    TSocket s = INVALID_SOCKET;
    if (ResolveHost(FHost, FPort, address, error)) {
        s = OpenStreamSocket(address.Family(), error);
        if (s != INVALID_SOCKET) {
            AsyncSelect(s, WindowHandle(), UM_TCPSELECT, FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE);
            if (!ConnectSocket(s, address, error)) {
                CloseSocket(s);
                s = INVALID_SOCKET;
            }
        }
    }
    if (s == INVALID_SOCKET) {
        if (FAutoReconnect)
            SetMonitorActive(true);
        SocketError(INVALID_SOCKET, error);
        return;
    }
    FSocket = s;
    FActive = true;
    FConnected = false;
}

void TSimpleTCPClient::DoDeactivate()
{
    const bool wasConnected = FConnected;
    CloseOwnSocket();
    FActive = false;
    FConnected = false;
    SetMonitorActive(false);
    if (wasConnected && OnDisconnect)
        OnDisconnect(this);
}

void TSimpleTCPClient::DoConnectAccept(TSocket Socket, int Event, int ErrorCode)
{
    if (Event != FD_CONNECT || Socket != FSocket || FSocket == INVALID_SOCKET)
        return;
    if (ErrorCode != 0) {
        CloseOwnSocket();
        FActive = false;
        if (FAutoReconnect)
            SetMonitorActive(true);
        return;
    }
    FConnected = true;
    SetMonitorActive(false);
    TSocketAddress peer;
    if (PeerAddress(FSocket, peer)) {
        FPeerHost = peer.Host();
        FPeerPort = peer.Port();
    }
    if (OnConnect)
        OnConnect(this);
}

void TSimpleTCPClient::DoClose(TSocket Socket)
{
    if (FServer) {
        FServer->CloseConnection(this);
        return;
    }
    if (Socket != FSocket || FSocket == INVALID_SOCKET)
        return;
    CloseOwnSocket();
    FActive = false;
    FConnected = false;
    if (FAutoReconnect)
        SetMonitorActive(true);
    std::weak_ptr<int> alive = AliveToken();
    if (OnDisconnect)
        OnDisconnect(this);
    if (alive.expired())
        return;
    if (OnConnectionLost)
        OnConnectionLost(this);
}

void TSimpleTCPClient::DoTimer()
{
    if (FActive) {
        SetMonitorActive(false);
        return;
    }
    SetActive(true);
}
