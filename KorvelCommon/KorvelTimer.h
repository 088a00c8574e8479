// Monotonic timer in nanosecond ticks, and the calendar date and time.
#pragma once

#include <cstdint>

class CKorvelString;

// Ticks are nanoseconds of the monotonic clock counted from one process-wide base: the
// whole second of the first reading taken by any timer. Every conversion gives 0 until
// Startup has set the factors.
class CKorvelTimer
{
public:
    CKorvelTimer();
    virtual ~CKorvelTimer() {}
    static CKorvelTimer* New() { return new CKorvelTimer(); }

    void Startup(unsigned int uUnused);
    void Shutdown() {}

    uint64_t GetTicks() const;
    // 32-bit forms saturate at 4,294,967,295 (the microseconds about 71.6 minutes after the
    // first reading); the 64-bit forms do not.
    uint32_t GetTickMilliseconds() const { return TicksToMilliseconds(GetTicks()); }
    uint32_t GetTickMicroseconds() const { return TicksToMicroseconds(GetTicks()); }
    uint64_t GetTickMilliseconds64() const { return TicksToMilliseconds64(GetTicks()); }
    uint64_t GetTickMicroseconds64() const { return TicksToMicroseconds64(GetTicks()); }
    uint32_t TicksToMilliseconds(uint64_t uTicks) const;
    uint32_t TicksToMicroseconds(uint64_t uTicks) const;
    uint64_t TicksToMilliseconds64(uint64_t uTicks) const;
    uint64_t TicksToMicroseconds64(uint64_t uTicks) const;

    // Interval measurement: EndTimer does not restart the interval.
    void BeginTimer() { m_uBeginTick = GetTicks(); }
    void BeginTimerAt(uint64_t uTick) { m_uBeginTick = uTick; } // with the clock reading uTick
    void EndTimer() { EndTimerAt(GetTicks()); }
    void EndTimerAt(uint64_t uTick); // as EndTimer with the clock reading uTick
    uint64_t GetBeginTick() const { return m_uBeginTick; }
    float GetElapsedSeconds() const { return m_fElapsedSeconds; }
    int GetElapsedMilliseconds() const;
    int GetElapsedMicroseconds() const;
    uint64_t GetTickFrequency() const { return m_uTickFrequency; }

private:
    double m_dSecondsPerTick;
    double m_dMillisecondsPerTick;
    double m_dMicrosecondsPerTick;
    float m_fElapsedSeconds;
    float m_fElapsedMilliseconds;
    float m_fElapsedMicroseconds;
    uint64_t m_uBeginTick;
    uint64_t m_uTickFrequency;
};

// Year, 0-based month, 1-based day, hour, minute, second. The setters carry into the
// larger units (a day of 0 stays 0: it is the "unset" day and the zero of differences).
class CKorvelDateTime
{
public:
    int32_t m_iYear = 0;
    int32_t m_iMonth = 0; // 0 = January
    int32_t m_iDay = 0;
    int32_t m_iHour = 0;
    int32_t m_iMinute = 0;
    int32_t m_iSecond = 0;

    CKorvelDateTime() {}
    virtual ~CKorvelDateTime() {}
    static CKorvelDateTime* New() { return new CKorvelDateTime(); }

    void SetYear(int iYear) { m_iYear = iYear; }
    void SetMonth(int iMonth) { CarryMonth(iMonth); }
    void SetDay(int iDay) { SetDayWide(iDay); }
    void SetHour(int iHour) { SetHourWide(iHour); }
    void SetMinute(int iMinute) { SetMinuteWide(iMinute); }
    void SetSecond(int iSecond) { SetSecondWide(iSecond); }

    void Set(const CKorvelDateTime& other); // the six fields as they are
    void Set(const CKorvelDateTime* pOther) { Set(*pOther); }
    void Set(int iYear, int iMonth, int iDay, int iHour, int iMinute, int iSecond);
    void Add(const CKorvelDateTime& other);
    void Sub(const CKorvelDateTime& other);
    void Since(const CKorvelDateTime& first, const CKorvelDateTime& second); // second - first

    int DaysInCurrentMonth() const;
    static bool IsLeapYear(int64_t llYear);

    void Current();                           // local time now
    static int64_t Epoch();                   // seconds since 1970-01-01 00:00 UTC
    void ToText(CKorvelString& strOut) const; // "YYYY-MM-DD, hh:mm:ss", calendar month 1-12

    int GetYear() const { return m_iYear; }
    int GetMonth() const { return m_iMonth; }
    int GetDay() const { return m_iDay; }
    int GetHour() const { return m_iHour; }
    int GetMinute() const { return m_iMinute; }
    int GetSecond() const { return m_iSecond; }

private:
    void CarryMonth(int64_t llMonth);
    // llSteps single steps of the field through its setter, in one direction.
    void Step(int64_t llSteps, const int32_t& iField, void (CKorvelDateTime::*pSetWide)(int64_t));
    void SetDayWide(int64_t llDay);
    void SetHourWide(int64_t llHour);
    void SetMinuteWide(int64_t llMinute);
    void SetSecondWide(int64_t llSecond);
    void Combine(const CKorvelDateTime& other, int iSign); // Add (+1) or Sub (-1)
};
