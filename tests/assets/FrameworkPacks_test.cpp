// The framework's content as built into the application folder, read back with the
// engine's own readers (packs, images, fonts drawn on GL, sounds, the layouts'
// references into the other packs) and with the shell's (resource manager, language,
// settings), and the application started on it.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include "tools/packtool/KmpLanguage.h"
#include "tools/packtool/KmpPackBuilder.h"

#include "Extensions/KorvelGraphicsExt_GLES2.h"
#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornSettings.h"
#include "Framework/Shell/VornStatistics.h"
#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformPcmControl.h"

#include "support/GlTestContext.h"
#include "support/StringUnits.h"
#include "support/TestApplication.h"
#include "support/TestKestrolundApplication.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"
#include "tests/assets/BuiltFolder.h"

#include <GLES2/gl2.h>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
const int g_aLadder[] = {1536, 1080, 768, 640, 480, 360, 320, 240};
// The lobby pictures in pack order.
const char* const g_aLobbyImages[] = {
    "btn_primary.png",       "btn_primary_down.png", "panel_bg.png",        "radio_on.png",
    "radio_off.png",         "avatar-icon.png",      "cl-icon-trophy.png",  "bubble_bg.png",
    "bubble_side.png",       "bubble_top.png",       "group_header.png",    "icon_arrow.png",
    "icon_back.png",         "icon_block.png",       "icon_challenge.png",  "icon_chat.png",
    "icon_close.png",        "icon_coins.png",       "icon_exit.png",       "icon_follow.png",
    "icon_gift.png",         "icon_logo.png",        "icon_play.png",       "icon_players.png",
    "icon_report.png",       "icon_settings.png",    "icon_shop.png",       "icon_unfollow.png",
    "page_bg.png",           "row_big.png",          "row_small.png",       "scroll_h.png",
    "scroll_v.png",          "slider_knob.png",      "slider_track.png",    "spinner.png",
    "toast_achievement.png", "toast_bg.png",         "toast_challenge.png", "toast_message.png",
    "toggle_off.png",        "toggle_on.png"};

// Parses XML text with the engine's reader; the root element (null when none).
class CXmlDoc
{
public:
    explicit CXmlDoc(const std::string& strText)
    {
        std::vector<signed char> aText(strText.begin(), strText.end());
        m_Doc.StartupFromData(aText.data(), static_cast<unsigned int>(aText.size()));
    }
    ~CXmlDoc() { m_Doc.Shutdown(); }
    CKorvelXMLDataNode* Root()
    {
        for (CKorvelXMLDataNode* p = m_Doc.GetFirstChild(); p; p = p->GetNext())
            if (!p->IsAttribute())
                return p;
        return nullptr;
    }

private:
    CKorvelXMLDataNode m_Doc;
};

std::string Attribute(CKorvelXMLDataNode* pNode, const char* pName)
{
    const signed char* pValue = pNode->Get(pName, nullptr);
    return pValue ? reinterpret_cast<const char*>(pValue) : "";
}

void ForEachNode(CKorvelXMLDataNode* pNode, const std::function<void(CKorvelXMLDataNode*)>& visit)
{
    for (CKorvelXMLDataNode* p = pNode->GetFirstChild(); p; p = p->GetNext())
    {
        if (p->IsAttribute())
            continue;
        visit(p);
        ForEachNode(p, visit);
    }
}

// FNV-1a over the RGB of a rectangle of the GL drawing buffer.
uint32_t HashScreen(int iX, int iY, int iWidth, int iHeight, int iBufferHeight)
{
    std::vector<uint8_t> aPixels(static_cast<size_t>(iWidth) * iHeight * 4);
    glReadPixels(iX, iBufferHeight - iY - iHeight, iWidth, iHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                 aPixels.data());
    uint32_t uHash = 2166136261u;
    for (size_t i = 0; i < aPixels.size(); ++i)
        if (i % 4 != 3)
            uHash = (uHash ^ aPixels[i]) * 16777619u;
    return uHash;
}
} // namespace

