#include "platform/ui/timers.h"

#include "platform/ui/application.h"
#include "platform/ui/controls.h"

namespace morvane {

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  *alive_ = false;
  if (wnd_) {
    if (running_) KillTimer(wnd_, 1);
    DeallocateHWnd(wnd_);
  }
}

void TTimer::UpdateTimer() {
  if (running_) {
    KillTimer(wnd_, 1);
    running_ = false;
  }
  if (!enabled_ || interval_ == 0) return;
  if (!wnd_) wnd_ = AllocateHWnd(TWndMethod(this, &TTimer::WndProc));
  running_ = SetTimer(wnd_, 1, interval_, nullptr) != 0;
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
  if (v == interval_) return;
  interval_ = v;
  UpdateTimer();
}

void TTimer::Timer() {
  if (!OnTimer) return;
  // A copy: the handler may free the timer, and with it OnTimer.
  TNotifyEvent fn = OnTimer;
  fn(this);
}

void TTimer::WndProc(TMessage& m) {
  if (m.Msg == WM_TIMER) {
    if (!running_) return;  // a tick queued before the timer stopped
    std::shared_ptr<bool> alive = alive_;
    try {
      Timer();
    } catch (...) {
      if (*alive) Application->HandleException(this);
      else Application->HandleException(nullptr);
    }
    return;
  }
  m.Result = DefWindowProcA(wnd_, m.Msg, m.WParam, m.LParam);
}

}  // namespace morvane
