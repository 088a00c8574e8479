// Transitions: the slides of each direction at eased points in time, the zero duration,
// the end of a run, and the holder that keeps one transition per type.
#include <gtest/gtest.h>

#include <cmath>

#include "Framework/UI/EasingCurve.h"
#include "Framework/UI/Transition.h"
#include "Framework/UI/Widget.h"

namespace transition_test
{
typedef CKorvelRect<int> Rect;

bool SameArea(const CWidget& w, const Rect& r)
{
    const Rect& a = w.GetArea();
    return a.left == r.left && a.top == r.top && a.right == r.right && a.bottom == r.bottom;
}

// Two 200 x 100 pages at the origin: "from" shown, "to" hidden.
class CTransition : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (CWidget* p : {&m_From, &m_To})
            p->Startup(nullptr, nullptr, Rect(0, 0, 200, 100));
        m_To.SetVisible(0);
    }
    void TearDown() override
    {
        m_From.Shutdown();
        m_To.Shutdown();
    }
    ::CTransition* Make(::CTransition::eTransitionType eType, ::CTransition::eTransitionDirection eDirection,
                        float fDuration, unsigned int uMoveOther = 1, IEasingCurve* pCurve = nullptr)
    {
        ::CTransition* p = new ::CTransition;
        p->Startup(uMoveOther, eDirection, eType, fDuration);
        p->SetEasingIn(pCurve ? pCurve->Clone() : new CEasingCurveLinear);
        p->SetEasingOut(pCurve ? pCurve : new CEasingCurveLinear);
        m_Holder.AddTransition(p);
        return p;
    }
    void Start(::CTransition::eTransitionType eType) { m_Holder.StartTransition(eType, &m_From, &m_To); }

    CWidget m_From, m_To;
    CTransitionable m_Holder;
};

TEST_F(CTransition, SlidesPlaceThePagesAtTheirEasedPositions)
{
    struct sCASE
    {
        const char* pWhat;
        ::CTransition::eTransitionType eType;
        ::CTransition::eTransitionDirection eDirection;
        bool bSquare; // pow2 curve, else linear
        // after 0.25 s, 0.5 s and at the end (1 s): the left/top of to and of from
        int aiTo[3], aiFrom[3];
        bool bVertical;
    };
    const auto IN = ::CTransition::TYPE_IN;
    const auto OUT = ::CTransition::TYPE_OUT;
    const sCASE aCases[] = {
        {"right in", IN, ::CTransition::DIRECTION_RIGHT, false, {150, 100, 0}, {-50, -100, -200}, false},
        {"right in, pow2", IN, ::CTransition::DIRECTION_RIGHT, true, {188, 150, 0}, {-12, -50, -200}, false},
        {"left out", OUT, ::CTransition::DIRECTION_LEFT, false, {-150, -100, 0}, {50, 100, 200}, false},
        {"left out, pow2", OUT, ::CTransition::DIRECTION_LEFT, true, {-187, -150, 0}, {13, 50, 200}, false},
        {"up in", IN, ::CTransition::DIRECTION_TOP, false, {-75, -50, 0}, {25, 50, 100}, true},
        {"up out", OUT, ::CTransition::DIRECTION_TOP, true, {-94, -75, 0}, {6, 25, 100}, true},
        {"down in", IN, ::CTransition::DIRECTION_BOTTOM, false, {75, 50, 0}, {-25, -50, -100}, true},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhat);
        SetUp();
        CEasingCurvePow2 pow2;
        ::CTransition* p = Make(c.eType, c.eDirection, 1.0f, 1, c.bSquare ? pow2.Clone() : nullptr);
        Start(c.eType);
        EXPECT_EQ(m_From.GetVisible(), 1u);
        EXPECT_EQ(m_To.GetVisible(), 1u);
        const float afSteps[3] = {0.25f, 0.25f, 0.5f};
        for (int i = 0; i < 3; ++i)
        {
            m_Holder.Update(afSteps[i]);
            EXPECT_EQ(c.bVertical ? m_To.GetArea().top : m_To.GetArea().left, c.aiTo[i]) << i;
            EXPECT_EQ(c.bVertical ? m_From.GetArea().top : m_From.GetArea().left, c.aiFrom[i]) << i;
            EXPECT_EQ(c.bVertical ? m_To.GetArea().left : m_To.GetArea().top, 0) << "the other axis stays";
            if (i == 1)
            {
                // The distance follows the moving page.
                const int iMoved = c.bVertical ? 100 - std::abs(c.aiTo[1]) : 200 - std::abs(c.aiTo[1]);
                EXPECT_NEAR(m_Holder.GetDistDifference(), iMoved, 0.5f);
            }
        }
        EXPECT_EQ(p->GetRunning(), 0u);
        EXPECT_EQ(m_From.GetVisible(), 0u) << "the page left is hidden at the end";
        EXPECT_EQ(m_To.GetVisible(), 1u);
        EXPECT_EQ(m_Holder.GetDistDifference(), 0.0f);
        m_Holder.Shutdown();
    }
}

