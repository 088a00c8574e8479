// The send and receive workers of CSocketEngine.
#include "SocketEngine/SocketEngineThreads.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{
// Written to the wake pipe to get the receive thread out of its wait.
const int WAKE_WORD_QUIT = -1;
} // namespace

// ---------------------------------------------------------------- send thread

CSocketEngine::SendThread::~SendThread()
{
    Shutdown();
    delete[] m_pBuffer;
}

int CSocketEngine::SendThread::Startup(CSocketEngine* engine)
{
    m_pEngine = engine;
    return IKorvelThread::Startup(251);
}

void CSocketEngine::SendThread::Shutdown()
{
    IKorvelThread::Shutdown();
    m_pEngine = nullptr;
}

unsigned int CSocketEngine::SendThread::ThreadProc()
{
    CSocketEngine* engine = m_pEngine;
    while (IsRunning() && !engine->m_uClosing)
    {
        DATA_PACKAGE record;
        if (!engine->TakeNextSend(record))
        {
            Suspend();
            continue;
        }
        const unsigned int size = static_cast<unsigned int>(record.size);
        if (size > m_uCapacity)
        {
            // The largest message so far: its own copy becomes the reused buffer.
            delete[] m_pBuffer;
            m_pBuffer = record.data;
            m_uCapacity = size;
        }
        else
        {
            memcpy(m_pBuffer, record.data, size);
            delete[] record.data;
        }

        const bool sent = !engine->m_uClosing && SendWhole(record.size);
        engine->FinishSend();
        if (!sent)
            break;
        IKorvelThread::Sleep(1);
    }
    return 0;
}

// A message goes out completely or not at all as far as the stream goes on:
// a short write continues with the rest. Writes never block; each wait for
// room is bounded by the send wait.
bool CSocketEngine::SendThread::SendWhole(int size)
{
    CSocketEngine* engine = m_pEngine;
    const sSOCKETTIMING& timing = engine->m_Timing;
    int offset = 0;
    int failures = 0;
    while (offset < size)
    {
        if (engine->m_uClosing)
            return false;
        pollfd writable = {engine->m_iSocket, POLLOUT, 0};
        const int ready = poll(&writable, 1, timing.iSendWaitMs);
        if (ready < 0)
        {
            if (errno == EINTR)
                continue;
            engine->Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_SELECT);
            engine->ClearSendQueue();
            return false;
        }
        if (ready == 0)
        {
            engine->Error(KE_SOCKET_TIMEOUT, KE_SOCKETDETAIL_SENDWAIT);
            engine->ClearSendQueue();
            return false;
        }
        const ssize_t written =
            send(engine->m_iSocket, m_pBuffer + offset, size - offset, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written > 0)
        {
            offset += static_cast<int>(written);
            continue;
        }
        if (written < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue; // no room after all: wait again, still bounded by the send wait
        if (++failures >= timing.iSendAttempts)
        {
            engine->Error(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_SEND);
            engine->ClearSendQueue();
            return false;
        }
    }
    return true;
}

// ------------------------------------------------------------- receive thread

CSocketEngine::ReceiveThread::~ReceiveThread()
{
    Shutdown();
}

int CSocketEngine::ReceiveThread::Startup(CSocketEngine* engine)
{
    m_pEngine = engine;
    return IKorvelThread::Startup(251);
}

void CSocketEngine::ReceiveThread::Shutdown()
{
    IKorvelThread::Shutdown();
    m_pEngine = nullptr;
}

bool CSocketEngine::ReceiveThread::ReadWakeWords()
{
    bool quit = false;
    int word = 0;
    while (read(m_pEngine->m_aiWakePipe[0], &word, sizeof(word)) == static_cast<ssize_t>(sizeof(word)))
    {
        if (word == WAKE_WORD_QUIT && m_pEngine->m_uClosing)
            quit = true;
    }
    return quit;
}

unsigned int CSocketEngine::ReceiveThread::ThreadProc()
{
    CSocketEngine* engine = m_pEngine;
    const sSOCKETTIMING& timing = engine->m_Timing;
    int idleWaits = 0;
    while (IsRunning() && !engine->m_uClosing)
    {
        if (engine->ReceiveQueueFull())
        {
            // Nothing is read until Update has taken the queue; its wake word, or the quit
            // word, ends the wait. Data waits in the stream, so this is not idle time.
            idleWaits = 0;
            pollfd wake = {engine->m_aiWakePipe[0], POLLIN, 0};
            const int woken = poll(&wake, 1, timing.iReceiveWaitMs);
            if (woken > 0 && ReadWakeWords())
                break;
            continue;
        }
        pollfd fds[2] = {{engine->m_aiWakePipe[0], POLLIN, 0}, {engine->m_iSocket, POLLIN, 0}};
        const int ready = poll(fds, 2, timing.iReceiveWaitMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready > 0 && (fds[0].revents & POLLIN) && ReadWakeWords())
            break;
        if (!engine->m_pObserver || engine->m_uClosing)
            break;
        if (ready < 0)
        {
            engine->Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_SELECT);
            break;
        }
        if (ready == 0)
        {
            if (++idleWaits > timing.iIdleWaitLimit)
            {
                engine->Error(KE_SOCKET_TIMEOUT, KE_SOCKETDETAIL_IDLE);
                break;
            }
            continue;
        }
        if (!(fds[1].revents & (POLLIN | POLLHUP | POLLERR)))
        {
            engine->Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_RECEIVE);
            break;
        }
        const ssize_t received = recv(engine->m_iSocket, m_aBuffer, BUFFER_SIZE, 0);
        if (engine->m_uClosing)
            break;
        if (received == 0)
        {
            engine->Error(KE_SOCKET_CLOSED, KE_SOCKETDETAIL_NONE);
            break;
        }
        if (received < 0)
        {
            if (errno == EINTR)
                continue;
            engine->Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_RECEIVE);
            break;
        }
        DATA_PACKAGE record;
        record.data = new (std::nothrow) unsigned char[received];
        if (!record.data)
        {
            engine->Error(KE_SOCKET_ERROR, KE_SOCKETDETAIL_RECEIVE); // a lost chunk would break the stream
            break;
        }
        memcpy(record.data, m_aBuffer, static_cast<size_t>(received));
        record.size = static_cast<int>(received);
        record.code = -1;
        record.detail = 0;
        idleWaits = 0;
        engine->QueueReceived(record);
    }
    return 0;
}
