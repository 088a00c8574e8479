// The game's drawing layer over OpenGL ES 2.0: the seven shader programs, the camera,
// and one operation per kind of textured quad. Every operation is self-contained: it
// selects its program, uploads its uniforms, builds four vertices in local memory, sets
// the GL state, draws one fan and restores depth testing and writes with blending off.
//
// Sources: MoxRenderer.cpp (life cycle, world quads, water), MoxRendererScreen.cpp
// (screen quads), MoxRendererText.cpp (text with a shadow).
#pragma once

#include "Korvel3D/Korvel3DColor.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "game/MoxCamera.h"
#include "game/MoxTables.h"

class CKorvelBitmapFont;
class CKorvelSurface;
class CMoxBackgroundShader;
class CMoxBlockShader;
class CMoxFlompShader;
class CMoxQuadShader;
class CMoxScreenOverlayShader;
class CMoxScreenShader;
class CMoxWaterShader;
class CMoxWorldShader;
class CStateGame;
class IKorvelGraphicsContext;

struct BlockVertex
{
    CKorvelVector3 position;
    CKorvelVector2 uv0;
    CKorvelVector2 uv1;
    float shade;
};
static_assert(sizeof(BlockVertex) == 32, "the block program's attribute stride");

// Text flags of DrawShadowedText.
enum : unsigned int
{
    TEXT_CENTRE_X = 0x1,
    TEXT_CENTRE_Y = 0x2,
    TEXT_LEFT_HALF = 0x10,
    TEXT_LEFT_WHOLE = 0x40,
    TEXT_UP_HALF = 0x100,
    TEXT_UP_WHOLE = 0x400,
    TEXT_SCALE_THREE_QUARTERS = 0x4000,
    TEXT_SCALE_HALF = 0x8000,
    TEXT_DRAW_FLAGS = 0x80180 // what the font is asked to do
};

class CMoxRenderer
{
public:
    enum
    {
        BLOCK_VERTEX_COUNT = 16,
        BLOCK_STORE_BLOCKS = 255,
        VERTEX_BUFFER_BYTES = 20400,
        INDEX_BUFFER_BYTES = 3060
    };

    CMoxRenderer();
    ~CMoxRenderer();

    void Startup(CStateGame* pGame);
    void initialize();
    void createShaders();
    void clean();
    void Update(float fSeconds);
    IKorvelGraphicsContext* GetGraphicsContext();
    // The screen in pixels (the root state's screen changes).
    void SetScreenSize(float fWidth, float fHeight);
    float GetScreenWidth() const { return m_Camera.m_vScreenSize.x; }
    float GetScreenHeight() const { return m_Camera.m_vScreenSize.y; }

    void BeginRender();
    void EndRender();

