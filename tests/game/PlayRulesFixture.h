// The match screen with every match and training scene in its scene pack (both flomps on
// the ground line, no blocks), for the rules, handlers and snapshot tests: events are fed
// to the local queue, the dispatcher and the rule operations are called by hand, and the
// physics is stepped by the test. Header only.
#pragma once

#include <string>
#include <vector>

#include "game/MoxParticles.h"
#include "game/MoxScene.h"
#include "game/MoxTables.h"
#include "support/TestSceneFile.h"
#include "support/TestText.h"
#include "tests/game/PlayStateFixture.h"

class CPlayRulesTest : public CPlayStateTest
{
protected:
    enum
    {
        kUser0 = 4100,
        kUser1 = 4200
    };

    void StartMatch(bool bFakeChat = true)
    {
        std::vector<std::pair<std::string, sTestScene>> aScenes;
        for (const sResourceEntry& scene : res_flomp_scenes)
            aScenes.push_back({Narrow(scene.name), TestSceneWithPlayers({-40, 8}, {40, 8})});
        for (const sResourceEntry& scene : res_flomp_training_scenes)
            aScenes.push_back({Narrow(scene.name), TestSceneWithPlayers({-20, 8}, {20, 8})});
        ASSERT_TRUE(WriteTestScenePack(m_App.Dir() + "/app/native", aScenes));
        ASSERT_NO_FATAL_FAILURE(StartPlay(nullptr, bFakeChat));
        m_pPlay->SetPlayerIdentity(0, kUser0, CKorvelString("Ann"));
        m_pPlay->SetPlayerIdentity(1, kUser1, CKorvelString("Bob"));
    }
    // Loads a round on that scene through the dispatcher, as the master's event does.
    void LoadRound(int iScene = 3)
    {
        m_pPlay->LoadGame(0, iScene, 0, 0);
        m_pPlay->HandleGameEvents();
        DropSent();
    }
    // Forgets what went to the outgoing queue so far.
    void DropSent() { m_pPlay->m_pOutgoingEvents->Clear(); }

    CMoxScene& Scene() { return *m_pPlay->m_pLiveScene; }
    CPlayer& Player(int i) { return Scene().m_Players[i]; }
    CBody& Body(int i) { return *Scene().m_Players[i].m_pBody; }
    CMoxPhysics& Physics() { return *m_pGame->GetPhysics(); }

    // A block of shape 1 (0.1 half size) centred there.
    CBlock* AddBlock(float x, float y, int iMaterial = BLOCK_MATERIAL_PAPER, int iShape = 1)
    {
        return Scene().m_pBlocks->AddBlock((signed char)iShape, CKorvelVector2(x, y), iMaterial, 0, 0);
    }
    // Adds raw bytes to the local queue.
    CMoxEvent* Feed(const std::vector<uint8_t>& aBytes, unsigned int uFlag = 0)
    {
        return m_pPlay->m_pLocalEvents->AddEvent(aBytes.empty() ? 0 : aBytes[0], aBytes.data(),
                                                 int(aBytes.size()), uFlag);
    }
    // An event of that size: type, identifier 1, time stamp -1, the given bytes from offset 12.
    static std::vector<uint8_t> Raw(int iType, int iSize,
                                    const std::vector<std::pair<int, uint8_t>>& aBytes = {})
    {
        std::vector<uint8_t> a(12, 0);
        a[0] = uint8_t(iType);
        a[4] = 1;
        a[8] = a[9] = a[10] = a[11] = 0xFF;
        a.resize(size_t(iSize) > a.size() ? size_t(iSize) : a.size(), 0);
        for (const auto& b : aBytes)
            a[size_t(b.first)] = b.second;
        a.resize(size_t(iSize));
        return a;
    }

    // The events of the turn record of one type.
    std::vector<CMoxEvent*> Recorded(int iType)
    {
        std::vector<CMoxEvent*> a;
        for (int i = 0; i < m_pPlay->m_TurnRecord.GetCount(); ++i)
            if (m_pPlay->m_TurnRecord[i]->m_uType == iType)
                a.push_back(m_pPlay->m_TurnRecord[i]);
        return a;
    }
    // The events waiting in a queue, of one type.
    static std::vector<CMoxEvent*> Queued(CMoxEventManager* pQueue, int iType)
    {
        std::vector<CMoxEvent*> a;
        for (int i = 0; i < pQueue->GetNumEvents(); ++i)
            if (pQueue->GetEvent(i)->m_uType == iType)
                a.push_back(pQueue->GetEvent(i));
        return a;
    }
    static int I32At(const CMoxEvent* p, int iOffset) { return MoxGetI32(p->m_pPayload, iOffset); }
    static float F32At(const CMoxEvent* p, int iOffset) { return MoxGetF32(p->m_pPayload, iOffset); }

    // The recording of an own action has begun (what CreateAction sets).
    void BeginRecording()
    {
        m_pPlay->SetPlayState(PLAYSTATE_OWN_TURN);
        m_pPlay->m_bActionTaken = 1;
        m_pPlay->m_bSimulating = 1;
    }
    // One step of the recording as the frame runs it: events, the turn check, the scene,
    // the explosions, the water timer and the physics.
    void RecordStep()
    {
        const float kStep = 1.0f / 30.0f;
        m_pPlay->HandleGameEvents();
        m_pPlay->HandleTurn();
        Scene().Update(kStep);
        m_pPlay->m_pExplosions->Update(kStep);
        if (m_pPlay->m_bWaterTiming)
            m_pPlay->m_fWaterTime += kStep;
        Physics().Simulate();
    }
    // Applies the recorded events here, as the replay would.
    void ReplayRecord()
    {
        for (int i = 0; i < m_pPlay->m_TurnRecord.GetCount(); ++i)
        {
            CMoxEvent* p = m_pPlay->m_TurnRecord[i];
            m_pPlay->m_pLocalEvents->AddEvent(p->m_uType, p->m_pPayload, p->m_iSize, 0);
            delete p;
        }
        m_pPlay->m_TurnRecord.Clear();
        m_pPlay->HandleGameEvents();
    }
    // Puts every body to sleep, as a settled world has them.
    void SleepAll()
    {
        for (int i = 0; i < Physics().m_Bodies.GetCount(); ++i)
        {
            Physics().m_Bodies[i]->m_uAsleep = 1;
            Physics().m_Bodies[i]->m_vVelocity.Set(0.0f, 0.0f);
        }
    }
};
