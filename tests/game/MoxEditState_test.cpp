// The scene editor under the real root state, driven by touches in slots 0, 1 and 2 on the
// root state's pointer entry points, one fixed step at a time on a manual clock: the
// strip, adding, picking, dragging, the regions, helpers, scrolling, zoom, saving and a
// whole frame. At 800 x 600 a grid step is 3 pixels and world (0, 0) is at (400, 300).
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <GLES2/gl2.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "Framework/Shell/VornApplication.h"
#include "game/MoxEditState.h"
#include "game/MoxPhysics.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "support/GlTestContext.h"
#include "support/TestFont.h"
#include "tests/game/GameFrameHash.h"
#include "tests/game/GameTestFixture.h"

namespace
{

using Editor = ::CMoxEditState;

struct sPOINT
{
    int x, y;
};
// Region centres at 800 x 600 (u = 20).
const sPOINT STOP{20, 580}, HIDE{780, 580}, SAVE{400, 580}, DELETE{400, 300}, GRID{780, 300},
    MIRROR{780, 450};
sPOINT Material(int k)
{
    return {40 + 60 * k, 240};
}
sPOINT Texture(int k)
{
    return {40 + 60 * k, 300};
}
sPOINT Layer(int k)
{
    return {40 + 60 * k, 360};
}

std::string ReadFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return in ? ss.str() : std::string();
}

bool Exists(const std::string& strPath)
{
    struct stat st;
    return stat(strPath.c_str(), &st) == 0;
}

class CMoxEditState : public CGameTest
{
protected:
    void SetUp() override
    {
        CGameTest::SetUp();
        // The game's font with what the counters need.
        std::vector<sTestGlyph> glyphs = {
            {' ', 0, 0, 0, 0, 0, 0, 10, 0}, {':', 0, 2, 2, 6, 0, 2, 4, 0}, {'/', 0, 0, 6, 8, 0, 0, 8, 0}};
        for (int c = '0'; c <= '9'; ++c)
            glyphs.push_back({c, 0, 0, 8, 8, 0, 0, 10, 0});
        for (int c = 'A'; c <= 'z'; ++c)
            glyphs.push_back({c, 0, 0, 8, 8, 0, 0, 10, 0});
        TestPackItems font = GameTestFontItems();
        font[0].second = TestFontXml(12, glyphs, 1, "foo");
        ASSERT_TRUE(WriteTestFile(m_App.Dir() + "/app/native/dataUI.kmp", TestPackBytes(font)));
        ASSERT_NO_FATAL_FAILURE(StartGame());
        m_pGame->GetContext().m_ScreenTable.m_aCreators[STATE_EDITOR] = [] { return new Editor(); };
        m_pEdit = dynamic_cast<Editor*>(m_pGame->AddState(STATE_EDITOR));
        ASSERT_NE(m_pEdit, nullptr);
    }

    void Down(int iSlot, sPOINT p) { m_pGame->OnMouseButton(iSlot, p.x, p.y); }
    void Move(int iSlot, sPOINT p) { m_pGame->OnMouseDrag(iSlot, p.x, p.y); }
    void Up(int iSlot) { m_pGame->OnMouseButtonUp(iSlot, 0, 0); }
    // Down for one step, then up for one step.
    void Tap(int iSlot, sPOINT p)
    {
        Down(iSlot, p);
        Step();
        Up(iSlot);
        Step();
    }
    // Down, moved to each point a step at a time, then up.
    void Drag(int iSlot, std::vector<sPOINT> aPoints)
    {
        Down(iSlot, aPoints[0]);
        Step();
        for (size_t i = 1; i < aPoints.size(); ++i)
        {
            Move(iSlot, aPoints[i]);
            Step();
        }
        Up(iSlot);
        Step();
    }
    CCamera& Camera() { return m_pGame->GetRenderer()->m_Camera; }
    sPOINT ScreenOf(float x, float y)
    {
        CKorvelVector2 w(x, y), s;
        Camera().WorldToScreen(w, &s);
        return {int(std::lround(s.x)), int(std::lround(s.y))};
    }
    CBlockManager& Blocks() { return *m_pEdit->m_pScene->m_pBlocks; }
    CBlock* AddBlock(int iShape, float x, float y, int iMaterial = 0, int iVariant = 0, int iLayer = 1)
    {
        return Blocks().AddBlock((signed char)iShape, CKorvelVector2(x, y), iMaterial, iVariant, iLayer);
    }
    void FillBlocks(int iCount)
    {
        for (int i = 0; Blocks().GetCount() < iCount; ++i)
        {
            const int iRow = i / 60; // rows of 60 blocks
            ASSERT_NE(AddBlock(0, -3.0f + 0.1f * float(i % 60), 2.0f + 0.1f * float(iRow)), nullptr);
        }
    }
    bool EditorOpen() { return m_pGame->GetState(STATE_EDITOR) == m_pEdit; }

