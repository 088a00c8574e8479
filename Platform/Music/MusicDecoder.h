// One MP3 track decoded with libmpg123 and converted to device frames
// (44.1 kHz stereo, signed 16-bit).
#pragma once

#include <cstdint>
#include <vector>

#include "Platform/Audio/AudioRing.h"

struct mpg123_handle_struct;

namespace plat
{

class CMusicDecoder
{
public:
    CMusicDecoder() = default;
    ~CMusicDecoder() { Close(); }
    CMusicDecoder(const CMusicDecoder&) = delete;
    CMusicDecoder& operator=(const CMusicDecoder&) = delete;

    // False when the file cannot be opened or holds no MPEG audio.
    bool Open(const char* pszPath);
    void Close();
    bool IsOpen() const { return m_pHandle != nullptr; }

    // Appends the device frames of the next piece of the track to aOut: the
    // frame count, 0 at the end of the track, -1 when decoding failed.
    int Decode(std::vector<int16_t>& aOut);
    // Moves to the millisecond; false when the track cannot seek there.
    bool SeekMs(long long llMs);

private:
    bool ConfigureConverter();

    mpg123_handle_struct* m_pHandle = nullptr;
    CAudioConverter m_Converter;
    long m_lRate = 0;
    int m_iChannels = 0;
    std::vector<unsigned char> m_aPiece;
};

} // namespace plat
