// The real program, started as a user would start it: it imports a
// distributor's defaults file, shows its main window under the imported name,
// and ends cleanly when the window is closed.
// ctest: desktop
// ctest: lock=registry_qbmorvane
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/core/files.h"
#include "platform/core/registry.h"
#include "platform/ui/automation.h"
#include "platform/win32.h"
#include "support/test_env.h"

namespace morvane {
namespace {

const char kDefaultsKey[] = "\\SOFTWARE\\Quenbry\\QbMorvane\\Defaults";

struct TFoundWindow {
  DWORD pid;
  HWND wnd;
};

HWND FindMainWindow(DWORD pid) {
  TFoundWindow f{pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<TFoundWindow*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == f->pid && IsWindowVisible(w) && WindowName(w) == "MainFrm") {
          f->wnd = w;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.wnd;
}

TEST(ProgramStart, ImportsDefaultsShowsTheMainWindowAndClosesCleanly) {
  TRegistry().DeleteKey(kDefaultsKey);
  test::TTempDir dir;
  const std::string exe = dir.File("Morvane.exe");
  ASSERT_TRUE(CopyFileA(test::BinPath("Morvane.exe").c_str(), exe.c_str(), FALSE));
  const std::string ini = dir.Write("Morvane-Defaults.ini", "[Defaults]\r\nAppName=Cookie Desk\r\n");

  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.Path().c_str(), &si,
                             &pi));
  HWND main = nullptr;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!main && std::chrono::steady_clock::now() < end) {
    main = FindMainWindow(pi.dwProcessId);
    if (!main) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_NE(main, nullptr) << "no main window appeared";
  char caption[256] = {};
  GetWindowTextA(main, caption, sizeof caption);
  EXPECT_STREQ(caption, "Cookie Desk 1.9 - IE");
  EXPECT_FALSE(FileExists(ini)) << "the defaults file is deleted once imported";
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(kDefaultsKey));
    EXPECT_EQ(reg.ReadString("AppName"), "Cookie Desk");
  }

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0) << "the program did not end";
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  TRegistry().DeleteKey(kDefaultsKey);
}

}  // namespace
}  // namespace morvane
