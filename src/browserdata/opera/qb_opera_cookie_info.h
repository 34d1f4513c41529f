// Opera's cookie file, read into a tree of domain and path nodes. The store
// is read only: deleting a cookie changes the tree in memory, never the file.
#pragma once

#include <memory>
#include <string>

#include "browserdata/opera/cookies4_dat.h"

namespace morvane {

class QbOperaCookieInfo {
 public:
  // Finds the cookie file of the current user's Opera and reads it; without
  // one the tree holds only the root. Raises EReadError for a file that
  // ends in the middle of a record or cannot be read.
  QbOperaCookieInfo();
  // Reads CookieFile ("" gives the empty tree).
  explicit QbOperaCookieInfo(const std::string& CookieFile);
  virtual ~QbOperaCookieInfo();
  QbOperaCookieInfo(const QbOperaCookieInfo&) = delete;
  QbOperaCookieInfo& operator=(const QbOperaCookieInfo&) = delete;

  uint32_t FileVersion() const { return file_->FileVersion; }
  uint32_t AppVersion() const { return file_->AppVersion; }
  uint16_t TagIdLength() const { return file_->TagIdLength; }
  uint16_t LengthLength() const { return file_->LengthLength; }
  const std::string& FileName() const { return fileName_; }

  TOperaCookieNode* Root() const { return file_->Tree.Root(); }
  TOperaCookieNode* Current() const { return current_; }
  // The root, which callers listing cookies skip.
  TOperaCookieNode* First();
  // The node after Current in preorder; nullptr at the end.
  TOperaCookieNode* Next();
  // ".abc.def/a/b" for the path node b under a under abc under def.
  void GetNodeName(std::string& Name) const;
  // Removes the first cookie named CookieName (case-sensitive) from the node
  // of DomainPath, as GetNodeName gives it. The file is not changed.
  void DeleteCookie(const std::string& DomainPath, const std::string& CookieName);

  // The cookie file named by Opera's "opera6.ini" ("Opera Directory" of
  // "User Prefs"), looked for in the application-data folder and then in the
  // folder of the installed Opera.exe; empty when there is none.
  static void LocateCookieFile(std::string& Path);

 private:
  void Read(const std::string& FileName);

  std::unique_ptr<TOperaCookieFile> file_;
  TOperaCookieNode* current_ = nullptr;
  std::string fileName_;
};

}  // namespace morvane
