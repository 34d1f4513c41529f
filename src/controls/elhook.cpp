#include "controls/elhook.h"

#include <vector>

#include "platform/ui/application.h"

namespace morvane {
namespace {

// Freed at exit with every chain.
std::unique_ptr<TElHookList>& GlobalList() {
  static std::unique_ptr<TElHookList> list;
  return list;
}

}  // namespace

TElHookList* ElHookList() { return GlobalList().get(); }

// TElHook ----------------------------------------------------------------------

TElHook::TElHook(TComponent* AOwner) : TComponent(AOwner) {}

TElHook::~TElHook() {
  destroying_ = true;
  SetControl(nullptr);
}

bool TElHook::Designing() const {
  return HasState(csDesigning) || (Owner() && Owner()->HasState(csDesigning));
}

void TElHook::SetActive(bool Value) {
  if (active_ == Value) return;
  if (!Designing() || designActive_) {
    if (Value) {
      if (control_) {
        auto& list = GlobalList();
        if (!list) list = std::make_unique<TElHookList>();
        TCtlHook* chain = list->Find(control_);
        if (!chain) {
          chain = new TCtlHook();
          list->Chains().Add(static_cast<TObject*>(chain));
          chain->SetControl(control_);
        }
        chain->AddHook(this);
      }
    } else if (auto* list = ElHookList()) {
      if (TCtlHook* chain = list->Find(control_)) chain->RemoveHook(this);
    }
  }
  active_ = Value;
}

void TElHook::SetControl(TControl* Value) {
  if (control_ == Value) return;
  const bool wasActive = active_;
  SetActive(false);
  if (control_) control_->RemoveFreeNotification(this);
  control_ = Value;
  // A hook taken off its control stays off: assigning another control later
  // does not start watching it unasked.
  if (control_) {
    if (!destroying_) SetActive(wasActive);
    control_->FreeNotification(this);
  }
}

void TElHook::SetDesignActive(bool Value) {
  if (designActive_ == Value) return;
  designActive_ = Value;
  if (Designing()) {
    if (active_) {
      active_ = false;
      SetActive(true);
    } else {
      active_ = true;
      SetActive(false);
    }
  }
}

void TElHook::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove && AComponent == control_) SetControl(nullptr);
}

void TElHook::TriggerBeforeProcessEvent(TMessage& Msg, bool& Handled) {
  if (OnBeforeProcess) OnBeforeProcess(this, Msg, Handled);
}

void TElHook::TriggerAfterProcessEvent(TMessage& Msg, bool& Handled) {
  if (OnAfterProcess) OnAfterProcess(this, Msg, Handled);
}

// TCtlHook ---------------------------------------------------------------------

TCtlHook::TCtlHook() : wndProc_(this, &TCtlHook::HookWndProc) {}

TCtlHook::~TCtlHook() {
  destroying_ = true;
  hooks_.Clear();
  if (Installed() && control_ && !control_->HasState(csDestroying)) control_->SetWindowProc(oldWndProc_);
  oldWndProc_ = TWndMethod();
  wndProc_ = TWndMethod();
}

void TCtlHook::AddHook(TElHook* Hook) {
  hooks_.Add(Hook);
  if (!Installed() && control_) {
    oldWndProc_ = control_->WindowProc();
    control_->SetWindowProc(wndProc_);
  }
}

void TCtlHook::RemoveHook(TElHook* Hook) {
  hooks_.Remove(Hook);
  if (hooks_.Count() == 0 && Installed()) {
    // A control on its way out keeps what it has; the saved method is dropped.
    if (control_ && !control_->HasState(csDestroying) && control_->WindowProc() == wndProc_)
      control_->SetWindowProc(oldWndProc_);
    oldWndProc_ = TWndMethod();
  }
  // The last hook of a control being freed: the chain forgets the control,
  // so that nothing reaches it through this chain later.
  if (hooks_.Count() == 0 && control_ && control_->HasState(csDestroying)) control_ = nullptr;
}

void TCtlHook::HookWndProc(TMessage& Msg) {
  // Handlers may switch hooks on this control on or off, which changes
  // Hooks and may take the chain off the control: work on a copy of both,
  // and skip a hook that left the chain meanwhile.
  std::vector<TElHook*> hooks;
  hooks.reserve(static_cast<size_t>(hooks_.Count()));
  for (int i = 0; i < hooks_.Count(); ++i) hooks.push_back(static_cast<TElHook*>(hooks_.Get(i)));
  const TWndMethod old = oldWndProc_;
  auto stillHooked = [this](TElHook* h) { return hooks_.IndexOf(h) >= 0; };

  bool handled = false;
  if (Msg.Msg != WM_QUIT && !destroying_) {
    for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
      if (stillHooked(*it)) (*it)->TriggerBeforeProcessEvent(Msg, handled);
  }
  if (!handled) old(Msg);
  handled = false;
  for (auto it = hooks.rbegin(); it != hooks.rend() && !handled; ++it)
    if (stillHooked(*it)) (*it)->TriggerAfterProcessEvent(Msg, handled);
}

// TElHookList ------------------------------------------------------------------

TElHookList::TElHookList() {
  chains_.OnItemDelete = [](TObject*, void* Item) { delete static_cast<TObject*>(Item); };
  wnd_ = AllocateHWnd(TWndMethod(this, &TElHookList::WndProc));
}

TElHookList::~TElHookList() {
  chains_.Clear();
  if (wnd_) DeallocateHWnd(wnd_);
}

TCtlHook* TElHookList::Find(TControl* Control) const {
  if (!Control) return nullptr;
  for (int i = 0; i < chains_.Count(); ++i) {
    auto* chain = static_cast<TCtlHook*>(static_cast<TObject*>(chains_.Get(i)));
    if (chain->Control() == Control) return chain;
  }
  return nullptr;
}

void TElHookList::WndProc(TMessage& Msg) {
  try {
    Msg.Result = Msg.Msg == WM_QUERYENDSESSION ? 1 : 0;
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
}

}  // namespace morvane
