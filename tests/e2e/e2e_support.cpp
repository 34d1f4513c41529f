#include "e2e_support.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>

#include "browserdata/netscape/reg_builder.h"
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
  // Keys point at their first child (16), first value (20) and parent (32);
  // a value carries its data's length twice (24 and 28), as the browser writes it.
  TRegBuilder b;
  auto value = [&b](const std::string& ValueName, const std::string& Data) {
    const uint32_t at = b.Value(ValueName, Data);
    b.Put32(at + 28, static_cast<uint32_t>(Data.size() + 1));
    return at;
  };
  const uint32_t root = b.Key("/"), common = b.Key("Common"), profiles = b.Key("profiles");
  b.Child(root, common);
  b.Child(common, profiles);
  b.Put32(common + 32, root);
  b.FirstValue(profiles, value("CurrentProfile", Current));
  b.Put32(profiles + 32, common);
  const uint32_t profile = b.Key(Name);
  b.FirstValue(profile, value("directory", Dir));
  b.Put32(profile + 32, profiles);
  b.Child(profiles, profile);
  b.Put32(4, 0x00010002);
  std::string bytes = b.Bytes(root);
  const auto size = static_cast<uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) bytes[8 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
  return bytes;
}

void WriteFileBytes(const std::string& Path, const std::string& Bytes) {
  const size_t slash = Path.find_last_of('\\');
  if (slash != std::string::npos) CreateFolders(Path.substr(0, slash));
  std::ofstream f(Path, std::ios::binary);
  f.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + Path);
}

std::string IeCookieRecord(const std::string& Name, const std::string& Value, const std::string& HostPath,
                           const std::string& Flags, uint64_t Expires, uint64_t Created) {
  auto halves = [](uint64_t t) {
    return std::to_string(static_cast<uint32_t>(t)) + "\n" + std::to_string(static_cast<uint32_t>(t >> 32)) + "\n";
  };
  return Name + "\n" + Value + "\n" + HostPath + "\n" + Flags + "\n" + halves(Expires) + halves(Created) + "*\n";
}

uint64_t FileTimeOfUnix(int64_t UnixSeconds) {
  return static_cast<uint64_t>(UnixSeconds + 11644473600LL) * 10000000ULL;
}

std::string QuoteWord(const std::string& Word) {
  std::string out = "\"";
  for (char c : Word) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

}  // namespace morvane::test
