// Virtual keyboard service. A desktop has a real keyboard, so showing and hiding
// only record the request; typed keys arrive as screen keyboard events.
#pragma once

#include "PlatformBps.h"

namespace plat
{

// Event codes of the virtual keyboard domain.
enum : int
{
    VIRTUALKEYBOARD_EVENT_VISIBLE = 1,
    VIRTUALKEYBOARD_EVENT_HIDDEN = 2
};

// BPS_SUCCESS or BPS_FAILURE.
int virtualkeyboard_request_events(int iFlags);
void virtualkeyboard_change_options(int iLayout, int iEnterKey);
void virtualkeyboard_show();
void virtualkeyboard_hide();
int virtualkeyboard_get_domain();

} // namespace plat
