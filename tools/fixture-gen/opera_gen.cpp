#include "opera_gen.h"

#include <stdexcept>

namespace morvane::fixturegen {
namespace {

class TWriter {
 public:
  explicit TWriter(const TOperaGenOptions& o) : o_(o) {}

  static void Be(std::string& out, uint64_t v, unsigned width) {
    for (unsigned i = width; i-- > 0;) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  static uint64_t Max(unsigned width) { return width >= 8 ? UINT64_MAX : (uint64_t{1} << (8 * width)) - 1; }

  void Flag(std::string& out, uint32_t id) const {
    Be(out, (uint64_t{1} << (8 * o_.TagWidth - 1)) | (id & 0x7F), o_.TagWidth);
  }
  void Item(std::string& out, uint32_t tag, const std::string& payload) const {
    if (payload.size() > Max(o_.LengthWidth)) throw std::length_error("payload too long for the length width");
    Be(out, tag, o_.TagWidth);
    Be(out, payload.size(), o_.LengthWidth);
    out += payload;
  }
  void Number(std::string& out, uint32_t tag, uint64_t v, unsigned width) const {
    std::string p;
    Be(p, v, width);
    Item(out, tag, p);
  }
  void Extra(std::string& out, const std::vector<TOperaGenField>& fields) const {
    for (const auto& f : fields) {
      if (f.Flag) {
        Flag(out, f.Tag);
      } else {
        Item(out, f.Tag, f.Payload);
      }
    }
  }

  void Cookie(std::string& out, const TOperaGenCookie& c) const {
    std::string body;
    Item(body, 0x10, c.Name);
    Item(body, 0x11, c.Value);
    if (c.HasExpires) Number(body, 0x12, c.Expires, o_.TimeWidth);
    if (c.HasLastUsed) Number(body, 0x13, c.LastUsed, o_.TimeWidth);
    if (!c.Comment.empty()) Item(body, 0x14, c.Comment);
    if (!c.CommentUrl.empty()) Item(body, 0x15, c.CommentUrl);
    if (!c.RecvDomain.empty()) Item(body, 0x16, c.RecvDomain);
    if (!c.RecvPath.empty()) Item(body, 0x17, c.RecvPath);
    if (!c.PortList.empty()) Item(body, 0x18, c.PortList);
    if (c.Secure) Flag(body, 0x19);
    if (c.Version >= 0) Number(body, 0x1A, static_cast<uint64_t>(c.Version), o_.NumberWidth);
    if (c.ServerOnly) Flag(body, 0x1B);
    if (c.Protected) Flag(body, 0x1C);
    if (c.NotForPrefix) Flag(body, 0x20);
    if (c.Password) Flag(body, 0x22);
    if (c.Authenticate) Flag(body, 0x23);
    if (c.ThirdParty) Flag(body, 0x24);
    Extra(body, c.Extra);
    Item(out, 0x03, body);
  }

  void Path(std::string& out, const TOperaGenPath& p) const {
    std::string body;
    Item(body, 0x1D, p.Name);
    Extra(body, p.Extra);
    Item(out, 0x02, body);
    for (const auto& c : p.Cookies) Cookie(out, c);
    for (const auto& sub : p.Paths) Path(out, sub);
    Flag(out, 0x05);
  }

  void Domain(std::string& out, const TOperaGenDomain& d) const {
    std::string body;
    Item(body, 0x1E, d.Name);
    if (d.Filter >= 0) Number(body, 0x1F, static_cast<uint64_t>(d.Filter), o_.NumberWidth);
    if (d.PathFilter >= 0) Number(body, 0x21, static_cast<uint64_t>(d.PathFilter), o_.NumberWidth);
    if (d.ThirdParty >= 0) Number(body, 0x25, static_cast<uint64_t>(d.ThirdParty), o_.NumberWidth);
    Extra(body, d.Extra);
    Item(out, 0x01, body);
    for (const auto& c : d.Cookies) Cookie(out, c);
    for (const auto& p : d.Paths) Path(out, p);
    for (const auto& sub : d.Domains) Domain(out, sub);
    Flag(out, 0x04);
  }

 private:
  const TOperaGenOptions& o_;
};

std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= s.size()) {
    size_t p = s.find(sep, start);
    if (p == std::string::npos) p = s.size();
    if (p > start) out.push_back(s.substr(start, p - start));
    start = p + 1;
  }
  return out;
}

}  // namespace

