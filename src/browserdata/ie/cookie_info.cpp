#include "browserdata/ie/cookie_info.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "browserdata/ie/ie_cookie_records.h"
#include "browserdata/sys/qb_sys_utils.h"
#include "browserdata/sys/tell_user.h"
#include "platform/core/files.h"
#include "platform/core/exceptions.h"
#include "platform/core/replace_file.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane {
namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

TDateTime LocalDateTimeOrZero(uint64_t fileTime) {
  try {
    return FileTimeToDateTimeLocal(fileTime);
  } catch (const EConvertError&) {
    return 0;  // no local date for it; the record itself stays
  }
}

// A local TDateTime as the file time a record stores: through the DOS date
// and time, so two-second steps; 0 when the date has no DOS form.
uint64_t DateTimeToIEFileTime(TDateTime dt) {
  const uint32_t dos = static_cast<uint32_t>(DateTimeToFileDate(dt));
  FILETIME local, utc;
  if (dos == 0 || !DosDateTimeToFileTime(static_cast<WORD>(dos >> 16), static_cast<WORD>(dos & 0xFFFF), &local) ||
      !LocalFileTimeToFileTime(&local, &utc))
    return 0;
  return (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

// The whole file, in one read when its size is still the one the scan saw:
// every call on a file handle costs a round trip to the system, and a folder
// holds thousands of these small files (no sequential-scan hint either: it
// is one more call that the system makes for each open). A file that has
// grown past the size the scan accepts is no cookie file any more: false, as
// for one that cannot be read. Called by the read-ahead threads as well.
bool ReadWholeFile(const std::string& path, size_t expectedSize, std::string& bytes) {
  const TWinHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return false;
  constexpr size_t kLimit = ieMaxCookieFileSize + 1;
  bytes.resize(std::min(std::max<size_t>(expectedSize + 1, 512), kLimit));
  size_t used = 0;
  for (;;) {
    DWORD got = 0;
    const size_t room = bytes.size() - used;
    if (!ReadFile(file.Get(), bytes.data() + used, static_cast<DWORD>(room), &got, nullptr)) return false;
    used += got;
    if (got < room) break;  // a short read of a disk file is its end
    if (used >= kLimit) return false;
    bytes.resize(std::min(bytes.size() * 2, kLimit));
  }
  bytes.resize(used);
  return true;
}

TCookieValueInfo ToValueInfo(TIECookieRecord&& r) {
  TCookieValueInfo c;
  c.Created = LocalDateTimeOrZero(IEFileTime(r.CreatedLowText, r.CreatedHighText));
  c.Expires = LocalDateTimeOrZero(IEFileTime(r.ExpiresLowText, r.ExpiresHighText));
  c.Name = std::move(r.Name);
  c.Value = std::move(r.Value);
  c.HostPath = std::move(r.HostPath);
  c.Flags = std::move(r.Flags);
  c.CreatedLowText = std::move(r.CreatedLowText);
  c.CreatedHighText = std::move(r.CreatedHighText);
  c.ExpiresLowText = std::move(r.ExpiresLowText);
  c.ExpiresHighText = std::move(r.ExpiresHighText);
  return c;
}

// The record a mark or an edit names: the name exactly, and the host and
// path as the file has them when they are given.
bool IsRecord(const TCookieValueInfo& c, const std::string& name, const std::string* hostPath) {
  return c.Name == name && (!hostPath || c.HostPath == *hostPath);
}

uint64_t FileTimeValue(const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

uint64_t SystemTimeNow() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return FileTimeValue(now);
}

// The bytes of the cookie files read before, by upper-cased path, with the
// size and times the folder listed for each. (The bytes, not the records:
// one block per file costs the first read little, and parsing them again
// is cheap beside a trip through the system.) Reading a file again costs
// an open, a read and a close through the system, and a folder holds
// thousands of them: a reload of the page, or a second look at a folder,
// takes each unchanged file from here. A file is taken only while the
// listing shows the same size and the same creation, write and change time.
// A file written less than a few seconds before it was read is not kept: a
// file system that counts its times in seconds (FAT: two, and no change
// time) could give a later rewrite of the same size the same times. Every
// change the store makes forgets the file before it writes.
class TEarlierReads {
 public:
  struct TStamp {
    uint64_t Size = 0;
    uint64_t WriteTime = 0;
    uint64_t CreateTime = 0;
    uint64_t ChangeTime = 0;
    bool operator==(const TStamp&) const = default;
  };

  bool Find(const std::string& Key, const TStamp& Stamp, std::string& Bytes) {
    const std::lock_guard<std::mutex> hold(lock_);
    const auto at = files_.find(Key);
    if (at == files_.end()) return false;
    if (!(at->second.Stamp == Stamp)) {
      Erase(at);
      return false;
    }
    Bytes = at->second.Bytes;
    return true;
  }

  // Find without the copy: whether a read of the file can be spared.
  bool Has(const std::string& Key, const TStamp& Stamp) {
    const std::lock_guard<std::mutex> hold(lock_);
    const auto at = files_.find(Key);
    return at != files_.end() && at->second.Stamp == Stamp;
  }

  // ReadAt: the system time (UTC file time) taken before the file was
  // opened for Bytes; the file must have been settled then.
  void Keep(const std::string& Key, const TStamp& Stamp, std::string&& Bytes, uint64_t ReadAt) {
    constexpr uint64_t kSettled = 4 * 10000000ull;  // four seconds in file-time units
    if (Stamp.WriteTime == 0 || Stamp.WriteTime > ReadAt || ReadAt - Stamp.WriteTime < kSettled) return;
    const std::lock_guard<std::mutex> hold(lock_);
    if (const auto at = files_.find(Key); at != files_.end()) Erase(at);
    // Far more than the folders met in practice (10,000 files of a few
    // hundred bytes take 5 MB); past it, start again rather than hold every
    // folder ever looked at.
    if (bytes_ + Bytes.capacity() > kMaxBytes) {
      files_.clear();
      bytes_ = 0;
    }
    bytes_ += Bytes.capacity();
    files_.emplace(Key, TFile{Stamp, std::move(Bytes)});
  }

  void Forget(const std::string& Key) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (const auto at = files_.find(Key); at != files_.end()) Erase(at);
  }

  void ForgetAll() {
    const std::lock_guard<std::mutex> hold(lock_);
    files_.clear();
    bytes_ = 0;
  }

 private:
  static constexpr size_t kMaxBytes = 64u << 20;
  struct TFile {
    TStamp Stamp;
    std::string Bytes;
  };
  using TFiles = std::unordered_map<std::string, TFile>;

  void Erase(TFiles::iterator At) {
    bytes_ -= At->second.Bytes.capacity();
    files_.erase(At);
  }

  std::mutex lock_;
  TFiles files_;
  size_t bytes_ = 0;  // the kept blocks' capacities
};

TEarlierReads& EarlierReads() {
  static TEarlierReads reads;
  return reads;
}

// The records of a cookie file's bytes, their dates in the time zone of now.
void FillCookies(std::string_view bytes, TCookieInfoDetails& Details) {
  std::vector<TIECookieRecord> records = ParseIECookieRecords(bytes);
  Details.Cookies.clear();
  Details.Cookies.reserve(records.size());
  for (TIECookieRecord& r : records) Details.Cookies.push_back(ToValueInfo(std::move(r)));
  if (Details.Cookies.empty()) Details.FileSize = 0;
}

TIECookieRecord ToRecord(const TCookieValueInfo& c) {
  return TIECookieRecord{c.Name,           c.Value,           c.HostPath,       c.Flags,
                         c.ExpiresLowText, c.ExpiresHighText, c.CreatedLowText, c.CreatedHighText};
}

}  // namespace

