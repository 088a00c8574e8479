// CSocketEngine against a TCP peer on 127.0.0.1. The test plays the
// application: it runs the frames that call the engine's Update.
//
// Sections: fixtures - start-up and unconnected calls - connect failures -
// sending - receiving - disconnect and reconnect - timers - resources.
#include "SocketEngine/SocketEngine.h"

#include "KorvelGraphics/KorvelApplication.h"
#include "LoopbackPeer.h"
#include "support/HeapBytes.h"
#include "support/WaitLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <functional>
#include <set>
#include <vector>

namespace
{

// ------------------------------------------------------------------- fixtures

class CStubApplication : public IKorvelApplication
{
public:
    void OnFlip() override {}
    void Frame(float seconds)
    {
        m_bInFrame = true;
        UpdateRunnables(seconds);
        m_bInFrame = false;
    }
    int RunnableCount() const { return m_Runnables.GetCount(); }
    bool m_bInFrame = false;
};

struct sEVENT
{
    bool bData;
    int iCode;
    int iDetail;
    std::string strData;
    bool bInFrame;
    bool bMainThread;
};

class CRecorder : public ISocketEngineObserver
{
public:
    explicit CRecorder(CStubApplication& app) : m_App(app), m_MainThread(std::this_thread::get_id()) {}

    void SocketEngineNotify(KE_SOCKETCODES code, int detail) override
    {
        m_Events.push_back({false, code, detail, "", m_App.m_bInFrame, OnMain()});
        if (m_pOnNotify)
            m_pOnNotify(code);
    }
    void SocketEngineDataReceived(unsigned char const* data, int size) override
    {
        m_Events.push_back({true, -1, 0, std::string(reinterpret_cast<const char*>(data), size),
                            m_App.m_bInFrame, OnMain()});
        m_strData.append(reinterpret_cast<const char*>(data), size);
        if (m_pOnData)
            m_pOnData();
    }

    bool Has(int code, int detail) const
    {
        return std::any_of(m_Events.begin(), m_Events.end(),
                           [&](const sEVENT& e)
                           { return !e.bData && e.iCode == code && e.iDetail == detail; });
    }
    int Notifications() const
    {
        return (int)std::count_if(m_Events.begin(), m_Events.end(), [](const sEVENT& e) { return !e.bData; });
    }

    std::vector<sEVENT> m_Events;
    std::string m_strData;
    std::function<void()> m_pOnData;
    std::function<void(int)> m_pOnNotify;

private:
    bool OnMain() const { return std::this_thread::get_id() == m_MainThread; }
    CStubApplication& m_App;
    std::thread::id m_MainThread;
};

// Runs frames until the condition holds or the time is up.
template <class F> bool PumpUntil(CStubApplication& app, F condition, int timeoutMs = TEST_WAIT_LIMIT_MS)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end)
    {
        app.Frame(0.016f);
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

void PumpFor(CStubApplication& app, int milliseconds)
{
    PumpUntil(
        app, [] { return false; }, milliseconds);
}

std::string Pattern(size_t size, unsigned int seed)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + size_t{seed} * 7 + (i >> 9)) & 0xFF);
    return bytes;
}

