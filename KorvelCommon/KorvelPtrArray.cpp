#include "KorvelCommon/KorvelPtrArray.h"

#include <cstdlib>
#include <cstring>

CKorvelPtrArray::CKorvelPtrArray(const CKorvelPtrArray& other)
{
    *this = other;
}

CKorvelPtrArray& CKorvelPtrArray::operator=(const CKorvelPtrArray& other)
{
    if (this == &other)
        return *this;
    Clear();
    if (other.m_iCount > 0)
    {
        int iSlots = other.m_iCount + other.m_iFree;
        m_ppData = static_cast<void**>(malloc(sizeof(void*) * iSlots));
        if (m_ppData)
        {
            memcpy(m_ppData, other.m_ppData, sizeof(void*) * other.m_iCount);
            m_iCount = other.m_iCount;
            m_iFree = other.m_iFree;
        }
    }
    return *this;
}

int CKorvelPtrArray::Grow()
{
    void** pNew = static_cast<void**>(malloc(sizeof(void*) * (m_iCount + 5)));
    if (!pNew)
        return 0;
    if (m_ppData)
    {
        memcpy(pNew, m_ppData, sizeof(void*) * m_iCount);
        free(m_ppData);
    }
    m_ppData = pNew;
    m_iFree = 5;
    return 1;
}

int CKorvelPtrArray::Add(void* p)
{
    if (m_iFree == 0 && !Grow())
        return -1;
    m_ppData[m_iCount++] = p;
    --m_iFree;
    return m_iCount;
}

int CKorvelPtrArray::InsertAt(int index, void* p)
{
    if (index == m_iCount)
        return Add(p);
    if (index < 0 || index > m_iCount)
        return -1;
    if (m_iFree == 0 && !Grow())
        return -1;
    memmove(m_ppData + index + 1, m_ppData + index, sizeof(void*) * (m_iCount - index));
    m_ppData[index] = p;
    ++m_iCount;
    --m_iFree;
    return m_iCount;
}

void CKorvelPtrArray::RemoveAt(int index)
{
    if (index < 0 || index >= m_iCount)
        return;
    memmove(m_ppData + index, m_ppData + index + 1, sizeof(void*) * (m_iCount - index - 1));
    --m_iCount;
    ++m_iFree;
}

int CKorvelPtrArray::Remove(void* p)
{
    for (int i = 0; i < m_iCount; ++i)
    {
        if (m_ppData[i] == p)
        {
            RemoveAt(i);
            return 1;
        }
    }
    return 0;
}

void CKorvelPtrArray::SetAt(int index, void* p)
{
    if (index >= 0 && index < m_iCount)
        m_ppData[index] = p;
}

void CKorvelPtrArray::Clear()
{
    free(m_ppData);
    m_ppData = nullptr;
    m_iCount = 0;
    m_iFree = 0;
}
