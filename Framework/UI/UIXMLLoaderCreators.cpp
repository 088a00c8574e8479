// The built-in element creators and the attribute readers they share.
#include "Framework/UI/UIXMLLoader.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "Framework/Shell/VornApplication.h"
#include "Framework/UI/Alignment.h"
#include "Framework/UI/Bubble.h"
#include "Framework/UI/Divider.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/RatioDivider.h"
#include "Framework/UI/RatioLayout.h"
#include "Framework/UI/RotatingImageWidget.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Theme.h"
#include "Framework/UI/ToggleButton.h"
#include "Framework/UI/WebButton.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelGraphics/KorvelGraphicsContext.h"
#include "KorvelGraphics/KorvelSurface.h"

namespace
{
struct sCREATOR
{
    const char* m_pType;
    CUIXMLLoader::CreatorFunction m_pCreate;
};

// In table order.
const sCREATOR BUILT_IN_CREATORS[] = {
    {"button", &CUIXMLLoader::CreateButton},
    {"toggle_button", &CUIXMLLoader::CreateToggleButton},
    {"image", &CUIXMLLoader::CreateImageWidget},
    {"gradient", &CUIXMLLoader::CreateGradientWidget},
    {"text", &CUIXMLLoader::CreateTextWidget},
    {"page_layout", &CUIXMLLoader::CreatePageView},
    {"page_button", &CUIXMLLoader::CreatePageButton},
    {"slidearea", &CUIXMLLoader::CreateSlideArea},
    {"grid_layout", &CUIXMLLoader::CreateGridLayout},
    {"divider_layout", &CUIXMLLoader::CreateDivider},
    {"ratio_layout", &CUIXMLLoader::CreateRatioDivider},
    {"aspect_layout", &CUIXMLLoader::CreateAspect},
    {"anchor_layout", &CUIXMLLoader::CreateAlignment},
    {"expand_layout", &CUIXMLLoader::CreateExpandable},
    {"frame", &CUIXMLLoader::CreateFrame},
    {"infinite_list", &CUIXMLLoader::CreateInfiniteList},
    {"running_list", &CUIXMLLoader::CreateRunningList},
    {"web_button", &CUIXMLLoader::CreateWebButton},
    {"slider", &CUIXMLLoader::CreateSlider},
    {"progressbar", &CUIXMLLoader::CreateProgressBar},
    {"web_view", &CUIXMLLoader::CreateWebView},
    {"pie", &CUIXMLLoader::CreatePieWidget},
    {"rotating_image", &CRotatingImageWidget::CreateRotatingImage},
    {"bubble", &CBubble::CreateBubbleWidget},
};
} // namespace

void CUIXMLLoader::RegisterBuiltInCreators()
{
    for (const sCREATOR& creator : BUILT_IN_CREATORS)
        m_Creators.Add(CHashString(creator.m_pType), creator.m_pCreate);
}

bool CUIXMLLoader::ScanHex(const char* pText, unsigned int& uValue)
{
    if (!pText)
        return false;
    const char* p = pText;
    while (*p == ' ' || *p == '\t')
        ++p;
    if (!std::isxdigit(static_cast<unsigned char>(*p)))
        return false;
    unsigned int uRead = 0;
    if (CKorvelString(pText).Scan(L"%x", &uRead) != 1)
        return false;
    uValue = uRead;
    return true;
}

bool CUIXMLLoader::ParseColor(CUIXMLLoader* pLoader, const char* pText, unsigned int& uColor)
{
    if (!pText)
        return false;
    CKorvelString strText(pText);
    CVornTheme* pTheme = pLoader ? pLoader->GetTheme() : nullptr;
    if (pTheme && pTheme->GetColorByName(strText, uColor))
        return true;
    return ScanHex(pText, uColor);
}

