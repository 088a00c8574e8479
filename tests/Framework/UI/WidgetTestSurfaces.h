// Surfaces for widget tests: solid ARGB sheets divided into frames, and a surface that
// counts how many of its kind are alive, to see when the last owner lets go.
#pragma once

#include "Framework/UI/Widget.h"
#include "KorvelGraphics/KorvelSurface.h"
#include <string>

class CCountedSurface : public CKorvelSurface
{
public:
    CCountedSurface() { ++s_iLive; }
    ~CCountedSurface() override { --s_iLive; }
    static int s_iLive;
};

inline int CCountedSurface::s_iLive = 0;

// A w x h surface of one colour, divided into columns x rows frames; new, owned by the caller.
template <class S = CKorvelSurface>
S* MakeSheet(int iWidth, int iHeight, int iColumns = 1, int iRows = 1, unsigned int argb = 0xFF3366CC)
{
    S* pSurface = new S;
    SKE_SURFACEDESC desc = {};
    desc.iWidth = iWidth;
    desc.iHeight = iHeight;
    desc.eFormat = KE_SURFACE_ARGB8888;
    pSurface->Create(nullptr, desc);
    pSurface->Fill(argb, static_cast<const CKorvelRect<int>*>(nullptr));
    pSurface->SetSubFrameCounts(iColumns, iRows);
    return pSurface;
}

// "(l,t,r,b)" for failure messages.
inline std::string AreaText(const CKorvelRect<int>& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}
