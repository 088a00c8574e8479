// Receiver of engine notifications (sound positions, application events).
#pragma once

class IKorvelNotify
{
public:
    virtual ~IKorvelNotify() {}
    virtual void OnNotify(void* pSender, unsigned int uKind, unsigned int uId, unsigned int uValue,
                          unsigned int uUser) = 0;
};