void SendText(::CSocketEngine& engine, const std::string& bytes)
{
    engine.Send(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
}

int FailResolve(char const*, in_addr*)
{
    return 0;
}

std::set<int> OpenDescriptors()
{
    std::set<int> fds;
    DIR* dir = opendir("/proc/self/fd");
    const int own = dirfd(dir);
    while (dirent* entry = readdir(dir))
    {
        if (entry->d_name[0] == '.')
            continue;
        const int fd = atoi(entry->d_name);
        if (fd != own)
            fds.insert(fd);
    }
    closedir(dir);
    return fds;
}

int ThreadCount()
{
    // A sanitizer runtime may start a helper thread with the process's first
    // thread; have that happen before anything is counted.
    static bool warm = []
    {
        std::thread([] {}).join();
        return true;
    }();
    (void)warm;
    int count = 0;
    DIR* dir = opendir("/proc/self/task");
    while (dirent* entry = readdir(dir))
        count += entry->d_name[0] != '.';
    closedir(dir);
    return count;
}

// A joined thread stays listed until the kernel has reaped it, a moment after the join.
bool ThreadCountComesBackTo(int count)
{
    const auto end = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    while (ThreadCount() != count && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ThreadCount() == count;
}

// The receive thread ends once it has read the end of the stream: by then every chunk before
// it and the close wait for the next Update. threadsConnected: the count while it ran.
bool ReceiveThreadEnded(int threadsConnected)
{
    return ThreadCountComesBackTo(threadsConnected - 1);
}

// The fixture takes the engine's name for the suite; the engine itself is ::CSocketEngine here.
class CSocketEngine : public ::testing::Test
{
protected:
    CSocketEngine() : m_Recorder(m_App) {}
    void SetUp() override { ASSERT_EQ(1, m_Engine.Startup(&m_App, &m_Recorder)); }
    void TearDown() override
    {
        m_Engine.Disconnect(0, 0);
        m_Engine.Shutdown();
    }
    void SetSendWait(int milliseconds)
    {
        sSOCKETTIMING timing;
        timing.iSendWaitMs = milliseconds;
        m_Engine.SetTiming(timing);
    }
    // Megabytes queued: the send thread waits for room and Disconnect for the queue to empty as
    // long as the test waits for anything. Such a test checks that all of it goes out, not how
    // fast a loaded machine's reader takes it in.
    void SendWithTestLimit()
    {
        sSOCKETTIMING timing = m_Engine.GetTiming();
        timing.iSendWaitMs = TEST_WAIT_LIMIT_MS;
        timing.iDrainWaits = TEST_WAIT_LIMIT_MS / timing.iDrainSleepMs;
        m_Engine.SetTiming(timing);
    }
    bool ConnectTo(CLoopbackPeer& peer)
    {
        return m_Engine.Connect(CKorvelString("127.0.0.1"), peer.Port(), nullptr) == 1 && peer.Accept();
    }

    CStubApplication m_App;
    CRecorder m_Recorder;
    ::CSocketEngine m_Engine;
};

// ------------------------------------------- start-up and unconnected calls

TEST_F(CSocketEngine, StartupNeedsAnApplicationAndRegistersOnce)
{
    CStubApplication app;
    CRecorder recorder(app);
    ::CSocketEngine engine;
    EXPECT_EQ(0, engine.Startup(nullptr, &recorder));
    EXPECT_EQ(0, app.RunnableCount());
    EXPECT_EQ(1, engine.Startup(&app, &recorder));
    EXPECT_EQ(1, app.RunnableCount());
    engine.Shutdown();
    EXPECT_EQ(0, app.RunnableCount());
}

TEST_F(CSocketEngine, UnconnectedCallsAnswerAtOnceOrDoNothing)
{
    unsigned char bytes[4] = {1, 2, 3, 4};
    m_Engine.Send(bytes, 0);
    m_Engine.Send(bytes, -3);
    EXPECT_TRUE(m_Recorder.m_Events.empty());

    m_Engine.Send(bytes, 4);
    ASSERT_EQ(1u, m_Recorder.m_Events.size());
    EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_SEND));
    EXPECT_FALSE(m_Recorder.m_Events[0].bInFrame);

    EXPECT_EQ(0u, m_Engine.IsConnected(0));
    EXPECT_EQ(1u, m_Recorder.m_Events.size());
    EXPECT_EQ(0u, m_Engine.IsConnected(1));
    ASSERT_EQ(2u, m_Recorder.m_Events.size());
    EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_CLOSED, 0));

    m_Engine.Disconnect(0, 1);
    m_App.Frame(0.1f);
    EXPECT_EQ(2u, m_Recorder.m_Events.size());
}

