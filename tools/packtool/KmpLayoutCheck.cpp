#include "tools/packtool/KmpLayoutCheck.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelXMLDataNode.h"

#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <vector>

namespace
{
// What the lobby state, the toast and the advertisement look up before they can work.
const sKmpRequiredWidget g_aLobby[] = {{"menu_root", "page_layout"},
                                       {"vorn_button_root", ""},
                                       {"vorn_button", "button"},
                                       {"shop_page_list", "infinite_list"},
                                       {"my_items_page_list", "infinite_list"},
                                       {"loading_dialog", ""},
                                       {"startup_language_chooser", ""},
                                       {"loginscreen_root", ""},
                                       {"guest_login_button", "button"},
                                       {"user_autologin", "toggle_button"},
                                       {"loginscreen_playername", ""},
                                       {"page_root", ""},
                                       {"button_agree", "toggle_button"},
                                       {"loginscreen_email", ""},
                                       {"loginscreen_confirm", ""},
                                       {"loginscreen_thank", ""},
                                       {"loginscreen_nameconflict", ""},
                                       {"loginscreen_error", ""},
                                       {"button_update", "web_button"},
                                       {"startscreen_root", ""},
                                       {"startscreen", ""},
                                       {"startscreen_ingame", ""},
                                       {"players_root", ""},
                                       {"players_content_root", "page_layout"},
                                       {"playerlist_global", "infinite_list"},
                                       {"playerlist_follow", "infinite_list"},
                                       {"item_template", "expand_layout"},
                                       {"playerlist-item-nasty-buttons", ""},
                                       {"button-report", "web_button"},
                                       {"me_root", ""},
                                       {"list_me", "infinite_list"},
                                       {"tournament_scores_list", "grid_layout"},
                                       {"chat_root", ""},
                                       {"chat_backlog", "running_list"},
                                       {"bubble_chat_submit", "bubble"},
                                       {"rematch-button", "toggle_button"},
                                       {"avatar_list", "infinite_list"},
                                       {"chat_expand_slidearea", "slidearea"},
                                       {"chat_expand_item", "expand_layout"},
                                       {"shop_root", ""},
                                       {"confirm_buy_dialog", ""},
                                       {"confirm_buy_dialog_ingame", ""},
                                       {"selection_list_content", "infinite_list"},
                                       {"selection_gift_list_content", "infinite_list"},
                                       {"generic_error_dialog", ""},
                                       {"generic_error_dialog_ingame", ""},
                                       {"generic_error_dialog_more_coins", ""},
                                       {"challenge_received", ""},
                                       {"challenge_waiting", ""},
                                       {"setting_mute", "toggle_button"},
                                       {"vibration_toggle", "toggle_button"},
                                       {"knob_template", ""},
                                       {"dialog_box", ""},
                                       {"confirm_box", ""},
                                       {"button_moregames", "web_button"},
                                       {"button-tournaments", "web_button"},
                                       {"vorn-turn-clock", "pie"},
                                       {"bubble_join", "bubble"},
                                       {"bubble_return_game", "bubble"},
                                       {"chat-notifier", ""}};
const sKmpRequiredWidget g_aToast[] = {{"toast_hitarea", "button"},         {"toast_bg", "image"},
                                       {"toast_icon_message", "image"},     {"toast_icon_challenge", "image"},
                                       {"toast_icon_achievement", "image"}, {"toast_message", "text"}};
const sKmpRequiredWidget g_aAdvertisement[] = {
    {"adimage", "image"}, {"text_title", "text"}, {"text_closing", "text"}, {"button_close", "button"}};

// Imports nest; a file importing itself must end somewhere.
const int kMaxImportDepth = 16;
// The running build's platform number and renderer, as import gates compare them.
const char* const kPlatformId = "13";
const char* const kRenderer = "gles2";

struct sWIDGET
{
    std::string strName, strType;
    int iHistory;
};

std::string Text(CKorvelXMLDataNode* pNode, const char* pAttribute)
{
    const signed char* pValue = pNode->Get(pAttribute, nullptr);
    return pValue ? reinterpret_cast<const char*>(pValue) : "";
}

bool HasWord(const std::string& strList, const std::string& strWord)
{
    std::istringstream in(strList);
    std::string strOne;
    while (in >> strOne)
        if (strOne == strWord)
            return true;
    return false;
}

// Imports gated to another platform or renderer are not read by this build.
bool ImportApplies(CKorvelXMLDataNode* pImport)
{
    const std::string strIds = Text(pImport, "$platform_id"), strNot = Text(pImport, "$platform_id_not");
    const std::string strRenderer = Text(pImport, "$renderer");
    return (strIds.empty() || HasWord(strIds, kPlatformId)) && !HasWord(strNot, kPlatformId) &&
           (strRenderer.empty() || strRenderer == kRenderer);
}

class CLayoutReader
{
public:
    explicit CLayoutReader(CKorvelMediaPack& pack) : m_Pack(pack) {}
    ~CLayoutReader()
    {
        for (auto& pDoc : m_aDocs)
            pDoc->Shutdown();
    }

