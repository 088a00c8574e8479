// The application's frame on the headless platform with a clock moved by hand:
// timers, frame time, posted events, modal mode, pacing, usability
// recording and playback, random numbers and data paths.
// KORVEL_GL_TEST (start-up brings up the GL screen target; Mesa leaves bytes behind)
//
// Sections: fixture - timers and frame time - posted events -
// modal mode - pacing - recording and playback - random numbers - data paths.
#include "KorvelGraphics/KorvelApplication.h"

#include <gtest/gtest.h>

#include <GLES2/gl2.h>
#include <cstring>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "KorvelCommon/KorvelUsabilityDataCollection.h"
#include "PlatformBps.h"
#include "support/InputTestApplication.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"
#include "support/TestText.h"

namespace
{

using Calls = std::vector<std::string>;

// ------------------------------------------------------------------- fixture

class CPostingApplication : public CInputApplication
{
public:
    // Posts one more event from inside the dispatch of the first posted key.
    void ProcessEvent(const CKorvelEvent& event) override
    {
        IKorvelApplication::ProcessEvent(event);
        if (m_bRepost && event.m_iType == KET_EVENT_CHAR)
        {
            m_bRepost = false;
            CKorvelEvent* pAgain = new CKorvelEvent;
            pAgain->m_iType = KET_EVENT_CHAR;
            pAgain->m_iChar = 'z';
            PostEvent(pAgain);
        }
    }
    bool m_bRepost = false;
};

class IKorvelApplicationFrame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_App.SetClock(&m_Clock);
        ASSERT_EQ(m_App.StartHeadless(), KE_OK);
    }

    // A frame whose own work takes iWorkMs of the clock.
    void Frame(unsigned int uWorkMs = 0)
    {
        m_App.m_fnOnFlip = [this, uWorkMs] { m_Clock.Advance(uWorkMs); };
        m_App.DoFlip();
    }

    static CKorvelEvent* Char(int iChar)
    {
        CKorvelEvent* pEvent = new CKorvelEvent;
        pEvent->m_iType = KET_EVENT_CHAR;
        pEvent->m_iChar = iChar;
        return pEvent;
    }

    CManualClock m_Clock;
    CHeadlessPlatform m_Platform;
    CPostingApplication m_App;
};

class CRunnable : public IKorvelRunnable
{
public:
    void Update(float fSeconds) override { m_aSeconds.push_back(fSeconds); }
    std::vector<float> m_aSeconds;
};

// -------------------------------------------------- timers and frame time

TEST_F(IKorvelApplicationFrame, AtMostOneTimerFiresAFrame)
{
    m_App.StartTimer(1, 100);
    m_App.StartTimer(2, 100);
    Frame();
    EXPECT_TRUE(m_App.m_aInput.empty());
    m_Clock.Advance(100);
    Frame();
    EXPECT_EQ(m_App.m_aInput, Calls{"timer 1"});
    Frame();
    EXPECT_EQ(m_App.m_aInput, (Calls{"timer 1", "timer 2"}));
    m_App.StopTimer(1);
    m_Clock.Advance(500); // late: fires once
    Frame();
    Frame();
    EXPECT_EQ(m_App.m_aInput, (Calls{"timer 1", "timer 2", "timer 2"}));
}

TEST_F(IKorvelApplicationFrame, FrameTimeIsTheClocksStepCappedAtOneSecond)
{
    m_Clock.Advance(250);
    Frame();
    EXPECT_FLOAT_EQ(m_App.GetFrameTime(), 0.25f);
    m_Clock.Advance(3000);
    Frame();
    EXPECT_FLOAT_EQ(m_App.GetFrameTime(), 1.0f);
    m_Clock.Advance(16);
    Frame();
    EXPECT_FLOAT_EQ(m_App.GetFrameTime(), 0.016f);
}

TEST_F(IKorvelApplicationFrame, NoFrameWorkWhileInactive)
{
    CRunnable runnable;
    m_App.AddRunnable(&runnable);
    m_App.SetActive(0);
    Frame();
    EXPECT_TRUE(runnable.m_aSeconds.empty());
    EXPECT_EQ(m_App.m_iFlips, 0);
    m_App.RemoveRunnable(&runnable);
}

// ------------------------------------------------------------- posted events

TEST_F(IKorvelApplicationFrame, EventsPostedFromAnotherThreadArriveInOrderNextFrame)
{
    std::thread poster(
        [this]
        {
            for (int i = 0; i < 200; ++i)
                m_App.PostEvent(Char(1000 + i));
        });
    poster.join();
    EXPECT_TRUE(m_App.m_aInput.empty());
    Frame();
    ASSERT_EQ(m_App.m_aInput.size(), 200u);
    EXPECT_EQ(m_App.m_aInput.front(), "char 1000");
    EXPECT_EQ(m_App.m_aInput.back(), "char 1199");
    m_App.PostEvent(nullptr); // ignored
    Frame();
    EXPECT_EQ(m_App.m_aInput.size(), 200u);
    // Left in the queue at the end: the destructor frees them (the sanitizer sees a leak).
    m_App.PostEvent(Char('a'));
}

