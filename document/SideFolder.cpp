// Side folder paths, the lock file and the history copies.
#include "document/SideFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "document/DocumentHelpers.h"
#include "document/ScheduleDocument.h"
#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/TextFile.h"

namespace {

constexpr int MaxNameLength = 255;

std::u16string Limited(const String& Text)
{
    std::u16string units = Utf8ToUtf16(Text);
    if (units.size() > std::size_t(MaxNameLength))
        units.resize(MaxNameLength);
    return units;
}

void PutInt32(std::string& Out, std::int32_t Value)
{
    const auto v = std::uint32_t(Value);
    for (int i = 0; i < 4; ++i)
        Out.push_back(char((v >> (8 * i)) & 0xFF));
}

void PutUnits(std::string& Out, const std::u16string& Units)
{
    PutInt32(Out, std::int32_t(Units.size()));
    for (char16_t c : Units) {
        Out.push_back(char(c & 0xFF));
        Out.push_back(char((c >> 8) & 0xFF));
    }
}

// Reads one count and its characters from Bytes at Pos; false for a count
// that is negative, too long, or runs past the end.
bool TakeName(const std::string& Bytes, std::size_t& Pos, String& Name)
{
    if (Bytes.size() - Pos < 4 || Pos > Bytes.size())
        return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= std::uint32_t(Byte(Bytes[Pos + std::size_t(i)])) << (8 * i);
    Pos += 4;
    const auto count = std::int32_t(v);
    if (count < 0 || count > MaxNameLength || Bytes.size() - Pos < std::size_t(count) * 2)
        return false;
    std::u16string units;
    for (int i = 0; i < count; ++i) {
        units.push_back(char16_t(Byte(Bytes[Pos]) | (Byte(Bytes[Pos + 1]) << 8)));
        Pos += 2;
    }
    Name = Utf16ToUtf8(units);
    return true;
}

}  // namespace

String FileNameOnly(const String& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == String::npos ? Path : Path.substr(slash + 1);
}

String FolderOf(const String& Path)
{
    const std::size_t slash = Path.find_last_of('/');
    return slash == String::npos ? String("./") : Path.substr(0, slash + 1);
}

String SideFolderOf(const String& FileName)
{
    if (FileName.empty())
        return String();
    return FolderOf(FileName) + "__vek/" + FileNameOnly(FileName) + "/";
}

String HistoryFolderOf(const String& FileName) { return FileName.empty() ? String() : SideFolderOf(FileName) + "history/"; }
String PushFolderOf(const String& FileName) { return FileName.empty() ? String() : SideFolderOf(FileName) + "push/"; }
String BackupFolderOf(const String& FileName) { return FileName.empty() ? String() : SideFolderOf(FileName) + "backup/"; }
String LockFileOf(const String& FileName)
{
    return FileName.empty() ? String() : SideFolderOf(FileName) + FileNameOnly(FileName) + "~";
}

bool ForceDirectories(const String& Folder)
{
    if (Folder.empty())
        return false;
    String path;
    std::size_t pos = 0;
    while (pos <= Folder.size()) {
        const std::size_t slash = Folder.find('/', pos);
        const std::size_t end = slash == String::npos ? Folder.size() : slash;
        path = Folder.substr(0, end);
        if (!path.empty() && ::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == String::npos)
            break;
        pos = slash + 1;
    }
    struct stat st {};
    return ::stat(Folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void HideInFolder(const String& Folder, const String& Name)
{
    const String list = (Folder.empty() || Folder.back() == '/' ? Folder : Folder + "/") + ".hidden";
    String text;
    {
        const int fd = ::open(list.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            // A list of names; one larger than this is left alone.
            constexpr std::size_t MaxList = 1u << 20;
            char buffer[4096];
            ssize_t n = 0;
            while (text.size() < MaxList && ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
                if (n > 0)
                    text.append(buffer, std::size_t(n));
            ::close(fd);
            if (n < 0 || text.size() >= MaxList)
                return;
        }
    }
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == String::npos)
            end = text.size();
        String line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == Name)
            return;
        pos = end + 1;
    }
    const int fd = ::open(list.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const bool newline = !text.empty() && text.back() != '\n';
    WriteAllToFd(fd, (newline ? "\n" : "") + Name + "\n");
    ::close(fd);
}

String CurrentUserName()
{
    String name;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        name = pw->pw_name;
    else if (const char* env = std::getenv("USER"))
        name = env;
    return Utf16ToUtf8(Limited(name));
}

String CurrentMachineName()
{
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0)
        return String();
    return Utf16ToUtf8(Limited(buffer));
}

