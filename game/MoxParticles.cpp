// The wandering stars and their trails.
#include "game/MoxParticles.h"
#include "KorvelCommon/KorvelMath.h"

#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DColor.h"
#include "game/MoxRenderer.h"
#include "game/StateGame.h"

namespace
{
const float kLife = 4.0f;
const float kSizeOfWidth = 0.018f;
const float kSpread = 0.75f; // of the area's half extent, for new wanderers
const float kWander = 0.25f; // largest turn per update
const float kSpeed = 0.75f;  // pixels per update
const float kSpin = 0.035f;
const int kTrailEvery = 12; // a dot when the counter goes past this
} // namespace

CMoxParticle::CMoxParticle()
    : m_vPosition(0.0f, 0.0f), m_vSize(0.0f, 0.0f), m_vFullSize(0.0f, 0.0f), m_vStep(0.0f, 0.0f),
      m_fRotation(0.0f), m_fHeading(0.0f), m_iTexture(0), m_iTrailCounter(0), m_fAge(0.0f), m_fLife(kLife),
      m_pTrail(nullptr), m_bAlive(1)
{
}

CMoxParticleSystem::CMoxParticleSystem()
    : m_pGame(nullptr), m_vAreaCentre(0.0f, 0.0f), m_vAreaHalf(0.0f, 0.0f),
      m_iMaxParticles(DEFAULT_MAX_PARTICLES)
{
}

CMoxParticleSystem::~CMoxParticleSystem()
{
    for (int i = 0; i < m_Particles.GetCount(); ++i)
        delete m_Particles[i];
    m_Particles.Clear();
}

void CMoxParticleSystem::Startup(CStateGame* pGame)
{
    m_pGame = pGame;
    CMoxRenderer* pRenderer = pGame ? pGame->GetRenderer() : nullptr;
    const float hw = pRenderer ? 0.5f * pRenderer->GetScreenWidth() : 0.0f;
    const float hh = pRenderer ? 0.5f * pRenderer->GetScreenHeight() : 0.0f;
    m_vAreaCentre.Set(hw, 0.33f * hh);
    m_vAreaHalf.Set(0.5f * hw, 0.25f * hh);
}

float CMoxParticleSystem::Random(float fMin, float fMax)
{
    CVornApplication* pApp = m_pGame ? m_pGame->GetApp() : nullptr;
    return pApp ? pApp->RandFloat(fMin, fMax) : fMin;
}

bool CMoxParticleSystem::IsInArea(const CKorvelVector2& v) const
{
    return v.x >= m_vAreaCentre.x - m_vAreaHalf.x && v.x <= m_vAreaCentre.x + m_vAreaHalf.x &&
           v.y >= m_vAreaCentre.y - m_vAreaHalf.y && v.y <= m_vAreaCentre.y + m_vAreaHalf.y;
}

void CMoxParticleSystem::AddParticle(PARTICLE_TYPE)
{
    if (!m_pGame || m_Particles.GetCount() >= m_iMaxParticles)
        return;
    CMoxRenderer* pRenderer = m_pGame->GetRenderer();
    const float fFull = (pRenderer ? pRenderer->GetScreenWidth() : 0.0f) * kSizeOfWidth;
    CMoxParticle* p = new CMoxParticle();
    p->m_vFullSize.Set(fFull, fFull);
    const float dx = Random(-kSpread * m_vAreaHalf.x, kSpread * m_vAreaHalf.x);
    const float dy = Random(-kSpread * m_vAreaHalf.y, kSpread * m_vAreaHalf.y);
    p->m_vPosition.Set(m_vAreaCentre.x + dx, m_vAreaCentre.y + dy);
    p->m_iTexture = TEXTURE_STAR;
    p->m_fRotation = Random(0.0f, KE_PI);
    p->m_fHeading = Random(0.0f, KE_PI);
    m_Particles.Add(p);
}

void CMoxParticleSystem::AddSlaveParticle(CMoxParticle* pMaster)
{
    if (!pMaster || m_Particles.GetCount() >= m_iMaxParticles)
        return;
    CMoxParticle* p = new CMoxParticle();
    p->m_vFullSize = pMaster->m_vSize;
    p->m_vFullSize.Scale(Random(0.1f, 0.5f));
    p->m_vPosition = pMaster->m_vPosition;
    p->m_iTexture = TEXTURE_DOT;
    p->m_pTrail = p;
    m_Particles.Add(p);
}

