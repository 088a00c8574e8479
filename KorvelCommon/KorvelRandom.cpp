#include "KorvelCommon/KorvelRandom.h"

int CKorvelRandom::Next()
{
    m_uState = m_uState * 1103515245u + 12345u;
    return static_cast<int>((m_uState >> 16) & MAX);
}

int CKorvelRandom::Int(int iMin, int iMax)
{
    if (iMax <= iMin)
        return iMin;
    long long llRange = static_cast<long long>(iMax) - iMin + 1;
    return static_cast<int>(iMin + Next() % llRange);
}

float CKorvelRandom::Float(float fMin, float fMax)
{
    return fMin + (fMax - fMin) * static_cast<float>(Next()) / 32767.0f;
}

double CKorvelRandom::Double(double dMin, double dMax)
{
    return dMin + (dMax - dMin) * static_cast<double>(Next()) / 32767.0;
}