TEST_F(IKorvelApplicationFrame, AHandlerOfAPostedEventMayPostAgain)
{
    m_App.m_bRepost = true;
    m_App.PostEvent(Char('a'));
    Frame();
    EXPECT_EQ(m_App.m_aInput, Calls{"char 97"});
    Frame();
    EXPECT_EQ(m_App.m_aInput, (Calls{"char 97", "char 122"}));
}

// ---------------------------------------------------------------- modal mode

TEST_F(IKorvelApplicationFrame, ModalModeKeepsPostedEventsAndDrawsNothing)
{
    CRunnable runnable;
    m_App.AddRunnable(&runnable);
    m_App.StartTimer(4, 10);
    m_App.SetModalDialogMode(1);
    m_App.PostEvent(Char('x'));
    m_App.PostEvent(Char('y'));
    m_Clock.Advance(10);
    Frame();
    EXPECT_EQ(m_App.m_aInput, Calls{"timer 4"});
    EXPECT_EQ(m_App.m_iFlips, 0);
    EXPECT_EQ(runnable.m_aSeconds.size(), 1u);

    m_App.SetModalDialogMode(0);
    Frame();
    EXPECT_EQ(m_App.m_aInput, (Calls{"timer 4", "char 120", "char 121"}));
    EXPECT_EQ(m_App.m_iFlips, 1);
    m_App.RemoveRunnable(&runnable);
}

TEST_F(IKorvelApplicationFrame, PostedEventsLeftWhenAHandlerTurnsOnModalModeWaitInOrder)
{
    class CModalApplication : public CInputApplication
    {
    public:
        void OnChar(unsigned short uChar) override
        {
            CInputApplication::OnChar(uChar);
            if (uChar == 'b')
                SetModalDialogMode(1);
        }
    };
    CModalApplication app;
    app.SetClock(&m_Clock);
    ASSERT_EQ(app.StartHeadless(), KE_OK);
    for (int c = 'a'; c <= 'd'; ++c)
        app.PostEvent(Char(c));
    app.DoFlip();
    EXPECT_EQ(app.m_aInput, (Calls{"char 97", "char 98"}));
    app.SetModalDialogMode(0);
    app.PostEvent(Char('e'));
    app.DoFlip();
    EXPECT_EQ(app.m_aInput, (Calls{"char 97", "char 98", "char 99", "char 100", "char 101"}));
}

// -------------------------------------------------------------------- pacing

TEST_F(IKorvelApplicationFrame, FixedIntervalSleepsOutTheRestOfTheFrame)
{
    m_App.SetUpdateMode(KE_UPDATE_FIXED, 33);
    Frame(10);
    EXPECT_EQ(m_Clock.m_aSleeps, std::vector<unsigned int>{23});
    Frame(40);
    Frame(33);
    EXPECT_EQ(m_Clock.m_aSleeps, std::vector<unsigned int>{23});
    // Neither no pacing nor an unknown mode sleeps.
    m_App.SetUpdateMode(KE_UPDATE_NONE, 3000);
    Frame(5000);
    m_App.SetUpdateMode(static_cast<eKET_UPDATE_MODE>(7), 1);
    Frame();
    EXPECT_EQ(m_Clock.m_aSleeps.size(), 1u);
}

TEST_F(IKorvelApplicationFrame, InactivitySleepStartsAfterTheIntervalAndEndsWithInput)
{
    m_App.SetUpdateMode(KE_UPDATE_INACTIVITY, 3000);
    Frame(1000);
    Frame(1000);
    EXPECT_EQ(m_App.m_uSleeping, 0u);
    Frame(1000); // 3000 ms without input: sleeping from the next frame on
    EXPECT_EQ(m_App.m_uSleeping, 1u);
    EXPECT_TRUE(m_Clock.m_aSleeps.empty());
    Frame();
    Frame();
    EXPECT_EQ(m_Clock.SleptMilliseconds(), 500u);

    // What the platform brings meanwhile (a touch, a new window size) ends the sleep: the
    // next frame shows it at once, not up to a sleep later.
    m_Clock.m_fnSlept = [this]
    {
        if (m_Clock.SleptMilliseconds() >= 540 && !plat::bps_event_pending())
            plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 3, 3);
    };
    Frame();
    m_Clock.m_fnSlept = nullptr;
    EXPECT_GE(m_Clock.SleptMilliseconds(), 540u);
    EXPECT_LT(m_Clock.SleptMilliseconds(), 560u);

    // Input wakes it, and the next frame time leaves the sleeping out.
    m_Clock.Advance(5);
    m_App.Drain();
    EXPECT_EQ(m_App.m_uSleeping, 0u);
    const unsigned int uSlept = m_Clock.SleptMilliseconds();
    m_Clock.Advance(16);
    Frame();
    EXPECT_FLOAT_EQ(m_App.GetFrameTime(), 0.016f);
    EXPECT_EQ(m_Clock.SleptMilliseconds(), uSlept);
}

