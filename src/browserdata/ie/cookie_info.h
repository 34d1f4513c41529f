// The store of one Internet Explorer cookie folder: its cookie files (found
// recursively), their records, and the two changes the program makes to them:
// an edit of one cookie that keeps the file's layout, and deletion of marked
// cookies, by deleting the whole file or by blanking the marked records.
// Every change is written to a temporary file first, which is then copied over
// the cookie file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/datetime.h"

namespace morvane {

struct TCookieValueInfo {
  std::string Name;
  std::string Value;
  std::string Flags;     // decimal text as read: 0x1 secure, 0x2000 HTTP-only
  std::string HostPath;  // host and path joined by "/"
  bool Secure = false;   // input of UpdateCookie only
  bool HttpOnly = false;
  TDateTime Created = 0;  // 0 when the time has no local date (outside 1980-2107)
  TDateTime Expires = 0;
  std::string CreatedLowText;
  std::string CreatedHighText;
  std::string ExpiresLowText;
  std::string ExpiresHighText;
};

struct TCookieInfoDetails {
  std::string Folder;
  std::string FileName;
  int FileSize = 0;  // 0: no such file index
  TDateTime FileDate = 0;
  std::vector<TCookieValueInfo> Cookies;
};

struct TCookieFileEntry {
  int FolderIndex = 0;
  int Size = 0;
  int CookieCount = 0;  // records seen by the last GetFileDetails
  TDateTime FileDate = 0;
};

// One entry of the cookie-folder list.
struct tIEProfileInfo {
  std::string UserName;
  std::string Folder;  // ends in a backslash
  bool IsDefault = false;
  bool IsManual = false;
};

class TCookieInfo {
 public:
  // Scans CookieFolder (environment variables expanded) and its sub-folders.
  explicit TCookieInfo(const std::string& CookieFolder);
  virtual ~TCookieInfo();
  TCookieInfo(const TCookieInfo&) = delete;
  TCookieInfo& operator=(const TCookieInfo&) = delete;

  // Files accepted by the scan, a name found twice counted twice: the loop
  // bound for GetFileDetails.
  int GetFoundFileCount() const { return FoundCount; }
  int GetFileCount() const { return static_cast<int>(Files.size()); }
  // Reads file Index; an index outside the list only sets FileSize to 0.
  void GetFileDetails(int Index, TCookieInfoDetails& Details);
  int IndexOfFile(const std::string& FileName) const;
  std::string GetFilePath(int Index) const;
  void GetCookieFolder(std::string& Folder) const;
  int GetFolderCount() const { return static_cast<int>(Folders.size()); }

  // Deletion: ClearDeletions, MarkCookieForDeletion for each cookie, then
  // ApplyDeletions, which gives the tags of the cookies that are gone,
  // ascending.
  void ClearDeletions();
  bool MarkCookieForDeletion(const std::string& FileName, const std::string& CookieName, intptr_t Tag);
  std::vector<intptr_t> ApplyDeletions();

  // Rewrites the first record named CookieName with Cookie's Name, Value,
  // Secure, HttpOnly and Expires, keeping the name, value and flags lengths.
  // False when nothing was written (no such file or cookie, no temporary file,
  // the cookie file could not be replaced). Raises EConvertError when the
  // record's flags are not a number.
  bool UpdateCookie(const std::string& FileName, const std::string& CookieName, const TCookieValueInfo& Cookie);

 private:
  struct TFileItem {
    std::string Name;
    std::string Key;  // upper-cased name, the sort and lookup key
    TCookieFileEntry Entry;
  };
  using TMarks = std::vector<std::pair<std::string, intptr_t>>;

  void ScanFolder(const std::string& Folder);
  bool ReadCookieFile(const std::string& Path, size_t ExpectedSize, TCookieInfoDetails& Details) const;
  static bool WriteCookieFile(const TCookieInfoDetails& Details);
  std::vector<intptr_t> DeleteCookieFile(const TMarks& Marks, int FileIndex);
  std::vector<intptr_t> BlankMarkedCookies(const std::string& FileName, const TMarks& Marks);

  std::vector<std::string> Folders;
  std::vector<TFileItem> Files;  // sorted by Key, each name once
  int FoundCount = 0;
  std::optional<std::map<std::string, std::pair<std::string, TMarks>>> Pending;  // by upper-cased file name
};

// The cookie folder of every user profile of the machine that has one, and the
// current user's (IsDefault). Never raises: the list made so far comes back.
std::vector<tIEProfileInfo> GetIECookieFolders();

}  // namespace morvane
