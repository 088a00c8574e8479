// Something that shows achievements on screen; the station owns its displayers and
// drives them. Nothing in this system implements one yet.
#pragma once

#include "KorvelCommon/KorvelString.h"

class CKorvelSurface;

class CVornAchievementDisplayer
{
public:
    virtual ~CVornAchievementDisplayer() {}
    virtual void Shutdown() = 0;
    virtual CKorvelString GetName() = 0;
    virtual void Update(float fSeconds) = 0;
    virtual void Draw(CKorvelSurface* pTarget) = 0;
};
