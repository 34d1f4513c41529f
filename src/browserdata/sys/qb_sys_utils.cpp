#include "browserdata/sys/qb_sys_utils.h"

#include <memory>

#include "browserdata/sys/tell_user.h"
#include "platform/core/exceptions.h"
#include "platform/core/handles.h"

namespace morvane {
namespace {

using TMoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// MoveFileExA is looked up once; systems without it get the stand-in.
bool CallMoveFileEx(const char* existing, const char* newName, uint32_t flags) {
  static const TMoveFileExFn bound = [] {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<TMoveFileExFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "MoveFileExA")))
                  : nullptr;
  }();
  if (bound) return bound(existing, newName, flags) != 0;
  return PoorManMoveFileEx(existing, newName, flags);
}

std::string FolderOf(const std::string& path) {
  size_t at = path.find_last_of("\\:");
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

TFindHandle FindFirst(const std::string& mask, WIN32_FIND_DATAA& fd) {
  return TFindHandle(FindFirstFileA(mask.c_str(), &fd));
}

std::string TrimKeySlashes(std::string key) {
  size_t b = key.find_first_not_of('\\');
  key.erase(0, b == std::string::npos ? key.size() : b);
  while (!key.empty() && key.back() == '\\') key.pop_back();
  return key;
}

bool QueryStringValue(HKEY key, const std::string& name, std::string& value) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::string buf(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) != ERROR_SUCCESS)
    return false;
  buf.resize(got);
  while (!buf.empty() && buf.back() == '\0') buf.pop_back();
  value = buf;
  return true;
}

// Days since 1899-12-30 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;  // 1970-01-01 is day 25569
}

}  // namespace

void GetSpecialFolderPath(HWND Owner, int CSIDL, std::string& Path) {
  LPITEMIDLIST pidl = nullptr;
  char buf[MAX_PATH + 1] = {};
  bool ok = SUCCEEDED(SHGetSpecialFolderLocation(Owner, CSIDL, &pidl)) && pidl && SHGetPathFromIDListA(pidl, buf);
  if (pidl) CoTaskMemFree(pidl);
  if (!ok) throw Exception("SHGetPathFromIDList failed : invalid pidl");
  Path = buf;
}

bool DeleteFileOrOnReboot(const std::string& FileName, bool OnReboot) {
  try {
    if (OnReboot)
      MoveFileExChecked(FileName.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    else
      DeleteFileA(FileName.c_str());
    return true;
  } catch (...) {
    return false;  // only an unexpected failure is reported, as false
  }
}

int DeleteFilesByMask(const std::string& Mask, bool OnReboot) {
  int count = 0;
  try {
    const std::string folder = FolderOf(Mask);
    WIN32_FIND_DATAA fd;
    TFindHandle find = FindFirst(Mask, fd);
    if (!find) return 0;
    do {
      DeleteFileOrOnReboot(folder + fd.cFileName, OnReboot);
      ++count;
    } while (FindNextFileA(find.Get(), &fd));
    return count;
  } catch (...) {
    return -count;  // the negated count says the loop was cut short
  }
}

bool MoveFileExChecked(const char* Existing, const char* New, uint32_t Flags) {
  if (CallMoveFileEx(Existing, New, Flags)) return true;
  std::string text;
  GetLastErrorText(text);
  TellUser(text);
  return false;
}

bool PoorManMoveFileEx(const char* Existing, const char* New, uint32_t Flags) {
  try {
    const bool hasNew = New && *New;
    if (Flags & MOVEFILE_DELAY_UNTIL_REBOOT) {
      char windir[MAX_PATH + 1];
      if (GetWindowsDirectoryA(windir, sizeof windir) == 0) return false;
      WritePrivateProfileStringA("rename", Existing, hasNew ? New : "NIL", "WININIT.INI");
      WritePrivateProfileStringA(nullptr, nullptr, nullptr, "WININIT.INI");
      return true;
    }
    bool copied = hasNew && CopyFileA(Existing, New, FALSE);
    if (copied || !hasNew) return DeleteFileA(Existing) != 0;
    return false;
  } catch (const std::exception& e) {
    throw Exception(std::string("PoorManMoveFileEx: ") + e.what());
  }
}

void GetLastErrorText(std::string& Text) {
  const DWORD code = GetLastError();
  char buf[256] = {};
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                           MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buf, 255, nullptr);
  Text.assign(buf, n);
}

