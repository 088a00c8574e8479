// Named actions: the table through which layouts reach code. Names beginning "app:" are
// reserved for application-level registrations, which answer to both names.
#pragma once

#include "Framework/Shell/HashString.h"
#include "Framework/UI/Callback.h"
#include "KorvelCommon/KorvelSet.h"

class CActionEntry;
class CActionHandler;

class CActionCallbackMap
{
public:
    typedef CKorvelMap<CHashString, CActionCallback, CKorvelMultiSet_DefaultOrdering<CHashString>>
        CallbackMap;

    CActionCallbackMap() : m_pHandler(nullptr) {}

    KE_RETVAL Startup(CActionHandler* pHandler);
    // Binds name (replacing an earlier binding). A plain registration (uIsApp 0) cannot take
    // an "app:" name; an application-level one binds "app:" + name as well.
    void RegisterAction(const CKorvelString& strName, const CActionCallback& callback, unsigned int uIsApp);
    // The bound callback, or an empty one.
    CActionCallback GetActionCallback(const CKorvelString& strName) const;
    // A new entry bound under name and handed to the handler, which owns it.
    CActionEntry* CreateAction(const CKorvelString& strName);
    void Shutdown();

    const CallbackMap& GetCallbacks() const { return m_Callbacks; }

private:
    void Bind(const CKorvelString& strName, const CActionCallback& callback);

    CActionHandler* m_pHandler; // not owned
    CallbackMap m_Callbacks;
};