// ----------------------------------------------------- recording and playback

TEST_F(IKorvelApplicationFrame, RecordingTakesEveryFrameAndItsAcceptedEvents)
{
    CKorvelUsabilityDataCollection recording;
    recording.Startup(&m_App);
    m_App.StartUsabilityDataCollection(recording);
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 1, 2); // before the first frame: dropped
    m_App.Drain();
    m_Clock.Advance(20);
    Frame();
    plat::InjectPointer(plat::SCREEN_LEFT_MOUSE_BUTTON, 3, 4);
    plat::InjectPointer(0, 3, 4);
    m_App.Drain();
    m_Clock.Advance(30);
    Frame();
    ASSERT_EQ(recording.GetFrameCount(), 2u);
    EXPECT_FLOAT_EQ(recording.GetFrameTime(0), 0.02f);
    EXPECT_FLOAT_EQ(recording.GetFrameTime(1), 0.03f);
    ASSERT_EQ(recording.GetFrameEventCount(0), 2u);
    EXPECT_EQ(recording.GetFrameEvent(0, 0)->m_iType, KET_EVENT_MOVE);
    EXPECT_EQ(recording.GetFrameEvent(0, 1)->m_iType, KET_EVENT_BUTTONUP);

    m_App.StopUsabilityDataCollection();
    Frame();
    EXPECT_EQ(recording.GetFrameCount(), 2u);
    recording.Shutdown();
}

TEST_F(IKorvelApplicationFrame, ASavedRecordingCarriesTheTitleAndTheTargetSize)
{
    CTestTempDir dir;
    CKorvelUsabilityDataCollection recording;
    recording.Startup(&m_App);
    m_App.StartUsabilityDataCollection(recording);
    Frame();
    const std::string strPath = dir.File("usage.dat");
    ASSERT_EQ(recording.Save(CKorvelString(strPath.c_str())), KE_OK);
    m_App.StopUsabilityDataCollection();
    recording.Shutdown();

    const std::vector<uint8_t> aBytes = ReadTestFile(strPath);
    const std::string strTitle = Narrow(m_App.GetAppTitle());
    ASSERT_EQ(aBytes.size(), 4 + 4 + 2 * strTitle.size() + 12 + 8);
    EXPECT_EQ(aBytes[4], strTitle.size());
    EXPECT_EQ(aBytes[8], uint8_t(strTitle[0]));
    const size_t uSize = 8 + 2 * strTitle.size();
    EXPECT_EQ(aBytes[uSize] | (aBytes[uSize + 1] << 8), 800);
    EXPECT_EQ(aBytes[uSize + 4] | (aBytes[uSize + 5] << 8), 600);
    EXPECT_EQ(aBytes[uSize + 8], 1); // one frame
}

TEST_F(IKorvelApplicationFrame, PlaybackReplaysFramesAndKeepsLiveInputOutUntilItEnds)
{
    CKorvelUsabilityDataCollection recording;
    recording.Startup(&m_App);
    for (int f = 0; f < 10; ++f)
        recording.AddFrame(0.01f * float(f + 1));
    CKorvelEvent press = CInputApplication::Event(KET_EVENT_BUTTONDOWN, 0, 100, 200);
    recording.AddEventToFrame(2, press);
    CKorvelEvent release = CInputApplication::Event(KET_EVENT_BUTTONUP, 0, 100, 200);
    recording.AddEventToFrame(9, release);

    EXPECT_EQ(m_App.PlaybackUsabilityDataCollection(recording), 1);
    std::vector<float> aTimes;
    for (int f = 0; f < 10; ++f)
    {
        plat::InjectPointer(plat::SCREEN_RIGHT_MOUSE_BUTTON, 7, 7); // live: ignored
        m_App.Drain();
        m_Clock.Advance(100);
        Frame();
        aTimes.push_back(m_App.GetFrameTime());
    }
    EXPECT_EQ(m_App.PixelInput(), (Calls{"down 0 100,200", "up 0 100,200"}));
    EXPECT_FLOAT_EQ(aTimes[0], 0.01f);
    EXPECT_FLOAT_EQ(aTimes[9], 0.1f);

    // Ended: live input counts again and frames measure the clock.
    plat::InjectPointer(plat::SCREEN_RIGHT_MOUSE_BUTTON, 7, 7);
    m_App.Drain();
    m_Clock.Advance(100);
    Frame();
    EXPECT_EQ(m_App.PixelInput().back(), "down 1 7,7");
    EXPECT_FLOAT_EQ(m_App.GetFrameTime(), 0.1f);
    recording.Shutdown();
}

