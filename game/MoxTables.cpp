// The tables' contents. Credits rows: our own lines in the roll's fixed layout.
#include "game/MoxTables.h"

const CKorvelString res_main_pack_filenames[MAIN_PACK_COUNT] = {
    CKorvelString("dataEffects.kmp"),      CKorvelString("dataPlayers.kmp"),
    CKorvelString("dataScenes.kmp"),       CKorvelString("dataTextures.kmp"),
    CKorvelString("dataUI.kmp"),           CKorvelString("dataAudio.kmp"),
    CKorvelString("dataAmbientAudio.kmp"), CKorvelString("dataAmbientAudio2.kmp"),
    CKorvelString("dataIntro.kmp"),
};

const sResourceEntry res_flomp_scenes[FLOMP_SCENE_COUNT] = {
    {CKorvelString("Balconies.scn"), 0},
    {CKorvelString("Bridge.scn"), 0},
    {CKorvelString("Castle.scn"), 0},
    {CKorvelString("Cave_In.scn"), 0},
    {CKorvelString("Farm.scn"), 0},
    {CKorvelString("Golden_Stairs.scn"), 0},
    {CKorvelString("Graveyard.scn"), 0},
    {CKorvelString("Henge.scn"), 0},
    {CKorvelString("Jungle.scn"), 0},
    {CKorvelString("Land_Ahoy.scn"), 0},
    {CKorvelString("Medieval_Madness.scn"), 0},
    {CKorvelString("Old_Mill.scn"), 0},
    {CKorvelString("Paradise.scn"), 0},
    {CKorvelString("Piece_of_Cake.scn"), 0},
    {CKorvelString("Pillars.scn"), 0},
    {CKorvelString("Polis.scn"), 0},
    {CKorvelString("Siege.scn"), 0},
    {CKorvelString("Vorn_War.scn"), 0},
    {CKorvelString("Tower.scn"), 0},
    {CKorvelString("Underground.scn"), 0},
};

const sResourceEntry res_flomp_training_scenes[TRAINING_SCENE_COUNT] = {
    {CKorvelString("01.scn"), 0}, {CKorvelString("02.scn"), 0}, {CKorvelString("03.scn"), 0},
    {CKorvelString("04.scn"), 0}, {CKorvelString("05.scn"), 0}, {CKorvelString("06.scn"), 0},
    {CKorvelString("07.scn"), 0}, {CKorvelString("08.scn"), 0}, {CKorvelString("09.scn"), 0},
    {CKorvelString("10.scn"), 0}, {CKorvelString("11.scn"), 0}, {CKorvelString("12.scn"), 0},
    {CKorvelString("13.scn"), 0}, {CKorvelString("14.scn"), 0}, {CKorvelString("15.scn"), 0},
};

const sResourceEntry GAME_FONTS[GAME_FONT_COUNT] = {
    {CKorvelString("foo.fnt"), 0},
};

const sResourceEntry GAME_SOUNDS[GAME_SOUND_COUNT] = {
    {CKorvelString("buttondown.wav"), 0},
    {CKorvelString("buttonup.wav"), 1},
    {CKorvelString("ammunta01.wav"), 2},
    {CKorvelString("ammus_pomppu01.wav"), 3},
    {CKorvelString("ammus_veteen01.wav"), 4},
    {CKorvelString("explosio01.wav"), 5},
    {CKorvelString("hyppy01.wav"), 6},
    {CKorvelString("pelaaja_pomppu01.wav"), 7},
    {CKorvelString("pelaaja_veteen01.wav"), 8},
    {CKorvelString("venytys01.wav"), 9},
    {CKorvelString("flompwhip.wav"), 10},
    {CKorvelString("startgame.wav"), 11},
    {CKorvelString("wingame.wav"), 12},
    {CKorvelString("losegame.wav"), 13},
    {CKorvelString("tiegame.wav"), 14},
    {CKorvelString("timeralert.wav"), 15},
    {CKorvelString("timerend.wav"), 16},
    {CKorvelString("ambient_common_00.wav"), 17},
    {CKorvelString("ambient_common_01.wav"), 18},
    {CKorvelString("ambient_common_02.wav"), 19},
    {CKorvelString("ambient_rare_00.wav"), 20},
    {CKorvelString("ambient_rare_01.wav"), 21},
    {CKorvelString("ambient_rare_02.wav"), 22},
    {CKorvelString("ambient_loop_00.wav"), 23},
};

