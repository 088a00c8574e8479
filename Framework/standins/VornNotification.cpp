// Stand-in until the lobby lands: the overlay base with its plain defaults.
#include "Framework/VornNotification.h"

CVornNotification::CVornNotification() : m_pApplication(nullptr), m_uRemove(0) {}

CVornNotification::~CVornNotification() {}

KE_RETVAL CVornNotification::Startup(CKestrolundApplication* pApplication)
{
    m_pApplication = pApplication;
    return KE_OK;
}

void CVornNotification::Shutdown() {}

unsigned int CVornNotification::OnScreenChanged(int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseButton(unsigned int, int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseButtonUp(unsigned int, int, int)
{
    return 1;
}

unsigned int CVornNotification::OnMouseDrag(unsigned int, int, int)
{
    return 1;
}

void CVornNotification::Remove()
{
    m_uRemove = 1;
}

unsigned int CVornNotification::GetRemove()
{
    return m_uRemove;
}

void CVornNotification::Draw() {}

void CVornNotification::Update(float) {}
