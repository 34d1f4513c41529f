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
  // Input of UpdateCookie only: the record's expiry texts are written back
  // as they are and Expires is not used (the editor could not show a date).
  bool KeepExpiry = false;
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

class TCookieFileReadAhead;

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
  // A file whose size and times are those of an earlier read in this
  // process (by any store) gives that read's records without being opened
  // again, unless it had been written within a few seconds of that read.
  // Called for one index after the other, as a page load does, the store
  // reads the next files ahead on a few threads while the caller takes the
  // records of the current one; what each call gives is what a read of that
  // file alone would give.
  void GetFileDetails(int Index, TCookieInfoDetails& Details);
  // Forgets every earlier read: the next GetFileDetails of each file reads
  // the disk.
  static void ForgetEarlierReads();
  int IndexOfFile(const std::string& FileName) const;
  std::string GetFilePath(int Index) const;
  void GetCookieFolder(std::string& Folder) const;
  int GetFolderCount() const { return static_cast<int>(Folders.size()); }

  // Deletion: ClearDeletions, MarkCookieForDeletion for each cookie, then
  // ApplyDeletions, which gives the tags of the cookies that are gone,
  // ascending: a mark that matched no record, or whose file could not be
  // read or written, gives no tag. One file can hold several cookies of one
  // name on different paths, so a mark names the record by its name and its
  // HostPath (line 3 of the record, as read).
  void ClearDeletions();
  bool MarkCookieForDeletion(const std::string& FileName, const std::string& CookieName, const std::string& HostPath,
                             intptr_t Tag);
  // The same for the first record of that name, whatever its HostPath.
  bool MarkCookieForDeletion(const std::string& FileName, const std::string& CookieName, intptr_t Tag);
  std::vector<intptr_t> ApplyDeletions();

  // Rewrites the record named CookieName at HostPath with Cookie's Name,
  // Value, Secure, HttpOnly and Expires (or, with KeepExpiry, the record's
  // own expiry), keeping the name, value and flags lengths. False when
  // nothing was written (no such file or cookie, no temporary file, the
  // cookie file could not be replaced). Raises EConvertError when the
  // record's flags are not a number.
  bool UpdateCookie(const std::string& FileName, const std::string& CookieName, const std::string& HostPath,
                    const TCookieValueInfo& Cookie);
  // The same for the first record of that name, whatever its HostPath.
  bool UpdateCookie(const std::string& FileName, const std::string& CookieName, const TCookieValueInfo& Cookie);

 private:
  struct TFileItem {
    std::string Name;
    std::string Key;  // upper-cased name, the sort and lookup key
    TCookieFileEntry Entry;
    // As the scan saw them (UTC file times): what an earlier read of the
    // file is checked against.
    uint64_t WriteTime = 0;
    uint64_t CreateTime = 0;
    uint64_t ChangeTime = 0;
  };
  struct TMark {
    std::string Name;
    std::optional<std::string> HostPath;  // nothing: any path
    intptr_t Tag = 0;
  };
  using TMarks = std::vector<TMark>;

  void ScanFolder(const std::string& Folder);
  // Bytes, when given, receives the file's bytes as read.
  bool ReadCookieFile(const std::string& Path, size_t ExpectedSize, TCookieInfoDetails& Details,
                      std::string* Bytes = nullptr) const;
  static bool WriteCookieFile(const TCookieInfoDetails& Details);
  std::vector<intptr_t> DeleteCookieFile(const TMarks& Marks, int FileIndex);
  std::vector<intptr_t> BlankMarkedCookies(const std::string& FileName, const TMarks& Marks);
  // Ends the reading ahead and drops what it read: before any change to the
  // files or to the list, so that no later call gives bytes read before it.
  void StopReadAhead();
  bool Mark(const std::string& FileName, TMark Mark);
  bool Update(const std::string& FileName, const std::string& CookieName, const std::string* HostPath,
              const TCookieValueInfo& Cookie);

  std::vector<std::string> Folders;
  std::vector<TFileItem> Files;  // sorted by Key, each name once
  int FoundCount = 0;
  std::optional<std::map<std::string, std::pair<std::string, TMarks>>> Pending;  // by upper-cased file name
  std::unique_ptr<TCookieFileReadAhead> ReadAhead;
  int LastMissed = -2;  // the index of the last call that had to read its file
};

// The cookie folder of every user profile of the machine that has one, and the
// current user's (IsDefault). Never raises: the list made so far comes back.
std::vector<tIEProfileInfo> GetIECookieFolders();

}  // namespace morvane
