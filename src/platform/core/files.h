// File and folder functions, directory enumeration with the toolkit's
// attribute filter, and the system's error texts.
#pragma once

#include "platform/core/handles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace morvane {

// The system's message for an error code, without the trailing line end.
std::string SysErrorMessage(DWORD ErrorCode);

// Creates a new file for writing under the first of NameFor(1), NameFor(2),
// ... NameFor(Tries) that does not exist yet (CREATE_NEW: a file someone else
// made is never taken over). Only "exists" moves on to the next name; any
// other failure ends the search. Name gets the name used; on failure the
// handle is empty and Error holds the reason.
TWinHandle CreateNewNumberedFile(const std::function<std::string(int)>& NameFor, std::string& Name, DWORD& Error,
                                 int Tries = 1000);

// True for an existing file (not a folder).
bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Directory);
// Creates the folder and every missing folder above it; true when the folder
// exists afterwards. An empty name raises EInOutError.
bool ForceDirectories(const std::string& Dir);
bool DeleteFile(const std::string& FileName);
bool RenameFile(const std::string& OldName, const std::string& NewName);

// File attributes (FILE_ATTRIBUTE_*), -1 when the file cannot be found.
int FileGetAttr(const std::string& FileName);
// 0 on success, else the system's error code.
int FileSetAttr(const std::string& FileName, int Attr);
// Last write time as a local DOS date-time (date in the high word), -1 when
// the file does not exist, is a folder or has a time outside the DOS range.
int FileAge(const std::string& FileName);
// Size in bytes, -1 when the file cannot be found.
int64_t FileSize(const std::string& FileName);

// The temporary folder, with a trailing backslash.
std::string GetTempDir();
// Full path of the running program.
std::string ProgramFileName();

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// One directory entry found by FindFirst/FindNext. It owns the enumeration
// handle, so an enumeration left without FindClose is still closed.
struct TSearchRec {
  int Time = 0;       // last write time, local DOS date-time
  int64_t Size = 0;
  int Attr = 0;       // FILE_ATTRIBUTE_* of the entry
  std::string Name;   // name without folder
  int ExcludeAttr = 0;
  TFindHandle FindHandle;
  WIN32_FIND_DATAA FindData{};
};

// Starts enumerating Path (a folder plus a mask such as "C:\x\*.*").
// Entries with the hidden, system, volume or directory attribute are
// returned only when Attr includes that attribute; read-only and archive
// never keep an entry out. Returns 0 when an entry was found, else the
// system's error code (the enumeration is then closed).
int FindFirst(const std::string& Path, int Attr, TSearchRec& F);
// The next matching entry: 0, or the system's error code at the end.
int FindNext(TSearchRec& F);
void FindClose(TSearchRec& F);

}  // namespace morvane
