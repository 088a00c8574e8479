#include "tests/e2e/LobbyMatchPictures.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "support/TestMedia.h"
#include "tests/e2e/LobbyMatchLog.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace lobby_match
{

sPicture Grab(Display* pDisplay, Window window)
{
    sPicture picture;
    XImage* pImage = XGetImage(pDisplay, window, 0, 0, W, H, AllPlanes, ZPixmap);
    if (!pImage)
        Fail("a picture of window " + std::to_string(window));
    picture.m_iWidth = W;
    picture.m_iHeight = H;
    picture.m_aPixels.resize(size_t(W) * H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            picture.m_aPixels[size_t(y) * W + size_t(x)] = uint32_t(XGetPixel(pImage, x, y) & 0xFFFFFF);
    XDestroyImage(pImage);
    return picture;
}

void Save(const sPicture& picture, const std::string& strPath)
{
    std::vector<uint8_t> aRGBA;
    aRGBA.reserve(picture.m_aPixels.size() * 4);
    for (const uint32_t uPixel : picture.m_aPixels)
        for (const uint8_t uByte :
             {uint8_t(uPixel >> 16), uint8_t(uPixel >> 8), uint8_t(uPixel), uint8_t(255)})
            aRGBA.push_back(uByte);
    if (!WriteTestPng(strPath, picture.m_iWidth, picture.m_iHeight, aRGBA, false))
        Fail("writing " + strPath);
}

bool NotBlank(const sPicture& picture)
{
    std::map<uint32_t, size_t> counts;
    for (const uint32_t uPixel : picture.m_aPixels)
        ++counts[uPixel];
    size_t uMost = 0;
    for (const auto& count : counts)
        uMost = std::max(uMost, count.second);
    return counts.size() >= 64 && uMost * 100 <= picture.m_aPixels.size() * 95;
}

namespace
{
int Distance(uint32_t a, uint32_t b)
{
    int iSum = 0;
    for (int iShift : {0, 8, 16})
        iSum += std::abs(int((a >> iShift) & 0xFF) - int((b >> iShift) & 0xFF));
    return iSum;
}
} // namespace

int StandsOut(const sPicture& picture, const sRect& rect)
{
    const int iBand = 8;
    std::map<uint32_t, size_t> around;
    for (int y = std::max(0, rect.m_iTop - iBand); y < std::min(picture.m_iHeight, rect.m_iBottom + iBand);
         ++y)
        for (int x = std::max(0, rect.m_iLeft - iBand); x < std::min(picture.m_iWidth, rect.m_iRight + iBand);
             ++x)
            if (x < rect.m_iLeft || x >= rect.m_iRight || y < rect.m_iTop || y >= rect.m_iBottom)
                ++around[picture.At(x, y)];
    uint32_t uBackground = 0;
    size_t uMost = 0;
    for (const auto& count : around)
        if (count.second > uMost)
        {
            uMost = count.second;
            uBackground = count.first;
        }
    long long llSum = 0, llCount = 0;
    for (int y = rect.m_iTop; y < rect.m_iBottom; ++y)
        for (int x = rect.m_iLeft; x < rect.m_iRight; ++x)
        {
            llSum += Distance(picture.At(x, y), uBackground);
            ++llCount;
        }
    return llCount ? int(llSum / llCount) : 0;
}

int Changed(const sPicture& a, const sPicture& b, const sRect& rect)
{
    long long llChanged = 0, llCount = 0;
    for (int y = rect.m_iTop; y < rect.m_iBottom; ++y)
        for (int x = rect.m_iLeft; x < rect.m_iRight; ++x)
        {
            llChanged += Distance(a.At(x, y), b.At(x, y)) > 24 ? 1 : 0;
            ++llCount;
        }
    return llCount ? int(llChanged * 1000 / llCount) : 0;
}

sRect SceneArea()
{
    sRect scene;
    scene.m_iLeft = H / 16 + H / 32 + 8;
    scene.m_iTop = 3 * W / 30;
    scene.m_iRight = W;
    scene.m_iBottom = H - 3 * W / 30;
    return scene;
}

sRect Whole()
{
    sRect whole;
    whole.m_iRight = W;
    whole.m_iBottom = H;
    return whole;
}

bool FindColour(const sPicture& picture, uint32_t uColour, const sRect& area, int& iX, int& iY, int iMinimum)
{
    long long llX = 0, llY = 0, llCount = 0;
    for (int y = area.m_iTop; y < area.m_iBottom; ++y)
        for (int x = area.m_iLeft; x < area.m_iRight; ++x)
            if (Distance(picture.At(x, y), uColour) <= 30)
            {
                llX += x;
                llY += y;
                ++llCount;
            }
    if (llCount < iMinimum)
        return false;
    iX = int(llX / llCount);
    iY = int(llY / llCount);
    return true;
}

bool PlayButtonShows(const sPicture& picture)
{
    int iGreen = 0, iCount = 0;
    for (int y = H / 2 - W / 20; y < H / 2 + W / 20; ++y)
        for (int x = W / 2 - W / 20; x < W / 2 + W / 20; ++x)
        {
            const uint32_t uPixel = picture.At(x, y);
            const int r = int(uPixel >> 16), g = int((uPixel >> 8) & 0xFF), b = int(uPixel & 0xFF);
            iGreen += g > r + 40 && g > b + 40 ? 1 : 0;
            ++iCount;
        }
    return iGreen * 4 > iCount;
}

bool LobbyPageShows(const sPicture& picture, const sRect& area)
{
    long long llDark = 0, llCount = 0;
    for (int y = area.m_iTop; y < area.m_iBottom; ++y)
        for (int x = area.m_iLeft; x < area.m_iRight; ++x)
        {
            const uint32_t uPixel = picture.At(x, y);
            const int r = int(uPixel >> 16), g = int((uPixel >> 8) & 0xFF), b = int(uPixel & 0xFF);
            llDark += std::max(r, std::max(g, b)) < 100 && b >= r + 10 ? 1 : 0;
            ++llCount;
        }
    return llDark * 2 > llCount;
}

} // namespace lobby_match