// ------------------------------------------------------------ connect failures

// A refused connection (closed loopback port) and a failed name resolution.
TEST_F(CSocketEngine, ConnectFailureIsReportedAtTheNextUpdateWithoutLeakingTheSocket)
{
    for (bool bResolverFails : {false, true})
    {
        SCOPED_TRACE(bResolverFails ? "resolver" : "refused");
        m_Recorder.m_Events.clear();
        if (bResolverFails)
            m_Engine.SetResolver(&FailResolve);
        const std::set<int> before = OpenDescriptors();
        EXPECT_EQ(0, m_Engine.Connect(CKorvelString(bResolverFails ? "nowhere.invalid" : "127.0.0.1"),
                                      CLoopbackPeer::ClosedPort(), nullptr));
        EXPECT_EQ(before, OpenDescriptors());
        EXPECT_TRUE(m_Recorder.m_Events.empty());
        m_App.Frame(0.016f);
        ASSERT_EQ(1u, m_Recorder.m_Events.size());
        EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_CONNECT));
        EXPECT_EQ(0u, m_Engine.IsConnected(0));
    }
    // A failure not yet delivered is not reported against the next connection.
    m_Engine.SetResolver(nullptr);
    m_Recorder.m_Events.clear();
    CLoopbackPeer peer;
    EXPECT_EQ(0, m_Engine.Connect(CKorvelString("127.0.0.1"), CLoopbackPeer::ClosedPort(), nullptr));
    ASSERT_TRUE(ConnectTo(peer));
    PumpFor(m_App, 50);
    ASSERT_EQ(1u, m_Recorder.m_Events.size());
    EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_CONNECTED, 0));
}

// --------------------------------------------------------------------- sending

// Disconnect drains the queue: the peer gets everything before its end of stream.
TEST_F(CSocketEngine, ConnectNotifiesAtOnceAndMessagesArriveWholeAndInOrder)
{
    SendWithTestLimit();
    CLoopbackPeer peer;
    ASSERT_EQ(1, m_Engine.Connect(CKorvelString("127.0.0.1"), peer.Port(), nullptr));
    ASSERT_EQ(1u, m_Recorder.m_Events.size());
    EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_CONNECTED, 0));
    EXPECT_FALSE(m_Recorder.m_Events[0].bInFrame);
    EXPECT_EQ(1u, m_Engine.IsConnected(1));
    ASSERT_TRUE(peer.Accept());
    peer.StartReading();

    // Large messages do not fit the socket buffers and go out in several writes.
    std::string expected;
    const size_t sizes[] = {1, 300, 65536, 8u << 20, 17, 3u << 20, 5};
    for (unsigned int i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i)
    {
        const std::string message = Pattern(sizes[i], i);
        SendText(m_Engine, message);
        expected += message;
    }
    m_Engine.Disconnect(0, 0);
    ASSERT_TRUE(peer.WaitForEof());
    EXPECT_EQ(expected.size(), peer.Received().size());
    EXPECT_TRUE(expected == peer.Received());
    EXPECT_EQ(0u, m_Engine.GetPort());
    EXPECT_EQ(0, m_Engine.GetHost().GetLength());
}

TEST_F(CSocketEngine, APeerThatNeverReadsTimesTheSendOutAndDoesNotHangDisconnect)
{
    SetSendWait(200);
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    peer.ShrinkReceiveBuffer();
    const std::string block = Pattern(1u << 20, 3);
    for (int i = 0; i < 64; ++i)
        SendText(m_Engine, block);
    ASSERT_TRUE(
        PumpUntil(m_App, [&] { return m_Recorder.Has(KE_SOCKET_TIMEOUT, KE_SOCKETDETAIL_SENDWAIT); }));

    // Queued again after the failure: Disconnect must still come back.
    for (int i = 0; i < 64; ++i)
        SendText(m_Engine, block);
    m_Engine.Disconnect(0, 0);
    EXPECT_EQ(0u, m_Engine.IsConnected(0));
}

