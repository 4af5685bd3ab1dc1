#include "ui/Timer.h"

#include "ui/Backend.h"

namespace ui {

Timer::Timer() : peer_(CurrentBackend().CreateTimerPeer(*this)) {}

Timer::~Timer() {
  if (peer_) peer_->Stop();
}

void Timer::SetInterval(uint32_t ms) {
  if (interval_ == ms) return;
  interval_ = ms;
  Apply();
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Apply();
}

void Timer::Apply() {
  if (Running()) {
    peer_->Start(interval_);
  } else {
    peer_->Stop();
  }
}

void Timer::Fire() {
  if (Running() && OnTimer) OnTimer();
}

}  // namespace ui
