// The element creators of pages, page buttons, transitions and the content widgets.
#include "Framework/UI/UIXMLLoader.h"

#include <cstring>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/FrameWidget.h"
#include "Framework/UI/GradientWidget.h"
#include "Framework/UI/PageButton.h"
#include "Framework/UI/PageView.h"
#include "Framework/UI/PieWidget.h"
#include "Framework/UI/ProgressBar.h"
#include "Framework/UI/Slider.h"
#include "Framework/UI/Transition.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
bool TextIs(const char* pText, const char* pWord)
{
    return pText && std::strcmp(pText, pWord) == 0;
}

// The named image child's surface handed to the setter, then the loader's reference given back.
template <class F>
void SetImageChild(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, const char* pChild, F set)
{
    CKorvelSurface* pSurface = CUIXMLLoader::ParseImage(pLoader, pElement, pChild, nullptr, nullptr);
    if (!pSurface)
        return;
    set(pSurface);
    pLoader->GetApplication()->ReleaseSurface(pSurface);
}

// A colour value of the frame's gradient: 0 when it is missing or does not parse.
unsigned int FrameColor(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pNode, const char* pName)
{
    unsigned int uColor = 0;
    if (!CUIXMLLoader::ParseColor(pLoader, CXMLLoaderWrapper::GetText(pNode, pName), uColor))
        return 0;
    return uColor;
}
} // namespace

CWidget* CUIXMLLoader::CreateGradientWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                            CWidget& parent, CWidget* pCandidate)
{
    CGradientWidget* pGradient = TakeOrCreateTransparent<CGradientWidget>(pLoader, parent, pCandidate);
    unsigned int uFlags = pGradient->GetDrawFlags();
    const char* pDir = GetText(FindChild(pElement, "dir"), "$value");
    static const char* const s_apModes[] = {"vertical", "horizontal", "radial"};
    for (unsigned int i = 0; i < 3; ++i)
        if (TextIs(pDir, s_apModes[i]))
            uFlags = (uFlags & ~CGradientWidget::MODE_MASK) | (i << 28);
    const float fRadius = GetFloat(FindChild(pElement, "radius"), "$value", 0.0f);
    if (fRadius != 0.0f)
        pGradient->SetRadius(fRadius);
    pGradient->SetDrawFlags(uFlags);
    if (CKorvelXMLDataNode* pColors = FindChild(pElement, "colors"))
    {
        unsigned int uColor = 0;
        if (ParseColor(pLoader, GetText(pColors, "$color1"), uColor))
            pGradient->SetColor1(uColor);
        if (ParseColor(pLoader, GetText(pColors, "$color2"), uColor))
            pGradient->SetColor2(uColor);
    }
    SetImageChild(pLoader, pElement, "image", [pGradient](CKorvelSurface* p) { pGradient->SetImage(p); });
    return pGradient;
}

CTransition* CUIXMLLoader::CreateTransition(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pFirst,
                                            CKorvelString& strType)
{
    if (!pFirst || !GetText(pFirst, "$type"))
        return nullptr;
    CKorvelXMLDataNode* pNode = pFirst;
    for (; pNode; pNode = GetNextNode(pNode))
    {
        const char* pType = GetText(pNode, "$type");
        if (pType && CKorvelString(pType).Compare(strType) == 0)
            break;
    }
    if (!pNode)
        return nullptr;
    const CTransition::eTransitionType eType =
        strType.Compare(CKorvelString("out")) == 0 ? CTransition::TYPE_OUT : CTransition::TYPE_IN;
    const unsigned int uMoveOther = GetInt(pNode, "$move_other", 0) ? 1 : 0;
    static const char* const s_apDirections[] = {"up", "down", "right", "left", "center"};
    CTransition::eTransitionDirection eDirection = CTransition::DIRECTION_NONE;
    const char* pDirection = GetText(pNode, "$direction");
    for (int i = 0; i < 5; ++i)
        if (TextIs(pDirection, s_apDirections[i]))
            eDirection = static_cast<CTransition::eTransitionDirection>(i);
    CTransition* pTransition = new CTransition;
    pTransition->Startup(uMoveOther, eDirection, eType, GetFloat(pNode, "$duration", 0.0f));
    IEasingCurve* pIn = ParseEasing(pLoader, pNode, "easing_in", 0);
    IEasingCurve* pOut = ParseEasing(pLoader, pNode, "easing_out", 0);
    pTransition->SetEasingIn(pIn ? pIn : new CEasingCurveLinear);
    pTransition->SetEasingOut(pOut ? pOut : new CEasingCurveLinear);
    return pTransition;
}

