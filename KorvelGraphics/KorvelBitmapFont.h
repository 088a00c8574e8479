// Bitmap fonts: text drawn from pre-rendered glyph pages. A font is an XML description
// (".fnt": line height, page images, one record per glyph) and its page images; loading
// makes a GL texture per page and four vertices per glyph, and layout draws text into
// a rectangle of a GL target or a software surface. The same class holds the cache of
// the platform-rendered text path (which renders nothing on this platform).
//
// Sections: records - life cycle and loading - queries - layout and drawing -
// platform-rendered text - loading helpers - fields.
// Sources: KorvelBitmapFont.cpp (description, lookup, queries, Shutdown),
// KorvelBitmapFontLoad.cpp (pages, textures, vertices, built-in font, Release/Restore),
// KorvelBitmapFontLayout.cpp (tags, wrapping, measuring), KorvelBitmapFontDraw.cpp (GL),
// KorvelBitmapFontSurface.cpp (software surfaces), KorvelBitmapFontOS.cpp (text cache),
// KorvelBitmapFontDefaultData.cpp (the built-in font's generated glyphs and page).
#pragma once

#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelMath.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvel3DProgram;
class CKorvelMediaPack;
class CKorvelSurface;
class CKorvelXMLDataNode;
class IKorvelApplication;
class IKorvelGraphicsContext;
struct SKE_SURFACEDESC;

// Text flags; they share the word with the draw flags (0x10 no clipping, 0x80 blend,
// 0x100 and 0x200 centring) that text drawing also reads.
enum : unsigned int
{
    KE_TEXT_RIGHT = 0x40000,         // align every line to the right edge
    KE_TEXT_MULTILINE = 0x80000,     // wrap at blanks and tabs; line breaks start new lines
    KE_TEXT_MEASURE = 0x100000,      // platform-rendered text: measure only
    KE_TEXT_NOTAGS = 0x400000,       // draw "$COLOR=0x" tags as text
    KE_TEXT_RIGHT_TO_LEFT = 0x800000 // no effect on bitmap text
};

// Loader flags.
enum : unsigned int
{
    KE_FONT_RGBA_PAGES = 1 // page textures keep the image's colours (second text program)
};

class CKorvelBitmapFont : public CKorvelID
{
public:
    // --- records ---
    // One glyph: the code unit it draws, its rectangle on its page, where that rectangle
    // goes relative to the pen, the pen advance, the page, an unread value and its own index.
    struct SKE_BMFONT_CHAR
    {
        int iId;
        int iX, iY, iWidth, iHeight;
        int iXOffset, iYOffset, iXAdvance;
        int iPage;
        int iUnused;
        int iIndex;
    };

    struct SKE_BMFONT_IMAGE
    {
        CKorvelString strFile;
        unsigned char* pBits; // coverage bytes (blue channel), width x height
        int iWidth, iHeight;
        CKorvelSurface* pSurface; // owned, kept for Restore
        unsigned int uTexture;    // 0 when none
    };

    struct SKE_BMFONT_VERTEX
    {
        float x, y, u, v;
    };

    enum
    {
        MAX_BATCH_GLYPHS = 64,
        MAX_CHARS = 65536, // a description asking for more glyphs is cut to this many
        TAG_LENGTH = 17,   // "$COLOR=0x" and eight hex digits
        // A description's line height and glyph offsets and advances are cut to this many
        // pixels (either way): no page is that large, and layout sums stay in range.
        MAX_METRIC = 1 << 15,
        // Pen positions and line widths stop this far out, however long the text.
        MAX_PEN = 1 << 24
    };

    // A GL batch (up to 64 glyphs of one page and colour) or, on software targets, one glyph.
    struct SKE_TEXT_BATCH
    {
        const SKE_BMFONT_CHAR* pGlyph; // software: the glyph (GL: null)
        unsigned int uColor;
        const unsigned char* pCoverage; // software: first coverage byte of the (clipped) glyph
        int iX, iY, iWidth, iHeight;    // software: where the glyph goes
        int iGlyphs;
        unsigned int uTexture;
        float afVertices[MAX_BATCH_GLYPHS * 4 * 6]; // x, y, u, v, offset x, offset y
        unsigned short auIndices[MAX_BATCH_GLYPHS * 6];
    };

    // One laid-out draw. The batches belong to whoever supplied the record.
    struct SKE_PRERENDERED_TEXT
    {
        IKorvelGraphicsContext* pTarget = nullptr;
        unsigned int uZero = 0;
        unsigned int uColor = 0;
        CKorvelRect<int> rcClip;
        unsigned int uFlags = 0;
        CKorvelTypedPtrArray<SKE_TEXT_BATCH> aBatches;

