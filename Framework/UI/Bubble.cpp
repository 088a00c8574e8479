// Bubble: its templates, the nine-piece background with the arrow, the hiding click.
#include "Framework/UI/Bubble.h"

namespace
{
// Frames of the background sheet, row by row.
enum
{
    FRAME_TOP_LEFT = 0,
    FRAME_TOP = 1,
    FRAME_TOP_RIGHT = 2,
    FRAME_LEFT = 3,
    FRAME_CENTRE = 4,
    FRAME_RIGHT = 5,
    FRAME_BOTTOM_LEFT = 6,
    FRAME_BOTTOM = 7,
    FRAME_BOTTOM_RIGHT = 8
};

// The arrow of one side and the shortened edge beside it.
struct sARROW_PIECES
{
    unsigned int uArrowFrame;
    CKorvelRect<int> rcArrow;
    unsigned int uEdgeFrame;
    CKorvelRect<int> rcEdge;
    bool bEdge; // room for the shortened edge
};

sARROW_PIECES ArrowPieces(int iSide, int w, int h, int cw, int ch)
{
    typedef CKorvelRect<int> R;
    const bool bTall = h - 3 * ch >= 1, bWide = w - 3 * cw >= 1;
    switch (iSide)
    {
    case CBubble::ARROW_LEFT_UP:
        return {0, R(0, ch, cw, 2 * ch), FRAME_LEFT, R(0, 2 * ch, cw, h - ch), bTall};
    case CBubble::ARROW_LEFT_DOWN:
        return {2, R(0, h - 2 * ch, cw, h - ch), FRAME_LEFT, R(0, ch, cw, h - 2 * ch), bTall};
    case CBubble::ARROW_RIGHT_UP:
        return {1, R(w - cw, ch, w, 2 * ch), FRAME_RIGHT, R(w - cw, 2 * ch, w, h - ch), bTall};
    case CBubble::ARROW_RIGHT_DOWN:
        return {3, R(w - cw, h - 2 * ch, w, h - ch), FRAME_RIGHT, R(w - cw, ch, w, h - 2 * ch), bTall};
    case CBubble::ARROW_TOP_LEFT:
        return {0, R(cw, 0, 2 * cw, ch), FRAME_TOP, R(2 * cw, 0, w - cw, ch), bWide};
    case CBubble::ARROW_TOP_RIGHT:
        return {1, R(w - 2 * cw, 0, w - cw, ch), FRAME_TOP, R(cw, 0, w - 2 * cw, ch), bWide};
    case CBubble::ARROW_BOTTOM_LEFT:
        return {2, R(cw, h - ch, 2 * cw, h), FRAME_BOTTOM, R(2 * cw, h - ch, w - cw, h), bWide};
    default: // ARROW_BOTTOM_RIGHT
        return {3, R(w - 2 * cw, h - ch, w - cw, h), FRAME_BOTTOM, R(cw, h - ch, w - 2 * cw, h), bWide};
    }
}
} // namespace

CBubble::CBubble()
    : m_uTemplatesPending(1), m_iArrowSide(ARROW_NONE), m_apTemplates{nullptr, nullptr, nullptr}
{
}

CBubble::~CBubble()
{
    DeleteTemplates();
}

void CBubble::Shutdown()
{
    DeleteTemplates();
    CButton::Shutdown();
}

void CBubble::DeleteTemplates()
{
    for (CImageWidget*& pTemplate : m_apTemplates)
    {
        if (!pTemplate)
            continue;
        pTemplate->Shutdown();
        delete pTemplate;
        pTemplate = nullptr;
    }
}

KE_RETVAL CBubble::update(float fSeconds)
{
    if (m_uTemplatesPending)
    {
        m_uTemplatesPending = 0;
        TakeTemplates();
        CreateBackgroundWidgets();
    }
    return CButton::update(fSeconds);
}

void CBubble::TakeTemplates()
{
    for (int i = 0; i < TEMPLATE_COUNT; ++i)
    {
        CKorvelString strName;
        strName.Format(L"bg%d_template", i);
        CWidget* pFound = ExtractTemplate(strName);
        if (!pFound)
            continue;
        CImageWidget* pImage = widget_cast<CImageWidget*>(pFound);
        if (!pImage || !pImage->GetImage())
        {
            pFound->Shutdown();
            delete pFound;
            continue;
        }
        pImage->SetDrawFlags(pImage->GetDrawFlags() | DRAW_FIXED_FRAME);
        if (m_apTemplates[i])
        {
            m_apTemplates[i]->Shutdown();
            delete m_apTemplates[i];
        }
        m_apTemplates[i] = pImage;
    }
}

