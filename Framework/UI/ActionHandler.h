// Runs the action entries a layout declared: one Update per frame for every entry.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelTypes.h"

class CActionEntry;

class CActionHandler
{
public:
    CActionHandler() = default;
    ~CActionHandler() { Shutdown(); }

    KE_RETVAL Startup() { return KE_OK; }
    // Takes ownership of the entry.
    void RegisterAction(CActionEntry* pEntry);
    void Update(float fSeconds);
    // Shuts down and deletes every entry.
    void Shutdown();

    int GetCount() const { return m_aEntries.GetCount(); }
    CActionEntry* GetAt(int i) const { return m_aEntries[i]; }

private:
    CActionHandler(const CActionHandler&) = delete;
    CActionHandler& operator=(const CActionHandler&) = delete;

    CKorvelTypedPtrArray<CActionEntry> m_aEntries;
};
