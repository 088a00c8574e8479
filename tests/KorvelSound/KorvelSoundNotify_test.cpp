#include "KorvelSound/KorvelSoundNotify.h"

#include <gtest/gtest.h>

#include "KorvelSound/SoundTestSupport.h"

namespace
{
struct sCALL
{
    void* pSender;
    unsigned int uKind, uId, uPosition, uUser;
    bool operator==(const sCALL& o) const
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
    std::vector<sCALL> m_Calls;
    IKorvelSoundNotifyHandler* m_pRemoveFrom = nullptr;
};

class CHandler : public IKorvelSoundNotifyHandler
{
public:
    void UpdateNotifies() override {}
};

class CKorvelSoundNotifyHandlerTest : public ::testing::Test
{
protected:
    CSoundTestEngine m_Engine;
    CHandler m_Handler;
    CRecorder m_Target;
};
} // namespace

TEST_F(CKorvelSoundNotifyHandlerTest, EngineWideIdentifiersAndOnlyMatchingKindsDelivered)
{
    CHandler other;
    EXPECT_EQ(m_Handler.AddNotify(nullptr, &m_Target, eKET_SOUNDNOTIFY_STARTED, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(m_Handler.AddNotify(m_Engine.Get(), nullptr, eKET_SOUNDNOTIFY_STARTED, 0, 1), 1u);
    EXPECT_EQ(other.AddNotify(m_Engine.Get(), &m_Target, eKET_SOUNDNOTIFY_STARTED, 0, 0), 2u);
    const unsigned int uStart =
        m_Handler.AddNotify(m_Engine.Get(), &m_Target, eKET_SOUNDNOTIFY_STARTED, 0, 2);
    const unsigned int uStop = m_Handler.AddNotify(m_Engine.Get(), &m_Target, eKET_SOUNDNOTIFY_STOPPED, 0, 3);
    EXPECT_EQ(uStart, 3u);
    m_Handler.AddNotify(m_Engine.Get(), &m_Target, static_cast<eKET_SOUNDNOTIFY>(7), 0, 4);
    m_Handler.SendNotifies(eKET_SOUNDNOTIFY_STARTED, 0);
    m_Handler.SendNotifies(eKET_SOUNDNOTIFY_STOPPED, 5);
    m_Handler.SendNotifies(static_cast<eKET_SOUNDNOTIFY>(7), 5);
    EXPECT_EQ(m_Target.m_Calls,
              (std::vector<sCALL>{{&m_Handler, 2, uStart, 0, 2}, {&m_Handler, 1, uStop, 5, 3}}));
    m_Handler.RemoveNotify(1);
    m_Handler.RemoveNotify(42);
    EXPECT_EQ(m_Handler.GetNotifyCount(), 3);
    m_Handler.RemoveAllNotifies();
    EXPECT_EQ(m_Handler.GetNotifyCount(), 0);
}

TEST_F(CKorvelSoundNotifyHandlerTest, PositionFiresOncePerLoop)
{
    const unsigned int uId =
        m_Handler.AddNotify(m_Engine.Get(), &m_Target, eKET_SOUNDNOTIFY_POSITION, 1000, 77);
    const unsigned int positions[] = {500, 1500, 2500, 1200, 2500, 300, 900, 1100, 1000};
    std::vector<unsigned int> fired;
    for (unsigned int p : positions)
    {
        m_Target.m_Calls.clear();
        m_Handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, p);
        if (!m_Target.m_Calls.empty())
        {
            EXPECT_EQ(m_Target.m_Calls[0], (sCALL{&m_Handler, 0, uId, p, 77}));
            fired.push_back(p);
        }
    }
    // Passing 1000; a wrap from 2500 to 1200; not a wrap to 300 until 1000 is passed again.
    EXPECT_EQ(fired, (std::vector<unsigned int>{1500, 1200, 1100}));
}

TEST_F(CKorvelSoundNotifyHandlerTest, TargetMayRemoveItsOwnNotification)
{
    m_Target.m_pRemoveFrom = &m_Handler;
    m_Handler.AddNotify(m_Engine.Get(), &m_Target, eKET_SOUNDNOTIFY_POSITION, 10, 0);
    m_Handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 20);
    m_Handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 2500);
    m_Handler.SendNotifies(eKET_SOUNDNOTIFY_POSITION, 20);
    EXPECT_EQ(m_Target.m_Calls.size(), 1u);
    EXPECT_EQ(m_Handler.GetNotifyCount(), 0);
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
    EXPECT_EQ(target.m_Calls, (std::vector<sCALL>{{&buffer, 2, uStarted, 0, 0}}));
    target.m_Calls.clear();
    engine.Pass(); // wraps: 1536 + 1536 - 2400 = 672
    engine.Pass(); // 2208: passes 2000
    EXPECT_EQ(target.m_Calls, (std::vector<sCALL>{{&buffer, 0, uAt, 2208, 9}}));
    target.m_Calls.clear();
    buffer.Stop();
    engine.Pass();
    EXPECT_EQ(target.m_Calls, (std::vector<sCALL>{{&buffer, 1, uStopped, 0, 0}}));
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
