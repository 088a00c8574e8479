#include "KorvelInput/KorvelEvent.h"

#include "KorvelCommon/KorvelFile.h"

void CKorvelEvent::Copy(const CKorvelEvent& other)
{
    m_iType = other.m_iType;
    m_iIndex = other.m_iIndex;
    m_iX = other.m_iX;
    m_iY = other.m_iY;
    m_iWheel = other.m_iWheel;
    m_iKey = other.m_iKey;
    m_iChar = other.m_iChar;
}

int CKorvelEvent::Load(CKorvelFile& file)
{
    int* aFields[7] = {&m_iType, &m_iIndex, &m_iX, &m_iY, &m_iWheel, &m_iKey, &m_iChar};
    for (int* pField : aFields)
    {
        unsigned char aBytes[4];
        if (file.Read(aBytes, 4) != 4)
            return 0;
        *pField = static_cast<int>(aBytes[0] | (aBytes[1] << 8) | (aBytes[2] << 16) |
                                   (static_cast<unsigned int>(aBytes[3]) << 24));
    }
    return 1;
}

void CKorvelEvent::Save(CKorvelFile& file) const
{
    const int aFields[7] = {m_iType, m_iIndex, m_iX, m_iY, m_iWheel, m_iKey, m_iChar};
    unsigned char aBytes[FILE_SIZE];
    for (int i = 0; i < 7; ++i)
    {
        for (int b = 0; b < 4; ++b)
            aBytes[4 * i + b] = static_cast<unsigned char>(static_cast<unsigned int>(aFields[i]) >> (8 * b));
    }
    file.Write(aBytes, FILE_SIZE);
}