    Editor* m_pEdit = nullptr;
};

TEST_F(CMoxEditState, TheGamesScreenTableMakesTheEditorForItsIdentifier)
{
    CMoxGameContext context;
    ASSERT_TRUE(bool(context.m_ScreenTable.m_aCreators[STATE_EDITOR]));
    std::unique_ptr<CMoxState> pState(context.m_ScreenTable.m_aCreators[STATE_EDITOR]());
    EXPECT_NE(dynamic_cast<Editor*>(pState.get()), nullptr);
}

TEST_F(CMoxEditState, StartsEmptyInEditModeWithEveryTextureAndTheFont)
{
    Editor& e = *m_pEdit;
    ASSERT_NE(e.m_pScene, nullptr);
    EXPECT_EQ(e.m_pScene->m_eMode, SCENE_MODE_EDIT);
    EXPECT_EQ(e.m_pScene->m_pPhysics, m_pGame->GetPhysics());
    EXPECT_EQ(Blocks().GetCount(), 0);
    EXPECT_FLOAT_EQ(Camera().m_fZoom, 0.3f);
    for (int i = 0; i < GAME_TEXTURE_COUNT; ++i)
        EXPECT_NE(m_pGame->GetContext().psrfGameTextures[i], nullptr) << i;
    EXPECT_NE(m_pGame->GetContext().pfntGameFonts, nullptr);
    // Strip entry i: half size 50 centred at (125 + 110 i, 55).
    EXPECT_FLOAT_EQ(e.m_rcBlockMenu[0].left, 75.0f);
    EXPECT_FLOAT_EQ(e.m_rcBlockMenu[39].right, 125.0f + 110.0f * 39.0f + 50.0f);
}

TEST_F(CMoxEditState, StripDraggedTooFarSpringsBackByATenthOfTheOvershoot)
{
    Editor& e = *m_pEdit;
    const float w = 800.0f, fWidth = 100.0f;
    struct sCASE
    {
        const char* name;
        std::vector<sPOINT> drag;
    } cases[] = {{"right", {{125, 55}, {225, 55}, {325, 55}, {425, 55}}},
                 {"left", {{700, 55}, {100, 55}, {-500, 55}, {-1100, 55}, {-1700, 55}, {-2300, 55}}}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.name);
        Drag(0, c.drag);
        for (int i = 0; i < 300; ++i)
        {
            const float fLeft = e.m_rcBlockMenu[0].left, fRight = e.m_rcBlockMenu[39].right;
            float fExpected = 0.0f;
            if (fLeft > fWidth)
                fExpected = (fWidth - fLeft) / 10.0f;
            if (fRight < w - 10.0f)
                fExpected = (w - 10.0f - fRight) / 10.0f;
            if (i == 0)
            {
                ASSERT_NE(fExpected, 0.0f) << "the drag went past an end";
            }
            Step();
            ASSERT_NEAR(e.m_rcBlockMenu[0].left - fLeft, fExpected, 1e-3f) << i;
            ASSERT_NEAR(e.m_rcBlockMenu[39].right - fRight, fExpected, 1e-3f) << i;
        }
        EXPECT_LE(e.m_rcBlockMenu[0].left, fWidth + 0.01f);
        EXPECT_GE(e.m_rcBlockMenu[39].right, w - 10.0f - 0.01f);
    }
}

