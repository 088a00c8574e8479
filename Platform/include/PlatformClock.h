// The time the platform reads and waits on (presenting held to the display's rate):
// the caller's clock, so that a test can move it by hand.
#pragma once

#include <cstdint>

namespace plat
{

class IPlatformClock
{
public:
    virtual ~IPlatformClock() {}
    // Nanoseconds on a monotonic scale.
    virtual uint64_t GetTicks() = 0;
    virtual void Sleep(unsigned int uMilliseconds) = 0;
};

} // namespace plat
