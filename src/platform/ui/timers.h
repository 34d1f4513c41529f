// The message timer component.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/core/components.h"
#include "platform/ui/messages.h"

namespace morvane {

// Fires OnTimer every Interval ms on the thread that made it, while Enabled.
// OnTimer may stop, restart or free the timer.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  // Milliseconds; 0 never fires.
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;

 protected:
  virtual void Timer();
  std::string ClassName() const override { return "TTimer"; }

 private:
  class THost;
  void UpdateTimer();
  void Tick();
  bool enabled_ = true;
  unsigned interval_ = 1000;
  THost* host_ = nullptr;  // the thread's window that carries the timer
  uintptr_t id_ = 0;
  bool running_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace morvane
