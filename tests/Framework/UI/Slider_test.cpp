// Sliders: values and their range, pressing, dragging and releasing through the widget
// tree, the knob taken from its template, and clones.
#include <gtest/gtest.h>

#include <memory>

#include "Framework/UI/ImageWidget.h"
#include "Framework/UI/Slider.h"
#include "support/RecordingSurface.h"
#include "support/TestVornApplication.h"
#include "tests/Framework/UI/WidgetProbe.h"
#include "tests/Framework/UI/WidgetTestSurfaces.h"

namespace slider_test
{
typedef CKorvelRect<int> Rect;

void CountChange(::CSlider*, void* pContext)
{
    ++*static_cast<int*>(pContext);
}

class CSlider : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_App.StartResourcesOnly();
        m_pRoot.reset(new CWidget);
        m_pRoot->Startup(&m_App, &m_App, Rect(0, 0, 300, 100));
        m_pSlider = new ::CSlider;
        m_pSlider->Startup(&m_App, &m_App, Rect(0, 0, 100, 20));
        m_pSlider->SetOnValueChanged(CSliderCallback(&CountChange, &m_iChanges));
        m_pRoot->AddWidget(m_pSlider);
    }
    void TearDown() override { CWidget::SetActiveWidget(nullptr); }
    // A knob template of the given size showing a 4 x 4 sheet.
    CImageWidget* AddKnob(int iWidth, int iHeight)
    {
        CImageWidget* pKnob = new CImageWidget;
        pKnob->Startup(&m_App, &m_App, Rect(0, 0, iWidth, iHeight));
        pKnob->SetName(CKorvelString("knob_template"));
        pKnob->SetImage(MakeSheet(4, 4));
        m_pSlider->AddWidget(pKnob);
        m_pSlider->DoUpdate(0.0f);
        return pKnob;
    }

    CTestVornApplication m_App;
    std::unique_ptr<CWidget, sTreeDeleter> m_pRoot;
    ::CSlider* m_pSlider = nullptr;
    int m_iChanges = 0;
};

TEST_F(CSlider, ValuesAreClampedIntoTheRange)
{
    m_pSlider->SetMinValue(10.0f);
    EXPECT_EQ(m_iChanges, 0) << "a higher minimum leaves the position";
    m_pSlider->SetMaxValue(20.0f);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 20.0f) << "a higher maximum takes the value with it";
    EXPECT_EQ(m_iChanges, 1);
    m_pSlider->UpdateValue(50, 10);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 15.0f) << "position 0.5";
    m_iChanges = 0;
    struct sCASE
    {
        float fSet, fPosition, fValue;
        int iChanges; // notifications of this step
    };
    const sCASE aCases[] = {
        {25.0f, 1.0f, 20.0f, 1}, {25.0f, 1.0f, 20.0f, 0}, {12.5f, 0.25f, 12.5f, 1},
        {-3.0f, 0.0f, 10.0f, 1}, {10.0f, 0.0f, 10.0f, 0},
    };
    for (const sCASE& c : aCases)
    {
        const int iBefore = m_iChanges;
        m_pSlider->SetValue(c.fSet);
        EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), c.fPosition) << c.fSet;
        EXPECT_FLOAT_EQ(m_pSlider->GetValue(), c.fValue) << c.fSet;
        EXPECT_EQ(m_iChanges - iBefore, c.iChanges) << c.fSet;
    }
    // A lower minimum takes the value with it; a range of one point is position 0.
    m_pSlider->SetMinValue(0.0f);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 0.0f);
    m_pSlider->SetMaxValue(0.0f);
    m_pSlider->SetValue(0.0f);
    EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), 0.0f);
}

