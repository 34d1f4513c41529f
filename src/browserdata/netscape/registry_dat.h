// Reader of the binary Netscape/Mozilla registry file "Registry.dat" over its
// bytes. Pure: no I/O, no Windows headers. Every position read from the file
// is checked against its size, and every walk along sibling or entry chains is
// bounded, so a damaged file yields fewer keys, never a hang or a crash.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// A key node.
struct TRegDataKeyItem {
  int64_t Location = -1;  // -1 when the node is invalid
  uint16_t Type = 0;
  uint32_t NextSibling = 0;
  uint32_t FirstChild = 0;
  uint32_t FirstValue = 0;
  uint32_t ValueCapacity = 0;
  uint32_t Parent = 0;
  std::string Name;
};

// A value entry.
struct TRegDataValueItem {
  int64_t Location = -1;
  uint16_t Type = 0;
  uint32_t NextEntry = 0;
  uint32_t ValueCapacity = 0;
  std::string Name;
  std::string Value;
};

struct TRegDataSubkey {
  std::string Name;  // "/" + the child's name
  uint32_t Position = 0;
};

class TRegistryDatReader {
 public:
  static constexpr uint32_t kMagic = 0x76644441;  // "ADdv" on disk
  static constexpr uint32_t kMaxTextLength = 513;

  // `onUnexpectedType` is told "?" for a node that is no key and "???" for
  // an entry that is no value; reading goes on with the fields read so far.
  explicit TRegistryDatReader(std::string bytes, std::function<void(const std::string&)> onUnexpectedType = {});

  bool Valid() const { return valid_; }
  // The root node (invalid when the magic is wrong).
  const TRegDataKeyItem& Root() const { return root_; }

  TRegDataKeyItem ReadKey(uint32_t position) const;
  TRegDataValueItem ReadValue(uint32_t position) const;

  // Position of the key at `path` ("/"-separated names, compared ignoring
  // case) below the key at `start`; 0 when there is none.
  uint32_t FindKey(std::string_view path, uint32_t start) const;
  // The children of `key` in sibling order.
  std::vector<TRegDataSubkey> SubkeyNames(const TRegDataKeyItem& key) const;
  // The value of `key`'s entry `name` (ignoring case); false when none.
  bool GetValue(const TRegDataKeyItem& key, std::string_view name, std::string& value) const;

 private:
  bool U32(uint64_t pos, uint32_t& v) const;
  bool U16(uint64_t pos, uint16_t& v) const;
  std::string Text(uint32_t pos, uint32_t length) const;
  // The most nodes a chain can have in a file of this size.
  size_t MaxSteps() const { return bytes_.size() / 32 + 1; }

  std::string bytes_;
  std::function<void(const std::string&)> onUnexpectedType_;
  bool valid_ = false;
  TRegDataKeyItem root_;
};

}  // namespace morvane
