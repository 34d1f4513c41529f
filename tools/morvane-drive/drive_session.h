// The running program as the driver sees it: its process, its windows and
// the messages a user's mouse and keyboard would send. Nothing of the
// program's own memory is read; texts come through messages that Windows
// carries between processes, and a list view's rows through the list's own
// message, answered into room the driver lends the program for it.
#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "drive_parse.h"
#include "platform/win32.h"

namespace morvane::drive {

// A step that failed: the exit code and what to say on stderr.
struct TDriveError : std::runtime_error {
  TDriveError(int Code, const std::string& Message) : std::runtime_error(Message), code(Code) {}
  int code;
};

// One message of a gesture, sent in order by a helper thread.
struct TSentMessage {
  HWND wnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

// What the driver and the long random run read of any window of the program.
std::string ClassOf(HWND W);
// The window's text; "" when it does not answer within 2 s (a hung program
// must not hang the driver too).
std::string TextOf(HWND W);
// A dialog, a message box, or any window with a caption bar of its own.
bool IsDialogLike(HWND W);
// A caption as a user reads it: "&Save" is "Save".
std::string StripAmpersands(std::string S);

class TSession {
 public:
  TSession(std::string Exe, std::string Cwd);
  ~TSession();
  TSession(const TSession&) = delete;
  TSession& operator=(const TSession&) = delete;

  void SetTimeout(int Seconds) { timeoutMs_ = static_cast<DWORD>(Seconds) * 1000; }
  // Starts the program and waits for its main window (exit 4 without one).
  void Start(const std::vector<std::string>& Args);
  bool Started() const { return process_ != nullptr; }
  HWND Main() const { return main_; }

  // A named control of the main window or of a window shown and accepted.
  HWND Control(const std::string& Name);
  // Whether the program has made that control's window (a control never
  // shown may have none).
  bool HasControl(const std::string& Name);

  void Press(const std::string& Name);
  void Menu(const std::vector<std::string>& CaptionsOrId);
  void Keys(const std::string& Name, const std::vector<TKey>& Keys);
  void SetText(const std::string& Name, const std::string& Text);
  void Select(const std::string& Name, int Index);
  void SelectRow(const std::string& Grid, int Row);
  // Mouse click at a client point of a control (default: its middle); on a
  // grid the point is in its rows' window. Count 2 double-clicks.
  void Click(const std::string& Name, const POINT* At, int Count, bool Right);
  // A click on the grid's column header at client x X; with ToX, a drag of
  // the column from X to ToX.
  void Header(const std::string& Grid, int X, const int* ToX = nullptr);
  // The main window's rectangle of the screen, frame and all, as a PNG.
  void Screenshot(const std::string& File);
  // Moves and sizes the main window.
  void Place(int Left, int Top, int Width, int Height);
  // The line `state NAME` prints: what a user sees of the control.
  std::string State(const std::string& Name);
  // Waits for a window with that caption, types Text into its edit when given
  // and presses Button (caption or id).
  void Answer(const std::string& Caption, const std::string& Button, const std::string* Text);
  void Expect(const std::string& Caption);
  void ExpectGone(const std::string& Caption);
  // Waits for a window with that caption, accepts it as Expect does, and
  // returns what `show` prints of it (WindowTextsReport).
  std::string Show(const std::string& Caption);
  // The texts of row Row of a list view, one a column.
  std::vector<std::string> ListRow(const std::string& Name, int Row);
  // File > Save as... (Edit > Save selection as... when Selection) into
  // File with the format's filter.
  void SaveAs(const std::string& File, const std::string& Format, bool Selection = false);
  // WM_CLOSE to the main window and the wait for the end (exit 4 after the time limit).
  void Close();
  void WaitExit();

  // Exit 3 when a window shows that no step waits for.
  void CheckNoUnexpectedWindow();

  // For the long random run, which answers every window itself.
  HANDLE Process() const { return process_; }
  DWORD Pid() const { return pid_; }
  std::vector<HWND> Windows() const { return ProcessWindows(); }
  HWND PendingDialog() const { return NewDialog(); }
  void Accept(HWND W) { accepted_.insert(W); }
  // The program's open menu (a menu bar's or a pop-up's), or null.
  HWND OpenMenu() const;
  // True when the program has ended by itself; Code is its exit status and
  // the session can start it again.
  bool Ended(DWORD& Code);
  // Waits until the program has handled what was sent or posted, or shows a
  // new window or menu.
  void WaitIdle(const std::string& What) { Settle(What); }

 private:
  std::vector<HWND> ProcessWindows() const;
  HWND FindByCaption(const std::string& Caption) const;
  HWND WaitForCaption(const std::string& Caption);
  HWND NewDialog() const;
  void ForgetClosedDialogs();
  [[noreturn]] void Unexpected(HWND W) const;
  // Sends the messages from a helper thread and waits until the program has
  // handled them all, or until it shows a new dialog (which then holds them).
  // Text is the text of a WM_SETTEXT among them.
  void Perform(const std::vector<TSentMessage>& Messages, const std::string& What, const std::string& Text = {});
  // Own: the event of the send just made (null: wait for every send).
  void Settle(const std::string& What, HANDLE Own = nullptr);
  void ClickAt(HWND W, POINT P, int Count, bool Right, const std::string& What);
  void PressToolButton(HWND ToolBar, int Command, const std::string& Name);
  void SelectTab(HWND Tabs, int Index, const std::string& Name);
  void PressDialogButton(HWND Dialog, const std::string& Button);
  void SendCommand(int Command, const std::string& What);
  // The tool bar publishing the named tool button, and its command id.
  HWND FindToolButton(const std::string& Name, int& Command) const;

  std::string exe_, cwd_;
  DWORD timeoutMs_ = 20000;
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  HWND main_ = nullptr;
  std::set<HWND> accepted_;
  std::vector<HANDLE> pending_;  // events of helper threads still sending
};

}  // namespace morvane::drive
