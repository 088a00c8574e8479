// The finger pointer drawn over replayed usability recordings: a PNG whose tip is
// at (width / 2, height / 4). Made by tools/make_finger_image.py.
#pragma once

extern const unsigned char g_aKorvelFingerImage[];
extern const unsigned int g_uKorvelFingerImageSize;
