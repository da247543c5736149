#pragma once
// Non-blocking TCP sockets whose readiness arrives as window messages.
//
// AsyncSelect asks for notices about a socket: each one is the message Msg
// sent to Window on the GUI thread, with the socket in WParam and
// MakeLParam(event, error) in LParam. The events, and when they come:
//   FD_ACCEPT   a connection waits on a listening socket; again after the
//               next AcceptSocket when more wait.
//   FD_READ     data waits; again after the next ReceiveSocket when data is
//               still there.
//   FD_CONNECT  once, when a connect started by ConnectSocket has finished;
//               the error says why it failed.
//   FD_WRITE    after a connect succeeded, and after a SendSocket that could
//               not take everything, once the socket takes data again.
//   FD_CLOSE    once: the peer closed (after everything it sent before has
//               been read) or the connection broke (with the error).
// Notices of a socket that has been closed since are dropped, even when a new
// socket got the same number.
//
// Errors are the socket layer's codes (WSAE..., 10004 and up; 11001 and up
// for host lookup), mapped from errno and the resolver; SocketErrorText gives
// their texts. Sends never raise SIGPIPE.
#include <functional>

#include "platform/Messages.h"
#include "platform/Types.h"

using TSocket = int;
constexpr TSocket INVALID_SOCKET = -1;

constexpr int FD_READ = 0x01;
constexpr int FD_WRITE = 0x02;
constexpr int FD_OOB = 0x04;
constexpr int FD_ACCEPT = 0x08;
constexpr int FD_CONNECT = 0x10;
constexpr int FD_CLOSE = 0x20;

constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

// The text of a socket-layer error code; "Not a WinSock error ?" for others.
String SocketErrorText(int Code);
int SocketErrorFromErrno(int Errno);
int SocketErrorFromResolver(int ResolverError);

// An address and port of either family.
struct TSocketAddress {
    alignas(8) Byte Data[128] = {};
    unsigned Length = 0;

    int Family() const;
    // "127.0.0.1", "::1"; empty for no address.
    String Host() const;
    Word Port() const;
};

// A dotted (or IPv6) address as it is, else the system resolver's first
// answer, IPv4 preferred. Blocks for the lookup.
bool ResolveHost(const String& Host, Word Port, TSocketAddress& Address, int& Error);
// Any local address (IPv4) on Port.
TSocketAddress AnyAddress(Word Port);

// A non-blocking stream socket of the address's family; INVALID_SOCKET and
// Error on failure.
TSocket OpenStreamSocket(int Family, int& Error);
// Binds (reusing the address, so a restarted server binds again at once)
// and listens.
bool ListenSocket(TSocket S, const TSocketAddress& Local, int Backlog, int& Error);
// Starts a connect; its end comes as FD_CONNECT. False for an immediate
// failure.
bool ConnectSocket(TSocket S, const TSocketAddress& Remote, int& Error);
// The next waiting connection (non-blocking) or INVALID_SOCKET, with
// WSAEWOULDBLOCK when none waits.
TSocket AcceptSocket(TSocket Listener, TSocketAddress* Peer, int& Error);
// Bytes sent, or -1 with Error (WSAEWOULDBLOCK when the socket takes nothing
// now).
Int64 SendSocket(TSocket S, const void* Buffer, Int64 Count, int& Error);
// Bytes read, 0 when the peer has closed, -1 with Error (WSAEWOULDBLOCK when
// nothing waits).
Int64 ReceiveSocket(TSocket S, void* Buffer, Int64 Count, int& Error);
// Bytes waiting to be read.
Int64 PendingBytes(TSocket S);
bool LocalAddress(TSocket S, TSocketAddress& Address);
bool PeerAddress(TSocket S, TSocketAddress& Address);
// Closes the socket and drops its notices.
void CloseSocket(TSocket S);

// Events 0 stops the notices.
bool AsyncSelect(TSocket S, HWND Window, UINT Msg, int Events);

String LocalHostName();
// The first IPv4 address of this computer's name; "127.0.0.1" when it has
// none.
String LocalIPAddress();

// Runs Fn from the event loop, after what is running now has returned.
void QueueDeferredCall(std::function<void()> Fn);

// Runs the event loop (sockets, posted messages, timers) until Done answers
// true or TimeoutMs have passed; answers Done's last answer. For tests and
// tools that drive the loop themselves.
bool RunMessagesUntil(const std::function<bool()>& Done, int TimeoutMs);
