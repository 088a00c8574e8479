// An overlay over every state (the toast, the advertisement): the application owns it,
// updates and draws it after the states and offers it input before them.
#pragma once

#include "KorvelCommon/KorvelTypes.h"

class CKestrolundApplication;

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
    CKestrolundApplication* m_pApplication;
    unsigned int m_uRemove;

private:
    CVornNotification(const CVornNotification&) = delete;
    CVornNotification& operator=(const CVornNotification&) = delete;
};
