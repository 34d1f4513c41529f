#include "platform/core/files.h"

#include "platform/core/exceptions.h"

#include <vector>

namespace morvane {

std::string SysErrorMessage(DWORD ErrorCode) {
  char* text = nullptr;
  const DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, ErrorCode, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string s;
  if (n != 0 && text != nullptr) s.assign(text, n);
  if (text != nullptr) ::LocalFree(text);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  if (s.empty()) s = "System error " + std::to_string(ErrorCode);
  return s;
}

TWinHandle CreateNewNumberedFile(const std::function<std::string(int)>& NameFor, std::string& Name, DWORD& Error,
                                 int Tries) {
  Error = ERROR_FILE_EXISTS;
  for (int n = 1; n <= Tries; ++n) {
    std::string name = NameFor(n);
    TWinHandle h(::CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (h) {
      Name = std::move(name);
      Error = 0;
      return h;
    }
    const DWORD e = ::GetLastError();
    if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) {
      Error = e ? e : ERROR_WRITE_FAULT;
      break;
    }
  }
  return TWinHandle();
}

bool FileExists(const std::string& FileName) {
  const DWORD a = ::GetFileAttributesA(FileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& Directory) {
  const DWORD a = ::GetFileAttributesA(Directory.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool ForceDirectories(const std::string& Dir) {
  if (Dir.empty()) throw EInOutError("Unable to create directory");
  std::string d = Dir;
  while (d.size() > 1 && (d.back() == '\\' || d.back() == '/')) d.pop_back();
  if (d.size() < 3) return DirectoryExists(d + "\\");  // a drive such as "C:"
  if (DirectoryExists(d)) return true;
  const size_t cut = d.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0 && !ForceDirectories(d.substr(0, cut))) return false;
  return ::CreateDirectoryA(d.c_str(), nullptr) != 0 || DirectoryExists(d);
}

bool DeleteFile(const std::string& FileName) { return ::DeleteFileA(FileName.c_str()) != 0; }

bool RenameFile(const std::string& OldName, const std::string& NewName) {
  return ::MoveFileA(OldName.c_str(), NewName.c_str()) != 0;
}

int FileGetAttr(const std::string& FileName) {
  return static_cast<int>(::GetFileAttributesA(FileName.c_str()));
}

int FileSetAttr(const std::string& FileName, int Attr) {
  if (::SetFileAttributesA(FileName.c_str(), static_cast<DWORD>(Attr))) return 0;
  return static_cast<int>(::GetLastError());
}

namespace {

// FILETIME (UTC) to a local DOS date-time; false outside the DOS range.
bool ToLocalDosTime(const FILETIME& utc, int& dos) {
  FILETIME local;
  WORD date = 0, time = 0;
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToDosDateTime(&local, &date, &time))
    return false;
  dos = static_cast<int>((static_cast<uint32_t>(date) << 16) | time);
  return true;
}

}  // namespace

int FileAge(const std::string& FileName) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!::GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &d)) return -1;
  if (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return -1;
  int dos = 0;
  return ToLocalDosTime(d.ftLastWriteTime, dos) ? dos : -1;
}

int64_t FileSize(const std::string& FileName) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  if (!::GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &d)) return -1;
  return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::string GetTempDir() {
  char buf[MAX_PATH + 1];
  const DWORD n = ::GetTempPathA(sizeof buf, buf);
  std::string s = (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string();
  if (!s.empty() && s.back() != '\\') s += '\\';
  return s;
}

std::string ProgramFileName() {
  std::vector<char> buf(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return std::string();
    if (n < buf.size()) return std::string(buf.data(), n);
    buf.resize(buf.size() * 2);
  }
}

// ---- FindFirst / FindNext ----------------------------------------------------

namespace {

constexpr int faSpecial = faHidden | faSysFile | faVolumeID | faDirectory;

// Skips entries with an excluded attribute and fills the record from the
// first entry that passes.
int FindMatchingFile(TSearchRec& F) {
  while ((F.FindData.dwFileAttributes & static_cast<DWORD>(F.ExcludeAttr)) != 0) {
    if (!::FindNextFileA(F.FindHandle.Get(), &F.FindData)) return static_cast<int>(::GetLastError());
  }
  if (!ToLocalDosTime(F.FindData.ftLastWriteTime, F.Time)) F.Time = 0;
  F.Size = (static_cast<int64_t>(F.FindData.nFileSizeHigh) << 32) | F.FindData.nFileSizeLow;
  F.Attr = static_cast<int>(F.FindData.dwFileAttributes);
  F.Name = F.FindData.cFileName;
  return 0;
}

}  // namespace

int FindFirst(const std::string& Path, int Attr, TSearchRec& F) {
  F.ExcludeAttr = ~Attr & faSpecial;
  F.FindHandle.Reset(::FindFirstFileA(Path.c_str(), &F.FindData));
  if (!F.FindHandle) return static_cast<int>(::GetLastError());
  const int r = FindMatchingFile(F);
  if (r != 0) FindClose(F);
  return r;
}

int FindNext(TSearchRec& F) {
  if (!F.FindHandle) return ERROR_NO_MORE_FILES;
  if (!::FindNextFileA(F.FindHandle.Get(), &F.FindData)) return static_cast<int>(::GetLastError());
  return FindMatchingFile(F);
}

void FindClose(TSearchRec& F) { F.FindHandle.Reset(); }

}  // namespace morvane
