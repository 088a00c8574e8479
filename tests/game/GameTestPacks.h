// The game's media packs for tests, written into an "app/native/" folder: every picture
// of the texture table as a small power-of-two image, every sound as a short WAV, the
// font "foo.fnt" with its page, and "quorvalinlanguage_en.kmp". Header only.
#pragma once

#include <string>
#include <vector>

#include "game/MoxTables.h"
#include "support/TestFont.h"
#include "support/TestMedia.h"
#include "support/TestPack.h"
#include "support/TestShellPacks.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"

inline std::string GameTestBytes(const std::vector<uint8_t>& aBytes)
{
    return std::string(aBytes.begin(), aBytes.end());
}

// A 4 x 4 picture of one colour (0xRRGGBB, opaque); JPEG for names ending ".jpg".
inline std::string GameTestPicture(const std::string& strName, unsigned int uRgb)
{
    const uint8_t r = uint8_t(uRgb >> 16), g = uint8_t(uRgb >> 8), b = uint8_t(uRgb);
    if (strName.size() > 4 && strName.compare(strName.size() - 4, 4, ".jpg") == 0)
    {
        std::vector<uint8_t> aRGB;
        for (int i = 0; i < 16; ++i)
            aRGB.insert(aRGB.end(), {r, g, b});
        return GameTestBytes(EncodeTestJpeg(4, 4, aRGB));
    }
    std::vector<uint8_t> aRGBA;
    for (int i = 0; i < 16; ++i)
        aRGBA.insert(aRGBA.end(), {r, g, b, 255});
    CTestTempDir dir;
    WriteTestPng(dir.File("t.png"), 4, 4, aRGBA);
    return GameTestBytes(ReadTestFile(dir.File("t.png")));
}

// Half a second of a mono square wave at 22050 Hz.
inline std::string GameTestWav()
{
    std::vector<int16_t> aSamples(11025);
    for (size_t u = 0; u < aSamples.size(); ++u)
        aSamples[u] = int16_t(u % 50 < 25 ? 5000 : -5000);
    CTestTempDir dir;
    WriteTestWav(dir.File("s.wav"), 1, 22050, 16, aSamples);
    return GameTestBytes(ReadTestFile(dir.File("s.wav")));
}

// "foo.fnt": glyphs 'A' to 'Z' and space, each a filled 8 x 8 cell advancing 10 pixels,
// line height 12.
inline TestPackItems GameTestFontItems()
{
    std::vector<sTestGlyph> glyphs = {{' ', 0, 0, 0, 0, 0, 0, 10, 0}};
    for (int c = 'A'; c <= 'Z'; ++c)
        glyphs.push_back({c, 0, 0, 8, 8, 0, 0, 10, 0});
    const std::string strPage =
        GameTestBytes(TestPagePng(16, 16, [](int x, int y) { return x < 8 && y < 8 ? 255 : 0; }));
    return {{"/foo.fnt", TestFontXml(12, glyphs, 1, "foo")}, {"/foo_0.png", strPage}};
}

// The colour texture i is drawn in.
inline unsigned int GameTestTextureColour(int i)
{
    return 0x102030u + unsigned(i) * 0x030201u;
}

// Textures in "dataTextures.kmp", sounds in "dataAudio.kmp", the font in "dataUI.kmp".
inline bool WriteGameTestPacks(const std::string& strAppFolder)
{
    const std::string strDir = strAppFolder + "/";
    bool bOk = true;
    {
        TestPackItems textures;
        for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
        {
            const std::string strName = Narrow(GAME_TEXTURES[i].name);
            textures.push_back({"/" + strName, GameTestPicture(strName, GameTestTextureColour(i))});
        }
        bOk = WriteTestFile(strDir + "dataTextures.kmp", TestPackBytes(textures)) && bOk;
    }
    {
        const std::string strWav = GameTestWav();
        TestPackItems sounds;
        for (int i = 0; i < GAME_SOUND_COUNT; ++i)
            sounds.push_back({"/" + Narrow(GAME_SOUNDS[i].name), strWav});
        bOk = WriteTestFile(strDir + "dataAudio.kmp", TestPackBytes(sounds)) && bOk;
    }
    bOk = WriteTestFile(strDir + "dataUI.kmp", TestPackBytes(GameTestFontItems())) && bOk;
    bOk = WriteTestFile(strDir + "quorvalinlanguage_en.kmp",
                        TestLanguagePackBytes("English", "en", {"Get ready", "your turn", "their turn"})) &&
          bOk;
    return bOk;
}