std::string MakeLockRecord(const String& User, const String& Machine)
{
    std::string out;
    PutUnits(out, Limited(User));
    PutUnits(out, Limited(Machine));
    return out;
}

void ReadLockRecord(const String& LockFile, String& User, String& Machine)
{
    User.clear();
    Machine.clear();
    const int fd = ::open(LockFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    // A record is at most two counts and 2 x 255 characters.
    std::string bytes;
    char buffer[4096];
    while (bytes.size() < 8 + 4 * MaxNameLength) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        bytes.append(buffer, std::size_t(n));
    }
    ::close(fd);
    std::size_t pos = 0;
    if (!TakeName(bytes, pos, User)) {
        User.clear();
        return;
    }
    if (!TakeName(bytes, pos, Machine))
        Machine.clear();
}

int AcquireLockFile(const String& LockFile, const String& User, const String& Machine, int* Error)
{
    int error = 0;
    int fd = -1;
    // A holder lets go by removing the file and then closing it: whoever
    // opened the old file just before locks a file that is gone, while the
    // next one makes a new file and locks that. So the lock counts only on
    // the file that is at the path now.
    for (int attempt = 0; attempt < 100 && fd < 0 && error == 0; ++attempt) {
        fd = ::open(LockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = errno;
            break;
        }
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;  // the whole file, however long it grows
        if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
            // Held by someone else (EAGAIN, EACCES); anything else is a reason.
            if (errno != EAGAIN && errno != EACCES)
                error = errno;
            ::close(fd);
            fd = -1;
            if (error == 0)
                break;
            continue;
        }
        struct stat mine {}, there {};
        if (::fstat(fd, &mine) != 0 || ::stat(LockFile.c_str(), &there) != 0 || mine.st_dev != there.st_dev ||
            mine.st_ino != there.st_ino) {
            ::close(fd);
            fd = -1;
        }
    }
    if (fd >= 0 &&
        // Ours now: only the holder ever truncates.
        (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0 || !WriteAllToFd(fd, MakeLockRecord(User, Machine)))) {
        error = errno != 0 ? errno : EIO;
        ::close(fd);
        fd = -1;
    }
    if (Error)
        *Error = fd >= 0 ? 0 : error;
    return fd;
}

void ReleaseLockFile(int Handle, const String& LockFile)
{
    if (Handle < 0)
        return;
    // Removed while still locked, so nobody takes over a file about to vanish.
    if (!LockFile.empty())
        ::unlink(LockFile.c_str());
    ::close(Handle);
}

String HistoryCopyName(const String& FileName, int Number) { return FileName + ".~" + IntToStr(Number) + "~"; }