TEST_F(CMoxEditState, DraggingAnEntryOutAddsItsShapeAtTheFingersGridPointAndSelectsIt)
{
    Editor& e = *m_pEdit;
    Tap(0, Material(2));
    Tap(0, Texture(1));
    Tap(0, Layer(2));
    // Entry 3 is centred at (455, 55); (500, 400) is world (0.833, -0.833).
    Down(0, {455, 55});
    Step();
    EXPECT_EQ(e.m_bStripActive, 1u);
    EXPECT_EQ(e.m_iChosenEntry, 3);
    Move(0, {500, 400});
    Step();
    ASSERT_EQ(Blocks().GetCount(), 1);
    CBlock* pBlock = Blocks().GetAt(0);
    EXPECT_EQ(pBlock->m_uShape, 3);
    EXPECT_EQ(pBlock->m_iMaterial, 2);
    EXPECT_EQ(pBlock->m_uVariant, 1);
    EXPECT_EQ(pBlock->m_uLayer, 2);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 0.825f);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.y, -0.85f);
    EXPECT_EQ(e.m_pSelectedBody, pBlock->m_pBody);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, pBlock->m_uID);
    EXPECT_EQ(e.m_iShape, 3);
    EXPECT_EQ(e.m_bStripActive, 0u);
    // The new block follows the finger until it is lifted.
    Move(0, {530, 400});
    Step();
    Up(0);
    Step();
    EXPECT_EQ(Blocks().GetCount(), 1);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 1.075f);
}

TEST_F(CMoxEditState, ABlockTheManagerRefusesLeavesNothingSelectedAndTheStripActive)
{
    Editor& e = *m_pEdit;
    ASSERT_NO_FATAL_FAILURE(FillBlocks(Editor::EDIT_BLOCK_LIMIT));
    Down(0, {455, 55});
    Step();
    Move(0, {500, 400});
    Step();
    EXPECT_EQ(Blocks().GetCount(), Editor::EDIT_BLOCK_LIMIT);
    EXPECT_EQ(e.m_pSelectedBody, nullptr);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, -1);
    EXPECT_EQ(e.m_bStripActive, 1u);
    Move(0, {520, 420});
    Step();
    EXPECT_EQ(e.m_pSelectedBody, nullptr) << "still refused, nothing dragged";
    Up(0);
    Step();
}

TEST_F(CMoxEditState, BlockCounterChangesColourAt51And101And223)
{
    const struct
    {
        int blocks;
        unsigned int colour;
    } cases[] = {{0, 0xFFFFFFFFu},   {50, 0xFFFFFFFFu},  {51, 0xFFFFFF56u},  {100, 0xFFFFFF56u},
                 {101, 0xFFFF8C26u}, {222, 0xFFFF8C26u}, {223, 0xFFFF0000u}, {400, 0xFFFF0000u}};
    for (const auto& c : cases)
        EXPECT_EQ(Editor::BlockCounterColour(c.blocks), c.colour) << c.blocks;
}

TEST_F(CMoxEditState, PickingTakesTheBlocksLookAndDraggingKeepsTheGrabOffsetOnTheGrid)
{
    Editor& e = *m_pEdit;
    CBlock* pBlock = AddBlock(5, 1.0f, 1.0f, 3, 2, 0);
    ASSERT_NE(pBlock, nullptr);
    // (523, 183) is world (1.025, 0.975): the grab offset is (-0.025, 0.025).
    Down(0, {523, 183});
    Step();
    EXPECT_EQ(e.m_pSelectedBody, pBlock->m_pBody);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, pBlock->m_uID);
    EXPECT_EQ(e.m_iMaterial, 3);
    EXPECT_EQ(e.m_iTexture, 2);
    EXPECT_EQ(e.m_iLayer, 0);
    EXPECT_EQ(e.m_iShape, 5);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 1.0f) << "not moved by the pick";
    // Finger to world (1.2833, 0.8083); plus the offset (1.2583, 0.8333); cells 50 and 33.
    Move(0, {554, 203});
    Step();
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 1.25f);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.y, 0.825f);
    Up(0);
    Step();
    EXPECT_EQ(e.m_pSelectedBody, pBlock->m_pBody) << "stays selected";

    // A touch on nothing clears the selection.
    Tap(0, {700, 500});
    EXPECT_EQ(e.m_pSelectedBody, nullptr);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, -1);
}