const sResourceEntry GAME_SONGS[GAME_SONG_COUNT] = {
    {CKorvelString("FlompTheme.mp3"), 0},
    {CKorvelString("FlompIntro.mp3"), 1},
};

const sResourceEntry GAME_TEXTURES[GAME_TEXTURE_COUNT] = {
    {CKorvelString("flomptitleflomp.jpg"), 0},
    {CKorvelString("flomploader.png"), 1},
    {CKorvelString("background_battle.png"), 2},
    {CKorvelString("background_unique.png"), 3},
    {CKorvelString("player0_animations.png"), 4},
    {CKorvelString("player1_animations.png"), 5},
    {CKorvelString("player_background.png"), 6},
    {CKorvelString("muteoff.png"), 7},
    {CKorvelString("muteon.png"), 8},
    {CKorvelString("player0_stretch.png"), 9},
    {CKorvelString("player1_stretch.png"), 10},
    {CKorvelString("exits.png"), 11},
    {CKorvelString("edit.png"), 12},
    {CKorvelString("help.png"), 13},
    {CKorvelString("helper.png"), 14},
    {CKorvelString("training.png"), 15},
    {CKorvelString("fb_button.png"), 16},
    {CKorvelString("projectile_red.png"), 17},
    {CKorvelString("projectile_blue.png"), 18},
    {CKorvelString("projectile_sticky.png"), 19},
    {CKorvelString("projectile_snowball.png"), 20},
    {CKorvelString("bomb_snow.png"), 21},
    {CKorvelString("bomb_cluster.png"), 22},
    {CKorvelString("bomb_none.png"), 23},
    {CKorvelString("explosion.png"), 24},
    {CKorvelString("confirmation_yes.png"), 25},
    {CKorvelString("confirmation_no.png"), 26},
    {CKorvelString("timer_flomp.png"), 27},
    {CKorvelString("blockstyle01.png"), 28},
    {CKorvelString("blockstyle02.png"), 29},
    {CKorvelString("blockstyle03.png"), 30},
    {CKorvelString("blockstyle04.png"), 31},
    {CKorvelString("Texture_Paper01.png"), 32},
    {CKorvelString("Texture_Paper02.png"), 33},
    {CKorvelString("Texture_Paper03.png"), 34},
    {CKorvelString("Texture_Metal01.png"), 35},
    {CKorvelString("Texture_Metal02.png"), 36},
    {CKorvelString("Texture_Metal03.png"), 37},
    {CKorvelString("Texture_Ice01.png"), 38},
    {CKorvelString("Texture_Ice02.png"), 39},
    {CKorvelString("Texture_Ice03.png"), 40},
    {CKorvelString("Texture_Bounce01.png"), 41},
    {CKorvelString("Texture_Bounce02.png"), 42},
    {CKorvelString("Texture_Bounce03.png"), 43},
    {CKorvelString("water_base.png"), 44},
    {CKorvelString("waves.png"), 45},
    {CKorvelString("particle_star.png"), 46},
    {CKorvelString("particle_dot.png"), 47},
    {CKorvelString("shadow.png"), 48},
    {CKorvelString("jump_00.png"), 49},
    {CKorvelString("bomb_00.png"), 50},
    {CKorvelString("whip_00.png"), 51},
    {CKorvelString("jump_01.png"), 52},
    {CKorvelString("bomb_01.png"), 53},
    {CKorvelString("whip_01.png"), 54},
    {CKorvelString("bomb_sticky.png"), 55},
    {CKorvelString("intro.png"), 56},
    {CKorvelString("credits.png"), 57},
    {CKorvelString("volumebackgroundz.png"), 58},
    {CKorvelString("volumezlider.png"), 59},
    {CKorvelString("nextround.png"), 60},
    {CKorvelString("marker.png"), 61},
    {CKorvelString("chatbubble.png"), 62},
    {CKorvelString("chatbubble_pointer.png"), 63},
    {CKorvelString("chatbutton.png"), 64},
    {CKorvelString("training_scene.png"), 65},
    {CKorvelString("training_restart.png"), 66},
    {CKorvelString("zoom_bar.png"), 67},
    {CKorvelString("zoom_indicator.png"), 68},
};

