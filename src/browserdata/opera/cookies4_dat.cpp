#include "browserdata/opera/cookies4_dat.h"

#include <utility>

namespace morvane {

TOperaCookieTree::TOperaCookieTree() {
  nodes_.push_back(std::make_unique<TOperaCookieNode>());
  root_ = nodes_.back().get();
}

TOperaCookieTree::~TOperaCookieTree() {
  // Children are always created after their parents: freeing from the back
  // frees the deepest and last nodes first and the root last.
  while (!nodes_.empty()) nodes_.pop_back();
}

TOperaCookieNode* TOperaCookieTree::AddChild(TOperaCookieNode* parent, bool isPath) {
  nodes_.push_back(std::make_unique<TOperaCookieNode>());
  TOperaCookieNode* n = nodes_.back().get();
  n->IsPath = isPath;
  n->Parent = parent;
  if (parent->lastChild_) {
    parent->lastChild_->NextSibling = n;
    n->PrevSibling = parent->lastChild_;
  } else {
    parent->FirstChild = n;
  }
  parent->lastChild_ = n;
  return n;
}

TOperaCookieNode* TOperaCookieTree::Next(const TOperaCookieNode* node) {
  if (!node) return nullptr;
  if (node->FirstChild) return node->FirstChild;
  for (const TOperaCookieNode* n = node; n; n = n->Parent) {
    if (n->NextSibling) return n->NextSibling;
  }
  return nullptr;
}

std::string TOperaCookieTree::NodeName(const TOperaCookieNode* node) {
  std::string domain, path;
  for (const TOperaCookieNode* n = node; n && n->Parent; n = n->Parent) {
    if (n->IsPath) {
      path = "/" + n->Name + path;
    } else {
      domain += "." + n->Name;
    }
  }
  return domain + path;
}

namespace {

// Pieces of Text between separators; a final separator gives no empty last
// piece and an empty text no piece at all.
std::vector<std::string> SplitLabels(const std::string& text, char sep) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  size_t start = 0;
  for (;;) {
    size_t p = text.find(sep, start);
    if (p == std::string::npos) {
      out.push_back(text.substr(start));
      break;
    }
    out.push_back(text.substr(start, p - start));
    start = p + 1;
    if (start >= text.size()) break;
  }
  return out;
}

}  // namespace

TOperaCookieTree::TFindResult TOperaCookieTree::FindNode(const std::string& domainPath) const {
  std::string s = domainPath;
  if (!s.empty() && s[0] == '.') s.erase(0, 1);
  std::string domainPart = s, pathPart;
  if (size_t slash = s.find('/'); slash != std::string::npos) {
    domainPart = s.substr(0, slash);
    pathPart = s.substr(slash + 1);
  }
  // Top-level domain first, last path segment last.
  std::vector<std::string> domainLabels = SplitLabels(domainPart, '.');
  std::vector<std::string> labels(domainLabels.rbegin(), domainLabels.rend());
  for (auto& seg : SplitLabels(pathPart, '/')) labels.push_back(std::move(seg));

  TFindResult r;
  TOperaCookieNode* at = root_;
  for (size_t i = 0; i < labels.size(); ++i) {
    TOperaCookieNode* child = at->FirstChild;
    while (child && child->Name != labels[i]) child = child->NextSibling;
    if (!child) {
      if (i + 1 < labels.size()) r.FailedUnder = at;
      return r;
    }
    at = child;
  }
  r.Node = at;
  return r;
}

namespace {

constexpr uint64_t kDomainRecord = 0x0001;
constexpr uint64_t kPathRecord = 0x0002;
constexpr uint64_t kCookieRecord = 0x0003;
constexpr uint64_t kEndOfDomain = 0x8004;
constexpr uint64_t kEndOfPath = 0x8005;

struct TTag {
  uint64_t Id;  // a flag's id is its low bits plus 0x8000, whatever its width
  bool Flag;
};

struct TTruncated {
  const char* What;
  uint64_t Offset;
};

class TReader {
 public:
  TReader(std::span<const uint8_t> data, unsigned tagWidth, unsigned lengthWidth)
      : data_(data), tagWidth_(tagWidth), lengthWidth_(lengthWidth) {}

  bool AtEnd() const { return pos_ >= data_.size(); }
  uint64_t Pos() const { return pos_; }
  void SetPos(uint64_t p) { pos_ = p; }

  uint64_t Number(unsigned width, const char* what) {
    Need(width, what);
    uint64_t v = 0;
    for (unsigned i = 0; i < width; ++i) v = (v << 8) | data_[pos_ + i];
    pos_ += width;
    return v;
  }

  TTag Tag() {
    uint64_t raw = Number(tagWidth_, "tag id");
    const uint64_t top = uint64_t{1} << (8 * tagWidth_ - 1);
    if (raw & top) return {(raw & ~top) | 0x8000, true};
    return {raw, false};
  }

  uint64_t Length() { return Number(lengthWidth_, "length field"); }

  std::span<const uint8_t> Bytes(uint64_t n, const char* what) {
    Need(n, what);
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
  }

  std::string String() {
    auto b = Bytes(Length(), "text");
    size_t n = 0;
    while (n < b.size() && b[n] != 0) ++n;
    return std::string(reinterpret_cast<const char*>(b.data()), n);
  }

  // Numbers of 1 to 8 bytes; longer payloads are stepped over and give
  // nothing, an empty one gives 0.
  bool Value(uint64_t& v) {
    uint64_t n = Length();
    if (n > 8) {
      Bytes(n, "number");
      return false;
    }
    v = Number(static_cast<unsigned>(n), "number");
    return true;
  }

  void Skip(const TTag& t) {
    if (!t.Flag) Bytes(Length(), "payload");
  }