unsigned int CUIXMLLoader::ParseOpaqueColor(CUIXMLLoader* pLoader, const char* pText)
{
    if (!pText)
        return 0;
    unsigned int uColor = 0;
    CVornTheme* pTheme = pLoader ? pLoader->GetTheme() : nullptr;
    if (pTheme && pTheme->GetColorByName(CKorvelString(pText), uColor))
        return uColor;
    if (!ScanHex(pText, uColor))
        return 0;
    if (std::strlen(pText) <= 6)
        uColor |= 0xFF000000u;
    return uColor;
}

IEasingCurve* CUIXMLLoader::ParseEasing(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                        const char* pChildName, unsigned int uRequireLimitedRange)
{
    CKorvelXMLDataNode* pChild = FindChild(pElement, pChildName);
    const char* pCurve = GetText(pChild, "$curve");
    if (!pLoader || !pCurve)
        return nullptr;
    float aParams[8];
    unsigned int uCount = 0;
    char aName[16];
    for (; uCount < 8; ++uCount)
    {
        std::snprintf(aName, sizeof(aName), "$param%u", uCount + 1);
        if (!GetText(pChild, aName))
            break;
        aParams[uCount] = GetFloat(pChild, aName, 0.0f);
    }
    return pLoader->GetEasingCurve(CKorvelString(pCurve), uRequireLimitedRange, uCount, aParams);
}

namespace
{
bool TextIs(const char* pText, const char* pWord)
{
    return pText && std::strcmp(pText, pWord) == 0;
}

// The index of the text in the list, or iOther.
int WordIndex(const char* pText, const char* const* ppWords, const int* pValues, int iCount, int iOther)
{
    for (int i = 0; i < iCount; ++i)
        if (TextIs(pText, ppWords[i]))
            return pValues[i];
    return iOther;
}

void SetFlag(unsigned int& uFlags, unsigned int uFlag, int iOn)
{
    uFlags = iOn ? (uFlags | uFlag) : (uFlags & ~uFlag);
}

int RoundToPixels(float fValue)
{
    return CUIXMLLoader::ToPixels(std::floor(0.5f + fValue));
}
} // namespace

CKorvelSurface* CUIXMLLoader::ParseImage(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                         const char* pChildName, float* pFrameDuration, int* pFrameIndex)
{
    CKorvelXMLDataNode* pChild = FindChild(pElement, pChildName);
    const char* pPath = GetText(pChild, "$path");
    if (!pLoader || !pPath || !pLoader->m_pApp)
        return nullptr;
    CKorvelSurface* pSurface = pLoader->m_pApp->GetSurface(CKorvelString(pPath));
    if (!pSurface)
        return nullptr;
    int iFramesX = GetInt(pChild, "$frames_x", 1), iFramesY = GetInt(pChild, "$frames_y", 1);
    if (iFramesX >= 2 || iFramesY >= 2)
        pSurface->SetSubFrameCounts(iFramesX, iFramesY);
    if (pFrameDuration)
    {
        float fDuration = GetFloat(pChild, "$animation_duration", 0.0f);
        int iFrames = pSurface->GetSubFrameCountX() * pSurface->GetSubFrameCountY();
        *pFrameDuration =
            fDuration != 0.0f ? fDuration / static_cast<float>(iFrames > 0 ? iFrames : 1) : 1.0f;
    }
    if (pFrameIndex)
        *pFrameIndex = GetInt(pChild, "$frame", -1);
    return pSurface;
}

