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
    EXPECT_EQ(Name(KET_KEY_A), "A");
    EXPECT_EQ(Name(KET_KEY_Z), "Z");
}

TEST(CKorvelInput, DigitsGiveTheMainRowNeverTheNumpad)
{
    EXPECT_EQ(CKorvelInput::PlatToDIK('1'), KET_KEY_1);
    EXPECT_EQ(CKorvelInput::PlatToDIK('9'), KET_KEY_9);
    EXPECT_EQ(CKorvelInput::PlatToDIK('0'), KET_KEY_0);
    EXPECT_EQ(ToPlat(KET_KEY_NUMPAD1), 0x31u);
    EXPECT_EQ(ToPlat(KET_KEY_NUMPAD0), 0x30u);
    EXPECT_EQ(Name(KET_KEY_NUMPAD0), "NUMPAD 0");
}

TEST(CKorvelInput, SymbolsThatMapOneWayOnly)
{
    EXPECT_EQ(CKorvelInput::PlatToDIK(0x2B), KET_KEY_NUMPAD_PLUS);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF0AB), KET_KEY_NUMPAD_PLUS);
    EXPECT_EQ(ToPlat(KET_KEY_NUMPAD_PLUS), 0u);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF0AD), KET_KEY_NUMPAD_MINUS);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF7), KET_KEY_NUMPAD_DIVIDE);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF0AF), KET_KEY_NUMPAD_DIVIDE);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xD7), KET_KEY_NUMPAD_MULTIPLY);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF0AA), KET_KEY_NUMPAD_MULTIPLY);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF067), KET_KEY_MENU);
    EXPECT_EQ(ToPlat(KET_KEY_MENU), 0xFFFFFFFFu);
    // DEVICE3 gives Enter's symbol, which still maps to ENTER.
    EXPECT_EQ(ToPlat(KET_KEY_DEVICE3), 0xF00Du);
    EXPECT_EQ(ToPlat(KET_KEY_ENTER), 0xF00Du);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF00D), KET_KEY_ENTER);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF08D), KET_KEY_NUMPAD_ENTER);
}

TEST(CKorvelInput, EveryOwnSymbolMapsBackToItsCode)
{
    for (int iCode = 10; iCode < KET_KEY_COUNT; ++iCode)
    {
        if (iCode >= KET_KEY_NUMPAD1 && iCode <= KET_KEY_NUMPAD0)
            continue;
        unsigned int uPlat = ToPlat(iCode);
        if (uPlat == 0 || uPlat == 0xFFFFFFFFu)
            continue;
        EXPECT_EQ(CKorvelInput::PlatToDIK(uPlat), iCode) << "code " << iCode;
    }
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF051), KET_KEY_LEFT);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF0E1), KET_KEY_LSHIFT);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xF008), KET_KEY_BACKSPACE);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0x60), KET_KEY_APOSTROPHE);
}

TEST(CKorvelInput, UnknownSymbolsAndCodes)
{
    EXPECT_EQ(CKorvelInput::PlatToDIK(0x7B), KET_KEY_UNKNOWN);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0), KET_KEY_UNKNOWN);
    EXPECT_EQ(CKorvelInput::PlatToDIK(0xFFFFFFFFu), KET_KEY_UNKNOWN);
    EXPECT_EQ(ToPlat(131), 0xFFFFFFFFu);
    EXPECT_EQ(ToPlat(KET_KEY_UNKNOWN), 0xFFFFFFFFu);
    EXPECT_EQ(ToPlat(KET_KEY_F13), 0u);
    EXPECT_EQ(Name(KET_KEY_UNKNOWN), "Unknown key");
    EXPECT_EQ(Name(70), "Unknown key");
    EXPECT_EQ(Name(131), "Unknown key");
}

TEST(CKorvelInput, DisplayNames)
{
    EXPECT_EQ(Name(KET_KEY_DEVICE0), "DEVICE0");
    EXPECT_EQ(Name(KET_KEY_LEFT), "ARROW LEFT");
    EXPECT_EQ(Name(KET_KEY_F12), "F12");
    EXPECT_EQ(Name(KET_KEY_F15), "F15");
    EXPECT_EQ(Name(KET_KEY_ESCAPE), "Esc");
    EXPECT_EQ(Name(KET_KEY_SEMICOLON), ";");
    EXPECT_EQ(Name(KET_KEY_BACKSLASH), "\\");
    EXPECT_EQ(Name(KET_KEY_PAUSE), "PAUSE/BREAK");
    EXPECT_EQ(Name(KET_KEY_BACKSPACE), "Backspace");
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
