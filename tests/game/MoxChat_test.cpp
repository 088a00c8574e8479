// The chat overlay: the bubble geometry on its own, the messages' life, and bubbles
// drawn by the game's renderer into the headless 800 x 600 back buffer, read back.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "game/MoxChat.h"

#include <gtest/gtest.h>

#include <string>

#include "game/MoxRenderer.h"
#include "support/GlTestContext.h"
#include "tests/game/GameFrameHash.h"
#include "tests/game/GameTestFixture.h"

namespace
{

const CKorvelVector2 SCREEN(800.0f, 600.0f);

std::string Text(const CKorvelString& str)
{
    return Narrow(str);
}

// Corners in the layout's order: top-left, top-right, bottom-left, bottom-right.
int PointerCorner(const sMoxChatBubble& bubble)
{
    int iCorner = -1;
    for (int i = 0; i < sMoxChatBubble::TILE_COUNT; ++i)
        if (bubble.tiles[i].pointer)
        {
            EXPECT_EQ(iCorner, -1) << "one pointer only";
            iCorner = i;
        }
    return iCorner;
}

TEST(CMoxChatBubble, SideHeightAndPointerFollowPositionAndTarget)
{
    // A text of 100 x 40: hw 50, hh 20; margins 40; lowest edge 510.
    const struct
    {
        CKorvelVector2 position, target;
        float x, y;
        int iCorner;
    } cases[] = {
        {{100, 300}, {50, 250}, 90, 300, 0},   // left half, target up-left
        {{400, 300}, {500, 400}, 710, 300, 3}, // exactly half-way counts as right
        {{700, 300}, {900, 100}, 710, 300, 1}, // up-right
        {{799, 5}, {799, 600}, 710, 20, 3},    // pushed down to the top; d.x 0 counts as right
        {{10, 600}, {0, 600}, 90, 490, 2},     // pushed up to 0.85 H; d.y 0 counts as down
        {{10, 700}, {10, 700}, 90, 490, 3},    // no direction at all: right and down
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.position.x) + "," + std::to_string(c.position.y));
        const sMoxChatBubble bubble = MoxChatBubbleLayout({100, 40}, c.position, c.target, SCREEN, 3.0f);
        EXPECT_FLOAT_EQ(bubble.centre.x, c.x);
        EXPECT_FLOAT_EQ(bubble.centre.y, c.y);
        EXPECT_EQ(PointerCorner(bubble), c.iCorner);
    }
}

TEST(CMoxChatBubble, NineTilesFrameTheText)
{
    const sMoxChatBubble bubble = MoxChatBubbleLayout({100, 40}, {100, 300}, {0, 0}, SCREEN, 3.0f);
    // Centre (90, 300); the side tiles' centres lie a tile outside the text.
    const struct
    {
        float x, y, hx, hy;
        int column, row;
    } expected[] = {{37, 280, 3, 3, 0, 0},  {143, 280, 3, 3, 2, 0}, {37, 320, 3, 3, 0, 2},
                    {143, 320, 3, 3, 2, 2}, {37, 300, 3, 17, 0, 1}, {143, 300, 3, 17, 2, 1},
                    {90, 280, 50, 3, 1, 0}, {90, 320, 50, 3, 1, 2}, {90, 300, 50, 17, 1, 1}};
    for (int i = 0; i < sMoxChatBubble::TILE_COUNT; ++i)
    {
        SCOPED_TRACE(i);
        const sMoxChatBubble::sTile& tile = bubble.tiles[i];
        EXPECT_FLOAT_EQ(tile.centre.x, expected[i].x);
        EXPECT_FLOAT_EQ(tile.centre.y, expected[i].y);
        EXPECT_FLOAT_EQ(tile.half.x, expected[i].hx);
        EXPECT_FLOAT_EQ(tile.half.y, expected[i].hy);
        EXPECT_EQ(tile.column, expected[i].column);
        EXPECT_EQ(tile.row, expected[i].row);
    }
}

