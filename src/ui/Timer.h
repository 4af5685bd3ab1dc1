#pragma once
// A periodic timer on the user-interface thread. OnTimer runs every Interval milliseconds
// while enabled and an interval above 0 is set. Destroying the timer stops it; a handler may
// disable or re-time its own timer.
#include <cstdint>
#include <functional>
#include <memory>

namespace ui {

class TimerPeer;

class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  uint32_t Interval() const { return interval_; }
  void SetInterval(uint32_t ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Running: enabled with an interval; the backend fires only then.
  bool Running() const { return enabled_ && interval_ > 0; }

  std::function<void()> OnTimer;
  // Called by the backend at each period.
  void Fire();

 private:
  void Apply();

  uint32_t interval_ = 1000;
  bool enabled_ = false;
  std::unique_ptr<TimerPeer> peer_;
};

}  // namespace ui
