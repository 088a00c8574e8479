// The framework logo drawn at the bottom-right of the default background: a 56 x 56
// RGBA PNG. Made by tools/make_vorn_logo.py.
#pragma once

extern const unsigned char g_aVornLogoImage[];
extern const unsigned int g_uVornLogoImageSize;
