// CSocketEngine on the main thread: life cycle, connect and disconnect, the
// send queue, and the per-frame delivery of what the receive side queued.
//
// Sections: life cycle - connect/disconnect - sending - delivery - queues.
#include "SocketEngine/SocketEngine.h"

#include "KorvelGraphics/KorvelApplication.h"
#include "SocketEngine/SocketEngineThreads.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <new>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
const int WAKE_WORD_QUIT = -1;
const int WAKE_WORD_RESUME = 1; // the receive queue has room again

// The receive lock held for one scope.
class CLockScope
{
public:
    explicit CLockScope(CKorvelMutex& mutex) : m_Mutex(mutex) { m_Mutex.Startup(); }
    ~CLockScope() { m_Mutex.Shutdown(); }

private:
    CKorvelMutex& m_Mutex;
};
} // namespace

// ----------------------------------------------------------------- life cycle

CSocketEngine::CSocketEngine()
    : m_pApplication(nullptr), m_pObserver(nullptr), m_uClosing(0), m_iReceiveIndex(0), m_iQueuedBytes(0),
      m_bReceivePaused(false), m_pReceiveThread(nullptr), m_pSendThread(nullptr), m_iSocket(-1),
      m_fIdleSeconds(0.0f), m_uPort(0), m_pProbe(nullptr), m_pfnResolve(&CSocketEngine::ResolveIPv4),
      m_bSending(false), m_bSendOverflow(false), m_uGeneration(0)
{
    m_aiWakePipe[0] = -1;
    m_aiWakePipe[1] = -1;
}

CSocketEngine::~CSocketEngine()
{
    // An owner that forgot Shutdown must not leave threads running on a dead object.
    Shutdown();
}

int CSocketEngine::Startup(IKorvelApplication* application, ISocketEngineObserver* observer)
{
    if (!application)
        return 0;
    if (m_pApplication || m_aiWakePipe[0] != -1)
        Shutdown();
    m_pApplication = application;
    m_pObserver = observer;
    m_fIdleSeconds = 0.0f;
    m_pReceiveThread = nullptr;
    m_pSendThread = nullptr;
    application->AddRunnable(this);
    m_iSocket = -1;
    // Close-on-exec: the platform browser runs as a child process.
    if (pipe2(m_aiWakePipe, O_NONBLOCK | O_CLOEXEC) != 0)
    {
        m_aiWakePipe[0] = -1;
        m_aiWakePipe[1] = -1;
        Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_PIPE);
        return 0;
    }
    return 1;
}

void CSocketEngine::Shutdown()
{
    if (m_pSendThread || m_pReceiveThread || m_iSocket != -1)
        StopWorkers();
    DiscardReceived();
    ClearSendQueue();
    if (m_pApplication)
        m_pApplication->RemoveRunnable(this);
    if (m_aiWakePipe[1] != -1)
        close(m_aiWakePipe[1]);
    if (m_aiWakePipe[0] != -1)
        close(m_aiWakePipe[0]);
    m_aiWakePipe[0] = -1;
    m_aiWakePipe[1] = -1;
    m_uPort = 0;
    m_pApplication = nullptr;
}

// --------------------------------------------------------- connect/disconnect

int CSocketEngine::ResolveIPv4(char const* host, in_addr* address)
{
    addrinfo hints;
    memset(&hints, 0, sizeof(hints));
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (!host || !*host || getaddrinfo(host, nullptr, &hints, &found) != 0 || !found)
        return 0;
    *address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    return 1;
}

void CSocketEngine::SetResolver(PFN_SOCKETRESOLVE resolve)
{
    m_pfnResolve = resolve ? resolve : &CSocketEngine::ResolveIPv4;
}

int CSocketEngine::Connect(CKorvelString const& hostName, unsigned int port, CVornNetConnection* probe)
{
    const CKorvelString host(hostName); // the caller may pass our own host, which Disconnect empties
    // A second Connect replaces the connection rather than leaking its threads.
    if (m_pSendThread || m_pReceiveThread || m_iSocket != -1)
    {
        Disconnect(0, 0);
        if (m_pSendThread || m_pReceiveThread || m_iSocket != -1)
            StopWorkers();
    }
    // Nothing of an earlier attempt may reach the observer as if it were this one's.
    DiscardReceived();
    ClearSendQueue();
    m_bSendOverflow = false;

    m_fIdleSeconds = 0.0f;
    m_pProbe = probe;
    m_uPort = port;
    m_strHost = host;

    if (m_aiWakePipe[0] == -1)
    {
        Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_PIPE);
        return 0;
    }
    DrainWakePipe();

    const int length = host.GetLength();
    char* name = new (std::nothrow) char[length + 1];
    if (!name)
    {
        Error(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_CONNECT);
        return 0;
    }
    host.MakeAnsi(name);
    in_addr address;
    const int resolved = m_pfnResolve(name, &address);
    delete[] name;
    if (!resolved)
    {
        Error(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_CONNECT);
        return 0;
    }

    sockaddr_in target;
    memset(&target, 0, sizeof(target));
    target.sin_family = AF_INET;
    target.sin_port = htons(static_cast<uint16_t>(port & 0xFFFF));
    target.sin_addr = address;

    const int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (sock < 0)
    {
        Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_SOCKET);
        return 0;
    }
    int result;
    do
        result = connect(sock, reinterpret_cast<sockaddr*>(&target), sizeof(target));
    while (result != 0 && errno == EINTR);
    if (result != 0)
    {
        close(sock);
        Error(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_CONNECT);
        return 0;
    }
    m_iSocket = sock;
    {
        CLockScope lock(m_ReceiveLock);
        m_iReceiveIndex = 0;
    }

    m_pReceiveThread = new (std::nothrow) ReceiveThread();
    if (!m_pReceiveThread || !m_pReceiveThread->Startup(this))
    {
        StopWorkers();
        Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_THREAD);
        return 0;
    }
    m_pSendThread = new (std::nothrow) SendThread();
    if (!m_pSendThread || !m_pSendThread->Startup(this))
    {
        StopWorkers();
        Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_THREAD);
        return 0;
    }
    if (m_pObserver)
        m_pObserver->SocketEngineNotify(KE_SOCKET_CONNECTED, KE_SOCKETDETAIL_NONE);
    return 1;
}