    void renderWorldQuad(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvelSurface* pSurface,
                         const CKorvel3DColor& colour);
    void renderWorldAnimation(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvel3DColor colour,
                              int iColumn, int iRow, int iColumns, int iRows, CKorvelSurface* pSurface);
    void renderBackgroundQuad(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvelSurface* pSurface,
                              const CKorvel3DColor& colour, unsigned int uBlendAlpha);
    void renderStretch(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvel3DColor colour,
                       CKorvelVector2 stretch, CKorvelSurface* pSurface);
    void renderWobble(CKorvelVector2 position, CKorvelVector2 halfSize, CKorvel3DColor colour, int iRow,
                      int iColumn, int iColumns, int iRows, float fAmount, CKorvelSurface* pSurface);
    void renderScreenQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvelSurface* pSurface,
                          const CKorvel3DColor& colour);
    void renderScreenAnimation(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour,
                               int iColumn, int iRow, int iColumns, int iRows, CKorvelSurface* pSurface);
    void renderScreenRotation(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour,
                              int iColumn, int iRow, int iColumns, int iRows, float fAngle,
                              CKorvelSurface* pSurface);
    void renderScreenWobble(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour, int iRow,
                            int iColumn, int iColumns, int iRows, float fAmount, CKorvelSurface* pSurface);
    void renderScreenOverlayAnimation(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvel3DColor colour,
                                      int iColumn, int iRow, int iCount, CKorvelSurface* pSurface);
    void renderScreenParticle(CKorvelVector2 centre, CKorvelVector2 halfSize, float fAngle,
                              CKorvelSurface* pSurface, const CKorvel3DColor& colour);
    // Mode 0 on the match screen, 1 in the editor.
    void renderWater(unsigned int uMode);

    void DrawShadowedText(const CKorvelRect<int>& rect, const CKorvelString& strText, unsigned int uColour,
                          unsigned int uFlags, GAME_FONT eFont);
    void DrawShadowedText(int x, int y, const CKorvelString& strText, unsigned int uColour,
                          unsigned int uFlags, GAME_FONT eFont);
    // The width of the text on one line in the font at its scale; 0 without the font.
    int TextWidth(const CKorvelString& strText, GAME_FONT eFont);
    // The size DrawShadowedText at a point gives the text, wrapped as it wraps it; 0 x 0 without the font.
    void WrappedTextSize(const CKorvelString& strText, GAME_FONT eFont, int& iWidth, int& iHeight,
                         unsigned int uFlags = 0);
    void DrawFasterShadowedText(int, int, const CKorvelString&, const CKorvel3DColor&, const CKorvel3DColor&,
                                unsigned int, CKorvelBitmapFont*)
    {
    }

    CMoxWaterShader* m_pWaterShader;
    CMoxBlockShader* m_pBlockShader;
    CMoxFlompShader* m_pFlompShader;
    CMoxScreenShader* m_pScreenShader;
    CMoxScreenOverlayShader* m_pScreenOverlayShader;
    CMoxWorldShader* m_pWorldShader;
    CMoxBackgroundShader* m_pBackgroundShader;
    CCamera m_Camera;
    float m_fTime; // seconds since construction; drives the water
    BlockVertex m_BlockVertices[BLOCK_VERTEX_COUNT];
    // The vertices of one batch of the scene's blocks, 16 per block.
    BlockVertex m_BlockStore[BLOCK_STORE_BLOCKS * BLOCK_VERTEX_COUNT];
    CStateGame* m_pGame;
    unsigned char* m_pVertexBuffer; // room for 255 quads; not filled by these operations
    unsigned char* m_pIndexBuffer;

    // One vertex of a quad: position and texture coordinate.
    struct sQuadVertex
    {
        float x, y, z, u, v;
    };
    // Frame (column, row) of a columns x rows sheet: u0, v0, u1, v1.
    static void FrameUV(int iColumn, int iRow, int iColumns, int iRows, float afUV[4]);
    // A remainder that is never negative.
    static int Wrap(int iValue, int iCount);

private:
    // Where text drawn at a point wraps: a share of the drawing target's width.
    static int WrapWidth(IKorvelGraphicsContext* pTarget, IKorvelGraphicsContext* pExtension);
    enum eBLEND
    {
        BLEND_PREMULTIPLIED,
        BLEND_BY_ALPHA,
        BLEND_ADDITIVE,
        BLEND_MULTIPLY_TWICE, // by alpha, then (DST_COLOR, SRC_COLOR)
        BLEND_BACKGROUND,     // (ONE, ONE_MINUS_SRC_ALPHA) for colour, alpha kept
        BLEND_BACKGROUND_ALPHA
    };
    enum : unsigned int
    {
        FILTER_NONE = 0,
        FILTER_LINEAR_MIN = 1,
        FILTER_LINEAR_BOTH = 3
    };
    // False when the surface or the program is missing: nothing may be touched then.
    static bool CanDraw(const CMoxQuadShader* pShader, const CKorvelSurface* pSurface);
    void DrawQuad(CMoxQuadShader* pShader, const sQuadVertex* pVertices, CKorvelSurface* pSurface,
                  const CKorvel3DColor& colour, eBLEND eBlend, unsigned int uFilters);
    static void SetBlend(eBLEND eBlend, const CKorvel3DColor& colour);
    // Centre and half size in pixels to device coordinates.
    void ScreenToDevice(CKorvelVector2 centre, CKorvelVector2 halfSize, CKorvelVector2& vCentre,
                        CKorvelVector2& vHalf) const;
    void ScreenFrameQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, const float afUV[4], float fTopScale,
                         float fZ, sQuadVertex aQuad[4]) const;
    void RotatedScreenQuad(CKorvelVector2 centre, CKorvelVector2 halfSize, float fAngle, const float afUV[4],
                           sQuadVertex aQuad[4]) const;
    static void WorldQuad(CKorvelVector2 position, CKorvelVector2 halfSize, const float afUV[4],
                          float fTopScale, sQuadVertex aQuad[4]);
    CKorvelBitmapFont* GameFont(GAME_FONT eFont);

    CMoxRenderer(const CMoxRenderer&) = delete;
    CMoxRenderer& operator=(const CMoxRenderer&) = delete;
};