    // The root element of a file of the pack, or null with a message.
    CKorvelXMLDataNode* Root(const std::string& strFile, std::string& strError)
    {
        CKorvelMediaPackItem item;
        if (item.Open(m_Pack, CKorvelString(("/" + strFile).c_str()), 0) != KE_OK)
        {
            strError = "the pack has no '" + strFile + "'";
            return nullptr;
        }
        std::vector<signed char> aText(item.GetSize() + 1, 0);
        if (item.GetFile().Read(aText.data(), item.GetSize()) != item.GetSize())
        {
            strError = "reading '" + strFile + "' failed";
            return nullptr;
        }
        const std::string strProblem = KmpLayoutTextProblem(std::string(aText.begin(), aText.end() - 1));
        if (!strProblem.empty())
        {
            strError = strFile + ": " + strProblem;
            return nullptr;
        }
        m_aDocs.emplace_back(new CKorvelXMLDataNode());
        m_aDocs.back()->StartupFromData(aText.data(), item.GetSize());
        for (CKorvelXMLDataNode* pNode = m_aDocs.back()->GetFirstChild(); pNode; pNode = pNode->GetNext())
            if (!pNode->IsAttribute())
                return pNode;
        strError = "'" + strFile + "' holds no element";
        return nullptr;
    }

    // The widgets a layout description makes: its elements and imports, in depth.
    bool Collect(CKorvelXMLDataNode* pDescription, int iDepth, std::vector<sWIDGET>& aOut,
                 std::string& strError)
    {
        for (CKorvelXMLDataNode* pNode = pDescription->GetFirstChild(); pNode; pNode = pNode->GetNext())
        {
            if (std::strcmp(pNode->GetName(), "element") == 0)
            {
                aOut.push_back(
                    {Text(pNode, "$name"), Text(pNode, "$type"), pNode->GetInt("history/$max-size", 0)});
                if (!Collect(pNode, iDepth, aOut, strError))
                    return false;
            }
            else if (std::strcmp(pNode->GetName(), "import") == 0 && ImportApplies(pNode))
            {
                const std::string strPath = Text(pNode, "$path");
                if (!strPath.empty())
                {
                    if (iDepth >= kMaxImportDepth)
                    {
                        strError = "imports nest deeper than " + std::to_string(kMaxImportDepth) + " at '" +
                                   strPath + "'";
                        return false;
                    }
                    CKorvelXMLDataNode* pImported = Root(strPath, strError);
                    if (!pImported || !Collect(pImported, iDepth + 1, aOut, strError))
                        return false;
                }
                if (!Collect(pNode, iDepth, aOut, strError))
                    return false;
            }
        }
        return true;
    }

private:
    CKorvelMediaPack& m_Pack;
    std::vector<std::unique_ptr<CKorvelXMLDataNode>> m_aDocs;
};

std::string MissingWidget(const std::vector<sWIDGET>& aWidgets,
                          const std::vector<sKmpRequiredWidget>& aRequired)
{
    for (const sKmpRequiredWidget& required : aRequired)
    {
        bool bFound = false;
        for (const sWIDGET& widget : aWidgets)
        {
            const bool bHistory = std::strcmp(required.pName, "menu_root") != 0 || widget.iHistory > 0;
            bFound = bFound || (widget.strName == required.pName &&
                                (!required.pType[0] || widget.strType == required.pType) && bHistory);
        }
        if (!bFound)
        {
            std::string strWidget = "'" + std::string(required.pName) + "'";
            if (required.pType[0])
                strWidget += " of type '" + std::string(required.pType) + "'";
            if (std::strcmp(required.pName, "menu_root") == 0)
                strWidget += " with a history above 0";
            return strWidget;
        }
    }
    return "";
}
} // namespace