TEST(FrameworkPacks, TheApplicationFolderHoldsEveryPackWithItsItems)
{
    std::map<std::string, std::vector<std::string>> mapPacks = {
        {"vornsounds.kmp",
         {"/ui_click.wav", "/ui_page.wav", "/ui_toast.ogg", "/ui_challenge.wav", "/ui_chat.wav",
          "/ui_error.wav"}},
        {"vornlayouts.kmp",
         {"/menu_root.xml", "/lobby_main.xml", "/page_login.xml", "/page_start.xml", "/page_players.xml",
          "/page_me.xml", "/page_chat.xml", "/page_shop.xml", "/page_settings.xml", "/dialogs.xml",
          "/vorn_button.xml", "/toast-root.xml", "/toast_layout.xml", "/ad-root.xml", "/ad_layout.xml"}},
        {"vorntheme_kestrolund-white.kmp", {"/theme_kestrolund-white.xml"}},
        {"vornlanguage_en.kmp", {"/vornlanguage_en.txt"}}};
    std::vector<std::string>& aIntro = mapPacks["vornintro.kmp"];
    for (int i = 1; i <= 12; ++i)
        aIntro.push_back("/kestrolund_logo" + std::to_string(i) + ".jpg");
    aIntro.push_back("/vl-welcome.wav");
    for (int iSize : g_aLadder)
    {
        const std::string strSize = std::to_string(iSize);
        mapPacks["vornfonts_" + strSize + ".kmp"] = {"/main-b.fnt", "/main-b_0.png", "/main.fnt",
                                                     "/main_0.png", "/kmp.meta"};
        std::vector<std::string>& aLobby = mapPacks["vornlobby_" + strSize + ".kmp"];
        for (const char* pImage : g_aLobbyImages)
            aLobby.push_back(std::string("/") + pImage);
        aLobby.push_back("/kmp.meta");
    }
    for (const auto& pack : mapPacks)
    {
        EXPECT_EQ(ItemNames(pack.first), pack.second) << pack.first;
        // Every item is what its file name finds (the loaders' substring look-up).
        CKorvelMediaPack media;
        ASSERT_EQ(media.Startup(CKorvelString((AppDir() + pack.first).c_str()), CKorvelString()), KE_OK);
        for (unsigned int i = 0; i < media.GetItemCount(); ++i)
            EXPECT_EQ(media.SeekToItem(CKorvelString(pack.second[i].c_str()), 0),
                      media.SeekToItem(CKorvelString(), i))
                << pack.second[i];
    }
    EXPECT_FALSE(ReadTestFile(AppDir() + "settings.txt").empty());
}

TEST(FrameworkPacks, ImagesDecodeAndTheLadderMetasCarryTheirSizes)
{
    std::vector<std::pair<std::string, std::string>> aImages; // pack, file
    for (int i = 1; i <= 12; ++i)
        aImages.emplace_back("vornintro.kmp", "kestrolund_logo" + std::to_string(i) + ".jpg");
    for (int iSize : g_aLadder)
        for (const char* pImage : g_aLobbyImages)
            aImages.emplace_back("vornlobby_" + std::to_string(iSize) + ".kmp", pImage);
    std::map<std::string, std::set<std::string>> mapNonPowerOfTwo;
    for (const auto& image : aImages)
    {
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(CKorvelString((AppDir() + image.first).c_str()), CKorvelString()), KE_OK);
        CKorvelSurface surface;
        ASSERT_EQ(
            surface.LoadFromPack(nullptr, &pack, CKorvelString(("/" + image.second).c_str()), 0, nullptr),
            KE_OK)
            << image.first << " " << image.second;
        if (image.first == "vornintro.kmp")
        {
            EXPECT_EQ(surface.GetWidth(), 512);
            EXPECT_EQ(surface.GetHeight(), 256);
        }
        if (!IsPowerOfTwo(surface.GetWidth()) || !IsPowerOfTwo(surface.GetHeight()))
            mapNonPowerOfTwo[image.first].insert(image.second);
        surface.Shutdown();
    }
    // The splash frames are drawn unscaled, so their pack has no meta.
    EXPECT_EQ(ItemData("vornintro.kmp", "kmp.meta"), "");
    for (int iSize : g_aLadder)
    {
        const std::string strLobby = "vornlobby_" + std::to_string(iSize) + ".kmp";
        CXmlDoc lobbyMeta(ItemData(strLobby, "kmp.meta"));
        ASSERT_NE(lobbyMeta.Root(), nullptr) << strLobby;
        EXPECT_EQ(lobbyMeta.Root()->GetInt("image/original_size/$value", 0), iSize);
        std::set<std::string> setListed;
        CKorvelXMLDataNode* pFiles = lobbyMeta.Root()->GotoPath("image/files", 0);
        for (CKorvelXMLDataNode* p = pFiles ? pFiles->GetFirstChild() : nullptr; p; p = p->GetNext())
            if (p->GetInt("$no_mipmaps", 0))
                setListed.insert(Attribute(p, "$path"));
        EXPECT_EQ(setListed, mapNonPowerOfTwo[strLobby]) << strLobby;

        const std::string strFonts = "vornfonts_" + std::to_string(iSize) + ".kmp";
        CXmlDoc fontMeta(ItemData(strFonts, "kmp.meta"));
        ASSERT_NE(fontMeta.Root(), nullptr) << strFonts;
        EXPECT_EQ(fontMeta.Root()->GetInt("font/original_size/$value", 0), iSize);
    }
}

