// MD5 digests (RFC 1321), given as 16 bytes or 32 lowercase hex characters.
#pragma once

#include <cstdint>

class CKorvelString;
class CKorvelFile;

class CVornMD5
{
public:
    CVornMD5() {}
    ~CVornMD5() {}

    void Init();
    void Update(const unsigned char* pData, unsigned int uLength);
    void Finalize();

    const unsigned char* GetDigest() const { return m_aDigest; }
    void GetDigestStr(CKorvelString& strOut) const;

    void MD5(const unsigned char* pData, unsigned int uLength);
    // The whole file, whatever its position was; it is read from the start in pieces.
    void MD5(CKorvelFile& file);

private:
    void Transform(const unsigned char* pBlock);

    uint32_t m_aState[4] = {0, 0, 0, 0};
    uint64_t m_uBitCount = 0;
    unsigned char m_aBlock[64] = {};
    unsigned char m_aDigest[16] = {};
};

// Replaces the string by the MD5 of its units narrowed to their low bytes, as 32 lowercase
// hex characters.
void GenerateMD5(CKorvelString& str);