// The overlays' own area files; any other file is the lobby's.
std::vector<sKmpRequiredWidget> KmpRequiredWidgets(const std::string& strAreaFile)
{
    if (strAreaFile == "toast-root.xml")
        return {std::begin(g_aToast), std::end(g_aToast)};
    if (strAreaFile == "ad-root.xml")
        return {std::begin(g_aAdvertisement), std::end(g_aAdvertisement)};
    return {std::begin(g_aLobby), std::end(g_aLobby)};
}

std::string KmpLayoutTextProblem(const std::string& strText)
{
    int iLine = 1;
    bool bInTag = false;
    char cQuote = 0;
    for (size_t i = 0; i < strText.size(); ++i)
    {
        const char c = strText[i];
        const std::string strAt = "line " + std::to_string(iLine) + ": ";
        if (c == '\n')
            ++iLine;
        if (c == '\r')
            return strAt + "a CR (write LF line ends)";
        if (strText.compare(i, 2, "&#") == 0)
            return strAt + "a numeric character reference (use the character itself)";
        if (cQuote)
        {
            if (c == cQuote)
                cQuote = 0;
            else if (c == '>' || c == '<')
                return strAt + "a '" + std::string(1, c) + "' inside an attribute value (write &gt; or &lt;)";
            continue;
        }
        if (!bInTag)
        {
            if (strText.compare(i, 4, "<!--") == 0)
            {
                const size_t uEnd = strText.find("-->", i + 4);
                for (size_t k = i; k < uEnd && k < strText.size(); ++k)
                    iLine += strText[k] == '\n' ? 1 : 0;
                if (uEnd == std::string::npos)
                    return strAt + "a comment that does not end";
                i = uEnd + 2;
            }
            else if (strText.compare(i, 9, "<![CDATA[") == 0)
                return strAt + "a CDATA section";
            else if (c == '<')
                bInTag = true;
            continue;
        }
        if (c == '>')
            bInTag = false;
        else if (c == '\t')
            return strAt + "a tab inside a tag (separate attributes with spaces)";
        else if (c == '\'')
            return strAt + "a single-quoted attribute value (use double quotes)";
        else if (c == '"')
            cQuote = c;
    }
    return "";
}

bool KmpCheckLayout(const std::string& strPackPath, const std::string& strAreaFile, std::string& strError)
{
    CKorvelMediaPack pack;
    if (pack.Startup(CKorvelString(strPackPath.c_str()), CKorvelString()) != KE_OK)
    {
        strError = "cannot open the pack '" + strPackPath + "'";
        return false;
    }
    CLayoutReader reader(pack);
    CKorvelXMLDataNode* pRoot = reader.Root(strAreaFile, strError);
    if (!pRoot)
        return false;
    CKorvelXMLDataNode* pArea = pRoot->GetFirstChild();
    while (pArea && std::strcmp(pArea->GetName(), "area") != 0)
        pArea = pArea->GetNext();
    if (!pArea)
    {
        strError = strAreaFile + ": no area";
        return false;
    }
    std::set<std::pair<int, int>> setSizes;
    for (; pArea; pArea = pArea->GetNext())
    {
        if (pArea->IsAttribute())
            continue;
        const int iWidth = pArea->GetInt("$width", 1), iHeight = pArea->GetInt("$height", 1);
        // A second area of one size is never chosen.
        if (!setSizes.emplace(iWidth, iHeight).second)
            continue;
        std::string strName = Text(pArea, "$name");
        const std::string strArea = "area " + std::to_string(iWidth) + "x" + std::to_string(iHeight) + " '" +
                                    (strName.empty() ? "rootwidget" : strName) + "'";
        std::vector<sWIDGET> aWidgets;
        if (!reader.Collect(pArea, 0, aWidgets, strError))
        {
            strError = strAreaFile + ", " + strArea + ": " + strError;
            return false;
        }
        const std::string strMissing = MissingWidget(aWidgets, KmpRequiredWidgets(strAreaFile));
        if (!strMissing.empty())
        {
            strError = strAreaFile + ", " + strArea + ": no widget " + strMissing;
            return false;
        }
    }
    return true;
}