TEST(FrameworkPacks, FontsOfEveryLadderSizeHoldTheGlyphSetAndDrawOnGl)
{
    ResetHeadlessPlatform(800, 600);
    auto pApp = std::make_unique<CTestApplication>();
    ASSERT_EQ(pApp->StartHeadless(), KE_OK);
    auto* pExt = static_cast<::CKorvelGraphicsExt_GLES2*>(pApp->GetGraphicsExtension());
    ASSERT_NE(pExt, nullptr);
    std::vector<unsigned short> aGlyphSet;
    for (unsigned short u = 32; u <= 126; ++u)
        aGlyphSet.push_back(u);
    for (unsigned short u = 160; u <= 255; ++u)
        aGlyphSet.push_back(u);
    for (unsigned short u : {0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2026, 0x20AC})
        aGlyphSet.push_back(u);

    std::map<int, uint32_t> mapHashes;
    for (int iSize : g_aLadder)
    {
        CKorvelMediaPack pack;
        ASSERT_EQ(
            pack.Startup(CKorvelString((AppDir() + "vornfonts_" + std::to_string(iSize) + ".kmp").c_str()),
                         CKorvelString()),
            KE_OK);
        for (const char* pFont : {"main-b.fnt", "main.fnt"})
        {
            CKorvelBitmapFont font;
            ASSERT_EQ(font.Startup(pApp.get(), pack, CKorvelString(pFont), 0), KE_OK)
                << iSize << " " << pFont;
            EXPECT_GE(font.GetPageCount(), 1);
            for (int i = 0; i < font.GetPageCount(); ++i)
                EXPECT_NE(font.GetPage(i)->uTexture, 0u) << iSize << " " << pFont << " page " << i;
            for (unsigned short u : aGlyphSet)
                EXPECT_NE(font.GetCharInfo(u), nullptr) << iSize << " " << pFont << " U+" << std::hex << u;
            // A line of about a twentieth of the screen side the pack is made for.
            EXPECT_NEAR(font.GetLineHeight(), 0.05 * iSize, 0.005 * iSize + 1) << iSize << " " << pFont;
            if (std::strcmp(pFont, "main-b.fnt") == 0 && (iSize == 240 || iSize == 640))
            {
                pExt->Fill(0xFF000000, nullptr);
                font.DrawText(CKorvelRect<int>(10, 10, 790, 200), *pExt,
                              CKorvelString(L"Flomps \u2013 1:0 \u20AC!"), 0xFFFFFFFF, 0, nullptr);
                mapHashes[iSize] = HashScreen(0, 0, 800, 200, 600);
                EXPECT_NE(mapHashes[iSize], HashScreen(0, 300, 800, 200, 600)) << "nothing was drawn";
            }
            font.Shutdown();
        }
    }
    // Golden read-backs: a change of font, glyph placement or drawing shows here.
    EXPECT_EQ(mapHashes[240], 0x96cee52cu);
    EXPECT_EQ(mapHashes[640], 0xcc96c694u);
    pApp.reset();
}

