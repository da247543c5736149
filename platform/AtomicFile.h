#pragma once
// Replacing a file without ever leaving a half-written one behind.
#include "platform/Types.h"

#include <string>

// Writes bytes as the whole new contents of fileName: into a temporary file
// in the same folder, flushed to the disk, then renamed over the target (a
// symbolic link is followed, so the file it points to is replaced). A new
// file gets the usual permissions, an existing one keeps its own. On any
// failure the temporary file is removed, the old file is untouched and
// EFCreateError (cannot create) or EWriteError (write, flush or rename
// failed) is raised with the file name and the system's reason.
void WriteFileAtomic(const String& fileName, const std::string& bytes);

// Writes all of bytes to an open descriptor, going on after interruptions
// and short writes. False on failure, with errno set (a write that takes
// nothing counts as a full disk).
bool WriteAllToFd(int fd, const std::string& bytes);
