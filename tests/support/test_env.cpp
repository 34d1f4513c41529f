#include "support/test_env.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/core/textfiles.h"
#include "platform/win32.h"

namespace morvane::test {
namespace {

std::string EnvOr(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return (v && *v) ? std::string(v) : std::string(fallback);
}

std::string Join(std::string base, const std::string& rel) {
  if (rel.empty()) return base;
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base + rel;
}

}  // namespace

void RemoveFolderTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = dir + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolderTree(full);
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(dir.c_str());
}

std::string FixturePath(const std::string& rel) { return Join(EnvOr("MORVANE_FIXTURES", "fixtures"), rel); }
std::string BinPath(const std::string& rel) { return Join(EnvOr("MORVANE_BIN", "."), rel); }

TTempDir::TTempDir() {
  static std::atomic<unsigned> serial{0};
  char tmp[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof tmp, tmp);
  if (n == 0 || n > MAX_PATH) throw std::runtime_error("GetTempPath failed");
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string p = std::string(tmp) + "mvt" + std::to_string(GetCurrentProcessId()) + "_" +
                    std::to_string(serial++);
    if (CreateDirectoryA(p.c_str(), nullptr)) {
      path_ = p;
      return;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  throw std::runtime_error("cannot create a temporary test folder");
}

TTempDir::~TTempDir() { RemoveFolderTree(path_); }

std::string TTempDir::File(const std::string& name) const { return path_ + "\\" + name; }

std::string TTempDir::Write(const std::string& name, const std::string& bytes) const {
  std::string p = File(name);
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + p);
  return p;
}

std::string ReadFileBytes(const std::string& path) {
  std::string bytes;
  return TryLoadFileBytes(path, bytes) ? bytes : std::string();
}

}  // namespace morvane::test
