// Ordered containers kept as sorted arrays and searched by binary search.
//
//   CKorvelPair                     key and value
//   CKorvelMultiSet_DefaultOrdering the element type's own order
//   CKorvelMultiSet                 sorted, equal elements allowed
//   CKorvelSet                      sorted, unique
//   CKorvelMap_Ordering, CKorvelMap pairs kept unique and sorted by key
//
// An ordering class O is default-constructible and has
//     int Compare(const T& a, const T& b) const   // < 0: a first, 0: equal, > 0: b first
// The default ordering uses T's own Compare(const T&) member when it has one (the engine
// string, the hash string) and operator< otherwise.
#pragma once

#include "KorvelCommon/KorvelArray.h"

#include <cstdlib>
#include <type_traits>
#include <utility>

template <class A, class B> class CKorvelPair
{
public:
    A m_First;  // the key inside maps
    B m_Second; // the value

    CKorvelPair() : m_First(), m_Second() {}
    CKorvelPair(const A& first, const B& second) : m_First(first), m_Second(second) {}
};

namespace KorvelOrderingDetail
{
template <class T, class = void> struct HasCompare : std::false_type
{
};
template <class T>
struct HasCompare<T, std::void_t<decltype(int(std::declval<const T&>().Compare(std::declval<const T&>())))>>
    : std::true_type
{
};
} // namespace KorvelOrderingDetail

template <class T> class CKorvelMultiSet_DefaultOrdering
{
public:
    int Compare(const T& a, const T& b) const
    {
        if constexpr (KorvelOrderingDetail::HasCompare<T>::value)
        {
            int i = a.Compare(b);
            return i < 0 ? -1 : (i > 0 ? 1 : 0);
        }
        else
            return a < b ? -1 : (b < a ? 1 : 0);
    }
};

template <class T, class O = CKorvelMultiSet_DefaultOrdering<T>>
class CKorvelMultiSet : public CKorvelArray<T>
{
public:
    // Inserts in order; an element equal to held ones goes before the equal element that
    // the search meets. Returns the index, or -1 when memory ran out.
    int Add(const T& value)
    {
        O order;
        int iPos = 0;
        Search(order, value, iPos);
        return this->InsertAt(iPos, value);
    }

protected:
    // Binary search. Returns the index of an equal element hit, or -1 with iInsert set to
    // the place where the value belongs.
    template <class K, class Cmp> int SearchBy(const Cmp& cmp, const K& key, int& iInsert) const
    {
        int lo = 0, hi = this->m_iCount - 1;
        while (lo <= hi)
        {
            int mid = (lo + hi) / 2;
            int c = cmp(key, this->m_pData[mid]);
            if (c < 0)
                hi = mid - 1;
            else if (c > 0)
                lo = mid + 1;
            else
            {
                iInsert = mid;
                return mid;
            }
        }
        iInsert = lo;
        return -1;
    }
    int Search(const O& order, const T& value, int& iInsert) const
    {
        return SearchBy([&order](const T& a, const T& b) { return order.Compare(a, b); }, value, iInsert);
    }
};

template <class T, class O = CKorvelMultiSet_DefaultOrdering<T>>
class CKorvelSet : public CKorvelMultiSet<T, O>
{
public:
    // Returns 1 when inserted, 0 when an equal element was already held (nothing changes)
    // or memory ran out.
    int Add(const T& value)
    {
        O order;
        int iPos = 0;
        if (this->Search(order, value, iPos) >= 0)
            return 0;
        return this->InsertAt(iPos, value) >= 0 ? 1 : 0;
    }

    // Index of an equal element, or -1.
    int Find(const T& value) const
    {
        O order;
        int iPos = 0;
        return this->Search(order, value, iPos);
    }
};

template <class K, class V, class O> class CKorvelMap_Ordering
{
public:
    int Compare(const CKorvelPair<K, V>& a, const CKorvelPair<K, V>& b) const
    {
        return m_Keys.Compare(a.m_First, b.m_First);
    }
    O m_Keys;
};

// The map owns its pairs; pointer values are not deleted by it.
template <class K, class V, class O = CKorvelMultiSet_DefaultOrdering<K>>
class CKorvelMap : public CKorvelSet<CKorvelPair<K, V>, CKorvelMap_Ordering<K, V, O>>
{
public:
    typedef CKorvelPair<K, V> Pair;

    // Returns 1 when the pair was inserted, 0 when the key was present (the old value is
    // kept) or memory ran out.
    int Add(const K& key, const V& value)
    {
        int iPos = 0;
        if (FindKey(key, iPos) >= 0)
            return 0;
        return this->InsertAt(iPos, Pair(key, value)) >= 0 ? 1 : 0;
    }

    // Index of the key's pair, or -1.
    int Find(const K& key) const
    {
        int iPos = 0;
        return FindKey(key, iPos);
    }

    // The key's value; an absent key is added first with a value-initialised value.
    V& operator[](const K& key)
    {
        int iPos = 0;
        int i = FindKey(key, iPos);
        if (i < 0)
        {
            i = this->InsertAt(iPos, Pair(key, V()));
            if (i < 0)
                std::abort(); // out of memory: there is no slot to refer to
        }
        return this->m_pData[i].m_Second;
    }

    // Removes the key's pair; later pairs move down. The block is not shrunk.
    void Remove(const K& key)
    {
        int i = Find(key);
        if (i < 0)
            return;
        for (int j = i; j < this->m_iCount - 1; ++j)
            this->m_pData[j] = this->m_pData[j + 1];
        --this->m_iCount;
    }

    void Clear() { this->SetSize(0); }

    // operator[] takes a key here; pairs are reached by index, in key order, with GetAt.

private:
    int FindKey(const K& key, int& iInsert) const
    {
        O order;
        return this->SearchBy([&order](const K& k, const Pair& p) { return order.Compare(k, p.m_First); },
                              key, iInsert);
    }
};
