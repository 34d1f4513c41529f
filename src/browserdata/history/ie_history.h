// The Internet Explorer history folders of the current user, and a walk over
// the URL entries of one history index file ("index.dat").
#pragma once

#include <memory>
#include <string>

#include "browserdata/history/index_dat.h"
#include "platform/core/classes.h"
#include "platform/core/components.h"
#include "platform/core/owned_objects.h"
#include "platform/core/streams.h"

namespace morvane {

class TIEHistoryFolderInfo : public TObject {
 public:
  bool IsExtra = false;     // false for the user's history folder itself
  std::string CachePrefix;  // from the registry; empty for folders found on disk
};

struct TIEHistoryEntry {
  std::string URL;  // empty: the walk has ended
  TDateTime FirstTime = 0;
  TDateTime SecondTime = 0;
};

class TIEHistory {
 public:
  // Collects the folders below the user's history folder.
  TIEHistory();
  // The same below HistoryFolder (the system's history folder when empty).
  explicit TIEHistory(const std::string& HistoryFolder);
  virtual ~TIEHistory();
  TIEHistory(const TIEHistory&) = delete;
  TIEHistory& operator=(const TIEHistory&) = delete;

  // Folder paths ending in "\", sorted, case-insensitive, each with its
  // TIEHistoryFolderInfo as object (owned by the store).
  TStringList& GetFolders() { return Folders; }

  // Opens IndexFile (closing the previous one) and fills Entry with its
  // first URL record; Entry.URL is empty when it has none. Raises
  // EFOpenError when the file cannot be opened.
  void FindFirst(const std::string& IndexFile, TIEHistoryEntry& Entry);
  // The next URL record; Entry.URL is empty at the end.
  void FindNext(TIEHistoryEntry& Entry);
  uint64_t Position() const { return walker_ ? walker_->Position() : 0; }

  // Every folder below Dir, depth first, a folder followed directly by its
  // own sub-folders, each as Dir + name + "\".
  static std::unique_ptr<TStringList> ListSubfolders(const std::string& Dir);

 private:
  void Collect(std::string historyFolder);
  void AddFolder(const std::string& Folder, bool IsExtra, const std::string& CachePrefix);
  static bool IsHistoryIndex(const std::string& Folder);
  static void Fill(const TIndexDatUrl& From, TIEHistoryEntry& Entry);

  TOwningStringList Folders;
  std::unique_ptr<TFileStream> Stream;
  std::unique_ptr<TIndexDatSource> source_;
  std::unique_ptr<TIndexDatWalker> walker_;
};

}  // namespace morvane
