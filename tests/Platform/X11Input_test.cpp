// X11 input values to platform values.
#include <gtest/gtest.h>

#include "Platform/X11/X11Input.h"
#include "PlatformScreen.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace
{

using namespace plat;

TEST(X11Input, ButtonMasksAreTheStateAfterTheEvent)
{
    EXPECT_EQ(ButtonMaskAfter(0, Button1, true), SCREEN_LEFT_MOUSE_BUTTON);
    EXPECT_EQ(ButtonMaskAfter(Button1Mask, Button1, false), 0);
    EXPECT_EQ(ButtonMaskAfter(Button1Mask, Button3, true),
              SCREEN_LEFT_MOUSE_BUTTON | SCREEN_RIGHT_MOUSE_BUTTON);
    EXPECT_EQ(ButtonMaskAfter(Button1Mask | Button2Mask, Button2, false), SCREEN_LEFT_MOUSE_BUTTON);
    // Modifiers and wheel bits in the state are not buttons of the platform.
    EXPECT_EQ(ButtonMaskOfXState(ShiftMask | Button4Mask | Button1Mask), SCREEN_LEFT_MOUSE_BUTTON);
    for (unsigned int uWheel = 4; uWheel <= 7; ++uWheel)
        EXPECT_EQ(ButtonMaskOfXButton(uWheel), 0);
}

TEST(X11Input, KeySymbolsUseThePlatformNumbering)
{
    EXPECT_EQ(KeySymOfXKeySym(XK_a), 'a');
    EXPECT_EQ(KeySymOfXKeySym(XK_A), 'A');
    EXPECT_EQ(KeySymOfXKeySym(XK_space), 0x20);
    EXPECT_EQ(KeySymOfXKeySym(XK_asciitilde), 0x7E);
    EXPECT_EQ(KeySymOfXKeySym(XK_udiaeresis), 0xFC);
    EXPECT_EQ(KeySymOfXKeySym(XK_BackSpace), 0xF008);
    EXPECT_EQ(KeySymOfXKeySym(XK_Return), 0xF00D);
    EXPECT_EQ(KeySymOfXKeySym(XK_KP_Enter), 0xF08D);
    EXPECT_EQ(KeySymOfXKeySym(XK_F1), 0xF0BE);
    EXPECT_EQ(KeySymOfXKeySym(XK_Shift_L), 0xF0E1);
    EXPECT_EQ(KeySymOfXKeySym(XK_Delete), 0xF0FF);
    EXPECT_EQ(KeySymOfXKeySym(0x01000416), 0x416) << "Unicode keysym: its character";
    EXPECT_EQ(KeySymOfXKeySym(0x0100F00D), 0) << "would read as Enter";
    EXPECT_EQ(KeySymOfXKeySym(NoSymbol), 0);
    EXPECT_EQ(KeySymOfXKeySym(XK_dead_acute), 0);
    EXPECT_EQ(KeySymOfXKeySym(0x7F), 0);
}

} // namespace
