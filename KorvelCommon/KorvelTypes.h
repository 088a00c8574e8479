// Result codes shared by the engine, the framework and the game.
#pragma once

typedef int KE_RETVAL;

enum : KE_RETVAL
{
    KE_OK = 1,
    KE_ERR_INVALIDARG = 2,
    KE_ERR_NOTSTARTED = 3, // not started, or no data
    KE_ERR_BADDATA = 4,    // bad data or format
    KE_ERR_NOTSUPPORTED = 6,
    KE_ERR_OUTOFMEMORY = 7,
    KE_ERR_NOTFOUND = 8,
    KE_ERR_DEVICE = 9, // a platform device call failed
    KE_ERR_FILEOPEN = 10,
    KE_ERR_DECODE = 11,  // unsupported format or failed decoding
    KE_ERR_LOCKED = 1000 // a sound buffer is already locked
};
