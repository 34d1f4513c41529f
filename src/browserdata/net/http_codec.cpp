#include "browserdata/net/http_codec.h"

#include <cctype>

namespace morvane {

THttpTarget NormalizeHttpTarget(const std::string& Host, const std::string& Path) {
  THttpTarget t;
  const size_t slashes = Host.find("//");
  t.Host = slashes == std::string::npos ? Host : Host.substr(slashes + 2);
  t.Path = (!Path.empty() && Path[0] == '/') ? Path : "/" + Path;
  return t;
}

std::string BuildHttpGetRequest(const THttpTarget& Target) {
  return "GET " + Target.Path + " HTTP/1.0\r\nHost: " + Target.Host + "\r\n\r\n";
}

std::string_view THttpResponseScanner::Feed(std::string_view Chunk) {
  if (headerDone_) return Chunk;
  static const char kEnd[] = "\r\n\r\n";
  for (size_t i = 0; i < Chunk.size(); ++i) {
    const char c = Chunk[i];
    header_ += c;
    if (c == kEnd[matched_]) {
      ++matched_;
    } else {
      // Restart the match; a CR may begin a new one.
      matched_ = (c == '\r') ? 1 : 0;
    }
    if (matched_ == 4) {
      header_.resize(header_.size() - 4);
      headerDone_ = true;
      return Chunk.substr(i + 1);
    }
  }
  return std::string_view();
}

std::string THttpResponseScanner::StatusLine() const {
  const size_t end = header_.find("\r\n");
  return end == std::string::npos ? header_ : header_.substr(0, end);
}

bool THttpResponseScanner::StatusOk() const {
  const std::string line = StatusLine();
  // "HTTP/1.0 200 OK", "HTTP/1.1 200"
  if (line.size() < 12 || line.compare(0, 7, "HTTP/1.") != 0) return false;
  if (!std::isdigit(static_cast<unsigned char>(line[7])) || line[8] != ' ') return false;
  if (line.compare(9, 3, "200") != 0) return false;
  return line.size() == 12 || line[12] == ' ';
}

std::optional<unsigned long long> THttpResponseScanner::ContentLength() const {
  size_t pos = 0;
  while (pos < header_.size()) {
    size_t end = header_.find("\r\n", pos);
    if (end == std::string::npos) end = header_.size();
    const std::string_view line(header_.data() + pos, end - pos);
    static const char kName[] = "content-length:";
    if (line.size() > 15) {
      bool match = true;
      for (size_t i = 0; i < 15 && match; ++i)
        match = std::tolower(static_cast<unsigned char>(line[i])) == kName[i];
      if (match) {
        size_t i = 15;
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        unsigned long long v = 0;
        size_t digits = 0;
        for (; i < line.size() && std::isdigit(static_cast<unsigned char>(line[i])); ++i, ++digits) {
          if (v > (~0ull - 9) / 10) return std::nullopt;
          v = v * 10 + static_cast<unsigned>(line[i] - '0');
        }
        if (digits == 0) return std::nullopt;
        return v;
      }
    }
    pos = end + 2;
  }
  return std::nullopt;
}

std::vector<std::string> SplitBodyLines(std::string_view Body) {
  const size_t nul = Body.find('\0');
  if (nul != std::string_view::npos) Body = Body.substr(0, nul);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < Body.size()) {
    size_t end = start;
    while (end < Body.size() && Body[end] != '\r' && Body[end] != '\n') ++end;
    lines.emplace_back(Body.substr(start, end - start));
    if (end < Body.size() && Body[end] == '\r') {
      ++end;
      if (end < Body.size() && Body[end] == '\n') ++end;
    } else if (end < Body.size()) {
      ++end;  // LF
    }
    start = end;
  }
  return lines;
}

}  // namespace morvane