TEST(FrameworkPacks, SoundsDecodeIntoSixteenBitMonoAtTheirLengths)
{
    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true);
    CKorvelSoundEngine engine;
    ASSERT_EQ(engine.Startup(nullptr, 44100, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0),
              KE_OK);
    const struct
    {
        const char* pPack;
        const char* pItem;
        double dMin, dMax;
    } aSounds[] = {
        {"vornsounds.kmp", "/ui_click.wav", 0.05, 0.5}, {"vornsounds.kmp", "/ui_page.wav", 0.05, 0.5},
        {"vornsounds.kmp", "/ui_toast.ogg", 0.05, 0.5}, {"vornsounds.kmp", "/ui_challenge.wav", 0.05, 0.5},
        {"vornsounds.kmp", "/ui_chat.wav", 0.05, 0.5},  {"vornsounds.kmp", "/ui_error.wav", 0.05, 0.5},
        {"vornintro.kmp", "/vl-welcome.wav", 1.5, 2.0}};
    for (const auto& s : aSounds)
    {
        CKorvelMediaPack pack;
        ASSERT_EQ(pack.Startup(CKorvelString((AppDir() + s.pPack).c_str()), CKorvelString()), KE_OK);
        CKorvelSoundWave wave;
        ASSERT_EQ(wave.LoadFromPack(&engine, &pack, CKorvelString(s.pItem), 0, 0, 0), KE_OK) << s.pItem;
        const SKE_WAVEFORMAT& format = wave.GetFormat();
        EXPECT_EQ(format.uSamplesPerSec, 22050u) << s.pItem;
        EXPECT_EQ(format.uChannels, 1u) << s.pItem;
        EXPECT_EQ(format.uBitsPerSample, 16u) << s.pItem;
        const double dSeconds = wave.GetLength() / (22050.0 * 2);
        EXPECT_GE(dSeconds, s.dMin - 0.001) << s.pItem;
        EXPECT_LE(dSeconds, s.dMax + 0.001) << s.pItem;
        wave.Shutdown();
    }
    engine.Shutdown();
    plat::PcmControlReset();
}

