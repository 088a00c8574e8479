// The framework logo: a 56 x 56 RGBA PNG carried inside the program
// (made by tools/assetgen/embedded.py).
#pragma once

extern const unsigned char g_aVornLogoImage[];
extern const unsigned int g_uVornLogoImageSize;
