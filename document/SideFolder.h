#pragma once
// The hidden folder beside a document (history copies, backups, the push
// folder and the lock file) and the lock that keeps a second user out.
//
// The lock file holds one record: an Int32 count and that many UTF-16 code
// units of the user name, then the same for the computer name (little
// endian). The holder keeps an open-file-description lock on the whole file
// for as long as the document is open; the system drops it when the holder
// dies, so a file left behind by a crash stops nobody.
#include "platform/Types.h"

// "<dir>/__vek/<file>/" for "<dir>/<file>".
String SideFolderOf(const String& FileName);
String HistoryFolderOf(const String& FileName);
String PushFolderOf(const String& FileName);
String BackupFolderOf(const String& FileName);
String LockFileOf(const String& FileName);

// Creates the folder and any missing parents; false when that failed.
bool ForceDirectories(const String& Folder);
// Adds the line Name to the ".hidden" list of Folder (which file managers
// honour) unless it is there; other lines stay as they are. Failures are
// ignored: the list is only a convenience.
void HideInFolder(const String& Folder, const String& Name);

// The logged-on user and this computer, each at most 255 characters.
String CurrentUserName();
String CurrentMachineName();

// The record of a lock file (user, machine); a missing file, or counts
// outside 0..255 or past the file's end, give empty names.
void ReadLockRecord(const String& LockFile, String& User, String& Machine);
// The bytes of a record.
std::string MakeLockRecord(const String& User, const String& Machine);

// Takes the lock: opens (creating, not truncating) the lock file, locks it
// whole, makes sure it is still the file at that path, and only then
// replaces its contents by the record. The open descriptor, or -1 when
// someone else holds it (Error 0) or the lock cannot be had for another
// reason (Error the system's error number).
int AcquireLockFile(const String& LockFile, const String& User, const String& Machine, int* Error = nullptr);
// Deletes the lock file and closes the descriptor (a no-op for -1).
void ReleaseLockFile(int Handle, const String& LockFile);

// Numbered copies "<file>.~<k>~" in Folder, k decimal digits and at least
// 1: how many, the highest and the lowest number (Count 0, Highest 0,
// Lowest 0 when none).
void HistoryInfoIn(const String& Folder, const String& FileName, int& Count, int& Highest, int& Lowest);
// "<file>.~<k>~"
String HistoryCopyName(const String& FileName, int Number);
// The last path component, and the folder with its trailing "/".
String FileNameOnly(const String& Path);
String FolderOf(const String& Path);
