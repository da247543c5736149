#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include "platform/Controls.h"

// ---------------------------------------------------------------------------
// Error codes and texts.

String SocketErrorText(int Code)
{
    switch (Code) {
    case 10004: return "Interrupted system call";
    case 10009: return "Bad file number";
    case 10013: return "Permission denied";
    case 10014: return "Bad address";
    case 10022: return "Invalid argument";
    case 10024: return "Too many open files";
    case 10035: return "Operation would block";
    case 10036: return "Operation now in progress";
    case 10037: return "Operation already in progress";
    case 10038: return "Socket operation on non-socket";
    case 10039: return "Destination address required";
    case 10040: return "Message too long";
    case 10041: return "Protocol wrong type for socket";
    case 10042: return "Protocol not available";
    case 10043: return "Protocol not supported";
    case 10044: return "Socket type not supported";
    case 10045: return "Operation not supported on socket";
    case 10046: return "Protocol family not supported";
    case 10047: return "Address family not supported by protocol family";
    case 10048: return "Address already in use";
    case 10049: return "Can't assign requested address";
    case 10050: return "Network is down";
    case 10051: return "Network is unreachable";
    case 10052: return "Network dropped connection on reset";
    case 10053: return "Software caused connection abort";
    case 10054: return "Connection reset by peer";
    case 10055: return "No buffer space available";
    case 10056: return "Socket is already connected";
    case 10057: return "Socket is not connected";
    case 10058: return "Can't send after socket shutdown";
    case 10059: return "Too many references: can't splice";
    case 10060: return "Connection timed out";
    case 10061: return "Connection refused";
    case 10062: return "Too many levels of symbolic links";
    case 10063: return "File name too long";
    case 10064: return "Host is down";
    case 10065: return "No route to host";
    case 10066: return "Directory not empty";
    case 10067: return "Too many processes";
    case 10068: return "Too many users";
    case 10069: return "Disk quota exceeded";
    case 10070: return "Stale NFS file handle";
    case 10071: return "Too many levels of remote in path";
    case 10091: return "Network sub-system is unusable";
    case 10092: return "WinSock DLL cannot support this application";
    case 10093: return "WinSock not initialized";
    case 11001: return "Host not found";
    case 11002: return "Non-authoritative host not found";
    case 11003: return "Non-recoverable error";
    case 11004: return "No Data";
    default: return "Not a WinSock error ?";
    }
}

int SocketErrorFromErrno(int Errno)
{
    switch (Errno) {
    case 0: return 0;
    case EINTR: return 10004;
    case EBADF: return 10009;
    case EACCES: return 10013;
    case EPERM: return 10013;
    case EFAULT: return 10014;
    case EINVAL: return 10022;
    case EMFILE: return 10024;
    case ENFILE: return 10024;
    case EAGAIN: return 10035;
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK: return 10035;
#endif
    case EINPROGRESS: return 10036;
    case EALREADY: return 10037;
    case ENOTSOCK: return 10038;
    case EDESTADDRREQ: return 10039;
    case EMSGSIZE: return 10040;
    case EPROTOTYPE: return 10041;
    case ENOPROTOOPT: return 10042;
    case EPROTONOSUPPORT: return 10043;
    case ESOCKTNOSUPPORT: return 10044;
    case EOPNOTSUPP: return 10045;
    case EPFNOSUPPORT: return 10046;
    case EAFNOSUPPORT: return 10047;
    case EADDRINUSE: return 10048;
    case EADDRNOTAVAIL: return 10049;
    case ENETDOWN: return 10050;
    case ENETUNREACH: return 10051;
    case ENETRESET: return 10052;
    case ECONNABORTED: return 10053;
    case ECONNRESET: return 10054;
    case ENOBUFS: return 10055;
    case ENOMEM: return 10055;
    case EISCONN: return 10056;
    case ENOTCONN: return 10057;
    case ESHUTDOWN: return 10058;
    case EPIPE: return 10058;
    case ETOOMANYREFS: return 10059;
    case ETIMEDOUT: return 10060;
    case ECONNREFUSED: return 10061;
    case ELOOP: return 10062;
    case ENAMETOOLONG: return 10063;
    case EHOSTDOWN: return 10064;
    case EHOSTUNREACH: return 10065;
    case ENOTEMPTY: return 10066;
    case EUSERS: return 10068;
    case EDQUOT: return 10069;
    case ESTALE: return 10070;
    case EREMOTE: return 10071;
    default: return Errno;
    }
}