TEST(FrameworkPacks, LanguagePackReadsAsTheSourceAndBuildsToTheSameBytes)
{
    const std::string strLang = TestSourceDir() + "/assets/src/lang/";
    CTestTempDir dir;
    std::string strErr;
    for (const char* pOut : {"a/vornlanguage_en.kmp", "b/vornlanguage_en.kmp"})
    {
        std::filesystem::create_directories(dir.File(std::string(pOut, 1)));
        ASSERT_EQ(RunTool(dir,
                          "lang " + strLang + "vornlanguage_en.txt " + dir.File(pOut) + " --signatures " +
                              strLang + "signatures.txt",
                          strErr),
                  0)
            << strErr;
    }
    const std::vector<uint8_t> aBuilt = ReadTestFile(AppDir() + "vornlanguage_en.kmp");
    EXPECT_EQ(ReadTestFile(dir.File("a/vornlanguage_en.kmp")), aBuilt);
    EXPECT_EQ(ReadTestFile(dir.File("b/vornlanguage_en.kmp")), aBuilt);

    std::map<int, std::vector<std::string>> mapSignatures;
    sKmpLanguageSource source;
    std::string strError;
    ASSERT_TRUE(KmpReadSignatures(SourceText("assets/src/lang/signatures.txt"), "signatures.txt",
                                  mapSignatures, strError));
    ASSERT_TRUE(KmpParseLanguage(SourceText("assets/src/lang/vornlanguage_en.txt"), "en", mapSignatures,
                                 source, strError))
        << strError;
    // Every framework text number up to 219 and the labels after it are written.
    const int iLast = source.mapTexts.rbegin()->first;
    EXPECT_GT(iLast, 219);
    for (int iId : {0, 3, 12, 14, 33, 34, 35, 36, 219})
        EXPECT_FALSE(source.mapTexts[iId].empty()) << iId;

    // The shell's reader gives the headers and every text of the source, gaps empty.
    CTestVornApplication app;
    CopyBuiltFolder(app.AppFile(""));
    CVornStatistics statistics;
    CVornLanguage language;
    app.m_pStatistics = &statistics;
    app.m_pLanguage = &language;
    ASSERT_EQ(language.Startup(&app, CKorvelString("vornlanguage")), KE_OK);
    const sLANGUAGE_INFO* pInfo = language.GetCurrentLanguage();
    ASSERT_NE(pInfo, nullptr);
    EXPECT_EQ(language.GetLanguageCount(), 1);
    std::map<std::string, std::string> mapHeaders(source.aHeaders.begin(), source.aHeaders.end());
    EXPECT_EQ(mapHeaders["NAME"], "English");
    EXPECT_EQ(Units(pInfo->m_strName), Utf16(mapHeaders["NAME"]));
    EXPECT_EQ(Units(pInfo->m_strCode), Utf16(mapHeaders["CODE"]));
    EXPECT_EQ(std::to_string(pInfo->m_uTextFlags), mapHeaders["FLAGS"]);
    EXPECT_EQ(std::to_string(pInfo->m_uSpecialChars), mapHeaders["SPECIAL_CHARS"]);
    ASSERT_EQ(language.GetTextCount(), iLast + 1);
    for (int i = 0; i <= iLast; ++i)
    {
        std::string strText = source.mapTexts.count(i) ? source.mapTexts[i] : "";
        for (size_t u = strText.find("\\n"); u != std::string::npos; u = strText.find("\\n", u + 1))
            strText.replace(u, 2, "\n");
        EXPECT_EQ(Units(language.GetText(i)), Utf16(strText)) << i;
    }
    language.Shutdown();
    app.m_pLanguage = nullptr;
    app.m_pStatistics = nullptr;
}

TEST(FrameworkPacks, SettingsReadThroughTheShellsSettings)
{
    CVornSettings settings;
    settings.Startup(CKorvelString((AppDir() + "settings.txt").c_str()));
    const struct
    {
        const char* pSection;
        const char* pKey;
        int iValue;
    } aNumbers[] = {{"GRAPHICS", "resx", 1024},    {"GRAPHICS", "resy", 600}, {"GRAPHICS", "fullscreen", 0},
                    {"AUDIO", "frequency", 44100}, {"AUDIO", "bps", 16},      {"AUDIO", "channels", 2},
                    {"NETWORK", "port", 5000}};
    for (const auto& n : aNumbers)
        EXPECT_EQ(settings.GetIntValue(CKorvelString(n.pSection), CKorvelString(n.pKey), -1), n.iValue)
            << n.pKey;
    EXPECT_EQ(Narrow(settings.GetStringValue(CKorvelString("NETWORK"), CKorvelString("server"),
                                             CKorvelString("none"))),
              "127.0.0.1");
    settings.Shutdown();
}

TEST(FrameworkPacks, LayoutCheckPassesTheLobbyLayoutAndNamesAMissingButton)
{
    CTestTempDir dir;
    std::string strErr;
    EXPECT_EQ(RunTool(dir, "layoutcheck " + AppDir() + "vornlayouts.kmp menu_root.xml", strErr), 0) << strErr;

    // A copy of the pack whose vorn button lost its name.
    std::vector<sKmpItem> aItems;
    for (const char* pName : {"menu_root.xml", "lobby_main.xml", "page_login.xml", "page_start.xml",
                              "page_players.xml", "page_me.xml", "page_chat.xml", "page_shop.xml",
                              "page_settings.xml", "dialogs.xml", "vorn_button.xml"})
    {
        std::string strText = SourceText(std::string("assets/src/layouts/") + pName);
        const std::string strButton = "name=\"vorn_button\"";
        if (std::string(pName) == "vorn_button.xml")
        {
            ASSERT_NE(strText.find(strButton), std::string::npos);
            strText.replace(strText.find(strButton), strButton.size(), "name=\"vorn_knob\"");
        }
        aItems.push_back(
            {std::string("/") + pName, std::vector<unsigned char>(strText.begin(), strText.end()), pName});
    }
    std::string strError;
    ASSERT_TRUE(KmpWritePack(dir.File("copy.kmp"), aItems, "", strError)) << strError;
    EXPECT_EQ(RunTool(dir, "layoutcheck " + dir.File("copy.kmp") + " menu_root.xml", strErr), 1);
    EXPECT_NE(strErr.find("area 1024x600 'menu_root': no widget 'vorn_button' of type 'button'"),
              std::string::npos)
        << strErr;
}

