// Implements X11 input values: pointer buttons as platform masks, keysyms as platform key symbols.
// Leaves out keysyms with no Latin-1 or Unicode character (dead keys, legacy sets): they make no key event.
#include "Platform/X11/X11Input.h"

#include <X11/X.h>
#include <X11/keysym.h>

#include "PlatformScreen.h"

namespace plat
{

int ButtonMaskOfXButton(unsigned int uButton)
{
    switch (uButton)
    {
    case Button1:
        return SCREEN_LEFT_MOUSE_BUTTON;
    case Button2:
        return SCREEN_MIDDLE_MOUSE_BUTTON;
    case Button3:
        return SCREEN_RIGHT_MOUSE_BUTTON;
    default: // 4-7 are the wheel: no pointer event, or it would end a drag
        return 0;
    }
}

int ButtonMaskOfXState(unsigned int uState)
{
    return (uState & Button1Mask ? SCREEN_LEFT_MOUSE_BUTTON : 0) |
           (uState & Button2Mask ? SCREEN_MIDDLE_MOUSE_BUTTON : 0) |
           (uState & Button3Mask ? SCREEN_RIGHT_MOUSE_BUTTON : 0);
}

int ButtonMaskAfter(unsigned int uState, unsigned int uButton, bool bPress)
{
    const int iMask = ButtonMaskOfXState(uState);
    const int iBit = ButtonMaskOfXButton(uButton);
    return bPress ? iMask | iBit : iMask & ~iBit;
}

int KeySymOfXKeySym(unsigned long uKeySym, unsigned int uState)
{
    enum : unsigned long
    {
        kSpecialFirst = 0xFF00, // function keys, arrows, keypad, modifiers
        kSpecialLast = 0xFFFF,
        kUnicodeBase = 0x01000000,
        kPlatformSpecial = 0xF000,
        kXF86Back = 0x1008FF26, // a keyboard's browser Back key
        kPlatformBack = 0xF089,
        kSelectAll = 0x01 // Ctrl+A's control code
    };
    if (uKeySym == kXF86Back)
        return int(kPlatformBack);
    // Shift+Tab reads as its own keysym: it is the Tab key, with the shift key held.
    if (uKeySym == XK_ISO_Left_Tab)
        return int(kPlatformSpecial | (XK_Tab & 0xFF));
    if ((uState & ControlMask) && (uKeySym == XK_a || uKeySym == XK_A))
        return kSelectAll;
    if ((uKeySym >= 0x20 && uKeySym <= 0x7E) || (uKeySym >= 0xA0 && uKeySym <= 0xFF))
        return int(uKeySym);
    if (uKeySym >= kSpecialFirst && uKeySym <= kSpecialLast)
        return int(kPlatformSpecial | (uKeySym & 0xFF));
    if (uKeySym > kUnicodeBase && uKeySym <= kUnicodeBase + 0xFFFF)
    {
        const unsigned long uChar = uKeySym - kUnicodeBase;
        // Characters in the special keys' range would read as those keys.
        const bool bSpecialRange = (uChar & ~0xFFUL) == kPlatformSpecial;
        if (uChar >= 0x20 && !bSpecialRange)
            return int(uChar);
    }
    return 0;
}

} // namespace plat
