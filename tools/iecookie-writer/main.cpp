// iecookie-writer: sets a fixed set of cookies through the system's own cookie
// store (wininet) and copies the cookie files it made into OUTDIR under the
// names Internet Explorer gives them ("user@host[n].txt"), so that the cookie
// reader can be checked against files that another program wrote.
//
//   iecookie-writer OUTDIR
#include <cstdio>
#include <map>
#include <string>

#include "platform/win32.h"
#include <shlobj.h>
#include <wininet.h>

namespace {

using TSetCookie = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR);
using TSetCookieEx = DWORD(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, DWORD, DWORD_PTR);

struct TCookie {
  const char* url;
  const char* name;
  const char* data;
  DWORD flags;
};

const TCookie kCookies[] = {
    {"http://www.example.com/path/", "sid", "abc def; expires=Sat, 01-Jan-2033 00:00:00 GMT", 0},
    {"http://www.example.com/path/", "lang", "en-GB; expires=Mon, 01-Jan-2035 12:30:45 GMT", 0},
    {"http://www.example.com/path/", "empty", "; expires=Mon, 01-Jan-2035 12:30:46 GMT", 0},
    {"http://example.org/", "n2", "v2; expires=Fri, 03-Mar-2031 03:03:04 GMT", 0},
    {"https://secure.example.net/app/", "token", "a=b=c; expires=Wed, 01-Jan-2048 00:00:01 GMT; secure", 0},
    {"https://secure.example.net/", "h", "only; expires=Wed, 01-Jan-2048 00:00:02 GMT; httponly",
     INTERNET_COOKIE_HTTPONLY},
    {"http://far.example.com/", "later", "2150; expires=Fri, 01-Jan-2150 00:00:00 GMT", 0},
    {"http://example.org/docs/", "page", "2; expires=Mon, 01-Jan-2035 00:00:00 GMT", 0},
};

void CopyCookieFiles(const std::string& from, const std::string& out, std::map<std::string, int>& serial) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    const std::string path = from + "\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") CopyCookieFiles(path, out, serial);
      continue;
    }
    if (name.size() < 4 || _stricmp(name.c_str() + name.size() - 4, ".txt") != 0) continue;
    // The host is the third line of the first record.
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) continue;
    char line[1024];
    std::string host;
    for (int i = 0; i < 3 && std::fgets(line, sizeof line, f); ++i) host = line;
    std::fclose(f);
    host = host.substr(0, host.find_first_of("/\r\n"));
    if (host.empty()) continue;
    const std::string target = out + "\\root@" + host + "[" + std::to_string(++serial[host]) + "].txt";
    if (!CopyFileA(path.c_str(), target.c_str(), FALSE)) std::fprintf(stderr, "cannot copy %s\n", path.c_str());
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: iecookie-writer OUTDIR\n");
    return 2;
  }
  HMODULE wininet = LoadLibraryA("wininet.dll");
  auto setCookie = wininet ? reinterpret_cast<TSetCookie>(reinterpret_cast<void*>(GetProcAddress(wininet, "InternetSetCookieA"))) : nullptr;
  auto setCookieEx = wininet ? reinterpret_cast<TSetCookieEx>(reinterpret_cast<void*>(GetProcAddress(wininet, "InternetSetCookieExA"))) : nullptr;
  if (!setCookie || !setCookieEx) {
    std::fprintf(stderr, "iecookie-writer: wininet.dll has no cookie store\n");
    return 1;
  }
  int failed = 0;
  for (const TCookie& c : kCookies) {
    const BOOL ok = c.flags ? setCookieEx(c.url, c.name, c.data, c.flags, 0) != 0 : setCookie(c.url, c.name, c.data);
    if (!ok) {
      std::fprintf(stderr, "InternetSetCookie %s %s failed: %lu\n", c.url, c.name, GetLastError());
      ++failed;
    }
  }
  char folder[MAX_PATH + 1] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COOKIES, nullptr, 0, folder))) {
    std::fprintf(stderr, "no cookie folder\n");
    return 1;
  }
  CreateDirectoryA(argv[1], nullptr);
  std::map<std::string, int> serial;
  CopyCookieFiles(folder, argv[1], serial);
  std::printf("%d cookies written\n", static_cast<int>(sizeof kCookies / sizeof kCookies[0]) - failed);
  return failed ? 1 : 0;
}
