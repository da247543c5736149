#include "platform/AtomicFile.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

String Reason(int error) { return std::strerror(error); }

// The file a name finally refers to, following symbolic links; the name
// itself when it does not exist yet or cannot be resolved.
String ResolvedTarget(const String& fileName)
{
    struct stat st {};
    if (::lstat(fileName.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return fileName;
    char resolved[PATH_MAX];
    if (::realpath(fileName.c_str(), resolved))
        return resolved;
    return fileName;
}

String FolderOf(const String& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == String::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Permissions a newly created file gets: 0666 less the process's umask,
// read without changing it (umask() would, for a moment, for all threads).
mode_t NewFileMode()
{
    mode_t mask = 022;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f)) {
            unsigned value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = mode_t(value);
                break;
            }
        }
        std::fclose(f);
    }
    return 0666 & ~mask;
}

} // namespace

void WriteFileAtomic(const String& fileName, const std::string& bytes)
{
    if (fileName.empty())
        throw EFCreateError("Cannot create file \"\". No file name");
    const String target = ResolvedTarget(fileName);
    const String folder = FolderOf(target);
    const auto slash = target.find_last_of('/');
    const String base = slash == String::npos ? target : target.substr(slash + 1);

    std::vector<char> temp(folder.begin(), folder.end());
    const String pattern = "/." + base + ".XXXXXX";
    temp.insert(temp.end(), pattern.begin(), pattern.end());
    temp.push_back('\0');
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + Reason(errno));
    const String tempName = temp.data();

    auto fail = [&](int error, const char* what) {
        ::close(fd);
        ::unlink(tempName.c_str());
        throw EWriteError(String(what) + " \"" + fileName + "\". " + Reason(error));
    };

    struct stat st {};
    const mode_t mode = ::stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    if (::fchmod(fd, mode) != 0)
        fail(errno, "Cannot write file");

    if (!WriteAllToFd(fd, bytes))
        fail(errno, "Cannot write file");
    if (::fsync(fd) != 0)
        fail(errno, "Cannot write file");
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(tempName.c_str());
        throw EWriteError("Cannot write file \"" + fileName + "\". " + Reason(error));
    }
    if (::rename(tempName.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(tempName.c_str());
        throw EWriteError("Cannot replace file \"" + fileName + "\". " + Reason(error));
    }
    // The rename itself survives a crash only once the folder is on the disk.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

bool WriteAllToFd(int fd, const std::string& bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        p += n;
        left -= std::size_t(n);
    }
    return true;
}
