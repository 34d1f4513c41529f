#include "browserdata/net/qb_net_utils.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <atomic>
#include <mutex>
#include <optional>

#include "browserdata/net/http_codec.h"
#include "browserdata/sys/qb_string_utils.h"
#include "platform/core/exceptions.h"
#include "platform/core/files.h"
#include "platform/core/replace_file.h"
#include "platform/win32.h"

namespace morvane {
namespace {

using TInetIsOffline = BOOL(WINAPI*)(DWORD);
using TIsNetworkAlive = BOOL(WINAPI*)(LPDWORD);

std::mutex gBindLock;
int gBindCount = 0;
HMODULE gUrlDll = nullptr;
HMODULE gSensDll = nullptr;
TInetIsOffline gInetIsOffline = nullptr;
TIsNetworkAlive gIsNetworkAlive = nullptr;
bool gWinsock = false;
std::atomic<unsigned> gTimeoutMs{15000};

constexpr size_t kLinesBufferSize = 80921;
constexpr size_t kFileChunkSize = 8093;

// A failure of the socket layer, with the system's words for it.
[[noreturn]] void RaiseSocketError(const char* what, int code) {
  throw Exception(std::string(what) + ": " + SysErrorMessage(static_cast<DWORD>(code)));
}

class TSocket {
 public:
  TSocket() = default;
  ~TSocket() { Close(); }
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;
  void Close() {
    if (s_ != INVALID_SOCKET) closesocket(s_);
    s_ = INVALID_SOCKET;
  }
  SOCKET Get() const { return s_; }

  void Connect(const std::string& host, int port, unsigned timeoutMs) {
    if (!gWinsock) {
      // Outside InitNetUtils (tools, tests of a single call) start it here.
      WSADATA wsa;
      if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0) throw Exception("the socket layer could not start");
      startedHere_ = true;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(port);
    if (int rc = getaddrinfo(host.c_str(), service.c_str(), &hints, &list); rc != 0)
      RaiseSocketError(("cannot resolve " + host).c_str(), rc);
    int lastError = WSAECONNREFUSED;
    for (addrinfo* a = list; a; a = a->ai_next) {
      SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (s == INVALID_SOCKET) {
        lastError = WSAGetLastError();
        continue;
      }
      if (ConnectWithin(s, a, timeoutMs, lastError)) {
        s_ = s;
        break;
      }
      closesocket(s);
    }
    freeaddrinfo(list);
    if (s_ == INVALID_SOCKET) RaiseSocketError(("cannot connect to " + host).c_str(), lastError);
    DWORD t = timeoutMs;
    setsockopt(s_, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&t), sizeof t);
    setsockopt(s_, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&t), sizeof t);
  }

  void SendAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
      const int n = send(s_, bytes.data() + done, static_cast<int>(bytes.size() - done), 0);
      if (n <= 0) throw Exception("No answer from server");
      done += static_cast<size_t>(n);
    }
  }

  // Bytes received into buf (at most len); 0 when the peer closed.
  size_t Receive(char* buf, size_t len) {
    const int n = recv(s_, buf, static_cast<int>(len), 0);
    if (n == SOCKET_ERROR) RaiseSocketError("receiving failed", WSAGetLastError());
    return static_cast<size_t>(n);
  }

  bool startedHere_ = false;

 private:
  static bool ConnectWithin(SOCKET s, const addrinfo* a, unsigned timeoutMs, int& error) {
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    if (connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) == SOCKET_ERROR) {
      error = WSAGetLastError();
      if (error != WSAEWOULDBLOCK) return false;
      fd_set writable, failed;
      FD_ZERO(&writable);
      FD_ZERO(&failed);
      FD_SET(s, &writable);
      FD_SET(s, &failed);
      timeval tv{static_cast<long>(timeoutMs / 1000), static_cast<long>(timeoutMs % 1000) * 1000};
      const int ready = select(0, nullptr, &writable, &failed, &tv);
      if (ready <= 0) {
        error = ready == 0 ? WSAETIMEDOUT : WSAGetLastError();
        return false;
      }
      int soError = 0;
      int len = sizeof soError;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &len);
      if (soError != 0 || !FD_ISSET(s, &writable)) {
        error = soError ? soError : WSAECONNREFUSED;
        return false;
      }
    }
    u_long blocking = 0;
    ioctlsocket(s, FIONBIO, &blocking);
    return true;
  }

  SOCKET s_ = INVALID_SOCKET;
};

