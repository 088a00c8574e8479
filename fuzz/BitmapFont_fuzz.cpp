// Outside bytes as a font description item of a media pack: read the item, build the
// font's glyph table and lay text out with it (no pages or GL).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelXMLDataNode.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "tests/support/TestPack.h"

namespace
{
void Check(bool bOk)
{
    if (!bOk)
        abort();
}

char g_szPackPath[64];

void RemovePack()
{
    unlink(g_szPackPath);
}

// One scratch pack per process, removed at exit.
const char* PackPath()
{
    if (!g_szPackPath[0])
    {
        snprintf(g_szPackPath, sizeof(g_szPackPath), "/tmp/korvel_font_fuzz_%d.kmp",
                 static_cast<int>(getpid()));
        std::atexit(RemovePack);
    }
    return g_szPackPath;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    const std::string strItem(reinterpret_cast<const char*>(pData), uSize);
    const std::string strPack = TestPackBytes({{"/f.fnt", strItem}, {"/f_0.png", "x"}});
    FILE* pFile = fopen(PackPath(), "wb");
    if (!pFile)
        return 0;
    fwrite(strPack.data(), 1, strPack.size(), pFile);
    fclose(pFile);

    CKorvelMediaPack pack;
    if (pack.Startup(CKorvelString(PackPath()), CKorvelString()) != KE_OK)
        return 0;
    CKorvelXMLDataNode root;
    {
        CKorvelMediaPackItem item;
        if (item.Open(pack, CKorvelString("f.fnt"), 0) != KE_OK ||
            root.StartupFromFile(item.GetFile(), item.GetSize()) != KE_OK)
            return 0;
    }
    CKorvelBitmapFont font;
    if (font.Startup(root) == KE_OK)
    {
        Check(font.GetCharCount() >= 1 && font.GetCharCount() <= CKorvelBitmapFont::MAX_CHARS);
        Check(font.GetPageCount() >= 1);
        // Ids above 255 are found by a linear search; checking a few of them is enough
        // (all of them would make one large count a quadratic run).
        const int iIds = font.GetCharCount() < 512 ? font.GetCharCount() : 512;
        for (int i = 0; i < iIds; ++i)
            if (const CKorvelBitmapFont::SKE_BMFONT_CHAR* pChar =
                    font.GetCharInfo(static_cast<unsigned short>(i)))
                Check(pChar->iPage >= 0 && pChar->iPage < font.GetPageCount());
        const CKorvelString strText(L"Ab c$COLOR=0xFF00FF00d\r\n\u20ac ee\tf");
        CKorvelString strOut;
        font.ScanForLineFeeds(strText, strOut, CKorvelRect<int>(0, 0, 20, 20), KE_TEXT_MULTILINE);
        Check(strOut.GetLength() == strText.GetLength());
        CKorvelRect<int> rect(0, 0, 30, 0);
        font.CalcRect(rect, strText);
        font.GetTextWidth(strText, KE_TEXT_MULTILINE);
    }
    root.Shutdown();
    font.Shutdown();
    return 0;
}
