// Opening URLs, composing mail and restarting Windows: everything that hands
// work to another program goes through the replaceable system services.
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/files.h"
#include "platform/ui/services.h"

namespace morvane {
namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "http:", "mailto:", "file:" ... or a local path ("C:\x", "\\server\x"),
// which the shell opens as it is. A host with a port ("example.com:8080") is
// no scheme.
bool HasSchemeOrIsPath(const std::string& text) {
  if (text.size() >= 3 && IsAlpha(text[0]) && text[1] == ':' && (text[2] == '\\' || text[2] == '/')) return true;
  if (text.rfind("\\\\", 0) == 0) return true;
  if (text.empty() || !IsAlpha(text[0])) return false;
  size_t i = 1;
  while (i < text.size() && (IsAlpha(text[i]) || IsDigit(text[i]) || text[i] == '+' || text[i] == '-' || text[i] == '.'))
    ++i;
  if (i < 2 || i >= text.size() || text[i] != ':') return false;
  size_t j = i + 1;
  while (j < text.size() && IsDigit(text[j])) ++j;
  const bool port = j > i + 1 && (j == text.size() || text[j] == '/' || text[j] == '?' || text[j] == '#');
  return !port;
}

bool IsExecutableExtension(const std::string& ext) {
  static const char* const kinds[] = {".exe", ".com", ".bat", ".cmd", ".pif", ".scr", ".cpl", ".msi", ".msp",
                                      ".msc", ".vbs", ".vbe", ".js",  ".jse", ".wsf", ".wsh", ".hta", ".lnk",
                                      ".reg", ".ps1", ".jar", ".inf", ".scf", ".url", ".application"};
  const std::string e = Lower(ext);
  for (const char* k : kinds)
    if (e == k) return true;
  if (const char* pathext = std::getenv("PATHEXT")) {
    std::string list = Lower(pathext);
    size_t start = 0;
    while (start <= list.size()) {
      size_t end = list.find(';', start);
      if (end == std::string::npos) end = list.size();
      if (list.compare(start, end - start, e) == 0) return true;
      start = end + 1;
    }
  }
  return false;
}

// The extension the lookup document takes from the URL: what a browser would
// show the page as. Anything that could make the document itself a program
// becomes ".html", and so does a URL without an extension ("example.com",
// ".../page"): that is a web page, and a document without an extension has no
// program to find, so the lookup would only repeat the open that failed.
std::string LookupDocumentExtension(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  if (!path.empty() && path.back() == '/') return ".html";
  size_t delim = path.find_last_of("/\\:");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (delim != std::string::npos && dot < delim)) return ".html";
  std::string ext = path.substr(dot);
  if (ext.size() < 2 || ext.size() > 10 || IsExecutableExtension(ext)) return ".html";
  for (size_t i = 1; i < ext.size(); ++i)
    if (!IsAlpha(ext[i]) && !IsDigit(ext[i])) return ".html";
  return ext;
}

// A new empty document in the temp folder that no one else owns; empty when
// none could be made.
std::string CreateLookupDocument(const std::string& ext) {
  char tmp[MAX_PATH + 1];
  DWORD n = GetTempPathA(sizeof tmp, tmp);
  if (n == 0 || n > MAX_PATH) return {};
  const std::string folder = tmp;
  std::string path;
  DWORD error = 0;
  TWinHandle h = CreateNewNumberedFile([&](int i) { return folder + "$TMP$_HTML" + std::to_string(i) + ext; }, path,
                                       error);
  return h ? path : std::string();
}

std::string CanonicalPath(const std::string& path) {
  char full[MAX_PATH + 1];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
  std::string p = (n > 0 && n <= MAX_PATH) ? std::string(full, n) : path;
  char longer[MAX_PATH + 1];
  n = GetLongPathNameA(p.c_str(), longer, sizeof longer);
  if (n > 0 && n <= MAX_PATH) p.assign(longer, n);
  return Lower(p);
}