TEST_F(IKorvelApplicationFrame, PlaybackShowsWhereTheNextFrameTouches)
{
    CKorvelUsabilityDataCollection recording;
    recording.Startup(&m_App);
    recording.AddFrame(0.5f);
    recording.AddFrame(0.6f);
    recording.AddFrame(0.7f);
    recording.AddEventToFrame(1, CInputApplication::Event(KET_EVENT_MOVE, 0, 300, 200));
    m_App.PlaybackUsabilityDataCollection(recording);
    m_App.m_fnOnFlip = [this] { m_App.GetBack()->Fill(0xFF000000u, nullptr); };
    auto pixelAt = [](int iX, int iY)
    {
        unsigned char aPixel[4] = {};
        glReadPixels(iX, 600 - 1 - iY, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, aPixel);
        return aPixel[0];
    };
    // Frame 0 plays; frame 1, which plays next, moves to (300, 200): the finger's tip
    // sits on that point and its body runs down from it.
    m_App.DoFlip();
    EXPECT_GT(pixelAt(300, 210), 200);
    EXPECT_EQ(pixelAt(300 + 16, 200), 0);
    EXPECT_EQ(pixelAt(300, 200 - 12), 0);
    // 0.5 s of frame time used of the second; still shown after frame 1 (0.6 s).
    m_App.DoFlip();
    EXPECT_GT(pixelAt(300, 210), 200);
    m_App.DoFlip(); // the last frame ends the playback: nothing more drawn
    EXPECT_EQ(pixelAt(300, 210), 0);
    recording.Shutdown();
}

// ------------------------------------------------------------ random numbers

TEST_F(IKorvelApplicationFrame, EachApplicationDrawsItsOwnSequence)
{
    CInputApplication other;
    m_App.RandSeed(5);
    other.RandSeed(5);
    int iFirst = m_App.RandInt(0, 1000);
    m_App.RandInt(0, 1000);
    EXPECT_EQ(other.RandInt(0, 1000), iFirst);
    EXPECT_EQ(m_App.RandInt(3, 3), 3);
    EXPECT_EQ(m_App.RandInt(3, 2), 3);
    float fValue = m_App.RandFloat(-1.0f, 1.0f);
    EXPECT_GE(fValue, -1.0f);
    EXPECT_LE(fValue, 1.0f);
}

// ---------------------------------------------------------------- data paths

class CWorkingDirectory
{
public:
    CWorkingDirectory()
    {
        char szDir[4096];
        m_strSaved = getcwd(szDir, sizeof(szDir)) ? szDir : ".";
    }
    ~CWorkingDirectory() { EXPECT_EQ(chdir(m_strSaved.c_str()), 0); }
    std::string m_strSaved;
};

TEST_F(IKorvelApplicationFrame, DataPathsLieUnderTheWorkingDirectory)
{
    CTestTempDir dir;
    CWorkingDirectory saved;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    char szReal[4096];
    ASSERT_NE(getcwd(szReal, sizeof(szReal)), nullptr);
    const std::string strDir = szReal;

    CKorvelString strPath;
    ::IKorvelApplication::GetAppPath(strPath);
    EXPECT_EQ(Narrow(strPath), strDir + "/app/native/");
    ::IKorvelApplication::BuildFilepath(strPath, CKorvelString("\\levels/a.xml"));
    EXPECT_EQ(Narrow(strPath), strDir + "/app/native/levels/a.xml");
    ::IKorvelApplication::BuildFilepath(strPath, CKorvelString("levels/a.xml"));
    EXPECT_EQ(Narrow(strPath), strDir + "/app/native/levels/a.xml");
    ::IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString("usage.dat"));
    EXPECT_EQ(Narrow(strPath), strDir + "/data/usage.dat");
}

TEST_F(IKorvelApplicationFrame, DataPathsWorkBeyondAThousandBytesOfDirectory)
{
    CTestTempDir dir;
    CWorkingDirectory saved;
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    const std::string strPart(200, 'd');
    for (int i = 0; i < 6; ++i)
    {
        ASSERT_EQ(mkdir(strPart.c_str(), 0700), 0);
        ASSERT_EQ(chdir(strPart.c_str()), 0);
    }
    char szReal[4096];
    ASSERT_NE(getcwd(szReal, sizeof(szReal)), nullptr);
    ASSERT_GT(strlen(szReal), 1200u);
    CKorvelString strPath;
    ::IKorvelApplication::BuildWriteFilepath(strPath, CKorvelString("x"));
    EXPECT_EQ(Narrow(strPath), std::string(szReal) + "/data/x");
}

} // namespace
