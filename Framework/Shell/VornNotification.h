// An overlay over every state (the toast, the advertisement): the application owns it,
// updates and draws it after the states and offers it input before them.
#pragma once

#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionHandler.h"
#include "KorvelCommon/KorvelTypes.h"

class CKestrolundApplication;
class CWidget;

class CVornNotification
{
public:
    CVornNotification();
    virtual ~CVornNotification();

    // Keeps the application; 1.
    virtual KE_RETVAL Startup(CKestrolundApplication* pApplication);
    virtual void Shutdown();
    virtual unsigned int OnScreenChanged(int iWidth, int iHeight);
    // Non-zero when the overlay took the input.
    virtual unsigned int OnMouseButton(unsigned int uButton, int iX, int iY);
    virtual unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY);
    virtual unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY);
    virtual void Remove();
    virtual unsigned int GetRemove();
    virtual void Draw();
    virtual void Update(float fSeconds);

protected:
    // An overlay's own actions: the layout's entries and the names bound to its handlers.
    class CActions
    {
    public:
        CActions() { m_Map.Startup(&m_Handler); }
        ~CActions() { m_Map.Shutdown(); }
        void Register(const char* pName, ActionFunction pfnAction, void* pContext)
        {
            m_Map.RegisterAction(CKorvelString(pName), CActionCallback(pfnAction, pContext), 0);
        }
        CActionCallbackMap* Map() { return &m_Map; }

    private:
        CActionHandler m_Handler;
        CActionCallbackMap m_Map;
    };

    // The tree of the area file's area closest to that size, bound to the actions; null
    // (and the reason in iResult) when the file or its areas are missing.
    CWidget* LoadAreaTree(const char* pFile, int iWidth, int iHeight, CActions& actions, KE_RETVAL& iResult);
    static void DeleteTree(CWidget*& pRoot);
    typedef int (CWidget::*PointerInput)(unsigned int, int, int);
    // A pointer event at screen coordinates handed to the tree (0 without one).
    static int PassToTree(CWidget* pRoot, PointerInput pfnInput, unsigned int uButton, int iX, int iY);
    // The size of the drawing target (0 x 0 without an application).
    void GetBackBufferSize(int& iWidth, int& iHeight) const;

    CKestrolundApplication* m_pApplication;
    unsigned int m_uRemove;

private:
    CVornNotification(const CVornNotification&) = delete;
    CVornNotification& operator=(const CVornNotification&) = delete;
};
