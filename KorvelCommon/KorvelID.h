// Identity base of the engine's named objects, and the inert memory-tracking and
// debug-message facade (there is no log: debug messages are formatted and dropped).
#pragma once
#include "KorvelCommon/KorvelString.h"

class CKorvelID
{
public:
    // Name and identifier both start from the object's own address.
    CKorvelID();
    virtual ~CKorvelID();
    static CKorvelID* New();

    const CKorvelString& GetName() const { return m_strName; }
    void SetName(const CKorvelString& strName) { m_strName.Set(strName); }
    int GetId() const { return m_iId; }
    void SetId(int iId) { m_iId = iId; }
    void SetIdAsThis();
    void SetNameAsThis();

private:
    CKorvelString m_strName;
    int m_iId;
};

class CKorvelSafeMemory
{
public:
    static CKorvelSafeMemory* New();
    static void CheckMemoryLeaks() {}
    static void Set(unsigned int) {}
    static void SetMemoryLimit(unsigned int) {}
    static void FlushMemoryTracking() {}
    static void SetDebugChannels(unsigned int) {}
    static void SetFileDebugChannels(unsigned int) {}
    static void SetDebugChannelName(unsigned int, const char*) {}
    static int ChannelToIndex(unsigned int) { return 0; }
    // Stands in the engine's factories: returns the object itself.
    template <class T> static T* AddNew(T* pObject, unsigned int, const char*, int) { return pObject; }
    static void AddDelete(void*, const char*, int) {}
    static int AppendToAllocTracking(unsigned int, unsigned int, const char*, int) { return 1; }
    static void RemoveFromAllocTracking(unsigned int, unsigned int, const char*, int) {}
    static unsigned int GetAllocTracking(unsigned int) { return 0; }
    static unsigned int TotalBytes(unsigned int) { return 0; }

    // Formats the message like CKorvelString::Format and drops it.
    template <class... A>
    static void DebugMessage(unsigned int uChannel, const char* pFile, int iLine, const char* pFormat,
                             A... args)
    {
        static_assert((KorvelIsFormatArg<A>() && ...), "DebugMessage takes numbers and 16-bit text pointers");
        DebugMessageVA(uChannel, pFile, iLine, pFormat, KorvelVarArg(args)...);
    }
    template <class... A> static void DebugMessage(unsigned int, const char*, int, const CKorvelString&, A...)
    {
    }

private:
    static void DebugMessageVA(unsigned int uChannel, const char* pFile, int iLine, const char* pFormat, ...);
};