void CUIXMLLoader::ParseButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CButton* pButton)
{
    pButton->SetTransparent(0);
    if (GetInt(pElement, "$keep_aspect", 0))
        pButton->SetDrawFlags(pButton->GetDrawFlags() | CImageWidget::DRAW_KEEP_ASPECT);
    float fDuration = 0.0f;
    int iFrame = -1;
    CKorvelSurface* pSurface = ParseImage(pLoader, pElement, "image", &fDuration, &iFrame);
    pButton->SetImage(pSurface);
    pButton->SetFrameDuration(fDuration);
    if (pSurface)
        pLoader->m_pApp->ReleaseSurface(pSurface);
    unsigned int uColor = 0;
    if (ParseColor(pLoader, GetText(FindChild(pElement, "blend_color"), "$value"), uColor))
        pButton->SetBlendColor(uColor);
    if (iFrame >= 0)
    {
        pButton->SetFrameIndex(static_cast<unsigned int>(iFrame));
        pButton->SetDrawFlags(pButton->GetDrawFlags() | CImageWidget::DRAW_FIXED_FRAME);
    }
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "cancellable"))
        pButton->SetCancellable(GetInt(pChild, "$value", static_cast<int>(pButton->GetCancellable())) ? 1
                                                                                                      : 0);
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "layout_widgets"))
    {
        unsigned int uOn = GetInt(pChild, "$value", static_cast<int>(pButton->GetChildLook())) ? 1 : 0;
        pButton->SetChildLook(uOn);
        if (uOn)
        {
            // Twice: the state stays and the matching state child shows.
            pButton->SetPressed(pButton->GetPressed() ? 0 : 1);
            pButton->SetPressed(pButton->GetPressed() ? 0 : 1);
        }
    }
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "hitarea"))
    {
        pButton->SetHitAreaSize(GetFloat(pChild, "$size", pButton->GetHitAreaSize()));
        pButton->SetExtraHitAreaWhenPressed(
            GetFloat(pChild, "$extra", pButton->GetExtraHitAreaWhenPressed()));
    }
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "clickdelay"))
        pButton->SetClickDelay(GetFloat(pChild, "$value", pButton->GetClickDelay()));
}

CWidget* CUIXMLLoader::CreateButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                    CWidget* pCandidate)
{
    CButton* pButton = TakeOrCreate<CButton>(pLoader, parent, pCandidate);
    ParseButton(pLoader, pElement, pButton);
    return pButton;
}

CWidget* CUIXMLLoader::CreateToggleButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                          CWidget& parent, CWidget* pCandidate)
{
    CToggleButton* pButton = TakeOrCreate<CToggleButton>(pLoader, parent, pCandidate);
    ParseButton(pLoader, pElement, pButton);
    return pButton;
}

CWidget* CUIXMLLoader::CreateWebButton(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                       CWidget* pCandidate)
{
    CWebButton* pButton = TakeOrCreate<CWebButton>(pLoader, parent, pCandidate);
    ParseButton(pLoader, pElement, pButton);
    if (CKorvelXMLDataNode* pTarget = FindChild(pElement, "target"))
    {
        const char* pUrl = GetText(pTarget, "$url");
        pButton->SetUrl(CKorvelString(pUrl ? pUrl : ""));
    }
    return pButton;
}

CWidget* CUIXMLLoader::CreateImageWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                         CWidget* pCandidate)
{
    CImageWidget* pImage = TakeOrCreateTransparent<CImageWidget>(pLoader, parent, pCandidate);
    float fDuration = 0.0f;
    int iFrame = -1;
    CKorvelSurface* pSurface = ParseImage(pLoader, pElement, "image", &fDuration, &iFrame);
    if (!pSurface)
        fDuration = 0.0f;
    pImage->SetImage(pSurface);
    pImage->SetFrameDuration(fDuration);
    if (pSurface)
        pLoader->m_pApp->ReleaseSurface(pSurface);

    unsigned int uFlags = pImage->GetDrawFlags();
    if (iFrame >= 0)
    {
        uFlags |= CImageWidget::DRAW_FIXED_FRAME;
        pImage->SetFrameIndex(static_cast<unsigned int>(iFrame));
    }
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "skip_clipped_draw"))
        SetFlag(uFlags, CImageWidget::DRAW_ONLY_INSIDE, GetInt(pChild, "$value", 0));
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "skip_clipping"))
        SetFlag(uFlags, CImageWidget::DRAW_NO_CLIPPING, GetInt(pChild, "$value", 0));
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "skip_animation"))
        SetFlag(uFlags, CImageWidget::DRAW_FIXED_FRAME, GetInt(pChild, "$value", 0));
    if (CKorvelXMLDataNode* pChild = FindChild(pElement, "animation_frame"))
        pImage->SetFrameIndex(static_cast<unsigned int>(GetInt(pChild, "$value", 0)));
    if (GetInt(pElement, "$keep_aspect", 0))
        uFlags |= CImageWidget::DRAW_KEEP_ASPECT;
    unsigned int uColor = 0;
    if (ParseColor(pLoader, GetText(FindChild(pElement, "blend_color"), "$value"), uColor))
        pImage->SetBlendColor(uColor);
    pImage->SetDrawFlags(uFlags);
    return pImage;
}