int SocketErrorFromResolver(int ResolverError)
{
    switch (ResolverError) {
    case 0: return 0;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_FAIL: return WSANO_RECOVERY;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY: return WSANO_DATA;
#endif
    case EAI_MEMORY: return WSAENOBUFS;
    case EAI_SYSTEM: return SocketErrorFromErrno(errno);
    default: return WSANO_RECOVERY;
    }
}

// ---------------------------------------------------------------------------
// Addresses.

static_assert(sizeof(TSocketAddress::Data) >= sizeof(sockaddr_storage));

namespace {

const sockaddr* AsSockaddr(const TSocketAddress& A)
{
    return reinterpret_cast<const sockaddr*>(A.Data);
}

void StoreAddress(TSocketAddress& A, const void* Addr, socklen_t Length)
{
    std::memset(A.Data, 0, sizeof(A.Data));
    std::memcpy(A.Data, Addr, std::min<std::size_t>(Length, sizeof(A.Data)));
    A.Length = unsigned(Length);
}

} // namespace

int TSocketAddress::Family() const
{
    return Length ? AsSockaddr(*this)->sa_family : AF_UNSPEC;
}

String TSocketAddress::Host() const
{
    char text[INET6_ADDRSTRLEN] = {};
    if (Family() == AF_INET) {
        sockaddr_in a;
        std::memcpy(&a, Data, sizeof(a));
        inet_ntop(AF_INET, &a.sin_addr, text, sizeof(text));
    } else if (Family() == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, Data, sizeof(a));
        inet_ntop(AF_INET6, &a.sin6_addr, text, sizeof(text));
    }
    return text;
}

Word TSocketAddress::Port() const
{
    if (Family() == AF_INET) {
        sockaddr_in a;
        std::memcpy(&a, Data, sizeof(a));
        return ntohs(a.sin_port);
    }
    if (Family() == AF_INET6) {
        sockaddr_in6 a;
        std::memcpy(&a, Data, sizeof(a));
        return ntohs(a.sin6_port);
    }
    return 0;
}

bool ResolveHost(const String& Host, Word Port, TSocketAddress& Address, int& Error)
{
    Error = 0;
    sockaddr_in a4{};
    a4.sin_family = AF_INET;
    a4.sin_port = htons(Port);
    if (inet_pton(AF_INET, Host.c_str(), &a4.sin_addr) == 1) {
        StoreAddress(Address, &a4, sizeof(a4));
        return true;
    }
    sockaddr_in6 a6{};
    a6.sin6_family = AF_INET6;
    a6.sin6_port = htons(Port);
    if (inet_pton(AF_INET6, Host.c_str(), &a6.sin6_addr) == 1) {
        StoreAddress(Address, &a6, sizeof(a6));
        return true;
    }
    if (Host.empty()) {
        Error = WSAHOST_NOT_FOUND;
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int rc = getaddrinfo(Host.c_str(), nullptr, &hints, &list);
    if (rc != 0) {
        Error = SocketErrorFromResolver(rc);
        return false;
    }
    const addrinfo* pick = nullptr;
    for (const addrinfo* ai = list; ai; ai = ai->ai_next) {
        if (ai->ai_family == AF_INET) {
            pick = ai;
            break;
        }
        if (!pick && ai->ai_family == AF_INET6)
            pick = ai;
    }
    bool ok = false;
    if (pick && pick->ai_family == AF_INET) {
        std::memcpy(&a4, pick->ai_addr, sizeof(a4));
        a4.sin_port = htons(Port);
        StoreAddress(Address, &a4, sizeof(a4));
        ok = true;
    } else if (pick) {
        std::memcpy(&a6, pick->ai_addr, sizeof(a6));
        a6.sin6_port = htons(Port);
        StoreAddress(Address, &a6, sizeof(a6));
        ok = true;
    }
    freeaddrinfo(list);
    if (!ok)
        Error = WSANO_DATA;
    return ok;
}

TSocketAddress AnyAddress(Word Port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Port);
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    TSocketAddress r;
    StoreAddress(r, &a, sizeof(a));
    return r;
}

