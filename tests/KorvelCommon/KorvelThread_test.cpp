#include "KorvelCommon/KorvelThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace
{
// A count-down latch with a generous bound, so a broken wake-up fails instead of hanging.
class CLatch
{
public:
    explicit CLatch(int iCount) : m_iCount(iCount) {}
    void CountDown()
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (--m_iCount <= 0)
            m_Cond.notify_all();
    }
    bool Wait()
    {
        std::unique_lock<std::mutex> lock(m_Mutex);
        return m_Cond.wait_for(lock, std::chrono::seconds(10), [this] { return m_iCount <= 0; });
    }

private:
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    int m_iCount;
};

// The thread sanitizer reports deliberate misuse of a lock as an error of its own.
#ifdef KORVEL_TSAN
#define SKIP_LOCK_MISUSE_UNDER_TSAN() GTEST_SKIP() << "lock misuse is reported by the sanitizer"
#else
#define SKIP_LOCK_MISUSE_UNDER_TSAN() (void)0
#endif

bool WaitUntil(const std::function<bool()>& done)
{
    for (int i = 0; i < 10000; ++i)
    {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Loops until asked to stop, counting its passes and its runs.
class CSpinner : public IKorvelThread
{
public:
    std::atomic<int> m_iRuns{0}, m_iEnds{0}, m_iPasses{0};
    unsigned int ThreadProc() override
    {
        ++m_iRuns;
        while (IsRunning())
        {
            ++m_iPasses;
            Sleep(1);
        }
        ++m_iEnds;
        return 0;
    }
    ~CSpinner() override { Shutdown(); }
};

// Consumes a queue guarded by a CKorvelMutex and suspends when it is empty, the way the
// socket engine's send thread does.
class CConsumer : public IKorvelThread
{
public:
    CKorvelMutex m_Lock;
    std::deque<int> m_Queue;
    std::atomic<long long> m_llSum{0};
    std::atomic<int> m_iTaken{0};

    void Push(int v)
    {
        m_Lock.Startup();
        m_Queue.push_back(v);
        m_Lock.Shutdown();
        Resume();
    }
    unsigned int ThreadProc() override
    {
        while (IsRunning())
        {
            m_Lock.Startup();
            bool bEmpty = m_Queue.empty();
            int v = 0;
            if (!bEmpty)
            {
                v = m_Queue.front();
                m_Queue.pop_front();
            }
            m_Lock.Shutdown();
            if (bEmpty)
                Suspend();
            else
            {
                m_llSum += v;
                ++m_iTaken;
            }
        }
        return 0;
    }
    ~CConsumer() override { Shutdown(); }
};

// Four threads each add 20,000 to one plain counter between lock and unlock.
long long CountUnderContention(const std::function<int()>& lock, const std::function<void()>& unlock)
{
    long long llCounter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 20000; ++i)
                {
                    if (lock() != 1)
                        return;
                    ++llCounter;
                    unlock();
                }
            });
    for (auto& th : threads)
        th.join();
    return llCounter;
}

// A relock asserts in debug builds and is refused in release builds.
void ExpectRelockRefused(const std::function<int()>& relock)
{
#ifdef NDEBUG
    EXPECT_EQ(relock(), 0);
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(relock(), "engine lock taken again");
#endif
}

class COneShot : public IKorvelThread
{
public:
    CLatch m_Started{1};
    unsigned int ThreadProc() override
    {
        m_Started.CountDown();
        return 7;
    }
    ~COneShot() override { Shutdown(); }
};
} // namespace

TEST(IKorvelThread, StartStopAndRestart)
{
    CSpinner t;
    EXPECT_FALSE(t.HasWorker());
    EXPECT_EQ(t.GetThreadPriority(), 251u);
    ASSERT_EQ(t.Startup(252), 1);
    EXPECT_EQ(t.GetThreadPriority(), 252u); // stored even when the platform refuses it
    EXPECT_TRUE(pthread_equal(IKorvelThread::GetID(), pthread_self())); // the caller's thread
    EXPECT_TRUE(t.IsRunning());
    EXPECT_TRUE(t.IsAlive());
    ASSERT_TRUE(WaitUntil([&] { return t.m_iPasses > 0; }));

    // Startup on a running object stops and joins the old worker first.
    ASSERT_EQ(t.Startup(251), 1);
    EXPECT_EQ(t.m_iEnds, 1);
    ASSERT_TRUE(WaitUntil([&] { return t.m_iRuns == 2; }));

    t.Shutdown();
    EXPECT_EQ(t.m_iEnds, 2);
    EXPECT_FALSE(t.HasWorker());
    EXPECT_FALSE(t.IsRunning());
    EXPECT_FALSE(t.IsAlive());
    EXPECT_FALSE(t.IsSuspended());
    t.Shutdown();            // twice is harmless
    t.SetThreadPriority(10); // no worker: only stored
    EXPECT_EQ(t.GetThreadPriority(), 10u);

    CSpinner idle;  // an idle object ignores Suspend, Resume and Shutdown
    idle.Suspend(); // must not block
    idle.Resume();
    idle.Shutdown();
    EXPECT_FALSE(idle.IsAlive());
}

