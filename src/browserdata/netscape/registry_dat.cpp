#include "browserdata/netscape/registry_dat.h"

#include <algorithm>
#include <unordered_set>

namespace morvane {
namespace {

std::string UpperAscii(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

}  // namespace

TRegistryDatReader::TRegistryDatReader(std::string bytes, std::function<void(const std::string&)> onUnexpectedType)
    : bytes_(std::move(bytes)), onUnexpectedType_(std::move(onUnexpectedType)) {
  uint32_t magic = 0, rootPos = 0;
  if (U32(0, magic) && magic == kMagic && U32(12, rootPos)) {
    valid_ = true;
    root_ = ReadKey(rootPos);
  }
}

bool TRegistryDatReader::U32(uint64_t pos, uint32_t& v) const {
  if (pos > bytes_.size() || bytes_.size() - pos < 4) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + pos);
  v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
      static_cast<uint32_t>(p[3]) << 24;
  return true;
}

bool TRegistryDatReader::U16(uint64_t pos, uint16_t& v) const {
  if (pos > bytes_.size() || bytes_.size() - pos < 2) return false;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + pos);
  v = static_cast<uint16_t>(p[0] | p[1] << 8);
  return true;
}

std::string TRegistryDatReader::Text(uint32_t pos, uint32_t length) const {
  if (length > kMaxTextLength) length = kMaxTextLength;
  if (pos >= bytes_.size()) return std::string();
  std::string_view s(bytes_.data() + pos, std::min<size_t>(length, bytes_.size() - pos));
  const size_t nul = s.find('\0');
  return std::string(nul == std::string_view::npos ? s : s.substr(0, nul));
}

TRegDataKeyItem TRegistryDatReader::ReadKey(uint32_t position) const {
  TRegDataKeyItem k;
  uint32_t location = 0;
  if (!valid_ || !U32(position, location) || location != position) return k;
  k.Location = position;
  uint32_t namePos = 0;
  uint16_t nameLen = 0;
  U32(position + 4ull, namePos);
  U16(position + 8ull, nameLen);
  U16(position + 10ull, k.Type);
  U32(position + 12ull, k.NextSibling);
  if (k.Type == 1) {
    U32(position + 16ull, k.FirstChild);
    U32(position + 20ull, k.FirstValue);
    U32(position + 28ull, k.ValueCapacity);
    U32(position + 32ull, k.Parent);
  } else if (onUnexpectedType_) {
    onUnexpectedType_("?");
  }
  k.Name = Text(namePos, nameLen);
  return k;
}

TRegDataValueItem TRegistryDatReader::ReadValue(uint32_t position) const {
  TRegDataValueItem v;
  uint32_t location = 0;
  if (!valid_ || !U32(position, location) || location != position) return v;
  v.Location = position;
  uint32_t namePos = 0, dataPos = 0, dataLen = 0;
  uint16_t nameLen = 0;
  U32(position + 4ull, namePos);
  U16(position + 8ull, nameLen);
  U16(position + 10ull, v.Type);
  U32(position + 12ull, v.NextEntry);
  if (v.Type & 0x10) {
    U32(position + 20ull, dataPos);
    U32(position + 24ull, dataLen);
    U32(position + 28ull, v.ValueCapacity);
  } else if (onUnexpectedType_) {
    onUnexpectedType_("???");
  }
  v.Name = Text(namePos, nameLen);
  v.Value = Text(dataPos, dataLen);
  return v;
}

uint32_t TRegistryDatReader::FindKey(std::string_view path, uint32_t start) const {
  // Split iteratively: "a/b/c" is a under start, then b under that, ...
  uint32_t current = start;
  for (;;) {
    const size_t slash = path.find('/');
    const std::string want = UpperAscii(path.substr(0, slash));
    const TRegDataKeyItem node = ReadKey(current);
    if (node.Location < 0) return 0;
    uint32_t found = 0;
    std::unordered_set<uint32_t> seen;
    uint32_t child = node.FirstChild;
    for (size_t steps = 0; child != 0 && steps < MaxSteps() && seen.insert(child).second; ++steps) {
      const TRegDataKeyItem c = ReadKey(child);
      if (c.Location < 0) break;
      if (UpperAscii(c.Name) == want) {
        found = child;
        break;
      }
      child = c.NextSibling;
    }
    if (found == 0 || slash == std::string_view::npos) return found;
    current = found;
    path = path.substr(slash + 1);
  }
}

std::vector<TRegDataSubkey> TRegistryDatReader::SubkeyNames(const TRegDataKeyItem& key) const {
  std::vector<TRegDataSubkey> out;
  if (key.Location < 0) return out;
  std::unordered_set<uint32_t> seen;
  uint32_t child = key.FirstChild;
  for (size_t steps = 0; child != 0 && steps < MaxSteps() && seen.insert(child).second; ++steps) {
    const TRegDataKeyItem c = ReadKey(child);
    if (c.Location < 0) break;
    out.push_back({"/" + c.Name, child});
    child = c.NextSibling;
  }
  return out;
}

bool TRegistryDatReader::GetValue(const TRegDataKeyItem& key, std::string_view name, std::string& value) const {
  if (key.Location < 0) return false;
  const std::string want = UpperAscii(name);
  std::unordered_set<uint32_t> seen;
  uint32_t entry = key.FirstValue;
  for (size_t steps = 0; entry != 0 && steps < MaxSteps() && seen.insert(entry).second; ++steps) {
    const TRegDataValueItem v = ReadValue(entry);
    if (v.Location < 0) break;
    if (UpperAscii(v.Name) == want) {
      value = v.Value;
      return true;
    }
    entry = v.NextEntry;
  }
  return false;
}

}  // namespace morvane
