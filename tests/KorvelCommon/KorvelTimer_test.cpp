#include "KorvelCommon/KorvelTimer.h"

#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

TEST(CKorvelTimer, ConversionsAreZeroBeforeStartup)
{
    CKorvelTimer t;
    EXPECT_EQ(t.GetTickMilliseconds(), 0u);
    EXPECT_EQ(t.GetTickMicroseconds64(), 0u);
    EXPECT_EQ(t.GetTickFrequency(), 0u);
    t.Startup(0);
    EXPECT_EQ(t.GetTickFrequency(), 1000000000u);
}

TEST(CKorvelTimer, TimersShareOneBase)
{
    CKorvelTimer a, b;
    uint64_t t1 = a.GetTicks();
    uint64_t t2 = b.GetTicks();
    uint64_t t3 = a.GetTicks();
    EXPECT_LE(t1, t2);
    EXPECT_LE(t2, t3);
    EXPECT_LT(t3 - t1, 1000000000ull);

    // The base is a whole second of the clock, so ticks agree with it below the second.
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    uint64_t t4 = a.GetTicks();
    timespec ts2;
    clock_gettime(CLOCK_MONOTONIC, &ts2);
    uint64_t uSub = t4 % 1000000000ull;
    if (ts.tv_sec == ts2.tv_sec)
    {
        EXPECT_GE(uSub, (uint64_t)ts.tv_nsec);
        EXPECT_LE(uSub, (uint64_t)ts2.tv_nsec);
    }
}

TEST(CKorvelTimer, TickConversionsTruncateAndSaturate)
{
    CKorvelTimer t;
    t.Startup(0);
    EXPECT_EQ(t.TicksToMilliseconds(1999999), 1u);
    EXPECT_EQ(t.TicksToMicroseconds(1999), 1u);

    // 71.6 minutes: the 32-bit microseconds stop, the 64-bit ones go on.
    uint64_t uPast = 4294967296ull * 1000ull + 5000ull;
    EXPECT_EQ(t.TicksToMicroseconds(uPast), 4294967295u);
    EXPECT_EQ(t.TicksToMicroseconds64(uPast), 4294967301ull);
    EXPECT_EQ(t.TicksToMilliseconds(uPast), 4294967u);
    uint64_t uFiftyDays = 50ull * 86400ull * 1000000000ull;
    EXPECT_EQ(t.TicksToMilliseconds(uFiftyDays), 4294967295u);
    EXPECT_EQ(t.TicksToMilliseconds64(uFiftyDays), 50ull * 86400ull * 1000ull);
}

TEST(CKorvelTimer, IntervalWithoutClockAdvanceIsTheSmallest)
{
    CKorvelTimer t;
    t.Startup(0);
    t.BeginTimer();
    t.EndTimerAt(t.GetBeginTick());
    EXPECT_FLOAT_EQ(t.GetElapsedSeconds(), 0.000001f);
    EXPECT_EQ(t.GetElapsedMilliseconds(), 0);
    EXPECT_EQ(t.GetElapsedMicroseconds(), 1);

    t.EndTimerAt(t.GetBeginTick() + 1500000); // 1.5 ms
    EXPECT_EQ(t.GetElapsedMilliseconds(), 1);
    EXPECT_EQ(t.GetElapsedMicroseconds(), 1500);
    EXPECT_FLOAT_EQ(t.GetElapsedSeconds(), 0.0015f);
}

TEST(CKorvelTimer, RealIntervalIsPositive)
{
    CKorvelTimer t;
    t.Startup(0);
    t.BeginTimer();
    timespec ts = {0, 2000000};
    nanosleep(&ts, nullptr);
    t.EndTimer();
    EXPECT_GE(t.GetElapsedMicroseconds(), 2000);
    EXPECT_GT(t.GetElapsedSeconds(), 0.0f);
}

