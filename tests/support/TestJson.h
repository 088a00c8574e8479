// A small JSON reader for what test helpers read back (the lobby server's control
// answers). Objects keep their members in order; a missing member reads as null.
#pragma once
#include <string>
#include <vector>

class CTestJson
{
public:
    enum eKIND
    {
        eJSON_NULL,
        eJSON_BOOL,
        eJSON_NUMBER,
        eJSON_STRING,
        eJSON_ARRAY,
        eJSON_OBJECT
    };

    // The whole text must be one value (white space around it allowed). On failure
    // the result is null and strError says where.
    static bool Parse(const std::string& strText, CTestJson& value, std::string& strError);
    // A JSON string literal (quotes and escapes) for building commands.
    static std::string Quote(const std::string& strText);

    eKIND Kind() const { return m_eKind; }
    bool IsNull() const { return m_eKind == eJSON_NULL; }
    bool Bool() const { return m_eKind == eJSON_BOOL && m_bValue; }
    double Number() const { return m_eKind == eJSON_NUMBER ? m_dValue : 0.0; }
    long long Int() const { return (long long)Number(); }
    const std::string& String() const { return m_strValue; }

    // Array elements or object member values, in order.
    const std::vector<CTestJson>& Items() const { return m_aItems; }
    const std::vector<std::string>& Keys() const { return m_astrKeys; }
    size_t Size() const { return m_aItems.size(); }
    const CTestJson& operator[](size_t uIndex) const;
    const CTestJson& operator[](int iIndex) const
    {
        return iIndex < 0 ? (*this)[Size()] : (*this)[(size_t)iIndex];
    }
    const CTestJson& operator[](const std::string& strKey) const;
    const CTestJson& operator[](const char* pKey) const { return (*this)[std::string(pKey)]; }
    bool Has(const std::string& strKey) const;

private:
    friend class CTestJsonReader;

    eKIND m_eKind = eJSON_NULL;
    bool m_bValue = false;
    double m_dValue = 0.0;
    std::string m_strValue;
    std::vector<CTestJson> m_aItems;
    std::vector<std::string> m_astrKeys; // objects: one per item
};