TEST_F(CMoxEditState, RegionsRewriteAndDeleteTheSelectedBlock)
{
    Editor& e = *m_pEdit;
    CBlock* pBlock = AddBlock(2, 1.0f, 1.0f);
    CBlock* pOther = AddBlock(2, -1.0f, 1.0f);
    Tap(0, ScreenOf(1.0f, 1.0f));
    ASSERT_EQ(e.m_pSelectedBody, pBlock->m_pBody);
    Tap(0, Material(3));
    Tap(0, Texture(2));
    Tap(0, Layer(0));
    EXPECT_EQ(pBlock->m_iMaterial, 3);
    EXPECT_EQ(pBlock->m_uVariant, 2);
    EXPECT_EQ(pBlock->m_uLayer, 0);
    EXPECT_EQ(pOther->m_iMaterial + pOther->m_uVariant, 0);
    EXPECT_EQ(pOther->m_uLayer, 1);
    const int iOther = pOther->m_uID;
    Tap(0, DELETE);
    ASSERT_EQ(Blocks().GetCount(), 1);
    EXPECT_NE(Blocks().GetBlockByID(iOther), nullptr);
    EXPECT_EQ(e.m_pSelectedBody, nullptr);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, -1);
    Tap(0, DELETE);
    EXPECT_EQ(Blocks().GetCount(), 1) << "nothing selected, nothing deleted";

    // A region acts only when the touch begins in it; one held there does nothing more.
    Down(0, GRID);
    Step();
    Step();
    Step();
    Up(0);
    Step();
    EXPECT_EQ(e.m_bGridLines, 0u);
    Tap(0, GRID);
    EXPECT_EQ(e.m_bGridLines, 1u);
    Tap(0, HIDE);
    EXPECT_EQ(e.m_bCountersHidden, 1u);
}

TEST_F(CMoxEditState, TwinsChangeAndGoTogetherOnlyInMirrorMode)
{
    Editor& e = *m_pEdit;
    struct sCASE
    {
        bool mirror;
        int materialOfTwin;
        int blocksLeft;
    } cases[] = {{false, 0, 1}, {true, 2, 0}};
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.mirror ? "mirror" : "plain");
        CBlock* pBlock = AddBlock(1, 1.0f, 1.0f);
        CBlock* pTwin = AddBlock(1, -1.0f, 1.0f);
        pBlock->m_pTwin = pTwin;
        pTwin->m_pTwin = pBlock;
        if (c.mirror != bool(e.m_bMirror))
            Tap(0, MIRROR);
        ASSERT_EQ(bool(e.m_bMirror), c.mirror);
        Tap(0, ScreenOf(1.0f, 1.0f));
        ASSERT_EQ(e.GetSelectedBlock(), pBlock);
        Tap(0, Material(2));
        Tap(0, Texture(1));
        Tap(0, Layer(2));
        EXPECT_EQ(pTwin->m_iMaterial, c.materialOfTwin);
        EXPECT_EQ(pTwin->m_uVariant, c.mirror ? 1 : 0);
        EXPECT_EQ(pTwin->m_uLayer, c.mirror ? 2 : 1);
        Tap(0, DELETE);
        EXPECT_EQ(Blocks().GetCount(), c.blocksLeft);
        if (!c.mirror)
        {
            EXPECT_EQ(pTwin->m_pTwin, nullptr) << "the link back to the deleted block is gone";
            Blocks().DeleteBlock(pTwin->m_uID);
        }
    }
}

TEST_F(CMoxEditState, TheStopRegionEndsAllEditing)
{
    Editor& e = *m_pEdit;
    CBlock* pBlock = AddBlock(2, 1.0f, 1.0f, 3);
    Tap(0, ScreenOf(1.0f, 1.0f));
    ASSERT_EQ(e.m_iMaterial, 3);
    Tap(0, STOP);
    EXPECT_EQ(e.m_bStopped, 1u);
    EXPECT_EQ(e.m_pSelectedBody, nullptr);
    EXPECT_EQ(e.m_pScene->m_iSelectedBlock, -1);
    EXPECT_EQ(e.m_iMaterial, 0);
    EXPECT_EQ(e.m_iLayer, 1);
    Tap(0, ScreenOf(1.0f, 1.0f));
    Tap(0, GRID);
    Tap(1, {600, 455});
    Tap(2, {600, 200});
    Drag(0, {{455, 55}, {500, 400}});
    EXPECT_EQ(e.m_pSelectedBody, nullptr);
    EXPECT_EQ(e.m_bGridLines, 1u);
    EXPECT_EQ(Blocks().GetCount(), 1);
    EXPECT_EQ(e.m_pScene->m_Helpers.GetCount(), 0);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 1.0f);
    EXPECT_TRUE(EditorOpen()) << "stopping is not leaving";
}

