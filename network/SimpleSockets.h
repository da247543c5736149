#pragma once
// Asynchronous TCP sockets on window messages: a listening server that keeps
// one client object per accepted connection, and a client that connects to
// a host and port and can reconnect by timer. Raw bytes only; where one
// message ends is the business of the layer above.
//
// Everything runs on the GUI thread. Readiness of a socket arrives as the
// message UM_TCPSELECT at the hidden window of the component that asked for
// it (for accepted connections: the server's). Outgoing bytes the socket
// cannot take at once wait in a queue per socket, flushed as the socket
// becomes writable, so a send never loses the tail of a large message.
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "network/ByteQueue.h"
#include "platform/Classes.h"
#include "platform/Exceptions.h"
#include "platform/Messages.h"
#include "platform/Sockets.h"
#include "platform/Streams.h"

VEK_EXCEPTION_KIND(ESocketError, Exception)

// The socket notice (user message 1).
constexpr UINT UM_TCPSELECT = WM_USER + 1;

// Port used when none is given.
constexpr Word DefaultTCPPort = 8080;

class TSimpleTCPClient;
class TSimpleTCPServer;

using TSocketErrorEvent =
    std::function<void(TObject* Sender, TSocket Socket, const String& ErrorMsg, int ErrorCode)>;
using TSocketClientEvent = std::function<void(TObject* Sender, TSimpleTCPClient* Client)>;
using TSocketReadEvent = std::function<void(TObject* Sender, TSimpleTCPClient* Client, TStream& Stream)>;
using TSocketDataAvailableEvent =
    std::function<void(TObject* Sender, TSimpleTCPClient* Client, Int64 Count, bool& Handled)>;

// A list that frees its objects when cleared.
class TProofList : public TObjectList {
    VEK_DECLARE_CREATABLE_CLASS(TProofList, TObjectList)

public:
    TProofList() : TObjectList(true) {}
};

// A component with a hidden message window and a window timer (id 1) that
// calls DoTimer every MonitorInterval ms while MonitorActive.
class TTimerComponent : public TComponent {
    VEK_DECLARE_CLASS(TTimerComponent, TComponent)

public:
    explicit TTimerComponent(TComponent* AOwner);
    ~TTimerComponent() override;
    void BeforeDestruction() override;

    bool MonitorActive() const { return FMonitorActive; }
    void SetMonitorActive(bool Value);
    Cardinal MonitorInterval() const { return FMonitorInterval; }
    void SetMonitorInterval(Cardinal Value);
    HWND WindowHandle() const { return FWindowHandle; }

protected:
    virtual void WndProc(TMessage& Message);
    // Kills the timer and sets it again when it should run; EOutOfResources
    // when the system refuses it.
    virtual void UpdateTimer();
    virtual bool CanSetTimer() { return true; }
    virtual void DoTimer() {}

private:
    HWND FWindowHandle = 0;
    bool FMonitorActive = false;
    Cardinal FMonitorInterval = 1000;
};

class TSimpleCustomSocket : public TTimerComponent {
    VEK_DECLARE_CLASS(TSimpleCustomSocket, TTimerComponent)

public:
    // Most bytes waiting to be sent on one socket before a send is refused,
    // unless SetQueueLimit gives another.
    static constexpr Int64 DefaultQueueLimit = Int64(256) * 1024 * 1024;
    // Most bytes one read notice takes from a socket; the rest comes with the
    // next notice, so one busy peer cannot hold the loop.
    static constexpr Int64 MaxBurstBytes = Int64(8) * 1024 * 1024;

    explicit TSimpleCustomSocket(TComponent* AOwner);
    ~TSimpleCustomSocket() override;

    TSocket Socket() const { return FSocket; }
    bool Active() const { return FActive; }
    virtual void SetActive(bool Value);
    const String& Host() const { return FHost; }
    void SetHost(const String& Value);
    Word Port() const { return FPort; }
    void SetPort(Word Value);

