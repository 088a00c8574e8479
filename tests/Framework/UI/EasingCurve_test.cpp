#include "Framework/UI/EasingCurveFactory.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>

namespace
{
// A curve from a started factory.
std::unique_ptr<IEasingCurve> Get(const char* pName, unsigned int uLimited = 0)
{
    CEasingCurveFactory factory;
    factory.StartUp();
    return std::unique_ptr<IEasingCurve>(factory.GetEasingCurve(CKorvelString(pName), uLimited, 0, nullptr));
}
} // namespace

// Each named curve at t = 0, 0.49, 0.5, 1 and 2 (inputs are never clamped).
TEST(CEasingCurveFactory, EveryCurveAtTheSamplePoints)
{
    const float aT[5] = {0.0f, 0.49f, 0.5f, 1.0f, 2.0f};
    struct
    {
        const char* pName;
        float afValue[5];
    } aCases[] = {
        {"zero", {0, 0, 0, 0, 0}},
        {"one", {1, 1, 1, 1, 1}},
        {"linear", {0, 0.49f, 0.5f, 1, 2}},
        {"step", {0, 0, 1, 1, 1}},
        {"smoothstep", {0, 0.485002f, 0.5f, 1, -4}},
        {"smoothstep_out", {1, 0.514998f, 0.5f, 0, 5}},
        {"pow2", {0, 0.2401f, 0.25f, 1, 4}},
        {"pow3", {0, 0.117649f, 0.125f, 1, 8}},
        {"pow4", {0, 0.05764801f, 0.0625f, 1, 16}},
        {"one_minus_pow4", {1, 0.94235199f, 0.9375f, 0, -15}},
        {"one_minus_pow5", {1, 0.97175248f, 0.96875f, 0, -31}},
        {"pow8", {0, 0.0033232931f, 0.00390625f, 1, 256}},
        {"one_minus_pow8", {1, 0.99667671f, 0.99609375f, 0, -255}},
        {"one_minus_invert_pow4", {0, 0.93234799f, 0.9375f, 1, 0}},
        {"expo_inout", {-1.171875e-05f, 0.43477528f, 0.50025f, 1.0000115f, 1.0005f}},
    };
    for (const auto& c : aCases)
    {
        std::unique_ptr<IEasingCurve> pCurve = Get(c.pName, 1);
        ASSERT_NE(pCurve, nullptr);
        EXPECT_EQ(pCurve->LimitedRange(), 1u) << c.pName;
        for (int i = 0; i < 5; ++i)
            EXPECT_NEAR(pCurve->Easing(aT[i]), c.afValue[i], 2e-6f * (1.0f + std::fabs(c.afValue[i])))
                << c.pName << " at " << aT[i];
        std::unique_ptr<IEasingCurve> pCopy(pCurve->Clone());
        EXPECT_EQ(typeid(*pCopy), typeid(*pCurve)) << c.pName;
    }
}

TEST(CEasingCurveFactory, ExpoInOutEndsJustOutsideTheRange)
{
    std::unique_ptr<IEasingCurve> pCurve = Get("expo_inout");
    EXPECT_LT(pCurve->Easing(0.0f), 0.0f);
    EXPECT_GT(pCurve->Easing(1.0f), 1.0f);
    EXPECT_NEAR(pCurve->Easing(0.4999f), 0.4995f, 1e-3f);
    EXPECT_FLOAT_EQ(pCurve->Easing(0.5f), 0.50025f);
}

// Anything that names no curve gives a step curve, never null.
TEST(CEasingCurveFactory, UnknownNamesGiveAStepCurve)
{
    for (const char* pName : {"none", "unknown", "Linear", "", "pow2 "})
    {
        std::unique_ptr<IEasingCurve> pCurve = Get(pName);
        ASSERT_NE(pCurve, nullptr) << pName;
        EXPECT_EQ(typeid(*pCurve), typeid(CEasingCurveStep)) << pName;
        EXPECT_EQ(pCurve->Easing(0.49f), 0.0f);
        EXPECT_EQ(pCurve->Easing(0.5f), 1.0f);
    }
    // An empty factory knows no names at all.
    CEasingCurveFactory empty;
    std::unique_ptr<IEasingCurve> pCurve(empty.GetEasingCurve(CKorvelString("linear"), 0, 0, nullptr));
    EXPECT_EQ(typeid(*pCurve), typeid(CEasingCurveStep));
}
