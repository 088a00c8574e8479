// Two small effects drawn through the renderer: a swarm of star particles wandering in
// a band near the top of the screen, each leaving a trail of fading dots (the menu,
// training and connecting screens), and short animated explosions in the world (the
// match screen).
//
// Sources: MoxParticles.cpp (the swarm), MoxExplosions.cpp (the explosions).
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"

class CStateGame;

// What AddParticle is asked for; every particle it adds is a wanderer.
enum PARTICLE_TYPE : int
{
    PARTICLE_STAR = 0
};

class CMoxParticle
{
public:
    CMoxParticle();

    CKorvelVector2 m_vPosition; // screen pixels, y down
    CKorvelVector2 m_vSize;     // the half size drawn this frame
    CKorvelVector2 m_vFullSize; // the half size when grown in
    CKorvelVector2 m_vStep;     // the last move
    float m_fRotation;
    float m_fHeading;
    int m_iTexture; // GAME_TEXTURES index
    int m_iTrailCounter;
    float m_fAge;
    float m_fLife;
    // Null for a wanderer; a trail dot links to itself.
    CMoxParticle* m_pTrail;
    unsigned int m_bAlive;
};

class CMoxParticleSystem
{
public:
    enum
    {
        TEXTURE_STAR = 46, // "particle_star.png"
        TEXTURE_DOT = 47,  // "particle_dot.png"
        DEFAULT_MAX_PARTICLES = 256
    };

    CMoxParticleSystem();
    ~CMoxParticleSystem();

    // Keeps the game and puts the area in the upper middle of the renderer's screen.
    void Startup(CStateGame* pGame);
    void SetMaxParticles(int iMax) { m_iMaxParticles = iMax; }
    // Nothing is added once the maximum is reached.
    void AddParticle(PARTICLE_TYPE eType);
    void AddSlaveParticle(CMoxParticle* pMaster);
    // Unlinks and marks the particle dead; the next cleanup frees it.
    void DeleteParticle(CMoxParticle* pParticle);
    void Update(float fSeconds);
    void Draw();
    void CleanDeadParticles();

    int GetCount() const { return m_Particles.GetCount(); }
    CMoxParticle* GetAt(int i) const { return m_Particles[i]; }
    // White, opaque up to age 1 and fading out linearly to nothing at the end of its life.
    static unsigned int GetColour(const CMoxParticle& particle);

    CStateGame* m_pGame;
    CKorvelVector2 m_vAreaCentre;
    CKorvelVector2 m_vAreaHalf;
    CKorvelTypedPtrArray<CMoxParticle> m_Particles; // owned
    int m_iMaxParticles;

private:
    float Random(float fMin, float fMax);
    bool IsInArea(const CKorvelVector2& v) const;

    CMoxParticleSystem(const CMoxParticleSystem&) = delete;
    CMoxParticleSystem& operator=(const CMoxParticleSystem&) = delete;
};

struct CMoxExplosion
{
    CKorvelVector2 m_vPosition; // world units
    CKorvelVector2 m_vHalfSize;
    int m_iFrame; // 0..15
    float m_fTime;
    unsigned int m_uColour; // 0xAARRGGBB
};

class CMoxExplosionManager
{
public:
    enum
    {
        TEXTURE_SHEET = 24, // "explosion.png", 4 x 4 frames read row by row
        SHEET_COLUMNS = 4,
        SHEET_ROWS = 4,
        LAST_FRAME = 15,
        FRAMES_PER_SECOND = 20
    };

    CMoxExplosionManager() : m_pGame(nullptr) {}
    ~CMoxExplosionManager() { Clear(); }

    void Startup(CStateGame* pGame) { m_pGame = pGame; }
    // The integer is not used.
    void Create(const CKorvelVector2& position, float fSize, int, unsigned int uColour);
    // An explosion whose last frame has passed is removed at once.
    void Update(float fSeconds);
    void Render();
    void Clear();

    int GetCount() const { return m_Explosions.GetCount(); }
    CMoxExplosion* GetAt(int i) const { return m_Explosions[i]; }

    CKorvelTypedPtrArray<CMoxExplosion> m_Explosions; // owned
    CStateGame* m_pGame;

private:
    CMoxExplosionManager(const CMoxExplosionManager&) = delete;
    CMoxExplosionManager& operator=(const CMoxExplosionManager&) = delete;
};
