#include "KorvelCommon/KorvelTimer.h"

#include "KorvelCommon/KorvelString.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

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

namespace
{
uint64_t ClockNanoseconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint64_t)ts.tv_sec * 1000000000ull + (uint64_t)ts.tv_nsec;
}
} // namespace

TEST(CKorvelTimer, TicksFollowTheClockAcrossAWholeSecond)
{
    // Ticks read between two clock readings, until the clock's second has changed:
    // every interval between ticks lies inside the clock's interval around it.
    CKorvelTimer t;
    const uint64_t uClock0 = ClockNanoseconds();
    const uint64_t uFirst = t.GetTicks();
    const uint64_t uClock1 = ClockNanoseconds();
    uint64_t uPrevious = uFirst, uClockBefore = uClock1;
    while (uClockBefore / 1000000000ull == uClock0 / 1000000000ull)
    {
        timespec nap = {0, 20000000};
        nanosleep(&nap, nullptr);
        uClockBefore = ClockNanoseconds();
        const uint64_t uNow = t.GetTicks();
        const uint64_t uClockAfter = ClockNanoseconds();
        ASSERT_GE(uNow, uPrevious);
        ASSERT_GE(uNow - uFirst, uClockBefore - uClock1);
        ASSERT_LE(uNow - uFirst, uClockAfter - uClock0);
        uPrevious = uNow;
    }
}