namespace
{
CKorvelDateTime Date(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    CKorvelDateTime t;
    t.m_iYear = y;
    t.m_iMonth = mo;
    t.m_iDay = d;
    t.m_iHour = h;
    t.m_iMinute = mi;
    t.m_iSecond = s;
    return t;
}

void ExpectDate(const CKorvelDateTime& t, int y, int mo, int d, int h, int mi, int s)
{
    EXPECT_EQ(t.m_iYear, y);
    EXPECT_EQ(t.m_iMonth, mo);
    EXPECT_EQ(t.m_iDay, d);
    EXPECT_EQ(t.m_iHour, h);
    EXPECT_EQ(t.m_iMinute, mi);
    EXPECT_EQ(t.m_iSecond, s);
}

// The carries one unit at a time, as the setters are defined; below the range a day
// borrows the length of the month stepped into and a day of 0 stays 0.
struct sStepwise
{
    int y, mo, d, h, mi, s;
    int Dim() const
    {
        static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool bLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return mo == 1 && bLeap ? 29 : days[mo];
    }
    void SetMonth(int v)
    {
        mo = v;
        while (mo > 11)
        {
            mo -= 12;
            ++y;
        }
        while (mo < 0)
        {
            mo += 12;
            --y;
        }
    }
    void SetDay(int v)
    {
        d = v;
        while (d > Dim())
        {
            d -= Dim();
            SetMonth(mo + 1);
        }
        while (d < 0)
        {
            SetMonth(mo - 1);
            d += Dim();
        }
    }
    // Stores v in the field, then carries one unit at a time into the next one.
    void Carry(int& iField, int v, int iBase, void (sStepwise::*pNext)(int), const int& iNext)
    {
        iField = v;
        while (iField > iBase - 1)
        {
            iField -= iBase;
            (this->*pNext)(iNext + 1);
        }
        while (iField < 0)
        {
            iField += iBase;
            (this->*pNext)(iNext - 1);
        }
    }
    void SetHour(int v) { Carry(h, v, 24, &sStepwise::SetDay, d); }
    void SetMinute(int v) { Carry(mi, v, 60, &sStepwise::SetHour, h); }
    void SetSecond(int v) { Carry(s, v, 60, &sStepwise::SetMinute, mi); }
};

uint32_t g_uSeed = 12345;
int Random(int lo, int hi)
{
    g_uSeed = g_uSeed * 1103515245u + 12345u;
    return lo + (int)((g_uSeed >> 8) % (uint32_t)(hi - lo + 1));
}
} // namespace

TEST(CKorvelDateTime, MonthCarriesIntoTheYear)
{
    CKorvelDateTime t = Date(2011, 0, 1);
    t.SetMonth(25);
    EXPECT_EQ(t.m_iMonth, 1);
    EXPECT_EQ(t.m_iYear, 2013);
    t = Date(2012, 0, 1);
    t.SetMonth(-1);
    EXPECT_EQ(t.m_iMonth, 11);
    EXPECT_EQ(t.m_iYear, 2011);
}

TEST(CKorvelDateTime, DaysCarryThroughLeapYears)
{
    CKorvelDateTime t = Date(2012, 1, 1);
    t.SetDay(30);
    ExpectDate(t, 2012, 2, 1, 0, 0, 0);
    t = Date(2100, 1, 1);
    t.SetDay(30);
    ExpectDate(t, 2100, 2, 2, 0, 0, 0);
    t = Date(2000, 1, 1);
    t.SetDay(30);
    ExpectDate(t, 2000, 2, 1, 0, 0, 0);

    t = Date(2012, 11, 1);
    t.SetDay(31);
    ExpectDate(t, 2012, 11, 31, 0, 0, 0);
    t.SetDay(32);
    ExpectDate(t, 2013, 0, 1, 0, 0, 0);

    EXPECT_EQ(Date(2012, 1, 1).DaysInCurrentMonth(), 29);
    EXPECT_EQ(Date(1900, 1, 1).DaysInCurrentMonth(), 28);
    EXPECT_EQ(Date(2400, 1, 1).DaysInCurrentMonth(), 29);
    EXPECT_EQ(Date(2013, 8, 1).DaysInCurrentMonth(), 30);
}

