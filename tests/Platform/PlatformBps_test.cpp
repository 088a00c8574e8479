// The event service: queue semantics, thread-safe posting and event lifetime.
#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <vector>

#include "Platform/PlatformTestEvents.h"
#include "PlatformBps.h"

namespace
{

class CPlatformBps : public CHeadlessPlatformTest
{
protected:
    void SetUp() override
    {
        CHeadlessPlatformTest::SetUp();
        m_iDomain = plat::bps_register_domain();
    }

    int m_iDomain = 0;
};

// Counts live payloads, to see when the service releases an event.
struct sCOUNTED_PAYLOAD
{
    explicit sCOUNTED_PAYLOAD(std::atomic<int>& iLive) : m_iLive(iLive) { ++m_iLive; }
    ~sCOUNTED_PAYLOAD() { --m_iLive; }
    std::atomic<int>& m_iLive;
};

TEST_F(CPlatformBps, EventsComeOutInOrderAndLiveUntilTheNextGet)
{
    plat::bps_event_t* pEvent = reinterpret_cast<plat::bps_event_t*>(0x1);
    EXPECT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS) << "an empty queue is no failure";
    EXPECT_EQ(pEvent, nullptr);

    std::atomic<int> iLive{0};
    ASSERT_EQ(plat::bps_post_event(m_iDomain, 5, std::make_shared<const sCOUNTED_PAYLOAD>(iLive)),
              plat::BPS_SUCCESS);
    ASSERT_EQ(plat::bps_post_event(m_iDomain, 6), plat::BPS_SUCCESS);
    ASSERT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS);
    ASSERT_NE(pEvent, nullptr);
    EXPECT_EQ(plat::bps_event_get_domain(pEvent), m_iDomain);
    EXPECT_EQ(plat::bps_event_get_code(pEvent), 5);
    EXPECT_EQ(&static_cast<const sCOUNTED_PAYLOAD*>(plat::bps_event_get_payload(pEvent))->m_iLive, &iLive);
    EXPECT_EQ(iLive, 1);
    ASSERT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS);
    EXPECT_EQ(iLive, 0) << "the previous event is released by the next get";
    EXPECT_EQ(plat::bps_event_get_code(pEvent), 6);
    EXPECT_EQ(plat::bps_event_get_payload(pEvent), nullptr);
}

TEST_F(CPlatformBps, EventsPostedFromOtherThreadsAllArriveInEachThreadsOrder)
{
    const int kThreads = 4, kPerThread = 500;
    std::vector<std::thread> aThreads;
    for (int t = 0; t < kThreads; ++t)
        aThreads.emplace_back(
            [this, t]
            {
                for (int i = 0; i < kPerThread; ++i)
                    plat::bps_post_event(m_iDomain, t * kPerThread + i);
            });
    std::vector<int> aLast(kThreads, -1);
    int iReceived = 0;
    while (iReceived < kThreads * kPerThread)
    {
        plat::bps_event_t* pEvent = nullptr;
        ASSERT_EQ(plat::bps_get_event(&pEvent, 1000), plat::BPS_SUCCESS);
        ASSERT_NE(pEvent, nullptr) << "only " << iReceived << " events arrived";
        const int iCode = plat::bps_event_get_code(pEvent);
        const int iThread = iCode / kPerThread;
        EXPECT_GT(iCode % kPerThread, aLast[iThread]);
        aLast[iThread] = iCode % kPerThread;
        ++iReceived;
    }
    for (std::thread& thread : aThreads)
        thread.join();
}

// A wait already under way wakes for a later post, and otherwise ends at its timeout.
TEST_F(CPlatformBps, WaitWakesForALatePostAndEndsAtItsTimeout)
{
    std::thread poster(
        [this]
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            plat::bps_post_event(m_iDomain, 9);
        });
    plat::bps_event_t* pEvent = nullptr;
    EXPECT_EQ(plat::bps_get_event(&pEvent, 5000), plat::BPS_SUCCESS);
    poster.join();
    ASSERT_NE(pEvent, nullptr);
    EXPECT_EQ(plat::bps_event_get_code(pEvent), 9);
    EXPECT_EQ(plat::bps_get_event(&pEvent, 30), plat::BPS_SUCCESS);
    EXPECT_EQ(pEvent, nullptr);
}

TEST_F(CPlatformBps, RegisteredDomainsAreDistinctFromEachOtherAndTheServices)
{
    std::set<int> aDomains = {m_iDomain};
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(aDomains.insert(plat::bps_register_domain()).second);
    for (int iDomain : aDomains)
        EXPECT_GT(iDomain, 3);
}

TEST_F(CPlatformBps, NestedInitialisationEmptiesTheQueueOnlyAtTheLastShutdown)
{
    plat::bps_initialize();
    plat::bps_post_event(m_iDomain, 1);
    plat::bps_shutdown(); // still initialised once
    plat::bps_event_t* pEvent = nullptr;
    ASSERT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS);
    EXPECT_NE(pEvent, nullptr);

    plat::bps_post_event(m_iDomain, 2);
    plat::bps_shutdown();
    EXPECT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_FAILURE) << "not initialised";
    EXPECT_EQ(pEvent, nullptr);
    plat::bps_initialize(); // for TearDown
    EXPECT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS);
    EXPECT_EQ(pEvent, nullptr) << "the queue was emptied";
}

TEST_F(CPlatformBps, InjectedFailureOfGetEventKeepsTheEventQueued)
{
    plat::bps_post_event(m_iDomain, 3);
    plat::FailCall("bps_get_event");
    plat::bps_event_t* pEvent = nullptr;
    EXPECT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_FAILURE);
    EXPECT_EQ(pEvent, nullptr);
    ASSERT_EQ(plat::bps_get_event(&pEvent, 0), plat::BPS_SUCCESS);
    ASSERT_NE(pEvent, nullptr);
    EXPECT_EQ(plat::bps_event_get_code(pEvent), 3);
}

} // namespace
