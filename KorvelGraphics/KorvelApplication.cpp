#include "KorvelGraphics/KorvelApplication.h"

void IKorvelApplication::AddRunnable(IKorvelRunnable* runnable)
{
    if (!runnable)
        return;
    runnable->m_uRegistered = 1;
    m_Runnables.Add(runnable);
}

void IKorvelApplication::RemoveRunnable(IKorvelRunnable* runnable)
{
    if (runnable && m_Runnables.Remove(runnable))
        runnable->m_uRegistered = 0;
}

void IKorvelApplication::UpdateRunnables(float frameSeconds)
{
    for (int i = 0; i < m_Runnables.GetCount(); ++i)
        static_cast<IKorvelRunnable*>(m_Runnables[i])->Update(frameSeconds);
}
