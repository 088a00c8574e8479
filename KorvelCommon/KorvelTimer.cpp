// CKorvelTimer, then CKorvelDateTime.
#include "KorvelCommon/KorvelTimer.h"

#include "KorvelCommon/KorvelString.h"

#include <atomic>
#include <climits>
#include <ctime>

namespace
{
// Whole second of the first clock reading of the process; -1 until then.
std::atomic<int64_t> g_llBaseSecond{-1};

uint32_t SaturateU32(double d)
{
    if (!(d > 0.0))
        return 0;
    if (d >= 4294967295.0)
        return 0xFFFFFFFFu;
    return (uint32_t)d;
}

int SaturateInt(float f)
{
    if (f >= 2147483647.0f)
        return INT_MAX;
    if (f <= -2147483648.0f)
        return INT_MIN;
    if (f != f)
        return 0;
    return (int)f;
}
} // namespace

CKorvelTimer::CKorvelTimer()
    : m_dSecondsPerTick(0.0), m_dMillisecondsPerTick(0.0), m_dMicrosecondsPerTick(0.0),
      m_fElapsedSeconds(0.0f), m_fElapsedMilliseconds(0.0f), m_fElapsedMicroseconds(0.0f), m_uBeginTick(0),
      m_uTickFrequency(0)
{
}

void CKorvelTimer::Startup(unsigned int)
{
    m_dSecondsPerTick = 1e-9;
    m_dMillisecondsPerTick = m_dSecondsPerTick * 1000.0;
    m_dMicrosecondsPerTick = m_dMillisecondsPerTick * 1000.0;
    m_uTickFrequency = 1000000000ull;
}

uint64_t CKorvelTimer::GetTicks() const
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    int64_t llBase = g_llBaseSecond.load();
    if (llBase < 0)
    {
        int64_t llUnset = -1;
        g_llBaseSecond.compare_exchange_strong(llUnset, (int64_t)ts.tv_sec);
        llBase = g_llBaseSecond.load();
    }
    uint32_t uSeconds = (uint32_t)((int64_t)ts.tv_sec - llBase);
    return (uint64_t)uSeconds * 1000000000ull + (uint64_t)ts.tv_nsec;
}

uint32_t CKorvelTimer::TicksToMilliseconds(uint64_t uTicks) const
{
    return SaturateU32((double)(int64_t)uTicks * m_dMillisecondsPerTick);
}

uint32_t CKorvelTimer::TicksToMicroseconds(uint64_t uTicks) const
{
    return SaturateU32((double)(int64_t)uTicks * m_dMicrosecondsPerTick);
}

uint64_t CKorvelTimer::TicksToMilliseconds64(uint64_t uTicks) const
{
    return m_uTickFrequency ? uTicks / (m_uTickFrequency / 1000) : 0;
}

uint64_t CKorvelTimer::TicksToMicroseconds64(uint64_t uTicks) const
{
    return m_uTickFrequency ? uTicks / (m_uTickFrequency / 1000000) : 0;
}

void CKorvelTimer::EndTimerAt(uint64_t uTick)
{
    if (uTick == m_uBeginTick)
    {
        // The smallest interval rather than zero, so that rates stay finite.
        m_fElapsedSeconds = 0.000001f;
        m_fElapsedMilliseconds = 0.0f;
        m_fElapsedMicroseconds = 1.0f;
        return;
    }
    double d = (double)(int64_t)(uTick - m_uBeginTick);
    m_fElapsedSeconds = (float)(d * m_dSecondsPerTick);
    m_fElapsedMilliseconds = (float)(d * m_dMillisecondsPerTick);
    m_fElapsedMicroseconds = (float)(d * m_dMicrosecondsPerTick);
}

int CKorvelTimer::GetElapsedMilliseconds() const
{
    return SaturateInt(m_fElapsedMilliseconds);
}

int CKorvelTimer::GetElapsedMicroseconds() const
{
    return SaturateInt(m_fElapsedMicroseconds);
}

// ---------------------------------------------------------------------------------------
// CKorvelDateTime
//
// The setters give the results of carrying one unit at a time (a seconds value of 3600
// makes sixty single minute steps) but compute them arithmetically. A run of single steps
// in one direction equals one step (which normalises the field) followed by one bulk
// change from the normalised value, and every bulk change is plain division except the
// day, which walks months and skips whole 400-year cycles (always 146,097 days).

namespace
{
const int kDaysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const int64_t kDaysPer400Years = 146097;

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

int64_t FloorMod(int64_t a, int64_t b)
{
    return a - FloorDiv(a, b) * b;
}

// Years have no limit; far out of range they wrap instead of being undefined.
int32_t Wrap32(int64_t ll)
{
    return (int32_t)(uint32_t)(uint64_t)ll;
}
} // namespace

bool CKorvelDateTime::IsLeapYear(int64_t llYear)
{
    return (llYear % 4 == 0 && llYear % 100 != 0) || llYear % 400 == 0;
}

int CKorvelDateTime::DaysInCurrentMonth() const
{
    // A month outside 0-11 can only come from copying such a value; read the table safely.
    int iMonth = (int)FloorMod(m_iMonth, 12);
    if (iMonth == 1 && IsLeapYear(m_iYear))
        return 29;
    return kDaysInMonth[iMonth];
}

