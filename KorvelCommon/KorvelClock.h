// Where the application's frame loop reads the time and sleeps. The system clock is
// the monotonic timer and a real sleep; tests install a clock that they move by hand.
#pragma once

#include <cstdint>

class IKorvelClock
{
public:
    virtual ~IKorvelClock() {}
    // Nanoseconds on the scale of CKorvelTimer::GetTicks.
    virtual uint64_t GetTicks() = 0;
    virtual void Sleep(unsigned int uMilliseconds) = 0;

    static IKorvelClock& System();
};
