// What the tests of the Internet Explorer pages share: the real main window
// with the program's dialogs, and the system's list of files to delete at
// the next restart.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../platform/ui/ui_fixture.h"
#include "app/main_form.h"
#include "main_form_fixture.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

namespace morvane::test {

// The main window with its controls and column sets (no stores made at
// creation: each test gives the page the data it works on), and the dialogs
// it reuses.
class TMainWindowTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    TMainFormOptions options;
    options.FormCreate = false;
    app_ = std::make_unique<TMainFormFixture>(options);
    frm = &app_->Form();
  }
  void TearDown() override {
    frm = nullptr;
    app_.reset();
    UiTest::TearDown();
  }

  TMainFrm* frm = nullptr;

 private:
  std::unique_ptr<TMainFormFixture> app_;
};

inline const char* PendingRenamesKey() { return "SYSTEM\\CurrentControlSet\\Control\\Session Manager"; }

// The entries of PendingFileRenameOperations (sources and targets alike).
inline std::vector<std::string> PendingFileRenames() {
  std::vector<std::string> out;
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PendingRenamesKey(), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ && size > 0) {
    std::string data(size, '\0');
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
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

// Whether File is among the files to delete at restart (the system writes
// them as "\??\C:\...").
inline bool PendingFileRenamesHold(const std::string& File) {
  const std::string want = LowerCase(File);
  for (const std::string& e : PendingFileRenames()) {
    const std::string got = LowerCase(e);
    if (got.size() >= want.size() && got.compare(got.size() - want.size(), want.size(), want) == 0) return true;
  }
  return false;
}

// Nothing may be carried out at the next start of this prefix.
inline void ClearPendingFileRenames() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PendingRenamesKey(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegDeleteValueA(key, "PendingFileRenameOperations");
  RegCloseKey(key);
}

}  // namespace morvane::test
