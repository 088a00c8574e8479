// The description text "ach_EN.txt": tokens separated by spaces, newlines and tabs
// (a carriage return belongs to its token), with blocks
//   achievement <id> { name "..." description "..." surfaceName "..." }
// whose keys may come in any order; nested blocks inside are skipped.
#include "AchievementStation/VornAchievement.h"
#include "AchievementStation/VornAchievementGame.h"
#include "AchievementStation/VornAchievementStation.h"

namespace
{
class CTokenReader
{
public:
    explicit CTokenReader(const CKorvelString& strText)
        : m_strText(strText), m_pText(strText.GetBuffer()), m_iLength(strText.GetLength()), m_iPos(0)
    {
        // A byte-order mark in either order is skipped.
        if (m_iLength > 0 && (m_pText[0] == 0xFEFF || m_pText[0] == 0xFFFE))
            m_iPos = 1;
    }

    // The next token; empty at the end of the text.
    CKorvelString Next()
    {
        while (m_iPos < m_iLength && IsSeparator(m_pText[m_iPos]))
            ++m_iPos;
        const int iStart = m_iPos;
        while (m_iPos < m_iLength && !IsSeparator(m_pText[m_iPos]))
            ++m_iPos;
        return Range(iStart, m_iPos);
    }

    // The text between the next double quote and the one after it (or the end).
    CKorvelString Quoted()
    {
        while (m_iPos < m_iLength && m_pText[m_iPos] != '"')
            ++m_iPos;
        const int iStart = m_iPos < m_iLength ? m_iPos + 1 : m_iPos;
        m_iPos = iStart;
        while (m_iPos < m_iLength && m_pText[m_iPos] != '"')
            ++m_iPos;
        const CKorvelString strValue = Range(iStart, m_iPos);
        if (m_iPos < m_iLength)
            ++m_iPos;
        return strValue;
    }

private:
    static bool IsSeparator(unsigned short u) { return u == ' ' || u == '\n' || u == '\t'; }
    CKorvelString Range(int iStart, int iEnd) const
    {
        return iEnd > iStart ? m_strText.Mid(iStart, iEnd - iStart) : CKorvelString();
    }

    const CKorvelString& m_strText;
    const unsigned short* m_pText;
    int m_iLength;
    int m_iPos;
};

bool Is(const CKorvelString& strToken, const wchar_t* pText)
{
    return strToken.Compare(CKorvelString(pText)) == 0;
}

// Skips to the "}" that closes a block whose "{" was just read.
void SkipBlock(CTokenReader& reader)
{
    int iDepth = 1;
    for (CKorvelString strToken = reader.Next(); strToken.GetLength() > 0; strToken = reader.Next())
    {
        if (Is(strToken, L"{"))
            ++iDepth;
        else if (Is(strToken, L"}") && --iDepth == 0)
            return;
    }
}

void ReadAchievement(CTokenReader& reader, CVornAchievementGame* pGame)
{
    int iId = 0;
    reader.Next().Scan(L"%d", &iId);
    if (!Is(reader.Next(), L"{"))
        return;
    CKorvelString strName, strDescription, strImage;
    for (CKorvelString strToken = reader.Next(); strToken.GetLength() > 0 && !Is(strToken, L"}");
         strToken = reader.Next())
    {
        if (Is(strToken, L"name"))
            strName = reader.Quoted();
        else if (Is(strToken, L"description"))
            strDescription = reader.Quoted();
        else if (Is(strToken, L"surfaceName"))
            strImage = reader.Quoted();
        else if (Is(strToken, L"{"))
            SkipBlock(reader);
    }
    if (strName.GetLength() == 0 || !pGame)
        return;
    CVornAchievement* pAchievement = pGame->AddAchievement(iId, strName, strDescription, 0, 0);
    if (pAchievement)
        pAchievement->SetLocal(1, strImage);
}
} // namespace

void CVornAchievementStation::ReadAchievementDescriptions(const CKorvelString& strText)
{
    CVornAchievementGame* pGame = GetGame(m_iGameId);
    CTokenReader reader(strText);
    int iDepth = 0;
    for (CKorvelString strToken = reader.Next(); strToken.GetLength() > 0; strToken = reader.Next())
    {
        if (iDepth == 0 && Is(strToken, L"achievement"))
            ReadAchievement(reader, pGame);
        else if (Is(strToken, L"{"))
            ++iDepth;
        else if (Is(strToken, L"}") && iDepth > 0)
            --iDepth;
    }
}
