// The layout check: every area of an area file, with its imports from the same pack,
// yields the widgets the lobby needs, and the files keep to what the XML reader reads.
#include "tools/packtool/KmpLayoutCheck.h"
#include "tools/packtool/KmpPackBuilder.h"

#include "support/TestTempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
const char* g_pPages =
    "<layout>\n"
    "  <element name=\"menu_root\" type=\"page_layout\">\n"
    "    <history max-size=\"4\"/>\n"
    "    <element name=\"shop_root\"><element name=\"shop_page_list\" type=\"infinite_list\"/></element>\n"
    "    <element name=\"items\"><element name=\"my_items_page_list\" type=\"infinite_list\"/></element>\n"
    "  </element>\n"
    "  <import path=\"button.xml\"/>\n"
    "  <import path=\"rest.xml\"/>\n"
    "</layout>\n";
const char* g_pButton = "<layout><element name=\"vorn_button_root\">"
                        "<element name=\"vorn_button\" type=\"button\"/></element></layout>\n";

// Every other widget the lobby needs, as the tool's own list names them.
std::string Rest(const std::string& strAreaFile = "menu_root.xml", const std::string& strLeftOut = "")
{
    std::string strRest = "<layout>\n";
    for (const sKmpRequiredWidget& widget : KmpRequiredWidgets(strAreaFile))
    {
        const std::string strName = widget.pName;
        if (strAreaFile == "menu_root.xml" &&
            (strName == "menu_root" || strName == "vorn_button_root" || strName == "vorn_button" ||
             strName == "shop_page_list" || strName == "my_items_page_list"))
            continue;
        if (strName != strLeftOut)
            strRest += "<element name=\"" + strName + "\" type=\"" + widget.pType + "\"/>\n";
    }
    return strRest + "</layout>\n";
}

std::string Areas(const std::string& strSecondArea = "<import path=\"pages.xml\"/>")
{
    return "<?xml version=\"1.0\"?>\n<!-- areas -->\n<menu>\n"
           "  <area width=\"1024\" height=\"600\" name=\"menu_root\"><import path=\"pages.xml\"/></area>\n"
           "  <area width=\"320\" height=\"240\" name=\"menu_root\">" +
           strSecondArea + "</area>\n</menu>\n";
}

std::string Replaced(std::string strText, const std::string& strFrom, const std::string& strTo)
{
    strText.replace(strText.find(strFrom), strFrom.size(), strTo);
    return strText;
}

sKmpItem Item(const std::string& strName, const std::string& strText)
{
    return sKmpItem{strName, std::vector<unsigned char>(strText.begin(), strText.end()), strName};
}

// Checks the area file in a pack of the given files; "" when it passes.
std::string Check(const std::string& strAreas, const std::string& strPages = g_pPages,
                  const std::string& strButton = g_pButton)
{
    CTestTempDir dir;
    std::string strError;
    if (!KmpWritePack(dir.File("l.kmp"),
                      {Item("/menu_root.xml", strAreas), Item("/pages.xml", strPages),
                       Item("/button.xml", strButton), Item("/rest.xml", Rest())},
                      "", strError))
        return "pack: " + strError;
    return KmpCheckLayout(dir.File("l.kmp"), "menu_root.xml", strError) ? "" : strError;
}
} // namespace

