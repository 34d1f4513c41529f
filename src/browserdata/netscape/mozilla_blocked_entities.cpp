#include "browserdata/netscape/mozilla_blocked_entities.h"

#include "browserdata/netscape/file_replace.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/core/textfiles.h"

namespace morvane {
namespace {

std::string WithoutLeadingDot(const std::string& host) {
  return (!host.empty() && host[0] == '.') ? host.substr(1) : host;
}

}  // namespace

bool TQbBlockedHostList::Find(const std::string& Host, int& Index) const {
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) / 2;
    const int c = AnsiCompareText(items_[mid].Host, Host);
    if (c < 0) {
      lo = mid + 1;
    } else if (c > 0) {
      hi = mid - 1;
    } else {
      Index = mid;
      return true;
    }
  }
  Index = lo;
  return false;
}

int TQbBlockedHostList::IndexOf(const std::string& Host) const {
  int i = 0;
  return Find(Host, i) ? i : -1;
}

std::unique_ptr<tQbBlockedDomain> TQbBlockedHostList::Extract(PQbBlockedDomain Rec) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].Rec.get() == Rec) {
      std::unique_ptr<tQbBlockedDomain> r = std::move(items_[i].Rec);
      items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
      return r;
    }
  }
  return nullptr;
}

void TQbBlockedHostList::Put(const std::string& Host, std::unique_ptr<tQbBlockedDomain> Rec) {
  int i = 0;
  if (Find(Host, i)) {
    items_[i].Rec = std::move(Rec);
    return;
  }
  items_.insert(items_.begin() + i, TItem{Host, std::move(Rec)});
}

TMozillaBlockedEntities::TMozillaBlockedEntities(const std::string& ADir) {
  Dir = ADir;
  if (!Dir.empty() && Dir.back() == '\\') Dir.pop_back();
  const std::string c = Dir + "\\cookperm.txt";
  const std::string h = Dir + "\\hostperm.1";
  std::string readFrom;
  if (FileExists(ADir)) {
    Format = 1;
    readFrom = ADir;
  } else {
    const bool hasC = FileExists(c), hasH = FileExists(h);
    if (hasC && hasH)
      Format = FileAge(h) >= FileAge(c) ? 1 : 0;  // a tie goes to hostperm.1
    else if (hasC)
      Format = 0;
    else if (hasH)
      Format = 1;
    else
      Format = 2;
    if (Format != 2) readFrom = Format == 0 ? c : h;
  }
  if (readFrom.empty()) return;
  const std::string bytes = LoadFileBytes(readFrom);
  Load(Format == 0 ? permission_files::ParseCookperm(bytes) : permission_files::ParseHostperm(bytes));
}

TMozillaBlockedEntities::~TMozillaBlockedEntities() = default;

void TMozillaBlockedEntities::Load(const TPermissionFile& file) {
  Header = file.Header;
  Extra = file.Extra;
  for (const auto& rec : file.Hosts) Hosts.Put(rec.Host, std::make_unique<tQbBlockedDomain>(rec));

}

PQbBlockedDomain TMozillaBlockedEntities::Find(const std::string& Host) const {
  const int i = Hosts.IndexOf(WithoutLeadingDot(Host));
  return i < 0 ? nullptr : Hosts.Objects(i);
}

void TMozillaBlockedEntities::Add(PQbBlockedDomain Rec) {
  if (!Rec) return;
  // A listed record whose host was changed in place moves to its new key.
  std::unique_ptr<tQbBlockedDomain> owned = Hosts.Extract(Rec);
  if (!owned) owned.reset(Rec);
  const std::string host = owned->Host;
  Hosts.Put(host, std::move(owned));
}

bool TMozillaBlockedEntities::DeleteHost(const std::string& Host) {
  const int i = Hosts.IndexOf(WithoutLeadingDot(Host));
  if (i < 0) return false;
  Hosts.Delete(i);
  return true;
}

bool TMozillaBlockedEntities::DeleteAt(int Index) {
  if (Index < 0 || Index >= Hosts.Count()) return false;
  Hosts.Delete(Index);
  return true;
}

bool TMozillaBlockedEntities::Save() {
  if (Format == 2) return WriteFile(0) && WriteFile(1);
  return WriteFile(Format);
}

bool TMozillaBlockedEntities::WriteFile(int Which) {
  try {
    const std::string folder = DirectoryExists(Dir) ? Dir : ExcludeTrailingBackslash(ExtractFilePath(Dir));
    const std::string file = folder + (Which == 1 ? "\\hostperm.1" : "\\cookperm.txt");
    std::vector<const tQbBlockedDomain*> hosts;
    hosts.reserve(Hosts.Count());
    for (int i = 0; i < Hosts.Count(); ++i) hosts.push_back(Hosts.Objects(i));
    std::string bytes;
    if (Which == 1) {
      if (!Header) Header = permission_files::DefaultHostpermHeader();
      bytes = permission_files::WriteHostperm(*Header, hosts);
    } else {
      bytes = permission_files::WriteCookperm(Header ? &*Header : nullptr, hosts, Extra ? &*Extra : nullptr);
    }
    ReplaceFileBytes(file, bytes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace morvane
