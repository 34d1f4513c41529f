#include "support/ie_registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane::test {

namespace {
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";
// Where the user's list waits while a test works on its own. A run that
// was ended on the way may have left it there: the next guard finds it.
const char kSavedListKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\P3P\\History.e2e-saved";

bool KeyExists(const char* Key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

// Copies the key From with everything below it to To; false when any of it
// could not be copied.
bool CopyKey(const char* From, const char* To) {
  HKEY src = nullptr, dst = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, From, 0, KEY_READ, &src) != ERROR_SUCCESS) return false;
  bool copied = false;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, To, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &dst, nullptr) == ERROR_SUCCESS) {
    copied = RegCopyTreeA(src, nullptr, dst) == ERROR_SUCCESS;
    RegCloseKey(dst);
  }
  RegCloseKey(src);
  return copied;
}

// The saved list back in place; the saved copy goes only once it is.
bool RestorePrivacyList() {
  RegDeleteTreeA(HKEY_CURRENT_USER, kPrivacyListKey);
  if (!CopyKey(kSavedListKey, kPrivacyListKey)) return false;
  RegDeleteTreeA(HKEY_CURRENT_USER, kSavedListKey);
  return true;
}
}  // namespace

std::vector<std::string> PendingFileRenames() {
  std::vector<std::string> out;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size > 0) {
    std::string data(size, '\0');
    if (RegQueryValueExA(key, kPendingRenames, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      data.resize(size);
      for (size_t at = 0; at < data.size();) {
        const size_t end = data.find('\0', at);
        const std::string entry = data.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (!entry.empty()) out.push_back(entry);
        if (end == std::string::npos) break;
        at = end + 1;
      }
    }
  }
  RegCloseKey(key);
  return out;
}

bool PendingFileRenamesHold(const std::string& File) {
  const std::string want = LowerCase(File);
  for (const std::string& e : PendingFileRenames()) {
    const std::string got = LowerCase(e);
    if (got.size() >= want.size() && got.compare(got.size() - want.size(), want.size(), want) == 0) return true;
  }
  return false;
}

void ClearPendingFileRenames() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, kPendingRenames);
  RegCloseKey(key);
}

std::string PrivacyEntry(const std::string& Domain) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kPrivacyListKey) + "\\" + Domain).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS)
    return "gone";
  char data[256] = {};
  DWORD type = 0, size = sizeof data - 1;
  std::string out = "none";
  if (RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS) {
    if (type == REG_DWORD) out = "dword:" + std::to_string(*reinterpret_cast<DWORD*>(data));
    else if (type == REG_SZ) out = std::string("sz:") + data;
    else out = "type:" + std::to_string(type);
  }
  RegCloseKey(key);
  return out;
}

void SetPrivacyEntry(const std::string& Domain, const std::string& Value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kPrivacyListKey) + "\\" + Domain).c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (Value.rfind("dword:", 0) == 0) {
    const DWORD v = static_cast<DWORD>(std::stoul(Value.substr(6)));
    RegSetValueExA(key, "", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  } else if (Value.rfind("sz:", 0) == 0) {
    const std::string v = Value.substr(3);
    RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()), static_cast<DWORD>(v.size() + 1));
  }
  RegCloseKey(key);
}

bool PrivacyListExists() { return KeyExists(kPrivacyListKey); }

TPrivacyListGuard::TPrivacyListGuard() {
  if (KeyExists(kSavedListKey) && !RestorePrivacyList())
    throw std::runtime_error("the saved privacy list cannot be put back");
  existed_ = KeyExists(kPrivacyListKey);
  if (existed_) {
    if (!CopyKey(kPrivacyListKey, kSavedListKey)) {
      RegDeleteTreeA(HKEY_CURRENT_USER, kSavedListKey);
      throw std::runtime_error("the privacy list cannot be set aside");
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kPrivacyListKey);
  }
  HKEY k = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kPrivacyListKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
  if (k) RegCloseKey(k);
}

TPrivacyListGuard::~TPrivacyListGuard() {
  if (existed_) RestorePrivacyList();
  else RegDeleteTreeA(HKEY_CURRENT_USER, kPrivacyListKey);
}

}  // namespace morvane::test