TEST_F(CSocketEngine, ClearSendQueueDropsWhatIsQueuedButNotTheMessageBeingSent)
{
    SendWithTestLimit();
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    const std::string first = Pattern(32u << 20, 1);
    SendText(m_Engine, first);
    ASSERT_TRUE(peer.WaitForBytes()) << "the send thread holds the first message";
    SendText(m_Engine, Pattern(1000, 2));
    SendText(m_Engine, Pattern(2000, 3));
    m_Engine.ClearSendQueue();
    peer.StartReading();
    m_Engine.Disconnect(0, 0);
    ASSERT_TRUE(peer.WaitForEof());
    EXPECT_TRUE(first == peer.Received());
}

// A peer that stops reading while more is sent: the queue takes exactly its limit, the
// message being written included; one more ends the connection with its own reason and
// drops what waits, so Disconnect has nothing to wait for. Connected again, sending works.
TEST_F(CSocketEngine, OneMessagePastTheSendQueueLimitEndsTheConnectionAndDropsTheQueue)
{
    const int kLimit = 8;
    sSOCKETTIMING timing;
    timing.iSendWaitMs = 60000; // the message being written stays held while the peer does not read
    timing.iSendQueueLimit = kLimit;
    m_Engine.SetTiming(timing);
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    peer.ShrinkReceiveBuffer();
    // Larger than both sockets' buffers: it cannot leave while the peer does not read.
    SendText(m_Engine, Pattern(12u << 20, 5));
    for (int i = 1; i < kLimit; ++i)
        SendText(m_Engine, Pattern(100, static_cast<unsigned int>(i)));
    m_App.Frame(0.016f);
    EXPECT_EQ(1, m_Recorder.Notifications()) << "exactly at the limit: only \"connected\"";
    EXPECT_EQ(1u, m_Engine.IsConnected(0));

    SendText(m_Engine, Pattern(100, 99));
    m_App.Frame(0.016f);
    EXPECT_TRUE(m_Recorder.Has(KE_SOCKET_ERROR, KE_SOCKETDETAIL_SENDQUEUE)) << "one past the limit";
    SendText(m_Engine, Pattern(100, 100)); // dropped: the connection is ending
    m_App.Frame(0.016f);
    EXPECT_EQ(2, m_Recorder.Notifications());
    m_Engine.Disconnect(0, 0);
    EXPECT_EQ(0u, m_Engine.IsConnected(0));

    // A full queue's worth on a new connection all goes out, Disconnect waiting for it.
    CLoopbackPeer second;
    ASSERT_TRUE(ConnectTo(second));
    second.StartReading();
    std::string sent;
    for (int i = 0; i < kLimit; ++i)
    {
        const std::string message = Pattern(1000, static_cast<unsigned int>(200 + i));
        SendText(m_Engine, message);
        sent += message;
    }
    m_Engine.Disconnect(0, 0);
    ASSERT_TRUE(second.WaitForEof());
    EXPECT_TRUE(sent == second.Received());
    EXPECT_EQ(3, m_Recorder.Notifications()) << "connected, the full queue, connected";
}

TEST_F(CSocketEngine, APeerResetIsASendFailureNotAKilledProcess)
{
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    peer.ResetClient();
    // The receive side sees the reset first; later sends hit a dead socket.
    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.Notifications() >= 2; }));
    const std::string block = Pattern(65536, 4);
    ASSERT_TRUE(PumpUntil(m_App,
                          [&]
                          {
                              SendText(m_Engine, block);
                              return m_Recorder.Has(KE_SOCKET_CANNOTCONNECT, KE_SOCKETDETAIL_SEND);
                          }));
}

// ------------------------------------------------------------------- receiving

