// The game's fixed vocabulary: media packs, scene files, the font, sounds, music,
// pictures, intro pictures, the credits roll and the block shapes. Each entry's index is
// the identifier the rest of the game uses. Read-only, built when the program starts.
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelString.h"

struct sResourceEntry
{
    CKorvelString name;
    int id; // own index in the sound, texture and song tables; the row's tag in the credits
};

enum GAME_SOUND : int
{
    SOUND_BUTTON_DOWN = 0,
    SOUND_BUTTON_UP = 1,
    SOUND_LAUNCH = 2,
    SOUND_PROJECTILE_BOUNCE = 3,
    SOUND_PROJECTILE_WATER = 4,
    SOUND_EXPLOSION = 5,
    SOUND_JUMP = 6,
    SOUND_PLAYER_BOUNCE = 7,
    SOUND_PLAYER_WATER = 8,
    SOUND_STRETCH = 9,
    SOUND_WHIP = 10,
    SOUND_START_GAME = 11,
    SOUND_WIN_GAME = 12,
    SOUND_LOSE_GAME = 13,
    SOUND_TIE_GAME = 14,
    SOUND_TIMER_ALERT = 15,
    SOUND_TIMER_END = 16,
    SOUND_AMBIENT_COMMON_0 = 17,
    SOUND_AMBIENT_RARE_0 = 20,
    SOUND_AMBIENT_LOOP = 23,
    GAME_SOUND_COUNT = 24
};

enum GAME_SONG : int
{
    SONG_THEME = 0,
    SONG_INTRO = 1,
    GAME_SONG_COUNT = 2
};

enum GAME_FONT : int
{
    FONT_MAIN = 0,
    GAME_FONT_COUNT = 1
};

// Indices of GAME_TEXTURES named by more than one user.
enum : int
{
    TEXTURE_TITLE = 0,
    TEXTURE_LOADER = 1,
    TEXTURE_BACKGROUND_BATTLE = 2,
    TEXTURE_BACKGROUND_UNIQUE = 3,
    TEXTURE_MUTE_OFF = 7,
    TEXTURE_MUTE_ON = 8,
    TEXTURE_WATER_BASE = 44,
    TEXTURE_WAVES = 45,
    GAME_TEXTURE_COUNT = 69
};

enum : int
{
    MAIN_PACK_COUNT = 9,
    FLOMP_SCENE_COUNT = 20,
    TRAINING_SCENE_COUNT = 15,
    INTRO_TEXTURE_COUNT = 11,
    CREDITS_COUNT = 113,
    BLOCK_SHAPE_COUNT = 40,
    CREDITS_TAG_CLOSING = 666 // the maker's closing lines, drawn in another text style
};

extern const CKorvelString res_main_pack_filenames[MAIN_PACK_COUNT];
extern const sResourceEntry res_flomp_scenes[FLOMP_SCENE_COUNT];
extern const sResourceEntry res_flomp_training_scenes[TRAINING_SCENE_COUNT];
extern const sResourceEntry GAME_FONTS[GAME_FONT_COUNT];
extern const sResourceEntry GAME_SOUNDS[GAME_SOUND_COUNT];
extern const sResourceEntry GAME_SONGS[GAME_SONG_COUNT];
extern const sResourceEntry GAME_TEXTURES[GAME_TEXTURE_COUNT];
extern const sResourceEntry INTRO_TEXTURES[INTRO_TEXTURE_COUNT];
extern const sResourceEntry CREDITS[CREDITS_COUNT];
// Half sizes (width, height) in world units of a block of each shape code.
extern const CKorvelVector2 BlockShapes[BLOCK_SHAPE_COUNT];
