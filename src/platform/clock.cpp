#include "platform/clock.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace platform {
namespace {

class SteadyClock : public Clock {
  public:
    std::int64_t nowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    void sleepMs(std::int64_t ms) override {
        if (ms > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    void sleepUntilMs(std::int64_t when) override {
        // Sleep to the exact steady-clock instant, not a rounded duration.
        using namespace std::chrono;
        std::this_thread::sleep_until(steady_clock::time_point(milliseconds(when)));
    }
};

SteadyClock steady;
Clock *current = &steady;

} // namespace

void setClock(Clock *c) {
    current = c ? c : &steady;
}
Clock &clock() {
    return *current;
}

void sleepMs(std::int64_t ms) {
    std::cout.flush();
    current->sleepMs(ms);
}

std::int64_t nowMs() {
    return current->nowMs();
}

} // namespace platform
