// Reading what SDL's "disk" audio driver wrote: raw 16-bit stereo frames.
#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/ScopedEnv.h"
#include "support/TestMedia.h"
#include "support/TestTempDir.h"
#include "support/WaitLimit.h"

// Points SDL's audio at the disk driver, writing into a file of a fresh directory,
// for the lifetime of the object (devices opened meanwhile).
class CDiskAudioOutput
{
public:
    CDiskAudioOutput()
        : m_File(m_Dir.File("audio.raw")), m_Driver("SDL_AUDIODRIVER", "disk"),
          m_Path("SDL_DISKAUDIOFILE", m_File.c_str())
    {
    }
    const std::string& File() const { return m_File; }

private:
    CTestTempDir m_Dir;
    std::string m_File;
    CScopedEnv m_Driver;
    CScopedEnv m_Path;
};

// The samples of every frame that is not silent in both channels. The device
// plays silence before the first write and whenever its writer falls behind
// (a loaded machine), so tests compare sounds without zero frames.
inline std::vector<int16_t> ReadDiskAudioWithoutSilence(const std::string& strPath)
{
    const std::vector<uint8_t> aBytes = ReadTestFile(strPath);
    std::vector<int16_t> aOut;
    for (size_t i = 0; i + 4 <= aBytes.size(); i += 4)
    {
        const int16_t iLeft = static_cast<int16_t>(aBytes[i] | (aBytes[i + 1] << 8));
        const int16_t iRight = static_cast<int16_t>(aBytes[i + 2] | (aBytes[i + 3] << 8));
        if (iLeft != 0 || iRight != 0)
        {
            aOut.push_back(iLeft);
            aOut.push_back(iRight);
        }
    }
    return aOut;
}

// Waits until the file holds at least iSamples non-silent samples (the driver
// writes in real time), for at most iTimeoutMs.
inline std::vector<int16_t> WaitForDiskAudio(const std::string& strPath, size_t iSamples,
                                             int iTimeoutMs = TEST_WAIT_LIMIT_MS)
{
    std::vector<int16_t> aOut = ReadDiskAudioWithoutSilence(strPath);
    for (int i = 0; i < iTimeoutMs / 20 && aOut.size() < iSamples; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        aOut = ReadDiskAudioWithoutSilence(strPath);
    }
    return aOut;
}
