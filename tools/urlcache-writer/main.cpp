// urlcache-writer: records history entries through the system's own URL
// cache (wininet) and prints where the index file lies, so that the history
// reader can be checked against an index that another program wrote.
//
//   urlcache-writer URL FIRST_FILETIME [URL FIRST_FILETIME ...]
//
// Each URL ("Visited: user@http://...") is committed with FIRST_FILETIME
// (decimal) as its last-modified time. Prints the index file's path on the
// first line, then one line per entry: URL, TAB, the two times the cache
// holds for it (decimal file times).
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"

#include <shlobj.h>
#include <wininet.h>

namespace {

FILETIME FromU64(unsigned long long v) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(v);
  ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
  return ft;
}

unsigned long long ToU64(const FILETIME& ft) {
  return (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

using TCommit = BOOL(WINAPI*)(LPCSTR, LPCSTR, FILETIME, FILETIME, DWORD, LPBYTE, DWORD, LPCSTR, LPCSTR);
using TGetInfo = BOOL(WINAPI*)(LPCSTR, LPINTERNET_CACHE_ENTRY_INFOA, LPDWORD);

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (argc - 1) % 2 != 0) {
    std::fprintf(stderr, "usage: urlcache-writer URL FIRST_FILETIME [...]\n");
    return 2;
  }
  // Bound at run time: nothing else of the program links the URL cache.
  HMODULE wininet = LoadLibraryA("wininet.dll");
  auto commit = wininet ? reinterpret_cast<TCommit>(reinterpret_cast<void*>(GetProcAddress(wininet, "CommitUrlCacheEntryA"))) : nullptr;
  auto getInfo = wininet ? reinterpret_cast<TGetInfo>(reinterpret_cast<void*>(GetProcAddress(wininet, "GetUrlCacheEntryInfoA"))) : nullptr;
  if (!commit || !getInfo) {
    std::fprintf(stderr, "urlcache-writer: wininet.dll has no URL cache\n");
    return 1;
  }
  std::vector<std::string> urls;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string url = argv[i];
    FILETIME modified = FromU64(std::strtoull(argv[i + 1], nullptr, 10));
    FILETIME expires = FromU64(0);
    if (!commit(url.c_str(), nullptr, expires, modified, NORMAL_CACHE_ENTRY | URLHISTORY_CACHE_ENTRY,
                              nullptr, 0, nullptr, nullptr)) {
      std::fprintf(stderr, "urlcache-writer: cannot commit %s (error %lu)\n", url.c_str(), GetLastError());
      return 1;
    }
    urls.push_back(url);
  }
  char history[MAX_PATH];
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_HISTORY, nullptr, 0, history))) {
    std::fprintf(stderr, "urlcache-writer: no history folder\n");
    return 1;
  }
  std::printf("%s\\History.IE5\\index.dat\n", history);
  for (const auto& url : urls) {
    std::vector<char> buf(4096);
    DWORD size = static_cast<DWORD>(buf.size());
    auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buf.data());
    if (!getInfo(url.c_str(), info, &size)) {
      std::fprintf(stderr, "urlcache-writer: cannot read back %s (error %lu)\n", url.c_str(), GetLastError());
      return 1;
    }
    std::printf("%s\t%llu\t%llu\n", url.c_str(), ToU64(info->LastModifiedTime), ToU64(info->LastAccessTime));
  }
  return 0;
}
