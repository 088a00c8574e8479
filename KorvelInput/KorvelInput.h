// The engine's own key codes and their conversions to and from the platform's key
// symbols (printable keys as their character, the others 0xF000 and up), the key
// names, and the input devices (one pointer device, one keyboard, no joysticks).
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTimer.h"

#include "PlatformScreen.h"

class IKorvelApplication;

enum eKET_KEYCODE : int
{
    KET_KEY_DEVICE0 = 0, // 0-9: device keys, DEVICE0 .. DEVICE9
    KET_KEY_DEVICE3 = 3,
    KET_KEY_LEFT = 10,
    KET_KEY_UP = 11,
    KET_KEY_RIGHT = 12,
    KET_KEY_DOWN = 13,
    KET_KEY_ENTER = 14,
    KET_KEY_A = 15, // 15-40: A .. Z
    KET_KEY_Z = 40,
    KET_KEY_1 = 41, // 41-49: 1 .. 9, then 0
    KET_KEY_9 = 49,
    KET_KEY_0 = 50,
    KET_KEY_F1 = 51, // 51-65: F1 .. F15
    KET_KEY_F12 = 62,
    KET_KEY_F13 = 63,
    KET_KEY_F15 = 65,
    KET_KEY_ESCAPE = 75,
    KET_KEY_SPACE = 76,
    KET_KEY_BACK = 77,
    KET_KEY_LCONTROL = 78,
    KET_KEY_RCONTROL = 79,
    KET_KEY_LSHIFT = 80,
    KET_KEY_RSHIFT = 81,
    KET_KEY_CAPSLOCK = 82,
    KET_KEY_COMMA = 83,
    KET_KEY_PERIOD = 84,
    KET_KEY_TAB = 85,
    KET_KEY_HOME = 86,
    KET_KEY_END = 87,
    KET_KEY_PAGEUP = 88,
    KET_KEY_PAGEDOWN = 89,
    KET_KEY_MINUS = 90,
    KET_KEY_EQUALS = 91,
    KET_KEY_LBRACKET = 92,
    KET_KEY_RBRACKET = 93,
    KET_KEY_SEMICOLON = 94,
    KET_KEY_BACKSLASH = 95,
    KET_KEY_NUMLOCK = 96,
    KET_KEY_SCROLLLOCK = 97,
    KET_KEY_NUMPAD1 = 98, // 98-106: NUMPAD 1 .. 9, then NUMPAD 0
    KET_KEY_NUMPAD0 = 107,
    KET_KEY_LALT = 108,
    KET_KEY_RALT = 109,
    KET_KEY_INSERT = 110,
    KET_KEY_DELETE = 111,
    KET_KEY_APPS = 112,
    KET_KEY_LFUNC = 113,
    KET_KEY_RFUNC = 114,
    KET_KEY_APOSTROPHE = 115,
    KET_KEY_YES = 116,
    KET_KEY_NO = 117,
    KET_KEY_STAR = 118,
    KET_KEY_HASH = 119,
    KET_KEY_NUMPAD_DECIMAL = 120,
    KET_KEY_NUMPAD_DIVIDE = 121,
    KET_KEY_NUMPAD_MULTIPLY = 122,
    KET_KEY_NUMPAD_PLUS = 123,
    KET_KEY_NUMPAD_MINUS = 124,
    KET_KEY_NUMPAD_ENTER = 125,
    KET_KEY_PAUSE = 126,
    KET_KEY_MENU = 127,
    KET_KEY_SEARCH = 128,
    KET_KEY_CAMERA = 129,
    KET_KEY_BACKSPACE = 130,
    KET_KEY_COUNT = 131, // codes with a table entry
    KET_KEY_UNKNOWN = 255
};

// One entry of the device enumeration.
struct SKE_INPUTDEVICE
{
    CKorvelString m_strName;
    int m_aReserved[6] = {0, 0, 0, 0, 0, 0};
};

class CKorvelInput
{
public:
    CKorvelInput();
    virtual ~CKorvelInput() {}
    static CKorvelInput* New() { return new CKorvelInput(); }

    // Platform key symbol to engine code: both letter cases give the same code,
    // digits give the main row (never the numpad); KET_KEY_UNKNOWN for the rest.
    static eKET_KEYCODE PlatToDIK(unsigned int uPlatformCode);
    // Engine code to platform symbol: 0 for codes without one, 0xFFFFFFFF from 131 up.
    static unsigned int DIKToPlat(eKET_KEYCODE eCode);
    // The key's display name; "Unknown key" for codes without one.
    static void DIKToString(eKET_KEYCODE eCode, CKorvelString& strName);

    int Startup(IKorvelApplication* pApp); // 1
    void Shutdown();

    // Each appends new records to the array (a null array is ignored).
    void GetMices(CKorvelPtrArray* pDevices);
    void GetKeyboards(CKorvelPtrArray* pDevices);
    void GetJoysticks(CKorvelPtrArray*) {}
    void GetJoysticks_FF(CKorvelPtrArray*) {}
    // Deletes every SKE_INPUTDEVICE of the array and empties it.
    static void ReleaseInputDevices(CKorvelPtrArray* pDevices);

private:
    unsigned int m_uState;
    CKorvelTimer m_Timer;
    plat::screen_window_t m_pWindow;
    IKorvelApplication* m_pApp;
};