TEST(CKorvelTimer, TickConversionsTruncateAndSaturate)
{
    CKorvelTimer t;
    EXPECT_EQ(t.GetTickMilliseconds(), 0u); // zero before Startup
    EXPECT_EQ(t.GetTickMicroseconds64(), 0u);
    EXPECT_EQ(t.GetTickFrequency(), 0u);
    t.Startup(0);
    EXPECT_EQ(t.GetTickFrequency(), 1000000000u);
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

TEST(CKorvelTimer, Intervals)
{
    CKorvelTimer t;
    t.Startup(0);
    t.BeginTimer();
    t.EndTimerAt(t.GetBeginTick()); // no clock advance: the smallest interval
    EXPECT_FLOAT_EQ(t.GetElapsedSeconds(), 0.000001f);
    EXPECT_EQ(t.GetElapsedMilliseconds(), 0);
    EXPECT_EQ(t.GetElapsedMicroseconds(), 1);
    t.EndTimerAt(t.GetBeginTick() + 1500000);
    EXPECT_EQ(t.GetElapsedMilliseconds(), 1);
    EXPECT_EQ(t.GetElapsedMicroseconds(), 1500);
    EXPECT_FLOAT_EQ(t.GetElapsedSeconds(), 0.0015f);

    t.BeginTimer();
    timespec ts = {0, 2000000};
    nanosleep(&ts, nullptr);
    t.EndTimer();
    EXPECT_GE(t.GetElapsedMicroseconds(), 2000);
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
struct sSTEPWISE
{
    int y, mo, d, h, mi, s;
    int Dim() const
    {
        static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        bool bLeap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
        return mo == 1 && bLeap ? 29 : days[mo];
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
    void Carry(int& iField, int v, int iBase, void (sSTEPWISE::*pNext)(int), const int& iNext)
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
    void SetYear(int v) { y = v; }
    void SetMonth(int v) { Carry(mo, v, 12, &sSTEPWISE::SetYear, y); }
    void SetHour(int v) { Carry(h, v, 24, &sSTEPWISE::SetDay, d); }
    void SetMinute(int v) { Carry(mi, v, 60, &sSTEPWISE::SetHour, h); }
    void SetSecond(int v) { Carry(s, v, 60, &sSTEPWISE::SetMinute, mi); }
};

uint32_t g_uSeed = 12345;
int Random(int lo, int hi)
{
    g_uSeed = g_uSeed * 1103515245u + 12345u;
    return lo + (int)((g_uSeed >> 8) % (uint32_t)(hi - lo + 1));
}
} // namespace

TEST(CKorvelDateTime, CarriesAndLeapYears)
{
    struct sCASE
    {
        int aStart[6];
        char cSetter; // M month, D day, h hour, s second
        int iValue;
        int aExpected[6];
    };
    const sCASE kCases[] = {
        {{2011, 0, 1}, 'M', 25, {2013, 1, 1}},
        {{2012, 0, 1}, 'M', -1, {2011, 11, 1}},
        {{2012, 1, 1}, 'D', 30, {2012, 2, 1}}, // leap year
        {{2100, 1, 1}, 'D', 30, {2100, 2, 2}}, // century: no leap day
        {{2000, 1, 1}, 'D', 30, {2000, 2, 1}}, // fourth century: leap
        {{2012, 11, 1}, 'D', 31, {2012, 11, 31}},
        {{2012, 11, 1}, 'D', 32, {2013, 0, 1}},
        {{2013, 3, 30, 5}, 'h', 24, {2013, 4, 1}},
        {{2012, 11, 31, 23, 59, 0}, 's', 3600, {2013, 0, 1, 0, 59, 0}},
        {{2013, 0, 1}, 's', -1, {2013, 0, 0, 23, 59, 59}}, // day 1 steps back to day 0, which stays
        {{2013, 0, 0, 23, 59, 59}, 's', -1 - 86400, {2012, 11, 30, 23, 58, 59}},
        // Huge values normalise without stepping one unit at a time.
        {{2012, 0, 1}, 's', 2147483647, {2080, 0, 19, 3, 14, 7}},
        {{2012, 0, 1}, 'D', 146097 * 3 + 1, {3212, 0, 1}},
        {{3212, 0, 1}, 'D', -146097 * 2, {2412, 0, 0}},
        {{3212, 0, 1}, 'D', -146097 * 2 - 1, {2411, 11, 30}},
    };
    for (const sCASE& c : kCases)
    {
        SCOPED_TRACE(testing::Message() << c.aStart[0] << "-" << c.aStart[1] << "-" << c.aStart[2] << " "
                                        << c.cSetter << " " << c.iValue);
        CKorvelDateTime t =
            Date(c.aStart[0], c.aStart[1], c.aStart[2], c.aStart[3], c.aStart[4], c.aStart[5]);
        switch (c.cSetter)
        {
        case 'M':
            t.SetMonth(c.iValue);
            break;
        case 'D':
            t.SetDay(c.iValue);
            break;
        case 'h':
            t.SetHour(c.iValue);
            break;
        default:
            t.SetSecond(c.iValue);
            break;
        }
        const int* e = c.aExpected;
        ExpectDate(t, e[0], e[1], e[2], e[3], e[4], e[5]);
    }
    EXPECT_EQ(Date(2012, 1, 1).DaysInCurrentMonth(), 29);
    EXPECT_EQ(Date(1900, 1, 1).DaysInCurrentMonth(), 28);
    EXPECT_EQ(Date(2400, 1, 1).DaysInCurrentMonth(), 29);
    EXPECT_EQ(Date(2013, 8, 1).DaysInCurrentMonth(), 30);
}

TEST(CKorvelDateTime, SettersMatchCarryingOneUnitAtATime)
{
    for (int i = 0; i < 4000; ++i)
    {
        // Start from odd but possible values: a field past its range can come from Set.
        sSTEPWISE ref = {Random(1890, 2110), Random(0, 11),    Random(0, 33),
                         Random(-30, 50),    Random(-70, 130), Random(-70, 130)};
        CKorvelDateTime t = Date(ref.y, ref.mo, ref.d, ref.h, ref.mi, ref.s);
        struct sSETTER
        {
            int iRange;
            void (sSTEPWISE::*pRef)(int);
            void (CKorvelDateTime::*pOurs)(int);
        };
        static const sSETTER kSetters[] = {{200000, &sSTEPWISE::SetSecond, &CKorvelDateTime::SetSecond},
                                           {20000, &sSTEPWISE::SetMinute, &CKorvelDateTime::SetMinute},
                                           {3000, &sSTEPWISE::SetHour, &CKorvelDateTime::SetHour},
                                           {1500, &sSTEPWISE::SetDay, &CKorvelDateTime::SetDay},
                                           {100, &sSTEPWISE::SetMonth, &CKorvelDateTime::SetMonth}};
        int which = Random(0, 4);
        int v = Random(-kSetters[which].iRange, kSetters[which].iRange);
        (ref.*kSetters[which].pRef)(v);
        (t.*kSetters[which].pOurs)(v);
        SCOPED_TRACE(testing::Message() << "case " << i << " setter " << which << " value " << v);
        ExpectDate(t, ref.y, ref.mo, ref.d, ref.h, ref.mi, ref.s);
        if (HasFailure())
            break;
    }
    // Whole centuries of days.
    for (int i = 0; i < 200; ++i)
    {
        sSTEPWISE ref = {Random(1, 4000), Random(0, 11), Random(0, 31), 0, 0, 0};
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

TEST(CKorvelDateTime, SinceAddSubAndSet)
{
    CKorvelDateTime a = Date(2012, 2, 1, 12, 0, 0);
    CKorvelDateTime b = Date(2012, 2, 5, 10, 0, 0);
    CKorvelDateTime d;
    d.Since(a, b);
    ExpectDate(d, 0, 0, 3, 22, 0, 0);
    b.Since(a, b); // into one of its own operands
    ExpectDate(b, 0, 0, 3, 22, 0, 0);

    CKorvelDateTime t = Date(2012, 11, 31, 23, 59, 30);
    t.Add(Date(0, 0, 0, 0, 0, 45));
    ExpectDate(t, 2013, 0, 1, 0, 0, 15);
    t.Add(Date(1, 13, 0, 0, 0, 0));
    ExpectDate(t, 2015, 1, 1, 0, 0, 15);
    t.Sub(Date(0, 0, 0, 0, 0, 16));
    ExpectDate(t, 2015, 1, 0, 23, 59, 59);

    t.Set(2012, 1, 29, 23, 59, 60);
    ExpectDate(t, 2012, 2, 1, 0, 0, 0);
    t.Set(2011, 12, 1, 0, 0, 0); // month 12 carries into 2012
    ExpectDate(t, 2012, 0, 1, 0, 0, 0);
    CKorvelDateTime c;
    c.Set(&t);
    ExpectDate(c, 2012, 0, 1, 0, 0, 0);
    c.Set(Date(2012, 5, 40, 30, -4, 99)); // copied as it is
    ExpectDate(c, 2012, 5, 40, 30, -4, 99);
}

TEST(CKorvelDateTime, OutOfRangeMonthIsReadSafely)
{
    CKorvelDateTime t = Date(2012, 13, 1); // only a copy can hold it
    EXPECT_EQ(t.DaysInCurrentMonth(), 29); // read as February
    t.SetDay(31);
    ExpectDate(t, 2013, 2, 3, 0, 0, 0); // normalised to February 2013 first
}

TEST(CKorvelDateTime, CurrentEpochAndText)
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

    CKorvelString str("old contents"); // the calendar month is printed
    Date(2012, 0, 5, 7, 8, 9).ToText(str);
    EXPECT_EQ(str.Compare(CKorvelString("2012-01-05, 07:08:09")), 0);
    Date(987, 11, 31, 23, 59, 0).ToText(str);
    EXPECT_EQ(str.Compare(CKorvelString("0987-12-31, 23:59:00")), 0);
}