TEST_F(CMoxEditState, AThirdFingersTapTogglesAHelperAtTheNearestGridPoint)
{
    Editor& e = *m_pEdit;
    CKorvelTypedPtrArray<MoxHelper>& helpers = e.m_pScene->m_Helpers;
    // (600, 200) is world (1.667, 0.833): nearest grid point (1.675, 0.825).
    Tap(2, {600, 200});
    ASSERT_EQ(helpers.GetCount(), 1);
    EXPECT_FLOAT_EQ(helpers[0]->m_vCentre.x, 1.675f);
    EXPECT_FLOAT_EQ(helpers[0]->m_vCentre.y, 0.825f);
    EXPECT_FLOAT_EQ(helpers[0]->m_vHalfSize.x, 0.03f);
    Drag(2, {{300, 200}, {310, 200}});
    EXPECT_EQ(helpers.GetCount(), 1) << "a moved finger adds nothing";
    Drag(2, {{601, 201}, {640, 240}});
    EXPECT_EQ(helpers.GetCount(), 1) << "nor removes one";
    Tap(2, {601, 201});
    EXPECT_EQ(helpers.GetCount(), 0);

    // The file counts helpers in one byte.
    for (int i = 0; i < Editor::EDIT_HELPER_LIMIT; ++i)
        e.m_pScene->AddHelper(CKorvelVector2(-3.0f + 0.02f * float(i), 3.0f), CKorvelVector2(0.005f, 0.005f));
    Tap(2, {600, 200});
    EXPECT_EQ(helpers.GetCount(), Editor::EDIT_HELPER_LIMIT);
}

TEST_F(CMoxEditState, ASecondFingersTapWithTheFirstUpAddsTheCurrentBlock)
{
    Editor& e = *m_pEdit;
    Tap(0, Material(1));
    e.m_iShape = 7;
    // (600, 455) is world (1.667, -1.292): cells 66 and -52.
    Tap(1, {600, 455});
    ASSERT_EQ(Blocks().GetCount(), 1);
    CBlock* pBlock = Blocks().GetAt(0);
    EXPECT_EQ(pBlock->m_uShape, 7);
    EXPECT_EQ(pBlock->m_iMaterial, 1);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.x, 1.65f);
    EXPECT_FLOAT_EQ(pBlock->m_pBody->m_vPosition.y, -1.3f);
    EXPECT_EQ(e.m_pSelectedBody, pBlock->m_pBody);
    // With the first finger down the second one pinches instead.
    Down(0, {100, 450});
    Step();
    Down(1, {200, 450});
    Step();
    Up(1);
    Up(0);
    Step();
    EXPECT_EQ(Blocks().GetCount(), 1);
}

