// X11 keysyms to platform key symbols (the buttons are tested with real X input).
#include <gtest/gtest.h>

#include "Platform/X11/X11Input.h"
#include "PlatformScreen.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace
{

using namespace plat;

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
