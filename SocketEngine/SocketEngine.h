// One TCP client connection with its own send and receive threads. Received
// chunks and status codes reach the observer only from Update, which the
// application calls once a frame on the main thread.
//
// Sections: codes and records - observer - timing - CSocketEngine.
#pragma once

#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelRunnable.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelThread.h"

#include <atomic>
#include <netinet/in.h>

class IKorvelApplication;
class CVornNetConnection;

enum KE_SOCKETCODES : int
{
    KE_SOCKET_ERROR = 0,
    KE_SOCKET_CONNECTED = 1,
    KE_SOCKET_CANNOTCONNECT = 2, // cannot connect, or cannot send
    KE_SOCKET_TIMEOUT = 3,
    KE_SOCKET_CLOSED = 4
};

// Details that go with the codes.
enum : int
{
    KE_SOCKETDETAIL_NONE = 0,
    KE_SOCKETDETAIL_SOCKET = 1,    // socket creation failed
    KE_SOCKETDETAIL_CONNECT = 2,   // host not resolved or connect refused
    KE_SOCKETDETAIL_THREAD = 4,    // a worker thread failed to start
    KE_SOCKETDETAIL_SELECT = 5,    // waiting on the socket failed
    KE_SOCKETDETAIL_IDLE = 6,      // no data for too many receive waits in a row
    KE_SOCKETDETAIL_RECEIVE = 7,   // receive failed
    KE_SOCKETDETAIL_PIPE = 8,      // wake pipe creation failed
    KE_SOCKETDETAIL_SENDWAIT = 9,  // the socket stayed unwritable for one send wait
    KE_SOCKETDETAIL_SEND = 10,     // send failed repeatedly, or Send while not connected
    KE_SOCKETDETAIL_SENDQUEUE = 11 // more messages waited to be sent than the send queue holds
};

// One queue record. data is owned by the queue (array new); a record with null
// data is a notification.
struct DATA_PACKAGE
{
    unsigned char* data;
    int size;
    int code;   // KE_SOCKETCODES of a notification, -1 for received data
    int detail; // 0 for received data
};

class ISocketEngineObserver
{
public:
    virtual ~ISocketEngineObserver() {}
    virtual void SocketEngineNotify(KE_SOCKETCODES code, int detail) = 0;
    // The buffer is freed when the call returns.
    virtual void SocketEngineDataReceived(unsigned char const* data, int size) = 0;
};

// Waits and limits; the defaults are the production values, tests shorten them.
struct sSOCKETTIMING
{
    int iReceiveWaitMs = 30000;
    int iSendWaitMs = 1000;
    int iIdleWaitLimit = 3; // receive waits without data tolerated in a row
    int iSendAttempts = 5;  // failed sends of one message before giving up
    int iDrainWaits = 151;  // Disconnect's waits for the send queue to empty
    int iDrainSleepMs = 100;
    float fKeepAliveSeconds = 30.0f;
    // Bytes received and not yet delivered. At the limit the receive thread stops reading
    // until Update has delivered them: the peer is held back by the stream itself, so a
    // peer that sends faster than the game takes in cannot fill the memory, and nothing
    // of the stream is lost.
    int iReceiveQueueLimit = 1 << 20;
    // Messages waiting to be sent, the one being written included. The send thread writes at
    // most one a millisecond; a Send that would put one more in the queue ends the connection
    // (error, detail SENDQUEUE) and drops what waits. So neither a peer that stops reading
    // nor a sender that outruns the thread can fill the memory, and Disconnect has at most
    // this many to write before it returns (about two seconds). A burst of a thousand
    // messages at once still fits.
    int iSendQueueLimit = 2048;
};

// Resolves a host name to its IPv4 address; returns 1 on success.
typedef int (*PFN_SOCKETRESOLVE)(char const* host, in_addr* address);

class CSocketEngine : private IKorvelRunnable
{
public:
    class SendThread;
    class ReceiveThread;

    CSocketEngine();
    virtual ~CSocketEngine();

    int Startup(IKorvelApplication* application, ISocketEngineObserver* observer);
    void Shutdown();

    int Connect(CKorvelString const& host, unsigned int port, CVornNetConnection* probe);
    void Disconnect(unsigned int unused, unsigned int forgetObserver);
    unsigned int IsConnected(unsigned int notify);

    void Send(unsigned char const* data, int size);
    void ClearSendQueue();

    void Update(float seconds) override;
    int Error(KE_SOCKETCODES code, int detail);

    unsigned int LastMessageTimerExpired();
    void ExitSanityChecks() {}
    void PrintLastSocketError() {}

    // Set while not connected: the threads read these without a lock.
    void SetTiming(sSOCKETTIMING const& timing) { m_Timing = timing; }
    sSOCKETTIMING const& GetTiming() const { return m_Timing; }
    void SetResolver(PFN_SOCKETRESOLVE resolve);
    static int ResolveIPv4(char const* host, in_addr* address);

    unsigned int GetPort() const { return m_uPort; }
    CKorvelString const& GetHost() const { return m_strHost; }
    CVornNetConnection* GetProbe() const { return m_pProbe; }

private:
    friend class SendThread;
    friend class ReceiveThread;

    void StopWorkers();
    void DiscardReceived();
    void FreeRecords(CKorvelArray<DATA_PACKAGE>& queue);
    void QueueReceived(DATA_PACKAGE const& record);
    // Receive thread: true when the queued bytes reached the limit; Update then wakes it.
    bool ReceiveQueueFull();
    void DrainWakePipe();
    bool SendPending();

    // Send thread side.
    bool TakeNextSend(DATA_PACKAGE& record);
    void FinishSend();

    IKorvelApplication* m_pApplication;
    ISocketEngineObserver* m_pObserver;
    std::atomic<unsigned int> m_uClosing;
    CKorvelArray<DATA_PACKAGE> m_SendQueue;
    int m_iReceiveIndex;
    CKorvelArray<DATA_PACKAGE> m_ReceiveQueue[2];
    int m_iQueuedBytes;    // data bytes in both receive queues
    bool m_bReceivePaused; // the receive thread waits for Update to take the queue
    ReceiveThread* m_pReceiveThread;
    SendThread* m_pSendThread;
    CKorvelMutex m_ReceiveLock;
    CKorvelMutex m_SendLock;
    int m_iSocket;
    int m_aiWakePipe[2]; // read end, write end; -1 when closed
    float m_fIdleSeconds;
    unsigned int m_uPort;
    CKorvelString m_strHost;
    CVornNetConnection* m_pProbe;

    sSOCKETTIMING m_Timing;
    PFN_SOCKETRESOLVE m_pfnResolve;
    bool m_bSending;            // the send thread holds a message taken off the queue
    bool m_bSendOverflow;       // the send queue overflowed: nothing more is sent or drained
    unsigned int m_uGeneration; // bumped when a connection's pending data is dropped
};
