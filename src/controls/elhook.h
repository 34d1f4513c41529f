// Window-procedure hooks: a TElHook sees, and may swallow, every message of
// another control before and after the control's own window procedure,
// without subclassing it. Hooks on one control are chained through one
// TCtlHook that replaces the control's WindowProc while any hook on it is
// active; the chains live in one process-wide TElHookList.
#pragma once

#include <functional>
#include <memory>

#include "controls/ellist.h"
#include "platform/core/components.h"
#include "platform/ui/controls.h"

namespace morvane {

using TElHookEvent = std::function<void(TObject* Sender, TMessage& Msg, bool& Handled)>;

class TElHook : public TComponent {
 public:
  explicit TElHook(TComponent* AOwner);
  ~TElHook() override;

  bool Active() const { return active_; }
  void SetActive(bool Value);
  bool DesignActive() const { return designActive_; }
  void SetDesignActive(bool Value);
  TControl* Control() const { return control_; }
  void SetControl(TControl* Value);

  TElHookEvent OnBeforeProcess;
  TElHookEvent OnAfterProcess;

  virtual void TriggerBeforeProcessEvent(TMessage& Msg, bool& Handled);
  virtual void TriggerAfterProcessEvent(TMessage& Msg, bool& Handled);

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  std::string ClassName() const override { return "TElHook"; }

 private:
  bool Designing() const;
  bool active_ = false;
  bool designActive_ = false;
  bool destroying_ = false;
  TControl* control_ = nullptr;
};

// The chain of active hooks on one control.
class TCtlHook : public TObject {
 public:
  TCtlHook();
  ~TCtlHook() override;
  TElList& Hooks() { return hooks_; }
  TControl* Control() const { return control_; }
  void SetControl(TControl* v) { control_ = v; }
  bool Installed() const { return static_cast<bool>(oldWndProc_); }
  const TWndMethod& OldWndProc() const { return oldWndProc_; }

  void AddHook(TElHook* Hook);
  void RemoveHook(TElHook* Hook);
  void HookWndProc(TMessage& Msg);

 private:
  TElList hooks_;
  TControl* control_ = nullptr;
  TWndMethod oldWndProc_;
  bool destroying_ = false;
  TWndMethod wndProc_;
};

// Every chain of the process.
class TElHookList : public TObject {
 public:
  TElHookList();
  ~TElHookList() override;
  TElList& Chains() { return chains_; }
  TCtlHook* Find(TControl* Control) const;
  HWND UtilityWindow() const { return wnd_; }

 private:
  void WndProc(TMessage& Msg);
  TElList chains_;
  HWND wnd_ = nullptr;
};

// The process-wide list, null until the first hook is activated.
TElHookList* ElHookList();

}  // namespace morvane
