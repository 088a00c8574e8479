#include "KorvelInput/KorvelInput.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Name(int iCode)
{
    CKorvelString strName;
    CKorvelInput::DIKToString(static_cast<eKET_KEYCODE>(iCode), strName);
    return Narrow(strName);
}

unsigned int ToPlat(int iCode)
{
    return CKorvelInput::DIKToPlat(static_cast<eKET_KEYCODE>(iCode));
}

TEST(CKorvelInput, LettersOfBothCasesGiveOneCodeAndMapBackToLowerCase)
{
    for (unsigned int c = 0; c < 26; ++c)
    {
        EXPECT_EQ(CKorvelInput::PlatToDIK(0x61 + c), KET_KEY_A + static_cast<int>(c));
        EXPECT_EQ(CKorvelInput::PlatToDIK(0x41 + c), KET_KEY_A + static_cast<int>(c));
        EXPECT_EQ(ToPlat(KET_KEY_A + c), 0x61 + c);
    }
}

TEST(CKorvelInput, EveryOwnSymbolMapsBackToItsCode)
{
    for (int iCode = 10; iCode < KET_KEY_COUNT; ++iCode)
    {
        if (iCode >= KET_KEY_NUMPAD1 && iCode <= KET_KEY_NUMPAD0)
            continue; // the numpad gives the main row's digits
        unsigned int uPlat = ToPlat(iCode);
        if (uPlat == 0 || uPlat == 0xFFFFFFFFu)
            continue;
        EXPECT_EQ(CKorvelInput::PlatToDIK(uPlat), iCode) << "code " << iCode;
    }
}

// Symbols that map one way only, digits that never give the numpad, and unknowns.
TEST(CKorvelInput, SymbolToCodeTable)
{
    const struct
    {
        unsigned int uPlat;
        int iCode;
    } aCases[] = {{'1', KET_KEY_1},
                  {'9', KET_KEY_9},
                  {'0', KET_KEY_0},
                  {0x2B, KET_KEY_NUMPAD_PLUS},
                  {0xF0AB, KET_KEY_NUMPAD_PLUS},
                  {0xF0AD, KET_KEY_NUMPAD_MINUS},
                  {0xF7, KET_KEY_NUMPAD_DIVIDE},
                  {0xF0AF, KET_KEY_NUMPAD_DIVIDE},
                  {0xD7, KET_KEY_NUMPAD_MULTIPLY},
                  {0xF0AA, KET_KEY_NUMPAD_MULTIPLY},
                  {0xF067, KET_KEY_MENU},
                  {0xF00D, KET_KEY_ENTER},
                  {0xF08D, KET_KEY_NUMPAD_ENTER},
                  {0xF051, KET_KEY_LEFT},
                  {0xF0E1, KET_KEY_LSHIFT},
                  {0xF008, KET_KEY_BACKSPACE},
                  {0x60, KET_KEY_APOSTROPHE},
                  {0x7B, KET_KEY_UNKNOWN},
                  {0, KET_KEY_UNKNOWN},
                  {0xFFFFFFFFu, KET_KEY_UNKNOWN}};
    for (const auto& c : aCases)
        EXPECT_EQ(CKorvelInput::PlatToDIK(c.uPlat), c.iCode) << std::hex << c.uPlat;
}

TEST(CKorvelInput, CodeToSymbolTable)
{
    const struct
    {
        int iCode;
        unsigned int uPlat;
    } aCases[] = {{KET_KEY_NUMPAD1, 0x31},        {KET_KEY_NUMPAD0, 0x30},
                  {KET_KEY_NUMPAD_PLUS, 0},       {KET_KEY_MENU, 0xFFFFFFFFu},
                  {KET_KEY_DEVICE3, 0xF00D}, // Enter's symbol, which maps to ENTER
                  {KET_KEY_ENTER, 0xF00D},        {131, 0xFFFFFFFFu},
                  {KET_KEY_UNKNOWN, 0xFFFFFFFFu}, {KET_KEY_F13, 0}};
    for (const auto& c : aCases)
        EXPECT_EQ(ToPlat(c.iCode), c.uPlat) << "code " << c.iCode;
}

TEST(CKorvelInput, DisplayNames)
{
    const struct
    {
        int iCode;
        const char* pszName;
    } aCases[] = {{KET_KEY_A, "A"},
                  {KET_KEY_Z, "Z"},
                  {KET_KEY_NUMPAD0, "NUMPAD 0"},
                  {KET_KEY_DEVICE0, "DEVICE0"},
                  {KET_KEY_LEFT, "ARROW LEFT"},
                  {KET_KEY_F12, "F12"},
                  {KET_KEY_F15, "F15"},
                  {KET_KEY_ESCAPE, "Esc"},
                  {KET_KEY_SEMICOLON, ";"},
                  {KET_KEY_BACKSLASH, "\\"},
                  {KET_KEY_PAUSE, "PAUSE/BREAK"},
                  {KET_KEY_BACKSPACE, "Backspace"},
                  {KET_KEY_UNKNOWN, "Unknown key"},
                  {70, "Unknown key"},
                  {131, "Unknown key"}};
    for (const auto& c : aCases)
        EXPECT_EQ(Name(c.iCode), c.pszName) << "code " << c.iCode;
}

TEST(CKorvelInput, OnePointerDeviceOneKeyboardNoJoysticks)
{
    CKorvelInput input;
    EXPECT_EQ(input.Startup(nullptr), 1);
    CKorvelPtrArray devices;
    input.GetMices(&devices);
    input.GetKeyboards(&devices);
    input.GetJoysticks(&devices);
    input.GetJoysticks_FF(&devices);
    input.GetMices(nullptr);
    ASSERT_EQ(devices.GetCount(), 2);
    const SKE_INPUTDEVICE* pMouse = static_cast<SKE_INPUTDEVICE*>(devices[0]);
    EXPECT_TRUE(pMouse->m_strName.IsEqual(CKorvelString("KorvelInput mouse/stylus device.")));
    EXPECT_TRUE(static_cast<SKE_INPUTDEVICE*>(devices[1])
                    ->m_strName.IsEqual(CKorvelString("KorvelInput keyboard device.")));
    EXPECT_EQ(pMouse->m_aReserved[5], 0);
    CKorvelInput::ReleaseInputDevices(&devices);
    EXPECT_EQ(devices.GetCount(), 0);
    input.Shutdown();
}

} // namespace
