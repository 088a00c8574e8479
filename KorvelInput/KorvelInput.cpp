// Key-code tables and the input device enumeration.
#include "KorvelInput/KorvelInput.h"

#include "KorvelGraphics/KorvelApplication.h"

#include <new>

namespace
{
struct sKEY_ENTRY
{
    const char* m_pName; // null: "Unknown key"
    unsigned int m_uPlatform;
    bool m_bFromPlatform; // the platform symbol also maps back to this code
};

const unsigned int NONE = 0xFFFFFFFFu;

// Indexed by engine code 0..130.
const sKEY_ENTRY g_aKeys[KET_KEY_COUNT] = {
    {"DEVICE0", 0, false},
    {"DEVICE1", 0, false},
    {"DEVICE2", 0, false},
    {"DEVICE3", 0xF00D, false}, // gives ENTER's symbol, but ENTER owns it
    {"DEVICE4", 0, false},
    {"DEVICE5", 0, false},
    {"DEVICE6", 0, false},
    {"DEVICE7", 0, false},
    {"DEVICE8", 0, false},
    {"DEVICE9", 0, false},
    {"ARROW LEFT", 0xF051, true},
    {"ARROW UP", 0xF052, true},
    {"ARROW RIGHT", 0xF053, true},
    {"ARROW DOWN", 0xF054, true},
    {"ENTER", 0xF00D, true},
    {"A", 0x61, true},
    {"B", 0x62, true},
    {"C", 0x63, true},
    {"D", 0x64, true},
    {"E", 0x65, true},
    {"F", 0x66, true},
    {"G", 0x67, true},
    {"H", 0x68, true},
    {"I", 0x69, true},
    {"J", 0x6A, true},
    {"K", 0x6B, true},
    {"L", 0x6C, true},
    {"M", 0x6D, true},
    {"N", 0x6E, true},
    {"O", 0x6F, true},
    {"P", 0x70, true},
    {"Q", 0x71, true},
    {"R", 0x72, true},
    {"S", 0x73, true},
    {"T", 0x74, true},
    {"U", 0x75, true},
    {"V", 0x76, true},
    {"W", 0x77, true},
    {"X", 0x78, true},
    {"Y", 0x79, true},
    {"Z", 0x7A, true},
    {"1", 0x31, true},
    {"2", 0x32, true},
    {"3", 0x33, true},
    {"4", 0x34, true},
    {"5", 0x35, true},
    {"6", 0x36, true},
    {"7", 0x37, true},
    {"8", 0x38, true},
    {"9", 0x39, true},
    {"0", 0x30, true},
    {"F1", 0xF0BE, true},
    {"F2", 0xF0BF, true},
    {"F3", 0xF0C0, true},
    {"F4", 0xF0C1, true},
    {"F5", 0xF0C2, true},
    {"F6", 0xF0C3, true},
    {"F7", 0xF0C4, true},
    {"F8", 0xF0C5, true},
    {"F9", 0xF0C6, true},
    {"F10", 0xF0C7, true},
    {"F11", 0xF0C8, true},
    {"F12", 0xF0C9, true},
    {"F13", 0, false},
    {"F14", 0, false},
    {"F15", 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false}, // 66-74
    {nullptr, 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false},
    {nullptr, 0, false},
    {"Esc", 0xF01B, true},
    {"SPACE", 0x20, true},
    {"Back", 0xF089, true},
    {"L CONTROL", 0xF0E3, true},
    {"R CONTROL", 0xF0E4, true},
    {"L SHIFT", 0xF0E1, true},
    {"R SHIFT", 0xF0E2, true},
    {"CAPS LOCK", 0xF0E5, true},
    {",", 0x2C, true},
    {".", 0x2E, true},
    {"Tab", 0xF009, true},
    {"HOME", 0xF050, true},
    {"END", 0xF057, true},
    {"PAGEUP", 0xF055, true},
    {"PAGEDOWN", 0xF056, true},
    {"-", 0x2D, true},
    {"=", 0x3D, true},
    {"[", 0x5B, true},
    {"]", 0x5D, true},
    {";", 0x3B, true},
    {"\\", 0x5C, true},
    {"NUMLOCK", 0xF07F, true},
    {"SCROLL LOCK", 0xF014, true},
    // The numpad digits share the main row's symbols, which map to the main row.
    {"NUMPAD 1", 0x31, false},
    {"NUMPAD 2", 0x32, false},
    {"NUMPAD 3", 0x33, false},
    {"NUMPAD 4", 0x34, false},
    {"NUMPAD 5", 0x35, false},
    {"NUMPAD 6", 0x36, false},
    {"NUMPAD 7", 0x37, false},
    {"NUMPAD 8", 0x38, false},
    {"NUMPAD 9", 0x39, false},
    {"NUMPAD 0", 0x30, false},
    {"L ALT", 0xF0E9, true},
    {"R ALT", 0xF0EA, true},
    {"INSERT", 0xF063, true},
    {"DELETE", 0xF0FF, true},
    {"APPS KEY", 0, false},
    {"L FUNC", 0xF0ED, true},
    {"R FUNC", 0xF0EE, true},
    {"'", 0x60, true},
    {"YES", 0, false},
    {"NO", 0, false},
    {"*", 0x2A, true},
    {"#", 0, false},
    {"NUMPAD .", 0, false},
    {"NUMPAD /", 0xF7, true},
    {"NUMPAD *", 0xD7, true},
    {"NUMPAD +", 0, false},
    {"NUMPAD -", 0, false},
    {"NUMPAD ENTER", 0xF08D, true},
    {"PAUSE/BREAK", 0xF013, true},
    {"Menu", NONE, false},
    {"Search", NONE, false},
    {"Camera", NONE, false},
    {"Backspace", 0xF008, true},
};

// Platform symbols that map to a code without being that code's own symbol.
struct sEXTRA_SYMBOL
{
    unsigned int m_uPlatform;
    eKET_KEYCODE m_eCode;
};
const sEXTRA_SYMBOL g_aExtraSymbols[] = {
    {0xF0AF, KET_KEY_NUMPAD_DIVIDE}, {0xF0AA, KET_KEY_NUMPAD_MULTIPLY}, {0x2B, KET_KEY_NUMPAD_PLUS},
    {0xF0AB, KET_KEY_NUMPAD_PLUS},   {0xF0AD, KET_KEY_NUMPAD_MINUS},    {0xF067, KET_KEY_MENU},
};

void AddDevice(CKorvelPtrArray* pDevices, const char* pName)
{
    if (!pDevices)
        return;
    SKE_INPUTDEVICE* pDevice = new (std::nothrow) SKE_INPUTDEVICE;
    if (!pDevice)
        return;
    pDevice->m_strName.Set(pName);
    if (pDevices->Add(pDevice) < 0)
        delete pDevice;
}
} // namespace

