#include "KorvelSound/KorvelSoundNotify.h"

#include <gtest/gtest.h>

#include "KorvelSound/SoundTestSupport.h"

namespace
{
struct SCall
{
    void* pSender;
    unsigned int uKind, uId, uPosition, uUser;
    bool operator==(const SCall& o) const
    {
        return pSender == o.pSender && uKind == o.uKind && uId == o.uId && uPosition == o.uPosition &&
               uUser == o.uUser;
    }
};

class CRecorder : public IKorvelNotify
{
public:
    void OnNotify(void* pSender, unsigned int uKind, unsigned int uId, unsigned int uPosition,
                  unsigned int uUser) override
    {
        m_Calls.push_back({pSender, uKind, uId, uPosition, uUser});
        if (m_pRemoveFrom)
            m_pRemoveFrom->RemoveNotify(uId);
    }
    std::vector<SCall> m_Calls;
    IKorvelSoundNotifyHandler* m_pRemoveFrom = nullptr;
};

class CHandler : public IKorvelSoundNotifyHandler
{
public:
    void UpdateNotifies() override {}
};

class NotifyHandler : public ::testing::Test
{
protected:
    CSoundTestEngine engine;
    CHandler handler;
    CRecorder target;
};
} // namespace

TEST_F(NotifyHandler, EngineWideIdentifiersAndOnlyMatchingKindsDelivered)
{
    CHandler other;
    EXPECT_EQ(handler.AddNotify(nullptr, &target, eKET_SOUNDNOTIFY_STARTED, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(handler.AddNotify(engine.Get(), nullptr, eKET_SOUNDNOTIFY_STARTED, 0, 1), 1u);
    EXPECT_EQ(other.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STARTED, 0, 0), 2u);
    const unsigned int uStart = handler.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STARTED, 0, 2);
    const unsigned int uStop = handler.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STOPPED, 0, 3);
    EXPECT_EQ(uStart, 3u);
    handler.AddNotify(engine.Get(), &target, static_cast<eKET_SOUNDNOTIFY>(7), 0, 4);
    handler.SendNotifies(eKET_SOUNDNOTIFY_STARTED, 0);
    handler.SendNotifies(eKET_SOUNDNOTIFY_STOPPED, 5);
    handler.SendNotifies(static_cast<eKET_SOUNDNOTIFY>(7), 5);
    EXPECT_EQ(target.m_Calls, (std::vector<SCall>{{&handler, 2, uStart, 0, 2}, {&handler, 1, uStop, 5, 3}}));
    handler.RemoveNotify(1);
    handler.RemoveNotify(42);
    EXPECT_EQ(handler.GetNotifyCount(), 3);
    handler.RemoveAllNotifies();
    EXPECT_EQ(handler.GetNotifyCount(), 0);
}

TEST_F(NotifyHandler, PositionFiresOncePerLoop)
{
    const unsigned int uId = handler.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_POSITION, 1000, 77);
    const unsigned int positions[] = {500, 1500, 2500, 1200, 2500, 300, 900, 1100, 1000};
    std::vector<unsigned int> fired;
    for (unsigned int p : positions)
    {
        target.m_Calls.clear();
        handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, p);
        if (!target.m_Calls.empty())
        {
            EXPECT_EQ(target.m_Calls[0], (SCall{&handler, 0, uId, p, 77}));
            fired.push_back(p);
        }
    }
    // Passing 1000; a wrap from 2500 to 1200; not a wrap to 300 until 1000 is passed again.
    EXPECT_EQ(fired, (std::vector<unsigned int>{1500, 1200, 1100}));
}

TEST_F(NotifyHandler, TargetMayRemoveItsOwnNotification)
{
    target.m_pRemoveFrom = &handler;
    handler.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_POSITION, 10, 0);
    handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 20);
    handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 2500);
    handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 20);
    EXPECT_EQ(target.m_Calls.size(), 1u);
    EXPECT_EQ(handler.GetNotifyCount(), 0);
}

// Through the mixer: a looping buffer started with notifications.
TEST(IKorvelSoundNotifyHandler, MixerPassDeliversStartedPositionAndStopped)
{
    CSoundTestEngine engine;
    CRecorder target;
    CKorvelSoundBuffer buffer;
    // Notifications are added before the buffer is registered as a handler.
    const unsigned int uStarted = buffer.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STARTED, 0, 0);
    const unsigned int uStopped = buffer.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STOPPED, 0, 0);
    const unsigned int uAt = buffer.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_POSITION, 2000, 9);
    SKE_WAVEFORMAT format;
    CKorvelSoundEngine::FillWaveFormat(44100, 16, 1, format);
    ASSERT_EQ(buffer.Startup(engine.Get(), &format, 2400, CKorvelSoundBuffer::FLAG_NOTIFY), KE_OK);
    EXPECT_EQ(buffer.GetNotifyCount(), 3);

    buffer.Play(1);
    engine.Pass(); // 768 frames: position 1536
    EXPECT_EQ(target.m_Calls, (std::vector<SCall>{{&buffer, 2, uStarted, 0, 0}}));
    target.m_Calls.clear();
    engine.Pass(); // wraps: 1536 + 1536 - 2400 = 672
    engine.Pass(); // 2208: passes 2000
    EXPECT_EQ(target.m_Calls, (std::vector<SCall>{{&buffer, 0, uAt, 2208, 9}}));
    target.m_Calls.clear();
    buffer.Stop();
    engine.Pass();
    EXPECT_EQ(target.m_Calls, (std::vector<SCall>{{&buffer, 1, uStopped, 0, 0}}));
    buffer.Shutdown();
    EXPECT_EQ(buffer.GetNotifyCount(), 0);
}

TEST(IKorvelSoundNotifyHandler, BufferWithoutTheFlagSendsNothing)
{
    CSoundTestEngine engine;
    CRecorder target;
    CKorvelSoundBuffer buffer;
    buffer.AddNotify(engine.Get(), &target, eKET_SOUNDNOTIFY_STARTED, 0, 0);
    ASSERT_EQ(buffer.Startup(engine.Get(), nullptr, 256, 0), KE_OK);
    buffer.Play(0);
    buffer.UpdateNotifies();
    engine.Pass();
    EXPECT_TRUE(target.m_Calls.empty());
    buffer.Shutdown();
}
