// What every end-to-end scenario needs: the driver run with a script, the
// user's real folders emptied for the scenario and given back afterwards,
// and the program's settings started afresh.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The scenarios that delete cookies or history guard the restart list with it.
#include "support/ie_registry.h"

namespace morvane::test {

struct TDriveResult {
  int exitCode = -1;   // the driver's exit status; -1 when it could not start or ran out of time
  std::string output;  // what it wrote on stdout and stderr
};

// Runs bin\morvane-drive.exe with Args (one word each; quoted here) and waits
// at most TimeoutMs for it to end.
TDriveResult RunDrive(const std::vector<std::string>& Args, unsigned TimeoutMs = 120000);
// Writes Script into a temporary file and runs `morvane-drive run FILE` with Extra after it.
TDriveResult RunDriveScript(const std::string& Script, const std::vector<std::string>& Extra = {},
                            unsigned TimeoutMs = 120000);

// The current user's special folder (CSIDL_COOKIES, CSIDL_APPDATA, CSIDL_HISTORY, ...), created when missing.
std::string UserFolder(int Csidl);

// Moves what a folder holds aside for the scenario (the folder stays, empty)
// and puts it back when the guard ends, removing what the scenario left.
class TFolderGuard {
 public:
  explicit TFolderGuard(std::string Folder);
  ~TFolderGuard();
  TFolderGuard(const TFolderGuard&) = delete;
  TFolderGuard& operator=(const TFolderGuard&) = delete;
  const std::string& Path() const { return folder_; }
  std::string File(const std::string& Name) const { return folder_ + "\\" + Name; }

 private:
  std::string folder_, saved_;
};

// Removes the program's settings key (HKCU\Software\Quenbry\QbMorvane) now and
// when the guard ends: every scenario starts as a first run.
class TSettingsGuard {
 public:
  TSettingsGuard();
  ~TSettingsGuard();
  TSettingsGuard(const TSettingsGuard&) = delete;
  TSettingsGuard& operator=(const TSettingsGuard&) = delete;
};

// A Netscape/Mozilla "Registry.dat" naming one profile Name (the current one
// when Current is Name) whose folder is Dir, laid out as that browser writes it.
std::string MozillaRegistryDat(const std::string& Current, const std::string& Name, const std::string& Dir);

// Writes Bytes into Path, creating the folders on the way; throws when it cannot.
void WriteFileBytes(const std::string& Path, const std::string& Bytes);

// One record of an Internet Explorer cookie file, nine lines as the browser
// writes them: name, value, host and path, flags, the expiry and creation
// FILETIMEs each as its low and high half in decimal, and the "*" that ends it.
std::string IeCookieRecord(const std::string& Name, const std::string& Value, const std::string& HostPath,
                           const std::string& Flags, uint64_t Expires, uint64_t Created);
// A time in seconds since 1970 as a FILETIME (100 ns since 1601).
uint64_t FileTimeOfUnix(int64_t UnixSeconds);

// A word of a driver script, quoted so that blanks and backslashes survive.
std::string QuoteWord(const std::string& Word);

}  // namespace morvane::test
