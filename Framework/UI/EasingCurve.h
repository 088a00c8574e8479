// Easing curves: stateless maps from a time fraction (normally 0..1, never clamped) to a
// progress value, in single precision.
#pragma once

class IEasingCurve
{
public:
    virtual ~IEasingCurve() {}
    virtual float Easing(float t) const = 0;
    // Non-zero when inputs in 0..1 give outputs in 0..1.
    virtual unsigned int LimitedRange() const = 0;
    // A new curve of the same class; the caller owns it.
    virtual IEasingCurve* Clone() const = 0;
};

// cls names a class, which cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define KORVEL_EASING_CURVE(cls, formula)                                                                    \
    class cls : public IEasingCurve                                                                          \
    {                                                                                                        \
    public:                                                                                                  \
        float Easing(float t) const override { return formula; }                                             \
        unsigned int LimitedRange() const override { return 1; }                                             \
        IEasingCurve* Clone() const override { return new cls; }                                             \
    };
// NOLINTEND(bugprone-macro-parentheses)

KORVEL_EASING_CURVE(CEasingCurveZero, ((void)t, 0.0f))
KORVEL_EASING_CURVE(CEasingCurveOne, ((void)t, 1.0f))
KORVEL_EASING_CURVE(CEasingCurveLinear, t)
KORVEL_EASING_CURVE(CEasingCurveStep, t < 0.5f ? 0.0f : 1.0f)
KORVEL_EASING_CURVE(CEasingCurveSmoothstep, t* t*(3.0f - 2.0f * t))
KORVEL_EASING_CURVE(CEasingCurveSmoothstepOut, 1.0f + t * t * (2.0f * t - 3.0f))
KORVEL_EASING_CURVE(CEasingCurvePow2, t* t)
KORVEL_EASING_CURVE(CEasingCurvePow3, t* t* t)
KORVEL_EASING_CURVE(CEasingCurvePow4, (t * t) * (t * t))
KORVEL_EASING_CURVE(CEasingCurveOneMinusPow4, 1.0f - (t * t) * (t * t))
KORVEL_EASING_CURVE(CEasingCurveOneMinusPow5, 1.0f - (t * t) * (t * t) * t)
KORVEL_EASING_CURVE(CEasingCurvePow8, ((t * t) * (t * t)) * ((t * t) * (t * t)))
KORVEL_EASING_CURVE(CEasingCurveOneMinusPow8, 1.0f - ((t * t) * (t * t)) * ((t * t) * (t * t)))
KORVEL_EASING_CURVE(CEasingCurveOneMinusInvertPow4,
                    1.0f - ((1.0f - t) * (1.0f - t)) * ((1.0f - t) * (1.0f - t)))

#undef KORVEL_EASING_CURVE

// Exponential ease in and out, slightly past 0 and 1 at its ends.
class CEasingCurveExpoInOut : public IEasingCurve
{
public:
    float Easing(float t) const override;
    unsigned int LimitedRange() const override { return 1; }
    IEasingCurve* Clone() const override { return new CEasingCurveExpoInOut; }
};