void CSocketEngine::Disconnect(unsigned int, unsigned int forgetObserver)
{
    if (m_uClosing || !IsConnected(0))
        return;

    // Give the send thread time to write what is queued, and the message it holds; after an
    // overflow there is nothing worth waiting for.
    for (int wait = 0; wait < m_Timing.iDrainWaits && !m_bSendOverflow && SendPending(); ++wait)
    {
        if (!m_pSendThread->IsAlive())
            break;
        m_pSendThread->Resume();
        IKorvelThread::Sleep(static_cast<unsigned int>(m_Timing.iDrainSleepMs));
    }

    // Nothing of this connection is delivered any more, not even from an Update
    // that is delivering right now and called us.
    DiscardReceived();
    StopWorkers();

    if (forgetObserver)
        m_pObserver = nullptr;
    m_uPort = 0;
    m_strHost.Reset();
}

unsigned int CSocketEngine::IsConnected(unsigned int notify)
{
    if (m_uClosing)
        return 0;
    if (m_iSocket != -1 && m_pReceiveThread && m_pSendThread)
        return 1;
    if (notify && m_pObserver)
        m_pObserver->SocketEngineNotify(KE_SOCKET_CLOSED, KE_SOCKETDETAIL_NONE);
    return 0;
}

// Ends the connection now: the socket is shut down first, which gets both
// workers out of their waits, the workers are joined, the descriptor closed
// last. Whatever they queued on the way out, and any unsent data, is dropped.
void CSocketEngine::StopWorkers()
{
    m_uClosing = 1;
    if (m_pReceiveThread && m_pReceiveThread->IsAlive() && m_aiWakePipe[1] != -1)
    {
        const int word = WAKE_WORD_QUIT;
        if (write(m_aiWakePipe[1], &word, sizeof(word)) != static_cast<ssize_t>(sizeof(word)))
        {
            // A full pipe already holds a wake-up; the socket shutdown below wakes it too.
        }
    }
    if (m_iSocket != -1)
        shutdown(m_iSocket, SHUT_RDWR);
    if (m_pReceiveThread)
    {
        m_pReceiveThread->Shutdown();
        delete m_pReceiveThread;
        m_pReceiveThread = nullptr;
    }
    if (m_pSendThread)
    {
        m_pSendThread->Shutdown();
        delete m_pSendThread;
        m_pSendThread = nullptr;
    }
    if (m_iSocket != -1)
    {
        close(m_iSocket);
        m_iSocket = -1;
    }
    DiscardReceived();
    ClearSendQueue();
    DrainWakePipe();
    {
        CLockScope lock(m_SendLock);
        m_bSending = false;
    }
    m_bSendOverflow = false;
    m_uClosing = 0;
}

void CSocketEngine::DrainWakePipe()
{
    if (m_aiWakePipe[0] == -1)
        return;
    int word;
    while (read(m_aiWakePipe[0], &word, sizeof(word)) > 0)
    {
    }
}

// -------------------------------------------------------------------- sending

void CSocketEngine::Send(unsigned char const* data, int size)
{
    if (size <= 0 || !data)
        return;
    if (!IsConnected(0))
    {
        if (m_pObserver)
            m_pObserver->SocketEngineNotify(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_SEND);
        return;
    }
    if (m_uClosing || m_bSendOverflow)
        return;
    DATA_PACKAGE record;
    record.data = new (std::nothrow) unsigned char[size];
    if (!record.data)
        return;
    memcpy(record.data, data, static_cast<size_t>(size));
    record.size = size;
    record.code = 0;
    record.detail = 0;
    {
        CLockScope lock(m_SendLock);
        if (m_SendQueue.m_iCount + (m_bSending ? 1 : 0) < m_Timing.iSendQueueLimit)
        {
            if (m_SendQueue.m_iCount == 0)
                m_pSendThread->Resume(); // it may be asleep; a wake-up before it sleeps is kept
            if (m_SendQueue.Add(record) < 0)
                delete[] record.data;
            return;
        }
        FreeRecords(m_SendQueue);
        m_bSendOverflow = true;
    }
    delete[] record.data;
    Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_SENDQUEUE);
}

