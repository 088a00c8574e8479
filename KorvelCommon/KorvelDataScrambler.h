// Symmetric byte scrambler of keyed media packs: scrambling and descrambling are
// the same XOR with a fixed table, indexed by the password built from the key.
#pragma once
#include "KorvelCommon/KorvelTypes.h"

class CKorvelString;

class CKorvelDataScrambler
{
public:
    enum
    {
        TABLE_SIZE = 128,
        MIN_KEY_LENGTH = 3,
        MIRROR_BELOW = 63 // keys shorter than this are mirrored into the password
    };

    CKorvelDataScrambler() = default;
    virtual ~CKorvelDataScrambler() = default;
    static CKorvelDataScrambler* New();

    // A key of fewer than 63 units gives the key followed by its units in reverse
    // order; a longer key is the password unchanged.
    void BuildPwd(const CKorvelString& strKey, CKorvelString& strPwd) const;
    // 2 with the data untouched for a null block, size 0 or a key under 3 units.
    KE_RETVAL Scramble(const CKorvelString& strKey, void* pData, unsigned int uSize) const;
    KE_RETVAL DeScramble(const CKorvelString& strKey, void* pData, unsigned int uSize) const
    {
        return Scramble(strKey, pData, uSize);
    }
};