std::string WriteOperaCookies(const std::vector<TOperaGenDomain>& domains, const TOperaGenOptions& o) {
  std::string out;
  TWriter::Be(out, o.FileVersion, 4);
  TWriter::Be(out, o.AppVersion, 4);
  TWriter::Be(out, o.TagWidth, 2);
  TWriter::Be(out, o.LengthWidth, 2);
  TWriter w(o);
  w.Extra(out, o.TopLevelExtra);
  for (const auto& d : domains) w.Domain(out, d);
  return out;
}

void AddOperaCookie(std::vector<TOperaGenDomain>& domains, const std::string& host, const std::string& path,
                    const TOperaGenCookie& cookie) {
  std::vector<std::string> labels = Split(host, '.');
  std::vector<TOperaGenDomain>* level = &domains;
  TOperaGenDomain* d = nullptr;
  for (auto it = labels.rbegin(); it != labels.rend(); ++it) {
    d = nullptr;
    for (auto& x : *level) {
      if (x.Name == *it) d = &x;
    }
    if (!d) {
      level->push_back(TOperaGenDomain{});
      d = &level->back();
      d->Name = *it;
    }
    level = &d->Domains;
  }
  if (!d) throw std::invalid_argument("empty host");
  std::vector<std::string> segs = Split(path, '/');
  if (segs.empty()) {
    d->Cookies.push_back(cookie);
    return;
  }
  std::vector<TOperaGenPath>* plevel = &d->Paths;
  TOperaGenPath* p = nullptr;
  for (const auto& s : segs) {
    p = nullptr;
    for (auto& x : *plevel) {
      if (x.Name == s) p = &x;
    }
    if (!p) {
      plevel->push_back(TOperaGenPath{});
      p = &plevel->back();
      p->Name = s;
    }
    plevel = &p->Paths;
  }
  p->Cookies.push_back(cookie);
}

}  // namespace morvane::fixturegen

namespace morvane::fixturegen {

std::vector<TOperaGenDomain> MakeOperaCookies(long n) {
  std::vector<TOperaGenDomain> domains;
  const char* const tlds[] = {"com", "org", "net", "de"};
  for (long i = 0; i < n; ++i) {
    const long site = i / 4;
    std::string host = (i % 3 == 0 ? "www." : "") + std::string("site") + std::to_string(site % 5000) + "." +
                       tlds[site % 4];
    std::string path = i % 4 == 0 ? "/" : (i % 4 == 1 ? "/app" : (i % 4 == 2 ? "/app/v" + std::to_string(i % 7) : "/x"));
    TOperaGenCookie c;
    c.Name = "c" + std::to_string(i);
    c.Value = "value-" + std::to_string(i * 7919 % 100000);
    c.Expires = 1700000000u + static_cast<uint64_t>(i) * 61;
    c.LastUsed = 1690000000u + static_cast<uint64_t>(i) * 17;
    c.HasLastUsed = i % 10 != 0;
    if (i % 5 == 0) c.CommentUrl = "http://" + host + "/privacy";
    if (i % 6 == 0) c.RecvDomain = host;
    c.Secure = i % 2 == 0;
    c.ServerOnly = i % 3 == 0;
    c.Version = i % 8 == 0 ? 1 : -1;
    if (i % 9 == 0) c.Extra.push_back(TOperaGenField{0x28, std::string("\x01\x02\x03", 3), false});
    AddOperaCookie(domains, host, path, c);
  }
  return domains;
}

}  // namespace morvane::fixturegen