void CSocketEngine::ClearSendQueue()
{
    CLockScope lock(m_SendLock);
    FreeRecords(m_SendQueue);
}

bool CSocketEngine::SendPending()
{
    CLockScope lock(m_SendLock);
    return m_SendQueue.m_iCount > 0 || m_bSending;
}

bool CSocketEngine::TakeNextSend(DATA_PACKAGE& record)
{
    CLockScope lock(m_SendLock);
    if (m_SendQueue.m_iCount == 0)
        return false;
    record = m_SendQueue[0];
    for (int i = 1; i < m_SendQueue.m_iCount; ++i)
        m_SendQueue[i - 1] = m_SendQueue[i];
    m_SendQueue.SetSize(m_SendQueue.m_iCount - 1);
    m_bSending = true;
    return true;
}

void CSocketEngine::FinishSend()
{
    CLockScope lock(m_SendLock);
    m_bSending = false;
}

// ------------------------------------------------------------------- delivery

void CSocketEngine::Update(float seconds)
{
    if (IsConnected(0))
        m_fIdleSeconds += seconds;

    CKorvelArray<DATA_PACKAGE> batch;
    bool resume = false;
    {
        CLockScope lock(m_ReceiveLock);
        CKorvelArray<DATA_PACKAGE>& taken = m_ReceiveQueue[m_iReceiveIndex];
        m_iReceiveIndex = 1 - m_iReceiveIndex;
        for (int i = 0; i < taken.m_iCount; ++i)
        {
            batch.Add(taken[i]);
            if (taken[i].data)
                m_iQueuedBytes -= taken[i].size;
        }
        taken.SetSize(0);
        resume = m_bReceivePaused && m_iQueuedBytes < m_Timing.iReceiveQueueLimit;
        if (resume)
            m_bReceivePaused = false;
    }
    if (resume && m_aiWakePipe[1] != -1)
    {
        const int word = WAKE_WORD_RESUME;
        if (write(m_aiWakePipe[1], &word, sizeof(word)) != static_cast<ssize_t>(sizeof(word)))
        {
            // A full pipe already holds a wake-up.
        }
    }

    // The observer may disconnect (or reconnect) from inside a call: from then on
    // this batch belongs to a dead connection and is dropped.
    const unsigned int generation = m_uGeneration;
    CKorvelArray<DATA_PACKAGE> notes;
    for (int i = 0; i < batch.m_iCount; ++i)
    {
        DATA_PACKAGE& record = batch[i];
        if (m_pObserver && generation == m_uGeneration)
        {
            if (record.data)
            {
                m_fIdleSeconds = 0.0f;
                m_pObserver->SocketEngineDataReceived(record.data, record.size);
            }
            else
                notes.Add(record);
        }
        delete[] record.data;
        record.data = nullptr;
    }
    for (int i = 0; i < notes.m_iCount; ++i)
    {
        if (m_pObserver && generation == m_uGeneration)
            m_pObserver->SocketEngineNotify(static_cast<KE_SOCKETCODES>(notes[i].code), notes[i].detail);
    }
}

int CSocketEngine::Error(KE_SOCKETCODES code, int detail)
{
    DATA_PACKAGE record = {nullptr, 0, code, detail};
    QueueReceived(record);
    return 0;
}

unsigned int CSocketEngine::LastMessageTimerExpired()
{
    if (m_fIdleSeconds < m_Timing.fKeepAliveSeconds)
        return 0;
    m_fIdleSeconds = 0.0f;
    return 1;
}

// --------------------------------------------------------------------- queues

void CSocketEngine::QueueReceived(DATA_PACKAGE const& record)
{
    CLockScope lock(m_ReceiveLock);
    if (m_ReceiveQueue[m_iReceiveIndex].Add(record) < 0)
        delete[] record.data;
    else if (record.data)
        m_iQueuedBytes += record.size;
}

bool CSocketEngine::ReceiveQueueFull()
{
    CLockScope lock(m_ReceiveLock);
    m_bReceivePaused = m_iQueuedBytes >= m_Timing.iReceiveQueueLimit;
    return m_bReceivePaused;
}

void CSocketEngine::DiscardReceived()
{
    {
        CLockScope lock(m_ReceiveLock);
        FreeRecords(m_ReceiveQueue[0]);
        FreeRecords(m_ReceiveQueue[1]);
        m_iQueuedBytes = 0;
        m_bReceivePaused = false;
    }
    ++m_uGeneration;
}

void CSocketEngine::FreeRecords(CKorvelArray<DATA_PACKAGE>& queue)
{
    for (int i = 0; i < queue.m_iCount; ++i)
        delete[] queue[i].data;
    queue.SetSize(0);
}
