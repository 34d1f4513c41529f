// The bytes of an HTTP/1.0 GET and of its answer, without any socket.
// Pure: standard library only, so it also builds natively for fuzzing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// Host and path as the GET functions use them: a "scheme://" before the host
// is dropped, and the path always begins with "/" (an empty path is "/").
struct THttpTarget {
  std::string Host;
  std::string Path;
};
THttpTarget NormalizeHttpTarget(const std::string& Host, const std::string& Path);

// "GET /path HTTP/1.0" CR LF "Host: host" CR LF CR LF; nothing else is sent.
std::string BuildHttpGetRequest(const THttpTarget& Target);

// Scans the answer as it arrives, chunk by chunk; the end of the header may
// fall across two chunks.
class THttpResponseScanner {
 public:
  // Adds received bytes; returns the body bytes among them (none until the
  // header end has been seen).
  std::string_view Feed(std::string_view Chunk);
  bool HeaderComplete() const { return headerDone_; }
  // The status line and header as received (without the blank line).
  const std::string& Header() const { return header_; }
  // True when the status line reads "HTTP/1.x 200".
  bool StatusOk() const;
  // The status line (first line of the header).
  std::string StatusLine() const;
  // The value of Content-Length when the header has one.
  std::optional<unsigned long long> ContentLength() const;

 private:
  std::string header_;
  bool headerDone_ = false;
  size_t matched_ = 0;  // bytes of CR LF CR LF matched at the end of header_
};

// The lines of a text body: cut at its first NUL byte, then split where CR
// LF, LF or CR end a line; an end at the very end of the text adds no empty
// last line.
std::vector<std::string> SplitBodyLines(std::string_view Body);

}  // namespace morvane
