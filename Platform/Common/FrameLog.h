// With KORVEL_FRAME_LOG naming a file, each present appends a line with the time of the
// monotonic clock in nanoseconds, after a first line "pid N": tools/frame_stats reads it.
#pragma once

namespace plat
{

void LogPresent();

} // namespace plat
