// Every modal interaction of the program passes through here: message boxes,
// modal forms, the input box, the common dialogs and popup-menu tracking. In
// the program they are the real ones. A test installs a responder that sees
// what would be shown and answers it, so nothing waits for a person; with a
// strict responder, anything the test did not expect fails at once with its
// caption and text instead of hanging the run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace morvane {

class TCustomForm;
class TPopupMenu;

enum class TModalKind {
  mkMessageBox,   // Text, Caption, Flags (MB_*); answer IDOK, IDYES, ...
  mkForm,         // Form (showing; the responder may work it); answer a modal result
  mkInputBox,     // Caption, Text = prompt, Value; answer IDOK (Value taken) or IDCANCEL
  mkOpenDialog,   // Caption = title, Value = file name; answer IDOK or IDCANCEL
  mkSaveDialog,
  mkSelectDirectory,  // Caption, Text = root, Value = folder
  mkPrintDialog,      // answer IDOK or IDCANCEL
  mkPopupMenu,        // Menu, Identity = its name; answer the command id to run, 0 for none
  mkSystemDialog,     // a system dialog box the watchdog found (Caption, Text)
};

const char* ModalKindName(TModalKind k);

struct TModalRequest {
  TModalKind Kind = TModalKind::mkMessageBox;
  std::string Identity;  // form or menu component name, else the kind's name
  std::string Caption;
  std::string Text;
  UINT Flags = 0;
  TCustomForm* Form = nullptr;
  TPopupMenu* Menu = nullptr;
  std::string* Value = nullptr;  // in/out for input box, file and folder dialogs
};

using TModalResponder = std::function<int(TModalRequest& Request)>;

// A responder's answer to a modal form: leave it open, something else (a
// timer, a thread's Synchronize) will close it. While a responder is
// installed such a form still closes with mrCancel after 10 seconds.
constexpr int mrKeepOpen = -1;
// A responder's answer to anything but a form: show the real one (a message
// box, a common dialog, the input box's own form, which then comes to the
// responder as a form).
constexpr int mrShowReal = -2;

// Null: the real dialogs (the program's default).
void SetModalResponder(TModalResponder Responder);
const TModalResponder& ModalResponder();
bool HasModalResponder();
// Asks the responder; only valid when one is installed.
int AskModalResponder(TModalRequest& Request);

// Puts a responder in place for a scope and the previous one back after.
class TModalResponderScope {
 public:
  explicit TModalResponderScope(TModalResponder Responder);
  ~TModalResponderScope();
  TModalResponderScope(const TModalResponderScope&) = delete;
  TModalResponderScope& operator=(const TModalResponderScope&) = delete;

 private:
  TModalResponder previous_;
};

// A responder that takes answers from a script of expectations, in order,
// and reports anything else through OnUnexpected (then answers "cancel").
class TScriptedResponder {
 public:
  struct TStep {
    TModalKind Kind;
    std::string TextContains;  // matched against Caption + "\n" + Text; empty matches all
    std::function<int(TModalRequest&)> Answer;
  };
  std::function<void(const std::string& What)> OnUnexpected;
  void Expect(TModalKind Kind, const std::string& TextContains, int Answer);
  void Expect(TModalKind Kind, const std::string& TextContains, std::function<int(TModalRequest&)> Answer);
  bool Done() const { return next_ >= steps_.size(); }
  size_t Remaining() const { return steps_.size() - next_; }
  std::vector<std::string> Seen;  // "kind: caption | text" of every request
  int operator()(TModalRequest& r);
  TModalResponder AsResponder() { return [this](TModalRequest& r) { return (*this)(r); }; }

 private:
  std::vector<TStep> steps_;
  size_t next_ = 0;
};

// Watches for system dialog boxes (class #32770) and menus (#32768) of this
// process that nothing answers: after Timeout ms one is reported (caption and
// message text) and closed, so a forgotten dialog or menu loop ends the test
// instead of hanging it.
class TModalWatchdog {
 public:
  explicit TModalWatchdog(std::function<void(const std::string& What)> OnStuck, int TimeoutMs = 3000);
  ~TModalWatchdog();
  TModalWatchdog(const TModalWatchdog&) = delete;
  TModalWatchdog& operator=(const TModalWatchdog&) = delete;

 private:
  struct Impl;
  Impl* impl_;
};

// The caption and text of a dialog box window (the static text of a message box).
std::string DialogText(HWND Dialog);

// Message boxes -------------------------------------------------------------

// MessageBoxA with the application's main window as owner (through the responder).
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);
int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint32_t {
  mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64,
  mbAll = 128, mbNoToAll = 256, mbYesToAll = 512, mbHelp = 1024
};
using TMsgDlgButtons = uint32_t;
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbAbortRetryIgnore = mbAbort | mbRetry | mbIgnore;

// A message box with the type's caption and icon; returns the modal result.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
void ShowMessage(const std::string& Msg);
// The prompt dialog; returns Default when cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);

}  // namespace morvane
