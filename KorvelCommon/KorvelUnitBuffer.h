// A growable work buffer of 16-bit units for building texts that end up in a
// CKorvelString: grows geometrically, never past its limit, and never throws.
#pragma once
#include <cstring>
#include <new>

class CKorvelUnitBuffer
{
public:
    explicit CKorvelUnitBuffer(int iLimit) : m_pData(nullptr), m_iCount(0), m_iCapacity(0), m_iLimit(iLimit)
    {
    }
    ~CKorvelUnitBuffer() { delete[] m_pData; }
    CKorvelUnitBuffer(const CKorvelUnitBuffer&) = delete;
    CKorvelUnitBuffer& operator=(const CKorvelUnitBuffer&) = delete;

    // False when the limit is reached or memory ran out; the unit is then dropped.
    bool Add(unsigned short uUnit)
    {
        if (m_iCount >= m_iCapacity && !Grow(m_iCount + 1))
            return false;
        m_pData[m_iCount++] = uUnit;
        return true;
    }

    // Adds as many of the iCount units as fit; false when not all did.
    bool Add(const unsigned short* pUnits, int iCount)
    {
        if (iCount <= 0)
            return true;
        if (iCount > m_iCapacity - m_iCount)
            Grow(iCount > m_iLimit - m_iCount ? m_iLimit : m_iCount + iCount);
        int iFit = iCount < m_iCapacity - m_iCount ? iCount : m_iCapacity - m_iCount;
        if (iFit <= 0)
            return false;
        memcpy(m_pData + m_iCount, pUnits, sizeof(unsigned short) * iFit);
        m_iCount += iFit;
        return iFit == iCount;
    }

    int Count() const { return m_iCount; }
    int Room() const { return m_iLimit - m_iCount; }
    const unsigned short* Data() const { return m_pData; }

private:
    bool Grow(int iNeeded)
    {
        if (iNeeded > m_iLimit)
            iNeeded = m_iLimit;
        if (iNeeded <= m_iCapacity)
            return false;
        int iCapacity = m_iCapacity < 256 ? 256 : m_iCapacity;
        while (iCapacity < iNeeded)
            iCapacity = iCapacity > m_iLimit / 2 ? m_iLimit : iCapacity * 2;
        if (iCapacity > m_iLimit)
            iCapacity = m_iLimit;
        unsigned short* pData = new (std::nothrow) unsigned short[iCapacity];
        if (!pData)
            return false;
        if (m_iCount)
            memcpy(pData, m_pData, sizeof(unsigned short) * m_iCount);
        delete[] m_pData;
        m_pData = pData;
        m_iCapacity = iCapacity;
        return true;
    }

    unsigned short* m_pData;
    int m_iCount;
    int m_iCapacity;
    int m_iLimit;
};
