// Game events from the other device, from arbitrary bytes: the match screen's dispatcher
// applies each to a scene with blocks, flomps and a shot, and reads nothing beyond a
// record. Input: records of one length byte and that many bytes; the first input byte
// picks the play state (own turn or watching) and the training switch.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/MoxEvent.h"
#include "game/MoxParticles.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"

namespace
{
// The match screen on a scene of its own, without a game around it.
class CHarness : public CMoxPlayState
{
public:
    CHarness()
    {
        m_Physics.Startup(1.0f / 30.0f, 4);
        m_BackupPhysics.Startup(1.0f / 30.0f, 4);
        m_pOwnRenderer->SetScreenSize(800.0f, 600.0f);
        m_pRenderer = m_pOwnRenderer.get();
        m_pPhysics = &m_Physics;
        m_Live.Startup(nullptr, m_pRenderer, &m_Physics, SCENE_MODE_PLAY);
        m_Backup.Startup(nullptr, m_pRenderer, &m_BackupPhysics, SCENE_MODE_PLAY);
        m_pLiveScene = m_pScene = &m_Live;
        m_pBackupScene = &m_Backup;
        m_pBackupPhysics = &m_BackupPhysics;
        m_pLocalEvents = &m_Local;
        m_pOutgoingEvents = &m_Outgoing;
        m_pAckEvents = &m_Acks;
        m_pPlaybackEvents = &m_Playback;
        m_pExplosions = &m_Explosions;
        m_iOwnPlayer = 0;
        m_iOpponent = 1;
        for (int i = 0; i < 6; ++i)
            m_Live.m_pBlocks->AddBlock(1, CKorvelVector2(-0.5f + 0.2f * float(i), 0.2f * float(i % 3)), i % 4,
                                       0, 0);
        m_Live.CreateProjectile(0, PROJECTILE_FIRE, 3);
        m_Live.CreateProjectile(1, PROJECTILE_STICKY, 30);
    }
    ~CHarness() override
    {
        for (int i = 0; i < m_TurnRecord.GetCount(); ++i)
            delete m_TurnRecord[i];
        m_TurnRecord.Clear();
        m_pLiveScene = m_pScene = m_pBackupScene = nullptr;
        m_pBackupPhysics = nullptr;
        m_pLocalEvents = m_pOutgoingEvents = m_pAckEvents = m_pPlaybackEvents = nullptr;
        m_pExplosions = nullptr;
        m_pRenderer = nullptr;
        m_pPhysics = nullptr;
    }

private:
    CMoxPhysics m_Physics;
    CMoxPhysics m_BackupPhysics;
    std::unique_ptr<CMoxRenderer> m_pOwnRenderer{new CMoxRenderer()};
    CMoxScene m_Live;
    CMoxScene m_Backup;
    CMoxEventManager m_Local, m_Outgoing, m_Acks, m_Playback;
    CMoxExplosionManager m_Explosions;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    if (uSize < 1 || uSize > 4096)
        return 0;
    std::unique_ptr<CHarness> pPlay(new CHarness());
    pPlay->SetPlayState(pData[0] & 1 ? PLAYSTATE_OPPONENT_TURN : PLAYSTATE_OWN_TURN);
    pPlay->m_bSinglePlayer = pData[0] & 2 ? 1 : 0;
    size_t uAt = 1;
    while (uAt < uSize)
    {
        const size_t uLength = pData[uAt++];
        if (uLength > uSize - uAt)
            break;
        // An exact copy of each record, so a read past its end is caught.
        std::vector<unsigned char> aBytes(pData + uAt, pData + uAt + uLength);
        uAt += uLength;
        pPlay->m_pLocalEvents->AddEvent(aBytes.empty() ? 0 : aBytes[0], aBytes.data(), (int)aBytes.size(),
                                        (unsigned int)(uLength & 1));
        pPlay->HandleGameEvents();
    }
    if (pPlay->m_pLocalEvents->HasNextEvent())
        abort();
    return 0;
}