CWidget* CUIXMLLoader::CreatePageView(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                      CWidget* pCandidate)
{
    CPageView* pView = TakeOrCreateTransparent<CPageView>(pLoader, parent, pCandidate);
    const int iMax = GetInt(FindChild(pElement, "history"), "$max-size", 0);
    if (iMax <= 0)
        return pView;
    pView->SetHistoryLimit(iMax);
    CKorvelXMLDataNode* pTransition = FindChild(pElement, "transition");
    static const char* const s_apTypes[] = {"in", "out"};
    for (const char* pType : s_apTypes)
    {
        CKorvelString strType(pType);
        pView->AddTransition(CreateTransition(pLoader, pTransition, strType));
    }
    return pView;
}

CWidget* CUIXMLLoader::CreatePageButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                        CWidget* pCandidate)
{
    CPageButton* pButton = TakeOrCreate<CPageButton>(pLoader, parent, pCandidate);
    ParseButton(pLoader, pElement, pButton);
    if (CKorvelXMLDataNode* pTarget = FindChild(pElement, "target"))
    {
        const char* pName = GetText(pTarget, "$name");
        const char* pPage = GetText(pTarget, "$page");
        pButton->SetPageViewPath(CKorvelString(pName ? pName : ""));
        pButton->SetPagePath(CKorvelString(pPage ? pPage : ""));
    }
    return pButton;
}

CWidget* CUIXMLLoader::CreateFrame(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                   CWidget* pCandidate)
{
    CFrameWidget* pFrame = TakeOrCreateTransparent<CFrameWidget>(pLoader, parent, pCandidate);
    CKorvelSurface* pBackground = ParseImage(pLoader, pElement, "background_image", nullptr, nullptr);
    CKorvelXMLDataNode* pGradient = FindChild(pElement, "background_gradient");
    if (!pBackground && pGradient && pLoader->m_pApp)
        pBackground = CGradientWidget::GetRadialSurface(
            pLoader->m_pApp, pLoader->m_pApp, FrameColor(pLoader, pGradient, "$color2"),
            FrameColor(pLoader, pGradient, "$color1"), GetFloat(pGradient, "$radius", 1.0f));
    if (pBackground)
    {
        pFrame->SetImage(pBackground);
        pLoader->m_pApp->ReleaseSurface(pBackground);
    }
    SetImageChild(pLoader, pElement, "mask_image", [pFrame](CKorvelSurface* p) { pFrame->SetMask(p); });
    SetImageChild(pLoader, pElement, "border_image", [pFrame](CKorvelSurface* p) { pFrame->SetBorder(p); });
    return pFrame;
}

CWidget* CUIXMLLoader::CreateSlider(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                    CWidget* pCandidate)
{
    CSlider* pSlider = TakeOrCreate<CSlider>(pLoader, parent, pCandidate);
    if (pSlider != pCandidate)
        pSlider->SetTransparent(0);
    pSlider->SetMinValue(GetFloat(pElement, "$min-value", pSlider->GetMinValue()));
    pSlider->SetMaxValue(GetFloat(pElement, "$max-value", pSlider->GetMaxValue()));
    pSlider->SetValue(GetFloat(pElement, "$value", pSlider->GetValue()));
    return pSlider;
}

CWidget* CUIXMLLoader::CreateProgressBar(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                         CWidget* pCandidate)
{
    CProgressBar* pBar = TakeOrCreateTransparent<CProgressBar>(pLoader, parent, pCandidate);
    SetImageChild(pLoader, pElement, "background", [pBar](CKorvelSurface* p) { pBar->SetImage(p); });
    SetImageChild(pLoader, pElement, "progress", [pBar](CKorvelSurface* p) { pBar->SetProgressImage(p); });
    SetImageChild(pLoader, pElement, "progresslow",
                  [pBar](CKorvelSurface* p) { pBar->SetProgressLowImage(p); });
    if (CKorvelXMLDataNode* pLimit = FindChild(pElement, "progresslowlimit"))
        pBar->SetProgressLowLimit(GetFloat(pLimit, "$value", pBar->GetProgressLowLimit()));
    if (CKorvelXMLDataNode* pSide = FindChild(pElement, "side"))
        pBar->SetSide(
            static_cast<CProgressBar::ESide>(GetInt(pSide, "$value", static_cast<int>(pBar->GetSide()))));
    return pBar;
}

CWidget* CUIXMLLoader::CreatePieWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                       CWidget* pCandidate)
{
    CPieWidget* pPie = TakeOrCreateTransparent<CPieWidget>(pLoader, parent, pCandidate);
    if (const char* pColor = GetText(FindChild(pElement, "color"), "$value"))
        pPie->SetColor(ParseOpaqueColor(pLoader, pColor));
    if (CKorvelXMLDataNode* pSegments = FindChild(pElement, "segments"))
        pPie->SetSegments(GetInt(pSegments, "$value", pPie->GetSegments()));
    if (CKorvelXMLDataNode* pAngle = FindChild(pElement, "angle"))
        pPie->SetAngle(GetFloat(pAngle, "$value", pPie->GetAngle()));
    return pPie;
}
