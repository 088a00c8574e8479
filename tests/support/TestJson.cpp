#include "support/TestJson.h"

#include <cstdio>
#include <cstdlib>

namespace
{
const int MAX_DEPTH = 64;

void AppendUtf8(std::string& strOut, unsigned long uCode)
{
    if (uCode < 0x80)
        strOut += (char)uCode;
    else if (uCode < 0x800)
    {
        strOut += (char)(0xC0 | (uCode >> 6));
        strOut += (char)(0x80 | (uCode & 0x3F));
    }
    else if (uCode < 0x10000)
    {
        strOut += (char)(0xE0 | (uCode >> 12));
        strOut += (char)(0x80 | ((uCode >> 6) & 0x3F));
        strOut += (char)(0x80 | (uCode & 0x3F));
    }
    else
    {
        strOut += (char)(0xF0 | (uCode >> 18));
        strOut += (char)(0x80 | ((uCode >> 12) & 0x3F));
        strOut += (char)(0x80 | ((uCode >> 6) & 0x3F));
        strOut += (char)(0x80 | (uCode & 0x3F));
    }
}

const CTestJson& Null()
{
    static const CTestJson null;
    return null;
}
} // namespace

// Recursive descent over the text; every read is bounded by its end.
class CTestJsonReader
{
public:
    explicit CTestJsonReader(const std::string& strText) : m_strText(strText) {}

    bool Document(CTestJson& value)
    {
        if (!Value(value, 0))
            return false;
        Space();
        return m_uPos == m_strText.size() || Fail("text after the value");
    }

    std::string m_strError;

private:
    bool Fail(const char* pWhat)
    {
        if (m_strError.empty())
            m_strError = std::string(pWhat) + " at " + std::to_string(m_uPos);
        return false;
    }
    void Space()
    {
        while (m_uPos < m_strText.size() && (m_strText[m_uPos] == ' ' || m_strText[m_uPos] == '\t' ||
                                             m_strText[m_uPos] == '\n' || m_strText[m_uPos] == '\r'))
            ++m_uPos;
    }
    bool Literal(const char* pWord)
    {
        const std::string strWord(pWord);
        if (m_strText.compare(m_uPos, strWord.size(), strWord) != 0)
            return Fail("unknown literal");
        m_uPos += strWord.size();
        return true;
    }

    bool Value(CTestJson& value, int iDepth)
    {
        if (iDepth > MAX_DEPTH)
            return Fail("nesting too deep");
        Space();
        if (m_uPos >= m_strText.size())
            return Fail("missing value");
        const char c = m_strText[m_uPos];
        if (c == '{')
            return Object(value, iDepth);
        if (c == '[')
            return Array(value, iDepth);
        if (c == '"')
        {
            value.m_eKind = CTestJson::eJSON_STRING;
            return String(value.m_strValue);
        }
        if (c == 't' || c == 'f')
        {
            value.m_eKind = CTestJson::eJSON_BOOL;
            value.m_bValue = c == 't';
            return Literal(c == 't' ? "true" : "false");
        }
        if (c == 'n')
            return Literal("null");
        return Number(value);
    }

    bool Number(CTestJson& value)
    {
        const size_t uStart = m_uPos;
        while (m_uPos < m_strText.size() &&
               std::string("+-0123456789.eE").find(m_strText[m_uPos]) != std::string::npos)
            ++m_uPos;
        const std::string strNumber = m_strText.substr(uStart, m_uPos - uStart);
        char* pEnd = nullptr;
        value.m_dValue = strtod(strNumber.c_str(), &pEnd);
        if (strNumber.empty() || pEnd != strNumber.c_str() + strNumber.size())
            return Fail("bad number");
        value.m_eKind = CTestJson::eJSON_NUMBER;
        return true;
    }

    bool Hex4(unsigned long& uCode)
    {
        if (m_strText.size() - m_uPos < 4)
            return Fail("short \\u escape");
        uCode = 0;
        for (int i = 0; i < 4; ++i)
        {
            const char c = m_strText[m_uPos++];
            const int iDigit = c >= '0' && c <= '9'   ? c - '0'
                               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
            if (iDigit < 0)
                return Fail("bad \\u escape");
            uCode = uCode * 16 + (unsigned long)iDigit;
        }
        return true;
    }