// Every image, sound, font, text number and colour name the layouts use exists.
TEST(FrameworkPacks, LayoutsUseOnlyContentThatIsShipped)
{
    std::set<std::string> setColours;
    CXmlDoc theme(ItemData("vorntheme_kestrolund-white.kmp", "theme_kestrolund-white.xml"));
    ASSERT_NE(theme.Root(), nullptr);
    EXPECT_STREQ(theme.Root()->GetName(), "theme");
    ForEachNode(theme.Root(),
                [&](CKorvelXMLDataNode* p)
                {
                    if (std::strcmp(p->GetName(), "color") == 0)
                        setColours.insert(Attribute(p, "$id") + "=" + Attribute(p, "$value"));
                });
    for (const char* pColour : {"chat_message_default=ffffff", "chat_message_own=ffc000", "chat_info=2f9bce",
                                "chat_highlight=ff6600", "scrollbar=80ffffff"})
        EXPECT_EQ(setColours.count(pColour), 1u) << pColour;
    std::set<std::string> setColourNames;
    for (const std::string& strColour : setColours)
        setColourNames.insert(strColour.substr(0, strColour.find('=')));

    std::map<int, std::vector<std::string>> mapSignatures;
    sKmpLanguageSource language;
    std::string strError;
    KmpReadSignatures(SourceText("assets/src/lang/signatures.txt"), "signatures", mapSignatures, strError);
    ASSERT_TRUE(KmpParseLanguage(SourceText("assets/src/lang/vornlanguage_en.txt"), "en", mapSignatures,
                                 language, strError));

    for (const char* pLayout :
         {"menu_root.xml", "lobby_main.xml", "page_login.xml", "page_start.xml", "page_players.xml",
          "page_me.xml", "page_chat.xml", "page_shop.xml", "page_settings.xml", "dialogs.xml",
          "vorn_button.xml", "toast-root.xml", "toast_layout.xml", "ad-root.xml", "ad_layout.xml"})
    {
        CXmlDoc layout(ItemData("vornlayouts.kmp", pLayout));
        ASSERT_NE(layout.Root(), nullptr) << pLayout;
        ForEachNode(
            layout.Root(),
            [&](CKorvelXMLDataNode* p)
            {
                const std::string strNode = p->GetName();
                const std::string strWhere = std::string(pLayout) + " <" + strNode + ">";
                if (strNode == "image")
                {
                    for (int iSize : g_aLadder)
                        EXPECT_NE(
                            ItemData("vornlobby_" + std::to_string(iSize) + ".kmp", Attribute(p, "$path")),
                            "")
                            << strWhere << " " << Attribute(p, "$path") << " at " << iSize;
                }
                if (strNode == "sound")
                {
                    EXPECT_NE(ItemData("vornsounds.kmp", Attribute(p, "$path")), "") << strWhere;
                }
                if (strNode == "text" && !Attribute(p, "$font").empty())
                {
                    EXPECT_NE(ItemData("vornfonts_240.kmp", Attribute(p, "$font") + ".fnt"), "") << strWhere;
                }
                for (const char* pId : {"$local", "$title"})
                {
                    if (!Attribute(p, pId).empty())
                    {
                        EXPECT_FALSE(language.mapTexts[std::atoi(Attribute(p, pId).c_str())].empty())
                            << strWhere << " " << pId << "=" << Attribute(p, pId);
                    }
                }
                // Colours by theme name; a bare hex value would lose its alpha in a blend colour.
                std::vector<std::string> aColours = {Attribute(p, "$color"), Attribute(p, "$displaycolor")};
                if (strNode == "blend_color" || strNode == "color")
                    aColours.push_back(Attribute(p, "$value"));
                for (const std::string& strColour : aColours)
                {
                    if (!strColour.empty())
                    {
                        EXPECT_EQ(setColourNames.count(strColour), 1u) << strWhere << " colour " << strColour;
                    }
                }
            });
    }
}