    // Sends Count bytes, queueing what the socket cannot take now (and what
    // follows another send in the same turn of the loop, which goes out with
    // it at the end of the turn). Answers Count once everything is sent or
    // queued, -1 on a hard error.
    Int64 SendBufferTo(TSocket Socket, const void* Buffer, Int64 Count);
    // The stream's bytes from its start.
    Int64 SendStreamTo(TSocket Socket, TStream& Stream);
    // Bytes read now (0 when none wait), -1 on error.
    Int64 ReceiveFrom(TSocket Socket, void* Buffer, Int64 Count);
    Int64 ReceiveStreamFrom(TSocket Socket, TStream& Stream, Int64 Count);
    // Bytes still waiting in the socket's outgoing queue.
    Int64 QueuedBytes(TSocket Socket) const;
    Int64 QueueLimit() const { return FQueueLimit; }
    void SetQueueLimit(Int64 Value) { FQueueLimit = Value; }
    // The queue holds as much as it may: a send now is refused.
    bool QueueFull(TSocket Socket) const { return QueuedBytes(Socket) >= FQueueLimit; }
    // Bytes accepted for the socket so far, sent or waiting: a mark that
    // OutputPassed compares with.
    Int64 OutputMark(TSocket Socket) const;
    // Every byte accepted up to Mark has left the queue (it was sent, or
    // dropped with a broken connection).
    bool OutputPassed(TSocket Socket, Int64 Mark) const;
    // Why the last send answered -1.
    int LastSendError() const { return FLastSendError; }

    // Frees this object, or, when called from inside one of its own
    // notifications, as soon as that notification has returned.
    void Release();
    bool InNotification() const { return FNotifyDepth > 0; }

    TSocketErrorEvent OnError;
    TSocketReadEvent OnRead;
    TSocketDataAvailableEvent OnDataAvailable;

protected:
    void WndProc(TMessage& Message) override;
    // OnError with the code's text; an ESocketError when there is no handler.
    virtual void SocketError(TSocket Socket, int ErrorCode);
    virtual void DoActivate() {}
    virtual void DoDeactivate() {}
    virtual void DoConnectAccept(TSocket Socket, int Event, int ErrorCode);
    virtual void DoClose(TSocket Socket);
    // Offered the waiting byte count before each read when
    // WantDataAvailable answers true (by default: OnDataAvailable is set).
    virtual void DoDataAvailable(TSimpleTCPClient* Client, Int64 Count, bool& Handled);
    virtual bool WantDataAvailable() const { return bool(OnDataAvailable); }
    virtual void DoRead(TSimpleTCPClient* Client, TStream& Stream);
    // The client object a notice for Socket belongs to.
    virtual TSimpleTCPClient* ClientOfSocket(TSocket Socket) = 0;

    // Drops the socket's outgoing queue (the socket is going).
    void DropQueue(TSocket Socket);
    // A token that expires when this object is freed: code that calls out to
    // handlers checks it before touching the object again.
    std::weak_ptr<int> AliveToken() const { return FAlive; }

    TSocket FSocket = INVALID_SOCKET;
    bool FActive = false;
    String FHost;
    Word FPort = DefaultTCPPort;

private:
    // Kept from the first send on the socket until it goes.
    struct TOutQueue {
        TByteQueue Bytes;
        // Bytes accepted in all.
        Int64 Accepted = 0;
        // Something went out on this socket during the current turn of the
        // loop: further messages wait for the flush at its end, so a burst
        // of small messages takes one send instead of one each.
        bool Corked = false;
    };
    void ScheduleFlush();
    void FlushAll();
    void HandleNotice(TSocket Socket, int Event, int ErrorCode);
    void HandleRead(TSocket Socket);
    // False on a hard error (the queue is dropped).
    bool FlushQueue(TSocket Socket);