CWidget* CUIXMLLoader::CreateTextWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                        CWidget* pCandidate)
{
    CTextWidget* pText = nullptr;
    if (pCandidate && pCandidate->GetType() == CWidgetTypeInfo<CTextWidget>::GetType())
        pText = static_cast<CTextWidget*>(pCandidate);
    else
    {
        pText = new CTextWidget;
        pText->Startup(pLoader->m_pApp, pLoader->m_pApp, parent.GetClientArea(), nullptr);
        pText->SetEditable(0, 0);
    }
    CKorvelXMLDataNode* pChild = FindChild(pElement, "text");
    if (!pChild)
        return pText;
    int iId = 0;
    const char* pLocal = GetText(pChild, "$local");
    if (pLocal && CKorvelString(pLocal).Scan(L"%d", &iId) == 1)
        pText->SetLocalizedText(iId);
    const char* pValue = GetText(pChild, "$value");
    if (pText->GetDisplayText().GetLength() == 0 && pValue)
    {
        CKorvelString strValue;
        strValue.FromUTF8(pValue, static_cast<int>(std::strlen(pValue)));
        pText->SetDisplayText(strValue);
    }

    CVornApplication* pApp = pLoader->m_pApp;
    CKorvelBitmapFont* pFont = nullptr;
    if (const char* pFontName = GetText(pChild, "$font"))
    {
        CKorvelString strFont(pFontName);
        strFont.Add(CKorvelString(".fnt"));
        pFont = pApp ? pApp->GetFont(strFont) : nullptr;
    }
    if (!pFont && pApp)
        pFont = pApp->GetFont(CKorvelString("default"));
    pText->SetFont(pFont);
    if (pFont)
        pApp->ReleaseFont(pFont);

    if (const char* pColor = GetText(pChild, "$color"))
        pText->SetColor(ParseOpaqueColor(pLoader, pColor));
    if (const char* pColor = GetText(pChild, "$displaycolor"))
        pText->SetDisplayColor(ParseOpaqueColor(pLoader, pColor));
    else
        pText->SetDisplayColor(pText->GetColor());

    if (const char* pType = GetText(pChild, "$type"))
    {
        if (TextIs(pType, "input"))
            pText->SetEditable(1, 255);
        else if (TextIs(pType, "password"))
        {
            pText->SetEditable(1, 64);
            pText->SetPasswordMode(1);
        }
        int iTitle = 0;
        const char* pTitle = GetText(pChild, "$title");
        if (!pTitle || CKorvelString(pTitle).Scan(L"%d", &iTitle) != 1)
            iTitle = 0;
        pText->SetLocalizedInputBoxTitle(iTitle);
    }
    static const char* const s_apAlign[] = {"left-middle", "right-middle", "right",
                                            "middle",      "center",       "center-middle"};
    static const int s_aiAlign[] = {KE_DRAW_CENTER_V, KE_TEXT_RIGHT | KE_DRAW_CENTER_V,
                                    KE_TEXT_RIGHT,    KE_DRAW_CENTER_V,
                                    KE_DRAW_CENTER_H, KE_DRAW_CENTER_H | KE_DRAW_CENTER_V};
    // Layout texts always wrap.
    pText->SetTextAlign(KE_TEXT_MULTILINE + static_cast<unsigned int>(WordIndex(GetText(pChild, "$align"),
                                                                                s_apAlign, s_aiAlign, 6, 0)));
    return pText;
}

