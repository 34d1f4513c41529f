#include "e2e_support.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "platform/core/registry.h"
#include "platform/win32.h"
#include "support/test_env.h"

#include <shlobj.h>

namespace morvane::test {
namespace {

std::string Quoted(const std::string& Word) {
  if (!Word.empty() && Word.find_first_of(" \t\"") == std::string::npos) return Word;
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : Word) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    if (c == '"') out.append(slashes * 2 + 1, '\\');
    else out.append(slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, '\\');
  return out + "\"";
}

void CreateFolders(const std::string& Folder) {
  for (size_t i = 3; i <= Folder.size(); ++i)
    if (i == Folder.size() || Folder[i] == '\\') CreateDirectoryA(Folder.substr(0, i).c_str(), nullptr);
}

void MoveContents(const std::string& From, const std::string& To) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((From + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    const std::string src = From + "\\" + name, dst = To + "\\" + name;
    if (!MoveFileExA(src.c_str(), dst.c_str(), MOVEFILE_REPLACE_EXISTING))
      throw std::runtime_error("cannot move " + src + " aside");
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

const char kSettingsKey[] = "\\Software\\Quenbry\\QbMorvane";

// Every scenario starts the program on a first run, when its update check is
// due: the programs started from here ask a closed local port unless a
// scenario names the scripted server, and never the maker's server.
[[maybe_unused]] const bool kUpdateServerSet = [] {
  if (!GetEnvironmentVariableA("MORVANE_UPDATE_SERVER", nullptr, 0))
    SetEnvironmentVariableA("MORVANE_UPDATE_SERVER", "127.0.0.1:1");
  return true;
}();

}  // namespace

TDriveResult RunDrive(const std::vector<std::string>& Args, unsigned TimeoutMs) {
  TDriveResult r;
  TTempDir dir;
  const std::string log = dir.File("drive.log");
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return r;
  const std::string exe = BinPath("morvane-drive.exe");
  std::string cmd = Quoted(exe);
  for (const std::string& a : Args) cmd += " " + Quoted(a);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = out;
  PROCESS_INFORMATION pi{};
  const bool started =
      CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  CloseHandle(out);
  if (!started) {
    r.output = "cannot start " + exe;
    return r;
  }
  if (WaitForSingleObject(pi.hProcess, TimeoutMs) == WAIT_OBJECT_0) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r.exitCode = static_cast<int>(code);
  } else {
    // The driver ends the program it started when it is ended itself only
    // through its own time limits; a driver past ours is stuck.
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
    r.output = "the driver did not end within the time limit\n";
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  r.output += ReadFileBytes(log);
  return r;
}

TDriveResult RunDriveScript(const std::string& Script, const std::vector<std::string>& Extra, unsigned TimeoutMs) {
  TTempDir dir;
  const std::string file = dir.Write("script.txt", Script);
  std::vector<std::string> args{"run", file};
  args.insert(args.end(), Extra.begin(), Extra.end());
  return RunDrive(args, TimeoutMs);
}

std::string UserFolder(int Csidl) {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, Csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path)))
    throw std::runtime_error("no special folder " + std::to_string(Csidl));
  return path;
}

TFolderGuard::TFolderGuard(std::string Folder) : folder_(std::move(Folder)) {
  CreateFolders(folder_);
  saved_ = folder_ + ".e2e-saved";
  // A run that was ended before its guard could put things back left them
  // here: they go back first, so nothing of the user's is lost.
  if (GetFileAttributesA(saved_.c_str()) != INVALID_FILE_ATTRIBUTES) {
    MoveContents(saved_, folder_);
    RemoveFolderTree(saved_);
  }
  CreateDirectoryA(saved_.c_str(), nullptr);
  MoveContents(folder_, saved_);
}

TFolderGuard::~TFolderGuard() {
  try {
    RemoveFolderTree(folder_);
    CreateDirectoryA(folder_.c_str(), nullptr);
    MoveContents(saved_, folder_);
    RemoveFolderTree(saved_);
  } catch (const std::exception&) {
    // A destructor cannot report; what could not be put back stays in the
    // saved folder, and the next guard of this folder puts it back.
  }
}

TSettingsGuard::TSettingsGuard() { TRegistry().DeleteKey(kSettingsKey); }
TSettingsGuard::~TSettingsGuard() { TRegistry().DeleteKey(kSettingsKey); }

std::string MozillaRegistryDat(const std::string& Current, const std::string& Name, const std::string& Dir) {
  // A header of 32 bytes, then keys of 36 bytes and values of 32, each
  // pointing at its NUL-ended name; a key points at its first child (16),
  // its first value (20) and its parent (32).
  std::string buf(32, '\0');
  auto put32 = [&](uint32_t At, uint32_t V) {
    for (int i = 0; i < 4; ++i) buf[At + i] = static_cast<char>((V >> (8 * i)) & 0xFF);
  };
  auto put16 = [&](uint32_t At, uint32_t V) {
    buf[At] = static_cast<char>(V & 0xFF);
    buf[At + 1] = static_cast<char>((V >> 8) & 0xFF);
  };
  auto alloc = [&](size_t N) {
    const auto at = static_cast<uint32_t>(buf.size());
    buf.append(N, '\0');
    return at;
  };
  auto text = [&](const std::string& S) {
    const uint32_t at = alloc(S.size() + 1);
    buf.replace(at, S.size(), S);
    return at;
  };
  auto key = [&](const std::string& KeyName) {
    const uint32_t at = alloc(36);
    const uint32_t name = text(KeyName);
    put32(at, at);
    put32(at + 4, name);
    put16(at + 8, static_cast<uint32_t>(KeyName.size() + 1));
    put16(at + 10, 1);
    return at;
  };
  auto value = [&](const std::string& ValueName, const std::string& Data) {
    const uint32_t at = alloc(32);
    const uint32_t name = text(ValueName);
    const uint32_t data = text(Data);
    const auto length = static_cast<uint32_t>(Data.size() + 1);
    put32(at, at);
    put32(at + 4, name);
    put16(at + 8, static_cast<uint32_t>(ValueName.size() + 1));
    put16(at + 10, 0x11);
    put32(at + 20, data);
    put32(at + 24, length);
    put32(at + 28, length);
    return at;
  };
  const uint32_t root = key("/"), common = key("Common"), profiles = key("profiles");
  put32(root + 16, common);
  put32(common + 16, profiles);
  put32(common + 32, root);
  put32(profiles + 20, value("CurrentProfile", Current));
  put32(profiles + 32, common);
  const uint32_t profile = key(Name);
  put32(profile + 20, value("directory", Dir));
  put32(profile + 32, profiles);
  put32(profiles + 16, profile);
  put32(0, 0x76644441);
  put32(4, 0x00010002);
  put32(8, static_cast<uint32_t>(buf.size()));
  put32(12, root);
  return buf;
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  const size_t slash = Path.find_last_of('\\');
  if (slash != std::string::npos) CreateFolders(Path.substr(0, slash));
  std::ofstream f(Path, std::ios::binary);
  f.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + Path);
}

}  // namespace morvane::test