void CBubble::AddPiece(int iTemplate, unsigned int uFrame, const CKorvelRect<int>& area)
{
    CImageWidget* pPiece = static_cast<CImageWidget*>(m_apTemplates[iTemplate]->Clone());
    pPiece->SetFrameIndex(uFrame);
    pPiece->SetArea(area);
    // The bubble's own content stays drawn on top.
    InsertWidget(pPiece, 0);
}

void CBubble::CreateBackgroundWidgets()
{
    if (!m_apTemplates[0] || !m_apTemplates[1] || !m_apTemplates[2])
        return;
    typedef CKorvelRect<int> R;
    const int cw = m_apTemplates[TEMPLATE_BACKGROUND]->GetWidth();
    const int ch = m_apTemplates[TEMPLATE_BACKGROUND]->GetHeight();
    const int w = GetWidth(), h = GetHeight();

    AddPiece(TEMPLATE_BACKGROUND, FRAME_CENTRE, R(cw, ch, w - cw, h - ch));
    AddPiece(TEMPLATE_BACKGROUND, FRAME_TOP_LEFT, R(0, 0, cw, ch));
    AddPiece(TEMPLATE_BACKGROUND, FRAME_TOP_RIGHT, R(w - cw, 0, w, ch));
    AddPiece(TEMPLATE_BACKGROUND, FRAME_BOTTOM_LEFT, R(0, h - ch, cw, h));
    AddPiece(TEMPLATE_BACKGROUND, FRAME_BOTTOM_RIGHT, R(w - cw, h - ch, w, h));

    const int iSide = m_iArrowSide;
    if (iSide != ARROW_NONE)
    {
        const sARROW_PIECES arrow = ArrowPieces(iSide, w, h, cw, ch);
        AddPiece(iSide <= ARROW_RIGHT_DOWN ? TEMPLATE_SIDE_ARROW : TEMPLATE_END_ARROW, arrow.uArrowFrame,
                 arrow.rcArrow);
        if (arrow.bEdge)
            AddPiece(TEMPLATE_BACKGROUND, arrow.uEdgeFrame, arrow.rcEdge);
    }
    if (iSide != ARROW_LEFT_UP && iSide != ARROW_LEFT_DOWN)
        AddPiece(TEMPLATE_BACKGROUND, FRAME_LEFT, R(0, ch, cw, h - ch));
    if (iSide != ARROW_RIGHT_UP && iSide != ARROW_RIGHT_DOWN)
        AddPiece(TEMPLATE_BACKGROUND, FRAME_RIGHT, R(w - cw, ch, w, h - ch));
    if (iSide != ARROW_TOP_LEFT && iSide != ARROW_TOP_RIGHT)
        AddPiece(TEMPLATE_BACKGROUND, FRAME_TOP, R(cw, 0, w - cw, ch));
    if (iSide != ARROW_BOTTOM_LEFT && iSide != ARROW_BOTTOM_RIGHT)
        AddPiece(TEMPLATE_BACKGROUND, FRAME_BOTTOM, R(cw, h - ch, w - cw, h));
}

void CBubble::click()
{
    SetVisible(0);
    CButton::click();
}

// A source that has built its background hands its pieces over as children, so the clone
// takes no templates from them and builds nothing again.
void CBubble::initializeClone(const CWidget& source)
{
    CButton::initializeClone(source);
    const CBubble* pSource = widget_cast<const CBubble*>(&source);
    if (!pSource)
        return;
    m_iArrowSide = pSource->m_iArrowSide;
    m_uTemplatesPending = pSource->m_uTemplatesPending;
    DeleteTemplates();
    for (int i = 0; i < TEMPLATE_COUNT; ++i)
    {
        if (!pSource->m_apTemplates[i])
            continue;
        CWidget* pCopy = pSource->m_apTemplates[i]->Clone();
        m_apTemplates[i] = widget_cast<CImageWidget*>(pCopy);
        if (!m_apTemplates[i])
        {
            pCopy->Shutdown();
            delete pCopy;
        }
    }
}
