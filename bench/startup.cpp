// From process start to the main window shown and idle (its cookie page
// filled) on the demo machine (startup.sh seeds the prefix), against the
// same measure for a program that shows one plain window: this executable
// run with "--empty-window".
#include <cstdio>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "browserdata/settings/persitent_properties.h"
#include "platform/core/files.h"
#include "platform/core/sysutils.h"
#include "platform/win32.h"

using namespace morvane;

namespace {

int EmptyWindow() {
  WNDCLASSA wc{};
  wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(w, m, wp, lp);
  };
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "MorvaneBenchEmpty";
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, wc.lpszClassName, "Empty", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                           CW_USEDEFAULT, 800, 600, nullptr, nullptr, wc.hInstance, nullptr);
  UpdateWindow(w);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

struct TFind {
  DWORD pid;
  HWND wnd;
};

HWND VisibleWindowOf(DWORD Pid) {
  TFind f{Pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* f = reinterpret_cast<TFind*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        char cls[64] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (owner == f->pid && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == nullptr &&
            (std::string(cls) == "MorvaneBenchEmpty" || GetPropA(w, "Name") != nullptr)) {
          char name[64] = {};
          GlobalGetAtomNameA(static_cast<ATOM>(reinterpret_cast<uintptr_t>(GetPropA(w, "Name"))), name, sizeof name);
          if (std::string(cls) == "MorvaneBenchEmpty" || std::string(name) == "MainFrm") {
            f->wnd = w;
            return FALSE;
          }
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&f));
  return f.wnd;
}

// Milliseconds from CreateProcess to its window shown and its queue idle;
// negative on failure.
double StartOnce(const std::string& Exe, const std::string& Args, const std::string& Dir) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = "\"" + Exe + "\" " + Args;
  const auto t0 = std::chrono::steady_clock::now();
  if (!CreateProcessA(Exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, Dir.c_str(), &si, &pi))
    return -1;
  HWND w = nullptr;
  while (!w) {
    w = VisibleWindowOf(pi.dwProcessId);
    if (!w) {
      if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
      if (std::chrono::steady_clock::now() - t0 > std::chrono::seconds(30)) break;
    }
  }
  double ms = -1;
  if (w) {
    WaitForInputIdle(pi.hProcess, 30000);
    // The window has handled everything its start queued, painting included.
    DWORD_PTR r = 0;
    SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &r);
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    PostMessageA(w, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--empty-window") return EmptyWindow();
  const std::string self = ProgramFileName();
  const std::string dir = ExtractFilePath(self);
  const std::string exe = dir + "Morvane.exe";
  if (!FileExists(exe)) {
    std::fprintf(stderr, "bench startup: %s is missing\n", exe.c_str());
    return 1;
  }
  {
    // A started program that is not its first run: no update check.
    TPersitentProperties props;
    props.SetProperty("checkForUpdates", "0");
    props.Save(TSavedWindowState{true, false, props.Left, props.Top, props.Width, props.Height});
  }
  std::vector<double> program, empty;
  StartOnce(exe, "", dir);  // the first start fills the caches of the prefix
  for (int run = 0; run < 7; ++run) {
    program.push_back(StartOnce(exe, "", dir));
    empty.push_back(StartOnce(self, "--empty-window", dir));
  }
  for (double v : program)
    if (v < 0) {
      std::fprintf(stderr, "bench startup: the main window did not show\n");
      return 1;
    }
  const double p = bench::Median(program), e = bench::Median(empty);
  std::printf("bench startup_demo %.1f ms\n", p);
  std::printf("bench startup_empty_program %.1f ms\n", e);
  std::printf("ratio startup_vs_empty_program %.2f\n", e > 0 ? p / e : 0.0);
  return 0;
}