TEST(IKorvelThread, ProcedureReturningByItselfClearsFlags)
{
    COneShot t;
    ASSERT_EQ(t.Startup(251), 1);
    ASSERT_TRUE(t.m_Started.Wait());
    ASSERT_TRUE(WaitUntil([&] { return !t.IsAlive(); }));
    EXPECT_FALSE(t.IsRunning());
    EXPECT_TRUE(t.HasWorker()); // until Shutdown joins it
    t.Shutdown();
    EXPECT_FALSE(t.HasWorker());
}

TEST(IKorvelThread, SuspendedWorkerIsResumedAndNoWakeUpIsLost)
{
    CConsumer c;
    ASSERT_EQ(c.Startup(251), 1);
    ASSERT_TRUE(WaitUntil([&] { return c.IsSuspended(); }));
    c.Push(5); // from another thread than the worker
    ASSERT_TRUE(WaitUntil([&] { return c.m_iTaken == 1; }));
    EXPECT_EQ(c.m_llSum, 5);

    const int kProducers = 4, kEach = 2000;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
        producers.emplace_back(
            [&c]
            {
                for (int i = 1; i <= kEach; ++i)
                    c.Push(i);
            });
    for (auto& th : producers)
        th.join();
    ASSERT_TRUE(WaitUntil([&] { return c.m_iTaken == 1 + kProducers * kEach; }));
    EXPECT_EQ(c.m_llSum, 5 + (long long)kProducers * kEach * (kEach + 1) / 2);
    c.Shutdown();
}

TEST(IKorvelThread, ResumeBeforeSuspendIsRemembered)
{
    struct CWaiter : IKorvelThread
    {
        CLatch m_Go{1};
        std::atomic<int> m_iReturns{0};
        unsigned int ThreadProc() override
        {
            m_Go.Wait();
            Suspend(); // the Resume already came
            ++m_iReturns;
            while (IsRunning())
                Suspend();
            return 0;
        }
        ~CWaiter() override { Shutdown(); }
    } w;
    ASSERT_EQ(w.Startup(251), 1);
    w.Resume();
    w.m_Go.CountDown();
    ASSERT_TRUE(WaitUntil([&] { return w.m_iReturns == 1; }));
    // Shutdown wakes the worker blocked in Suspend, so the join completes.
    ASSERT_TRUE(WaitUntil([&] { return w.IsSuspended(); }));
    w.Shutdown();
    EXPECT_FALSE(w.HasWorker());
}

TEST(IKorvelThread, WorkerMayShutItselfDown)
{
    // Static: the detached worker may still be leaving its entry when the test ends.
    static struct CSelfStopper : IKorvelThread
    {
        CLatch m_Done{1};
        unsigned int ThreadProc() override
        {
            Shutdown();
            m_Done.CountDown();
            return 0;
        }
    } s;
    ASSERT_EQ(s.Startup(251), 1);
    ASSERT_TRUE(s.m_Done.Wait());
    ASSERT_TRUE(WaitUntil([&] { return !s.HasWorker(); }));
    EXPECT_FALSE(s.IsRunning());
}

TEST(IKorvelThread, SleepWaitsAtLeastTheGivenTime)
{
    auto t0 = std::chrono::steady_clock::now();
    IKorvelThread::Sleep(20);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(20));
}

TEST(CKorvelMutex, ExcludesUnderContentionAndAllCriticalSectionsShareOneLock)
{
    CKorvelMutex m;
    EXPECT_EQ(CountUnderContention([&] { return m.Startup(); }, [&] { m.Shutdown(); }), 80000);
    // A different object for every call, so only the shared mutex can exclude.
    EXPECT_EQ(CountUnderContention([] { return CKorvelCriticalSection().Enter(); },
                                   [] { CKorvelCriticalSection().Leave(); }),
              80000);
}

TEST(CKorvelMutex, ForeignUnlockIsRefusedAndRelockIsAnErrorNotAHang)
{
    SKIP_LOCK_MISUSE_UNDER_TSAN();
    CKorvelMutex* m = CKorvelMutex::New();
    EXPECT_EQ(m->Shutdown(), 0);
    ASSERT_EQ(m->Startup(), 1);
    int iOther = -1;
    std::thread([&] { iOther = m->Shutdown(); }).join();
    EXPECT_EQ(iOther, 0); // a thread that does not hold it
    ExpectRelockRefused([&] { return m->Startup(); });
    EXPECT_EQ(m->Shutdown(), 1);
    delete m;

    // Entering a critical section twice, through another object.
    CKorvelCriticalSection* a = CKorvelCriticalSection::New();
    CKorvelCriticalSection b;
    ASSERT_EQ(a->Enter(), 1);
    ExpectRelockRefused([&] { return b.Enter(); });
    EXPECT_EQ(a->Leave(), 1);
    EXPECT_EQ(b.Leave(), 0); // nothing held any more
    delete a;
}
