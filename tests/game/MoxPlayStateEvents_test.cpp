// The match screen's event writers, byte for byte, and its turn packs: packing the turn
// record, unpacking it again, and reading packs from another device that may be damaged.
// KORVEL_GL_TEST (Mesa leaves bytes behind in eglTerminate)
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "Framework/Shell/VornApplication.h"
#include "game/MoxScene.h"
#include "game/MoxTurnPack.h"
#include "support/TestMenuState.h"
#include "tests/game/PlayStateFixture.h"

namespace
{

const int kClock = 1234; // the game clock when the clock-stamped events are written

struct sFIELD
{
    int iOffset;
    std::vector<uint8_t> aBytes;
};

// An event as the wire table describes it: zeros but for the header and the fields.
std::vector<uint8_t> Wire(int iType, int iSize, int iId, int iTime, const std::vector<sFIELD>& aFields)
{
    std::vector<uint8_t> a(size_t(iSize), 0);
    a[0] = uint8_t(iType);
    const std::vector<uint8_t> aId = LE32(uint32_t(iId)), aTime = LE32(uint32_t(iTime));
    std::copy(aId.begin(), aId.end(), a.begin() + 4);
    std::copy(aTime.begin(), aTime.end(), a.begin() + 8);
    for (const sFIELD& f : aFields)
        std::copy(f.aBytes.begin(), f.aBytes.end(), a.begin() + f.iOffset);
    return a;
}

sFIELD U8(int iOffset, uint8_t u)
{
    return {iOffset, {u}};
}
sFIELD I32(int iOffset, int32_t i)
{
    return {iOffset, LE32(uint32_t(i))};
}
sFIELD F32(int iOffset, float f)
{
    return {iOffset, LEF(f)};
}

// A pack of the given events, each after its type byte, with or without the end bytes.
std::vector<uint8_t> Pack(const std::vector<std::vector<uint8_t>>& aEvents, bool bEnd = true)
{
    std::vector<uint8_t> a = Wire(43, 16, 1, -1, {});
    for (const std::vector<uint8_t>& e : aEvents)
    {
        a.push_back(e[0]);
        a.insert(a.end(), e.begin(), e.end());
    }
    if (bEnd)
        a.insert(a.end(), {99, 99});
    return a;
}

// The taken events' bytes, read from an exact heap copy so a read past the end is caught.
std::vector<std::vector<uint8_t>> Read(const std::vector<uint8_t>& aPack)
{
    std::vector<uint8_t> aCopy(aPack);
    std::vector<std::vector<uint8_t>> aOut;
    for (const sMoxPackedEvent& e : MoxReadTurnPack(aCopy.data(), int(aCopy.size())))
        aOut.emplace_back(aCopy.begin() + e.iOffset, aCopy.begin() + e.iOffset + e.iSize);
    return aOut;
}

// One packable event of each size.
const std::vector<std::vector<uint8_t>> kSample = {
    Wire(22, 28, 7, 100, {F32(12, 0.5f), F32(16, -1.0f), F32(20, 2.0f), F32(24, 0.25f)}),
    Wire(41, 16, 8, 133, {U8(12, 40)}),
    Wire(27, 24, 9, 166, {U8(12, 1), I32(16, 25), I32(20, 75)}),
    Wire(45, 44, 10, 200, {U8(12, 33), F32(40, -1.5f)}),
    Wire(50, 32, 11, 233, {I32(12, int32_t(0xFF00FF00u)), F32(28, 0.2f)}),
};

class CMoxPlayStateEvents : public CPlayStateTest
{
protected:
    void SetUp() override
    {
        CPlayStateTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(StartPlay());
        m_Clock.Advance(kClock);
    }
    // The writer's one new event, checked against the wire form (identifier: the counter
    // after the add) and its send flag.
    void ExpectWritten(const std::function<void()>& write, int iType, int iSize, bool bClock,
                       unsigned int uFlag, const std::vector<sFIELD>& aFields)
    {
        CMoxEventManager& local = *m_pPlay->m_pLocalEvents;
        local.Clear();
        write();
        ASSERT_EQ(local.GetNumEvents(), 1);
        const CMoxEvent* pEvent = local.GetEvent();
        EXPECT_EQ(EventBytes(pEvent), Wire(iType, iSize, Counter(), bClock ? kClock : -1, aFields));
        EXPECT_EQ(pEvent->m_uType, iType);
        EXPECT_EQ(pEvent->m_uSendFlag, uFlag);
    }
    // Moves the local queue into the turn record, as the dispatcher records a turn.
    void RecordLocalEvents()
    {
        while (CMoxEvent* pEvent = m_pPlay->m_pLocalEvents->PopEvent())
            m_pPlay->m_TurnRecord.Add(pEvent);
    }
};

TEST_F(CMoxPlayStateEvents, EveryWriterGivesItsWireForm)
{
    CMoxPlayState& p = *m_pPlay;
    p.m_iOwnPlayer = 1;
    p.m_iResult = 1;
    CMoxScene& scene = *p.m_pLiveScene;
    scene.m_Players[0].m_cRoundWins = 2;
    scene.m_Players[1].m_cRoundWins = 3;
    scene.m_Players[0].m_pBody->m_vPosition.Set(-1.25f, 0.5f);
    scene.m_Players[1].m_pBody->m_vPosition.Set(2.0f, -0.75f);
    const CKorvelVector2 v(0.5f, -0.25f);
    const float fx = 0.5f * -6.9f, fy = -0.25f * -6.9f;

    struct sCASE
    {
        const char* pName;
        std::function<void()> write;
        int iType, iSize;
        bool bClock;
        unsigned int uFlag;
        std::vector<sFIELD> aFields;
    };
    const sCASE cases[] = {
        {"LoadGame",
         [&] { p.LoadGame(1, 19, 2, 0); },
         5,
         28,
         false,
         1,
         {U8(12, 1), I32(16, 19), I32(20, 2), I32(24, 0)}},
        {"StartGame", [&] { p.StartGame(1); }, 6, 16, false, 1, {U8(12, 1)}},
        {"EndRound", [&] { p.EndRound(); }, 7, 16, false, 1, {U8(12, 1)}},
        {"RoundWaiting", [&] { p.RoundWaiting(); }, 8, 12, false, 1, {}},
        {"GameOver 0",
         [&] { p.GameOver(0); },
         9,
         20,
         false,
         1,
         {U8(12, 1), U8(13, 2), U8(14, 3), U8(15, 1), U8(16, 0)}},
        {"GameOver 1",
         [&] { p.GameOver(1); },
         9,
         20,
         false,
         0,
         {U8(12, 1), U8(13, 2), U8(14, 3), U8(15, 1), U8(16, 1)}},
        {"GameOver 2",
         [&] { p.GameOver(2); },
         9,
         20,
         false,
         0,
         {U8(12, 1), U8(13, 2), U8(14, 3), U8(15, 1), U8(16, 2)}},
        {"GameOver 3",
         [&] { p.GameOver(3); },
         9,
         20,
         false,
         1,
         {U8(12, 1), U8(13, 2), U8(14, 3), U8(15, 1), U8(16, 3)}},
        {"NextPlayer", [&] { p.NextPlayer(0); }, 10, 16, false, 1, {U8(12, 0)}},
        {"GameEnd", [&] { p.GameEnd(0x01020304u); }, 11, 20, false, 0, {U8(12, 1), I32(16, 0x01020304)}},
        {"Rematch", [&] { p.Rematch(1); }, 12, 16, false, 0, {U8(12, 1), U8(13, 1)}},
        {"SyncPhysics", [&] { p.SyncPhysics(1); }, 15, 16, true, 1, {I32(12, 1)}},
        {"PlayerKill", [&] { p.PlayerKill(1, 2); }, 21, 16, true, 1, {U8(12, 1), U8(13, 2)}},
        {"SyncPlayers",
         [&] { p.SyncPlayers(); },
         22,
         28,
         true,
         1,
         {F32(12, -1.25f), F32(16, 0.5f), F32(20, 2.0f), F32(24, -0.75f)}},
        {"PlayerAddForce",
         [&] { p.PlayerAddForce(0, v, FORCE_KNOCK); },
         23,
         28,
         true,
         1,
         {U8(12, 0), F32(16, fx), F32(20, fy), U8(24, 1)}},
        {"PlayerReady", [&] { p.PlayerReady(1); }, 25, 16, false, 1, {U8(12, 1)}},
        {"PlayerLeave", [&] { p.PlayerLeave(0); }, 26, 16, false, 1, {U8(12, 0)}},
        {"PlayerDamage",
         [&] { p.PlayerDamage(1, 25, -3); },
         27,
         24,
         true,
         1,
         {U8(12, 1), I32(16, 25), I32(20, -3)}},
        {"PlayerCrushTest", [&] { p.PlayerCrushTest(); }, 28, 12, false, 0, {}},
        {"FlompWhip",
         [&] { p.FlompWhip(1, v); },
         29,
         24,
         true,
         1,
         {U8(12, 1), F32(16, 0.5f), F32(20, -0.25f)}},
        {"ProjectilePosition",
         [&] { p.ProjectilePosition(1, v, 31); },
         31,
         28,
         true,
         1,
         {U8(12, 1), F32(16, 0.5f), F32(20, -0.25f), U8(24, 31)}},
        {"ProjectileAddForce",
         [&] { p.ProjectileAddForce(0, v, 5); },
         32,
         28,
         true,
         1,
         {U8(12, 0), F32(16, fx), F32(20, fy), U8(24, 5)}},
        {"ProjectileDelete",
         [&] { p.ProjectileDelete(1, 1, 17); },
         33,
         16,
         true,
         1,
         {U8(12, 1), U8(13, 1), U8(14, 17)}},
        {"SceneUpdate",
         [&] { p.SceneUpdate(254, -128, 127, v, 160); },
         40,
         28,
         true,
         1,
         {U8(12, 254), U8(13, 0x80), U8(14, 127), I32(16, 160), F32(20, 0.5f), F32(24, -0.25f)}},
        {"SceneDelete", [&] { p.SceneDelete(32); }, 41, 16, true, 1, {U8(12, 32)}},
        {"SceneChange",
         [&] { p.SceneChange(40, 255, 2, 1, 0.75f, 0.15f, v, -2.0f); },
         45,
         44,
         true,
         1,
         {U8(12, 40), I32(16, 255), U8(20, 2), U8(21, 1), F32(24, 0.5f), F32(28, -0.25f), F32(32, 0.75f),
          F32(36, 0.15f), F32(40, -2.0f)}},
        {"CreateEffectExplosion",
         [&] { p.CreateEffectExplosion(v, 0.2f, 1, 0xFF00FF00u, 0); },
         50,
         32,
         true,
         0,
         {I32(12, int32_t(0xFF00FF00u)), U8(16, 1), F32(20, 0.5f), F32(24, -0.25f), F32(28, 0.2f)}},
        {"PlaybackDone", [&] { p.PlaybackDone(); }, 71, 16, false, 1, {U8(12, 1)}},
        {"SendVirtualItems", [&] { p.SendVirtualItems(); }, 77, 64, false, 1, {U8(12, 1), U8(13, 0)}},
    };
    for (const sCASE& c : cases)
    {
        SCOPED_TRACE(c.pName);
        ExpectWritten(c.write, c.iType, c.iSize, c.bClock, c.uFlag, c.aFields);
    }
}

TEST_F(CMoxPlayStateEvents, WritersChangeWhatTheyOwn)
{
    CMoxPlayState& p = *m_pPlay;
    p.m_bRunPhysics = 1;
    p.SyncPlayers();
    EXPECT_EQ(p.m_bRunPhysics, 0u);
    p.Rematch(0);
    EXPECT_EQ(p.m_bRematchSent, 1u);
    p.GameEnd(0);
    EXPECT_EQ(p.m_bGameOverSent, 1u) << "the game-end-written flag";
    p.PlaybackDone();
    EXPECT_EQ(p.m_bOwnPlaybackDone, 1u);
    p.EndRound();
    EXPECT_EQ(p.m_ePlayState, PLAYSTATE_ROUND_ENDED);
    EXPECT_EQ(p.m_bEndRoundSent, 1u);

    // Slots go round the player's 32, each written into its event.
    const int iFirst = p.ProjectileCreate(1, PROJECTILE_SNOW);
    const int iSecond = p.ProjectileCreate(1, PROJECTILE_FIRE);
    EXPECT_EQ(iSecond, (iFirst + 1) % 32);
    const CMoxEventManager& local = *p.m_pLocalEvents;
    const CMoxEvent* pLast = local.GetEvent(local.GetNumEvents() - 1);
    EXPECT_EQ(EventBytes(pLast),
              Wire(30, 16, Counter(), kClock, {U8(12, 1), U8(13, 0), U8(14, uint8_t(iSecond))}));
    const int iCount = local.GetNumEvents();
    EXPECT_EQ(p.ProjectileCreate(2, PROJECTILE_FIRE), -1);
    EXPECT_EQ(local.GetNumEvents(), iCount) << "no player 2";
}

TEST_F(CMoxPlayStateEvents, IdentifiersAreTheGamesCounterAfterEachAdd)
{
    m_pPlay->m_pLocalEvents->Clear();
    m_pPlay->SyncPhysics(1);
    m_pPlay->SceneDelete(40);
    const CMoxEvent* pA = m_pPlay->m_pLocalEvents->GetEvent(0);
    const CMoxEvent* pB = m_pPlay->m_pLocalEvents->GetEvent(1);
    const int iA = MoxGetI32(pA->m_pPayload, 4), iB = MoxGetI32(pB->m_pPayload, 4);
    EXPECT_EQ(iA, pA->m_iSerial + 1);
    EXPECT_EQ(iB, Counter());
    EXPECT_GE(iB - iA, 1);

    // A second game in this process counts on its own.
    CStateGame other;
    other.SetClock(&m_Clock);
    other.GetContext().m_ScreenTable.m_aCreators[STATE_PLAY] = [] { return new CMoxPlayState(); };
    ASSERT_EQ(other.Startup(&m_App), KE_OK);
    CMoxPlayState* pOther = dynamic_cast<CMoxPlayState*>(other.AddState(STATE_PLAY));
    ASSERT_NE(pOther, nullptr);
    const int iMine = Counter();
    pOther->SyncPhysics(0);
    EXPECT_EQ(MoxGetI32(pOther->m_pLocalEvents->GetEvent()->m_pPayload, 4), 1);
    EXPECT_EQ(Counter(), iMine);
    other.Shutdown();
}

TEST_F(CMoxPlayStateEvents, VirtualItemsAreFilteredAndCappedAtFour)
{
    ASSERT_TRUE(m_App.RunSplash());
    ASSERT_NE(m_App.m_pTestLobby, nullptr);
    CKorvelArray<CVornApplication::sItemData>& aItems = m_App.m_pTestLobby->m_aItems;
    // enabled, id, amount, file, group value, description, group type
    const CVornApplication::sItemData items[] = {
        {0, 10, 1, 100, 0, 1000, 0}, // disabled
        {1, 11, 0, 101, 0, 1001, 0}, // none left
        {1, 12, 5, 102, 0, 0, 0},    // no description
        {1, 13, 1, 103, -1, 1003, 0}, {1, 14, 2, 104, 0, 1004, 0}, {1, 15, 3, 105, 0, 1005, 1},
        {1, 16, 9, 106, 0, 1006, 0},  {1, 17, 1, 107, 0, 1007, 0}, // the fifth good one is left out
    };
    for (const CVornApplication::sItemData& item : items)
        aItems.Add(item);
    m_pPlay->m_iOwnPlayer = 0;
    ExpectWritten([this] { m_pPlay->SendVirtualItems(); }, 77, 64, false, 1,
                  {U8(12, 0), U8(13, 4), I32(16, 13), I32(20, 14), I32(24, 15), I32(28, 16), I32(32, 1003),
                   I32(36, 1004), I32(40, 1005), I32(44, 1006), I32(48, 103), I32(52, 104), I32(56, 105),
                   I32(60, 106)});
}

TEST_F(CMoxPlayStateEvents, AnEmptyTurnPacksToEighteenBytesAndUnpacksToNothing)
{
    m_pPlay->m_pLocalEvents->Clear();
    EXPECT_EQ(m_pPlay->GetTurnPackSize(), 18);
    ASSERT_EQ(m_pPlay->PackTurnEvents(), 1);
    ASSERT_EQ(m_pPlay->m_pLocalEvents->GetNumEvents(), 1);
    const CMoxEvent* pPack = m_pPlay->m_pLocalEvents->GetEvent();
    std::vector<uint8_t> aExpected = Wire(43, 16, Counter(), -1, {});
    aExpected.insert(aExpected.end(), {99, 99});
    EXPECT_EQ(EventBytes(pPack), aExpected);
    EXPECT_EQ(pPack->m_uSendFlag, 1u);
    EXPECT_EQ(m_pPlay->m_pPlaybackEvents->GetNumEvents(), 0);
}

// Every type the pack carries, written during a turn at its own moment, comes back in
// order into the playback queue with its bytes and its moment; the record is emptied.
TEST_F(CMoxPlayStateEvents, ATurnOfEveryPackedTypeComesBackWithItsTimeStamps)
{
    CMoxPlayState& p = *m_pPlay;
    const CKorvelVector2 v(0.25f, 0.5f);
    const std::vector<std::function<void()>> writers = {
        [&] { p.SyncPhysics(1); },
        [&] { p.PlayerKill(0, 1); },
        [&] { p.SyncPlayers(); },
        [&] { p.PlayerAddForce(1, v, FORCE_JUMP); },
        [&] { p.PlayerDamage(0, 12, 88); },
        [&] { p.FlompWhip(0, v); },
        [&] { p.ProjectileCreate(1, PROJECTILE_STICKY); },
        [&] { p.ProjectilePosition(1, v, 3); },
        [&] { p.ProjectileAddForce(1, v, 3); },
        [&] { p.ProjectileDelete(1, 0, 3); },
        [&] { p.SceneUpdate(33, 4, -5, v, 300); },
        [&] { p.SceneDelete(33); },
        [&] { p.SceneChange(34, 255, 2, 0, 0.75f, 0.15f, v, -1.0f); },
        [&] { p.CreateEffectExplosion(v, 0.3f, 0, 0xFF808080u, 1); },
    };
    p.m_pLocalEvents->Clear();
    std::vector<std::vector<uint8_t>> aWritten;
    std::vector<int> aStamps;
    int iSize = 18;
    for (const auto& write : writers)
    {
        m_Clock.Advance(33);
        write();
        const CMoxEvent* pEvent = p.m_pLocalEvents->GetEvent(p.m_pLocalEvents->GetNumEvents() - 1);
        aWritten.push_back(EventBytes(pEvent));
        aStamps.push_back(p.GetTimeStamp());
        iSize += 1 + pEvent->m_iSize;
    }
    RecordLocalEvents();
    EXPECT_EQ(p.GetTurnPackSize(), iSize);
    ASSERT_EQ(p.PackTurnEvents(), 1);
    EXPECT_EQ(p.m_TurnRecord.GetCount(), 0);
    ASSERT_EQ(p.m_pLocalEvents->GetNumEvents(), 1);
    EXPECT_EQ(p.m_pLocalEvents->GetEvent()->m_iSize, iSize);
    EXPECT_EQ(Read(EventBytes(p.m_pLocalEvents->GetEvent())), aWritten);

    const CMoxEventManager& playback = *p.m_pPlaybackEvents;
    ASSERT_EQ(playback.GetNumEvents(), int(writers.size()));
    for (int i = 0; i < playback.GetNumEvents(); ++i)
    {
        const CMoxEvent* pEvent = playback.GetEvent(i);
        EXPECT_EQ(EventBytes(pEvent), aWritten[size_t(i)]) << i;
        EXPECT_EQ(pEvent->m_uType, aWritten[size_t(i)][0]) << i;
        EXPECT_EQ(pEvent->m_iTimeStamp, aStamps[size_t(i)]) << i;
        EXPECT_EQ(pEvent->m_uSendFlag, 0u) << i;
    }
}

// One pack of 65,552 bytes is the most one game message carries; a byte more is refused
// and the turn record is kept whole.
TEST_F(CMoxPlayStateEvents, APackFillsTheWorkBufferAndNotOneByteMore)
{
    CMoxPlayState& p = *m_pPlay;
    p.m_pLocalEvents->Clear();
    std::vector<uint8_t> aBig(65533 - 1000, 0);
    aBig[0] = 22;
    p.m_TurnRecord.Add(new CMoxEvent(22, 0, aBig.data(), int(aBig.size()), 1));
    std::vector<uint8_t> aSmall(999, 0);
    p.m_TurnRecord.Add(new CMoxEvent(15, 0, aSmall.data(), int(aSmall.size()), 1));
    ASSERT_EQ(p.GetTurnPackSize(), TURN_PACK_MAX_SIZE);
    ASSERT_EQ(p.PackTurnEvents(), 1);
    ASSERT_EQ(p.m_pLocalEvents->GetNumEvents(), 1);
    const CMoxEvent* pPack = p.m_pLocalEvents->GetEvent();
    ASSERT_EQ(pPack->m_iSize, 65552);
    EXPECT_EQ(pPack->m_pPayload[65550], 99);
    EXPECT_EQ(pPack->m_pPayload[65551], 99);

    p.m_pLocalEvents->Clear();
    aSmall.push_back(0);
    p.m_TurnRecord.Add(new CMoxEvent(22, 0, aBig.data(), int(aBig.size()), 1));
    p.m_TurnRecord.Add(new CMoxEvent(15, 0, aSmall.data(), int(aSmall.size()), 1));
    EXPECT_EQ(p.GetTurnPackSize(), TURN_PACK_MAX_SIZE + 1);
    const int iCounter = Counter();
    EXPECT_EQ(p.PackTurnEvents(), 0);
    EXPECT_EQ(p.m_pLocalEvents->GetNumEvents(), 0);
    EXPECT_EQ(p.m_TurnRecord.GetCount(), 2);
    EXPECT_EQ(Counter(), iCounter);
}

TEST_F(CMoxPlayStateEvents, PacksFromTheOtherDeviceAreReadWithinTheirBytes)
{
    const std::vector<uint8_t> aNoEnd = Pack(kSample, false);
    EXPECT_EQ(Read(aNoEnd), kSample) << "ends exactly at its end without 99, 99";

    // Bytes that start no packed event (unknown types, an acknowledgement's, a load's)
    // are stepped over one at a time.
    std::vector<uint8_t> aGaps = Wire(43, 16, 1, -1, {});
    for (uint8_t uStray : {0, 1, 5, 200})
        aGaps.push_back(uStray);
    std::vector<uint8_t> aTail = Pack({kSample[1]});
    aGaps.insert(aGaps.end(), aTail.begin() + 16, aTail.end());
    EXPECT_EQ(Read(aGaps), std::vector<std::vector<uint8_t>>({kSample[1]}));

    // An event whose own type differs from the byte in front is stepped over whole.
    std::vector<uint8_t> aMismatch = Pack({kSample[1], kSample[2]});
    aMismatch[16] = 15;
    EXPECT_EQ(Read(aMismatch), std::vector<std::vector<uint8_t>>({kSample[2]}));

    // 99 ends the reading even with events behind it.
    std::vector<uint8_t> aEarly = Pack({kSample[0]}, false);
    aEarly.push_back(99);
    aTail = Pack({kSample[1]});
    aEarly.insert(aEarly.end(), aTail.begin() + 16, aTail.end());
    EXPECT_EQ(Read(aEarly), std::vector<std::vector<uint8_t>>({kSample[0]}));

    // Cut anywhere: only the events wholly inside come back, and nothing is read past
    // the end (the sanitizer watches the exact copy).
    const std::vector<uint8_t> aFull = Pack(kSample);
    for (size_t uCut = 0; uCut <= aFull.size(); ++uCut)
    {
        const std::vector<std::vector<uint8_t>> aTaken =
            Read(std::vector<uint8_t>(aFull.begin(), aFull.begin() + long(uCut)));
        size_t uEnd = 16, uWhole = 0;
        while (uWhole < kSample.size() && uEnd + 1 + kSample[uWhole].size() <= uCut)
            uEnd += 1 + kSample[uWhole++].size();
        EXPECT_EQ(aTaken, std::vector<std::vector<uint8_t>>(kSample.begin(), kSample.begin() + long(uWhole)))
            << uCut;
    }
    EXPECT_TRUE(MoxReadTurnPack(nullptr, 100).empty());
}

// The fuzz target's seeds are packs of these tests; KORVEL_WRITE_SEEDS writes them anew.
TEST_F(CMoxPlayStateEvents, FuzzSeedsAreTheTestsPacks)
{
    const char* pSource = std::getenv("KORVEL_SOURCE_DIR");
    const std::string strFolder = std::string(pSource ? pSource : ".") + "/fuzz/corpus/TurnPack/";
    std::vector<uint8_t> aGaps = Pack({kSample[3]});
    aGaps.insert(aGaps.begin() + 16, {0, 1, 200});
    std::vector<uint8_t> aMismatch = Pack(kSample);
    aMismatch[16] = 27;
    const std::vector<uint8_t> aFull = Pack(kSample);
    const std::pair<std::string, std::vector<uint8_t>> seeds[] = {
        {"empty.bin", Pack({})},
        {"sample.bin", Pack(kSample)},
        {"no_end.bin", Pack(kSample, false)},
        {"gaps.bin", aGaps},
        {"mismatch.bin", aMismatch},
        {"cut.bin", std::vector<uint8_t>(aFull.begin(), aFull.begin() + 60)},
    };
    const bool bWrite = std::getenv("KORVEL_WRITE_SEEDS") != nullptr;
    for (const auto& seed : seeds)
    {
        if (bWrite)
        {
            ASSERT_TRUE(
                WriteTestFile(strFolder + seed.first, std::string(seed.second.begin(), seed.second.end())));
        }
        EXPECT_EQ(ReadTestFile(strFolder + seed.first), seed.second) << seed.first;
    }
}

} // namespace