CKorvelInput::CKorvelInput() : m_uState(0), m_pWindow(nullptr), m_pApp(nullptr)
{
    m_Timer.Startup(0);
}

eKET_KEYCODE CKorvelInput::PlatToDIK(unsigned int uPlatformCode)
{
    if (uPlatformCode >= 0x41 && uPlatformCode <= 0x5A) // upper-case letters
        return static_cast<eKET_KEYCODE>(KET_KEY_A + (uPlatformCode - 0x41));
    for (const sEXTRA_SYMBOL& extra : g_aExtraSymbols)
    {
        if (extra.m_uPlatform == uPlatformCode)
            return extra.m_eCode;
    }
    for (int i = 0; i < KET_KEY_COUNT; ++i)
    {
        if (g_aKeys[i].m_bFromPlatform && g_aKeys[i].m_uPlatform == uPlatformCode)
            return static_cast<eKET_KEYCODE>(i);
    }
    return KET_KEY_UNKNOWN;
}

unsigned int CKorvelInput::DIKToPlat(eKET_KEYCODE eCode)
{
    unsigned int uCode = static_cast<unsigned int>(eCode);
    return uCode < KET_KEY_COUNT ? g_aKeys[uCode].m_uPlatform : NONE;
}

void CKorvelInput::DIKToString(eKET_KEYCODE eCode, CKorvelString& strName)
{
    unsigned int uCode = static_cast<unsigned int>(eCode);
    const char* pName = uCode < KET_KEY_COUNT ? g_aKeys[uCode].m_pName : nullptr;
    strName.Set(pName ? pName : "Unknown key");
}

int CKorvelInput::Startup(IKorvelApplication* pApp)
{
    m_pApp = pApp;
    m_pWindow = pApp ? pApp->GetWindow() : nullptr;
    m_uState = 0;
    return 1;
}

void CKorvelInput::Shutdown()
{
    m_pWindow = nullptr;
    m_uState = 0;
}

void CKorvelInput::GetMices(CKorvelPtrArray* pDevices)
{
    AddDevice(pDevices, "KorvelInput mouse/stylus device.");
}

void CKorvelInput::GetKeyboards(CKorvelPtrArray* pDevices)
{
    AddDevice(pDevices, "KorvelInput keyboard device.");
}

void CKorvelInput::ReleaseInputDevices(CKorvelPtrArray* pDevices)
{
    if (!pDevices)
        return;
    for (int i = 0; i < pDevices->GetCount(); ++i)
        delete static_cast<SKE_INPUTDEVICE*>(pDevices->GetAt(i));
    pDevices->Clear();
}
