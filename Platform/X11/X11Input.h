// Translation of X11 input values into the platform's pointer masks and key symbols.
#pragma once

namespace plat
{

// The mask bit of an X button (1 left, 2 middle, 3 right); 0 for the wheel and the rest.
int ButtonMaskOfXButton(unsigned int uButton);
// The platform mask of the buttons held in an X event state.
int ButtonMaskOfXState(unsigned int uState);
// The mask after a press or release: X reports the state before the event.
int ButtonMaskAfter(unsigned int uState, unsigned int uButton, bool bPress);
// The platform key symbol of an X keysym: Latin-1 unchanged, 0xFFxx as 0xF0xx,
// Unicode keysyms as their character; 0 for keysyms it has no symbol for. With Control
// held (uState, an X event state), A is select-all: the control code 0x01.
int KeySymOfXKeySym(unsigned long uKeySym, unsigned int uState = 0);

} // namespace plat
