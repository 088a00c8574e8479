// Language texts used as formats with the program's values. Packs can come from the
// server, so a text's conversions are checked against the values before anything is
// substituted: "%d" takes an integer, "%s" a text, "%%" is a percent sign, and nothing
// else is understood. A text whose conversions do not match in number, order and type
// is shown as it stands.
#pragma once

#include <initializer_list>

#include "KorvelCommon/KorvelString.h"

class CVornTextFormat
{
public:
    // One value for a conversion: an integer or a text (kept by reference).
    class CArg
    {
    public:
        CArg(int iValue) : m_pText(nullptr), m_iValue(iValue) {}
        CArg(const CKorvelString& strText) : m_pText(&strText), m_iValue(0) {}

        bool IsText() const { return m_pText != nullptr; }
        const CKorvelString& Text() const { return *m_pText; }
        int Value() const { return m_iValue; }

    private:
        const CKorvelString* m_pText;
        int m_iValue;
    };

    // The text with its conversions replaced by the values, or the text unchanged when
    // they do not match.
    static CKorvelString Format(const CKorvelString& strFormat, std::initializer_list<CArg> args);
    // Whether the text's conversions match the values.
    static bool Matches(const CKorvelString& strFormat, std::initializer_list<CArg> args);

private:
    // Writes the result into pOut when given; false at the first mismatch.
    static bool Substitute(const CKorvelString& strFormat, std::initializer_list<CArg> args,
                           CKorvelString* pOut);
};
