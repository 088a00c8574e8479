#include "Framework/UI/ActionHandler.h"
#include "Framework/UI/ActionEntry.h"

void CActionHandler::RegisterAction(CActionEntry* pEntry)
{
    if (pEntry)
        m_aEntries.Add(pEntry);
}

void CActionHandler::Update(float fSeconds)
{
    for (int i = 0; i < m_aEntries.GetCount(); ++i)
        m_aEntries[i]->Update(fSeconds);
}

void CActionHandler::Shutdown()
{
    for (int i = 0; i < m_aEntries.GetCount(); ++i)
    {
        m_aEntries[i]->Shutdown();
        delete m_aEntries[i];
    }
    m_aEntries.Clear();
}