// ---------------------------------------------------------------------------
// Notices.

namespace {

constexpr UINT UM_SOCKETNOTICE = WM_APP + 0x3F01;
constexpr UINT UM_DEFERREDCALL = WM_APP + 0x3F02;

struct TEntry {
    UInt64 Serial = 0;
    TSocket Socket = INVALID_SOCKET;
    HWND Window = 0;
    UINT Msg = 0;
    int Events = 0;
    bool Listening = false;
    bool Connecting = false;
    bool WantWrite = false;
    bool Closed = false;  // FD_CLOSE was sent; nothing more comes
    std::unique_ptr<QSocketNotifier> ReadNotifier;
    std::unique_ptr<QSocketNotifier> WriteNotifier;
};

struct TRegistry {
    std::unordered_map<TSocket, std::unique_ptr<TEntry>> BySocket;
    std::unordered_map<UInt64, TEntry*> BySerial;
    UInt64 NextSerial = 1;
    HWND Router = 0;
    std::deque<std::function<void()>> Deferred;
};

TRegistry& Registry()
{
    static TRegistry* r = new TRegistry();  // lives as long as the process
    return *r;
}

void RouterProc(TMessage& Message);

HWND Router()
{
    TRegistry& r = Registry();
    if (!r.Router || !IsWindow(r.Router))
        r.Router = AllocateHWnd(&RouterProc);
    return r.Router;
}

void Post(TEntry& E, int Event, int Error)
{
    if (!(E.Events & Event) || !E.Window)
        return;
    PostMessage(Router(), UM_SOCKETNOTICE, WPARAM(E.Serial), MakeLParam(Event, Error));
}

void UpdateNotifiers(TEntry& E)
{
    const bool wantRead = E.Window && !E.Closed && !E.Connecting &&
                          (E.Events & (E.Listening ? FD_ACCEPT : (FD_READ | FD_CLOSE)));
    const bool wantWrite = E.Window && !E.Closed && (E.Connecting || (E.WantWrite && (E.Events & FD_WRITE)));
    if (E.ReadNotifier)
        E.ReadNotifier->setEnabled(wantRead);
    if (E.WriteNotifier)
        E.WriteNotifier->setEnabled(wantWrite);
}

void ReadReady(UInt64 Serial)
{
    auto it = Registry().BySerial.find(Serial);
    if (it == Registry().BySerial.end())
        return;
    TEntry& e = *it->second;
    // Level-triggered: quiet until the owner has read (or accepted).
    e.ReadNotifier->setEnabled(false);
    if (e.Listening) {
        Post(e, FD_ACCEPT, 0);
        return;
    }
    char b;
    const ssize_t n = recv(e.Socket, &b, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        if (e.Events & FD_READ)
            Post(e, FD_READ, 0);
        return;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        UpdateNotifiers(e);
        return;
    }
    const int error = n == 0 ? 0 : SocketErrorFromErrno(errno);
    e.Closed = true;
    UpdateNotifiers(e);
    Post(e, FD_CLOSE, error);
}

void WriteReady(UInt64 Serial)
{
    auto it = Registry().BySerial.find(Serial);
    if (it == Registry().BySerial.end())
        return;
    TEntry& e = *it->second;
    if (e.Connecting) {
        int err = 0;
        socklen_t len = sizeof(err);
        if (getsockopt(e.Socket, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
            err = errno;
        e.Connecting = false;
        if (err != 0)
            e.Closed = true;
        UpdateNotifiers(e);
        Post(e, FD_CONNECT, SocketErrorFromErrno(err));
        if (err == 0)
            Post(e, FD_WRITE, 0);
        return;
    }
    e.WantWrite = false;
    UpdateNotifiers(e);
    Post(e, FD_WRITE, 0);
}

TEntry& EnsureEntry(TSocket S)
{
    TRegistry& r = Registry();
    auto it = r.BySocket.find(S);
    if (it != r.BySocket.end())
        return *it->second;
    auto e = std::make_unique<TEntry>();
    e->Serial = r.NextSerial++;
    e->Socket = S;
    const UInt64 serial = e->Serial;
    e->ReadNotifier = std::make_unique<QSocketNotifier>(S, QSocketNotifier::Read);
    e->ReadNotifier->setEnabled(false);
    QObject::connect(e->ReadNotifier.get(), &QSocketNotifier::activated, [serial] { ReadReady(serial); });
    e->WriteNotifier = std::make_unique<QSocketNotifier>(S, QSocketNotifier::Write);
    e->WriteNotifier->setEnabled(false);
    QObject::connect(e->WriteNotifier.get(), &QSocketNotifier::activated, [serial] { WriteReady(serial); });
    TEntry& ref = *e;
    r.BySerial[serial] = e.get();
    r.BySocket[S] = std::move(e);
    return ref;
}

TEntry* FindEntry(TSocket S)
{
    auto it = Registry().BySocket.find(S);
    return it == Registry().BySocket.end() ? nullptr : it->second.get();
}

void DropEntry(TSocket S)
{
    TRegistry& r = Registry();
    auto it = r.BySocket.find(S);
    if (it == r.BySocket.end())
        return;
    r.BySerial.erase(it->second->Serial);
    r.BySocket.erase(it);
}

void RouterProc(TMessage& Message)
{
    TRegistry& r = Registry();
    if (Message.Msg == UM_SOCKETNOTICE) {
        auto it = r.BySerial.find(UInt64(Message.WParam));
        if (it == r.BySerial.end())
            return;  // closed since
        TEntry& e = *it->second;
        if (e.Window)
            SendMessage(e.Window, e.Msg, WPARAM(e.Socket), Message.LParam);
    } else if (Message.Msg == UM_DEFERREDCALL) {
        if (r.Deferred.empty())
            return;
        std::function<void()> fn = std::move(r.Deferred.front());
        r.Deferred.pop_front();
        fn();
    }
}

void SetNoDelay(TSocket S)
{
    int one = 1;
    setsockopt(S, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
}

} // namespace

// ---------------------------------------------------------------------------
// Socket calls.

TSocket OpenStreamSocket(int Family, int& Error)
{
    Error = 0;
    const TSocket s = socket(Family == AF_INET6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) {
        Error = SocketErrorFromErrno(errno);
        return INVALID_SOCKET;
    }
    return s;
}

bool ListenSocket(TSocket S, const TSocketAddress& Local, int Backlog, int& Error)
{
    Error = 0;
    int one = 1;
    setsockopt(S, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
    if (bind(S, AsSockaddr(Local), socklen_t(Local.Length)) != 0 || listen(S, Backlog) != 0) {
        Error = SocketErrorFromErrno(errno);
        return false;
    }
    TEntry& e = EnsureEntry(S);
    e.Listening = true;
    UpdateNotifiers(e);
    return true;
}

bool ConnectSocket(TSocket S, const TSocketAddress& Remote, int& Error)
{
    Error = 0;
    SetNoDelay(S);
    int rc;
    do
        rc = connect(S, AsSockaddr(Remote), socklen_t(Remote.Length));
    while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno != EINPROGRESS) {
        Error = SocketErrorFromErrno(errno);
        return false;
    }
    // Even a connect that is done at once reports through FD_CONNECT.
    TEntry& e = EnsureEntry(S);
    e.Connecting = true;
    UpdateNotifiers(e);
    return true;
}

TSocket AcceptSocket(TSocket Listener, TSocketAddress* Peer, int& Error)
{
    Error = 0;
    sockaddr_storage addr{};
    socklen_t len = sizeof(addr);
    TSocket s;
    do
        s = accept4(Listener, reinterpret_cast<sockaddr*>(&addr), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    while (s < 0 && errno == EINTR);
    if (TEntry* e = FindEntry(Listener))
        UpdateNotifiers(*e);
    if (s < 0) {
        Error = SocketErrorFromErrno(errno);
        return INVALID_SOCKET;
    }
    SetNoDelay(s);
    if (Peer)
        StoreAddress(*Peer, &addr, len);
    return s;
}

Int64 SendSocket(TSocket S, const void* Buffer, Int64 Count, int& Error)
{
    Error = 0;
    ssize_t n;
    do
        n = send(S, Buffer, std::size_t(Count), MSG_NOSIGNAL | MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        Error = SocketErrorFromErrno(errno);
    if (n < Count) {
        if (TEntry* e = FindEntry(S)) {
            e->WantWrite = true;
            UpdateNotifiers(*e);
        }
    }
    return n < 0 ? -1 : Int64(n);
}

Int64 ReceiveSocket(TSocket S, void* Buffer, Int64 Count, int& Error)
{
    Error = 0;
    ssize_t n;
    do
        n = recv(S, Buffer, std::size_t(Count), MSG_DONTWAIT);
    while (n < 0 && errno == EINTR);
    if (n < 0)
        Error = SocketErrorFromErrno(errno);
    if (TEntry* e = FindEntry(S))
        UpdateNotifiers(*e);
    return n < 0 ? -1 : Int64(n);
}

Int64 PendingBytes(TSocket S)
{
    int n = 0;
    if (ioctl(S, FIONREAD, &n) != 0)
        return 0;
    return n;
}

bool LocalAddress(TSocket S, TSocketAddress& Address)
{
    sockaddr_storage addr{};
    socklen_t len = sizeof(addr);
    if (getsockname(S, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return false;
    StoreAddress(Address, &addr, len);
    return true;
}

bool PeerAddress(TSocket S, TSocketAddress& Address)
{
    sockaddr_storage addr{};
    socklen_t len = sizeof(addr);
    if (getpeername(S, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return false;
    StoreAddress(Address, &addr, len);
    return true;
}

void CloseSocket(TSocket S)
{
    if (S == INVALID_SOCKET)
        return;
    DropEntry(S);
    close(S);
}

bool AsyncSelect(TSocket S, HWND Window, UINT Msg, int Events)
{
    if (S == INVALID_SOCKET)
        return false;
    if (Events == 0) {
        if (TEntry* e = FindEntry(S)) {
            e->Window = 0;
            e->Events = 0;
            UpdateNotifiers(*e);
        }
        return true;
    }
    Router();
    TEntry& e = EnsureEntry(S);
    e.Window = Window;
    e.Msg = Msg;
    e.Events = Events;
    UpdateNotifiers(e);
    return true;
}

String LocalHostName()
{
    char name[256] = {};
    if (gethostname(name, sizeof(name) - 1) != 0)
        return "localhost";
    return name;
}

String LocalIPAddress()
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    String result = "127.0.0.1";
    if (getaddrinfo(LocalHostName().c_str(), nullptr, &hints, &list) == 0) {
        if (list) {
            TSocketAddress a;
            StoreAddress(a, list->ai_addr, list->ai_addrlen);
            result = a.Host();
        }
        freeaddrinfo(list);
    }
    return result;
}

void QueueDeferredCall(std::function<void()> Fn)
{
    Registry().Deferred.push_back(std::move(Fn));
    PostMessage(Router(), UM_DEFERREDCALL);
}

bool RunMessagesUntil(const std::function<bool()>& Done, int TimeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
    if (!QCoreApplication::instance())
        return Done();
    QTimer wake;
    wake.setSingleShot(true);
    for (;;) {
        if (Done())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return Done();
        wake.start(int(std::min<long long>(left, 100)));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}