TEST(CMoxChat, ShortTextsArePaddedEmptyOnesDroppedAndTheNewestFewKept)
{
    CMoxChat chat;
    chat.Startup(nullptr);
    const std::pair<const char*, const char*> texts[] = {
        {"", nullptr}, {"a", "  a  "}, {"ab", "  ab  "}, {"abc", "abc"}};
    for (const auto& text : texts)
        chat.AddMessage(CKorvelString(text.first), CKorvelString("Opponent"), 0xFF112233u, {1, 2}, {3, 4}, 7);
    ASSERT_EQ(chat.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
    {
        const CChatMessage* pMessage = chat.GetMessage(i);
        EXPECT_EQ(Text(*pMessage->m_pText), texts[i + 1].second);
        EXPECT_EQ(Text(*pMessage->m_pSender), "Opponent");
        EXPECT_EQ(pMessage->m_uColour, 0xFF112233u);
        EXPECT_EQ(pMessage->m_uFlags, 7u);
        EXPECT_EQ(pMessage->m_fLife, 6.0f);
    }

    // However many arrive, the newest few are shown.
    for (int i = 0; i < 100; ++i)
        chat.AddMessage(CKorvelString(std::to_string(i).c_str()), CKorvelString("Opponent"), 0, {1, 2},
                        {3, 4}, 0);
    ASSERT_EQ(chat.GetCount(), CMoxChat::MAX_MESSAGES);
    EXPECT_EQ(Text(*chat.GetMessage(CMoxChat::MAX_MESSAGES - 1)->m_pText), "  99  ");
    EXPECT_EQ(Text(*chat.GetMessage(0)->m_pText), "  " + std::to_string(100 - CMoxChat::MAX_MESSAGES) + "  ");
    chat.Clear();
    EXPECT_EQ(chat.GetCount(), 0);
}

TEST(CMoxChat, AMessageAtExactlyNoLifeLastsOneMoreUpdate)
{
    CMoxChat chat;
    const CKorvelVector2 at(100, 100);
    chat.AddMessage(CKorvelString("first"), CKorvelString("Me"), 0, at, at, 0);
    chat.Update(2.0f);
    chat.AddMessage(CKorvelString("second"), CKorvelString("Me"), 0, at, at, 0);
    chat.AddMessage(CKorvelString("third"), CKorvelString("Me"), 0, at, at, 0);
    chat.Update(4.0f);
    ASSERT_EQ(chat.GetCount(), 3);
    EXPECT_EQ(chat.GetMessage(0)->m_fLife, 0.0f) << "still shown";
    chat.Update(2.0f);
    ASSERT_EQ(chat.GetCount(), 2) << "the first goes at the update after its life ran out";
    EXPECT_EQ(Text(*chat.GetMessage(0)->m_pText), "second");
    chat.Update(0.5f);
    EXPECT_EQ(chat.GetCount(), 0) << "two neighbours expire in one update";
}

class CMoxChatDrawing : public CGameTest
{
protected:
    // The real overlay of the screen table, not the fake.
    void SetUp() override
    {
        CGameTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartGame(nullptr, false));
        m_pChat = dynamic_cast<CMoxChat*>(m_pGame->GetChat());
        ASSERT_NE(m_pChat, nullptr);
    }
    void Clear()
    {
        glViewport(0, 0, 800, 600);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    // Read back as 0xAABBGGRR, alpha forced.
    static uint32_t Pixel(float x, float y) { return ReadGlPixel(int(x), int(y), 600) | 0xFF000000u; }
    static uint32_t Texture(int i)
    {
        const unsigned int c = GameTestTextureColour(i);
        return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFF);
    }

    CMoxChat* m_pChat = nullptr;
};

TEST_F(CMoxChatDrawing, WithoutTheFontNothingIsDrawnAndMessagesStillAge)
{
    m_pChat->AddMessage(CKorvelString("HELLO"), CKorvelString("Me"), 0, {100, 300}, {0, 0}, 0);
    Clear();
    m_pChat->Render();
    EXPECT_EQ(m_pGame->GetContext().pfntGameFonts, nullptr) << "not loaded by drawing";
    const std::vector<uint8_t> aFrame = ReadGameFrame();
    for (size_t u = 0; u < aFrame.size(); u += 4)
        ASSERT_EQ(aFrame[u], 0x80) << "pixel " << u / 4;
    m_pChat->Update(6.0f);
    m_pChat->Update(0.0f);
    EXPECT_EQ(m_pChat->GetCount(), 0);
}

TEST_F(CMoxChatDrawing, GoldenFrameOfTwoBubbles)
{
    while (!m_pGame->m_bResourcesLoaded)
        m_pGame->PreloadResources(0);
    ASSERT_NE(m_pGame->GetContext().pfntGameFonts, nullptr);
    m_pChat->AddMessage(CKorvelString("HELLO THERE"), CKorvelString("Opponent"), 0, {720, 495}, {800, 600},
                        1);
    m_pChat->AddMessage(CKorvelString("OK"), CKorvelString("Me"), 0, {50, 40}, {0, 0}, 0);
    Clear();
    m_pChat->Render();

    // The pointer sits in the corner facing the target: bottom-right of the first
    // bubble (pinned right), top-left of the second (pinned left, pushed down).
    const float c = 0.3f * 12.0f;
    CKorvelRect<int> rect(0, 0, 480, 0);
    m_pGame->GetContext().pfntGameFonts->CalcRect(rect, CKorvelString("HELLO THERE"));
    const float hw = 0.5f * rect.GetWidth(), hh = 0.5f * rect.GetHeight();
    const float x = 800 - 40 - hw, y = 495;
    EXPECT_EQ(Pixel(x + hw + c, y + hh + 1), Texture(CMoxChat::TEXTURE_POINTER));
    EXPECT_EQ(Pixel(x - hw - c, y + hh + 1), Texture(CMoxChat::TEXTURE_BUBBLE));
    EXPECT_EQ(Pixel(x + hw + c, y - hh - 1), Texture(CMoxChat::TEXTURE_BUBBLE));

    // Checked by eye (KORVEL_GOLDEN_PNG=<file> writes it, bottom row first): two
    // bubbles with white text over grey, pointers bottom-right and top-left.
    EXPECT_EQ(Fnv1a(ReadGameFrame()), 2296996231u);
}

} // namespace