    std::unordered_map<TSocket, TOutQueue> FOutQueues;
    std::shared_ptr<int> FAlive;
    int FNotifyDepth = 0;
    bool FReleasePending = false;
    bool FFlushScheduled = false;
    int FLastSendError = 0;
    Int64 FQueueLimit = DefaultQueueLimit;
};

class TSimpleTCPServer : public TSimpleCustomSocket {
    VEK_DECLARE_CLASS(TSimpleTCPServer, TSimpleCustomSocket)

public:
    static constexpr int Backlog = 5;

    explicit TSimpleTCPServer(TComponent* AOwner);
    ~TSimpleTCPServer() override;
    void BeforeDestruction() override;

    int ClientCount() const { return FClients.Count(); }
    TSimpleTCPClient* Clients(int Index) const;
    // Null when the object is not (any more) one of this server's clients.
    TSimpleTCPClient* FindClient(TSocket Socket) const;
    bool HasClient(const TSimpleTCPClient* Client) const;

    // The local address to listen on; empty: every local address.
    const String& BindAddress() const { return FBindAddress; }
    void SetBindAddress(const String& Value) { FBindAddress = Value; }

    Int64 SendStream(TSimpleTCPClient* Client, TStream& Stream);
    // Closes that connection as if the peer had closed it.
    void CloseConnection(TSimpleTCPClient* Client);

    String GetLocalHostName() const;
    String GetLocalIP() const;

    TSocketClientEvent OnAccept;
    TSocketClientEvent OnClientConnect;
    TSocketClientEvent OnClientDisconnect;

protected:
    void DoActivate() override;
    void DoDeactivate() override;
    void DoConnectAccept(TSocket Socket, int Event, int ErrorCode) override;
    void DoClose(TSocket Socket) override;
    TSimpleTCPClient* ClientOfSocket(TSocket Socket) override { return FindClient(Socket); }

private:
    TProofList FClients;
    String FBindAddress;
};

class TSimpleTCPClient : public TSimpleCustomSocket {
    VEK_DECLARE_CLASS(TSimpleTCPClient, TSimpleCustomSocket)

public:
    static constexpr Cardinal DefaultReconnectInterval = 20000;

    explicit TSimpleTCPClient(TComponent* AOwner);
    // The client a server makes for an accepted connection.
    TSimpleTCPClient(TSimpleTCPServer* AServer, TSocket ASocket, const TSocketAddress& APeer);
    ~TSimpleTCPClient() override;

    bool AutoReconnect() const { return FAutoReconnect; }
    void SetAutoReconnect(bool Value);
    Cardinal ReconnectInterval() const { return MonitorInterval(); }
    void SetReconnectInterval(Cardinal Value) { SetMonitorInterval(Value); }
    bool Connected() const { return FConnected; }
    // The server that accepted this connection; null for a client of our own.
    TSimpleTCPServer* Server() const { return FServer; }
    // The other end: its address and port.
    const String& PeerHost() const { return FPeerHost; }
    Word PeerPort() const { return FPeerPort; }

    Int64 SendStream(TStream& Stream);
    // Closes the connection as if the peer had closed it: inactive, the
    // disconnection and connection-lost events, reconnecting when asked to.
    void CloseConnection();

    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyEvent OnConnectionLost;

protected:
    void DoActivate() override;
    void DoDeactivate() override;
    void DoConnectAccept(TSocket Socket, int Event, int ErrorCode) override;
    void DoClose(TSocket Socket) override;
    void DoTimer() override;
    TSimpleTCPClient* ClientOfSocket(TSocket Socket) override
    {
        return Socket == FSocket && Socket != INVALID_SOCKET ? this : nullptr;
    }

private:
    friend class TSimpleTCPServer;
    void CloseOwnSocket();
    bool FAutoReconnect = false;
    bool FConnected = false;
    TSimpleTCPServer* FServer = nullptr;
    String FPeerHost;
    Word FPeerPort = 0;
};
