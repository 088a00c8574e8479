#include "KorvelCommon/KorvelThread.h"

#include <sched.h>

#include <cassert>
#include <cerrno>
#include <ctime>

namespace
{
// Shared by every critical section. Error-checking, so that a thread entering twice is
// told so instead of deadlocking in silence.
pthread_mutex_t g_Mutex = PTHREAD_ERRORCHECK_MUTEX_INITIALIZER_NP;

const unsigned int kDefaultPriority = 251;
const uint32_t kAliveAllBits = 0xFFFFFFFFu;

// The engine's lock rule. A relock by the holder (EDEADLK) would never succeed, so it is
// a programming error rather than something to wait out; a transient refusal (EAGAIN) is
// retried after 100 ms.
int LockEngineMutex(pthread_mutex_t* pMutex)
{
    for (;;)
    {
        int r = pthread_mutex_lock(pMutex);
        if (r == 0)
            return 1;
        if (r == EDEADLK)
        {
            assert(!"engine lock taken again by the thread that holds it");
            return 0;
        }
        if (r != EAGAIN)
            return 0;
        IKorvelThread::Sleep(100);
    }
}
} // namespace

// ---------------------------------------------------------------------------------------
// IKorvelThread

IKorvelThread::IKorvelThread()
    : m_uRunning(0), m_hThread(), m_bHasWorker(false), m_uSuspended(0), m_uAlive(0),
      m_uPriority(kDefaultPriority), m_bWakePending(false)
{
    pthread_mutex_init(&m_SuspendMutex, nullptr);
    pthread_cond_init(&m_SuspendCondition, nullptr);
}

IKorvelThread::~IKorvelThread()
{
    Shutdown();
    pthread_cond_destroy(&m_SuspendCondition);
    pthread_mutex_destroy(&m_SuspendMutex);
}

void* IKorvelThread::Entry(void* pThis)
{
    IKorvelThread* pThread = static_cast<IKorvelThread*>(pThis);
    pThread->ThreadProc();
    pThread->m_uRunning = 0;
    pThread->m_uAlive = 0;
    return nullptr;
}

int IKorvelThread::Startup(unsigned int uPriority)
{
    if (m_bHasWorker)
        Shutdown();

    pthread_mutex_lock(&m_SuspendMutex);
    m_bWakePending = false;
    pthread_mutex_unlock(&m_SuspendMutex);

    // Set before the worker exists, so that it sees them from its first instruction.
    m_uAlive = kAliveAllBits;
    m_uRunning = 1;
    m_bHasWorker = true;
    if (pthread_create(&m_hThread, nullptr, &IKorvelThread::Entry, this) != 0)
    {
        m_bHasWorker = false;
        m_uAlive = 0;
        m_uRunning = 0;
        return 0;
    }
    if (uPriority != kDefaultPriority)
        SetThreadPriority(uPriority);
    return 1;
}

void IKorvelThread::Shutdown()
{
    if (m_bHasWorker)
    {
        m_uRunning = 0;
        // Always wake: a worker between its last check and its wait must not sleep on.
        Resume();
        if (pthread_equal(pthread_self(), m_hThread))
        {
            // The worker shutting itself down cannot wait for its own end.
            pthread_detach(m_hThread);
        }
        else if (pthread_join(m_hThread, nullptr) != 0)
        {
            for (int i = 0; i < 200 && m_uAlive != 0; ++i)
            {
                m_uRunning = 0;
                Sleep(10);
            }
        }
        m_bHasWorker = false;
    }
    m_uAlive = 0;
    m_uRunning = 0;
    m_uSuspended = 0;
}

void IKorvelThread::Suspend()
{
    if (!m_bHasWorker)
        return;
    pthread_mutex_lock(&m_SuspendMutex);
    if (!m_bWakePending)
    {
        m_uSuspended = 1;
        while (!m_bWakePending && m_uRunning != 0)
            pthread_cond_wait(&m_SuspendCondition, &m_SuspendMutex);
    }
    m_bWakePending = false;
    m_uSuspended = 0;
    pthread_mutex_unlock(&m_SuspendMutex);
}

void IKorvelThread::Resume()
{
    if (!m_bHasWorker)
        return;
    pthread_mutex_lock(&m_SuspendMutex);
    m_bWakePending = true;
    m_uSuspended = 0;
    pthread_cond_signal(&m_SuspendCondition);
    pthread_mutex_unlock(&m_SuspendMutex);
}

void IKorvelThread::SetThreadPriority(unsigned int uPriority)
{
    m_uPriority = uPriority;
    if (!m_bHasWorker)
        return;
    sched_param param = {};
    param.sched_priority = (int)uPriority;
    // Linux refuses priorities under SCHED_OTHER; the outcome is ignored by design.
    (void)pthread_setschedparam(m_hThread, SCHED_OTHER, &param);
}

void IKorvelThread::SignalExit()
{
    m_uRunning = 0;
    m_uAlive = 0;
}

void IKorvelThread::Sleep(unsigned int uMilliseconds)
{
    timespec ts;
    ts.tv_sec = uMilliseconds / 1000;
    ts.tv_nsec = (long)(uMilliseconds % 1000) * 1000000L;
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR)
    {
    }
}

// ---------------------------------------------------------------------------------------
// CKorvelMutex

CKorvelMutex::CKorvelMutex()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_ERRORCHECK);
    pthread_mutex_init(&m_Mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

CKorvelMutex::~CKorvelMutex()
{
    pthread_mutex_destroy(&m_Mutex);
}

int CKorvelMutex::Startup()
{
    return LockEngineMutex(&m_Mutex);
}

int CKorvelMutex::Shutdown()
{
    return pthread_mutex_unlock(&m_Mutex) == 0 ? 1 : 0;
}

// ---------------------------------------------------------------------------------------
// CKorvelCriticalSection

int CKorvelCriticalSection::Enter()
{
    return LockEngineMutex(&g_Mutex);
}

int CKorvelCriticalSection::Leave()
{
    return pthread_mutex_unlock(&g_Mutex) == 0 ? 1 : 0;
}