void CKorvelDateTime::CarryMonth(int64_t llMonth)
{
    m_iYear = Wrap32((int64_t)m_iYear + FloorDiv(llMonth, 12));
    m_iMonth = (int32_t)FloorMod(llMonth, 12);
}

void CKorvelDateTime::Step(int64_t llSteps, const int32_t& iField, void (CKorvelDateTime::*pSetWide)(int64_t))
{
    if (llSteps == 0)
        return;
    int64_t s = llSteps > 0 ? 1 : -1;
    (this->*pSetWide)((int64_t)iField + s);
    (this->*pSetWide)((int64_t)iField + (llSteps - s));
}

void CKorvelDateTime::SetDayWide(int64_t llDay)
{
    if (m_iMonth < 0 || m_iMonth > 11)
        CarryMonth(m_iMonth);
    if (llDay > kDaysPer400Years)
    {
        int64_t n = (llDay - 1) / kDaysPer400Years;
        llDay -= n * kDaysPer400Years;
        m_iYear = Wrap32((int64_t)m_iYear + 400 * n);
    }
    while (llDay > DaysInCurrentMonth())
    {
        llDay -= DaysInCurrentMonth();
        CarryMonth((int64_t)m_iMonth + 1);
    }
    // Below the range: step back a month at a time, adding the length of the month stepped
    // into (day -1 of March is the 27th of a 28-day February; day 0 stays 0).
    if (llDay < -kDaysPer400Years)
    {
        int64_t n = (-llDay - 1) / kDaysPer400Years;
        llDay += n * kDaysPer400Years;
        m_iYear = Wrap32((int64_t)m_iYear - 400 * n);
    }
    while (llDay < 0)
    {
        CarryMonth((int64_t)m_iMonth - 1);
        llDay += DaysInCurrentMonth();
    }
    m_iDay = (int32_t)llDay;
}

void CKorvelDateTime::SetHourWide(int64_t llHour)
{
    m_iHour = (int32_t)FloorMod(llHour, 24);
    Step(FloorDiv(llHour, 24), m_iDay, &CKorvelDateTime::SetDayWide);
}

void CKorvelDateTime::SetMinuteWide(int64_t llMinute)
{
    m_iMinute = (int32_t)FloorMod(llMinute, 60);
    Step(FloorDiv(llMinute, 60), m_iHour, &CKorvelDateTime::SetHourWide);
}

void CKorvelDateTime::SetSecondWide(int64_t llSecond)
{
    m_iSecond = (int32_t)FloorMod(llSecond, 60);
    Step(FloorDiv(llSecond, 60), m_iMinute, &CKorvelDateTime::SetMinuteWide);
}

void CKorvelDateTime::Set(const CKorvelDateTime& other)
{
    m_iYear = other.m_iYear;
    m_iMonth = other.m_iMonth;
    m_iDay = other.m_iDay;
    m_iHour = other.m_iHour;
    m_iMinute = other.m_iMinute;
    m_iSecond = other.m_iSecond;
}

void CKorvelDateTime::Set(int iYear, int iMonth, int iDay, int iHour, int iMinute, int iSecond)
{
    // Largest unit first, so that every carry lands on the fields already given.
    m_iYear = iYear;
    CarryMonth(iMonth);
    SetDayWide(iDay);
    SetHourWide(iHour);
    SetMinuteWide(iMinute);
    SetSecondWide(iSecond);
}

void CKorvelDateTime::Add(const CKorvelDateTime& o)
{
    Combine(o, 1);
}

void CKorvelDateTime::Sub(const CKorvelDateTime& o)
{
    Combine(o, -1);
}

void CKorvelDateTime::Combine(const CKorvelDateTime& o, int iSign)
{
    SetSecondWide((int64_t)m_iSecond + iSign * (int64_t)o.m_iSecond);
    SetMinuteWide((int64_t)m_iMinute + iSign * (int64_t)o.m_iMinute);
    SetHourWide((int64_t)m_iHour + iSign * (int64_t)o.m_iHour);
    SetDayWide((int64_t)m_iDay + iSign * (int64_t)o.m_iDay);
    CarryMonth((int64_t)m_iMonth + iSign * (int64_t)o.m_iMonth);
    m_iYear = Wrap32((int64_t)m_iYear + iSign * (int64_t)o.m_iYear);
}

void CKorvelDateTime::Since(const CKorvelDateTime& first, const CKorvelDateTime& second)
{
    CKorvelDateTime a(first); // first may be this object
    Set(second);
    Sub(a);
}

void CKorvelDateTime::Current()
{
    time_t now = time(nullptr);
    tm local = {};
    if (!localtime_r(&now, &local))
        return;
    m_iYear = local.tm_year + 1900;
    m_iMonth = local.tm_mon;
    m_iDay = local.tm_mday;
    m_iHour = local.tm_hour;
    m_iMinute = local.tm_min;
    m_iSecond = local.tm_sec;
}

int64_t CKorvelDateTime::Epoch()
{
    return (int64_t)time(nullptr);
}

void CKorvelDateTime::ToText(CKorvelString& strOut) const
{
    // The calendar month, 1-12, as a reader expects.
    strOut.Format(L"%04d-%02d-%02d, %02d:%02d:%02d", m_iYear, m_iMonth + 1, m_iDay, m_iHour, m_iMinute,
                  m_iSecond);
}
