// What the tests of the Internet Explorer pages read and write of the real
// registry, in-process and end to end alike: the files the system deletes
// at the next restart, and Internet Explorer's per-site privacy list.
#pragma once

#include <string>
#include <vector>

namespace morvane::test {

// The entries of PendingFileRenameOperations (sources and targets alike).
std::vector<std::string> PendingFileRenames();
// Whether File is among the files to delete at restart (the system writes
// them as "\??\C:\...").
bool PendingFileRenamesHold(const std::string& File);
// Nothing may be carried out at the next start of this prefix.
void ClearPendingFileRenames();

// Deleting cookies or history schedules files for the next restart: nothing
// a test scheduled may be carried out when the prefix starts again, so the
// list is cleared before and after it.
struct TPendingRenamesGuard {
  TPendingRenamesGuard() { Clear(); }
  ~TPendingRenamesGuard() { Clear(); }
  TPendingRenamesGuard(const TPendingRenamesGuard&) = delete;
  TPendingRenamesGuard& operator=(const TPendingRenamesGuard&) = delete;
  static void Clear() { ClearPendingFileRenames(); }
};

// The per-site privacy list: one subkey a domain, its default value the decision.
constexpr const char kPrivacyListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\P3P\\History";
// A domain's entry as "dword:N", "sz:TEXT", "type:N" (another kind of value),
// "none" (no default value) or "gone" (no subkey).
std::string PrivacyEntry(const std::string& Domain);
// Writes a domain's entry in the words PrivacyEntry reads ("dword:N" or
// "sz:TEXT"; anything else makes the subkey with no value).
void SetPrivacyEntry(const std::string& Domain, const std::string& Value);
// Whether the list's key is there at all (the program offers the list only then).
bool PrivacyListExists();

// The list as the user had it is set aside, the test works on a list of its
// own (present and empty, so that the program offers it), and the user's
// list comes back afterwards, every value of every kind as it was. A run
// ended before it could put the list back left it in the saved key: it goes
// back first. Nothing of the user's is removed before its copy is made.
class TPrivacyListGuard {
 public:
  TPrivacyListGuard();
  ~TPrivacyListGuard();
  TPrivacyListGuard(const TPrivacyListGuard&) = delete;
  TPrivacyListGuard& operator=(const TPrivacyListGuard&) = delete;

 private:
  bool existed_ = false;
};

}  // namespace morvane::test
