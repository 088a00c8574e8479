// The shipped lobby layout against the real lobby state: every area loads and yields each
// widget the lobby and its overlays look up, with the class the code casts to; every action
// a layout names is bound; every page draws inside the screen with labels that fit; and the
// offline button lets a player past the lobby without a server.
// KORVEL_GL_TEST
#include "Framework/Lobby/VornMenuState.h"
#include "Framework/Shell/KestrolundApplication.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/GridLayout.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/RunningList.h"
#include "Framework/UI/SlideArea.h"
#include "Framework/UI/Slider.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "support/TestJson.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestText.h"
#include "tests/assets/BuiltFolder.h"
#include <GLES2/gl2.h>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace
{
const char* const g_apLayoutFiles[] = {
    "menu_root.xml",   "lobby_main.xml", "page_login.xml",   "page_start.xml",    "page_players.xml",
    "page_me.xml",     "page_chat.xml",  "page_shop.xml",    "page_settings.xml", "dialogs.xml",
    "vorn_button.xml", "toast-root.xml", "toast_layout.xml", "ad-root.xml",       "ad_layout.xml"};

// The test application with the real lobby, theme and overlays on a copy of the built folder.
class CLayoutApp : public CTestKestrolundApplication
{
public:
    CLayoutApp(int iWidth, int iHeight) : CTestKestrolundApplication(iWidth, iHeight)
    {
        m_bRealLobby = true;
        CopyBuiltFolder(AppFile(""));
    }

protected:
    CVornTheme* CreateTheme() override { return CreateShellTheme(); }
};

template <class T> bool Is(CWidget* p)
{
    return widget_cast<T*>(p) != nullptr;
}

struct sWIDGET
{
    const char* pPath; // a name, or a path when it holds '/' or '<'
    bool (*fnIs)(CWidget*);
};

// What the lobby looks up, with the class it takes each as.
const sWIDGET g_aLobbyWidgets[] = {
    {"menu_root", Is<CPageView>},
    {"vorn_button_root", Is<CWidget>},
    {"vorn_button", Is<CButton>},
    {"//vorn_button_root//vorn_button//vorn-image", Is<CImageWidget>},
    {"//vorn_button//vorn-timer//vorn-turn-clock", Is<CPieWidget>},
    {"//vorn_button_root//bubble_join", Is<CBubble>},
    {"//vorn_button_root//bubble_return_game", Is<CBubble>},
    {"bubble_join//bubble-text", Is<CTextWidget>},
    {"chat-notifier", Is<CWidget>},
    {"//loading_dialog//text_title", Is<CTextWidget>},
    {"//loading_dialog//text_description", Is<CTextWidget>},
    {"//startup_language_chooser//language-name", Is<CTextWidget>},
    {"//startup_language_chooser//select-button", Is<CButton>},
    {"//startup_language_chooser//exit-button", Is<CButton>},
    {"//loginscreen_root//user_login", Is<CTextWidget>},
    {"//loginscreen_root//user_password", Is<CTextWidget>},
    {"//loginscreen_root//user_autologin", Is<CToggleButton>},
    {"//loginscreen_root//loginscreen_choices//guest_login_button", Is<CButton>},
    {"//loginscreen_root//cancel_autorelogin", Is<CButton>},
    {"//loginscreen_playername//page_root//input_playername", Is<CTextWidget>},
    {"//loginscreen_playername//page_root//tos_elements//button_agree", Is<CToggleButton>},
    {"//loginscreen_playername//page_root//text_usernametaken", Is<CTextWidget>},
    {"//loginscreen_playername//page_root//username_loading", Is<CWidget>},
    {"//loginscreen_email//input_email", Is<CTextWidget>},
    {"//loginscreen_email//input_password", Is<CTextWidget>},
    {"loginscreen_confirm", Is<CWidget>},
    {"loginscreen_thank", Is<CWidget>},
    {"loginscreen_nameconflict", Is<CWidget>},
    {"loginscreen_google", Is<CWidget>},
    {"loginscreen_facebook", Is<CWidget>},
    {"//loginscreen_error//loginerror_title", Is<CTextWidget>},
    {"//loginscreen_error//loginerror_message", Is<CTextWidget>},
    {"//loginscreen_error//button_recover", Is<CButton>},
    {"//loginscreen_error//button_update", Is<CWebButton>},
    {"//loginscreen_error//button_tryagain//label_tryagain", Is<CTextWidget>},
    {"//startscreen_root//startscreen", Is<CWidget>},
    {"//startscreen_root//startscreen_ingame", Is<CWidget>},
    {"button_moregames", Is<CWebButton>},
    {"button-tournaments", Is<CWebButton>},
    {"cl-icon-tournament", Is<CImageWidget>},
    {"label-tournament", Is<CTextWidget>},
    {"//players_root//search_text", Is<CTextWidget>},
    {"//players_root//players_content_root", Is<CPageView>},
    {"//players_content_root//global_page", Is<CWidget>},
    {"//players_content_root//follow_page", Is<CWidget>},
    {"//players_root//playerlist_global", Is<CInfiniteList>},
    {"//players_root//playerlist_follow", Is<CInfiniteList>},
    {"//global_page//no_results", Is<CTextWidget>},
    {"//global_page//loading", Is<CWidget>},
    {"//follow_page//no_results", Is<CTextWidget>},
    {"//me_root//list_me", Is<CInfiniteList>},
    {"//chat_root//chat_backlog", Is<CRunningList>},
    {"//chat_root//chat_textfield", Is<CTextWidget>},
    {"//chat_root//bubble_chat_submit", Is<CBubble>},
    {"//chat_root//rematch-button", Is<CToggleButton>},
    {"//chat_root//button_back", Is<CButton>},
    {"//chat_avatars_root//avatar_list", Is<CInfiniteList>},
    {"//chat_root//chat_expand_slidearea", Is<CSlideArea>},
    {"//chat_expand_slidearea//chat_expand_item", Is<CExpandable>},
    {"//chat_expand_item//chat_nastybuttons//button_unfollow", Is<CButton>},
    {"//chat_expand_item//chat_nastybuttons//text_unfollow", Is<CTextWidget>},
    {"//chat_expand_item//chat_nastybuttons//button_block", Is<CToggleButton>},
    {"//chat_expand_item//arrow", Is<CToggleButton>},
    {"//chat_expand_item//button_follow", Is<CButton>},
    {"//chat_expand_item//text_follow", Is<CTextWidget>},
    {"//chat_expand_item//button_gift", Is<CButton>},
    {"//chat_expand_item//text_gift", Is<CTextWidget>},
    {"//chat_expand_item//player_name", Is<CTextWidget>},
    {"//shop_root//vorncoins_amount", Is<CTextWidget>},
    {"shop_page_list", Is<CInfiniteList>},
    {"my_items_page_list", Is<CInfiniteList>},
    {"//shop_root//no_results", Is<CTextWidget>},
    {"//my_items_root//loading", Is<CWidget>},
    {"confirm_buy_dialog", Is<CWidget>},
    {"//confirm_buy_dialog//item-icon", Is<CImageWidget>},
    {"//confirm_buy_dialog//value_price", Is<CTextWidget>},
    {"confirm_buy_dialog_ingame", Is<CWidget>},
    {"//confirm_buy_player_gift_dialog//player-icon", Is<CImageWidget>},
    {"//confirm_buy_player_gift_dialog//player-name", Is<CTextWidget>},
    {"//dialog_list_selection//selection_list_content", Is<CInfiniteList>},
    {"//dialog_gift_list_selection//selection_gift_list_content", Is<CInfiniteList>},
    {"//generic_error_dialog//error-text", Is<CTextWidget>},
    {"//generic_error_dialog_ingame//error-text", Is<CTextWidget>},
    {"//generic_error_dialog_more_coins//coins-value", Is<CTextWidget>},
    {"//challenge_received//player_avatar", Is<CImageWidget>},
    {"//challenge_received//player_name", Is<CTextWidget>},
    {"//challenge_received//player_rank", Is<CTextWidget>},
    {"//challenge_received//player_score", Is<CTextWidget>},
    {"challenge_waiting", Is<CWidget>},
    {"setting_mute", Is<CToggleButton>},
    {"vibration_toggle", Is<CToggleButton>},
    {"//settings_root//sounds_slider", Is<CSlider>},
    {"//settings_root//music_slider", Is<CSlider>},
    {"//dialog_box//dialog_head", Is<CTextWidget>},
    {"//dialog_box//dialog_text", Is<CTextWidget>},
    {"//confirm_box//button_agree", Is<CToggleButton>},
};

// Widgets inside list templates: the lists take their templates out at load, so these are
// looked up in the template each list keeps.
const sWIDGET g_aPlayerRow[] = {{"list_item_small//player_name", Is<CTextWidget>},
                                {"list_item_small//challenge_button", Is<CButton>},
                                {"list_item_small//player_avatar_small", Is<CImageWidget>},
                                {"list_item_big//player_followers", Is<CTextWidget>},
                                {"list_item_big//button_challenge", Is<CButton>},
                                {"list_item_big//button_follow", Is<CButton>},
                                {"list_item_big//button_gift", Is<CButton>},
                                {"list_item_big//my_losses_percent", Is<CTextWidget>},
                                {"list_item_big//button-report", Is<CWebButton>},
                                {"list_item_big//player_avatar", Is<CImageWidget>},
                                {"playerlist-item-nasty-buttons//button_block", Is<CToggleButton>},
                                {"arrow", Is<CToggleButton>}};

std::string Name(CWidget* p)
{
    return p ? Narrow(p->GetName()) : "<null>";
}

CWidget* Look(CWidget* pRoot, const char* pPath)
{
    const std::string strPath = pPath;
    if (strPath.find('/') == std::string::npos && strPath.find('<') == std::string::npos)
        return pRoot->FindWidget(CKorvelString(pPath), -1);
    return pRoot->FindWidgetByPath(CKorvelString(pPath));
}

// Parses a layout item of the built pack.
class CLayoutDoc
{
public:
    explicit CLayoutDoc(const std::string& strFile)
    {
        m_strText = ItemData("vornlayouts.kmp", strFile);
        std::vector<signed char> aText(m_strText.begin(), m_strText.end());
        aText.push_back(0);
        m_Doc.StartupFromData(aText.data(), static_cast<unsigned int>(m_strText.size()));
    }
    ~CLayoutDoc() { m_Doc.Shutdown(); }
    void ForEach(const std::function<void(CKorvelXMLDataNode*)>& visit) { Walk(&m_Doc, visit); }
    bool Empty() const { return m_strText.empty(); }

private:
    static void Walk(CKorvelXMLDataNode* pNode, const std::function<void(CKorvelXMLDataNode*)>& visit)
    {
        for (CKorvelXMLDataNode* p = pNode->GetFirstChild(); p; p = p->GetNext())
        {
            if (p->IsAttribute())
                continue;
            visit(p);
            Walk(p, visit);
        }
    }
    std::string m_strText;
    CKorvelXMLDataNode m_Doc;
};

std::string Attr(CKorvelXMLDataNode* p, const char* pName)
{
    const signed char* pValue = p->Get(pName, nullptr);
    return pValue ? reinterpret_cast<const char*>(pValue) : "";
}

bool IsEvent(const std::string& strName)
{
    static const std::set<std::string> s_Events = {
        "onclick",       "onvaluechanged", "onloaditem",    "onforgetitem", "onloaditembatch", "onloadgroup",
        "onbeginexpand", "onendexpand",    "onbeginscroll", "onendscroll",  "onshow",          "onhide",
        "onclone",       "oncloned",       "onstartup",     "onshutdown",   "onchanged",       "onfinished"};
    return s_Events.count(strName) != 0;
}

std::string OutputDir()
{
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    const std::string strDir = std::string(pBinary ? pBinary : ".") + "/test-output/lobby-layout/";
    std::filesystem::create_directories(strDir);
    return strDir;
}

// Pixels that a frame leaves as they were: a frame drawn over two different old contents
// reads back different there. The farthest right and lowest of them come back too.
int KeptPixels(CLayoutApp& app, int iWidth, int iHeight, int& iRightmost, int& iLowest)
{
    auto FrameOver = [&](float fRed, float fGreen, float fBlue)
    {
        glClearColor(fRed, fGreen, fBlue, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        app.Frame(0.0f);
        std::vector<uint32_t> aPixels(static_cast<size_t>(iWidth) * iHeight);
        glReadPixels(0, 0, iWidth, iHeight, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
        return aPixels;
    };
    const std::vector<uint32_t> aOverMagenta = FrameOver(1.0f, 0.0f, 1.0f);
    const std::vector<uint32_t> aOverGreen = FrameOver(0.0f, 1.0f, 0.0f);
    int iKept = 0;
    iRightmost = iLowest = -1;
    for (size_t i = 0; i < aOverMagenta.size(); ++i)
        if ((aOverMagenta[i] & 0xFFFFFFu) != (aOverGreen[i] & 0xFFFFFFu))
        {
            ++iKept;
            iRightmost = std::max(iRightmost, static_cast<int>(i % iWidth));
            iLowest = std::max(iLowest, iHeight - 1 - static_cast<int>(i / iWidth)); // GL rows run bottom-up
        }
    return iKept;
}

// A read-back frame (GL rows run bottom-up) kept for review.
void WritePicture(const std::string& strName, int iWidth, int iHeight, const std::vector<uint32_t>& aPixels)
{
    std::vector<uint8_t> aRows(aPixels.size() * 4);
    for (int y = 0; y < iHeight; ++y)
        std::copy_n(reinterpret_cast<const uint8_t*>(&aPixels[static_cast<size_t>(iHeight - 1 - y) * iWidth]),
                    size_t{4} * iWidth, &aRows[static_cast<size_t>(y) * iWidth * 4]);
    WriteTestPng(OutputDir() + strName, iWidth, iHeight, aRows);
}

// A widget's rectangle in its root's coordinates.
CKorvelRect<int> OnScreen(CWidget* p)
{
    int x = 0, y = 0;
    p->MapTo(p->GetRoot(), x, y);
    return CKorvelRect<int>(x, y, x + p->GetWidth(), y + p->GetHeight());
}

// Visible, and not inside a collapsed (zero-sized) part such as a closed expandable.
bool ShownOnScreen(CWidget* p)
{
    for (CWidget* q = p; q; q = q->GetParent())
        if (!q->GetVisible() || (q != p && (q->GetWidth() <= 0 || q->GetHeight() <= 0)))
            return false;
    return true;
}

void ForEachWidget(CWidget* p, const std::function<void(CWidget*)>& visit)
{
    visit(p);
    for (int i = 0; i < p->GetWidgets().GetCount(); ++i)
        ForEachWidget(p->GetWidgets()[i], visit);
}
// The lobby of an application started past its splash; null when it did not start.
CVornMenuState* StartedLobby(CLayoutApp& app)
{
    const KE_RETVAL iStarted = app.Start();
    EXPECT_EQ(iStarted, KE_OK);
    const bool bPastSplash = iStarted == KE_OK && app.RunSplash();
    EXPECT_TRUE(bPastSplash);
    return bPastSplash ? app.GetLobbyState() : nullptr;
}

// The tablet's screen and two smaller windows: the pages are checked at each.
const std::pair<int, int> CHECKED_SIZES[] = {{1024, 600}, {800, 480}, {640, 400}};

// A check of the lobby started past its splash at each checked size, traced with the size's name.
void AtEveryCheckedSize(const std::function<void(CLayoutApp&, CVornMenuState*, const std::pair<int, int>&,
                                                 const std::string&)>& check)
{
    for (const auto& size : CHECKED_SIZES)
    {
        const std::string strSize = std::to_string(size.first) + "x" + std::to_string(size.second);
        SCOPED_TRACE(strSize);
        CLayoutApp app(size.first, size.second);
        CVornMenuState* pLobby = StartedLobby(app);
        ASSERT_NE(pLobby, nullptr);
        check(app, pLobby, size, strSize);
    }
}
} // namespace

TEST(LobbyLayout, EveryAreaLoadsAndYieldsWhatTheLobbyLooksUp)
{
    const struct
    {
        int iWidth, iHeight;
    } aSizes[] = {{1024, 600}, {800, 480}, {1280, 720}, {1920, 1080}, {600, 1024}};
    for (const auto& size : aSizes)
    {
        SCOPED_TRACE(std::to_string(size.iWidth) + "x" + std::to_string(size.iHeight));
        CLayoutApp app(size.iWidth, size.iHeight);
        CVornMenuState* pLobby = StartedLobby(app);
        ASSERT_NE(pLobby, nullptr);
        EXPECT_EQ(pLobby->LoadLayout(size.iWidth, size.iHeight, nullptr), KE_OK);
        CWidget* pRoot = pLobby->GetRoot();
        ASSERT_NE(pRoot, nullptr);
        EXPECT_EQ(pRoot->GetWidth(), size.iWidth);
        EXPECT_EQ(Name(pLobby->GetPageView()->GetWidgets()[0]), "loginscreen_root");
        for (const sWIDGET& widget : g_aLobbyWidgets)
        {
            CWidget* p = Look(pRoot, widget.pPath);
            EXPECT_NE(p, nullptr) << widget.pPath;
            EXPECT_TRUE(!p || widget.fnIs(p)) << widget.pPath << " has the wrong class";
        }
        // The tournament list sits in the me card, whose row ancestor the code sizes.
        for (const char* pList : {"playerlist_global", "playerlist_follow"})
        {
            CInfiniteList* pPlayers =
                widget_cast<CInfiniteList*>(pRoot->FindWidget(CKorvelString(pList), -1));
            ASSERT_NE(pPlayers, nullptr);
            // Before the list first shows, its template is still its child.
            CWidget* pRow =
                pPlayers->GetItemTemplate() ? pPlayers->GetItemTemplate() : Look(pPlayers, "item_template");
            // A template not yet taken out sits in its holder.
            if (pRow && !Is<CExpandable>(pRow) && pRow->GetWidgets().GetCount() == 1)
                pRow = pRow->GetWidgets()[0];
            ASSERT_TRUE(pRow && Is<CExpandable>(pRow)) << pList;
            for (const sWIDGET& widget : g_aPlayerRow)
            {
                CWidget* p = Look(pRow, (std::string("//") + widget.pPath).c_str());
                EXPECT_TRUE(p && widget.fnIs(p)) << pList << " row " << widget.pPath;
            }
        }
        CInfiniteList* pMe = widget_cast<CInfiniteList*>(pRoot->FindWidget(CKorvelString("list_me"), -1));
        ASSERT_NE(pMe, nullptr);
        CWidget* pCard = pMe->GetItemTemplate() ? pMe->GetItemTemplate() : Look(pMe, "item_template");
        ASSERT_NE(pCard, nullptr);
        CWidget* pScores = pCard->FindWidgetByPath(
            CKorvelString("//tournament_container//tournament_scores_root//tournament_scores_list"));
        EXPECT_TRUE(pScores && Is<CGridLayout>(pScores));
        for (int i = 1; i <= 6; ++i)
            for (const char* pStem : {"my_result_", "my_points_", "my_opponent_"})
                EXPECT_NE(pCard->FindWidget(CKorvelString((pStem + std::to_string(i)).c_str()), -1), nullptr)
                    << pStem << i;
        for (int i = 1; i <= 5; ++i)
            EXPECT_TRUE(Is<CImageWidget>(
                pCard->FindWidget(CKorvelString(("my_achievement_image_" + std::to_string(i)).c_str()), -1)))
                << i;
    }
}

TEST(LobbyLayout, EveryActionALayoutNamesIsBound)
{
    std::set<std::string> setTable;
    for (int i = 0; i < CVornMenuState::ACTION_COUNT; ++i)
        setTable.insert(CVornMenuState::s_aActions[i].m_pName);
    const std::set<std::string> setToast = {"toast_click"};
    const std::set<std::string> setAd = {"ad_title", "ad_click", "ad_ok", "ad_close"};
    // The lobby's own action entries (sounds around a handler) count as bound.
    std::set<std::string> setDefined;
    for (const char* pFile : g_apLayoutFiles)
    {
        CLayoutDoc doc(pFile);
        ASSERT_FALSE(doc.Empty()) << pFile;
        doc.ForEach(
            [&](CKorvelXMLDataNode* p)
            {
                if (std::string(p->GetName()) == "action")
                    setDefined.insert(Attr(p, "$name"));
            });
    }
    for (const char* pFile : g_apLayoutFiles)
    {
        const std::string strFile = pFile;
        const bool bToast = strFile.rfind("toast", 0) == 0, bAd = strFile.rfind("ad", 0) == 0;
        CLayoutDoc doc(pFile);
        doc.ForEach(
            [&](CKorvelXMLDataNode* p)
            {
                const std::string strNode = p->GetName();
                const std::string strAction = Attr(p, "$action");
                if (!IsEvent(strNode) && strNode != "trigger")
                    return;
                SCOPED_TRACE(strFile + " <" + strNode + " action=\"" + strAction + "\">");
                if (bToast)
                    EXPECT_EQ(setToast.count(strAction), 1u);
                else if (bAd)
                    EXPECT_EQ(setAd.count(strAction), 1u);
                else if (strNode == "trigger")
                    EXPECT_EQ(setTable.count(strAction), 1u);
                else
                    EXPECT_TRUE(setTable.count(strAction) || setDefined.count(strAction));
            });
    }
    // Every registered name the code drives from the layout is used somewhere.
    for (const char* pUsed :
         {"thank_you_close", "toggle_vorn_menu", "exit_app", "login_kestrolund", "guest_login",
          "show_language_chooser", "get_languages", "chat_send", "buy_coins"})
        EXPECT_EQ(setTable.count(pUsed), 1u) << pUsed;
}

// Every picture, font and sound a layout names reaches the resource manager at each ladder size.
TEST(LobbyLayout, EveryNamedFileResolvesAtEveryLadderSize)
{
    std::set<std::string> setImages, setFonts, setSounds;
    for (const char* pFile : g_apLayoutFiles)
    {
        CLayoutDoc doc(pFile);
        doc.ForEach(
            [&](CKorvelXMLDataNode* p)
            {
                const std::string strNode = p->GetName();
                if (strNode == "image")
                    setImages.insert(Attr(p, "$path"));
                else if (strNode == "sound")
                    setSounds.insert(Attr(p, "$path"));
                else if (strNode == "text" && !Attr(p, "$font").empty())
                    setFonts.insert(Attr(p, "$font") + ".fnt");
            });
    }
    EXPECT_GT(setImages.size(), 30u);
    for (int iSize : {1536, 1080, 768, 640, 480, 360, 320, 240})
    {
        SCOPED_TRACE(iSize);
        CLayoutApp app(iSize * 4 / 3, iSize);
        ASSERT_EQ(app.Start(), KE_OK);
        for (const std::string& strImage : setImages)
        {
            CKorvelSurface* pSurface = app.GetSurface(CKorvelString(strImage.c_str()));
            EXPECT_NE(pSurface, nullptr) << strImage;
            if (pSurface)
                app.ReleaseSurface(pSurface);
        }
        for (const std::string& strFont : setFonts)
        {
            CKorvelBitmapFont* pFont = app.GetFont(CKorvelString(strFont.c_str()));
            EXPECT_NE(pFont, nullptr) << strFont;
            if (pFont)
                app.ReleaseFont(pFont);
        }
        for (const std::string& strSound : setSounds)
        {
            CKorvelSoundWave* pWave = app.GetSound(CKorvelString(strSound.c_str()), 1, 0);
            EXPECT_NE(pWave, nullptr) << strSound;
            if (pWave)
                app.ReleaseSound(pWave);
        }
    }
}

// Each page drawn on headless GL: something drawn, every pixel drawn, every shown widget
// inside the screen, every label fitting its text widget; the pictures are kept for review.
TEST(LobbyLayout, EveryPageDrawsInsideTheScreenWithLabelsThatFitAndClearOfTheVornButton)
{
    AtEveryCheckedSize(
        [&](CLayoutApp& app, CVornMenuState* pLobby, const std::pair<int, int>& size,
            const std::string& strSize)
        {
            CPageView* pPages = pLobby->GetPageView();
            ASSERT_NE(pPages, nullptr);
            // The vorn button stays over every page: no button, list or text may lie under it.
            CWidget* pVorn = pLobby->GetRoot()->FindWidget(CKorvelString("vorn_button"), -1);
            ASSERT_NE(pVorn, nullptr);
            const CKorvelRect<int> rcVorn = OnScreen(pVorn);
            std::vector<std::string> aPages;
            for (int i = 0; i < pPages->GetWidgets().GetCount(); ++i)
                aPages.push_back(Name(pPages->GetWidgets()[i]));
            EXPECT_GE(aPages.size(), 30u);
            for (const std::string& strPage : aPages)
            {
                SCOPED_TRACE(strPage);
                pLobby->SwitchToPage(CKorvelString(strPage.c_str()), 1);
                for (int i = 0; i < 4; ++i)
                    app.Frame(0.2f);
                CWidget* pPage = pPages->GetCurrentPage();
                ASSERT_EQ(Name(pPage), strPage);

                std::vector<uint8_t> aPixels(static_cast<size_t>(size.first) * size.second * 4);
                glReadPixels(0, 0, size.first, size.second, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
                std::set<uint32_t> setColours;
                for (size_t i = 0; i < aPixels.size() && setColours.size() < 8; i += size_t{4} * 97)
                    setColours.insert(aPixels[i] | aPixels[i + 1] << 8 | aPixels[i + 2] << 16);
                EXPECT_GE(setColours.size(), 3u) << "the read-back is blank";
                // GL rows run bottom-up.
                std::vector<uint8_t> aFlipped(aPixels.size());
                const size_t uRow = static_cast<size_t>(size.first) * 4;
                for (int y = 0; y < size.second; ++y)
                    std::copy_n(&aPixels[(size.second - 1 - y) * uRow], uRow, &aFlipped[y * uRow]);
                WriteTestPng(OutputDir() + strSize + "_" + strPage + ".png", size.first, size.second,
                             aFlipped);
                // Over the lobby the game is not drawn, so a page draws every pixel; the two
                // in-game dialogs lie over a match that does.
                if (strPage.find("_ingame") == std::string::npos)
                {
                    int iRightmost = 0, iLowest = 0;
                    EXPECT_EQ(KeptPixels(app, size.first, size.second, iRightmost, iLowest), 0)
                        << "pixels not drawn, as far right as " << iRightmost << " and as low as " << iLowest;
                }

                ForEachWidget(pPage,
                              [&](CWidget* p)
                              {
                                  if (!ShownOnScreen(p) || p->GetWidth() <= 0)
                                      return;
                                  const CKorvelRect<int> rc = OnScreen(p);
                                  EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= size.first &&
                                              rc.bottom <= size.second)
                                      << Name(p) << " at " << rc.left << "," << rc.top << "-" << rc.right
                                      << "," << rc.bottom;
                                  CKorvelRect<int> rcUnder;
                                  const bool bPressedOrRead = Is<CButton>(p) || Is<CInfiniteList>(p) ||
                                                              Is<CSlideArea>(p) || Is<CTextWidget>(p);
                                  EXPECT_FALSE(bPressedOrRead && rc.Intersect(rcVorn, &rcUnder) &&
                                               rcUnder.GetWidth() > 0 && rcUnder.GetHeight() > 0)
                                      << Name(p) << " lies under the vorn button";
                                  CTextWidget* pText = widget_cast<CTextWidget*>(p);
                                  if (!pText || !pText->GetFont() || pText->GetDisplayText().GetLength() == 0)
                                      return;
                                  // Laid out at the widget's width: a label that must wrap takes more lines.
                                  CKorvelRect<int> rcText(0, 0, p->GetWidth(), 0);
                                  pText->GetFont()->CalcRect(rcText, pText->GetDisplayText());
                                  EXPECT_LE(rcText.bottom - rcText.top, p->GetHeight() + 2)
                                      << Name(p) << " \"" << Narrow(pText->GetDisplayText())
                                      << "\" does not fit its widget";
                              });
            }
        });
}

// Without a server the first-launch chooser, the login page and the error page each offer
// the offline button, and pressing it hides the lobby so the game draws.
TEST(LobbyLayout, TheLobbyLeavesTheFirstLoadingForTheLoginKeepsItsPagesOnReloadAndDrawsTheWholeWindow)
{
    // The target is the largest size; the application draws in its lower left part while
    // it has a smaller one.
    const int LARGE_WIDTH = 1200, LARGE_HEIGHT = 700;
    CLayoutApp app(LARGE_WIDTH, LARGE_HEIGHT);
    CVornMenuState* pLobby = StartedLobby(app);
    ASSERT_NE(pLobby, nullptr);
    auto Current = [&] { return Name(pLobby->GetPageView()->GetCurrentPage()); };
    // A loading with nothing before it in the history, as on a start that logs in at once,
    // ends on its own after its time-out.
    pLobby->GetPageView()->ResetHistory();
    pLobby->BeginLoading(CKorvelString("title"), CKorvelString("text"));
    ASSERT_EQ(Current(), "loading_dialog");
    for (int i = 0; i < 31 && Current() == "loading_dialog"; ++i)
        app.Frame(1.0f);
    EXPECT_EQ(Current(), "loginscreen_root");

    // A screen change reloads the layout; the page and the way back survive it.
    pLobby->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
    pLobby->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    const int iHistory = pLobby->GetPageView()->GetNumberofHistoryPages();
    CWidget* pOld = pLobby->GetRoot();
    app.OnScreenChanged(800, 480);
    ASSERT_NE(pLobby->GetRoot(), pOld);
    EXPECT_EQ(Current(), "loginscreen_email");
    EXPECT_EQ(pLobby->GetPageView()->GetNumberofHistoryPages(), iHistory);
    pLobby->GetPageView()->SwitchToPage(CKorvelString(":back"));
    EXPECT_EQ(Current(), "loginscreen_playername");

    // Grown again, the page covers every pixel: a frame drawn over two different old
    // contents reads back the same. Pictures scaled up for the larger size once left a
    // transparent seam at the right and bottom that showed the previous frame.
    for (int i = 0; i < 4; ++i)
        app.Frame(0.2f);
    app.OnScreenChanged(LARGE_WIDTH, LARGE_HEIGHT);
    for (int i = 0; i < 4; ++i)
        app.Frame(0.2f);
    int iRightmost = 0, iLowest = 0;
    EXPECT_EQ(KeptPixels(app, LARGE_WIDTH, LARGE_HEIGHT, iRightmost, iLowest), 0)
        << "pixels not drawn, as far right as " << iRightmost << " and as low as " << iLowest;
}

TEST(LobbyLayout, TheOfflineButtonLetsThePlayerPastTheLobby)
{
    for (const char* pPage : {"startup_language_chooser", "loginscreen_root", "loginscreen_error"})
    {
        SCOPED_TRACE(pPage);
        CLayoutApp app(1024, 600);
        CVornMenuState* pLobby = StartedLobby(app);
        ASSERT_NE(pLobby, nullptr);
        pLobby->SwitchToPage(CKorvelString(pPage), 1);
        pLobby->SetMenuVisibility(1);
        for (int i = 0; i < 4; ++i)
            app.Frame(0.2f);
        EXPECT_EQ(pLobby->GetDialogVisible(), 1u);
        CButton* pOffline = widget_cast<CButton*>(pLobby->GetRoot()->FindWidgetByPath(
            CKorvelString((std::string("//") + pPage + "//offline_button").c_str())));
        ASSERT_NE(pOffline, nullptr);
        EXPECT_TRUE(ShownOnScreen(pOffline));
        // A press in the middle of the button, as the player makes it.
        const CKorvelRect<int> rc = OnScreen(pOffline);
        const int x = (rc.left + rc.right) / 2, y = (rc.top + rc.bottom) / 2;
        pLobby->OnMouseButton(0, x, y);
        pLobby->OnMouseButtonUp(0, x, y);
        app.m_Log.Clear();
        for (int i = 0; i < 4; ++i)
            app.Frame(0.2f);
        EXPECT_EQ(pLobby->GetDialogVisible(), 0u);
        EXPECT_GT(app.m_Log.Count("game.Draw"), 0);
    }
}

// What the lobby fills in stays inside its widget at the sizes we ship for and the smallest
// we run on: "100" per cent on one row beside its sign on the player cards and the own card,
// every shipped item description whole on the shop card, and a long address on one row in
// its field, idle and while typed (read back: the field's text draws nowhere else).
TEST(LobbyLayout, FilledInValuesStayInsideTheirWidgetsAtEverySize)
{
    CTestJson catalogue;
    std::string strError;
    const char* pBinary = std::getenv("KORVEL_BINARY_DIR");
    const std::vector<uint8_t> aText =
        ReadTestFile(std::string(pBinary ? pBinary : ".") + "/lobby-data/catalogue.json");
    ASSERT_TRUE(CTestJson::Parse(std::string(aText.begin(), aText.end()), catalogue, strError)) << strError;
    ASSERT_GT(catalogue["items"].Size(), 0u);
    AtEveryCheckedSize(
        [&](CLayoutApp& app, CVornMenuState* pLobby, const std::pair<int, int>& size,
            const std::string& strSize)
        {
            // A list's row as the list clones it.
            auto Row = [&](const char* pList)
            {
                CInfiniteList* pRows =
                    widget_cast<CInfiniteList*>(pLobby->GetRoot()->FindWidget(CKorvelString(pList), -1));
                if (!pRows)
                    return static_cast<CWidget*>(nullptr);
                return pRows->GetItemTemplate() ? pRows->GetItemTemplate() : Look(pRows, "item_template");
            };
            // The height the widget draws the text in, wrapped and broken as it draws it.
            auto Drawn = [](CTextWidget* pText, const std::string& strText)
            {
                const CKorvelString strWide(strText.c_str());
                CKorvelRect<int> rc(0, 0, pText->GetWidth(), 0);
                pText->GetFont()->CalcRect(rc, ::CTextWidget::BreakLongWords(*pText->GetFont(), strWide,
                                                                             pText->GetWidth(),
                                                                             pText->GetTextAlign()));
                return rc.GetHeight();
            };
            // The cards' own labels too: a list's closed rows and the chat's closed card are not
            // drawn on the pages.
            for (CWidget* pCard : {Row("playerlist_global"), Row("list_me"), Row("shop_page_list"),
                                   pLobby->GetRoot()->FindWidget(CKorvelString("chat_expand_item"), -1)})
            {
                ASSERT_NE(pCard, nullptr);
                ForEachWidget(
                    pCard,
                    [&](CWidget* p)
                    {
                        CTextWidget* pLabel = widget_cast<CTextWidget*>(p);
                        if (!pLabel || !pLabel->GetFont() || pLabel->GetLocalizedText() < 0)
                            return;
                        EXPECT_LE(Drawn(pLabel, Narrow(pLabel->GetDisplayText())), p->GetHeight() + 2)
                            << Name(p) << " \"" << Narrow(pLabel->GetDisplayText()) << "\"";
                    });
            }
            for (const char* pList : {"playerlist_global", "list_me"})
                for (const char* pShare : {"player_wins_percent", "my_ties_percent", "my_losses_percent"})
                {
                    SCOPED_TRACE(std::string(pList) + " " + pShare);
                    CWidget* pRow = Row(pList);
                    ASSERT_NE(pRow, nullptr);
                    CTextWidget* pNumber = widget_cast<CTextWidget*>(Look(pRow, pShare));
                    CTextWidget* pSign =
                        widget_cast<CTextWidget*>(Look(pRow, (std::string(pShare) + "_sign").c_str()));
                    ASSERT_TRUE(pNumber && pSign && pNumber->GetFont() && pSign->GetFont());
                    EXPECT_EQ(Drawn(pNumber, "100"), static_cast<int>(pNumber->GetFont()->GetLineHeight()))
                        << "on one row";
                    EXPECT_LE(pSign->GetFont()->GetTextWidth(pSign->GetDisplayText(), 0),
                              pSign->GetWidth() + 1);
                    EXPECT_LE(pNumber->GetArea().right, pSign->GetArea().left + 1) << "side by side";
                }
            CWidget* pShopRow = Row("shop_page_list");
            ASSERT_NE(pShopRow, nullptr);
            CTextWidget* pShort =
                widget_cast<CTextWidget*>(Look(pShopRow, "//list_item_big//item_descshort"));
            CTextWidget* pFull = widget_cast<CTextWidget*>(Look(pShopRow, "//list_item_big//info_descfull"));
            ASSERT_TRUE(pShort && pFull && pShort->GetFont() && pFull->GetFont());
            for (const CTestJson& item : catalogue["items"].Items())
            {
                EXPECT_LE(Drawn(pShort, item["short_description"].String()), pShort->GetHeight() + 2)
                    << item["short_description"].String();
                EXPECT_LE(Drawn(pFull, item["description"].String()), pFull->GetHeight() + 2)
                    << item["description"].String();
            }

            pLobby->SwitchToPage(CKorvelString("loginscreen_email"), 1);
            CTextWidget* pField = widget_cast<CTextWidget*>(
                pLobby->GetRoot()->FindWidgetByPath(CKorvelString("//loginscreen_email//input_email")));
            CWidget* pBox =
                pLobby->GetRoot()->FindWidgetByPath(CKorvelString("//loginscreen_email//input_email_field"));
            ASSERT_TRUE(pField && pBox);
            auto Pixels = [&]
            {
                for (int i = 0; i < 4; ++i)
                    app.Frame(0.2f);
                std::vector<uint32_t> aPixels(static_cast<size_t>(size.first) * size.second);
                glReadPixels(0, 0, size.first, size.second, GL_RGBA, GL_UNSIGNED_BYTE, aPixels.data());
                return aPixels;
            };
            const std::vector<uint32_t> aEmpty = Pixels();
            pField->SetText(
                CKorvelString("a.very.long.name.of.somebody@a-rather-long-example-domain.example.org"));
            const CKorvelRect<int> rcBox = OnScreen(pBox);
            for (const bool bTyping : {false, true})
            {
                SCOPED_TRACE(bTyping ? "typing" : "idle");
                if (bTyping)
                {
                    const int x = rcBox.left + rcBox.GetWidth() / 2, y = rcBox.top + rcBox.GetHeight() / 2;
                    pLobby->OnMouseButton(0, x, y);
                    pLobby->OnMouseButtonUp(0, x, y);
                }
                const std::vector<uint32_t> aFilled = Pixels();
                ASSERT_EQ(pField->IsEditing() != 0, bTyping);
                WritePicture(strSize + (bTyping ? "_email_typing.png" : "_email_idle.png"), size.first,
                             size.second, aFilled);
                int iInside = 0, iOutside = 0, iTop = size.second, iBottom = -1;
                for (size_t i = 0; i < aFilled.size(); ++i)
                    if ((aFilled[i] & 0xFFFFFFu) != (aEmpty[i] & 0xFFFFFFu))
                    {
                        const int x = static_cast<int>(i % size.first);
                        const int y =
                            size.second - 1 - static_cast<int>(i / size.first); // GL rows run bottom-up
                        (x >= rcBox.left && x < rcBox.right && y >= rcBox.top && y < rcBox.bottom
                             ? iInside
                             : iOutside)++;
                        iTop = std::min(iTop, y);
                        iBottom = std::max(iBottom, y);
                    }
                EXPECT_GT(iInside, 0);
                EXPECT_EQ(iOutside, 0) << "the address drawn outside its field";
                EXPECT_LE(iBottom - iTop + 1, static_cast<int>(pField->GetFont()->GetLineHeight()))
                    << "one row";
            }
        });
}

// The fully opened player card keeps its block row on its panel.
TEST(LobbyLayout, TheOpenPlayerCardHoldsItsBlockRow)
{
    CLayoutApp app(1024, 600);
    CVornMenuState* pLobby = StartedLobby(app);
    ASSERT_NE(pLobby, nullptr);
    CInfiniteList* pPlayers =
        widget_cast<CInfiniteList*>(pLobby->GetRoot()->FindWidget(CKorvelString("playerlist_global"), -1));
    ASSERT_NE(pPlayers, nullptr);
    CWidget* pRow =
        pPlayers->GetItemTemplate() ? pPlayers->GetItemTemplate() : Look(pPlayers, "item_template");
    ASSERT_NE(pRow, nullptr);
    CWidget* pPanel = Look(pRow, "//list_item_big//row_bg");
    CWidget* pBlockRow = Look(pRow, "//list_item_big//playerlist-item-nasty-buttons");
    ASSERT_TRUE(pPanel && pBlockRow);
    const CKorvelRect<int> rcPanel = pPanel->GetArea(), rcBlock = pBlockRow->GetArea();
    EXPECT_TRUE(rcBlock.left >= rcPanel.left && rcBlock.right <= rcPanel.right &&
                rcBlock.top >= rcPanel.top && rcBlock.bottom <= rcPanel.bottom)
        << "block row " << rcBlock.top << "-" << rcBlock.bottom << ", panel " << rcPanel.top << "-"
        << rcPanel.bottom;
}

// The two players of a match sit side by side in the chat's avatar strip, each at its size.
TEST(LobbyLayout, TheChatAvatarsSitSideBySide)
{
    CLayoutApp app(1024, 600);
    CVornMenuState* pLobby = StartedLobby(app);
    ASSERT_NE(pLobby, nullptr);
    pLobby->SwitchToPage(CKorvelString("chat_root"), 1);
    CInfiniteList* pAvatars = widget_cast<CInfiniteList*>(
        pLobby->GetRoot()->FindWidgetByPath(CKorvelString("//chat_root//chat_avatars_root//avatar_list")));
    ASSERT_NE(pAvatars, nullptr);
    pAvatars->SetCount(2);
    for (int i = 0; i < 4; ++i)
        app.Frame(0.2f);
    ASSERT_EQ(pAvatars->GetWidgets().GetCount(), 2);
    CWidget* pTemplate = pAvatars->GetItemTemplate();
    ASSERT_NE(pTemplate, nullptr);
    const CKorvelRect<int> rcFirst = pAvatars->GetWidgets()[0]->GetArea();
    const CKorvelRect<int> rcSecond = pAvatars->GetWidgets()[1]->GetArea();
    EXPECT_EQ(rcFirst.top, rcSecond.top);
    EXPECT_GE(rcSecond.left, rcFirst.right);
    for (const CKorvelRect<int>& rc : {rcFirst, rcSecond})
    {
        EXPECT_EQ(rc.right - rc.left, pTemplate->GetWidth());
        EXPECT_EQ(rc.bottom - rc.top, pTemplate->GetHeight());
    }
}

// A window that changes size (1024 x 600, then 800 x 480, then 1200 x 700) under each page a
// player meets with something typed, set or opened there: the same page, texts, input and
// pictures after each change, Try again and the way back lead to the pages as they were left.
TEST(LobbyLayout, AResizeKeepsThePageItsTextsTypedInputDialogsPicturesAndTheOpenCard)
{
    CLayoutApp app(1024, 600);
    CVornMenuState* pLobby = StartedLobby(app);
    ASSERT_NE(pLobby, nullptr);
    auto Find = [&](const std::string& strPath)
    { return pLobby->GetRoot()->FindWidgetByPath(CKorvelString(strPath.c_str())); };
    auto TextOf = [&](const std::string& strPath)
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(Find(strPath));
        return pText ? Narrow(pText->GetText()) : std::string("<none>");
    };
    auto Type = [&](const std::string& strPath, const char* pTyped)
    {
        CTextWidget* pField = widget_cast<CTextWidget*>(Find(strPath));
        ASSERT_NE(pField, nullptr) << strPath;
        pField->SetText(CKorvelString(pTyped));
    };
    auto Shown = [&](const std::string& strPath)
    {
        CTextWidget* pText = widget_cast<CTextWidget*>(Find(strPath));
        return pText ? Narrow(pText->GetDisplayText()) : std::string("<none>");
    };
    auto Current = [&] { return Name(pLobby->GetPageView()->GetCurrentPage()); };
    auto Frames = [&]
    {
        for (int i = 0; i < 4; ++i)
            app.Frame(0.2f);
    };
    // Both changes of size, the checks after each.
    auto Resized = [&](const std::function<void()>& fnSame)
    {
        for (const std::pair<int, int>& size : {std::make_pair(800, 480), std::make_pair(1200, 700)})
        {
            SCOPED_TRACE(std::to_string(size.first) + " x " + std::to_string(size.second));
            app.OnScreenChanged(size.first, size.second);
            fnSame();
            Frames();
            fnSame();
        }
    };
    auto Back = [&] { pLobby->GetPageView()->SwitchToPage(CKorvelString(":back")); };
    // The picture an image shows, and whether it is the one cached under that name.
    auto Picture = [&](const std::string& strPath)
    {
        CImageWidget* pImage = widget_cast<CImageWidget*>(Find(strPath));
        return pImage ? pImage->GetImage() : nullptr;
    };
    auto IsCached = [&](CKorvelSurface* pSurface, const char* pName)
    {
        CKorvelSurface* pCached = app.HaveSurface(CKorvelString(pName));
        const bool bSame = pSurface && pSurface == pCached;
        if (pCached)
            app.ReleaseSurface(pCached);
        return bSame;
    };
    const std::vector<uint8_t> aPng = EncodeTestPng({2, 2, 2 /* RGB */, 8, std::vector<uint8_t>(12, 200)});
    std::vector<unsigned char> aPicture(aPng.begin(), aPng.end());
    Frames();

    // A registration refused on its e-mail page.
    pLobby->SwitchToPage(CKorvelString("loginscreen_playername"), 1);
    Type("//loginscreen_playername//input_playername", "Newcomer");
    pLobby->SwitchToPage(CKorvelString("loginscreen_email"), 1);
    Type("//loginscreen_email//input_email", "new@example.org");
    Type("//loginscreen_email//input_password", "secret1");
    pLobby->OnLoginError(CKorvelString("Registration"), CKorvelString("That address is taken."), 2, nullptr);
    Frames();
    ASSERT_EQ(Current(), "loginscreen_error");
    const std::string strTryAgain = TextOf("//loginscreen_error//label_tryagain");
    Resized(
        [&]
        {
            EXPECT_EQ(Current(), "loginscreen_error");
            EXPECT_EQ(TextOf("//loginscreen_error//loginerror_title"), "Registration");
            EXPECT_EQ(TextOf("//loginscreen_error//loginerror_message"), "That address is taken.");
            EXPECT_EQ(TextOf("//loginscreen_error//label_tryagain"), strTryAgain);
            EXPECT_TRUE(Find("//loginscreen_error//button_tryagain")->GetVisible());
            EXPECT_FALSE(Find("//loginscreen_error//button_update")->GetVisible());
        });
    // Try again goes back to the filled form, whose Back leads to the name as typed.
    CPageButton* pTryAgain = widget_cast<CPageButton*>(Find("//loginscreen_error//button_tryagain"));
    ASSERT_NE(pTryAgain, nullptr);
    pTryAgain->click();
    EXPECT_EQ(Current(), "loginscreen_email");
    EXPECT_EQ(TextOf("//loginscreen_email//input_email"), "new@example.org");
    EXPECT_EQ(TextOf("//loginscreen_email//input_password"), "secret1");
    Back();
    EXPECT_EQ(Current(), "loginscreen_playername");
    EXPECT_EQ(TextOf("//loginscreen_playername//input_playername"), "Newcomer");

    // A login refused, typed name and password with it.
    pLobby->SwitchToPage(CKorvelString("loginscreen_root"), 1);
    ASSERT_EQ(Current(), "loginscreen_root");
    Type("//loginscreen_root//user_login", "someone");
    Type("//loginscreen_root//user_password", "wrong");
    pLobby->OnLoginError(CKorvelString("Wrong user name or password"), CKorvelString("Try again."), 3,
                         nullptr);
    Frames();
    // The buttons' labels come from the language, not from the program.
    const std::string strRecover = Shown("//loginscreen_error//button_recover//label");
    const std::string strOffline = Shown("//loginscreen_error//offline_button//label");
    ASSERT_FALSE(strRecover.empty() || strOffline.empty());
    Resized(
        [&]
        {
            EXPECT_EQ(Current(), "loginscreen_error");
            EXPECT_EQ(TextOf("//loginscreen_error//loginerror_title"), "Wrong user name or password");
            EXPECT_TRUE(Find("//loginscreen_error//button_recover")->GetVisible());
            EXPECT_EQ(Shown("//loginscreen_error//button_recover//label"), strRecover);
            EXPECT_EQ(Shown("//loginscreen_error//offline_button//label"), strOffline);
        });
    Back();
    EXPECT_EQ(Current(), "loginscreen_root");
    EXPECT_EQ(TextOf("//loginscreen_root//user_login"), "someone");
    EXPECT_EQ(TextOf("//loginscreen_root//user_password"), "wrong");

    // A dialog with its message.
    pLobby->SwitchToPage(CKorvelString("generic_error_dialog"), 1);
    Type("//generic_error_dialog//error-text", "You already own this item.");
    Frames();
    Resized(
        [&]
        {
            EXPECT_EQ(Current(), "generic_error_dialog");
            EXPECT_EQ(TextOf("//generic_error_dialog//error-text"), "You already own this item.");
        });

    // A challenge; the challenger's picture comes after a resize, the default one until then.
    pLobby->OnChallengeReceived(nullptr, 78, CKorvelString("Challenger"), CKorvelString(), 3, 120);
    pLobby->SwitchToPage(CKorvelString("challenge_received"), 1);
    Frames();
    ASSERT_TRUE(IsCached(Picture("//challenge_received//player_avatar"), "avatar-icon.png"));
    app.OnScreenChanged(800, 480);
    EXPECT_TRUE(IsCached(Picture("//challenge_received//player_avatar"), "avatar-icon.png"));
    pLobby->OnChallengeImageReceived(nullptr, 78, aPicture.data(), static_cast<int>(aPicture.size()));
    ASSERT_TRUE(IsCached(Picture("//challenge_received//player_avatar"), "player_avatar_icon_78"));
    Resized(
        [&]
        {
            EXPECT_EQ(Current(), "challenge_received");
            EXPECT_EQ(TextOf("//challenge_received//player_name"), "Challenger");
            EXPECT_TRUE(IsCached(Picture("//challenge_received//player_avatar"), "player_avatar_icon_78"));
        });

    // The chat: a draft, an asked-for rematch, a guest's hidden way back and an open card.
    pLobby->SwitchToPage(CKorvelString("chat_root"), 1);
    Frames();
    Type("//chat_root//chat_textfield", "see you");
    CToggleButton* pRematch = widget_cast<CToggleButton*>(Find("//chat_root//rematch-button"));
    ASSERT_NE(pRematch, nullptr);
    pRematch->SetVisible(1);
    pRematch->SetToggled(1);
    Find("//chat_root//button_back")->SetVisible(0);
    // The card opened from the other player's avatar, with his picture.
    sPLAYERLISTITEM rival;
    rival.m_iPlayerId = 77;
    rival.m_strName = CKorvelString("Rival");
    ::CVornMenuState::actionFillChatPlayer(pLobby, 0, 0, 1, nullptr, &rival, nullptr, 0);
    ::CVornMenuState::actionFillChatPlayer(pLobby, 0, 77, 0, nullptr, nullptr, aPicture.data(),
                                           static_cast<int>(aPicture.size()));
    CInfiniteList* pAvatars =
        widget_cast<CInfiniteList*>(Find("//chat_root//chat_avatars_root//avatar_list"));
    ASSERT_TRUE(pAvatars && pAvatars->GetWidgets().GetCount() == 1);
    ::CVornMenuState::actionExpandChatItem(pAvatars->GetWidgets()[0], pLobby);
    Frames();
    auto CardPicture = [&] { return Picture("//chat_root//chat_expand_item//player_avatar"); };
    ASSERT_TRUE(IsCached(CardPicture(), "player_avatar_icon_77"));
    Resized(
        [&]
        {
            EXPECT_EQ(Current(), "chat_root");
            EXPECT_EQ(TextOf("//chat_root//chat_textfield"), "see you");
            CToggleButton* pNow = widget_cast<CToggleButton*>(Find("//chat_root//rematch-button"));
            EXPECT_TRUE(pNow && pNow->GetVisible() && pNow->GetToggled());
            EXPECT_FALSE(Find("//chat_root//button_back")->GetVisible());
            EXPECT_EQ(TextOf("//chat_root//chat_expand_item//player_name"), "Rival");
            EXPECT_TRUE(IsCached(CardPicture(), "player_avatar_icon_77"));
        });
    CExpandable* pNowCard = widget_cast<CExpandable*>(Find("//chat_root//chat_expand_item"));
    ASSERT_NE(pNowCard, nullptr);
    EXPECT_EQ(pNowCard->GetExpansionLevel(), 1);
    EXPECT_NE(pNowCard->GetData(), nullptr) << "block and follow on the open card know its player";
}
