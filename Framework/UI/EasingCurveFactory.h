// Makes easing curves by the names layouts use ("linear", "pow2", "expo_inout", ...).
#pragma once

#include "Framework/Shell/HashString.h"
#include "Framework/UI/EasingCurve.h"
#include "KorvelCommon/KorvelSet.h"

class CEasingCurveFactory
{
public:
    typedef IEasingCurve* (*CreatorFunction)(unsigned int uParamCount, float* pParams);

    CEasingCurveFactory() = default;

    // Registers the sixteen names, "none" first.
    void StartUp();
    void Shutdown() {}

    // A new curve the caller owns; never null: unknown names, "none" and curves refused
    // for their range give a step curve.
    IEasingCurve* GetEasingCurve(const CKorvelString& strName, unsigned int uRequireLimitedRange,
                                 unsigned int uParamCount, float* pParams) const;

    // The parameters are accepted and ignored.
    static IEasingCurve* CreateEasingCurveNone(unsigned int, float*) { return nullptr; }
    static IEasingCurve* CreateEasingCurveZero(unsigned int, float*) { return new CEasingCurveZero; }
    static IEasingCurve* CreateEasingCurveOne(unsigned int, float*) { return new CEasingCurveOne; }
    static IEasingCurve* CreateEasingCurveLinear(unsigned int, float*) { return new CEasingCurveLinear; }
    static IEasingCurve* CreateEasingCurveStep(unsigned int, float*) { return new CEasingCurveStep; }
    static IEasingCurve* CreateEasingCurveSmoothstep(unsigned int, float*)
    {
        return new CEasingCurveSmoothstep;
    }
    static IEasingCurve* CreateEasingCurveSmoothstepOut(unsigned int, float*)
    {
        return new CEasingCurveSmoothstepOut;
    }
    static IEasingCurve* CreateEasingCurvePow2(unsigned int, float*) { return new CEasingCurvePow2; }
    static IEasingCurve* CreateEasingCurvePow3(unsigned int, float*) { return new CEasingCurvePow3; }
    static IEasingCurve* CreateEasingCurvePow4(unsigned int, float*) { return new CEasingCurvePow4; }
    static IEasingCurve* CreateEasingCurveOneMinusPow4(unsigned int, float*)
    {
        return new CEasingCurveOneMinusPow4;
    }
    static IEasingCurve* CreateEasingCurveOneMinusPow5(unsigned int, float*)
    {
        return new CEasingCurveOneMinusPow5;
    }
    static IEasingCurve* CreateEasingCurvePow8(unsigned int, float*) { return new CEasingCurvePow8; }
    static IEasingCurve* CreateEasingCurveOneMinusPow8(unsigned int, float*)
    {
        return new CEasingCurveOneMinusPow8;
    }
    static IEasingCurve* CreateEasingCurveOneMinusInvertPow4(unsigned int, float*)
    {
        return new CEasingCurveOneMinusInvertPow4;
    }
    static IEasingCurve* CreateEasingCurveExpoInOut(unsigned int, float*)
    {
        return new CEasingCurveExpoInOut;
    }

private:
    CKorvelMap<CHashString, CreatorFunction> m_Creators;
};