        // Deletes the batches and empties the list.
        void DeleteBatches();
    };

    struct CACHE_ITEM
    {
        CKorvelString strText;
        CKorvelRect<int> rcRect;
    };

    // --- life cycle and loading ---
    CKorvelBitmapFont();
    // Frees the two lists' storage only: owners call Shutdown first.
    virtual ~CKorvelBitmapFont();
    static CKorvelBitmapFont* New() { return new CKorvelBitmapFont; }

    KE_RETVAL Startup(IKorvelApplication* pApp, CKorvelMediaPack& pack, const CKorvelString& strName,
                      unsigned int uFlags);
    KE_RETVAL Startup(IKorvelApplication* pApp, const CKorvelString& strPath, unsigned int uFlags);
    // The built-in font "default-font"; stops silently at the first failure.
    void Startup(IKorvelApplication* pApp);
    // Reads a parsed description (no pages loaded).
    KE_RETVAL Startup(CKorvelXMLDataNode& root);
    void Shutdown();
    // Before the GL context goes: drops vertices and textures, keeps glyphs and pages.
    void Release();
    // After it is back: remakes the textures (as loaded) and the vertices.
    void Restore();

    // --- queries ---
    const SKE_BMFONT_CHAR* GetCharInfo(unsigned short uUnit) const;
    unsigned int GetLineHeight() const { return static_cast<unsigned int>(m_uLineHeight * m_fScale); }
    void SetFontScale(float fScale) { m_fScale = fScale; }
    float GetFontScale() const { return m_fScale; }
    int IsWhitespace(unsigned short uUnit) const { return uUnit < 33 ? 1 : 0; }
    int HasUnknownChars(const CKorvelString& strText) const;
    static int SupportsOsRendering() { return 0; }
    int GetCharCount() const { return m_iCharCount; }
    int GetPageCount() const { return m_aPages.GetCount(); }
    const SKE_BMFONT_IMAGE* GetPage(int i) const { return m_aPages[i]; }
    const SKE_BMFONT_VERTEX* GetVertices() const { return m_pVertices; }
    CKorvel3DProgram* GetProgram() const { return m_pProgram; }
    int GetBold() const { return m_iBold; }
    int IsInTextMode() const { return m_bTextMode; }

    // --- layout and drawing ---
    void DrawText(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target, const CKorvelString& strText,
                  unsigned int uColor, unsigned int uFlags, SKE_PRERENDERED_TEXT* pRecord);
    void DrawText(const CKorvelRect<float>& rect, IKorvelGraphicsContext& target,
                  const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                  SKE_PRERENDERED_TEXT* pRecord);
    // Lays out in (x, y, target width, target height).
    void DrawText(int x, int y, IKorvelGraphicsContext& target, const CKorvelString& strText,
                  unsigned int uColor, unsigned int uFlags, SKE_PRERENDERED_TEXT* pRecord);
    void DrawText(const CKorvelVector2& pos, IKorvelGraphicsContext& target, const CKorvelString& strText,
                  unsigned int uColor, unsigned int uFlags, SKE_PRERENDERED_TEXT* pRecord);
    void DrawTextPrerendered(const SKE_PRERENDERED_TEXT& record);
    // Wraps to the rectangle's width from its left and top; sets its right and bottom.
    void CalcRect(CKorvelRect<int>& rect, const CKorvelString& strText) const;
    int GetTextWidth(const CKorvelString& strText, unsigned int uFlags) const;
    void BeginText(IKorvelGraphicsContext& target);
    void EndText(IKorvelGraphicsContext& target);

    // Layout steps.
    // 16 when a colour tag starts at iIndex (its colour into *puColor when given), else 0.
    int ParseTextTags(const CKorvelString& strText, int iIndex, unsigned int* puColor) const;
    void ScanForLineFeeds(const CKorvelString& strIn, CKorvelString& strOut, const CKorvelRect<int>& rect,
                          unsigned int uFlags) const;
    void GetNextLine(const CKorvelString& strText, int iStart, CKorvelString& strOut) const;
    void DrawTextToGLES2(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target,
                         const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                         SKE_PRERENDERED_TEXT& record);
    void DrawTextToSurface(const CKorvelRect<int>& rect, CKorvelSurface& target, const CKorvelString& strText,
                           unsigned int uColor, unsigned int uFlags, SKE_PRERENDERED_TEXT& record);
    void DrawTextToDX9() {}