TEST_F(CSlider, ADragCommitsOnceOnRelease)
{
    m_pSlider->SetMinValue(10.0f);
    m_pSlider->SetMaxValue(20.0f);
    m_pSlider->SetValue(15.0f);
    m_iChanges = 0;
    EXPECT_EQ(m_pRoot->DoMouseDrag(0, 80, 10), 0) << "no drag without a press";
    EXPECT_EQ(m_pRoot->DoMouseButton(0, 30, 10), 1);
    EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), 0.3f);
    m_pRoot->DoMouseDrag(0, 250, 10);
    EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), 1.0f) << "held at the end beyond it";
    EXPECT_EQ(m_iChanges, 0) << "dragging tells nobody";
    m_pRoot->DoMouseButtonUp(0, 250, 10);
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 20.0f);
    EXPECT_FLOAT_EQ(m_pSlider->GetCommittedPosition(), 1.0f);
    EXPECT_EQ(m_iChanges, 1);

    // A drag given up returns to the committed value without a notification.
    m_pRoot->DoMouseButton(0, 10, 10);
    EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), 0.1f);
    m_pRoot->DoResetMouse();
    EXPECT_FLOAT_EQ(m_pSlider->GetValue(), 20.0f);
    EXPECT_EQ(m_iChanges, 1);
    EXPECT_EQ(m_pSlider->mouseButtonUp(0, 10, 10), 0) << "the capture is gone";
}

TEST_F(CSlider, TheKnobComesFromItsTemplateAndShortensTheTrack)
{
    m_pSlider->SetOrientation(::CSlider::VERTICAL);
    m_pSlider->SetArea(Rect(0, 0, 20, 100));
    CImageWidget* pKnob = AddKnob(20, 20);
    EXPECT_EQ(m_pSlider->GetKnob(), pKnob);
    EXPECT_EQ(m_pSlider->GetWidgets().GetCount(), 0) << "taken out of the children";
    struct sCASE
    {
        int y;
        float fPosition;
    };
    // (y - 10) / 80 along the 80 pixels the knob can travel.
    for (const sCASE& c :
         {sCASE{10, 0.0f}, sCASE{50, 0.5f}, sCASE{90, 1.0f}, sCASE{0, 0.0f}, sCASE{99, 1.0f}})
    {
        m_pSlider->UpdateValue(5, c.y);
        EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), c.fPosition) << c.y;
    }

    // Drawn moved along the track by the position.
    CRecordingSurface target;
    ASSERT_TRUE(target.CreateRecording(100, 120));
    m_pSlider->UpdateValue(5, 30);
    m_pSlider->DrawAt(&target, Rect(10, 10, 30, 110));
    const auto aBlits = target.CallsOf(CRecordingSurface::CALL_DRAW_STRETCHED);
    ASSERT_EQ(aBlits.size(), 1u);
    EXPECT_TRUE(SameRect(aBlits[0].m_rcDest, Rect(10, 30, 30, 50))) << AreaText(aBlits[0].m_rcDest);

    // A knob as long as the slider cannot move.
    m_pSlider->SetArea(Rect(0, 0, 20, 20));
    m_pRoot->DoMouseButton(0, 10, 15);
    m_pRoot->DoMouseDrag(0, 10, 19);
    EXPECT_FLOAT_EQ(m_pSlider->GetPosition(), 0.0f);
}

TEST_F(CSlider, AClonedSliderIsASliderWithTheSameSettings)
{
    m_pSlider->SetMinValue(-5.0f);
    m_pSlider->SetMaxValue(5.0f);
    m_pSlider->SetValue(2.5f);
    m_pSlider->SetOrientation(::CSlider::VERTICAL);
    AddKnob(10, 10);
    std::unique_ptr<CWidget, sTreeDeleter> pClone(m_pSlider->Clone());
    ::CSlider* pCopy = widget_cast<::CSlider*>(pClone.get());
    ASSERT_NE(pCopy, nullptr);
    EXPECT_FLOAT_EQ(pCopy->GetMinValue(), -5.0f);
    EXPECT_FLOAT_EQ(pCopy->GetMaxValue(), 5.0f);
    EXPECT_FLOAT_EQ(pCopy->GetValue(), 2.5f);
    EXPECT_FLOAT_EQ(pCopy->GetCommittedPosition(), 0.75f);
    EXPECT_EQ(pCopy->GetOrientation(), ::CSlider::VERTICAL);
    EXPECT_TRUE(pCopy->GetOnValueChanged() == m_pSlider->GetOnValueChanged());
    ASSERT_NE(pCopy->GetKnob(), nullptr);
    EXPECT_NE(pCopy->GetKnob(), m_pSlider->GetKnob()) << "a knob of its own";
    EXPECT_TRUE(SameRect(pCopy->GetArea(), m_pSlider->GetArea()));
}
} // namespace slider_test
