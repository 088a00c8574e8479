// Encoded sound files made at test time: Ogg Vorbis through libvorbisenc and
// MP3 through the lame command.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Encodes interleaved float samples (nominally -1..1) as one Ogg Vorbis stream.
// Empty on failure.
std::vector<uint8_t> EncodeTestOgg(int iChannels, int iRate, const std::vector<float>& aSamples,
                                   int iSerial = 1, float fQuality = 0.4f);

// iFrames frames of a sine of fHz at fAmplitude, the same in every channel.
std::vector<float> TestSine(int iChannels, int iRate, int iFrames, float fHz, float fAmplitude);
std::vector<int16_t> TestSine16(int iChannels, int iRate, int iFrames, float fHz, float fAmplitude);

// A sine of fSeconds as an MP3 file (lame, constant bit rate). False on failure.
bool WriteTestMp3(const std::string& strPath, int iChannels, int iRate, float fSeconds, float fHz,
                  float fAmplitude = 0.5f);

// The largest absolute sample.
int TestPeak(const std::vector<int16_t>& aSamples);
