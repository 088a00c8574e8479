// Receiver of notifications from engine objects (the sender and four values).
#pragma once

class IKorvelNotify
{
public:
    virtual ~IKorvelNotify() {}
    virtual void OnNotify(void* pSender, unsigned int a, unsigned int b, unsigned int c, unsigned int d) = 0;
};
