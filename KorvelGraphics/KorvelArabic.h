// Arabic shaping: each Arabic letter becomes its contextual presentation form
// (isolated, initial, medial or final) from its neighbours in the text.
#pragma once
#include "KorvelCommon/KorvelString.h"

// 1 for a letter that joins on both sides, else 0.
int isFromTheSet1(unsigned short c);
// 1 for a letter that joins only to the letter before it, else 0.
int isFromTheSet2(unsigned short c);
// The text with its letters in presentation forms; the order of the units is kept
// (no reversal for display) and only the input's units decide each form.
CKorvelString Arabize(CKorvelString text);
