// The wire form of the game events: one table of every type's size and whether the turn
// pack carries it, the field offsets, and little-endian access to the bytes. Floats are
// IEEE single precision; padding is written as zeros so equal events give equal bytes.
#pragma once

enum MOX_EVENT_TYPE : int
{
    EVENT_ACK = 1,
    EVENT_LOAD_GAME = 5,
    EVENT_START_GAME = 6,
    EVENT_ROUND_OVER = 7,
    EVENT_ROUND_WAITING = 8,
    EVENT_GAME_OVER = 9,
    EVENT_NEXT_PLAYER = 10,
    EVENT_GAME_END = 11,
    EVENT_REMATCH = 12,
    EVENT_PHYSICS_STATE = 15,
    EVENT_PLAYER_DEAD = 21,
    EVENT_SYNC_PLAYERS = 22,
    EVENT_PLAYER_ADD_FORCE = 23,
    EVENT_PLAYER_READY = 25,
    EVENT_PLAYER_LEAVE = 26,
    EVENT_PLAYER_DAMAGE = 27,
    EVENT_PLAYER_CRUSH_TEST = 28,
    EVENT_FLOMP_WHIP = 29,
    EVENT_PROJECTILE_CREATE = 30,
    EVENT_PROJECTILE_POSITION = 31,
    EVENT_PROJECTILE_ADD_FORCE = 32,
    EVENT_PROJECTILE_DELETE = 33,
    EVENT_SCENE_UPDATE = 40,
    EVENT_SCENE_DELETE = 41,
    EVENT_TURN_PACK = 43,
    EVENT_SCENE_CHANGE = 45,
    EVENT_EFFECT_EXPLOSION = 50,
    EVENT_CLOCK_RESTART = 70,
    EVENT_PLAYBACK_DONE = 71,
    EVENT_VIRTUAL_ITEMS = 77,
    // Items of one player that a device could not load: both devices play without them.
    EVENT_ITEMS_DROPPED = 78
};

enum FORCE_TYPE : int
{
    FORCE_JUMP = 0,
    FORCE_KNOCK = 1 // a hit: the camera follows everything that moves
};

enum GAME_OVER_TYPE : int
{
    GAME_OVER_DECIDED = 0,
    GAME_OVER_CONNECTION = 1, // the opponent's connection went
    GAME_OVER_LEFT = 2,       // a player left the match
    GAME_OVER_TIME_OUTS = 3
};

struct sMoxEventForm
{
    int iType;
    int iSize;    // bytes, header included; 0 for the turn pack, whose size varies
    bool bPacked; // carried inside the turn pack
};

enum : int
{
    MOX_EVENT_FORM_COUNT = 31,
    MOX_EVENT_MAX_SIZE = 64
};

extern const sMoxEventForm MOX_EVENT_FORMS[MOX_EVENT_FORM_COUNT];

// The form of a type, null for a type no event has.
const sMoxEventForm* MoxEventForm(int iType);
// The fixed size of a type the turn pack carries, else 0.
int MoxPackedEventSize(int iType);

// Byte offsets inside an event.
namespace MoxField
{
enum : int
{
    TYPE = 0,
    ID = 4,
    TIME = 8,
    HEADER_SIZE = 12,
    BODY = 12, // the first field after the header of every type

    LOAD_FIRST_PLAYER = 12,
    LOAD_SCENE = 16,
    LOAD_START_POINT0 = 20,
    LOAD_START_POINT1 = 24,
    START_FIRST_PLAYER = 12,
    ROUND_WINNER = 12,
    OVER_SENDER = 12,
    OVER_WINS0 = 13,
    OVER_WINS1 = 14,
    OVER_WINNER = 15,
    OVER_KIND = 16,
    NEXT_PLAYER = 12,
    END_SENDER = 12,
    END_LEAVE = 16,
    REMATCH_SENDER = 12,
    REMATCH_ANSWER = 13,
    PHYSICS_RUNNING = 12,
    DEAD_PLAYER = 12,
    DEAD_CAUSE = 13,
    SYNC_X0 = 12,
    SYNC_Y0 = 16,
    SYNC_X1 = 20,
    SYNC_Y1 = 24,
    FORCE_PLAYER = 12,
    FORCE_X = 16,
    FORCE_Y = 20,
    FORCE_KIND = 24,
    READY_PLAYER = 12,
    LEAVE_PLAYER = 12,
    DAMAGE_PLAYER = 12,
    DAMAGE_AMOUNT = 16,
    DAMAGE_HEALTH_LEFT = 20,
    WHIP_PLAYER = 12,
    WHIP_X = 16,
    WHIP_Y = 20,
    CREATE_PLAYER = 12,
    CREATE_TYPE = 13,
    CREATE_SLOT = 14,
    POSITION_PLAYER = 12,
    POSITION_X = 16,
    POSITION_Y = 20,
    POSITION_SLOT = 24,
    SHOT_PLAYER = 12,
    SHOT_X = 16,
    SHOT_Y = 20,
    SHOT_SLOT = 24,
    DELETE_PLAYER = 12,
    DELETE_REASON = 13,
    DELETE_SLOT = 14,
    UPDATE_BLOCK = 12,
    UPDATE_GRID_X = 13,
    UPDATE_GRID_Y = 14,
    UPDATE_STRENGTH = 16,
    UPDATE_IMPULSE_X = 20,
    UPDATE_IMPULSE_Y = 24,
    REMOVE_BLOCK = 12,
    PACK_EVENTS = 16, // the packed events follow the header and 4 bytes of padding
    CHANGE_BLOCK = 12,
    CHANGE_STRENGTH = 16,
    CHANGE_MATERIAL = 20,
    CHANGE_VARIANT = 21,
    CHANGE_IMPULSE_X = 24,
    CHANGE_IMPULSE_Y = 28,
    CHANGE_FRICTION = 32,
    CHANGE_BOUNCE = 36,
    CHANGE_TIME = 40,
    EXPLOSION_COLOUR = 12,
    EXPLOSION_KIND = 16,
    EXPLOSION_X = 20,
    EXPLOSION_Y = 24,
    EXPLOSION_SIZE = 28,
    PLAYBACK_SENDER = 12,
    ITEMS_SENDER = 12,
    ITEMS_COUNT = 13,
    ITEMS_IDS = 16,
    ITEMS_DESCRIPTIONS = 32,
    ITEMS_FILES = 48,
    ITEMS_MAX = 4,
    DROPPED_PLAYER = 12,
    DROPPED_COUNT = 13,
    DROPPED_IDS = 16
};
} // namespace MoxField

// Little-endian access; the caller keeps the offset inside its bytes.
void MoxPutI32(unsigned char* pBytes, int iOffset, int iValue);
void MoxPutF32(unsigned char* pBytes, int iOffset, float fValue);
int MoxGetI32(const unsigned char* pBytes, int iOffset);
float MoxGetF32(const unsigned char* pBytes, int iOffset);

// One event being written on the stack: zeroed, with its header and the size of its type.
struct sMoxEventBytes
{
    sMoxEventBytes(int iType, int iId, int iTimeStamp);
    void U8(int iOffset, int iValue) { m_aBytes[iOffset] = (unsigned char)iValue; }
    void I32(int iOffset, int iValue) { MoxPutI32(m_aBytes, iOffset, iValue); }
    void F32(int iOffset, float fValue) { MoxPutF32(m_aBytes, iOffset, fValue); }

    unsigned char m_aBytes[MOX_EVENT_MAX_SIZE];
    int m_iType;
    int m_iSize;
};