// A decoded URL goes onto another program's command line: quotes and control
// characters (a line break, a TAB) could end the argument there and start new
// ones, so they go back to their %-escapes. Cookie and history URLs are
// written by web sites.
std::string CommandLineSafe(const std::string& url) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (unsigned char c : url) {
    if (c == '"' || c < 0x20 || c == 0x7F) {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// One command-line argument; the text holds no quote (CommandLineSafe).
// Backslashes before the closing quote are doubled, or they would escape it.
std::string Quoted(const std::string& s) {
  if (s.find(' ') == std::string::npos) return s;
  const size_t tail = s.size() - (s.find_last_not_of('\\') + 1);
  return "\"" + s + std::string(tail, '\\') + "\"";
}

// Percent-encoding of a mailto header value (RFC 6068): the text as UTF-8,
// everything but the unreserved characters escaped, line breaks as %0D%0A.
std::string EncodeMailtoValue(const std::string& text) {
  std::string utf8;
  if (!text.empty()) {
    int wn = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(wn, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), wn);
    int un = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wn, nullptr, 0, nullptr, nullptr);
    utf8.assign(un, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wn, utf8.data(), un, nullptr, nullptr);
  }
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : utf8) {
    if (IsAlpha(static_cast<char>(c)) || IsDigit(static_cast<char>(c)) || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

// The longest URL the shell and the browsers of this system take
// (INTERNET_MAX_URL_LENGTH). The shell does not refuse a longer one safely
// everywhere: under Wine it ends the calling process on URLs of about a
// thousand letters.
constexpr size_t kMaxUrlLength = 2083;

// Whether the shell may be given URL: no longer than browsers take, and a
// host of at most 253 letters (RFC 1035); a longer host (a cookie made up
// with a domain of a thousand letters) names no site. A path has no host.
bool IsOpenable(const std::string& URL) {
  if (URL.size() > kMaxUrlLength) return false;
  const size_t scheme = URL.find("://");
  if (scheme == std::string::npos) return true;
  const size_t begin = scheme + 3;
  const size_t end = URL.find('/', begin);
  return (end == std::string::npos ? URL.size() : end) - begin <= 253;
}

}  // namespace

void OpenURL(const std::string& URL) {
  try {
    if (URL.empty()) return;
    std::string url = HasSchemeOrIsPath(URL) ? URL : "http://" + URL;
    if (!IsOpenable(url)) return;
    TSystemServices& sys = SystemServices();
    if (sys.ShellExecute(nullptr, "open", url, "", "", SW_SHOWNORMAL) > 32) return;

    // No program took the URL: find the program that opens documents of its
    // kind and hand it the URL.
    UnescapeURL(url, url);
    url = CommandLineSafe(url);
    const std::string document = CreateLookupDocument(LookupDocumentExtension(url));
    if (url.rfind("file:///", 0) == 0) url.erase(0, 8);
    std::string program;
    const bool found = !document.empty() && sys.FindExecutable(document, "", program) > 32 && !program.empty() &&
                       CanonicalPath(program) != CanonicalPath(document);
    if (found)
      sys.ShellExecute(nullptr, "open", program, Quoted(url), "", SW_SHOWNORMAL);
    else
      sys.ShellExecute(nullptr, "open", url, "", "", SW_SHOWNORMAL);
    if (!document.empty()) DeleteFileA(document.c_str());
  } catch (...) {
    // Opening a link is a convenience: a failure is dropped, as the callers expect.
  }
}

bool RebootWindows(uint32_t Flags) {
  try {
    return SystemServices().ExitWindows(Flags);
  } catch (...) {
    return false;  // a failure is the false result, never an exception
  }
}

bool ComposeMail(const std::string& Address, const std::string& Subject, const std::string& Body) {
  try {
    std::string address = Address;
    if (Lower(address.substr(0, 7)) != "mailto:") address = "mailto:" + address;
    const std::string head = address + "?subject=" + EncodeMailtoValue(Subject) + "&body=";
    if (head.size() > kMaxUrlLength) return false;
    // A long message is cut to what the link can carry, never inside an
    // escape: the mail opens with its beginning.
    std::string body = EncodeMailtoValue(Body);
    if (size_t cut = kMaxUrlLength - head.size(); body.size() > cut) {
      if (cut >= 1 && body[cut - 1] == '%') cut -= 1;
      else if (cut >= 2 && body[cut - 2] == '%') cut -= 2;
      body.resize(cut);
    }
    const std::string url = head + body;
    return SystemServices().ShellExecute(nullptr, "open", url, "", "", SW_SHOWNORMAL) > 32;
  } catch (...) {
    return false;  // a failure is the false result, never an exception
  }
}

void UnescapeURL(const std::string& URL, std::string& Text) {
  std::string s = URL;
  for (;;) {
    size_t at = s.find('%');
    if (at == std::string::npos || at + 2 >= s.size() + 0 || !IsDigit(s[at + 1]) || !IsDigit(s[at + 2])) break;
    const char c = static_cast<char>((s[at + 1] - '0') * 16 + (s[at + 2] - '0'));
    s.replace(at, 3, 1, c);
  }
  Text = s;
}

}  // namespace morvane