CWidget* CUIXMLLoader::CreateDivider(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                     CWidget* pCandidate)
{
    CDivider* pDivider = TakeOrCreate<CDivider>(pLoader, parent, pCandidate);
    if (const char* pOrientation = GetText(pElement, "$orientation"))
    {
        static const char* const s_apWords[] = {"horizontal", "vertical", "left", "top", "right", "bottom"};
        static const int s_aiValues[] = {0, 1, 0, 1, 2, 3};
        pDivider->SetOrientation(
            static_cast<CDivider::EOrientation>(WordIndex(pOrientation, s_apWords, s_aiValues, 6, 0)));
    }
    pDivider->SetAspect(GetFloat(pElement, "$aspect", 1.0f));
    float fWidth = GetFloat(pElement, "$max_item_width", 0.0f);
    if (fWidth != 0.0f)
        pDivider->SetMaxItemWidth(ToPixels(roundf(fWidth * static_cast<float>(pLoader->m_iReferenceWidth))));
    float fHeight = GetFloat(pElement, "$max_item_height", 0.0f);
    if (fHeight != 0.0f)
        pDivider->SetMaxItemHeight(
            ToPixels(roundf(fHeight * static_cast<float>(pLoader->m_iReferenceHeight))));
    pDivider->SetTransparent(1);
    return pDivider;
}

CWidget* CUIXMLLoader::CreateRatioDivider(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement,
                                          CWidget& parent, CWidget* pCandidate)
{
    CRatioDivider* pDivider = TakeOrCreateTransparent<CRatioDivider>(pLoader, parent, pCandidate);
    if (const char* pOrientation = GetText(pElement, "$orientation"))
        pDivider->SetOrientation(TextIs(pOrientation, "vertical") ? CRatioDivider::VERTICAL
                                                                  : CRatioDivider::HORIZONTAL);
    float d = static_cast<float>(pDivider->GetOrientation() == CRatioDivider::HORIZONTAL
                                     ? pLoader->m_iReferenceWidth
                                     : pLoader->m_iReferenceHeight);
    pDivider->SetRatio(GetFloat(pElement, "$ratio", 1.0f));
    pDivider->SetMinFirstItemSize(RoundToPixels(GetFloat(pElement, "$min_first_item_size", 0.0f) * d));
    float fMaxDefault = d != 0.0f ? 1e9f / d : 1e9f;
    pDivider->SetMaxFirstItemSize(RoundToPixels(GetFloat(pElement, "$max_first_item_size", fMaxDefault) * d));
    return pDivider;
}

CWidget* CUIXMLLoader::CreateAspect(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                    CWidget* pCandidate)
{
    CAspectLayout* pLayout = TakeOrCreateTransparent<CAspectLayout>(pLoader, parent, pCandidate);
    float fAspect = GetFloat(pElement, "$aspect", 1.0f);
    float fPositioning = GetFloat(pElement, "$positioning", 0.0f);
    pLayout->SetAspect(fAspect);
    pLayout->SetPositioning(fPositioning);
    char aName[128];
    std::snprintf(aName, sizeof(aName), "aspect(%f,%f)", static_cast<double>(fAspect),
                  static_cast<double>(fPositioning));
    pLayout->SetName(CKorvelString(aName));
    return pLayout;
}