TEST_F(CMoxEditState, ScrollFactorFallsWithTheZoomAndNeverBelowAThird)
{
    const struct
    {
        float zoom, factor;
    } cases[] = {{0.1f, 1.0f}, {0.3f, 1.0f}, {0.4f, 1.0f}, {1.0f, 1.0f - 0.6f / 3.6f},
                 {2.2f, 0.5f}, {3.0f, 0.3f}, {10.0f, 0.3f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(Editor::ScrollFactor(c.zoom), c.factor) << c.zoom;
}

TEST_F(CMoxEditState, AMovingTouchOverNothingScrolls)
{
    Editor& e = *m_pEdit;
    const struct
    {
        float zoom, perPixel;
    } cases[] = {{0.3f, 0.01f}, {1.0f, 0.01f * (5.0f / 6.0f) * (5.0f / 6.0f)}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.zoom);
        Camera().m_vPosition.Set(0.0f, 0.0f);
        Camera().m_fZoom = Camera().m_fZoomTarget = c.zoom;
        Down(0, {600, 500});
        Step();
        Move(0, {610, 500});
        Step();
        EXPECT_EQ(e.m_bScrolling, 1u);
        Move(0, {630, 510});
        Step();
        EXPECT_NEAR(Camera().m_vPosition.x, 20.0f * c.perPixel, 1e-5f);
        EXPECT_NEAR(Camera().m_vPosition.y, 10.0f * c.perPixel, 1e-5f);
        Up(0);
        Step();
        EXPECT_EQ(e.m_bScrolling, 0u);
    }
}

TEST_F(CMoxEditState, PinchAndThirdFingerZoomStayWithinLimits)
{
    Editor& e = *m_pEdit;
    Down(0, {300, 450});
    Down(1, {500, 450});
    Step();
    EXPECT_EQ(e.m_bPinch, 1u);
    Move(1, {550, 450});
    Step();
    EXPECT_NEAR(Camera().m_fZoom, 0.45f, 1e-5f);
    EXPECT_NEAR(Camera().m_fZoomTarget, 0.45f, 1e-5f);
    // The third finger moving down 10 pixels takes a tenth off.
    Down(2, {600, 300});
    Step();
    Move(2, {600, 310});
    Step();
    EXPECT_NEAR(Camera().m_fZoom, 0.405f, 1e-5f);
    Up(2);
    Move(1, {2500, 450});
    Step();
    EXPECT_FLOAT_EQ(Camera().m_fZoom, 1.0f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 1.0f);
    Move(1, {301, 450});
    Step();
    EXPECT_FLOAT_EQ(Camera().m_fZoom, 0.3f);
    EXPECT_FLOAT_EQ(Camera().m_fZoomTarget, 0.3f);
    Up(1);
    Up(0);
    Step();
    EXPECT_EQ(Blocks().GetCount(), 0) << "pinching adds nothing";
}

TEST_F(CMoxEditState, SavingWritesTheDataFolderAndTheSceneReloadsInPlayMode)
{
    Editor& e = *m_pEdit;
    ASSERT_NE(AddBlock(3, 1.0f, 0.5f, 1, 2, 0), nullptr);
    ASSERT_NE(AddBlock(12, -0.5f, 0.25f, 3, 0, 2), nullptr);
    Tap(1, {600, 455});
    Tap(2, {600, 200});
    Tap(2, {200, 250});
    ASSERT_EQ(Blocks().GetCount(), 3);
    sMoxSceneFile expected;
    e.m_pScene->BuildSceneFile(expected);

    Tap(0, SAVE);
    EXPECT_FALSE(Exists(m_App.AppFile("newscene.scn")));
    const std::string strBytes = ReadFile(m_App.DataFile("newscene.scn"));
    ASSERT_FALSE(strBytes.empty());
    EXPECT_EQ(ScreenNames(), std::vector<std::string>{"1"}) << "left for the menu";
    m_pEdit = nullptr;

    TestPackItems items = {{"/newscene.scn", strBytes}};
    ASSERT_TRUE(WriteTestFile(m_App.AppFile("dataEditor.kmp"), TestPackBytes(items)));
    m_App.AddPack(CKorvelString("dataEditor.kmp"), 0, 0);
    CMoxPhysics physics;
    physics.Startup(1.0f / 30.0f, 4);
    std::unique_ptr<CMoxScene> pScene(new CMoxScene());
    pScene->Startup(m_pGame.get(), nullptr, &physics, SCENE_MODE_PLAY);
    ASSERT_EQ(pScene->LoadScene(CKorvelString("newscene.scn")), 1);
    ASSERT_EQ(pScene->m_pBlocks->GetCount(), 3);
    sMoxSceneFile loaded;
    pScene->BuildSceneFile(loaded);
    ASSERT_EQ(loaded.aBlocks.size(), expected.aBlocks.size());
    for (size_t i = 0; i < expected.aBlocks.size(); ++i)
    {
        const sMoxSceneBlock &a = expected.aBlocks[i], &b = loaded.aBlocks[i];
        EXPECT_EQ(std::vector<int>({a.x, a.y, a.cShape, a.cMaterial, a.cVariant, a.cLayer}),
                  std::vector<int>({b.x, b.y, b.cShape, b.cMaterial, b.cVariant, b.cLayer}))
            << i;
    }
    ASSERT_EQ(loaded.aHelpers.size(), 2u);
    for (size_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::make_pair(loaded.aHelpers[i].x, loaded.aHelpers[i].y),
                  std::make_pair(expected.aHelpers[i].x, expected.aHelpers[i].y));
    pScene.reset();
}

TEST_F(CMoxEditState, AFailedSaveKeepsTheEditorTheSceneAndTheOlderFile)
{
    Editor& e = *m_pEdit;
    ASSERT_TRUE(WriteTestFile(m_App.DataFile("newscene.scn"), "older bytes"));
    // The temporary file cannot be made where a folder stands (the tests run as root).
    ASSERT_EQ(mkdir(m_App.DataFile("newscene.scn.tmp").c_str(), 0755), 0);
    CBlock* pBlock = AddBlock(3, 1.0f, 0.5f, 1);
    Tap(0, ScreenOf(1.0f, 0.5f));
    ASSERT_EQ(e.m_pSelectedBody, pBlock->m_pBody);
    Tap(0, SAVE);
    EXPECT_TRUE(EditorOpen());
    EXPECT_EQ(e.GetRemove(), 0u);
    EXPECT_EQ(e.m_pSelectedBody, pBlock->m_pBody) << "the work is as it was";
    EXPECT_EQ(e.m_iMaterial, 1);
    EXPECT_EQ(Blocks().GetCount(), 1);
    EXPECT_EQ(ReadFile(m_App.DataFile("newscene.scn")), "older bytes");
}

TEST_F(CMoxEditState, AreaSelectionMovesListedBodiesAndMirroredTwinsByWholeCells)
{
    Editor& e = *m_pEdit;
    // Mid-cell positions: cells (40, 40), (80, 40) and (-40, 40).
    CBlock* pA = AddBlock(1, 1.0125f, 1.0125f);
    CBlock* pB = AddBlock(1, 2.0125f, 1.0125f);
    CBlock* pTwin = AddBlock(1, -0.9875f, 1.0125f);
    pA->m_pTwin = pTwin;
    e.m_bMirror = 1;
    e.SetAreaSelection(1);
    ASSERT_EQ(e.m_bAreaMode, 1u);
    // Dragged from world (0.8, 0.8) to (1.2, 1.2): only A's box meets the area.
    Drag(0, {ScreenOf(0.8f, 0.8f), ScreenOf(1.2f, 1.2f)});
    EXPECT_EQ(e.m_bAreaMode, 0u) << "lifting the finger ends the area";
    ASSERT_EQ(e.m_aSelected.GetCount(), 1);
    EXPECT_EQ(e.m_aSelected[0], pA->m_pBody);
    e.MoveSelected(2, -1);
    EXPECT_FLOAT_EQ(pA->m_pBody->m_vPosition.x, 1.05f);
    EXPECT_FLOAT_EQ(pA->m_pBody->m_vPosition.y, 0.975f);
    EXPECT_FLOAT_EQ(pTwin->m_pBody->m_vPosition.x, -1.05f);
    EXPECT_FLOAT_EQ(pTwin->m_pBody->m_vPosition.y, 0.975f);
    EXPECT_FLOAT_EQ(pB->m_pBody->m_vPosition.x, 2.0125f) << "not listed";
    e.RemoveFromSelected(pA->m_uID);
    EXPECT_EQ(e.m_aSelected.GetCount(), 0);
}

TEST_F(CMoxEditState, GoldenFrame)
{
    Editor& e = *m_pEdit;
    AddBlock(1, -0.5f, 0.1f, 0, 0, 1);
    AddBlock(6, 0.5f, 0.4f, 1, 1, 2);
    AddBlock(3, 1.5f, 0.2f, 2, 2, 0);
    AddBlock(2, -1.6f, 0.8f, 3, 0, 3);
    Tap(2, {250, 120});
    Tap(0, ScreenOf(0.5f, 0.4f));
    ASSERT_NE(e.m_pSelectedBody, nullptr);
    glViewport(0, 0, 800, 600);
    e.Draw();
    const std::vector<uint8_t> aPixels = ReadGameFrame();
    // Checked by eye (KORVEL_GOLDEN_PNG=<file> writes it, bottom row first): the sky, the
    // grid, body, boundary and white selection lines, four blocks with shadows, a helper,
    // the water and both counters.
    EXPECT_EQ(Fnv1a(aPixels), 422051731u);
}

} // namespace
