// Milliseconds for waits and timing, behind a seam so tests never wait.
#pragma once

#include <cstdint>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    // Monotonic milliseconds from an arbitrary start.
    virtual std::int64_t nowMs() = 0;
    virtual void sleepMs(std::int64_t ms) = 0;
    // Sleeps until nowMs() reaches the given time (at once if it has).
    virtual void sleepUntilMs(std::int64_t when) {
        std::int64_t now = nowMs();
        if (when > now)
            sleepMs(when - now);
    }
};

// Null restores the steady clock.
void setClock(Clock *clock);
Clock &clock();

// Flushes the console first, so that what was printed is seen during the wait.
void sleepMs(std::int64_t ms);
std::int64_t nowMs();

} // namespace platform
