// Network status in words, the registrable domain of a URL, and blocking
// HTTP/1.0 GET requests (the update list and the update download).
#pragma once

#include <string>
#include <vector>

namespace morvane {

// Binds "InetIsOffline" (URL.dll) and "IsNetworkAlive" (SensApi.dll) and
// starts the socket layer. Counted: only the first call binds, and the
// matching last DoneNetUtils releases.
void InitNetUtils();
void DoneNetUtils();

// Empty when "InetIsOffline" is not bound; else "off-line" or "on-line".
void GetInternetConnectionState(std::string& State);
// Empty when "IsNetworkAlive" is not bound; else the last of "LAN", "WAN",
// "AOL" whose flag is set, or "not connected".
void GetNetworkState(std::string& State);

// The registrable domain of URL's host ("http://w.abc.xy.zz:8080/x" gives
// "abc.xy.zz"); Domain is left unchanged when the host has no such part.
void GetDomainFromURL(const std::string& URL, std::string& Domain);

// Time allowed for connecting and for each send and receive (milliseconds).
// Without it a server that accepts and then stays silent would hold the
// window for as long as the socket layer lets it.
void SetHttpTimeout(unsigned Milliseconds);
unsigned HttpTimeout();

// The body of a 200 answer as lines; no lines when no answer arrived, the
// header end was not found within the first 80,921 bytes, or the status was
// not 200. Connection and send failures raise Exception
// "No connection " + cause.
std::vector<std::string> HttpGetLines(const std::string& Host, int Port, const std::string& Path);

// Saves the body of a 200 answer to FileName. The body goes to a temporary
// file beside it first, which replaces FileName only when the whole answer
// arrived; on any failure (no connection, another status, a body shorter than
// its Content-Length) FileName is left as it was and Exception
// "No connection " + cause is raised.
void HttpGetToFile(const std::string& Host, int Port, const std::string& Path, const std::string& FileName);

}  // namespace morvane
