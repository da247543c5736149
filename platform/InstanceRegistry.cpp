// TInstanceRegistry over a private folder, files replaced by rename, a
// folder watch (inotify) and one AF_UNIX stream socket per instance.
//
// Entry names are "<pid>-<serial>.instance" and "<pid>-<serial>.socket";
// the serial tells apart several registries of one process. The handle is
// the pid shifted left by HandleSerialBits with the serial below it, so it
// names the entry without a table. All file work goes through a descriptor
// of the folder, so a folder renamed or replaced under us is never written
// by path, and a socket path too long for the address is reached through
// /proc/self/fd.
#include "platform/AtomicFile.h"
#include "platform/InstanceRegistry.h"
#include "platform/SysUtils.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileSystemWatcher>
#include <QObject>
#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int HandleSerialBits = 20;
constexpr long MaxSerial = (1L << HandleSerialBits) - 1;
// A caption file bigger than this is not one of ours.
constexpr std::size_t MaxEntryFileSize = 16 * 1024;
// What the writer keeps at most: the caption in bytes, the escaped path.
constexpr std::size_t MaxCaptionBytes = 1024;
constexpr std::size_t MaxEscapedPath = 12 * 1024;
// Entries looked at per listing; a folder stuffed with more is not ours to
// walk to the end.
constexpr std::size_t MaxEntries = 512;
// Requests are one short line; a peer that sends more is cut off.
constexpr std::size_t MaxRequest = 64;
// Connections open at once; the oldest goes when another comes.
constexpr std::size_t MaxConnections = 8;
constexpr const char* ActivateRequest = "activate";
constexpr const char* EntrySuffix = ".instance";
constexpr const char* SocketSuffix = ".socket";

std::atomic<long> GNextSerial{1};

