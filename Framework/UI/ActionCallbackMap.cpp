#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionEntry.h"
#include "Framework/UI/ActionHandler.h"

static const CKorvelString& AppPrefix()
{
    static const CKorvelString s_strPrefix("app:");
    return s_strPrefix;
}

KE_RETVAL CActionCallbackMap::Startup(CActionHandler* pHandler)
{
    m_pHandler = pHandler;
    return KE_OK;
}

void CActionCallbackMap::Bind(const CKorvelString& strName, const CActionCallback& callback)
{
    const CHashString key(strName);
    const int i = m_Callbacks.Find(key);
    if (i >= 0)
        m_Callbacks.GetAt(i).m_Second = callback;
    else
        m_Callbacks.Add(key, callback);
}

void CActionCallbackMap::RegisterAction(const CKorvelString& strName, const CActionCallback& callback,
                                        unsigned int uIsApp)
{
    if (!uIsApp && strName.Find(AppPrefix(), 0) == 0)
        return;
    Bind(strName, callback);
    if (uIsApp)
    {
        CKorvelString strAppName(AppPrefix());
        strAppName.Add(strName);
        Bind(strAppName, callback);
    }
}

CActionCallback CActionCallbackMap::GetActionCallback(const CKorvelString& strName) const
{
    const int i = m_Callbacks.Find(CHashString(strName));
    return i >= 0 ? m_Callbacks.GetAt(i).m_Second : CActionCallback();
}

// Without a handler nobody would own the entry: nothing is made.
CActionEntry* CActionCallbackMap::CreateAction(const CKorvelString& strName)
{
    if (!m_pHandler)
        return nullptr;
    CActionEntry* pEntry = new CActionEntry;
    pEntry->Startup(strName);
    RegisterAction(strName, CActionCallback(CActionEntry::CallbackFunction, pEntry), 0);
    m_pHandler->RegisterAction(pEntry);
    return pEntry;
}

void CActionCallbackMap::Shutdown()
{
    m_Callbacks.Clear();
}
