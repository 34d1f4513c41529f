// One Netscape/Mozilla or Firefox profile's per-host permissions, loaded from
// and saved to "cookperm.txt" or "hostperm.1" in the profile folder.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browserdata/netscape/permission_files.h"

namespace morvane {

// The hosts of a permission store, sorted as the toolkit's case-insensitive
// string lists sort; each entry owns its record.
class TQbBlockedHostList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Strings(int Index) const { return items_.at(Index).Host; }
  PQbBlockedDomain Objects(int Index) const { return items_.at(Index).Rec.get(); }
  // Index of Host (ignoring case), -1 when it is not listed.
  int IndexOf(const std::string& Host) const;

  // Adds Rec under Host, or gives the entry of Host the record Rec.
  void Put(const std::string& Host, std::unique_ptr<tQbBlockedDomain> Rec);
  void Delete(int Index) { items_.erase(items_.begin() + Index); }
  // Takes the entry that holds Rec out of the list and gives Rec to the
  // caller; null when no entry holds it.
  std::unique_ptr<tQbBlockedDomain> Extract(PQbBlockedDomain Rec);

 private:
  struct TItem {
    std::string Host;
    std::unique_ptr<tQbBlockedDomain> Rec;
  };
  // Where Host is or would go.
  bool Find(const std::string& Host, int& Index) const;
  std::vector<TItem> items_;
};

class TMozillaBlockedEntities {
 public:
  // Reads the permissions of the profile folder Dir (or of the hostperm.1
  // file Dir names). A read error raises.
  explicit TMozillaBlockedEntities(const std::string& Dir);
  virtual ~TMozillaBlockedEntities();
  TMozillaBlockedEntities(const TMozillaBlockedEntities&) = delete;
  TMozillaBlockedEntities& operator=(const TMozillaBlockedEntities&) = delete;

  TQbBlockedHostList* GetHosts() { return &Hosts; }
  // The record of Host (a leading "." ignored, case ignored), or null.
  PQbBlockedDomain Find(const std::string& Host) const;
  // Lists Rec under its Host, replacing (and freeing) that host's record.
  // The list owns Rec from then on; passing the listed record itself (one
  // edited in place) changes nothing.
  void Add(PQbBlockedDomain Rec);
  void Add(std::unique_ptr<tQbBlockedDomain> Rec) { Add(Rec.release()); }
  // False, and nothing changes, when Host (a leading "." ignored) is not listed.
  bool DeleteHost(const std::string& Host);
  bool DeleteAt(int Index);
  // 0 cookperm.txt, 1 hostperm.1, 2 neither file existed.
  uint8_t GetFormat() const { return Format; }
  // Writes the file of the format (both files for format 2). True when every
  // write succeeded; a failed write leaves the file as it was.
  bool Save();

  std::optional<std::vector<std::string>> Header;
  std::optional<std::vector<std::string>> Extra;
  TQbBlockedHostList Hosts;
  std::string Dir;
  uint8_t Format = 2;

 private:
  void Load(const TPermissionFile& file);
  bool WriteFile(int Which);
};

}  // namespace morvane
