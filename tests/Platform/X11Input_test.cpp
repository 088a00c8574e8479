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
    // X keysym, platform symbol; 0 for keys the platform has no symbol for.
    const unsigned long cases[][2] = {{XK_a, 'a'},
                                      {XK_A, 'A'},
                                      {XK_space, 0x20},
                                      {XK_udiaeresis, 0xFC},
                                      {XK_BackSpace, 0xF008},
                                      {XK_KP_Enter, 0xF08D},
                                      {XK_ISO_Left_Tab, 0xF009}, // shift+Tab: the Tab key
                                      {XK_F1, 0xF0BE},
                                      {XK_Shift_L, 0xF0E1},
                                      {XK_Delete, 0xF0FF},
                                      {0x01000416, 0x416}, // a Unicode keysym gives its character
                                      {0x0100F00D, 0},     // would read as Enter
                                      {NoSymbol, 0},
                                      {XK_dead_acute, 0},
                                      {0x7F, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(KeySymOfXKeySym(c[0]), static_cast<int>(c[1])) << std::hex << c[0];
}

} // namespace