TEST_F(CTransition, DirectionsThatDoNotMoveTheirTypeOnlySwitchAtTheEnd)
{
    struct sCASE
    {
        const char* pWhat;
        ::CTransition::eTransitionType eType;
        ::CTransition::eTransitionDirection eDirection;
    };
    const sCASE aCases[] = {
        {"left in", ::CTransition::TYPE_IN, ::CTransition::DIRECTION_LEFT},
        {"right out", ::CTransition::TYPE_OUT, ::CTransition::DIRECTION_RIGHT},
        {"center", ::CTransition::TYPE_IN, ::CTransition::DIRECTION_CENTER},
        {"none", ::CTransition::TYPE_OUT, ::CTransition::DIRECTION_NONE},
        {"an unknown direction", ::CTransition::TYPE_IN, static_cast<::CTransition::eTransitionDirection>(9)},
    };
    for (const sCASE& c : aCases)
    {
        SCOPED_TRACE(c.pWhat);
        SetUp();
        ::CTransition* p = Make(c.eType, c.eDirection, 1.0f);
        Start(c.eType);
        m_Holder.Update(0.6f);
        EXPECT_EQ(p->GetRunning(), 1u);
        EXPECT_TRUE(SameArea(m_To, Rect(0, 0, 200, 100)) && SameArea(m_From, Rect(0, 0, 200, 100)));
        EXPECT_EQ(m_To.GetVisible(), 0u);
        m_Holder.Update(0.4f);
        EXPECT_EQ(p->GetRunning(), 0u);
        EXPECT_EQ(m_From.GetVisible(), 0u);
        EXPECT_EQ(m_To.GetVisible(), 1u);
        m_Holder.Shutdown();
    }
}

TEST_F(CTransition, ANonPositiveDurationEndsInTheFirstStep)
{
    for (float fDuration : {0.0f, -1.0f})
    {
        SCOPED_TRACE(fDuration);
        SetUp();
        ::CTransition* p = Make(::CTransition::TYPE_IN, ::CTransition::DIRECTION_RIGHT, fDuration);
        Start(::CTransition::TYPE_IN);
        EXPECT_EQ(p->GetRunning(), 0u);
        EXPECT_EQ(m_From.GetVisible(), 0u);
        EXPECT_EQ(m_To.GetVisible(), 1u);
        EXPECT_TRUE(SameArea(m_To, Rect(0, 0, 200, 100))) << "at its end position, not at a NaN";
        EXPECT_TRUE(SameArea(m_From, Rect(-200, 0, 0, 100)));
        m_Holder.Shutdown();
    }
}

TEST_F(CTransition, JumpingToTheEndAndMissingPartsStopAtOnce)
{
    ::CTransition* p = Make(::CTransition::TYPE_OUT, ::CTransition::DIRECTION_LEFT, 1.0f);
    Start(::CTransition::TYPE_OUT);
    m_Holder.Update(0.1f);
    EXPECT_EQ(m_Holder.TransitionRunning(), 1u);
    p->SetDirection(::CTransition::DIRECTION_RIGHT);
    EXPECT_EQ(p->GetDirection(), ::CTransition::DIRECTION_LEFT) << "ignored while running";
    m_Holder.StopTransition(::CTransition::TYPE_OUT);
    EXPECT_EQ(m_Holder.TransitionRunning(), 0u);
    EXPECT_EQ(m_From.GetArea().left, 200) << "placed at the end";
    EXPECT_EQ(m_From.GetVisible(), 0u);

    // Without curves the transition stops in its first step, switching the pages.
    m_From.SetVisible(1);
    p->SetEasingIn(nullptr);
    m_Holder.StartTransition(::CTransition::TYPE_OUT, &m_To, &m_From);
    EXPECT_EQ(p->GetRunning(), 0u);
    EXPECT_EQ(m_To.GetVisible(), 0u);
    EXPECT_EQ(m_From.GetVisible(), 1u);
}

TEST_F(CTransition, TheHolderKeepsOneTransitionPerType)
{
    EXPECT_EQ(m_Holder.GetDistDifference(), 0.0f);
    m_Holder.AddTransition(nullptr);
    Make(::CTransition::TYPE_IN, ::CTransition::DIRECTION_RIGHT, 1.0f);
    ::CTransition* pOut = Make(::CTransition::TYPE_OUT, ::CTransition::DIRECTION_LEFT, 1.0f);
    ::CTransition* pIn = Make(::CTransition::TYPE_IN, ::CTransition::DIRECTION_TOP, 2.0f);
    EXPECT_EQ(m_Holder.GetTransitionCount(), 2);
    EXPECT_EQ(m_Holder.GetTransition(::CTransition::TYPE_IN), pIn) << "the newer one replaced the first";
    EXPECT_EQ(m_Holder.GetTransition(::CTransition::TYPE_OUT), pOut);
    EXPECT_EQ(m_Holder.GetTransition(::CTransition::TYPE_NONE), nullptr);
    m_Holder.Shutdown();
    EXPECT_EQ(m_Holder.GetTransitionCount(), 0);
}

} // namespace transition_test
