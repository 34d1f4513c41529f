#include "browserdata/netscape/permission_files.h"

#include <unordered_map>

#include "platform/core/text_lines.h"

namespace morvane::permission_files {
namespace {

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      out.push_back(line.substr(start));
      return out;
    }
    out.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerKey(std::string_view s) {
  std::string k(s);
  for (char& c : k) c = LowerAscii(c);
  return k;
}

// Find-or-create of a host's record, case-insensitive, keeping first-seen order.
class THostTable {
 public:
  explicit THostTable(std::vector<tQbBlockedDomain>& hosts) : hosts_(hosts) {}
  tQbBlockedDomain& Get(std::string_view host) {
    auto [it, added] = index_.try_emplace(LowerKey(host), hosts_.size());
    if (added) {
      tQbBlockedDomain rec;
      rec.Kind = "host";
      rec.Host.assign(host);
      hosts_.push_back(std::move(rec));
    }
    return hosts_[it->second];
  }

 private:
  std::vector<tQbBlockedDomain>& hosts_;
  std::unordered_map<std::string, size_t> index_;
};

// A decimal integer (optional blanks and sign), 0 when the text is no number;
// kept to its low byte as the record stores it.
uint8_t PermissionValue(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  if (i == s.size()) return 0;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v = v * 10 + (s[i] - '0');
    if (v > 0x7fffffff) return 0;
  }
  return static_cast<uint8_t>(negative ? -v : v);
}

void ApplyCookpermLine(std::string_view line, TPermissionFile& file, THostTable& table) {
  const auto f = SplitTabs(line);
  if (f.size() < 2) return;
  if (f[0] == "@@@@") {
    if (!file.Extra) file.Extra.emplace();
    file.Extra->emplace_back(line);
    return;
  }
  tQbBlockedDomain& rec = table.Get(f[0]);
  for (size_t i = 1; i < f.size(); ++i) {
    const std::string_view code = f[i];
    if (code == "0F") rec.Cookie = 2;
    else if (code == "0T") rec.Cookie = 1;
    else if (code == "1F") rec.Image = 2;
    else if (code == "1T") rec.Image = 1;
    else if (code == "2F") rec.Popup = 2;
    else if (code == "2T") rec.Popup = 1;
  }
}

void AppendCode(std::string& line, uint8_t value, const char* allow, const char* block) {
  if (value == 1) line += allow;
  else if (value == 2) line += block;
}

}  // namespace

bool SameHost(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

const std::vector<std::string>& DefaultCookpermHeader() {
  static const std::vector<std::string> header = {
      "# HTTP Permission File",
      "# http://www.netscape.com/newsref/std/cookie_spec.html",
      "# This is a generated file!  Do not edit.",
  };
  return header;
}

const std::vector<std::string>& DefaultHostpermHeader() {
  static const std::vector<std::string> header = {"# Permision File", "#This is generated file! Do not edit."};
  return header;
}

TPermissionFile ParseCookperm(std::string_view bytes) {
  TPermissionFile file;
  file.Header.emplace();
  THostTable table(file.Hosts);
  TTextLineReader r(bytes);
  // Leading empty and comment lines are the header. The line read when the
  // end of the file is reached counts as data, whatever it holds.
  std::string line = r.ReadLn();
  while (!r.Eof()) {
    if (!line.empty() && line[0] != '#') break;
    file.Header->push_back(std::move(line));
    line = r.ReadLn();
  }
  ApplyCookpermLine(line, file, table);
  while (!r.Eof()) ApplyCookpermLine(r.ReadLn(), file, table);
  return file;
}

TPermissionFile ParseHostperm(std::string_view bytes) {
  TPermissionFile file;
  file.Header.emplace();
  THostTable table(file.Hosts);
  TTextLineReader r(bytes);
  // The header runs to the first empty line. A file without that line (a
  // header alone, or a permission line with no header before it) keeps its
  // last line too, so that saving writes it back.
  std::string line = r.ReadLn();
  while (!line.empty()) {
    file.Header->push_back(std::move(line));
    if (r.Eof()) break;
    line = r.ReadLn();
  }
  while (!r.Eof()) {
    const std::string l = r.ReadLn();
    const auto f = SplitTabs(l);
    if (f.size() < 4) continue;
    tQbBlockedDomain& rec = table.Get(f[3]);
    rec.Kind.assign(f[0]);
    const uint8_t v = PermissionValue(f[2]);
    if (f[1] == "cookie") rec.Cookie = v;
    else if (f[1] == "install") rec.Install = v;
    else if (f[1] == "image") rec.Image = v;
    else if (f[1] == "popup") rec.Popup = v;
  }
  return file;
}

std::string WriteCookperm(const std::vector<std::string>* header, const std::vector<const tQbBlockedDomain*>& hosts,
                          const std::vector<std::string>* extra) {
  std::string out;
  for (const auto& l : header ? *header : DefaultCookpermHeader()) {
    out += l;
    out += '\n';
  }
  for (const tQbBlockedDomain* rec : hosts) {
    std::string codes;
    AppendCode(codes, rec->Cookie, "\t0T", "\t0F");
    AppendCode(codes, rec->Image, "\t1T", "\t1F");
    AppendCode(codes, rec->Popup, "\t2T", "\t2F");
    // A bare host would mean nothing and would run into the next line.
    if (codes.empty()) continue;
    out += rec->Host;
    out += codes;
    out += '\n';
  }
  if (extra) {
    for (size_t i = 0; i < extra->size(); ++i) {
      if (i) out += '\n';
      out += (*extra)[i];
    }
  } else {
    out += kDefaultCookpermExtra;
  }
  return out;
}

std::string WriteHostperm(const std::vector<std::string>& header, const std::vector<const tQbBlockedDomain*>& hosts) {
  std::string out;
  for (const auto& l : header) {
    out += l;
    out += '\n';
  }
  out += '\n';
  for (const tQbBlockedDomain* rec : hosts) {
    const struct {
      uint8_t value;
      const char* word;
    } perms[] = {{rec->Cookie, "cookie"}, {rec->Image, "image"}, {rec->Popup, "popup"}, {rec->Install, "install"}};
    for (const auto& p : perms) {
      if (p.value == 0) continue;
      out += rec->Kind;
      out += '\t';
      out += p.word;
      out += '\t';
      out += std::to_string(p.value);
      out += '\t';
      out += rec->Host;
      out += '\n';
    }
  }
  return out;
}

}  // namespace morvane::permission_files