class TWinsockUse {
 public:
  explicit TWinsockUse(TSocket& s) : s_(s) {}
  ~TWinsockUse() {
    s_.Close();
    if (s_.startedHere_) WSACleanup();
  }

 private:
  TSocket& s_;
};

// The download goes to "<target>.part" beside the target and replaces it
// only when complete; the failure in the socket layer's words.
[[noreturn]] void RaiseDownloadError(const TReplaceFile& file) {
  const std::string why = ": " + SysErrorMessage(file.Error());
  switch (file.Step()) {
    case TReplaceFile::TStep::Create: throw Exception("cannot create a temporary file beside " + file.Target() + why);
    case TReplaceFile::TStep::Write: throw Exception("cannot write " + file.TempName() + why);
    default: throw Exception("cannot replace " + file.Target() + why);
  }
}

}  // namespace

void InitNetUtils() {
  std::lock_guard<std::mutex> lock(gBindLock);
  if (gBindCount++ > 0) return;
  gUrlDll = LoadLibraryA("URL.dll");
  if (gUrlDll) gInetIsOffline = reinterpret_cast<TInetIsOffline>(reinterpret_cast<void*>(GetProcAddress(gUrlDll, "InetIsOffline")));
  gSensDll = LoadLibraryA("SensApi.dll");
  if (gSensDll) gIsNetworkAlive = reinterpret_cast<TIsNetworkAlive>(reinterpret_cast<void*>(GetProcAddress(gSensDll, "IsNetworkAlive")));
  WSADATA wsa;
  gWinsock = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
}

void DoneNetUtils() {
  std::lock_guard<std::mutex> lock(gBindLock);
  if (gBindCount == 0 || --gBindCount > 0) return;
  gInetIsOffline = nullptr;
  gIsNetworkAlive = nullptr;
  if (gUrlDll) FreeLibrary(gUrlDll);
  if (gSensDll) FreeLibrary(gSensDll);
  gUrlDll = gSensDll = nullptr;
  if (gWinsock) WSACleanup();
  gWinsock = false;
}

void GetInternetConnectionState(std::string& State) {
  State.clear();
  if (!gInetIsOffline) return;
  try {
    State = gInetIsOffline(0) ? "off-line" : "on-line";
  } catch (...) {
  }
}

void GetNetworkState(std::string& State) {
  if (!gIsNetworkAlive) {
    State.clear();
    return;
  }
  try {
    DWORD flags = 0;
    if (gIsNetworkAlive(&flags)) {
      // A connection of none of these kinds leaves the caller's text.
      if (flags & 1) State = "LAN";
      if (flags & 2) State = "WAN";
      if (flags & 4) State = "AOL";
    } else {
      State = "not connected";
    }
  } catch (const std::exception& e) {
    State = std::string("Error: ") + e.what();
  }
}

void GetDomainFromURL(const std::string& URL, std::string& Domain) {
  std::string host = URL;
  const size_t slashes = host.find("//");
  if (slashes != std::string::npos) host = host.substr(slashes + 2);
  if (size_t slash = host.find('/'); slash != std::string::npos) host.resize(slash);
  if (size_t at = host.find('@'); at != std::string::npos) host = host.substr(at + 1);
  if (size_t colon = host.find(':'); colon != std::string::npos) host.resize(colon);
  if (host.empty() || host[0] == '.') return;
  const std::vector<std::string> labels = SplitString(host, ".", false);
  const size_t n = labels.size();
  if (n < 2 || labels[n - 1].empty() || labels[n - 2].empty()) return;
  std::string d = labels[n - 2] + "." + labels[n - 1];
  if (n > 2 && labels[n - 1].size() <= 2 && labels[n - 2].size() <= 2) d = labels[n - 3] + "." + d;
  Domain = d;
}

