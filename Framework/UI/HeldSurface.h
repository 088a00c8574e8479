// A surface a widget holds besides its image: counted by the resource manager when the
// manager knows it, else the widget's own, deleted when it lets go.
#pragma once

#include "Framework/Shell/VornResourceManager.h"
#include "KorvelGraphics/KorvelSurface.h"

// Gives the held surface back (or deletes one the manager does not know) and forgets it.
inline void ReleaseHeldSurface(CVornResourceManager* pResources, CKorvelSurface*& pHeld)
{
    CKorvelSurface* pOld = pHeld;
    pHeld = nullptr;
    if (!pOld || (pResources && pResources->ReleaseSurface(pOld)))
        return;
    pOld->Shutdown();
    delete pOld;
}

// Holds the new surface instead, counting it; the same surface again changes nothing.
inline void ReplaceHeldSurface(CVornResourceManager* pResources, CKorvelSurface*& pHeld,
                               CKorvelSurface* pSurface)
{
    if (pSurface == pHeld)
        return;
    ReleaseHeldSurface(pResources, pHeld);
    if (pSurface && pResources)
        pResources->IncrementSurface(pSurface);
    pHeld = pSurface;
}
