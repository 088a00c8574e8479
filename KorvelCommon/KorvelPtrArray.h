// Array of untyped pointers that grows by 5 slots and never owns what it points to.
#pragma once

class CKorvelPtrArray
{
public:
    int m_iCount = 0;
    int m_iFree = 0; // slots allocated past the count
    void** m_ppData = nullptr;

    CKorvelPtrArray() = default;
    CKorvelPtrArray(const CKorvelPtrArray& other);
    CKorvelPtrArray& operator=(const CKorvelPtrArray& other);
    ~CKorvelPtrArray() { Clear(); }
    static CKorvelPtrArray* New() { return new CKorvelPtrArray(); }

    // Each returns the new count, or -1 when nothing was stored (index out of
    // range, or memory ran out).
    int Add(void* p);
    int InsertAt(int index, void* p); // 0 <= index <= count

    void RemoveAt(int index); // an index outside 0..count-1 changes nothing
    int Remove(void* p);      // the first slot holding p; 1 when found, else 0
    void SetAt(int index, void* p);
    void Clear(); // frees the slots, never the pointed-to objects
    int Grow();   // 5 more slots; 1, or 0 when memory ran out

    int GetCount() const { return m_iCount; }
    void* GetAt(int i) const { return m_ppData[i]; }
    void* operator[](int i) const { return m_ppData[i]; }
};

// The same array seen with a typed element pointer.
template <class T> class CKorvelTypedPtrArray : public CKorvelPtrArray
{
public:
    int Add(T* p) { return CKorvelPtrArray::Add(p); }
    int InsertAt(int index, T* p) { return CKorvelPtrArray::InsertAt(index, p); }
    int Remove(T* p) { return CKorvelPtrArray::Remove(p); }
    void SetAt(int index, T* p) { CKorvelPtrArray::SetAt(index, p); }
    T* GetAt(int i) const { return static_cast<T*>(m_ppData[i]); }
    T* operator[](int i) const { return static_cast<T*>(m_ppData[i]); }
};
