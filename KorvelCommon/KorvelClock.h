// Where the application's frame loop reads the time and sleeps. The system clock is
// the monotonic timer and a real sleep; tests install a clock that they move by hand.
#pragma once

#include "PlatformClock.h"

// GetTicks: nanoseconds on the scale of CKorvelTimer::GetTicks. The platform presents on
// the same clock.
class IKorvelClock : public plat::IPlatformClock
{
public:
    static IKorvelClock& System();
};
