// The virtual keyboard: a desktop has a real one, so the calls are recorded only.
#include "PlatformVirtualKeyboard.h"

#include "Platform/Common/CallLog.h"
#include "Platform/Common/EventQueue.h"

namespace plat
{

int virtualkeyboard_request_events(int iFlags)
{
    if (RecordCall("virtualkeyboard_request_events", {iFlags}))
        return BPS_FAILURE;
    SetDomainRequested(kDomainVirtualKeyboard, true);
    return BPS_SUCCESS;
}

void virtualkeyboard_change_options(int iLayout, int iEnterKey)
{
    RecordCall("virtualkeyboard_change_options", {iLayout, iEnterKey});
}

void virtualkeyboard_show()
{
    RecordCall("virtualkeyboard_show");
}

void virtualkeyboard_hide()
{
    RecordCall("virtualkeyboard_hide");
}

int virtualkeyboard_get_domain()
{
    return kDomainVirtualKeyboard;
}

} // namespace plat