TEST(CKorvelDateTime, HoursMinutesAndSecondsCarry)
{
    CKorvelDateTime t = Date(2013, 3, 30, 5);
    t.SetHour(24);
    ExpectDate(t, 2013, 4, 1, 0, 0, 0);

    t = Date(2012, 11, 31, 23, 59, 0);
    t.SetSecond(3600);
    ExpectDate(t, 2013, 0, 1, 0, 59, 0);

    t = Date(2013, 0, 1, 0, 0, 0);
    t.SetSecond(-1);
    ExpectDate(t, 2013, 0, 0, 23, 59, 59); // day 1 steps back to day 0, which stays
    t.SetSecond(-1 - 86400);
    ExpectDate(t, 2012, 11, 30, 23, 58, 59);
}

TEST(CKorvelDateTime, HugeValuesNormaliseWithoutStepping)
{
    CKorvelDateTime t = Date(2012, 0, 1);
    t.SetSecond(2147483647); // 68 years, 18 days, 3:14:07
    ExpectDate(t, 2080, 0, 19, 3, 14, 7);
    t = Date(2012, 0, 1);
    t.SetDay(146097 * 3 + 1);
    ExpectDate(t, 3212, 0, 1, 0, 0, 0);
    t.SetDay(-146097 * 2);
    ExpectDate(t, 2412, 0, 0, 0, 0, 0); // lands on day 0, which stays
    t = Date(3212, 0, 1);
    t.SetDay(-146097 * 2 - 1);
    ExpectDate(t, 2411, 11, 30, 0, 0, 0);
}

TEST(CKorvelDateTime, SettersMatchCarryingOneUnitAtATime)
{
    for (int i = 0; i < 4000; ++i)
    {
        // Start from odd but possible values: a field past its range can come from Set.
        sStepwise ref = {Random(1890, 2110), Random(0, 11), Random(0, 33),
                         Random(-30, 50),    Random(-70, 130), Random(-70, 130)};
        CKorvelDateTime t = Date(ref.y, ref.mo, ref.d, ref.h, ref.mi, ref.s);
        struct sSetter
        {
            int iRange;
            void (sStepwise::*pRef)(int);
            void (CKorvelDateTime::*pOurs)(int);
        };
        static const sSetter kSetters[] = {
            {200000, &sStepwise::SetSecond, &CKorvelDateTime::SetSecond},
            {20000, &sStepwise::SetMinute, &CKorvelDateTime::SetMinute},
            {3000, &sStepwise::SetHour, &CKorvelDateTime::SetHour},
            {1500, &sStepwise::SetDay, &CKorvelDateTime::SetDay},
            {100, &sStepwise::SetMonth, &CKorvelDateTime::SetMonth}};
        int which = Random(0, 4);
        int v = Random(-kSetters[which].iRange, kSetters[which].iRange);
        (ref.*kSetters[which].pRef)(v);
        (t.*kSetters[which].pOurs)(v);
        SCOPED_TRACE(testing::Message() << "case " << i << " setter " << which << " value " << v);
        ExpectDate(t, ref.y, ref.mo, ref.d, ref.h, ref.mi, ref.s);
        if (HasFailure())
            break;
    }
}

TEST(CKorvelDateTime, WholeCenturiesOfDaysMatchTheStepwiseCarry)
{
    for (int i = 0; i < 200; ++i)
    {
        sStepwise ref = {Random(1, 4000), Random(0, 11), Random(0, 31), 0, 0, 0};
        CKorvelDateTime t = Date(ref.y, ref.mo, ref.d);
        int v = Random(-600000, 600000);
        if (i % 4 == 0)
        {
            ref.SetHour(v * 24 + 5);
            t.SetHour(v * 24 + 5);
        }
        else
        {
            ref.SetDay(v);
            t.SetDay(v);
        }
        SCOPED_TRACE(testing::Message() << "case " << i << " value " << v);
        ExpectDate(t, ref.y, ref.mo, ref.d, ref.h, ref.mi, ref.s);
        if (HasFailure())
            break;
    }
}

