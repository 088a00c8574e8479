#include "game/MoxEventWire.h"

#include <cstdint>
#include <cstring>

const sMoxEventForm MOX_EVENT_FORMS[MOX_EVENT_FORM_COUNT] = {
    {EVENT_ACK, 12, false},
    {EVENT_LOAD_GAME, 28, false},
    {EVENT_START_GAME, 16, false},
    {EVENT_ROUND_OVER, 16, false},
    {EVENT_ROUND_WAITING, 12, false},
    {EVENT_GAME_OVER, 20, false},
    {EVENT_NEXT_PLAYER, 16, false},
    {EVENT_GAME_END, 20, false},
    {EVENT_REMATCH, 16, false},
    {EVENT_PHYSICS_STATE, 16, true},
    {EVENT_PLAYER_DEAD, 16, true},
    {EVENT_SYNC_PLAYERS, 28, true},
    {EVENT_PLAYER_ADD_FORCE, 28, true},
    {EVENT_PLAYER_READY, 16, false},
    {EVENT_PLAYER_LEAVE, 16, false},
    {EVENT_PLAYER_DAMAGE, 24, true},
    {EVENT_PLAYER_CRUSH_TEST, 12, false},
    {EVENT_FLOMP_WHIP, 24, true},
    {EVENT_PROJECTILE_CREATE, 16, true},
    {EVENT_PROJECTILE_POSITION, 28, true},
    {EVENT_PROJECTILE_ADD_FORCE, 28, true},
    {EVENT_PROJECTILE_DELETE, 16, true},
    {EVENT_SCENE_UPDATE, 28, true},
    {EVENT_SCENE_DELETE, 16, true},
    {EVENT_TURN_PACK, 0, false},
    {EVENT_SCENE_CHANGE, 44, true},
    {EVENT_EFFECT_EXPLOSION, 32, true},
    {EVENT_CLOCK_RESTART, 12, false},
    {EVENT_PLAYBACK_DONE, 16, false},
    {EVENT_VIRTUAL_ITEMS, 64, false},
    {EVENT_ITEMS_DROPPED, 32, false},
};

const sMoxEventForm* MoxEventForm(int iType)
{
    for (const sMoxEventForm& form : MOX_EVENT_FORMS)
        if (form.iType == iType)
            return &form;
    return nullptr;
}

int MoxPackedEventSize(int iType)
{
    const sMoxEventForm* pForm = MoxEventForm(iType);
    return pForm && pForm->bPacked ? pForm->iSize : 0;
}

void MoxPutI32(unsigned char* pBytes, int iOffset, int iValue)
{
    const uint32_t u = (uint32_t)iValue;
    for (int i = 0; i < 4; ++i)
        pBytes[iOffset + i] = (unsigned char)(u >> (8 * i));
}

void MoxPutF32(unsigned char* pBytes, int iOffset, float fValue)
{
    uint32_t u;
    std::memcpy(&u, &fValue, 4);
    MoxPutI32(pBytes, iOffset, (int)u);
}

int MoxGetI32(const unsigned char* pBytes, int iOffset)
{
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= (uint32_t)pBytes[iOffset + i] << (8 * i);
    return (int)u;
}

float MoxGetF32(const unsigned char* pBytes, int iOffset)
{
    const uint32_t u = (uint32_t)MoxGetI32(pBytes, iOffset);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

sMoxEventBytes::sMoxEventBytes(int iType, int iId, int iTimeStamp) : m_aBytes(), m_iType(iType), m_iSize(0)
{
    const sMoxEventForm* pForm = MoxEventForm(iType);
    m_iSize = pForm ? pForm->iSize : 0;
    m_aBytes[MoxField::TYPE] = (unsigned char)iType;
    I32(MoxField::ID, iId);
    I32(MoxField::TIME, iTimeStamp);
}