 private:
  void Need(uint64_t n, const char* what) const {
    if (pos_ > data_.size() || n > data_.size() - pos_) throw TTruncated{what, pos_};
  }

  std::span<const uint8_t> data_;
  uint64_t pos_ = 0;
  unsigned tagWidth_;
  unsigned lengthWidth_;
};

TDateTime UnixToDateTime(uint64_t seconds) { return 25569.0 + static_cast<double>(seconds) / 86400.0; }

// End of a record whose length field was just read.
uint64_t RecordEnd(const TReader& r, uint64_t length) {
  const uint64_t limit = UINT64_MAX - r.Pos();
  return length > limit ? UINT64_MAX : r.Pos() + length;
}

void ReadDomain(TReader& r, TOperaCookieNode* node) {
  const uint64_t end = RecordEnd(r, r.Length());
  while (r.Pos() < end) {
    TTag t = r.Tag();
    uint64_t v = 0;
    if (t.Flag) continue;
    switch (t.Id) {
      case 0x1E: node->Name = r.String(); break;
      case 0x1F: if (r.Value(v)) node->Setting1F = static_cast<int64_t>(v); break;
      case 0x21: if (r.Value(v)) node->Setting21 = static_cast<int64_t>(v); break;
      case 0x25: if (r.Value(v)) node->Setting25 = static_cast<int64_t>(v); break;
      default: r.Skip(t); break;
    }
  }
}

void ReadPath(TReader& r, TOperaCookieNode* node) {
  const uint64_t end = RecordEnd(r, r.Length());
  while (r.Pos() < end) {
    TTag t = r.Tag();
    if (!t.Flag && t.Id == 0x1D) {
      node->Name = r.String();
    } else {
      r.Skip(t);
    }
  }
}

bool* FlagOf(TOperaCookie& c, uint64_t id) {
  switch (id) {
    case 0x8019: return &c.Flag8019;
    case 0x801B: return &c.Flag801B;
    case 0x801C: return &c.Flag801C;
    case 0x8020: return &c.Flag8020;
    case 0x8022: return &c.Flag8022;
    case 0x8023: return &c.Flag8023;
    case 0x8024: return &c.Flag8024;
    default: return nullptr;
  }
}

void ReadCookie(TReader& r, TOperaCookieNode* node) {
  const uint64_t end = RecordEnd(r, r.Length());
  // Fields before the first name have no cookie to go to: read and dropped.
  TOperaCookie dropped;
  TOperaCookie* c = &dropped;
  while (r.Pos() < end) {
    TTag t = r.Tag();
    if (t.Flag) {
      if (bool* f = FlagOf(*c, t.Id)) *f = true;
      continue;
    }
    uint64_t v = 0;
    switch (t.Id) {
      case 0x10: {
        std::string name = r.String();
        node->Cookies.push_back(std::make_unique<TOperaCookie>());
        c = node->Cookies.back().get();
        c->Name = std::move(name);
        break;
      }
      case 0x11: c->Value = r.String(); break;
      case 0x12: if (r.Value(v)) c->Expires = UnixToDateTime(v); break;
      case 0x13: if (r.Value(v)) c->LastUsed = UnixToDateTime(v); break;
      case 0x14: c->Text14 = r.String(); break;
      case 0x16: c->Text16 = r.String(); break;
      case 0x17: c->Text17 = r.String(); break;
      case 0x18: c->Text18 = r.String(); break;
      case 0x1A: if (r.Value(v)) c->Number1A = static_cast<int64_t>(v); break;
      default: r.Skip(t); break;
    }
  }
}

uint64_t HeaderNumber(std::span<const uint8_t> d, size_t at, unsigned width) {
  uint64_t v = 0;
  for (unsigned i = 0; i < width; ++i) v = (v << 8) | d[at + i];
  return v;
}

}  // namespace

TOperaParseResult ParseOperaCookies(std::span<const uint8_t> data, TOperaCookieFile& file) {
  TOperaParseResult result;
  if (data.size() < 12) {
    result = {false, "the file header is cut short", 0};
    return result;
  }
  file.FileVersion = static_cast<uint32_t>(HeaderNumber(data, 0, 4));
  file.AppVersion = static_cast<uint32_t>(HeaderNumber(data, 4, 4));
  file.TagIdLength = static_cast<uint16_t>(HeaderNumber(data, 8, 2));
  file.LengthLength = static_cast<uint16_t>(HeaderNumber(data, 10, 2));
  // Widths beyond 8 bytes cannot hold a position in any file; a width of 0
  // would never move the reader on.
  if (file.TagIdLength < 1 || file.TagIdLength > 8 || file.LengthLength < 1 || file.LengthLength > 8) {
    result = {false, "unsupported tag-id or length width", 8};
    return result;
  }

  TReader r(data.subspan(12), file.TagIdLength, file.LengthLength);
  TOperaCookieNode* current = file.Tree.Root();
  try {
    while (!r.AtEnd()) {
      TTag t = r.Tag();
      if (t.Flag) {
        if (t.Id == kEndOfDomain) {
          if (current->Parent) current = current->Parent;
        } else if (t.Id == kEndOfPath) {
          if (current->IsPath) current = current->Parent;
        }
        continue;
      }
      switch (t.Id) {
        case kDomainRecord:
          current = file.Tree.AddChild(current, false);
          ReadDomain(r, current);
          break;
        case kPathRecord:
          current = file.Tree.AddChild(current, true);
          ReadPath(r, current);
          break;
        case kCookieRecord:
          ReadCookie(r, current);
          break;
        default:
          r.Skip(t);
          break;
      }
    }
  } catch (const TTruncated& e) {
    result = {false, std::string("the file ends inside a ") + e.What, e.Offset + 12};
  }
  return result;
}

}  // namespace morvane