TEST(CKorvelDateTime, SinceGivesTheFieldwiseDifference)
{
    CKorvelDateTime a = Date(2012, 2, 1, 12, 0, 0);
    CKorvelDateTime b = Date(2012, 2, 5, 10, 0, 0);
    CKorvelDateTime d;
    d.Since(a, b);
    ExpectDate(d, 0, 0, 3, 22, 0, 0);

    CKorvelDateTime same;
    same.Since(a, a);
    ExpectDate(same, 0, 0, 0, 0, 0, 0);

    // Since into one of its own operands.
    b.Since(a, b);
    ExpectDate(b, 0, 0, 3, 22, 0, 0);
}

TEST(CKorvelDateTime, AddAndSubCarry)
{
    CKorvelDateTime t = Date(2012, 11, 31, 23, 59, 30);
    t.Add(Date(0, 0, 0, 0, 0, 45));
    ExpectDate(t, 2013, 0, 1, 0, 0, 15);
    t.Add(Date(1, 13, 0, 0, 0, 0));
    ExpectDate(t, 2015, 1, 1, 0, 0, 15);
    t.Sub(Date(0, 0, 0, 0, 0, 16));
    ExpectDate(t, 2015, 1, 0, 23, 59, 59);
}

TEST(CKorvelDateTime, SetWithSixValuesKeepsEveryCarry)
{
    CKorvelDateTime t;
    t.Set(2012, 1, 29, 23, 59, 60);
    ExpectDate(t, 2012, 2, 1, 0, 0, 0);
    t.Set(2011, 12, 1, 0, 0, 0); // month 12 carries into 2012
    ExpectDate(t, 2012, 0, 1, 0, 0, 0);

    CKorvelDateTime c;
    c.Set(&t);
    ExpectDate(c, 2012, 0, 1, 0, 0, 0);
    CKorvelDateTime odd = Date(2012, 5, 40, 30, -4, 99);
    c.Set(odd); // copied as it is
    ExpectDate(c, 2012, 5, 40, 30, -4, 99);
}

TEST(CKorvelDateTime, OutOfRangeMonthIsReadSafely)
{
    CKorvelDateTime t = Date(2012, 13, 1); // only a copy can hold it
    EXPECT_EQ(t.DaysInCurrentMonth(), 29);   // read as February
    t.SetDay(31);
    ExpectDate(t, 2013, 2, 3, 0, 0, 0); // normalised to February 2013 first
}

TEST(CKorvelDateTime, CurrentAndEpochFollowTheClock)
{
    int64_t before = CKorvelDateTime::Epoch();
    CKorvelDateTime t;
    t.Current();
    int64_t after = CKorvelDateTime::Epoch();
    EXPECT_GE(after, before);
    EXPECT_GE(t.m_iYear, 2020);
    EXPECT_GE(t.m_iMonth, 0);
    EXPECT_LE(t.m_iMonth, 11);
    EXPECT_GE(t.m_iDay, 1);
    EXPECT_LE(t.m_iDay, t.DaysInCurrentMonth());
    time_t now = (time_t)before;
    tm local = {};
    localtime_r(&now, &local);
    if (before == after)
    {
        EXPECT_EQ(t.m_iHour, local.tm_hour);
        EXPECT_EQ(t.m_iSecond, local.tm_sec);
    }
}

TEST(CKorvelDateTime, ToTextPrintsTheCalendarMonth)
{
    CKorvelString str("old contents");
    Date(2012, 0, 5, 7, 8, 9).ToText(str);
    EXPECT_EQ(str.Compare(CKorvelString("2012-01-05, 07:08:09")), 0);
    Date(987, 11, 31, 23, 59, 0).ToText(str);
    EXPECT_EQ(str.Compare(CKorvelString("0987-12-31, 23:59:00")), 0);
}
