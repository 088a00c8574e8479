// Pictures of a game window for the lobby-match driver: taken with XGetImage, written as
// PNG, and the checks the driver makes on them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// As Xlib declares them, without its macros (Bool, Status) in every includer.
typedef struct _XDisplay Display;
typedef unsigned long Window;

namespace lobby_match
{

// The size of each game window.
const int W = 1024, H = 600;

struct sPicture
{
    int m_iWidth = 0, m_iHeight = 0;
    std::vector<uint32_t> m_aPixels; // 0xRRGGBB

    uint32_t At(int x, int y) const { return m_aPixels[size_t(y) * size_t(m_iWidth) + size_t(x)]; }
};

struct sRect
{
    int m_iLeft = 0, m_iTop = 0, m_iRight = 0, m_iBottom = 0;
    int CentreX() const { return (m_iLeft + m_iRight) / 2; }
    int CentreY() const { return (m_iTop + m_iBottom) / 2; }
};

// The whole window; fails the step when it cannot be read.
sPicture Grab(Display* pDisplay, Window window);
// Fails the step when the file cannot be written.
void Save(const sPicture& picture, const std::string& strPath);

// Not blank: many distinct colours and none over 95% of the pixels.
bool NotBlank(const sPicture& picture);

// The mean colour distance of the pixels inside the rectangle from the most common colour
// of a band just outside it: a drawn button stands out from the page behind it.
int StandsOut(const sPicture& picture, const sRect& rect);

// The share (per thousand) of the rectangle's pixels that differ between two pictures.
int Changed(const sPicture& a, const sPicture& b, const sRect& rect);

// Where the match screen draws the scene, not its controls: below the action buttons,
// above the name bar and right of the zoom bar.
sRect SceneArea();
sRect Whole();

// The centre of the pixels near the colour within the rectangle, when there are enough.
bool FindColour(const sPicture& picture, uint32_t uColour, const sRect& area, int& iX, int& iY,
                int iMinimum = 30);

// The menu's play button, a green disc with a white arrow, covers the window's centre.
bool PlayButtonShows(const sPicture& picture);

// The lobby's pages lie on a dark blue ground that the match screen never shows.
bool LobbyPageShows(const sPicture& picture, const sRect& area);

} // namespace lobby_match
