#include "KorvelCommon/KorvelClock.h"

#include "KorvelCommon/KorvelThread.h"
#include "KorvelCommon/KorvelTimer.h"

namespace
{
class CSystemClock : public IKorvelClock
{
public:
    uint64_t GetTicks() override { return m_Timer.GetTicks(); }
    void Sleep(unsigned int uMilliseconds) override { IKorvelThread::Sleep(uMilliseconds); }

private:
    CKorvelTimer m_Timer;
};
} // namespace

IKorvelClock& IKorvelClock::System()
{
    static CSystemClock s_Clock;
    return s_Clock;
}
