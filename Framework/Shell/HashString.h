// A string with its cached 32-bit hash: the key of the framework's name-keyed maps, which
// order such keys by hash first and then by text.
#pragma once

#include "KorvelCommon/KorvelString.h"

#include <cstdint>

// FNV-1a variant taking 8 bytes per multiplication (prime 709607).
uint32_t FNV1A_Hash_Jesteress(const char* pBytes, unsigned int uLength);

class CHashString
{
public:
    CHashString();
    CHashString(const CKorvelString& strText);
    CHashString(const char* pText);
    CHashString(const wchar_t* pText);
    // Copies carry the hash; nothing is hashed again.
    CHashString(const CHashString& other) = default;
    CHashString& operator=(const CHashString& other) = default;
    ~CHashString() = default;

    // The hash of the text's 16-bit units as little-endian bytes.
    static uint32_t Hash(const CKorvelString& strText);

    uint32_t GetHash() const { return m_uHash; }
    CKorvelString GetString() const { return m_strText; }
    const CKorvelString& GetText() const { return m_strText; }

    // Hash (unsigned) first, then the texts: -1, 0 or 1.
    int Compare(const CHashString& other) const
    {
        if (m_uHash != other.m_uHash)
            return m_uHash < other.m_uHash ? -1 : 1;
        return m_strText.Compare(other.m_strText);
    }

private:
    CKorvelString m_strText;
    uint32_t m_uHash;
};