// The files of a store read ahead of its caller, on a few threads of their
// own. A first read of a folder is thousands of opens, reads and closes, each
// a round trip to the system, which can serve the next file's open while the
// last one's bytes come back; one thread alone waits for each in turn. The
// caller takes the files in its own order; the threads stay a bounded number
// of files ahead of it, so a caller that stops early has not made them read
// the whole folder. Each job is copied from the store's list when the reading
// starts: the threads never touch the store, and the store drops the whole
// read-ahead before it changes a file or the list.
class TCookieFileReadAhead {
 public:
  struct TJob {
    std::string Path;
    std::string Key;  // the earlier reads' key: the upper-cased path
    size_t Size = 0;
    TEarlierReads::TStamp Stamp;
  };

  TCookieFileReadAhead(std::vector<TJob> Jobs, int FirstIndex)
      : jobs_(std::move(Jobs)), slots_(jobs_.size()), first_(FirstIndex) {
    // The system serves one request at a time: past a few threads, more
    // only wait for it.
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, kMaxThreads);
    limit_ = std::min(kWindow, static_cast<int>(jobs_.size()));
    try {
      for (unsigned i = 0; i < count && i < jobs_.size(); ++i) threads_.emplace_back([this] { Work(); });
    } catch (const std::exception&) {
      // fewer threads (none: every Take says no, and the caller reads itself)
    }
  }

  ~TCookieFileReadAhead() {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      stop_ = true;
    }
    room_.notify_all();
    for (std::thread& t : threads_) t.join();
  }

  // The bytes of file Index as read ahead: true with Read telling whether
  // the read succeeded. False when this read-ahead cannot give them (not one
  // of its files, taken before, not yet begun by a thread, or found in the
  // earlier reads when its turn came): the caller reads the file itself, and
  // no thread will. A file that a thread is reading is waited for. Every
  // call moves the threads' window on to the files after Index.
  bool Take(int Index, std::string& Bytes, bool& Read, uint64_t& ReadAt) {
    std::unique_lock<std::mutex> hold(lock_);
    TSlot* slot = Pass(Index);
    if (!slot) return false;
    if (slot->State == TSlot::Reading) {
      // Woken when a batch of the files after this one is read as well, not
      // for each file: every wait and every wake is a round trip to the
      // system, as dear as a file's open.
      waitFor_ = Index - first_;
      wakeAt_ = std::min(waitFor_ + kBatch, static_cast<int>(jobs_.size()) - 1);
      done_.wait(hold, [&] { return Woken(); });
      waitFor_ = -1;
    }
    const bool give = slot->State == TSlot::Done;
    slot->State = TSlot::Taken;
    if (!give) return false;
    Bytes = std::move(slot->Bytes);
    Read = slot->Read;
    ReadAt = slot->ReadAt;
    return true;
  }

  // The caller has file Index from elsewhere: no thread begins it, and the
  // window moves on.
  void Skip(int Index) {
    const std::lock_guard<std::mutex> hold(lock_);
    if (TSlot* slot = Pass(Index); slot && slot->State != TSlot::Reading) {
      slot->State = TSlot::Taken;
      slot->Bytes = std::string();
    }
  }

  bool Finished(int Index) const { return Index - first_ + 1 >= static_cast<int>(jobs_.size()); }

 private:
  static constexpr unsigned kMaxThreads = 3;
  static constexpr int kWindow = 128;  // files read ahead of the caller at most
  static constexpr int kBatch = 16;    // files read between two wakes of a thread

  struct TSlot {
    enum { Waiting, Reading, Done, Skipped, Taken } State = Waiting;
    bool Read = false;
    uint64_t ReadAt = 0;  // the system time before the file was opened
    std::string Bytes;
  };

  // Under the lock: the slot of file Index, the window moved on to it;
  // nothing when Index is not one of the files or was taken before. A slot
  // still waiting is the caller's from now on.
  TSlot* Pass(int Index) {
    const int at = Index - first_;
    if (at < 0 || at >= static_cast<int>(jobs_.size())) return nullptr;
    const int size = static_cast<int>(jobs_.size());
    if (at + 1 + kWindow > limit_) {
      limit_ = std::min(at + 1 + kWindow, size);
      // Idle threads are woken for a batch of files, or for the last ones.
      if (idle_ > 0 && (limit_ - next_ >= kBatch || limit_ == size)) room_.notify_all();
    }
    TSlot& slot = slots_[at];
    if (slot.State == TSlot::Taken) return nullptr;
    if (slot.State == TSlot::Waiting) slot.State = TSlot::Taken;
    return &slot;
  }

  // Under the lock: whether the caller waiting for its file can go on.
  bool Woken() const {
    const auto over = [&](int at) { return slots_[at].State != TSlot::Reading && slots_[at].State != TSlot::Waiting; };
    return waitFor_ < 0 || (over(waitFor_) && over(wakeAt_));
  }

  // Under the lock: whether a job in the window is left to begin, the next
  // one at next_.
  bool Claimable() {
    while (next_ < limit_ && slots_[next_].State != TSlot::Waiting) ++next_;
    return next_ < limit_;
  }

  void Work() {
    for (;;) {
      int at;
      {
        std::unique_lock<std::mutex> hold(lock_);
        if (!stop_ && !Claimable()) {
          ++idle_;
          room_.wait(hold, [&] { return stop_ || Claimable(); });
          --idle_;
        }
        if (stop_) return;
        at = next_++;
        slots_[at].State = TSlot::Reading;
      }
      const TJob& job = jobs_[at];
      std::string bytes;
      bool read = false, skipped = false;
      const uint64_t readAt = SystemTimeNow();
      try {
        if (EarlierReads().Has(job.Key, job.Stamp))
          skipped = true;
        else
          read = ReadWholeFile(job.Path, job.Size, bytes);
      } catch (const std::exception&) {
        skipped = true;  // the caller tries for itself
      }
      bool wake = false;
      {
        const std::lock_guard<std::mutex> hold(lock_);
        TSlot& slot = slots_[at];
        slot.State = skipped ? TSlot::Skipped : TSlot::Done;
        slot.Read = read;
        slot.ReadAt = readAt;
        slot.Bytes = std::move(bytes);
        wake = waitFor_ >= 0 && Woken();
      }
      if (wake) done_.notify_one();
    }
  }

  const std::vector<TJob> jobs_;
  std::mutex lock_;
  std::condition_variable room_;  // the window has moved on, or stop
  std::condition_variable done_;  // the caller's file (and the batch after it) is done
  std::vector<TSlot> slots_;
  int next_ = 0;               // the next job to claim
  int limit_ = 0;              // jobs below this may be claimed
  bool stop_ = false;
  int idle_ = 0;               // threads waiting for the window to move on
  int waitFor_ = -1;           // the job the caller waits for, or -1
  int wakeAt_ = -1;            // and the job whose end wakes it
  const int first_;            // the store index of jobs_[0]
  std::vector<std::thread> threads_;
};

