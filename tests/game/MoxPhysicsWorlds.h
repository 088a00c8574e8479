// Worlds shared by the physics tests and the benchmark: the two benchmark scenes, seeded
// random worlds, and a byte image of every body's state for exact comparison.
#pragma once

#include "game/MoxPhysics.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace mox_worlds
{
// Half sizes of the block shapes, by shape code.
const float kBlockHalfSizes[40][2] = {
    {0.05f, 0.05f}, {0.1f, 0.1f},   {0.15f, 0.15f}, {0.2f, 0.2f},   {0.25f, 0.25f}, {0.3f, 0.3f},
    {0.1f, 0.05f},  {0.15f, 0.05f}, {0.2f, 0.05f},  {0.25f, 0.05f}, {0.3f, 0.05f},  {0.05f, 0.1f},
    {0.05f, 0.15f}, {0.05f, 0.2f},  {0.05f, 0.25f}, {0.05f, 0.3f},  {0.1f, 0.15f},  {0.1f, 0.2f},
    {0.1f, 0.25f},  {0.1f, 0.3f},   {0.2f, 0.1f},   {0.2f, 0.15f},  {0.2f, 0.25f},  {0.2f, 0.3f},
    {0.3f, 0.1f},   {0.3f, 0.15f},  {0.3f, 0.2f},   {0.3f, 0.25f},  {0.15f, 0.1f},  {0.2f, 0.1f},
    {0.25f, 0.1f},  {0.3f, 0.1f},   {0.1f, 0.2f},   {0.15f, 0.2f},  {0.25f, 0.2f},  {0.3f, 0.2f},
    {0.1f, 0.3f},   {0.15f, 0.3f},  {0.2f, 0.3f},   {0.25f, 0.3f},
};

const int kSceneBlocks = 223;
const int kSceneProjectiles = 16;
const unsigned int kPlayerMasks[2] = {0x11101u, 0x11110u};
const unsigned int kOpenMask = 0x11111111u;

inline CBody* AddBox(CMoxPhysics& w, float x, float y, float hx, float hy, unsigned int type, float mass,
                     float bounce, float friction, unsigned int mask)
{
    BodyDesc d;
    d.m_vPosition.Set(x, y);
    d.m_vHalfSize.Set(hx, hy);
    d.m_uType = type;
    d.m_fMass = mass;
    d.m_fBounce = bounce;
    d.m_fFriction = friction;
    CBody* b = w.CreateBody(d);
    b->m_uCollisionMask = mask;
    return b;
}

// Sixteen columns of small blocks, stepped like a hillside with a valley, the two
// flomps on two of the tops. The blocks keep a small gap so that none overlap.
inline void BuildRestScene(CMoxPhysics& w)
{
    // Shapes narrow enough for a column: codes 0, 1, 6, 7, 11, 28.
    static const int kColumnShapes[6] = {0, 6, 1, 11, 7, 28};
    static const int kColumnCounts[16] = {18, 16, 15, 14, 13, 12, 11, 10, 10, 11, 13, 14, 16, 16, 17, 17};
    const float gap = 0.002f;
    float tops[16];
    int made = 0;
    for (int col = 0; col < 16; ++col)
    {
        float x = -3.0f + 0.4f * static_cast<float>(col);
        float y = 0.0f;
        for (int k = 0; k < kColumnCounts[col] && made < kSceneBlocks; ++k, ++made)
        {
            const float* h = kBlockHalfSizes[kColumnShapes[(col * 5 + k * 7) % 6]];
            AddBox(w, x, y + h[1], h[0], h[1], BODY_STATIC, 0.0f, 0.15f, 0.75f, kOpenMask);
            y += 2.0f * h[1] + gap;
        }
        tops[col] = y;
    }
    // The player boxes rest on columns 3 and 12, a hair above their tops.
    AddBox(w, -3.0f + 0.4f * 3.0f, tops[3] + 0.05f, 0.05f, 0.05f, BODY_DYNAMIC, 20.0f, 0.05f, 0.5f,
           kPlayerMasks[0]);
    AddBox(w, -3.0f + 0.4f * 12.0f, tops[12] + 0.05f, 0.05f, 0.05f, BODY_DYNAMIC, 20.0f, 0.05f, 0.5f,
           kPlayerMasks[1]);
}

// The rest scene with sixteen projectiles thrown from above the columns.
inline void BuildBusyScene(CMoxPhysics& w)
{
    BuildRestScene(w);
    for (int k = 0; k < kSceneProjectiles; ++k)
    {
        float x = -2.8f + 0.37f * static_cast<float>(k);
        float y = 3.5f + 0.06f * static_cast<float>(k % 4);
        CBody* p = AddBox(w, x, y, 0.025f, 0.025f, BODY_DYNAMIC, 15.0f, 0.2f, 0.5f, kOpenMask);
        float vx = (k % 2 ? -1.0f : 1.0f) * (0.02f + 0.01f * static_cast<float>(k % 5));
        float vy = 0.03f - 0.01f * static_cast<float>(k % 7);
        p->m_vVelocity.Set(vx, vy);
    }
}

// A small generator of our own, so that every library gives the same worlds.
class CWorldRandom
{
public:
    explicit CWorldRandom(uint32_t seed) : m_uState(seed * 2654435761u + 1u) {}
    uint32_t Next()
    {
        m_uState ^= m_uState << 13;
        m_uState ^= m_uState >> 17;
        m_uState ^= m_uState << 5;
        return m_uState;
    }
    // A multiple of 1/1024 in [lo, hi].
    float Range(float lo, float hi) { return lo + (hi - lo) * static_cast<float>(Next() % 1025u) / 1024.0f; }
    int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

private:
    uint32_t m_uState;
};

// Fixed boxes scattered (some overlapping), held boxes, and dynamic boxes of every kind of
// mass, bounce, friction, mask and speed, crowded into a small field so that they meet.
inline void BuildRandomWorld(CMoxPhysics& w, uint32_t seed)
{
    static const unsigned int kMasks[7] = {0xFFFFFFFFu, 0u, 0x1u, 0x10u, 0x11101u, 0x11110u, 0x100u};
    CWorldRandom r(seed);
    int fixed = 3 + r.Below(30);
    int moving = 1 + r.Below(14);
    int total = fixed + moving;
    for (int k = 0; k < total; ++k)
    {
        bool dynamic = r.Below(total) < moving;
        unsigned int type = BODY_DYNAMIC;
        if (!dynamic)
        {
            int pick = r.Below(10);
            type = pick < 6 ? 1u : (pick < 9 ? 2u : 3u); // static, held, or a type the game never uses
        }
        float hx = r.Range(0.02f, dynamic ? 0.1f : 0.5f);
        float hy = r.Range(0.02f, dynamic ? 0.1f : 0.3f);
        float x = r.Range(-1.0f, 1.0f);
        float y = dynamic ? r.Range(0.0f, 1.5f) : r.Range(-0.3f, 1.0f);
        int massPick = r.Below(6);
        float mass = massPick == 0 ? 0.0f : r.Range(1.0f, 30.0f);
        CBody* b = AddBox(w, x, y, hx, hy, type, mass, r.Range(0.0f, 1.0f), r.Range(0.0f, 1.0f),
                          kMasks[r.Below(10) < 6 ? 0 : r.Below(7)]);
        if (dynamic)
            b->m_vVelocity.Set(r.Range(-0.06f, 0.06f), r.Range(-0.06f, 0.06f));
        b->m_uUser = static_cast<unsigned int>(r.Below(2)); // 1: sticks to the first static box
    }
}

// Every field of a body but the owner pointer, as bytes.
inline void AppendState(const CBody* b, std::vector<unsigned char>& out)
{
    auto put = [&out](const void* p, size_t n)
    {
        const unsigned char* c = static_cast<const unsigned char*>(p);
        out.insert(out.end(), c, c + n);
    };
    put(&b->m_vPosition, sizeof(CKorvelVector2) * 9); // position .. moved-by
    put(&b->m_uType, sizeof(unsigned int) * 4);       // type, group, asleep, mask
    put(&b->m_fRestTime, sizeof(float) * 5);          // rest time .. friction
    put(&b->m_uUser, sizeof b->m_uUser);
    put(&b->m_Box, sizeof b->m_Box);
}

inline std::vector<unsigned char> WorldState(const CMoxPhysics& w)
{
    std::vector<unsigned char> out;
    for (int i = 0; i < w.m_Bodies.GetCount(); ++i)
        AppendState(w.m_Bodies[i], out);
    return out;
}

// FNV-1a over the bytes of every body's state.
inline uint32_t WorldHash(const CMoxPhysics& w)
{
    uint32_t h = 2166136261u;
    for (unsigned char c : WorldState(w))
        h = (h ^ c) * 16777619u;
    return h;
}

inline int IndexOf(const CMoxPhysics& w, const CBody* b)
{
    for (int i = 0; i < w.m_Bodies.GetCount(); ++i)
        if (w.m_Bodies[i] == b)
            return i;
    return -1;
}
} // namespace mox_worlds
