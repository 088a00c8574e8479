// img_resize_fs: separable resampling of 32-bit B, G, R, A images. A side that shrinks
// is box-filtered (each output pixel averages the source area it covers), a side that
// grows is interpolated bilinearly between pixel centres. Colour is weighted by alpha
// (resampled premultiplied, divided again at the end), so fully transparent pixels,
// whatever colour they store, do not tint the result.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "Platform/Common/ImageDecoders.h"

namespace plat
{

namespace
{

// The source pixels that make one output pixel on one side, and their weights.
struct sTAPS
{
    unsigned int m_uFirst;
    std::vector<float> m_aWeights;
};

std::vector<sTAPS> MakeTaps(unsigned int uSrc, unsigned int uDst)
{
    std::vector<sTAPS> aTaps(uDst);
    const double dScale = double(uSrc) / uDst;
    for (unsigned int i = 0; i < uDst; ++i)
    {
        sTAPS& taps = aTaps[i];
        if (uDst <= uSrc)
        {
            const double dLo = i * dScale, dHi = (i + 1) * dScale;
            taps.m_uFirst = unsigned(dLo);
            const unsigned int uEnd = std::min(uSrc, unsigned(std::ceil(dHi)));
            for (unsigned int j = taps.m_uFirst; j < uEnd; ++j)
                taps.m_aWeights.push_back(
                    float((std::min(dHi, j + 1.0) - std::max(dLo, double(j))) / dScale));
        }
        else
        {
            const double dPos = std::min(double(uSrc - 1), std::max(0.0, (i + 0.5) * dScale - 0.5));
            taps.m_uFirst = unsigned(dPos);
            const float fFrac = float(dPos - taps.m_uFirst);
            taps.m_aWeights.push_back(1.0f - fFrac);
            if (fFrac > 0.0f)
                taps.m_aWeights.push_back(fFrac);
        }
    }
    return aTaps;
}

// One source row resampled across, premultiplied, as 4 floats per output pixel. The
// last two rows made are kept: neighbouring output rows share their source rows.
class CRowCache
{
public:
    CRowCache(const img_t& src, const std::vector<sTAPS>& aTapsX)
        : m_Src(src), m_aTapsX(aTapsX), m_aiRow{-1, -1}, m_iOlder(0)
    {
        for (auto& aRow : m_aRows)
            aRow.resize(aTapsX.size() * 4);
    }

    const std::vector<float>& Get(unsigned int uRow)
    {
        for (int k = 0; k < 2; ++k)
            if (m_aiRow[k] == int(uRow))
                return m_aRows[k];
        const int k = m_iOlder;
        m_iOlder = 1 - k;
        m_aiRow[k] = int(uRow);
        Resample(m_Src.data + size_t(uRow) * m_Src.w * 4, m_aRows[k]);
        return m_aRows[k];
    }

private:
    void Resample(const unsigned char* pRow, std::vector<float>& aOut) const
    {
        for (size_t x = 0; x < m_aTapsX.size(); ++x)
        {
            float afSum[4] = {0, 0, 0, 0};
            const sTAPS& taps = m_aTapsX[x];
            for (size_t t = 0; t < taps.m_aWeights.size(); ++t)
            {
                const unsigned char* p = pRow + size_t(taps.m_uFirst + t) * 4;
                const float fAlphaWeight = taps.m_aWeights[t] * p[3] / 255.0f;
                for (int c = 0; c < 3; ++c)
                    afSum[c] += fAlphaWeight * p[c];
                afSum[3] += taps.m_aWeights[t] * p[3];
            }
            std::copy(afSum, afSum + 4, &aOut[x * 4]);
        }
    }

    const img_t& m_Src;
    const std::vector<sTAPS>& m_aTapsX;
    std::vector<float> m_aRows[2];
    int m_aiRow[2];
    int m_iOlder;
};

unsigned char ToByte(float f)
{
    return static_cast<unsigned char>(std::min(255.0f, std::max(0.0f, f + 0.5f)));
}

} // namespace

int img_resize_fs(const img_t* pSrc, img_t* pDst)
{
    if (!pSrc || !pDst)
        return IMG_ERR_PARM;
    pDst->data = nullptr;
    if (!pSrc->data || !IsImageSizeAccepted(pSrc->w, pSrc->h))
        return IMG_ERR_PARM;
    const unsigned int uW = pDst->w ? pDst->w : pSrc->w;
    const unsigned int uH = pDst->h ? pDst->h : pSrc->h;
    if (!IsImageSizeAccepted(uW, uH))
        return IMG_ERR_TOOBIG;

    unsigned char* pOut = static_cast<unsigned char*>(malloc(size_t(uW) * uH * 4));
    if (!pOut)
        return IMG_ERR_MEM;
    try
    {
        const std::vector<sTAPS> aTapsX = MakeTaps(pSrc->w, uW);
        const std::vector<sTAPS> aTapsY = MakeTaps(pSrc->h, uH);
        CRowCache cache(*pSrc, aTapsX);
        std::vector<float> aSum(size_t(uW) * 4);
        for (unsigned int y = 0; y < uH; ++y)
        {
            std::fill(aSum.begin(), aSum.end(), 0.0f);
            const sTAPS& taps = aTapsY[y];
            for (size_t t = 0; t < taps.m_aWeights.size(); ++t)
            {
                const std::vector<float>& aRow = cache.Get(taps.m_uFirst + unsigned(t));
                for (size_t i = 0; i < aSum.size(); ++i)
                    aSum[i] += taps.m_aWeights[t] * aRow[i];
            }
            unsigned char* pRow = pOut + size_t(y) * uW * 4;
            for (unsigned int x = 0; x < uW; ++x)
            {
                const float* pSum = &aSum[size_t(x) * 4];
                const unsigned char uAlpha = ToByte(pSum[3]);
                for (int c = 0; c < 3; ++c)
                    pRow[x * 4 + c] = uAlpha ? ToByte(pSum[c] * 255.0f / pSum[3]) : 0;
                pRow[x * 4 + 3] = uAlpha;
            }
        }
    }
    catch (const std::bad_alloc&)
    {
        free(pOut);
        return IMG_ERR_MEM;
    }
    pDst->w = uW;
    pDst->h = uH;
    pDst->format = pSrc->format;
    pDst->data = pOut;
    return IMG_ERR_OK;
}

} // namespace plat