    // --- platform-rendered text ---
    static int IsArabicText(const CKorvelString& strText);
    int CreateFontOS(const CKorvelString& strName, unsigned int uSize, const CKorvelString& strStyle);
    int ComputeTextAreaOS(CKorvelSurface& surface, CKorvelRect<int>& rect, const CKorvelString& strFont,
                          unsigned int uSize, const CKorvelString& strText, unsigned int uFlags);
    void DrawTextAdvanced(CKorvelSurface& surface, CKorvelRect<int>& rect, const CKorvelString& strFont,
                          unsigned int uStyle, unsigned int uSize, const CKorvelString& strText,
                          unsigned int uColor, unsigned int uFlags);
    void PreprocessTextOS(const CKorvelString& strText, CKorvelString& strOut);
    void PostprocessTextOS(const SKE_SURFACEDESC& desc, void* pPixels, int iPitch,
                           const CKorvelRect<int>& rect);
    void InitCache(int iWidth, int iHeight);
    void ClearCache();
    int DrawFromCache(IKorvelGraphicsContext& target, CKorvelRect<int>& rect, const CKorvelString& strText,
                      unsigned int uColor, unsigned int uFlags);
    void DrawCacheItem(IKorvelGraphicsContext& target, const CACHE_ITEM& item, const CKorvelRect<int>& rect,
                       unsigned int uColor, unsigned int uFlags);
    int DrawText_OS(IKorvelGraphicsContext& target, CKorvelRect<int>& rect, const CKorvelString& strFont,
                    unsigned int uSize, const CKorvelString& strText, unsigned int uColor,
                    unsigned int uFlags);
    unsigned int GetOsFontSize() const { return m_uOsFontSize; }
    int GetCacheCount() const { return m_aCache.GetCount(); }
    CKorvelSurface* GetCacheSurface() const { return m_pCacheSurface; }

    // --- loading helpers ---
    void BuildLookupTable();
    KE_RETVAL LoadFontImages(CKorvelMediaPack* pPack, unsigned int uFlags);
    // Sizes the page from the surface, keeps its coverage bytes and makes its texture.
    KE_RETVAL SurfaceToBits(CKorvelSurface& surface, SKE_BMFONT_IMAGE* pPage, unsigned int uFlags);
    KE_RETVAL BuildFontVertices(unsigned int uFlags);

private:
    CKorvelBitmapFont(const CKorvelBitmapFont&) = delete;
    CKorvelBitmapFont& operator=(const CKorvelBitmapFont&) = delete;

    // The pen walking a laid-out text: the wrapped text, the line it is on and its position.
    struct sPen
    {
        CKorvelString strWrapped, strLine;
        int x, y;
    };

    SKE_BMFONT_IMAGE* PageAt(int i) const { return m_aPages[i]; }
    // A pen position or line width moved by a step, held within MAX_PEN.
    static int PenStep(int iAt, long long llBy);
    // Fills the record's head (target, colour, flags, clip) and puts the pen at the start of
    // the first line; the first glyph's x offset is scaled on GL targets only.
    void StartLayout(const CKorvelRect<int>& rect, IKorvelGraphicsContext& target,
                     const CKorvelString& strText, unsigned int uColor, unsigned int uFlags,
                     SKE_PRERENDERED_TEXT& record, sPen& pen, bool bScaledOffset) const;
    // 1 when unit i of the wrapped text is a line break; with multi-line the pen moves to
    // the next line (a carriage return before a line feed is the same break).
    int StepLineBreak(sPen& pen, int i, const CKorvelRect<int>& rect, unsigned int uFlags) const;
    // Where the pen starts a line: left, right-aligned or centred.
    int LineStartX(const CKorvelRect<int>& rect, const CKorvelString& strLine, unsigned int uFlags) const;
    // The first pen y: the top, or the block centred vertically.
    int TextStartY(const CKorvelRect<int>& rect, const CKorvelString& strWrapped, unsigned int uFlags) const;
    void DrawBatchesGL(const SKE_PRERENDERED_TEXT& record);
    void DrawGlyphsToSurface(const SKE_PRERENDERED_TEXT& record);
    void FreePages();

    // --- fields ---
    IKorvelApplication* m_pApp;
    CKorvelTypedPtrArray<SKE_BMFONT_IMAGE> m_aPages;
    int m_iBold;
    unsigned int m_uLineHeight;
    int m_iCharCount;
    SKE_BMFONT_CHAR* m_pChars;
    SKE_BMFONT_CHAR** m_ppLookup; // 256 entries, or null
    int m_bTextMode;
    SKE_BMFONT_VERTEX* m_pVertices;
    float m_fScale;
    CKorvel3DProgram* m_pProgram;
    CKorvelTypedPtrArray<CACHE_ITEM> m_aCache;
    CKorvelSurface* m_pCacheSurface;
    unsigned int m_uOsFontSize;
    unsigned int m_uLoadFlags; // Restore makes the textures the way they were loaded
};
