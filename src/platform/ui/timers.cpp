#include "platform/ui/timers.h"

#include <unordered_map>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"

namespace morvane {

// Every timer of a thread runs on one hidden window of that thread: making
// and freeing a window costs the window server a round trip each, and the
// main window alone holds dozens of timers (every scroll bar has one), which
// made a window each before the program could show anything.
class TTimer::THost {
 public:
  // Never freed: a timer may outlive the thread's other objects, and the
  // system takes the window with the thread.
  static THost* OfThisThread() {
    thread_local THost* host = new THost;
    return host;
  }
  HWND Window() {
    if (!wnd_) wnd_ = AllocateHWnd(TWndMethod(this, &THost::WndProc));
    return wnd_;
  }
  // Ids are never reused, so a tick queued for a freed timer finds nothing.
  uintptr_t Add(TTimer* Timer) {
    timers_[++lastId_] = Timer;
    return lastId_;
  }
  void Remove(uintptr_t Id) { timers_.erase(Id); }

 private:
  void WndProc(TMessage& m) {
    if (m.Msg == WM_TIMER) {
      auto it = timers_.find(m.WParam);
      if (it != timers_.end()) it->second->Tick();
      return;
    }
    m.Result = DefWindowProcA(wnd_, m.Msg, m.WParam, m.LParam);
  }
  HWND wnd_ = nullptr;
  uintptr_t lastId_ = 0;
  std::unordered_map<uintptr_t, TTimer*> timers_;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
  *alive_ = false;
  if (host_) {
    if (running_) KillTimer(host_->Window(), id_);
    host_->Remove(id_);
  }
}

void TTimer::UpdateTimer() {
  if (running_) {
    KillTimer(host_->Window(), id_);
    running_ = false;
  }
  if (!enabled_ || interval_ == 0) return;
  if (!host_) {
    host_ = THost::OfThisThread();
    id_ = host_->Add(this);
  }
  running_ = SetTimer(host_->Window(), id_, interval_, nullptr) != 0;
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

void TTimer::Tick() {
  if (!running_) return;  // a tick queued before the timer stopped
  std::shared_ptr<bool> alive = alive_;
  try {
    Timer();
  } catch (...) {
    if (*alive) Application->HandleException(this);
    else Application->HandleException(nullptr);
  }
}

}  // namespace morvane
