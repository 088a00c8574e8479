// The media packs the shell needs to start, written into a test's "app/native/" folder:
// "vornsounds.kmp", "vornlayouts.kmp", "vornfonts_240.kmp" (with "main-b.fnt"),
// "vornlobby_240.kmp", "vornlanguage_en.kmp" and "vornintro.kmp" (twelve one-colour
// JPEG frames and the welcome sound).
#pragma once

#include <string>
#include <vector>

#include "support/TestPack.h"

// Colour (0xRRGGBB) of splash frame i (0..11).
unsigned int TestIntroFrameColour(int iFrame);

// Language pack bytes: the headers, then texts 0.. in order.
std::string TestLanguagePackBytes(const std::string& strName, const std::string& strCode,
                                  const std::vector<std::string>& aTexts);
// The framework's English texts of the start; text 3 is the no-network toast.
std::vector<std::string> TestFrameworkTexts();
extern const char* const TEST_NO_NETWORK_TEXT;

// "vornintro.kmp" with frames of the given size; bWithSound adds "vl-welcome.wav".
TestPackItems TestIntroPackItems(int iWidth, int iHeight, bool bWithSound = true);

// Writes every pack the start needs into strAppFolder (which must exist); the splash pack
// only when bIntro. False when a file cannot be written.
bool WriteShellStartupPacks(const std::string& strAppFolder, int iWidth, int iHeight, bool bIntro = true);

// "vornlayouts.kmp" holding a "menu_root.xml" with the lobby's required widgets, all empty,
// and a shown in-game dialog: while it shows, the game draws and takes the presses.
bool WriteLobbyStubLayout(const std::string& strAppFolder);