TEST_F(CSocketEngine, ReceivedDataReachesTheObserverOnlyFromUpdateAndBeforeTheClose)
{
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    const int threadsConnected = ThreadCount();
    const std::string sent = Pattern(300000, 9);
    ASSERT_TRUE(peer.Write(sent));
    peer.CloseClient();
    ASSERT_TRUE(ReceiveThreadEnded(threadsConnected));
    EXPECT_EQ(1u, m_Recorder.m_Events.size()); // only "connected": nothing without a frame

    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.Has(KE_SOCKET_CLOSED, 0); }));
    EXPECT_TRUE(sent == m_Recorder.m_strData);
    const sEVENT& last = m_Recorder.m_Events.back();
    EXPECT_FALSE(last.bData);
    EXPECT_EQ(KE_SOCKET_CLOSED, last.iCode);
    for (size_t i = 1; i < m_Recorder.m_Events.size(); ++i)
    {
        EXPECT_TRUE(m_Recorder.m_Events[i].bInFrame);
        EXPECT_TRUE(m_Recorder.m_Events[i].bMainThread);
        EXPECT_LE(m_Recorder.m_Events[i].strData.size(), 65536u);
    }
}

// A peer writing far faster than the frames take the data in: the engine reads no more than
// its queue limit ahead of the frames, every byte still arrives in order, and the connection
// stays up.
TEST_F(CSocketEngine, AFloodIsReadNoFurtherAheadThanTheQueueLimitAndLosesNothing)
{
    // Byte i of the stream, so that the order is checked without keeping the stream.
    auto StreamByte = [](size_t i) { return static_cast<unsigned char>((i * 131 + (i >> 16)) & 0xFF); };
    class CCounter : public ISocketEngineObserver
    {
    public:
        explicit CCounter(unsigned char (*pfnByte)(size_t)) : m_pfnByte(pfnByte) {}
        void SocketEngineNotify(KE_SOCKETCODES code, int) override { m_aCodes.push_back(code); }
        void SocketEngineDataReceived(unsigned char const* data, int size) override
        {
            for (int i = 0; i < size; ++i)
                m_bInOrder = m_bInOrder && data[i] == m_pfnByte(m_uReceived + static_cast<size_t>(i));
            m_uReceived += static_cast<size_t>(size);
        }
        unsigned char (*m_pfnByte)(size_t);
        size_t m_uReceived = 0;
        bool m_bInOrder = true;
        std::vector<int> m_aCodes;
    } counter(StreamByte);
    ::CSocketEngine engine;
    ASSERT_EQ(1, engine.Startup(&m_App, &counter));
    sSOCKETTIMING timing;
    timing.iReceiveQueueLimit = sSOCKETTIMING().iReceiveQueueLimit;
    engine.SetTiming(timing);
    CLoopbackPeer peer;
    ASSERT_EQ(1, engine.Connect(CKorvelString("127.0.0.1"), peer.Port(), nullptr));
    ASSERT_TRUE(peer.Accept());

    const size_t total = 32u << 20;
    std::thread flood(
        [&]
        {
            std::string block(65536, '\0');
            for (size_t offset = 0; offset < total; offset += block.size())
            {
                for (size_t i = 0; i < block.size(); ++i)
                    block[i] = static_cast<char>(StreamByte(offset + i));
                if (!peer.Write(block))
                    return;
            }
        });
    const size_t before = HeapBytesInUse();
    size_t peak = before;
    const auto end = std::chrono::steady_clock::now() + TEST_WAIT_LIMIT;
    while (counter.m_uReceived < total && std::chrono::steady_clock::now() < end)
    {
        // A slow frame: the peer has all the time it needs to run ahead.
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        peak = std::max(peak, HeapBytesInUse());
        m_App.Frame(0.016f);
    }
    flood.join();
    EXPECT_EQ(total, counter.m_uReceived);
    EXPECT_TRUE(counter.m_bInOrder);
    // The limit and a chunk or two beyond it, not the flood.
    EXPECT_LT(peak - before, size_t{2} << 20);
    EXPECT_EQ(std::vector<int>{KE_SOCKET_CONNECTED}, counter.m_aCodes);
    EXPECT_EQ(1u, engine.IsConnected(0));
    engine.Disconnect(0, 0);
    engine.Shutdown();
}

