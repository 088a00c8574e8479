// Worker threads, mutexes and the process-wide critical section over POSIX threads.
//
// The locks are not re-entrant: a thread never locks a CKorvelMutex it holds and never
// enters a critical section while inside one (all critical sections are one mutex).
// Such a relock is a programming error: it asserts in debug builds and is refused
// (result 0) in release builds instead of hanging.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

class IKorvelThread
{
public:
    IKorvelThread();
    virtual ~IKorvelThread(); // calls Shutdown

    // The worker's body, run on the worker thread. Loops test IsRunning() on every pass.
    virtual unsigned int ThreadProc() = 0;

    // Starts the worker (a worker already running is shut down first). 251 keeps the
    // platform's default priority. Returns 1, or 0 when the platform refused the thread.
    int Startup(unsigned int uPriority);
    // Stops and joins the worker; harmless when there is none.
    void Shutdown();

    // Called by the worker when it has nothing to do: blocks until Resume. A Resume that
    // comes before the wait is remembered, so the next Suspend returns at once; callers
    // re-check their work after every return.
    void Suspend();
    void Resume();

    void SetThreadPriority(unsigned int uPriority);
    unsigned int GetThreadPriority() const { return m_uPriority; }
    void SignalExit();

    // The calling thread's id, not the worker's.
    static pthread_t GetID() { return pthread_self(); }
    static void Sleep(unsigned int uMilliseconds);

    bool IsRunning() const { return m_uRunning.load() != 0; }
    bool IsAlive() const { return m_uAlive.load() != 0; }
    bool HasWorker() const { return m_bHasWorker.load(); }
    bool IsSuspended() const { return m_uSuspended.load() != 0; }

protected:
    std::atomic<uint32_t> m_uRunning; // 1 while the worker should go on
    pthread_mutex_t m_SuspendMutex;   // guards the wake flag and the condition
    pthread_cond_t m_SuspendCondition;
    pthread_t m_hThread; // valid while m_bHasWorker
    std::atomic<bool> m_bHasWorker;
    std::atomic<uint32_t> m_uSuspended; // 1 while the worker waits in Suspend
    std::atomic<uint32_t> m_uAlive;     // all bits set until the procedure has returned
    unsigned int m_uPriority;
    bool m_bWakePending; // a Resume not yet consumed by Suspend

private:
    static void* Entry(void* pThis);
    IKorvelThread(const IKorvelThread&) = delete;
    IKorvelThread& operator=(const IKorvelThread&) = delete;
};

class CKorvelMutex
{
public:
    CKorvelMutex();
    virtual ~CKorvelMutex();
    static CKorvelMutex* New() { return new CKorvelMutex(); }

    // Startup locks and Shutdown unlocks. Each returns 1, or 0 when refused (a relock by
    // the holder, or an unlock by a thread that does not hold the mutex).
    int Startup();
    int Shutdown();

private:
    pthread_mutex_t m_Mutex;
    CKorvelMutex(const CKorvelMutex&) = delete;
    CKorvelMutex& operator=(const CKorvelMutex&) = delete;
};

// Every instance locks the same process-wide mutex.
class CKorvelCriticalSection
{
public:
    CKorvelCriticalSection() {}
    virtual ~CKorvelCriticalSection() {}
    static CKorvelCriticalSection* New() { return new CKorvelCriticalSection(); }

    int Enter(); // 1, or 0 when this thread is already inside a critical section
    int Leave();
};