    bool String(std::string& strOut)
    {
        ++m_uPos; // opening quote
        for (;;)
        {
            if (m_uPos >= m_strText.size())
                return Fail("unterminated string");
            const char c = m_strText[m_uPos++];
            if (c == '"')
                return true;
            if (c != '\\')
            {
                strOut += c;
                continue;
            }
            if (m_uPos >= m_strText.size())
                return Fail("unterminated escape");
            const char e = m_strText[m_uPos++];
            const std::string strFrom("\"\\/bfnrt"), strTo("\"\\/\b\f\n\r\t");
            if (strFrom.find(e) != std::string::npos)
            {
                strOut += strTo[strFrom.find(e)];
                continue;
            }
            unsigned long uCode = 0;
            if (e != 'u' || !Hex4(uCode))
                return Fail("bad escape");
            // A high surrogate followed by an escaped low one is one character.
            if (uCode >= 0xD800 && uCode < 0xDC00 && m_strText.compare(m_uPos, 2, "\\u") == 0)
            {
                const size_t uBack = m_uPos;
                m_uPos += 2;
                unsigned long uLow = 0;
                if (Hex4(uLow) && uLow >= 0xDC00 && uLow < 0xE000)
                    uCode = 0x10000 + ((uCode - 0xD800) << 10) + (uLow - 0xDC00);
                else
                {
                    m_strError.clear();
                    m_uPos = uBack;
                }
            }
            AppendUtf8(strOut, uCode);
        }
    }

    bool Array(CTestJson& value, int iDepth)
    {
        value.m_eKind = CTestJson::eJSON_ARRAY;
        ++m_uPos;
        Space();
        if (m_uPos < m_strText.size() && m_strText[m_uPos] == ']')
            return ++m_uPos, true;
        for (;;)
        {
            value.m_aItems.emplace_back();
            if (!Value(value.m_aItems.back(), iDepth + 1))
                return false;
            Space();
            if (m_uPos >= m_strText.size())
                return Fail("unterminated array");
            const char c = m_strText[m_uPos++];
            if (c == ']')
                return true;
            if (c != ',')
                return Fail("expected , or ]");
        }
    }

    bool Object(CTestJson& value, int iDepth)
    {
        value.m_eKind = CTestJson::eJSON_OBJECT;
        ++m_uPos;
        Space();
        if (m_uPos < m_strText.size() && m_strText[m_uPos] == '}')
            return ++m_uPos, true;
        for (;;)
        {
            Space();
            if (m_uPos >= m_strText.size() || m_strText[m_uPos] != '"')
                return Fail("expected a member name");
            value.m_astrKeys.emplace_back();
            if (!String(value.m_astrKeys.back()))
                return false;
            Space();
            if (m_uPos >= m_strText.size() || m_strText[m_uPos++] != ':')
                return Fail("expected :");
            value.m_aItems.emplace_back();
            if (!Value(value.m_aItems.back(), iDepth + 1))
                return false;
            Space();
            if (m_uPos >= m_strText.size())
                return Fail("unterminated object");
            const char c = m_strText[m_uPos++];
            if (c == '}')
                return true;
            if (c != ',')
                return Fail("expected , or }");
        }
    }

    const std::string& m_strText;
    size_t m_uPos = 0;
};

bool CTestJson::Parse(const std::string& strText, CTestJson& value, std::string& strError)
{
    value = CTestJson();
    CTestJsonReader reader(strText);
    if (reader.Document(value))
        return true;
    value = CTestJson();
    strError = reader.m_strError;
    return false;
}

std::string CTestJson::Quote(const std::string& strText)
{
    std::string strOut = "\"";
    for (const char c : strText)
    {
        if (c == '"' || c == '\\')
            strOut += std::string("\\") + c;
        else if ((unsigned char)c < 0x20)
        {
            char aEscape[8];
            snprintf(aEscape, sizeof(aEscape), "\\u%04x", (unsigned)(unsigned char)c);
            strOut += aEscape;
        }
        else
            strOut += c;
    }
    return strOut + "\"";
}

const CTestJson& CTestJson::operator[](size_t uIndex) const
{
    return uIndex < m_aItems.size() ? m_aItems[uIndex] : Null();
}

const CTestJson& CTestJson::operator[](const std::string& strKey) const
{
    for (size_t i = 0; i < m_astrKeys.size(); ++i)
        if (m_astrKeys[i] == strKey)
            return m_aItems[i];
    return Null();
}

bool CTestJson::Has(const std::string& strKey) const
{
    for (const std::string& strName : m_astrKeys)
        if (strName == strKey)
            return true;
    return false;
}