const sResourceEntry INTRO_TEXTURES[INTRO_TEXTURE_COUNT] = {
    {CKorvelString("Kuva01.jpg"), 0}, {CKorvelString("Kuva02.jpg"), 0}, {CKorvelString("Kuva03.jpg"), 0},
    {CKorvelString("Kuva04.jpg"), 0}, {CKorvelString("Kuva05.jpg"), 0}, {CKorvelString("Kuva06.jpg"), 0},
    {CKorvelString("Kuva07.jpg"), 0}, {CKorvelString("Kuva08.jpg"), 0}, {CKorvelString("Kuva09.jpg"), 0},
    {CKorvelString("Kuva10.jpg"), 0}, {CKorvelString("Kuva11.jpg"), 0},
};

const sResourceEntry CREDITS[CREDITS_COUNT] = {
    {CKorvelString("(c) The Quorvalin team. All rights reserved."), 0},
    {CKorvelString(""), 0},
    {CKorvelString("- Credits -"), 10},
    {CKorvelString(""), 0},
    {CKorvelString("Executive Producers"), 20},
    {CKorvelString("Producer One"), 20},
    {CKorvelString("Producer Two"), 20},
    {CKorvelString(""), 0},
    {CKorvelString("Project Manager"), 30},
    {CKorvelString("Project Lead"), 30},
    {CKorvelString(""), 0},
    {CKorvelString("Original Idea & Game Design"), 40},
    {CKorvelString("Designer One"), 40},
    {CKorvelString("Designer Two"), 40},
    {CKorvelString("Designer Three"), 40},
    {CKorvelString(""), 0},
    {CKorvelString("Graphics"), 50},
    {CKorvelString("Artist One"), 50},
    {CKorvelString(""), 0},
    {CKorvelString("Technology Director"), 60},
    {CKorvelString("Technology Lead"), 60},
    {CKorvelString(""), 0},
    {CKorvelString("Coding"), 70},
    {CKorvelString("Programmer One"), 70},
    {CKorvelString(""), 0},
    {CKorvelString("Additional Coding"), 80},
    {CKorvelString("Programmer Two"), 80},
    {CKorvelString(""), 0},
    {CKorvelString("Level Design"), 90},
    {CKorvelString("Scene Builder One"), 90},
    {CKorvelString("Scene Builder Two"), 90},
    {CKorvelString("Scene Builder Three"), 90},
    {CKorvelString(""), 0},
    {CKorvelString("Sound Design by the Sound Workshop"), 100},
    {CKorvelString("Sound Maker One"), 100},
    {CKorvelString("Sound Maker Two"), 100},
    {CKorvelString(""), 0},
    {CKorvelString("Theme Song"), 110},
    {CKorvelString("Composer One"), 110},
    {CKorvelString(""), 0},
    {CKorvelString("Testing"), 120},
    {CKorvelString("Tester One"), 120},
    {CKorvelString("Tester Two"), 120},
    {CKorvelString("Tester Three"), 120},
    {CKorvelString("Tester Four"), 120},
    {CKorvelString("Tester Five"), 120},
    {CKorvelString("Tester Six"), 120},
    {CKorvelString("Tester Seven"), 120},
    {CKorvelString(""), 0},
    {CKorvelString("Special Thanks"), 130},
    {CKorvelString("Everyone who played"), 130},
    {CKorvelString("Our families"), 130},
    {CKorvelString("Our friends"), 130},
    {CKorvelString(""), 0},
    {CKorvelString("***"), 0},
    {CKorvelString(""), 0},
    {CKorvelString("The Online Platform Team"), 140},
    {CKorvelString(""), 0},
    {CKorvelString("Executive Producers"), 150},
    {CKorvelString("Platform Producer One"), 150},
    {CKorvelString("Platform Producer Two"), 150},
    {CKorvelString(""), 0},
    {CKorvelString("Technology"), 170},
    {CKorvelString("Platform Engineer One"), 170},
    {CKorvelString("Platform Engineer Two"), 170},
    {CKorvelString(""), 0},
    {CKorvelString("Design"), 180},
    {CKorvelString("Platform Designer One"), 180},
    {CKorvelString("Platform Designer Two"), 180},
    {CKorvelString("Platform Designer Three"), 180},
    {CKorvelString("Platform Designer Four"), 180},
    {CKorvelString(""), 0},
    {CKorvelString("Graphics"), 190},
    {CKorvelString("Platform Artist One"), 190},
    {CKorvelString(""), 0},
    {CKorvelString("Coders"), 200},
    {CKorvelString("Platform Coder One"), 200},
    {CKorvelString("Platform Coder Two"), 200},
    {CKorvelString("Platform Coder Three"), 200},
    {CKorvelString("Platform Coder Four"), 200},
    {CKorvelString("Platform Coder Five"), 200},
    {CKorvelString(""), 0},
    {CKorvelString("Server"), 210},
    {CKorvelString("Server Engineer One"), 210},
    {CKorvelString("Server Engineer Two"), 210},
    {CKorvelString(""), 0},
    {CKorvelString("Build Manager"), 215},
    {CKorvelString("Build Engineer One"), 215},
    {CKorvelString(""), 0},
    {CKorvelString("Web team"), 220},
    {CKorvelString("Web Developer One"), 220},
    {CKorvelString("Web Developer Two"), 220},
    {CKorvelString(""), 0},
    {CKorvelString("Pr & Marketing"), 230},
    {CKorvelString("Community Lead One"), 230},
    {CKorvelString("Community Lead Two"), 230},
    {CKorvelString("Community Lead Three"), 230},
    {CKorvelString(""), 0},
    {CKorvelString("Test lead"), 240},
    {CKorvelString("Test Lead One"), 240},
    {CKorvelString(""), 0},
    {CKorvelString("Testers:"), 250},
    {CKorvelString("The whole team, their families and friends"), 250},
    {CKorvelString(""), 0},
    {CKorvelString("Thank you all!"), 260},
    {CKorvelString(""), 0},
    {CKorvelString("Developed by the Quorvalin team"), 666},
    {CKorvelString("Published by the Quorvalin team"), 666},
    {CKorvelString("Quorvalin and the flomps are trademarks"), 666},
    {CKorvelString("of the Quorvalin team."), 666},
    {CKorvelString("All Rights Reserved"), 666},
    {CKorvelString("Made with care for everyone who plays"), 666},
    {CKorvelString("www.example.org"), 666},
};

