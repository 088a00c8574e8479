#include "Framework/UI/EasingCurveFactory.h"
#include "KorvelCommon/KorvelMath.h"

float CEasingCurveExpoInOut::Easing(float t) const
{
    const float u = 2.0f * t;
    if (u < 1.0f)
        return 0.5f * CKorvelMath::Pow(2.0f, 10.0f * (u - 1.0f)) - 0.0005f;
    return (2.0f - CKorvelMath::Pow(2.0f, -10.0f * (u - 1.0f))) * 0.50025f;
}

void CEasingCurveFactory::StartUp()
{
    static const struct
    {
        const char* pName;
        CreatorFunction pCreate;
    } s_aCreators[] = {{"none", CreateEasingCurveNone},
                       {"zero", CreateEasingCurveZero},
                       {"one", CreateEasingCurveOne},
                       {"linear", CreateEasingCurveLinear},
                       {"step", CreateEasingCurveStep},
                       {"smoothstep", CreateEasingCurveSmoothstep},
                       {"smoothstep_out", CreateEasingCurveSmoothstepOut},
                       {"pow2", CreateEasingCurvePow2},
                       {"pow3", CreateEasingCurvePow3},
                       {"pow4", CreateEasingCurvePow4},
                       {"one_minus_pow4", CreateEasingCurveOneMinusPow4},
                       {"one_minus_pow5", CreateEasingCurveOneMinusPow5},
                       {"pow8", CreateEasingCurvePow8},
                       {"one_minus_pow8", CreateEasingCurveOneMinusPow8},
                       {"one_minus_invert_pow4", CreateEasingCurveOneMinusInvertPow4},
                       {"expo_inout", CreateEasingCurveExpoInOut}};
    for (const auto& c : s_aCreators)
        m_Creators.Add(CHashString(c.pName), c.pCreate);
}

IEasingCurve* CEasingCurveFactory::GetEasingCurve(const CKorvelString& strName,
                                                  unsigned int uRequireLimitedRange, unsigned int uParamCount,
                                                  float* pParams) const
{
    const int i = m_Creators.Find(CHashString(strName));
    IEasingCurve* pCurve = i >= 0 ? m_Creators.GetAt(i).m_Second(uParamCount, pParams) : nullptr;
    if (pCurve && uRequireLimitedRange && !pCurve->LimitedRange())
    {
        delete pCurve;
        pCurve = nullptr;
    }
    return pCurve ? pCurve : new CEasingCurveStep;
}
