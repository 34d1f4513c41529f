// Opera's cookie file "cookies4.dat": a big-endian file of tagged records.
//
// Header (12 bytes): file version (u32), application version (u32), width of
// a tag id in bytes (u16), width of a length field in bytes (u16). Then
// top-level items until the end of the file, each starting with a tag id.
// A tag whose top bit is set is a flag and carries nothing; every other tag
// is followed by a length field and that many payload bytes, so a reader can
// step over tags it does not know.
//
// Domain (0x0001) and path (0x0002) records open a node under the current
// node; cookie records (0x0003) add cookies to the current node; the flags
// 0x8004 and 0x8005 close a domain and a path.
//
// Only the standard library here: the parser builds natively for fuzzing.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace morvane {

using TDateTime = double;

struct TOperaCookie {
  std::string Name;   // tag 0x10
  std::string Value;  // tag 0x11
  // A cookie without the time tags shows this date (1961-10-15).
  TDateTime Expires = 22569.0;   // tag 0x12
  TDateTime LastUsed = 22569.0;  // tag 0x13
  std::string Text14, Text16, Text17, Text18;
  bool Flag8019 = false;
  bool Flag801B = false;
  bool Flag801C = false;
  bool Flag8020 = false;
  bool Flag8022 = false;
  bool Flag8023 = false;
  bool Flag8024 = false;
  int64_t Number1A = 0;
};

struct TOperaCookieNode {
  std::string Name;  // one domain label or one path segment
  TOperaCookieNode* Parent = nullptr;
  TOperaCookieNode* FirstChild = nullptr;
  TOperaCookieNode* NextSibling = nullptr;
  TOperaCookieNode* PrevSibling = nullptr;
  bool IsPath = false;
  int64_t Setting1F = 0;
  int64_t Setting21 = 0;
  int64_t Setting25 = 0;
  std::vector<std::unique_ptr<TOperaCookie>> Cookies;

 private:
  friend class TOperaCookieTree;
  TOperaCookieNode* lastChild_ = nullptr;
};

// The tree of domain and path nodes under an unnamed root. The tree owns every
// node; nodes are kept in creation order so that freeing needs no recursion
// however deep a file nests its records.
class TOperaCookieTree {
 public:
  TOperaCookieTree();
  ~TOperaCookieTree();
  TOperaCookieTree(const TOperaCookieTree&) = delete;
  TOperaCookieTree& operator=(const TOperaCookieTree&) = delete;

  TOperaCookieNode* Root() const { return root_; }
  size_t NodeCount() const { return nodes_.size(); }
  // Appends a new last child of Parent.
  TOperaCookieNode* AddChild(TOperaCookieNode* parent, bool isPath);

  // The node after Node in preorder, nullptr at the end.
  static TOperaCookieNode* Next(const TOperaCookieNode* node);
  // ".abc.def/a/b" for the path node b under a under abc under def.
  static std::string NodeName(const TOperaCookieNode* node);

  // Finds the node of a full name as NodeName gives it (one leading "." is
  // optional). When a label other than the last one has no matching child,
  // FailedUnder names the node under which it was sought.
  struct TFindResult {
    TOperaCookieNode* Node = nullptr;
    const TOperaCookieNode* FailedUnder = nullptr;
  };
  TFindResult FindNode(const std::string& domainPath) const;

 private:
  std::vector<std::unique_ptr<TOperaCookieNode>> nodes_;
  TOperaCookieNode* root_;
};

struct TOperaCookieFile {
  uint32_t FileVersion = 0;
  uint32_t AppVersion = 0;
  uint16_t TagIdLength = 0;
  uint16_t LengthLength = 0;
  TOperaCookieTree Tree;
};

struct TOperaParseResult {
  bool Ok = true;
  std::string Error;    // what could not be read
  uint64_t Offset = 0;  // where
};

// Reads Data into File. A file cut short, or with tag or length widths the
// format cannot have, stops the reading with Ok false; what was read before
// stays in the tree.
TOperaParseResult ParseOperaCookies(std::span<const uint8_t> data, TOperaCookieFile& file);

}  // namespace morvane