CWidget* CUIXMLLoader::CreateAlignment(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                       CWidget* pCandidate)
{
    CAlignment* pLayout = TakeOrCreate<CAlignment>(pLoader, parent, pCandidate);
    char aName[32];
    std::snprintf(aName, sizeof(aName), "alignment(%d)", static_cast<int>(pLayout->GetAlignment()));
    pLayout->SetName(CKorvelString(aName));
    pLayout->SetTransparent(1);
    static const char* const s_apVertical[] = {"top", "center", "scaled", "bottom"};
    static const int s_aiVertical[] = {0, 1, 2, 3};
    static const char* const s_apHorizontal[] = {"left", "center", "scaled", "right"};
    static const int s_aiHorizontal[] = {0, 4, 8, 12};
    int iVertical = WordIndex(GetText(pElement, "$vertical"), s_apVertical, s_aiVertical, 4, 0);
    int iHorizontal = WordIndex(GetText(pElement, "$horizontal"), s_apHorizontal, s_aiHorizontal, 4, 0);
    pLayout->SetAlignment(static_cast<unsigned int>(iVertical + iHorizontal));
    if (CKorvelXMLDataNode* pBorder = FindChild(pElement, "border-size"))
    {
        float fW = static_cast<float>(pLoader->m_iReferenceWidth),
              fH = static_cast<float>(pLoader->m_iReferenceHeight);
        float fWidth = GetFloat(pBorder, "$width", 0.0f), fHeight = GetFloat(pBorder, "$height", 0.0f);
        pLayout->SetBorderSize(CAlignment::SIDE_LEFT,
                               ToPixels(roundf(GetFloat(pBorder, "$left", fWidth) * fW)));
        pLayout->SetBorderSize(CAlignment::SIDE_RIGHT,
                               ToPixels(roundf(GetFloat(pBorder, "$right", fWidth) * fW)));
        pLayout->SetBorderSize(CAlignment::SIDE_TOP,
                               ToPixels(roundf(GetFloat(pBorder, "$top", fHeight) * fH)));
        pLayout->SetBorderSize(CAlignment::SIDE_BOTTOM,
                               ToPixels(roundf(GetFloat(pBorder, "$bottom", fHeight) * fH)));
    }
    return pLayout;
}

CWidget* CUIXMLLoader::CreateExpandable(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                        CWidget* pCandidate)
{
    CExpandable* pExpandable = TakeOrCreate<CExpandable>(pLoader, parent, pCandidate);
    if (pExpandable != pCandidate)
        pExpandable->SetTransparent(0);
    CKorvelArray<int> aWidths, aHeights;
    float fW = static_cast<float>(pLoader->m_iReferenceWidth),
          fH = static_cast<float>(pLoader->m_iReferenceHeight);
    for (CKorvelXMLDataNode* pChild = FirstChild(pElement); pChild; pChild = GetNextNode(pChild))
    {
        const char* pName = GetName(pChild);
        if (TextIs(pName, "width"))
            aWidths.Add(RoundToPixels(GetFloat(pChild, "$value", 0.0f) * fW));
        else if (TextIs(pName, "height"))
            aHeights.Add(RoundToPixels(GetFloat(pChild, "$value", 0.0f) * fH));
    }
    pExpandable->SetSizes(aWidths, aHeights);
    pExpandable->SetTransitionTime(GetFloat(FindChild(pElement, "transition-time"), "$value", 0.0f));
    return pExpandable;
}

CWidget* CBubble::CreateBubbleWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                     CWidget* pExisting)
{
    CBubble* pBubble = CUIXMLLoader::TakeOrCreate<CBubble>(pLoader, parent, pExisting);
    if (CKorvelXMLDataNode* pArrow = CXMLLoaderWrapper::FindChild(pElement, "arrow"))
    {
        static const char* const s_apSides[] = {"left-up",  "left-down", "right-up",    "right-down",
                                                "top-left", "top-right", "bottom-left", "bottom-right"};
        static const int s_aiSides[] = {1, 2, 3, 4, 5, 6, 7, 8};
        pBubble->SetArrowSide(
            WordIndex(CXMLLoaderWrapper::GetText(pArrow, "$value"), s_apSides, s_aiSides, 8, 0));
    }
    return pBubble;
}