void HistoryInfoIn(const String& Folder, const String& FileName, int& Count, int& Highest, int& Lowest)
{
    Count = 0;
    Highest = 0;
    Lowest = 0;
    DIR* dir = ::opendir(Folder.c_str());
    if (!dir)
        return;
    const String base = FileNameOnly(FileName);
    while (const dirent* entry = ::readdir(dir)) {
        const String name = entry->d_name;
        if (name.size() < base.size() || name.compare(0, base.size(), base) != 0)
            continue;
        struct stat st {};
        if (::stat((Folder + name).c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        const std::size_t dot = name.find_last_of('.');
        if (dot == String::npos)
            continue;
        // "~k~": digits only, so neither a sign nor a blank nor a
        // hexadecimal prefix makes a copy of something else.
        const String extension = name.substr(dot + 1);
        if (extension.size() < 3 || extension.size() > 11 || extension.front() != '~' || extension.back() != '~')
            continue;
        const String number = extension.substr(1, extension.size() - 2);
        if (number.find_first_not_of("0123456789") != String::npos)
            continue;
        const long long value = std::stoll(number);
        if (value < 1 || value > INT_MAX)
            continue;
        const int k = int(value);
        if (Count == 0 || k < Lowest)
            Lowest = k;
        if (Count == 0 || k > Highest)
            Highest = k;
        ++Count;
    }
    ::closedir(dir);
}

// ---- the document's side folder ---------------------------------------------------

String TScheduleDocument::GetTmpDirectory() const { return SideFolderOf(FCurrentFile); }
String TScheduleDocument::GetHistDirectory() const { return HistoryFolderOf(FCurrentFile); }
String TScheduleDocument::GetPushDirectory() const { return PushFolderOf(FCurrentFile); }
String TScheduleDocument::GetBackupPath() const { return BackupFolderOf(FCurrentFile); }
String TScheduleDocument::GetLockFileName() const { return LockFileOf(FCurrentFile); }

bool TScheduleDocument::LockFileFor(const String& FileName)
{
    FLockError = 0;
    if (FileName.empty())
        return false;
    if (FileName == FCurrentFile && FCurrentFileHandle >= 0)
        return true;
    int error = 0;
    for (const String& folder : {HistoryFolderOf(FileName), PushFolderOf(FileName), BackupFolderOf(FileName)})
        if (!ForceDirectories(folder) && error == 0)
            error = errno != 0 ? errno : EIO;
    HideInFolder(FolderOf(FileName), "__vek");
    const int fd = AcquireLockFile(LockFileOf(FileName), CurrentUserName(), CurrentMachineName(), &FLockError);
    if (fd < 0) {
        // The side folder that could not be made is the better reason.
        if (FLockError != 0 && error != 0)
            FLockError = error;
        return false;
    }
    // The new lock is held: only now let go of the old one.
    ReleaseLockFile(FCurrentFileHandle, GetLockFileName());
    FCurrentFile = FileName;
    FCurrentFileHandle = fd;
    UpdatePushWatch();
    return true;
}

void TScheduleDocument::SetCurrentFile(const String& FileName)
{
    if (FileName == FCurrentFile && (FileName.empty() || FCurrentFileHandle >= 0))
        return;
    if (!FileName.empty() && LockFileFor(FileName))
        return;
    ReleaseLockFile(FCurrentFileHandle, GetLockFileName());
    FCurrentFileHandle = -1;
    FCurrentFile.clear();
    UpdatePushWatch();
}

String TScheduleDocument::LockRefusal(const String& FileName, const char* Separator) const
{
    if (FLockError == 0)
        return FillText(Translate("File %s is used by %s.\\nChanges must be saved with a different name."),
                        {FileName, FileUser(FileName) + Separator + "(" + FileMachine(FileName) + ")"});
    return FillText(Translate("File %s cannot be locked (%s).\\nChanges must be saved with a different name."),
                    {FileName, std::strerror(FLockError)});
}

String TScheduleDocument::FileUser(const String& FileName) const
{
    String user, machine;
    ReadLockRecord(LockFileOf(FileName), user, machine);
    return user;
}

String TScheduleDocument::FileMachine(const String& FileName) const
{
    String user, machine;
    ReadLockRecord(LockFileOf(FileName), user, machine);
    return machine;
}

void TScheduleDocument::GetHistoryInfo(const String& Folder, const String& FileName, int& Count, int& Highest,
                                       int& Lowest)
{
    HistoryInfoIn(Folder, FileName, Count, Highest, Lowest);
}

String TScheduleDocument::MakeHistoryCopy(const String& FileName, int& Obsolete)
{
    Obsolete = -1;
    struct stat st {};
    if (::stat(FileName.c_str(), &st) != 0)
        return String();
    const String folder = HistoryFolderOf(FileName);
    ForceDirectories(folder);
    int count = 0, highest = 0, lowest = 0;
    GetHistoryInfo(folder, FileName, count, highest, lowest);
    const String copy = HistoryCopyName(folder + FileNameOnly(FileName), highest + 1);
    // A second name for the old file; where the file system has no hard
    // links, a copy of its bytes.
    if (::link(FileName.c_str(), copy.c_str()) != 0) {
        std::string bytes;
        const int fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw EFOpenError("Cannot read " + FileName + ": " + std::strerror(errno));
        char buffer[65536];
        ssize_t n = 0;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
            if (n > 0)
                bytes.append(buffer, std::size_t(n));
        const bool failed = n < 0;
        ::close(fd);
        if (failed)
            throw EReadError("Cannot read " + FileName + ": " + std::strerror(errno));
        WriteFileAtomic(copy, bytes);
    }
    if (count > FMaxHistoryFiles)
        Obsolete = lowest;
    return copy;
}