// Length of the valid UTF-8 sequence at S[I], 0 when there is none there.
std::size_t Utf8SequenceLength(const String& S, std::size_t I)
{
    const unsigned char c = static_cast<unsigned char>(S[I]);
    if (c < 0x80)
        return 1;
    std::size_t n;
    std::uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else
        return 0;
    if (I + n > S.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char t = static_cast<unsigned char>(S[I + k]);
        if ((t & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

bool IsValidUtf8(const String& S)
{
    for (std::size_t i = 0; i < S.size();) {
        const std::size_t n = Utf8SequenceLength(S, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

bool IsControl(unsigned char C) { return C < 0x20 || C == 0x7F; }

// A caption as the file holds it: one line of UTF-8 text.
String CleanCaption(const String& Text)
{
    String out;
    for (std::size_t i = 0; i < Text.size();) {
        const std::size_t n = Utf8SequenceLength(Text, i);
        if (out.size() + std::max<std::size_t>(n, 1) > MaxCaptionBytes)
            break;
        if (n == 0) {
            out += '?';
            ++i;
        } else if (n == 1) {
            out += IsControl(static_cast<unsigned char>(Text[i])) ? ' ' : Text[i];
            ++i;
        } else {
            out.append(Text, i, n);
            i += n;
        }
    }
    return out;
}

// A path may hold any byte but NUL; the file holds it on one line of UTF-8,
// with '%', control characters and bytes that are not UTF-8 as %XX.
String EscapePath(const String& Path)
{
    static const char Hex[] = "0123456789ABCDEF";
    String out;
    for (std::size_t i = 0; i < Path.size();) {
        const std::size_t n = Utf8SequenceLength(Path, i);
        const unsigned char c = static_cast<unsigned char>(Path[i]);
        if (n > 1) {
            out.append(Path, i, n);
            i += n;
            continue;
        }
        if (n == 0 || c == '%' || IsControl(c)) {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else
            out += char(c);
        ++i;
    }
    return out;
}

int HexDigit(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return -1;
}

bool UnescapePath(const String& Text, String& Path)
{
    Path.clear();
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] != '%') {
            Path += Text[i];
            continue;
        }
        if (i + 2 >= Text.size())
            return false;
        const int hi = HexDigit(Text[i + 1]);
        const int lo = HexDigit(Text[i + 2]);
        if (hi < 0 || lo < 0 || (hi == 0 && lo == 0))
            return false;
        Path += char(hi * 16 + lo);
        i += 2;
    }
    return true;
}

String EntryBase(int Pid, long Serial) { return std::to_string(Pid) + "-" + std::to_string(Serial); }

NativeInt MakeHandle(int Pid, long Serial) { return (NativeInt(Pid) << HandleSerialBits) | NativeInt(Serial); }

bool SplitHandle(NativeInt Handle, int& Pid, long& Serial)
{
    if (Handle <= 0)
        return false;
    Serial = long(Handle & MaxSerial);
    const NativeInt pid = Handle >> HandleSerialBits;
    if (Serial == 0 || pid <= 0 || pid > 0x7FFFFFFF)
        return false;
    Pid = int(pid);
    return true;
}

// "<pid>-<serial>.instance" with plain decimal numbers in range; anything
// else in the folder is none of ours.
bool ParseEntryName(const String& Name, int& Pid, long& Serial)
{
    const std::size_t suffix = std::strlen(EntrySuffix);
    if (Name.size() <= suffix || Name.compare(Name.size() - suffix, suffix, EntrySuffix) != 0)
        return false;
    const String base = Name.substr(0, Name.size() - suffix);
    const std::size_t dash = base.find('-');
    if (dash == String::npos || dash == 0 || dash > 10 || base.size() - dash - 1 == 0 || base.size() - dash - 1 > 7)
        return false;
    long long pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (base[i] < '0' || base[i] > '9')
            return false;
        pid = pid * 10 + (base[i] - '0');
    }
    long serial = 0;
    for (std::size_t i = dash + 1; i < base.size(); ++i) {
        if (base[i] < '0' || base[i] > '9')
            return false;
        serial = serial * 10 + (base[i] - '0');
    }
    if (pid <= 0 || pid > 0x7FFFFFFF || serial <= 0 || serial > MaxSerial)
        return false;
    // No leading zeros: one entry has one name.
    if (base[0] == '0' || base[dash + 1] == '0')
        return false;
    Pid = int(pid);
    Serial = serial;
    return true;
}

// The caption file's text: the caption, then the escaped path.
bool ParseEntryText(const String& Text, String& Caption, String& Path)
{
    if (!IsValidUtf8(Text))
        return false;
    const std::size_t eol = Text.find('\n');
    if (eol == String::npos)
        return false;
    // No writer makes longer lines: such a file is not an entry.
    if (eol > MaxCaptionBytes)
        return false;
    Caption = Text.substr(0, eol);
    String rest = Text.substr(eol + 1);
    const std::size_t eol2 = rest.find('\n');
    if (eol2 != String::npos) {
        if (eol2 + 1 != rest.size())
            return false;
        rest.resize(eol2);
    }
    if (rest.size() > MaxEscapedPath)
        return false;
    for (char c : Caption)
        if (IsControl(static_cast<unsigned char>(c)))
            return false;
    for (char c : rest)
        if (IsControl(static_cast<unsigned char>(c)))
            return false;
    return UnescapePath(rest, Path);
}

// Reads a regular file of at most MaxEntryFileSize bytes; never waits (a
// FIFO planted under an entry's name is refused, not read).
bool ReadSmallFile(int DirFd, const String& Name, String& Text)
{
    const int fd = ::openat(DirFd, Name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= MaxEntryFileSize;
    Text.clear();
    if (ok) {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            Text.append(buf, std::size_t(n));
            if (Text.size() > MaxEntryFileSize) {
                ok = false;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}


// The address of socket Name in the folder: its path when that fits the
// address, else the same place reached through the folder's descriptor.
bool SocketAddressOf(int DirFd, const String& Folder, const String& Name, sockaddr_un& Address, socklen_t& Length)
{
    std::memset(&Address, 0, sizeof Address);
    Address.sun_family = AF_UNIX;
    String path = Folder + Name;
    if (path.size() >= sizeof Address.sun_path)
        path = "/proc/self/fd/" + std::to_string(DirFd) + "/" + Name;
    if (path.size() >= sizeof Address.sun_path)
        return false;
    std::memcpy(Address.sun_path, path.data(), path.size());
    Length = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return true;
}

enum class TProbe { Listening, Gone, Unknown };

// Connects to the socket Name and, when Request is given, sends it. Gone:
// nobody listens there (no socket, or its process ended).
TProbe ConnectTo(int DirFd, const String& Folder, const String& Name, const char* Request)
{
    sockaddr_un address;
    socklen_t length = 0;
    if (!SocketAddressOf(DirFd, Folder, Name, address, length))
        return TProbe::Unknown;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return TProbe::Unknown;
    TProbe result;
    int rc;
    do
        rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        result = TProbe::Listening;
        if (Request) {
            const String line = String(Request) + "\n";
            const ssize_t n = ::send(fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n != ssize_t(line.size()))
                result = TProbe::Unknown;
        }
    } else if (errno == ECONNREFUSED || errno == ENOENT)
        result = TProbe::Gone;
    else if (errno == EAGAIN)
        // A full queue: it is there, only busy.
        result = Request ? TProbe::Unknown : TProbe::Listening;
    else
        result = TProbe::Unknown;
    ::close(fd);
    return result;
}

String TempName(const String& Base) { return "." + Base + ".tmp"; }

// Also the half-written file of a writer that died before its rename.
void RemoveEntryFiles(int DirFd, const String& Base)
{
    ::unlinkat(DirFd, (Base + EntrySuffix).c_str(), 0);
    ::unlinkat(DirFd, (Base + SocketSuffix).c_str(), 0);
    ::unlinkat(DirFd, TempName(Base).c_str(), 0);
}

String StripSlash(const String& Folder)
{
    String f = Folder;
    while (f.size() > 1 && f.back() == '/')
        f.pop_back();
    return f;
}

bool SameFile(const String& A, const String& B)
{
    if (A == B)
        return true;
    struct stat sa {}, sb {};
    return ::stat(A.c_str(), &sa) == 0 && ::stat(B.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool VEKWindowName(const String& Caption, String& Name)
{
    // The list reads at most 255 characters of a window's text.
    std::size_t end = 0;
    for (int chars = 0; end < Caption.size() && chars < 255; ++chars) {
        const std::size_t n = Utf8SequenceLength(Caption, end);
        end += n ? n : 1;
    }
    const String text = Caption.substr(0, end);
    if (text.size() <= 6 || text.compare(0, 6, "VEK - ") != 0)
        return false;
    Name = text.substr(6);
    return true;
}

struct TInstanceRegistry::TImpl {
    struct TConnection {
        int Fd = -1;
        std::unique_ptr<QSocketNotifier> Notifier;
        String Buffer;
    };
    int DirFd = -1;
    int ListenFd = -1;
    int Pid = 0;
    long Serial = 0;
    String Base;
    std::unique_ptr<QObject> Context;
    std::unique_ptr<QFileSystemWatcher> Watcher;
    std::unique_ptr<QSocketNotifier> ListenNotifier;
    std::vector<TConnection> Connections;
    bool LookupPending = false;
    // Queued calls check it, so none runs on a registry that is gone.
    std::shared_ptr<int> Alive = std::make_shared<int>(0);
};

TInstanceRegistry::TInstanceRegistry(TComponent* AOwner) : TComponent(AOwner), FImpl(std::make_unique<TImpl>()) {}

TInstanceRegistry::~TInstanceRegistry()
{
    Stop();
    FImpl->Alive.reset();
}

String TInstanceRegistry::DefaultFolder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') {
        struct stat st {};
        if (::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
            return StripSlash(runtime) + (String(runtime) == "/" ? "vek/" : "/vek/");
    }
    return "/tmp/vek-" + std::to_string(::geteuid()) + "/";
}

void TInstanceRegistry::SetFolder(const String& Folder)
{
    if (!Active())
        FFolderOverride = Folder;
}

bool TInstanceRegistry::Active() const { return FImpl->ListenFd >= 0; }

bool TInstanceRegistry::Start()
{
    if (Active())
        return true;
    FLastError.clear();
    if (!QCoreApplication::instance()) {
        FLastError = "No event loop to report through";
        return false;
    }
    const String folder = StripSlash(FFolderOverride.empty() ? DefaultFolder() : FFolderOverride);
    if (folder.empty() || folder == "/") {
        FLastError = "No folder for the instance registry";
        return false;
    }
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        FLastError = "Cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0) {
        FLastError = "Cannot open " + folder + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(dirFd, &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 077) != 0) {
        // Someone else could plant entries or read captions there.
        FLastError = folder + " is not a private folder of this user";
        ::close(dirFd);
        return false;
    }
    FImpl->DirFd = dirFd;
    FFolder = folder + "/";

    // A socket of our name left by a process that had our pid before is
    // taken over; one that still answers (a shared folder seen from another
    // pid space) makes us pick the next serial.
    const int pid = int(::getpid());
    int listenFd = -1;
    long serial = 0;
    // Binds the socket of Base: the descriptor, -1 when the name is taken by
    // a live socket, -2 for a failure no other name mends.
    auto bindAs = [&](const String& Base) -> int {
        sockaddr_un address;
        socklen_t length = 0;
        if (!SocketAddressOf(dirFd, FFolder, Base + SocketSuffix, address, length)) {
            FLastError = "The folder's path is too long for a socket";
            return -2;
        }
        for (int retry = 0; retry < 2; ++retry) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            if (fd < 0) {
                FLastError = String("Cannot open a socket: ") + std::strerror(errno);
                return -2;
            }
            if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
                if (::listen(fd, 16) == 0)
                    return fd;
                FLastError = String("Cannot listen on the instance socket: ") + std::strerror(errno);
                ::close(fd);
                ::unlinkat(dirFd, (Base + SocketSuffix).c_str(), 0);
                return -2;
            }
            const int error = errno;
            ::close(fd);
            if (error != EADDRINUSE) {
                FLastError = String("Cannot open the instance socket: ") + std::strerror(error);
                return -2;
            }
            if (ConnectTo(dirFd, FFolder, Base + SocketSuffix, nullptr) != TProbe::Gone)
                return -1;
            RemoveEntryFiles(dirFd, Base);
        }
        return -1;
    };
    for (int attempt = 0; attempt < 32; ++attempt) {
        serial = GNextSerial.fetch_add(1);
        if (serial > MaxSerial)
            break;
        const int fd = bindAs(EntryBase(pid, serial));
        if (fd >= 0)
            listenFd = fd;
        if (fd != -1)
            break;
    }
    if (listenFd < 0) {
        if (FLastError.empty())
            FLastError = "Cannot open the instance socket";
        ::close(dirFd);
        FImpl->DirFd = -1;
        FFolder.clear();
        return false;
    }
    FImpl->ListenFd = listenFd;
    FImpl->Pid = pid;
    FImpl->Serial = serial;
    FImpl->Base = EntryBase(pid, serial);
    FHandle = MakeHandle(pid, serial);

    FImpl->Context = std::make_unique<QObject>();
    FImpl->ListenNotifier = std::make_unique<QSocketNotifier>(qintptr(listenFd), QSocketNotifier::Read);
    QObject::connect(FImpl->ListenNotifier.get(), &QSocketNotifier::activated, FImpl->Context.get(),
                     [this] { AcceptConnections(); });
    FImpl->Watcher = std::make_unique<QFileSystemWatcher>();
    QObject::connect(FImpl->Watcher.get(), &QFileSystemWatcher::directoryChanged, FImpl->Context.get(),
                     [this](const QString&) { ScheduleLookup(); });
    FImpl->Watcher->addPath(QString::fromUtf8(FFolder.data(), qsizetype(FFolder.size())));

    if (!WriteEntry()) {
        FLastError = "Cannot write the instance file in " + FFolder;
        Stop();
        return false;
    }
    return true;
}

void TInstanceRegistry::Stop()
{
    if (!Active())
        return;
    FImpl->Watcher.reset();
    FImpl->ListenNotifier.reset();
    for (TImpl::TConnection& c : FImpl->Connections) {
        c.Notifier.reset();
        ::close(c.Fd);
    }
    FImpl->Connections.clear();
    FImpl->Context.reset();
    FImpl->LookupPending = false;
    // The file first: a reader that still finds it then finds no socket and
    // drops it, never the other way round.
    ::unlinkat(FImpl->DirFd, (FImpl->Base + EntrySuffix).c_str(), 0);
    ::close(FImpl->ListenFd);
    FImpl->ListenFd = -1;
    ::unlinkat(FImpl->DirFd, (FImpl->Base + SocketSuffix).c_str(), 0);
    ::close(FImpl->DirFd);
    FImpl->DirFd = -1;
    FImpl->Base.clear();
    FHandle = 0;
    FFolder.clear();
}

void TInstanceRegistry::SetCaption(const String& Text) { SetCaption(Text, FDocumentPath); }

void TInstanceRegistry::SetCaption(const String& Text, const String& DocumentPath)
{
    const String caption = CleanCaption(Text);
    // Others compare by this name from their own folders: never relative.
    const String path = ExpandFileName(DocumentPath);
    if (caption == FCaption && path == FDocumentPath)
        return;
    FCaption = caption;
    FDocumentPath = path;
    if (Active())
        WriteEntry();
}

String FormatInstanceEntry(const String& Caption, const String& DocumentPath)
{
    String path = EscapePath(DocumentPath);
    if (path.size() > MaxEscapedPath)
        path.clear();
    return CleanCaption(Caption) + "\n" + path + "\n";
}

bool ParseInstanceEntry(const String& Text, String& Caption, String& DocumentPath)
{
    return ParseEntryText(Text, Caption, DocumentPath);
}

bool TInstanceRegistry::WriteEntry()
{
    const String text = FormatInstanceEntry(FCaption, FDocumentPath);
    const String temp = TempName(FImpl->Base);
    const int fd = ::openat(FImpl->DirFd, temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = WriteAllToFd(fd, text);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed ||
        ::renameat(FImpl->DirFd, temp.c_str(), FImpl->DirFd, (FImpl->Base + EntrySuffix).c_str()) != 0) {
        ::unlinkat(FImpl->DirFd, temp.c_str(), 0);
        return false;
    }
    // Our own list changes too, whether or not the watch tells us.
    ScheduleLookup();
    return true;
}

std::vector<TInstanceEntry> TInstanceRegistry::Windows()
{
    std::vector<TInstanceEntry> out;
    if (!Active())
        return out;
    const int listFd = ::openat(FImpl->DirFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return out;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return out;
    }
    struct TFound {
        int Pid;
        long Serial;
    };
    std::vector<TFound> found;
    std::size_t seen = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (++seen > MaxEntries)
            break;
        int pid = 0;
        long serial = 0;
        if (ParseEntryName(e->d_name, pid, serial))
            found.push_back({pid, serial});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const TFound& A, const TFound& B) { return MakeHandle(A.Pid, A.Serial) < MakeHandle(B.Pid, B.Serial); });

    struct TListed {
        Int64 Started;
        TInstanceEntry Entry;
    };
    std::vector<TListed> listed;
    for (const TFound& f : found) {
        const String base = EntryBase(f.Pid, f.Serial);
        const bool self = f.Pid == FImpl->Pid && f.Serial == FImpl->Serial;
        if (!self) {
            const TProbe probe = ConnectTo(FImpl->DirFd, FFolder, base + SocketSuffix, nullptr);
            if (probe == TProbe::Gone) {
                RemoveEntryFiles(FImpl->DirFd, base);
                continue;
            }
            if (probe != TProbe::Listening)
                continue;
        }
        TInstanceEntry entry;
        String text;
        if (!ReadSmallFile(FImpl->DirFd, base + EntrySuffix, text) || !ParseEntryText(text, entry.Caption, entry.DocumentPath))
            continue;
        entry.Handle = MakeHandle(f.Pid, f.Serial);
        entry.ProcessId = f.Pid;
        entry.Self = self;
        struct stat st {};
        Int64 started = 0;
        if (::fstatat(FImpl->DirFd, (base + SocketSuffix).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
            started = Int64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        listed.push_back({started, std::move(entry)});
    }
    std::stable_sort(listed.begin(), listed.end(), [](const TListed& A, const TListed& B) { return A.Started < B.Started; });
    out.reserve(listed.size());
    for (TListed& l : listed)
        out.push_back(std::move(l.Entry));
    return out;
}

std::vector<TInstanceEntry> TInstanceRegistry::VEKWindows()
{
    std::vector<TInstanceEntry> out;
    for (TInstanceEntry& e : Windows()) {
        String name;
        if (VEKWindowName(e.Caption, name)) {
            e.Caption = std::move(name);
            out.push_back(std::move(e));
        }
    }
    return out;
}

bool TInstanceRegistry::Activate(NativeInt Handle)
{
    int pid = 0;
    long serial = 0;
    if (!Active() || !SplitHandle(Handle, pid, serial))
        return false;
    const String base = EntryBase(pid, serial);
    const TProbe probe = ConnectTo(FImpl->DirFd, FFolder, base + SocketSuffix, ActivateRequest);
    if (probe == TProbe::Gone && Handle != FHandle)
        RemoveEntryFiles(FImpl->DirFd, base);
    return probe == TProbe::Listening;
}

bool TInstanceRegistry::FindInstanceShowing(const String& Path, TInstanceEntry& Entry)
{
    if (Path.empty())
        return false;
    const String path = ExpandFileName(Path);
    for (TInstanceEntry& e : Windows()) {
        if (!e.Self && !e.DocumentPath.empty() && SameFile(e.DocumentPath, path)) {
            Entry = std::move(e);
            return true;
        }
    }
    return false;
}

bool TInstanceRegistry::ActivateInstanceShowing(const String& Path)
{
    TInstanceEntry e;
    return FindInstanceShowing(Path, e) && Activate(e.Handle);
}

void TInstanceRegistry::DoLookup()
{
    if (OnLookup)
        OnLookup(this);
}

void TInstanceRegistry::DoActivate()
{
    if (OnActivate)
        OnActivate(this);
}

void TInstanceRegistry::ScheduleLookup()
{
    if (FImpl->LookupPending || !FImpl->Context)
        return;
    FImpl->LookupPending = true;
    std::weak_ptr<int> alive = FImpl->Alive;
    QMetaObject::invokeMethod(
        FImpl->Context.get(),
        [this, alive] {
            if (alive.expired())
                return;
            FImpl->LookupPending = false;
            DoLookup();
        },
        Qt::QueuedConnection);
}

void TInstanceRegistry::ScheduleActivate()
{
    if (!FImpl->Context)
        return;
    std::weak_ptr<int> alive = FImpl->Alive;
    QMetaObject::invokeMethod(
        FImpl->Context.get(),
        [this, alive] {
            if (!alive.expired())
                DoActivate();
        },
        Qt::QueuedConnection);
}

void TInstanceRegistry::AcceptConnections()
{
    for (;;) {
        const int fd = ::accept4(FImpl->ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (FImpl->Connections.size() >= MaxConnections)
            CloseConnection(FImpl->Connections.front().Fd);
        TImpl::TConnection c;
        c.Fd = fd;
        c.Notifier = std::make_unique<QSocketNotifier>(qintptr(fd), QSocketNotifier::Read);
        QObject::connect(c.Notifier.get(), &QSocketNotifier::activated, FImpl->Context.get(),
                         [this, fd] { ReadConnection(fd); });
        FImpl->Connections.push_back(std::move(c));
    }
}

void TInstanceRegistry::ReadConnection(int Fd)
{
    auto it = std::find_if(FImpl->Connections.begin(), FImpl->Connections.end(),
                           [Fd](const TImpl::TConnection& c) { return c.Fd == Fd; });
    if (it == FImpl->Connections.end())
        return;
    char buf[MaxRequest + 1];
    bool done = false;
    for (;;) {
        const ssize_t n = ::recv(Fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            done = errno != EAGAIN && errno != EWOULDBLOCK;
            break;
        }
        if (n == 0) {
            done = true;
            break;
        }
        it->Buffer.append(buf, std::size_t(n));
        if (it->Buffer.find('\n') != String::npos || it->Buffer.size() > MaxRequest) {
            done = true;
            break;
        }
    }
    if (!done)
        return;
    const std::size_t eol = it->Buffer.find('\n');
    const bool activate = eol != String::npos && it->Buffer.compare(0, eol, ActivateRequest) == 0 &&
                          eol == std::strlen(ActivateRequest);
    CloseConnection(Fd);
    if (activate)
        ScheduleActivate();
}

void TInstanceRegistry::CloseConnection(int Fd)
{
    auto it = std::find_if(FImpl->Connections.begin(), FImpl->Connections.end(),
                           [Fd](const TImpl::TConnection& c) { return c.Fd == Fd; });
    if (it == FImpl->Connections.end())
        return;
    it->Notifier.reset();
    ::close(it->Fd);
    FImpl->Connections.erase(it);
}