const CKorvelVector2 BlockShapes[BLOCK_SHAPE_COUNT] = {
    CKorvelVector2(0.05f, 0.05f), // 0
    CKorvelVector2(0.1f, 0.1f),   // 1
    CKorvelVector2(0.15f, 0.15f), // 2
    CKorvelVector2(0.2f, 0.2f),   // 3
    CKorvelVector2(0.25f, 0.25f), // 4
    CKorvelVector2(0.3f, 0.3f),   // 5
    CKorvelVector2(0.1f, 0.05f),  // 6
    CKorvelVector2(0.15f, 0.05f), // 7
    CKorvelVector2(0.2f, 0.05f),  // 8
    CKorvelVector2(0.25f, 0.05f), // 9
    CKorvelVector2(0.3f, 0.05f),  // 10
    CKorvelVector2(0.05f, 0.1f),  // 11
    CKorvelVector2(0.05f, 0.15f), // 12
    CKorvelVector2(0.05f, 0.2f),  // 13
    CKorvelVector2(0.05f, 0.25f), // 14
    CKorvelVector2(0.05f, 0.3f),  // 15
    CKorvelVector2(0.1f, 0.15f),  // 16
    CKorvelVector2(0.1f, 0.2f),   // 17
    CKorvelVector2(0.1f, 0.25f),  // 18
    CKorvelVector2(0.1f, 0.3f),   // 19
    CKorvelVector2(0.2f, 0.1f),   // 20
    CKorvelVector2(0.2f, 0.15f),  // 21
    CKorvelVector2(0.2f, 0.25f),  // 22
    CKorvelVector2(0.2f, 0.3f),   // 23
    CKorvelVector2(0.3f, 0.1f),   // 24
    CKorvelVector2(0.3f, 0.15f),  // 25
    CKorvelVector2(0.3f, 0.2f),   // 26
    CKorvelVector2(0.3f, 0.25f),  // 27
    CKorvelVector2(0.15f, 0.1f),  // 28
    CKorvelVector2(0.2f, 0.1f),   // 29
    CKorvelVector2(0.25f, 0.1f),  // 30
    CKorvelVector2(0.3f, 0.1f),   // 31
    CKorvelVector2(0.1f, 0.2f),   // 32
    CKorvelVector2(0.15f, 0.2f),  // 33
    CKorvelVector2(0.25f, 0.2f),  // 34
    CKorvelVector2(0.3f, 0.2f),   // 35
    CKorvelVector2(0.1f, 0.3f),   // 36
    CKorvelVector2(0.15f, 0.3f),  // 37
    CKorvelVector2(0.2f, 0.3f),   // 38
    CKorvelVector2(0.25f, 0.3f),  // 39
};
