// The game's tables: the entries other parts of the game name by index.
#include "game/MoxTables.h"

#include <gtest/gtest.h>

#include <set>

#include "support/TestText.h"

namespace
{

TEST(MoxTables, EntriesNamedByIndex)
{
    struct sCASE
    {
        const sResourceEntry& entry;
        const char* pName;
    };
    const sCASE cases[] = {
        {res_flomp_scenes[0], "Balconies.scn"},
        {res_flomp_scenes[17], "Vorn_War.scn"},
        {res_flomp_scenes[19], "Underground.scn"},
        {res_flomp_training_scenes[0], "01.scn"},
        {res_flomp_training_scenes[14], "15.scn"},
        {INTRO_TEXTURES[0], "Kuva01.jpg"},
        {INTRO_TEXTURES[10], "Kuva11.jpg"},
        {GAME_FONTS[FONT_MAIN], "foo.fnt"},
        {GAME_SOUNDS[SOUND_AMBIENT_LOOP], "ambient_loop_00.wav"},
        {GAME_SOUNDS[SOUND_TIMER_ALERT], "timeralert.wav"},
        {GAME_SONGS[SONG_THEME], "FlompTheme.mp3"},
        {GAME_SONGS[SONG_INTRO], "FlompIntro.mp3"},
        {GAME_TEXTURES[TEXTURE_TITLE], "flomptitleflomp.jpg"},
        {GAME_TEXTURES[TEXTURE_MUTE_OFF], "muteoff.png"},
        {GAME_TEXTURES[TEXTURE_MUTE_ON], "muteon.png"},
        {GAME_TEXTURES[TEXTURE_WATER_BASE], "water_base.png"},
        {GAME_TEXTURES[TEXTURE_WAVES], "waves.png"},
        {GAME_TEXTURES[68], "zoom_indicator.png"},
    };
    for (const sCASE& c : cases)
        EXPECT_EQ(Narrow(c.entry.name), c.pName);
    EXPECT_EQ(Narrow(res_main_pack_filenames[0]), "dataEffects.kmp");
    EXPECT_EQ(Narrow(res_main_pack_filenames[8]), "dataIntro.kmp");
}

TEST(MoxTables, IdsAreOwnIndicesAndNamesAreUnique)
{
    std::set<std::string> names;
    for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
    {
        EXPECT_EQ(GAME_TEXTURES[i].id, i);
        EXPECT_TRUE(names.insert(Narrow(GAME_TEXTURES[i].name)).second) << i;
    }
    for (int i = 0; i < GAME_SOUND_COUNT; ++i)
    {
        EXPECT_EQ(GAME_SOUNDS[i].id, i);
        EXPECT_TRUE(names.insert(Narrow(GAME_SOUNDS[i].name)).second) << i;
    }
    for (int i = 0; i < FLOMP_SCENE_COUNT; ++i)
        EXPECT_TRUE(names.insert(Narrow(res_flomp_scenes[i].name)).second) << i;
}

TEST(MoxTables, BlockShapesAreHalfSizes)
{
    struct sCASE
    {
        int iCode;
        float fX, fY;
    };
    for (const sCASE& c : {sCASE{0, 0.05f, 0.05f}, sCASE{10, 0.3f, 0.05f}, sCASE{20, 0.2f, 0.1f},
                           sCASE{29, 0.2f, 0.1f}, sCASE{39, 0.25f, 0.3f}})
    {
        EXPECT_EQ(BlockShapes[c.iCode].x, c.fX) << c.iCode;
        EXPECT_EQ(BlockShapes[c.iCode].y, c.fY) << c.iCode;
    }
}

TEST(MoxTables, CreditsKeepTheirLayout)
{
    int iEmpty = 0;
    for (int i = 0; i < CREDITS_COUNT; ++i)
    {
        const bool bEmpty = CREDITS[i].name.GetLength() == 0;
        if (bEmpty)
        {
            ++iEmpty;
            EXPECT_EQ(CREDITS[i].id, 0) << i;
        }
    }
    EXPECT_EQ(iEmpty, 28);
    for (int i = 106; i <= 112; ++i)
    {
        EXPECT_EQ(CREDITS[i].id, CREDITS_TAG_CLOSING) << i;
        EXPECT_GT(CREDITS[i].name.GetLength(), 0) << i;
    }
    struct sCASE
    {
        int iRow, iTag;
        const char* pText;
    };
    const sCASE headings[] = {{2, 10, "- Credits -"},
                              {4, 20, "Executive Producers"},
                              {11, 40, "Original Idea & Game Design"},
                              {54, 0, "***"},
                              {86, 215, "Build Manager"},
                              {101, 250, "Testers:"},
                              {104, 260, "Thank you all!"}};
    for (const sCASE& c : headings)
    {
        EXPECT_EQ(CREDITS[c.iRow].id, c.iTag) << c.iRow;
        EXPECT_EQ(Narrow(CREDITS[c.iRow].name), c.pText);
    }
    // A block's names share its heading's tag; no block is tagged 160.
    EXPECT_EQ(CREDITS[47].id, 120);
    for (int i = 0; i < CREDITS_COUNT; ++i)
        EXPECT_NE(CREDITS[i].id, 160);
}

} // namespace
