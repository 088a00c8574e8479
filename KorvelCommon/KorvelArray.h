// Growable array template: the storage under every engine container.
//
// The count, the grow step and the elements are public: users read and write them
// directly. Slots between the count and the capacity hold live objects (a shrink keeps
// the old contents there for reuse); only SetSize(0) frees the block.
#pragma once

#include <cassert>
#include <functional>
#include <new>

template <class T> class CKorvelArray
{
public:
    T* m_pData = nullptr;
    int m_iCount = 0;
    int m_iCapacity = 0;
    int m_iGrowBy = 0; // 0: grow by the old count / 8, clamped to 4..1024

    CKorvelArray() = default;
    explicit CKorvelArray(int iGrowBy) : m_iGrowBy(iGrowBy) {}
    CKorvelArray(const CKorvelArray& other) : m_iGrowBy(other.m_iGrowBy) { CopyFrom(other); }
    CKorvelArray& operator=(const CKorvelArray& other)
    {
        if (this != &other)
        {
            SetSize(0);
            m_iGrowBy = other.m_iGrowBy;
            CopyFrom(other);
        }
        return *this;
    }
    ~CKorvelArray() { SetSize(0); }

    // The one resize routine. Returns 1, or 0 when memory ran out (the array is unchanged)
    // or n is negative.
    int SetSize(int n)
    {
        if (n < 0)
            return 0;
        if (n == 0)
        {
            delete[] m_pData;
            m_pData = nullptr;
            m_iCount = m_iCapacity = 0;
            return 1;
        }
        if (!m_pData)
        {
            m_pData = new (std::nothrow) T[n];
            if (!m_pData)
                return 0;
            m_iCount = m_iCapacity = n;
            return 1;
        }
        if (n <= m_iCapacity)
        {
            m_iCount = n;
            return 1;
        }
        int iStep = m_iGrowBy;
        if (iStep <= 0)
        {
            iStep = m_iCount / 8;
            iStep = iStep < 4 ? 4 : (iStep > 1024 ? 1024 : iStep);
        }
        long long llStepped = (long long)m_iCapacity + iStep;
        int iNewCapacity = (llStepped > n && llStepped <= 0x7FFFFFFF) ? (int)llStepped : n;
        T* pNew = new (std::nothrow) T[iNewCapacity];
        if (!pNew)
            return 0;
        for (int i = 0; i < m_iCount; ++i)
            pNew[i] = m_pData[i];
        delete[] m_pData;
        m_pData = pNew;
        m_iCapacity = iNewCapacity;
        m_iCount = n;
        return 1;
    }

    void RemoveAll() { SetSize(0); }

    // Appends; returns the new element's index, or -1 when memory ran out.
    int Add(const T& value)
    {
        if (Holds(&value))
        {
            // The value lives in this array: copy it before the block moves.
            T copy(value);
            return Add(copy);
        }
        if (!SetSize(m_iCount + 1))
            return -1;
        m_pData[m_iCount - 1] = value;
        return m_iCount - 1;
    }

    // Inserts before index; past the end it grows the array to index + 1 and the
    // slots in between stay as the resize left them. A negative index does nothing.
    // Returns the index, or -1 when nothing was inserted.
    int InsertAt(int index, T value)
    {
        if (index < 0)
            return -1;
        if (index >= m_iCount)
        {
            if (!SetSize(index + 1))
                return -1;
            m_pData[index] = value;
            return index;
        }
        if (!SetSize(m_iCount + 1))
            return -1;
        for (int i = m_iCount - 1; i > index; --i)
            m_pData[i] = m_pData[i - 1];
        m_pData[index] = value;
        return index;
    }

    int GetCount() const { return m_iCount; }
    T& GetAt(int i) { return (*this)[i]; }
    const T& GetAt(int i) const { return (*this)[i]; }
    T& operator[](int i)
    {
        assert(i >= 0 && i < m_iCapacity);
        return m_pData[i];
    }
    const T& operator[](int i) const
    {
        assert(i >= 0 && i < m_iCapacity);
        return m_pData[i];
    }

private:
    bool Holds(const T* p) const
    {
        std::less<const T*> less;
        return m_pData && !less(p, m_pData) && less(p, m_pData + m_iCapacity);
    }
    void CopyFrom(const CKorvelArray& other)
    {
        if (other.m_iCount > 0 && SetSize(other.m_iCount))
            for (int i = 0; i < other.m_iCount; ++i)
                m_pData[i] = other.m_pData[i];
    }
};