void SetHttpTimeout(unsigned Milliseconds) { gTimeoutMs = Milliseconds ? Milliseconds : 1; }
unsigned HttpTimeout() { return gTimeoutMs; }

std::vector<std::string> HttpGetLines(const std::string& Host, int Port, const std::string& Path) {
  const THttpTarget target = NormalizeHttpTarget(Host, Path);
  std::string received;
  try {
    TSocket sock;
    TWinsockUse use(sock);
    sock.Connect(target.Host, Port, gTimeoutMs);
    sock.SendAll(BuildHttpGetRequest(target));
    // Servers may send header and body in separate writes: read until the
    // body has its Content-Length (a server may keep the connection open
    // after a complete answer), the peer closes or the buffer is full.
    received.resize(kLinesBufferSize);
    size_t have = 0;
    THttpResponseScanner progress;
    size_t bodyBytes = 0;
    while (have < kLinesBufferSize) {
      const size_t n = sock.Receive(&received[have], kLinesBufferSize - have);
      if (n == 0) break;
      bodyBytes += progress.Feed(std::string_view(&received[have], n)).size();
      have += n;
      if (progress.HeaderComplete()) {
        const auto expected = progress.ContentLength();
        if (expected && bodyBytes >= *expected) break;
      }
    }
    received.resize(have);
  } catch (const std::exception& e) {
    throw Exception(std::string("No connection ") + e.what());
  }
  THttpResponseScanner scanner;
  std::string_view body = scanner.Feed(received);
  if (!scanner.HeaderComplete() || !scanner.StatusOk()) return {};
  if (const auto expected = scanner.ContentLength(); expected && body.size() > *expected) body = body.substr(0, *expected);
  return SplitBodyLines(body);
}

void HttpGetToFile(const std::string& Host, int Port, const std::string& Path, const std::string& FileName) {
  const THttpTarget target = NormalizeHttpTarget(Host, Path);
  try {
    TReplaceFile file(FileName, [&](int n) { return FileName + ".part" + (n > 1 ? std::to_string(n - 1) : std::string()); });
    if (!file.Ok()) RaiseDownloadError(file);
    TSocket sock;
    TWinsockUse use(sock);
    sock.Connect(target.Host, Port, gTimeoutMs);
    sock.SendAll(BuildHttpGetRequest(target));
    THttpResponseScanner scanner;
    std::optional<unsigned long long> expected;
    std::string chunk(kFileChunkSize, '\0');
    unsigned long long bodyBytes = 0;
    // Until the peer closes, or until the body has its Content-Length: a
    // server may keep the connection open after a complete answer.
    while (!expected || bodyBytes < *expected) {
      const size_t n = sock.Receive(chunk.data(), chunk.size());
      if (n == 0) break;
      const bool wasComplete = scanner.HeaderComplete();
      std::string_view body = scanner.Feed(std::string_view(chunk.data(), n));
      if (!wasComplete && scanner.HeaderComplete()) {
        if (!scanner.StatusOk()) throw Exception("the server answered " + scanner.StatusLine());
        expected = scanner.ContentLength();
      }
      if (expected && body.size() > *expected - bodyBytes) body = body.substr(0, *expected - bodyBytes);
      if (!file.Write(body)) RaiseDownloadError(file);
      bodyBytes += body.size();
    }
    if (!scanner.HeaderComplete()) throw Exception("No answer from server");
    if (expected && *expected != bodyBytes)
      throw Exception("the answer ended after " + std::to_string(bodyBytes) + " of " + std::to_string(*expected) +
                      " bytes");
    if (!file.Commit()) RaiseDownloadError(file);
  } catch (const std::exception& e) {
    throw Exception(std::string("No connection ") + e.what());
  }
}

}  // namespace morvane
