// Writes Registry.dat bytes for tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "browserdata/netscape/registry_dat.h"

namespace morvane::test {

// Builds a registry file the way the browser lays it out: a 32-byte header,
// then nodes, each followed by its name.
class TRegBuilder {
 public:
  TRegBuilder() : bytes_(32, '\0') {}
  uint32_t Key(const std::string& name) {
    const uint32_t pos = Alloc(36);
    const uint32_t n = Text(name);
    Put32(pos, pos);
    Put32(pos + 4, n);
    Put16(pos + 8, static_cast<uint16_t>(name.size() + 1));
    Put16(pos + 10, 1);
    return pos;
  }
  uint32_t Value(const std::string& name, const std::string& value) {
    const uint32_t pos = Alloc(32);
    const uint32_t n = Text(name), v = Text(value);
    Put32(pos, pos);
    Put32(pos + 4, n);
    Put16(pos + 8, static_cast<uint16_t>(name.size() + 1));
    Put16(pos + 10, 0x11);
    Put32(pos + 20, v);
    Put32(pos + 24, static_cast<uint32_t>(value.size() + 1));
    return pos;
  }
  void Next(uint32_t node, uint32_t next) { Put32(node + 12, next); }
  void Child(uint32_t node, uint32_t child) { Put32(node + 16, child); }
  void FirstValue(uint32_t node, uint32_t value) { Put32(node + 20, value); }
  void Put16(uint32_t at, uint16_t v) { std::memcpy(&bytes_[at], &v, 2); }
  void Put32(uint32_t at, uint32_t v) { std::memcpy(&bytes_[at], &v, 4); }
  std::string Bytes(uint32_t root, uint32_t magic = TRegistryDatReader::kMagic) {
    Put32(0, magic);
    Put32(12, root);
    return bytes_;
  }

 private:
  uint32_t Alloc(size_t n) {
    const uint32_t pos = static_cast<uint32_t>(bytes_.size());
    bytes_.resize(bytes_.size() + n, '\0');
    return pos;
  }
  uint32_t Text(const std::string& s) {
    const uint32_t pos = Alloc(s.size() + 1);
    std::memcpy(&bytes_[pos], s.data(), s.size());
    return pos;
  }
  std::string bytes_;
};

}  // namespace morvane::test