TEST(KmpLayoutCheck, EveryAreaMustYieldTheLobbysWidgets)
{
    EXPECT_EQ(Check(Areas()), "");
    // The same widgets straight in the area, and imports gated to this build, count as well.
    EXPECT_EQ(
        Check(Areas("<import path=\"button.xml\" platform_id=\"5 13\"/><import path=\"rest.xml\"/>"
                    "<element name=\"menu_root\" type=\"page_layout\"><history max-size=\"1\"/></element>"
                    "<element name=\"shop_page_list\" type=\"infinite_list\"/>"
                    "<element name=\"my_items_page_list\" type=\"infinite_list\"/>")),
        "");
    const std::string strArea1 = "menu_root.xml, area 1024x600 'menu_root': no widget ";
    const std::string strArea2 = "menu_root.xml, area 320x240 'menu_root': no widget ";
    const struct
    {
        std::string strAreas, strPages, strButton, strError;
    } aCases[] = {
        {Areas(), g_pPages, Replaced(g_pButton, "\"vorn_button\"", "\"other\""),
         strArea1 + "'vorn_button' of type 'button'"},
        {Areas(), g_pPages, Replaced(g_pButton, "type=\"button\"", "type=\"toggle_button\""),
         strArea1 + "'vorn_button' of type 'button'"},
        {Areas(), g_pPages, Replaced(g_pButton, "vorn_button_root", "root"), strArea1 + "'vorn_button_root'"},
        {Areas(), Replaced(g_pPages, "max-size=\"4\"", "max-size=\"0\""), g_pButton,
         strArea1 + "'menu_root' of type 'page_layout' with a history above 0"},
        {Areas(), Replaced(g_pPages, "\"shop_page_list\" type=\"infinite_list\"", "\"shop_page_list\""),
         g_pButton, strArea1 + "'shop_page_list' of type 'infinite_list'"},
        {Areas(), Replaced(g_pPages, "my_items_page_list", "my_items"), g_pButton,
         strArea1 + "'my_items_page_list' of type 'infinite_list'"},
        {Areas("<import path=\"button.xml\"/>"), g_pPages, g_pButton, strArea2 + "'menu_root'"},
        {Areas("<import path=\"pages.xml\" platform_id_not=\"13\"/>"), g_pPages, g_pButton,
         strArea2 + "'menu_root'"},
        {Areas("<import path=\"pages.xml\" renderer=\"gl3\"/>"), g_pPages, g_pButton,
         strArea2 + "'menu_root'"},
        {Areas("<import path=\"gone.xml\"/>"), g_pPages, g_pButton,
         "area 320x240 'menu_root': the pack has no 'gone.xml'"},
        {Areas(), g_pPages, "<layout><import path=\"button.xml\"/></layout>", "imports nest deeper than 16"},
        {"<menu/>", g_pPages, g_pButton, "menu_root.xml: no area"}};
    for (const auto& c : aCases)
        EXPECT_NE(Check(c.strAreas, c.strPages, c.strButton).find(c.strError), std::string::npos)
            << c.strError << "\n  got: " << Check(c.strAreas, c.strPages, c.strButton);
    // A second area of one size is never chosen, so it is not checked either.
    EXPECT_EQ(
        Check(Replaced(Areas("<import path=\"button.xml\"/>"), "320\" height=\"240", "1024\" height=\"600")),
        "");
}

// The toast's and the advertisement's area files are held to their own widgets, not the lobby's.
TEST(KmpLayoutCheck, TheOverlaysAreaFilesNeedTheirOwnWidgets)
{
    for (const char* pFile : {"toast-root.xml", "ad-root.xml"})
    {
        SCOPED_TRACE(pFile);
        const std::string strAreas = "<overlay><area width=\"800\" height=\"480\" name=\"o\">"
                                     "<import path=\"rest.xml\"/></area></overlay>\n";
        const std::vector<sKmpRequiredWidget> aRequired = KmpRequiredWidgets(pFile);
        ASSERT_FALSE(aRequired.empty());
        for (const std::string& strLeftOut : {std::string(), std::string(aRequired.back().pName)})
        {
            CTestTempDir dir;
            std::string strError;
            ASSERT_TRUE(KmpWritePack(
                dir.File("o.kmp"),
                {Item(std::string("/") + pFile, strAreas), Item("/rest.xml", Rest(pFile, strLeftOut))}, "",
                strError));
            const bool bPassed = KmpCheckLayout(dir.File("o.kmp"), pFile, strError);
            EXPECT_EQ(bPassed, strLeftOut.empty()) << strError;
            if (!strLeftOut.empty())
            {
                EXPECT_NE(strError.find("area 800x480 'o': no widget '" + strLeftOut + "'"),
                          std::string::npos)
                    << strError;
            }
        }
    }
}

TEST(KmpLayoutCheck, TextsTheEngineReaderWouldMisreadAreRefusedWithTheirLine)
{
    const struct
    {
        std::string strText, strProblem;
    } aCases[] = {{"<a>\n<b\tname=\"x\"/></a>", "line 2: a tab inside a tag"},
                  {"<a>\r\n</a>", "line 1: a CR"},
                  {"<a>\n\n<b name='x'/></a>", "line 3: a single-quoted attribute value"},
                  {"<a><b path=\"x>y\"/></a>", "line 1: a '>' inside an attribute value"},
                  {"<a><b target=\"<menu_root\"/></a>", "line 1: a '<' inside an attribute value"},
                  {"<a><![CDATA[x]]></a>", "line 1: a CDATA section"},
                  {"<a><b name=\"&#45;\"/></a>", "line 1: a numeric character reference"},
                  {"<a><!-- never ends </a>", "line 1: a comment that does not end"}};
    for (const auto& c : aCases)
        EXPECT_EQ(KmpLayoutTextProblem(c.strText).rfind(c.strProblem, 0), 0u)
            << KmpLayoutTextProblem(c.strText);
    // Comments may hold anything; entities and text outside tags are fine.
    EXPECT_EQ(KmpLayoutTextProblem("<?xml version=\"1.0\"?>\n<!-- it's \"a\" > b\n\t-->\n"
                                   "<a>x > y<b target=\"&lt;menu_root\" text=\"it&apos;s\"/></a>"),
              "");
    EXPECT_NE(Check(Replaced(Areas(), "<area width", "<area\twidth")).find("menu_root.xml: line 4: a tab"),
              std::string::npos);
}