// The application's own start on the built folder: the framework packs with the ladder's
// size for the back buffer, every item of them reached through the resource manager by
// its file name, and the splash played through to the lobby.
TEST(FrameworkPacks, TheApplicationStartsOnTheBuiltFolderAndReachesEveryItem)
{
    const struct
    {
        int iWidth, iHeight, iLadder;
    } aCases[] = {{1024, 600, 640}, {320, 240, 240}};
    for (const auto& c : aCases)
    {
        SCOPED_TRACE(std::to_string(c.iWidth) + "x" + std::to_string(c.iHeight));
        CTestKestrolundApplication app(c.iWidth, c.iHeight);
        CopyBuiltFolder(app.AppFile(""));
        // The window takes the display's size whatever the settings ask for.
        ASSERT_EQ(app.Start(), KE_OK);
        ASSERT_NE(app.GetBack(), nullptr);
        EXPECT_EQ(app.GetBack()->GetWidth(), c.iWidth);
        EXPECT_EQ(app.GetBack()->GetHeight(), c.iHeight);
        for (int iSize : g_aLadder)
            for (const char* pBase : {"vornfonts_", "vornlobby_"})
            {
                const std::string strPack = pBase + std::to_string(iSize) + ".kmp";
                CKorvelString strPath;
                IKorvelApplication::BuildFilepath(strPath, CKorvelString(strPack.c_str()));
                EXPECT_EQ(app.HavePack(strPath), iSize == c.iLadder ? 1 : 0) << strPack;
            }

        const std::string strSize = std::to_string(c.iLadder);
        for (const std::string& strPack : {std::string("vornsounds.kmp"), std::string("vornlayouts.kmp"),
                                           "vornfonts_" + strSize + ".kmp", "vornlobby_" + strSize + ".kmp"})
        {
            const std::vector<std::string> aItems = ItemNames(strPack);
            ASSERT_FALSE(aItems.empty()) << strPack;
            for (const std::string& strItem : aItems)
            {
                const std::string strFile = strItem.substr(1);
                const std::string strExt = strFile.substr(strFile.rfind('.') + 1);
                const CKorvelString strName(strFile.c_str());
                SCOPED_TRACE(strPack + " " + strFile);
                if (strExt == "png" || strExt == "jpg")
                {
                    CKorvelSurface* pSurface = app.GetSurface(strName);
                    ASSERT_NE(pSurface, nullptr);
                    EXPECT_GT(pSurface->GetWidth(), 0);
                    app.ReleaseSurface(pSurface);
                }
                else if (strExt == "fnt")
                {
                    CKorvelBitmapFont* pFont = app.GetFont(strName);
                    ASSERT_NE(pFont, nullptr);
                    EXPECT_NE(pFont->GetCharInfo('A'), nullptr);
                    app.ReleaseFont(pFont);
                }
                else if (strExt == "wav" || strExt == "ogg")
                {
                    CKorvelSoundWave* pWave = app.GetSound(strName, 1, 0);
                    ASSERT_NE(pWave, nullptr);
                    EXPECT_GT(pWave->GetLength(), 0u);
                    app.ReleaseSound(pWave);
                }
                else if (strExt == "xml")
                {
                    unsigned char* pData = nullptr;
                    const unsigned int uSize = app.GetFileData(strName, &pData);
                    ASSERT_NE(pData, nullptr);
                    EXPECT_EQ(std::string(reinterpret_cast<char*>(pData), uSize), ItemData(strPack, strFile));
                    delete[] pData;
                }
                else
                    EXPECT_EQ(strFile, "kmp.meta");
            }
        }
        EXPECT_TRUE(app.RunSplash());
        EXPECT_EQ(app.GetLobbyState(), app.m_pTestLobby);
    }
}
