// CKorvelXMLDataNode: writing XML that the parser reads back, and the
// brace-notation token reader.
#include "KorvelCommon/KorvelXMLDataNode.h"

#include "KorvelCommon/KorvelFile.h"
#include "KorvelCommon/KorvelXMLText.h"

#include <cstring>

// --- writing ------------------------------------------------------------------------------

KE_RETVAL CKorvelXMLDataNode::Save(CKorvelFile& file, unsigned char bHeader, int iDepth)
{
    std::string strOut;
    if (bHeader == 1)
        strOut = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n";
    KE_RETVAL iResult = KE_OK;
    if (!m_pName || !m_pName[0])
        iResult = KE_ERR_NOTSTARTED;
    else
        SaveTo(strOut, iDepth);
    if (!strOut.empty() &&
        file.Write(strOut.data(), static_cast<unsigned int>(strOut.size())) != strOut.size())
        return KE_ERR_DEVICE;
    return iResult;
}

namespace
{
bool IsText(const CKorvelXMLDataNode& node)
{
    return strcmp(node.GetName(), "$ORIG_DATA") == 0;
}

// A tag name ending in "--" would form a comment's closing marker with the '>'.
void AppendTagName(std::string& strOut, const char* pTag)
{
    strOut += pTag;
    size_t uLength = strlen(pTag);
    if (uLength >= 2 && pTag[uLength - 1] == '-' && pTag[uLength - 2] == '-')
        strOut += ' ';
}
} // namespace

// Attributes go into the start tag and "$ORIG_DATA" becomes the element's text,
// which is what the reader turns back into the same nodes. Nameless children are
// left out, as a nameless node on its own writes nothing.
void CKorvelXMLDataNode::SaveTo(std::string& strOut, int iDepth) const
{
    if (!m_pName || !m_pName[0])
        return;
    strOut.append(iDepth > 0 ? static_cast<size_t>(iDepth) : 0, '\t');
    const char* pTag = IsAttribute() ? m_pName + 1 : m_pName;
    strOut += '<';
    AppendTagName(strOut, pTag);
    if (IsAttribute())
    {
        strOut += '>';
        KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(m_pData), false);
    }
    else
    {
        const CKorvelXMLDataNode* pText = nullptr;
        bool bElements = false;
        for (const CKorvelXMLDataNode* pChild = m_pFirstChild; pChild; pChild = pChild->m_pNext)
        {
            if (!pChild->m_pName || !pChild->m_pName[0])
                continue;
            if (!pChild->IsAttribute())
                bElements = true;
            else if (IsText(*pChild))
                pText = pText ? pText : pChild;
            else
            {
                strOut += ' ';
                strOut += pChild->m_pName + 1;
                strOut += "=\"";
                KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(pChild->m_pData), true);
                strOut += '"';
            }
        }
        if (bElements)
        {
            strOut += ">\r\n";
            for (const CKorvelXMLDataNode* pChild = m_pFirstChild; pChild; pChild = pChild->m_pNext)
                if (pChild->m_pName && pChild->m_pName[0] && !pChild->IsAttribute())
                    pChild->SaveTo(strOut, iDepth + 1);
            strOut.append(iDepth > 0 ? static_cast<size_t>(iDepth) : 0, '\t');
        }
        else if (pText && pText->m_pData && pText->m_pData[0])
        {
            strOut += '>';
            KorvelXMLAppendEncoded(strOut, reinterpret_cast<const char*>(pText->m_pData), false);
        }
        else
        {
            strOut += "/>\r\n";
            return;
        }
    }
    strOut += "</";
    AppendTagName(strOut, pTag);
    strOut += ">\r\n";
}

// --- brace-notation tokens ---------------------------------------------------------------

namespace
{
bool IsTokenSeparator(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '"' || c == '{' || c == '=';
}

// Moves the file past the next occurrence of c; false at the end of the file.
bool SkipPast(CKorvelFile& file, char c)
{
    char cRead;
    while (file.Read(&cRead, 1) == 1)
        if (cRead == c)
            return true;
    return false;
}
} // namespace

int CKorvelXMLDataNode::GetNextItem(CKorvelFile& file, char* pBuffer, int iMax)
{
    if (!pBuffer || iMax <= 0)
        return 0;
    pBuffer[0] = 0;
    char c;
    for (;;)
    {
        if (file.Read(&c, 1) != 1 || c == '}')
            return 0;
        if (c == ';')
        {
            // A comment runs to the next line end.
            while (file.Read(&c, 1) == 1 && c != '\r' && c != '\n')
            {
            }
            continue;
        }
        if (!IsTokenSeparator(c))
            break;
    }
    int iLength = 0;
    pBuffer[iLength++] = c;
    while (iLength < iMax && file.Read(&c, 1) == 1)
    {
        if (IsTokenSeparator(c))
        {
            // The separator takes part in the search below.
            file.Seek(-1, KET_SEEK_CURRENT);
            break;
        }
        pBuffer[iLength++] = c;
    }
    pBuffer[iLength] = 0;
    if (pBuffer[0] != '$')
        SkipPast(file, '{');
    else if (SkipPast(file, '='))
        SkipPast(file, '"');
    return iLength;
}
