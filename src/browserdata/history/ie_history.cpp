#include "browserdata/history/ie_history.h"

#include "browserdata/sys/qb_sys_utils.h"
#include "platform/core/handles.h"
#include "platform/core/files.h"
#include "platform/core/registry.h"

namespace morvane {
namespace {

const char kHistoryKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\History";
const char kExtensibleKey[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\5.0\\Cache\\Extensible Cache";

std::string WithBackslash(std::string s) {
  if (s.empty() || s.back() != '\\') s += '\\';
  return s;
}

}  // namespace

TIEHistory::TIEHistory() : TIEHistory(std::string()) {}

TIEHistory::TIEHistory(const std::string& HistoryFolder) {
  Folders.SetSorted(true);
  Folders.SetDuplicates(dupIgnore);
  Folders.SetCaseSensitive(false);
  Collect(HistoryFolder);
}

TIEHistory::~TIEHistory() = default;

void TIEHistory::AddFolder(const std::string& Folder, bool IsExtra, const std::string& CachePrefix) {
  int at = 0;
  if (Folders.Find(Folder, at)) return;
  auto info = std::make_unique<TIEHistoryFolderInfo>();
  info->IsExtra = IsExtra;
  info->CachePrefix = CachePrefix;
  Folders.AddObject(Folder, info.release());
}

void TIEHistory::Collect(std::string history) {
  if (history.empty()) {
    try {
      GetSpecialFolderPath(nullptr, csidlHistory, history);
    } catch (const std::exception&) {
      return;
    }
    if (history.empty()) return;
  }
  history = WithBackslash(history);

  std::string prefix;
  {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    try {
      if (reg.OpenKeyReadOnly(kHistoryKey) && reg.ValueExists("CachePrefix")) prefix = reg.ReadString("CachePrefix");
    } catch (const std::exception&) {
    }
  }
  AddFolder(history, false, prefix);

  try {
    TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKeyReadOnly(kExtensibleKey)) {
      TStringList names;
      reg.GetKeyNames(names);
      for (int i = 0; i < names.Count(); ++i) {
        TRegistry sub(KEY_READ);
        sub.SetRootKey(HKEY_CURRENT_USER);
        try {
          if (!sub.OpenKeyReadOnly(std::string(kExtensibleKey) + "\\" + names.Strings(i))) continue;
          if (!sub.ValueExists("CachePath")) continue;
          const std::string raw = sub.ReadString("CachePath");
          char expanded[260];
          const DWORD n = ExpandEnvironmentStringsA(raw.c_str(), expanded, sizeof expanded);
          if (n == 0 || n > sizeof expanded) continue;
          const std::string subPrefix = sub.ValueExists("CachePrefix") ? sub.ReadString("CachePrefix") : "";
          AddFolder(WithBackslash(expanded), true, subPrefix);
        } catch (const std::exception&) {
          // A value of the wrong type leaves that cache out.
        }
      }
    }
  } catch (const std::exception&) {
  }

  auto below = ListSubfolders(history);
  for (int i = 0; i < below->Count(); ++i) AddFolder(below->Strings(i), true, "");

  for (int i = Folders.Count() - 1; i >= 0; --i) {
    if (!IsHistoryIndex(Folders.Strings(i))) Folders.Delete(i);
  }
}

bool TIEHistory::IsHistoryIndex(const std::string& Folder) {
  const std::string file = Folder + "index.dat";
  HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  TWinHandle owner(h);
  uint8_t header[TIndexDatWalker::kHeaderSize];
  DWORD got = 0;
  if (!ReadFile(h, header, sizeof header, &got, nullptr) || got < sizeof header) return false;
  return HasUrlCacheSignature(std::span<const uint8_t>(header, got));
}

std::unique_ptr<TStringList> TIEHistory::ListSubfolders(const std::string& Dir) {
  auto out = std::make_unique<TStringList>();
  // Depth first without recursion: a stack of folders still to list, each
  // listed right after its parent.
  std::vector<std::string> pending{WithBackslash(Dir)};
  std::vector<std::string> order;
  while (!pending.empty()) {
    const std::string dir = pending.back();
    pending.pop_back();
    std::vector<std::string> children;
    TSearchRec sr;
    if (morvane::FindFirst(dir + "*.*", faReadOnly | faHidden | faSysFile | faDirectory, sr) == 0) {
      do {
        if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..") children.push_back(dir + sr.Name + "\\");
      } while (morvane::FindNext(sr) == 0);
      morvane::FindClose(sr);
    }
    if (dir != WithBackslash(Dir)) out->Add(dir);
    for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(*it);
  }
  return out;
}

void TIEHistory::Fill(const TIndexDatUrl& From, TIEHistoryEntry& Entry) {
  Entry.URL = From.URL;
  Entry.FirstTime = From.URL.empty() ? 0 : FileTimeToDateTimeUtc(From.FirstTime);
  Entry.SecondTime = From.URL.empty() ? 0 : FileTimeToDateTimeUtc(From.SecondTime);
}

void TIEHistory::FindFirst(const std::string& IndexFile, TIEHistoryEntry& Entry) {
  Entry = TIEHistoryEntry{};
  walker_.reset();
  source_.reset();
  Stream.reset();
  Stream = std::make_unique<TFileStream>(IndexFile, fmOpenRead | fmShareDenyNone);
  TFileStream* s = Stream.get();
  source_ = std::make_unique<TIndexDatChunkedSource>(
      static_cast<uint64_t>(s->Size()), [s](uint64_t pos, uint8_t* buf, size_t n) -> size_t {
        s->Seek(static_cast<int64_t>(pos), soBeginning);
        const int64_t got = s->Read(buf, static_cast<int64_t>(n));
        return got > 0 ? static_cast<size_t>(got) : 0;
      });
  walker_ = std::make_unique<TIndexDatWalker>(*source_);
  TIndexDatUrl e;
  walker_->First(e);
  Fill(e, Entry);
}

void TIEHistory::FindNext(TIEHistoryEntry& Entry) {
  Entry = TIEHistoryEntry{};
  if (!walker_) return;
  TIndexDatUrl e;
  walker_->Next(e);
  Fill(e, Entry);
}

}  // namespace morvane