void CMoxParticleSystem::DeleteParticle(CMoxParticle* pParticle)
{
    if (!pParticle)
        return;
    for (int i = 0; i < m_Particles.GetCount(); ++i)
        if (m_Particles[i]->m_pTrail == pParticle)
            m_Particles[i]->m_pTrail = nullptr;
    pParticle->m_bAlive = 0;
}

void CMoxParticleSystem::Update(float fSeconds)
{
    // The count is read every time round: particles added here are updated in this pass.
    for (int i = 0; i < m_Particles.GetCount(); ++i)
    {
        CMoxParticle* p = m_Particles[i];
        if (!p->m_bAlive)
            continue;
        p->m_vSize = p->m_vFullSize;
        if (p->m_fAge < 1.0f)
            p->m_vSize.Scale(p->m_fAge);

        if (p->m_pTrail)
        {
            p->m_fAge += fSeconds;
            if (p->m_fAge > p->m_fLife)
                DeleteParticle(p);
            continue;
        }

        p->m_fHeading += Random(-kWander, kWander);
        p->m_vStep.Set(CKorvelMath::Cos(p->m_fHeading) * kSpeed, CKorvelMath::Sin(p->m_fHeading) * kSpeed);
        p->m_vPosition.Add(p->m_vStep);
        p->m_fRotation += kSpin;
        if (++p->m_iTrailCounter > kTrailEvery)
        {
            p->m_iTrailCounter = 0;
            AddSlaveParticle(p);
        }

        if (IsInArea(p->m_vPosition))
        {
            // Inside, a wanderer settles back to fully visible.
            if (p->m_fAge < 1.0f)
                p->m_fAge += fSeconds;
            else
            {
                p->m_fAge -= fSeconds;
                if (p->m_fAge < 1.0f)
                    p->m_fAge = 1.0f;
            }
        }
        else
        {
            p->m_fAge += fSeconds;
            if (p->m_fAge > p->m_fLife)
            {
                // Replaced while it still counts: at the maximum there is no replacement.
                DeleteParticle(p);
                AddParticle(PARTICLE_STAR);
            }
        }
    }
    CleanDeadParticles();
}

unsigned int CMoxParticleSystem::GetColour(const CMoxParticle& particle)
{
    const float a = ((particle.m_fLife - 1.0f) - (particle.m_fAge - 1.0f)) / (particle.m_fLife - 1.0f);
    if (a < 0.0f)
        return 0x00FFFFFFu;
    if (a > 1.0f)
        return 0xFFFFFFFFu;
    return (unsigned int)(a * 255.0f) << 24 | 0x00FFFFFFu;
}

void CMoxParticleSystem::Draw()
{
    CMoxRenderer* pRenderer = m_pGame ? m_pGame->GetRenderer() : nullptr;
    if (!pRenderer || m_Particles.GetCount() == 0)
        return;
    CKorvelSurface* const* apTextures = m_pGame->GetContext().psrfGameTextures;
    for (int i = 0; i < m_Particles.GetCount(); ++i)
    {
        const CMoxParticle* p = m_Particles[i];
        CKorvelSurface* pSurface =
            p->m_iTexture >= 0 && p->m_iTexture < GAME_TEXTURE_COUNT ? apTextures[p->m_iTexture] : nullptr;
        pRenderer->renderScreenParticle(p->m_vPosition, p->m_vSize, p->m_fRotation, pSurface,
                                        CKorvel3DColor(GetColour(*p)));
    }
}

void CMoxParticleSystem::CleanDeadParticles()
{
    int iKept = 0;
    for (int i = 0; i < m_Particles.GetCount(); ++i)
    {
        CMoxParticle* p = m_Particles[i];
        if (p->m_bAlive)
            m_Particles.SetAt(iKept++, p);
        else
            delete p;
    }
    while (m_Particles.GetCount() > iKept)
        m_Particles.RemoveAt(m_Particles.GetCount() - 1);
}
