// A speech-bubble button that builds its own nine-piece background, with an arrow on one
// side, from three image templates among its children: "bg0_template" (the 3 x 3
// background sheet), "bg1_template" (the 2 x 2 side arrows) and "bg2_template" (the 2 x 2
// top and bottom arrows). A click hides the bubble before OnClick runs.
// Files: Bubble.cpp (the widget), UIXMLLoaderCreators.cpp (its creator for the loader).
#pragma once

#include "Framework/UI/Button.h"

class CKorvelXMLDataNode;
class CUIXMLLoader;

class CBubble : public CButton
{
public:
    enum EArrowSide
    {
        ARROW_NONE = 0,
        ARROW_LEFT_UP,
        ARROW_LEFT_DOWN,
        ARROW_RIGHT_UP,
        ARROW_RIGHT_DOWN,
        ARROW_TOP_LEFT,
        ARROW_TOP_RIGHT,
        ARROW_BOTTOM_LEFT,
        ARROW_BOTTOM_RIGHT
    };
    enum
    {
        TEMPLATE_BACKGROUND = 0,
        TEMPLATE_SIDE_ARROW,
        TEMPLATE_END_ARROW,
        TEMPLATE_COUNT
    };

    CBubble();
    ~CBubble() override;

    // The layout loader's creator of "bubble" elements: the arrow side from "arrow".
    static CWidget* CreateBubbleWidget(CUIXMLLoader* pLoader, CKorvelXMLDataNode* pElement, CWidget& parent,
                                       CWidget* pExisting);

    int GetArrowSide() const { return m_iArrowSide; }
    // 0 (none) for a side outside 0..8.
    void SetArrowSide(int iSide)
    {
        m_iArrowSide = (iSide >= ARROW_NONE && iSide <= ARROW_BOTTOM_RIGHT) ? iSide : 0;
    }
    CImageWidget* GetTemplate(int iIndex) const
    {
        return (iIndex >= 0 && iIndex < TEMPLATE_COUNT) ? m_apTemplates[iIndex] : nullptr;
    }
    // The pieces for the bubble's current size, under its content; nothing unless all three
    // templates are held.
    void CreateBackgroundWidgets();

    void click() override;
    KE_RETVAL update(float fSeconds) override;
    void Shutdown() override;
    CWidget* New() const override { return new CBubble; }
    KORVEL_WIDGET_GETTYPE(CBubble)
    void initializeClone(const CWidget& source) override;

private:
    void TakeTemplates();
    void DeleteTemplates();
    // A clone of the template showing the frame, over the area, below everything else.
    void AddPiece(int iTemplate, unsigned int uFrame, const CKorvelRect<int>& area);

    unsigned int m_uTemplatesPending; // until the first update
    int m_iArrowSide;
    CImageWidget* m_apTemplates[TEMPLATE_COUNT]; // owned
};