void SplitRegistryPath(const std::string& Path, std::string& Key, std::string& ValueName) {
  std::string p = Path;
  if (!p.empty() && p.back() == '\\') p.pop_back();
  size_t at = p.rfind('\\');
  if (at == std::string::npos) {
    Key.clear();
    ValueName = p;
  } else {
    Key = p.substr(0, at + 1);
    ValueName = p.substr(at + 1);
  }
}

void ReadRegistryString(HKEY Root, const std::string& Path, const std::string& Default, std::string& Value) {
  Value = Default;
  try {
    std::string key, name;
    SplitRegistryPath(Path, key, name);
    TRegKey h;
    if (RegOpenKeyExA(Root, TrimKeySlashes(key).c_str(), 0, KEY_READ, h.Receive()) != ERROR_SUCCESS) return;
    std::string read;
    if (QueryStringValue(h.Get(), name, read)) Value = read;
  } catch (...) {
    // A value that cannot be read is the default.
  }
}

void ReadRegistryPathString(const std::string& Path, const std::string& Default, std::string& Value) {
  HKEY root = HKEY_CURRENT_USER;
  std::string rest = Path;
  if (Path.size() >= 5 && Path[4] == '\\') {
    std::string prefix = Path.substr(0, 4);
    for (char& c : prefix) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    if (prefix == "HKCU" || prefix == "HKLM") {
      root = prefix == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
      rest = Path.substr(5);
    }
  }
  ReadRegistryString(root, rest, Default, Value);
}

std::vector<std::string> GetProfileFolders() {
  try {
    std::string dir;
    ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\ProfilesDirectory",
                       "", dir);
    if (dir.empty()) return {};
    std::string expanded = dir;
    ExpandEnvVars(dir, expanded);
    return ListFolders(expanded);
  } catch (...) {
    return {};  // no profile list is an empty one
  }
}

void ExpandEnvVars(const std::string& Text, std::string& Result) {
  if (Text.find('%') == std::string::npos) {
    Result = Text;
    return;
  }
  std::string buf(10, '\0');
  DWORD n = ExpandEnvironmentStringsA(Text.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
  if (n > buf.size()) {
    buf.assign(n, '\0');
    n = ExpandEnvironmentStringsA(Text.c_str(), buf.data(), static_cast<DWORD>(buf.size()));
    if (n > buf.size()) return;
  }
  if (n == 0) return;
  buf.resize(n);
  while (!buf.empty() && buf.back() == '\0') buf.pop_back();
  Result = buf;
}

void GetCurrentUserName(std::string& Name) {
  char buf[254] = {};
  DWORD size = 253;
  if (GetUserNameA(buf, &size))
    Name = buf;
  else
    Name.clear();
}

std::vector<std::string> ListFolders(const std::string& Dir) {
  std::vector<std::string> list;
  try {
    std::string dir = Dir;
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    WIN32_FIND_DATAA fd;
    TFindHandle find = FindFirst(dir + "*.*", fd);
    if (!find) return list;
    do {
      const std::string name = fd.cFileName;
      if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..") continue;
      list.push_back(dir + name + "\\");
    } while (FindNextFileA(find.Get(), &fd));
  } catch (...) {
    // A failure ends the list with the folders found so far.
  }
  return list;
}

TDateTime FileTimeToDateTimeLocal(uint64_t FileTime) {
  if (FileTime == 0) return 0;
  FILETIME utc{static_cast<DWORD>(FileTime), static_cast<DWORD>(FileTime >> 32)};
  FILETIME local;
  SYSTEMTIME st;
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st) || st.wYear < 1980 ||
      st.wYear > 2107)
    throw EConvertError("Invalid argument to date encode");
  const int seconds = st.wSecond & ~1;  // DOS times count in two-second steps
  return static_cast<double>(DaysFromCivil(st.wYear, st.wMonth, st.wDay)) +
         (st.wHour * 3600.0 + st.wMinute * 60.0 + seconds) / 86400.0;
}

}  // namespace morvane
