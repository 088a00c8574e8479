// The engine's random numbers: a 15-bit linear congruential generator (0..32767,
// the range the callers were written for) whose sequences are the same on every
// machine. Each application owns one, so two applications in one process draw
// independent sequences as two devices would.
#pragma once

#include <cstdint>

class CKorvelRandom
{
public:
    enum
    {
        MAX = 32767
    };

    void Seed(unsigned int uSeed) { m_uState = uSeed; }
    int Next(); // 0..MAX

    // min + Next() % (max - min + 1): both ends included; min when max <= min.
    int Int(int iMin, int iMax);
    // min + (max - min) x Next() / 32767: both ends can come out.
    float Float(float fMin, float fMax);
    double Double(double dMin, double dMax);

private:
    uint32_t m_uState = 1;
};
