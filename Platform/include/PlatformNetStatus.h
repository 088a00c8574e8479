// Network status: whether the device has a usable network path right now.
#pragma once

namespace plat
{

// Fills *is_available and returns 0; returns -1 and leaves *is_available alone
// when the status cannot be read (the event service's success/failure values).
int netstatus_get_availability(bool* is_available);

} // namespace plat
