// The application object (message loop, exception display, hints) and the
// screen (size, cursors, forms).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/components.h"
#include "platform/core/exceptions.h"
#include "platform/ui/controls.h"

namespace morvane {

class TCustomForm;

// The small popup that shows a hint.
class THintWindow : public TCustomControl {
 public:
  explicit THintWindow(TComponent* AOwner);
  // Shows the hint text in Rect (screen coordinates) without taking the focus.
  virtual void ActivateHint(RECT Rect, const std::string& AHint);
  // The rectangle (at 0,0) the text needs, at most MaxWidth wide.
  virtual RECT CalcHintRect(int MaxWidth, const std::string& AHint, void* AData);
  void ReleaseHandle();
  bool IsShowing();

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  std::string ClassName() const override { return "THintWindow"; }
};

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* AOwner);
  int Width() const;
  int Height() const;
  RECT DesktopRect() const;
  int DesktopLeft() const { return DesktopRect().left; }
  int DesktopTop() const { return DesktopRect().top; }
  int DesktopWidth() const { RECT r = DesktopRect(); return r.right - r.left; }
  int DesktopHeight() const { RECT r = DesktopRect(); return r.bottom - r.top; }
  RECT WorkAreaRect() const;
  int PixelsPerInch() const;

  // A cursor for the whole program while not crDefault (crHourGlass while busy).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor v);
  HCURSOR Cursors(int Index);
  void SetCursors(int Index, HCURSOR Handle);

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TCustomForm* Forms(int i) const { return forms_.at(static_cast<size_t>(i)); }
  TCustomForm* ActiveForm() const { return activeForm_; }
  TWinControl* ActiveControl() const;

 private:
  friend class TCustomForm;
  std::map<int, HCURSOR> cursors_;
  TCursor cursor_ = crDefault;
  std::vector<TCustomForm*> forms_;
  TCustomForm* activeForm_ = nullptr;
};

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize();
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& v) { title_ = v; }
  std::string ExeName() const;
  int ParamCount() const;
  std::string ParamStr(int Index) const;
  HWND Handle();

  // Makes a form owned by the application; the first one is the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    Reference = new T(this);
    if (!mainForm_) mainForm_ = Reference;
    FormCreated(Reference);
  }
  TCustomForm* MainForm() const { return mainForm_; }
  void SetMainForm(TCustomForm* f) { mainForm_ = f; }

  // Shows the main form and runs the message loop until it closes.
  void Run();
  void ProcessMessages();
  // Takes and handles one message, else waits for the next; false after WM_QUIT.
  bool HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Shows the exception being handled (from inside a catch block) and goes on.
  void HandleException(TObject* Sender);
  void ShowException(const std::exception& E);
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);
  // Runs Synchronize calls queued by other threads (every loop calls it).
  void ServeSynchronize();

  // Hints.
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& v);
  int HintPause = 500;
  int HintShortPause = 50;
  int HintHidePause = 2500;
  TColor HintColor = clInfoBk;
  // Makes the window that shows hints (a THintWindow by default).
  std::function<THintWindow*(TComponent* Owner)> HintWindowClass;
  void SetHintWindowClass(std::function<THintWindow*(TComponent*)> f);
  // Every mouse move of a control passes here: starts, moves or hides the hint.
  void HintMouseMessage(TControl* Control, TMessage& Message);
  void ActivateHint(POINT CursorPos);
  void CancelHint();
  void HideHint();
  THintWindow* HintWindow() const { return hintWindow_; }
  TControl* HintControl() const { return hintControl_; }

  TNotifyEvent OnHint;
  TExceptionEvent OnException;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;

  // Controls tell the application when they go, so it drops pointers to them.
  void ControlDestroyed(TControl* Control);
  int ModalLevel() const { return modalLevel_; }

 private:
  friend class TCustomForm;
  void FormCreated(TCustomForm* f);
  bool ProcessMessage(MSG& Msg);
  bool IsDialogKeyMsg(MSG& Msg);
  void Idle();
  void WndProc(TMessage& Message);
  void StartHintTimer(int ms);
  void StopHintTimer();

  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
  HWND handle_ = nullptr;
  int modalLevel_ = 0;
  bool showHint_ = true;
  std::string hint_;
  THintWindow* hintWindow_ = nullptr;
  TControl* hintControl_ = nullptr;
  RECT hintCursorRect_{};  // screen; the shown hint stays while the mouse is inside
  bool hintActive_ = false;
  bool hintTimerRunning_ = false;
  bool hintTimerIsHide_ = false;
};

extern TApplication* Application;
extern TScreen* Screen;

// The hourglass while a long operation runs, and the cursor before it after.
class THourGlass {
 public:
  THourGlass() : saved_(Screen ? Screen->Cursor() : crDefault) {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~THourGlass() {
    if (Screen) Screen->SetCursor(saved_);
  }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

 private:
  TCursor saved_;
};

}  // namespace morvane