TEST_F(CSocketEngine, ReceiveTimeOutFiresAfterTheIdleWaitsOnly)
{
    sSOCKETTIMING timing;
    timing.iReceiveWaitMs = 40;
    m_Engine.SetTiming(timing);
    CLoopbackPeer peer;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(ConnectTo(peer));
    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.Has(KE_SOCKET_TIMEOUT, KE_SOCKETDETAIL_IDLE); }));
    // Four waits in a row without data, not fewer.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4 * 40));
}

TEST_F(CSocketEngine, DataBetweenWaitsKeepsTheConnectionAlive)
{
    // One empty wait (or more, on a slow machine) between each of eight pieces: more
    // than the limit in all, never that many in a row.
    sSOCKETTIMING timing;
    timing.iReceiveWaitMs = 100;
    timing.iIdleWaitLimit = 5;
    m_Engine.SetTiming(timing);
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    std::string sent;
    for (int i = 0; i < 8; ++i)
    {
        sent += static_cast<char>('a' + i);
        ASSERT_TRUE(peer.Write(sent.substr(sent.size() - 1)));
        PumpFor(m_App, 150);
    }
    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.m_strData == sent; }));
    EXPECT_FALSE(m_Recorder.Has(KE_SOCKET_TIMEOUT, KE_SOCKETDETAIL_IDLE));
}

// ---------------------------------------------------- disconnect and reconnect

TEST_F(CSocketEngine, DisconnectFromTheObserverStopsTheBatchBeingDelivered)
{
    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    const int threadsConnected = ThreadCount();
    // Longer than one read: several chunks, whatever the timing, then the close.
    const std::string sent = Pattern(200000, 6);
    ASSERT_TRUE(peer.Write(sent));
    peer.CloseClient();
    ASSERT_TRUE(ReceiveThreadEnded(threadsConnected));

    int dataCalls = 0;
    m_Recorder.m_pOnData = [&]
    {
        ++dataCalls;
        m_Engine.Disconnect(0, 0);
    };
    m_App.Frame(0.016f);
    m_App.Frame(0.016f); // nothing of the batch is left over for a later frame either
    EXPECT_EQ(1, dataCalls);
    EXPECT_LT(m_Recorder.m_strData.size(), sent.size());
    EXPECT_EQ(1, m_Recorder.Notifications()); // "connected" only: the close was dropped
}

TEST_F(CSocketEngine, DisconnectWhileDataArrivesThenConnectAgainOnTheSameEngine)
{
    CLoopbackPeer first;
    ASSERT_TRUE(ConnectTo(first));
    std::atomic<bool> flooding{true};
    std::thread flood(
        [&]
        {
            const std::string block = Pattern(4096, 5);
            while (flooding && first.Write(block))
            {
            }
        });
    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.m_strData.size() > 100000; }));
    m_Engine.Disconnect(0, 0);
    const size_t eventsAtDisconnect = m_Recorder.m_Events.size();
    PumpFor(m_App, 100);
    EXPECT_EQ(eventsAtDisconnect, m_Recorder.m_Events.size());
    flooding = false;
    flood.join(); // its writes fail once the engine's socket is gone
    first.CloseClient();

    // Twice, so the second round also starts from a disconnected engine.
    for (int round = 0; round < 2; ++round)
    {
        CLoopbackPeer next;
        m_Recorder.m_Events.clear();
        m_Recorder.m_strData.clear();
        ASSERT_TRUE(ConnectTo(next));
        ASSERT_TRUE(next.Write("hello"));
        ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.m_strData == "hello"; }));
        next.StartReading();
        SendText(m_Engine, "reply");
        m_Engine.Disconnect(0, 0);
        ASSERT_TRUE(next.WaitForEof());
        EXPECT_EQ("reply", next.Received());
        EXPECT_EQ(1, m_Recorder.Notifications());
    }
}

