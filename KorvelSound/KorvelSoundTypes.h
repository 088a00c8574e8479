// Records shared by the sound engine, its buffers, sources and loaders.
#pragma once

#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelString.h"

// PCM format. Samples are unsigned 8-bit (silence 128) or signed 16-bit
// little-endian (silence 0), interleaved when stereo.
struct SKE_WAVEFORMAT
{
    unsigned int uChannels;
    unsigned int uSamplesPerSec;
    unsigned int uBitsPerSample;
    unsigned int uBlockAlign; // bits x channels / 8
};

// 3D parameters of a buffer. The mixer uses the distances, the Doppler factor,
// the position and the velocity; cone and orientation are only kept.
struct SKE_SOUND3DPARAMETERS
{
    float fMinDistance;
    float fMaxDistance;
    float fDopplerFactor;
    unsigned int uConeInsideAngle;  // degrees
    unsigned int uConeOutsideAngle; // degrees
    int iConeOutsideVolume;
    CKorvelVector3 vPosition; // relative to the listener
    CKorvelVector3 vVelocity; // in the listener's axes
    CKorvelVector3 vOrientation;
};
static_assert(sizeof(SKE_SOUND3DPARAMETERS) == 60, "the 3D record is copied whole");

enum eKET_SOUNDNOTIFY
{
    eKET_SOUNDNOTIFY_POSITION = 0,
    eKET_SOUNDNOTIFY_STOPPED = 1,
    eKET_SOUNDNOTIFY_STARTED = 2
};

// An output device as GetSoundDevices lists it.
struct SKE_DEVICE
{
    CKorvelString strName;
    unsigned int auData[6] = {0, 0, 0, 0, 0, 0};
};

// Limits of a buffer's playback rate.
const unsigned int KE_SOUND_MIN_FREQUENCY = 1000;
const unsigned int KE_SOUND_MAX_FREQUENCY = 88200;

inline unsigned int KorvelClampFrequency(unsigned int uHz)
{
    return uHz < KE_SOUND_MIN_FREQUENCY ? KE_SOUND_MIN_FREQUENCY
                                        : (uHz > KE_SOUND_MAX_FREQUENCY ? KE_SOUND_MAX_FREQUENCY : uHz);
}