TCookieInfo::TCookieInfo(const std::string& CookieFolder) {
  std::string folder = CookieFolder;
  ExpandEnvVars(CookieFolder, folder);
  folder = folder.substr(0, folder.find('\0'));
  ScanFolder(folder);
  // A name seen in more than one folder is listed once, for the folder where
  // the scan met it first.
  std::stable_sort(Files.begin(), Files.end(), [](const TFileItem& a, const TFileItem& b) { return a.Key < b.Key; });
  Files.erase(std::unique(Files.begin(), Files.end(), [](const TFileItem& a, const TFileItem& b) { return a.Key == b.Key; }),
              Files.end());
}

TCookieInfo::~TCookieInfo() = default;

void TCookieInfo::ScanFolder(const std::string& Folder) {
  Folders.push_back(Folder);
  const int folderIndex = static_cast<int>(Folders.size()) - 1;
  // Listed through the folder's own handle, a large batch of entries per
  // call, each with its change time: the time that every write and every
  // change of the other times moves, which is what tells a file read before
  // from one rewritten since (a program can set the write time back, not
  // this one).
  const TWinHandle dir(CreateFileA(Folder.c_str(), FILE_LIST_DIRECTORY,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!dir) return;
  std::vector<uint64_t> batch(64 * 1024 / sizeof(uint64_t));
  const DWORD batchBytes = static_cast<DWORD>(batch.size() * sizeof(uint64_t));
  while (GetFileInformationByHandleEx(dir.Get(), FileFullDirectoryInfo, batch.data(), batchBytes)) {
    const auto* at = reinterpret_cast<const unsigned char*>(batch.data());
    for (;;) {
      const auto* e = reinterpret_cast<const FILE_FULL_DIR_INFO*>(at);
      try {
        const std::string name = WideToAnsi(std::wstring_view(e->FileName, e->FileNameLength / sizeof(WCHAR)));
        if (e->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          if (name != "." && name != "..") ScanFolder(JoinPath(Folder, name));
        } else {
          const uint64_t size = static_cast<uint64_t>(e->EndOfFile.QuadPart);
          if (IsIECookieFile(name, size)) {
            ++FoundCount;
            const uint64_t written = static_cast<uint64_t>(e->LastWriteTime.QuadPart);
            Files.push_back(TFileItem{
                name, AnsiUpperCase(name),
                TCookieFileEntry{folderIndex, static_cast<int>(size), 0,
                                 LocalDateTimeOrZero(written)},
                written, static_cast<uint64_t>(e->CreationTime.QuadPart), static_cast<uint64_t>(e->ChangeTime.QuadPart)});
          }
        }
      } catch (const std::exception&) {
        // one entry that cannot be handled does not end the scan
      }
      if (e->NextEntryOffset == 0) break;
      at += e->NextEntryOffset;
    }
  }
}

void TCookieInfo::GetFileDetails(int Index, TCookieInfoDetails& Details) {
  if (Index < 0 || Index >= GetFileCount()) {
    Details.FileSize = 0;
    return;
  }
  TFileItem& item = Files[Index];
  const std::string path = GetFilePath(Index);
  const std::string key = AnsiUpperCase(path);
  const TEarlierReads::TStamp stamp{static_cast<uint64_t>(item.Entry.Size), item.WriteTime, item.CreateTime,
                                    item.ChangeTime};
  std::string bytes;
  bool read = false;
  if (EarlierReads().Find(key, stamp, bytes)) {
    FillCookies(bytes, Details);
    if (ReadAhead) ReadAhead->Skip(Index);
  } else {
    // A second file in a row to read: the caller goes through the list, and
    // the files after this one are read ahead.
    if (!ReadAhead && LastMissed == Index - 1 && Index + 1 < GetFileCount()) {
      try {
        std::vector<TCookieFileReadAhead::TJob> jobs;
        jobs.reserve(Files.size() - Index);
        for (int i = Index; i < GetFileCount(); ++i) {
          const TFileItem& f = Files[i];
          std::string p = GetFilePath(i);
          std::string k = AnsiUpperCase(p);
          jobs.push_back({std::move(p), std::move(k), static_cast<size_t>(f.Entry.Size),
                          TEarlierReads::TStamp{static_cast<uint64_t>(f.Entry.Size), f.WriteTime, f.CreateTime,
                                                f.ChangeTime}});
        }
        ReadAhead = std::make_unique<TCookieFileReadAhead>(std::move(jobs), Index);
      } catch (const std::exception&) {
        // read one by one, as without it
      }
    }
    LastMissed = Index;
    uint64_t readAt = 0;
    if (ReadAhead && ReadAhead->Take(Index, bytes, read, readAt)) {
      Details.Cookies.clear();
      if (read) {
        FillCookies(bytes, Details);
        EarlierReads().Keep(key, stamp, std::move(bytes), readAt);
      }
    } else {
      readAt = SystemTimeNow();
      if (ReadCookieFile(path, item.Entry.Size, Details, &bytes)) EarlierReads().Keep(key, stamp, std::move(bytes), readAt);
    }
  }
  if (ReadAhead && ReadAhead->Finished(Index)) ReadAhead.reset();
  item.Entry.CookieCount = static_cast<int>(Details.Cookies.size());
  Details.FileSize = item.Entry.Size;
  Details.FileDate = item.Entry.FileDate;
  Details.FileName = item.Name;
  Details.Folder = Folders[item.Entry.FolderIndex];
}

void TCookieInfo::StopReadAhead() {
  ReadAhead.reset();
  LastMissed = -2;
}

void TCookieInfo::ForgetEarlierReads() { EarlierReads().ForgetAll(); }

int TCookieInfo::IndexOfFile(const std::string& FileName) const {
  const std::string key = AnsiUpperCase(FileName);
  auto at = std::lower_bound(Files.begin(), Files.end(), key, [](const TFileItem& a, const std::string& k) { return a.Key < k; });
  return (at != Files.end() && at->Key == key) ? static_cast<int>(at - Files.begin()) : -1;
}

std::string TCookieInfo::GetFilePath(int Index) const {
  if (Index < 0 || Index >= GetFileCount()) return {};
  return JoinPath(Folders[Files[Index].Entry.FolderIndex], Files[Index].Name);
}

void TCookieInfo::GetCookieFolder(std::string& Folder) const { Folder = Folders.empty() ? std::string() : Folders[0]; }

bool TCookieInfo::ReadCookieFile(const std::string& Path, size_t ExpectedSize, TCookieInfoDetails& Details,
                                 std::string* Bytes) const {
  Details.Cookies.clear();
  std::string bytes;
  if (!ReadWholeFile(Path, ExpectedSize, bytes)) {
    Details.FileSize = 0;
    return false;
  }
  FillCookies(bytes, Details);
  if (Bytes) *Bytes = std::move(bytes);
  return true;
}

bool TCookieInfo::WriteCookieFile(const TCookieInfoDetails& Details) {
  std::vector<TIECookieRecord> records;
  records.reserve(Details.Cookies.size());
  for (const TCookieValueInfo& c : Details.Cookies) records.push_back(ToRecord(c));
  const std::string bytes = FormatIECookieRecords(records);
  // Forgotten first: even a write that fails half way may have changed it.
  EarlierReads().Forget(AnsiUpperCase(Details.FileName));
  // The temporary file keeps the "$TMP$_<n>" names in the working folder
  // that the start-up clean-up looks for, and is always a new file of our
  // own. A read-only cookie file is not changed.
  TReplaceFile file(Details.FileName, [](int n) { return "$TMP$_" + std::to_string(n); });
  return file.Write(bytes) && file.Commit();
}

void TCookieInfo::ClearDeletions() { Pending.emplace(); }

bool TCookieInfo::MarkCookieForDeletion(const std::string& FileName, const std::string& CookieName,
                                        const std::string& HostPath, intptr_t Tag) {
  return Mark(FileName, TMark{CookieName, HostPath, Tag});
}

bool TCookieInfo::MarkCookieForDeletion(const std::string& FileName, const std::string& CookieName, intptr_t Tag) {
  return Mark(FileName, TMark{CookieName, std::nullopt, Tag});
}

bool TCookieInfo::Mark(const std::string& FileName, TMark Mark) {
  if (!Pending) return false;
  try {
    auto& slot = (*Pending)[AnsiUpperCase(FileName)];
    if (slot.first.empty()) slot.first = FileName;
    slot.second.push_back(std::move(Mark));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::vector<intptr_t> TCookieInfo::ApplyDeletions() {
  StopReadAhead();
  std::vector<intptr_t> removed;
  if (!Pending) return removed;
  for (const auto& [key, file] : *Pending) {
    const int index = IndexOfFile(file.first);
    if (index < 0) continue;
    const TMarks& marks = file.second;
    std::vector<intptr_t> tags = static_cast<int>(marks.size()) == Files[index].Entry.CookieCount
                                     ? DeleteCookieFile(marks, index)
                                     : BlankMarkedCookies(file.first, marks);
    removed.insert(removed.end(), tags.begin(), tags.end());
  }
  std::sort(removed.begin(), removed.end());
  return removed;
}

std::vector<intptr_t> TCookieInfo::DeleteCookieFile(const TMarks& Marks, int FileIndex) {
  const std::string path = GetFilePath(FileIndex);
  EarlierReads().Forget(AnsiUpperCase(path));
  const DWORD attrs = GetFileAttributesA(path.c_str());
  if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
  if (!DeleteFileA(path.c_str())) {
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY)) SetFileAttributesA(path.c_str(), attrs);
    TellUser("There was a problem deleting cookie file: " + path +
             "\r\nBefore trying again close all instances of Internet Explorer.");
    return {};
  }
  Files.erase(Files.begin() + FileIndex);
  std::vector<intptr_t> tags;
  for (const TMark& m : Marks) tags.push_back(m.Tag);
  return tags;
}

std::vector<intptr_t> TCookieInfo::BlankMarkedCookies(const std::string& FileName, const TMarks& Marks) {
  const int index = IndexOfFile(FileName);
  if (index < 0) return {};
  TCookieInfoDetails details;
  // A file that cannot be read is not written back: its cookies would go.
  if (!ReadCookieFile(GetFilePath(index), Files[index].Entry.Size, details)) return {};
  details.FileName = GetFilePath(index);
  std::vector<intptr_t> tags;
  std::vector<bool> blanked(details.Cookies.size(), false);
  for (const TMark& m : Marks) {
    for (size_t i = 0; i < details.Cookies.size(); ++i) {
      TCookieValueInfo& c = details.Cookies[i];
      if (blanked[i] || !IsRecord(c, m.Name, m.HostPath ? &*m.HostPath : nullptr)) continue;
      TIECookieRecord r = ToRecord(c);
      BlankIECookieRecord(r);
      c.Name = r.Name;
      c.Value = r.Value;
      c.ExpiresLowText = r.ExpiresLowText;
      c.ExpiresHighText = r.ExpiresHighText;
      blanked[i] = true;
      tags.push_back(m.Tag);
      break;
    }
  }
  if (tags.empty() || !WriteCookieFile(details)) return {};
  // Only a written file has lost its records: after a failed write the count
  // still says how many cookies the file holds, so a later mark of them all
  // is not taken for one of some.
  Files[index].Entry.CookieCount -= static_cast<int>(tags.size());
  return tags;
}

bool TCookieInfo::UpdateCookie(const std::string& FileName, const std::string& CookieName, const std::string& HostPath,
                               const TCookieValueInfo& Cookie) {
  return Update(FileName, CookieName, &HostPath, Cookie);
}

bool TCookieInfo::UpdateCookie(const std::string& FileName, const std::string& CookieName, const TCookieValueInfo& Cookie) {
  return Update(FileName, CookieName, nullptr, Cookie);
}

bool TCookieInfo::Update(const std::string& FileName, const std::string& CookieName, const std::string* HostPath,
                         const TCookieValueInfo& Cookie) {
  StopReadAhead();
  const int index = IndexOfFile(FileName);
  if (index < 0) return false;
  TCookieInfoDetails details;
  if (!ReadCookieFile(GetFilePath(index), Files[index].Entry.Size, details)) return false;
  details.FileName = GetFilePath(index);
  auto it = std::find_if(details.Cookies.begin(), details.Cookies.end(),
                         [&](const TCookieValueInfo& c) { return IsRecord(c, CookieName, HostPath); });
  if (it == details.Cookies.end()) return false;
  TCookieValueInfo& c = *it;
  int flags = 0;
  if (!TryParseIEFlags(c.Flags, flags)) throw EConvertError("'" + c.Flags + "' is not a valid integer value");
  c.Name = FitToLength(Cookie.Name, c.Name.size());
  c.Value = FitToLength(Cookie.Value, c.Value.size());
  c.Flags = EditIEFlags(c.Flags, Cookie.Secure, Cookie.HttpOnly);
  if (!Cookie.KeepExpiry)
    EditIEExpiry(ToRecord(c), DateTimeToIEFileTime(Cookie.Expires), c.ExpiresLowText, c.ExpiresHighText);
  return WriteCookieFile(details);
}

std::vector<tIEProfileInfo> GetIECookieFolders() {
  std::vector<tIEProfileInfo> list;
  try {
    for (const std::string& profile : GetProfileFolders()) {
      const std::string dir = ExcludeTrailingBackslash(profile);
      const std::string cookies = dir + "\\cookies\\";
      const DWORD attrs = GetFileAttributesA(cookies.c_str());
      if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_DIRECTORY)) continue;
      list.push_back(tIEProfileInfo{ExtractFileName(dir), cookies, false, false});
    }
    std::string current;
    GetSpecialFolderPath(nullptr, csidlCookies, current);
    current = IncludeTrailingBackslash(current);
    bool found = false;
    for (tIEProfileInfo& p : list) {
      if (AnsiSameText(p.Folder, current)) {
        p.IsDefault = true;
        found = true;
      }
    }
    if (!found) list.push_back(tIEProfileInfo{ExtractFileName(ExcludeTrailingBackslash(current)), current, true, false});
  } catch (...) {
    // The folder list is a convenience: a failure ends it with what was found.
  }
  return list;
}

}  // namespace morvane