TEST_F(CSocketEngine, ConnectWhileConnectedReplacesTheConnection)
{
    CLoopbackPeer first, second;
    ASSERT_TRUE(ConnectTo(first));
    first.StartReading();
    ASSERT_TRUE(ConnectTo(second));
    EXPECT_TRUE(first.WaitForEof());
    EXPECT_EQ(second.Port(), m_Engine.GetPort());
    EXPECT_EQ(1u, m_Engine.IsConnected(0));

    // Reconnecting to the engine's own host and port.
    second.StartReading();
    ASSERT_EQ(1, m_Engine.Connect(m_Engine.GetHost(), m_Engine.GetPort(), nullptr));
    EXPECT_TRUE(second.WaitForEof());
    EXPECT_TRUE(second.Accept());
}

// ---------------------------------------------------------------------- timers

TEST_F(CSocketEngine, KeepAliveTimerExpiresOncePerSilenceAndOnlyWhileConnected)
{
    m_App.Frame(40.0f);
    EXPECT_EQ(0u, m_Engine.LastMessageTimerExpired());

    CLoopbackPeer peer;
    ASSERT_TRUE(ConnectTo(peer));
    m_App.Frame(15.0f);
    EXPECT_EQ(0u, m_Engine.LastMessageTimerExpired());
    m_App.Frame(15.0f);
    EXPECT_EQ(1u, m_Engine.LastMessageTimerExpired());
    EXPECT_EQ(0u, m_Engine.LastMessageTimerExpired());

    m_App.Frame(29.0f);
    ASSERT_TRUE(peer.Write("ping"));
    ASSERT_TRUE(PumpUntil(m_App, [&] { return m_Recorder.m_strData == "ping"; }));
    m_App.Frame(29.0f);
    EXPECT_EQ(0u, m_Engine.LastMessageTimerExpired());
}

// ------------------------------------------------------------------- resources

// Ended by Disconnect and Shutdown, or by Shutdown alone.
TEST_F(CSocketEngine, LeavesNoThreadOrDescriptorAfterShutdown)
{
    for (bool disconnectFirst : {true, false})
    {
        SCOPED_TRACE(disconnectFirst ? "Disconnect, Shutdown" : "Shutdown only");
        CLoopbackPeer peer;
        const int threadsBefore = ThreadCount();
        const std::set<int> fdsBefore = OpenDescriptors();
        CStubApplication app;
        CRecorder recorder(app);
        {
            ::CSocketEngine engine;
            ASSERT_EQ(1, engine.Startup(&app, &recorder));
            ASSERT_EQ(1, engine.Connect(CKorvelString("127.0.0.1"), peer.Port(), nullptr));
            ASSERT_TRUE(peer.Accept());
            EXPECT_EQ(threadsBefore + 2, ThreadCount());
            // Everything the engine opened is closed in a child process.
            for (int fd : OpenDescriptors())
            {
                if (!fdsBefore.count(fd))
                {
                    EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC) << "descriptor " << fd;
                }
            }
            ASSERT_TRUE(peer.Write("data"));
            ASSERT_TRUE(PumpUntil(app, [&] { return recorder.m_strData == "data"; }));
            peer.StartReading();
            if (disconnectFirst)
                engine.Disconnect(0, 0);
            engine.Shutdown();
            EXPECT_EQ(0, app.RunnableCount());
        }
        EXPECT_TRUE(peer.WaitForEof());
        peer.CloseClient();
        EXPECT_EQ(fdsBefore, OpenDescriptors());
        EXPECT_TRUE(ThreadCountComesBackTo(threadsBefore))
            << ThreadCount() << " threads, " << threadsBefore << " before";
    }
}

} // namespace
