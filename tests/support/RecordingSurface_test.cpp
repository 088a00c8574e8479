#include "support/RecordingSurface.h"

#include <gtest/gtest.h>

// The older blit names arrive as their slots, with the clip in force, and still draw.
TEST(CRecordingSurface, RecordsSlotsAndDrawsThrough)
{
    CRecordingSurface target;
    ASSERT_TRUE(target.CreateRecording(16, 16));
    CKorvelSurface source;
    SKE_SURFACEDESC desc = {};
    desc.iWidth = 4;
    desc.iHeight = 4;
    desc.eFormat = KE_SURFACE_ARGB8888;
    ASSERT_EQ(source.Create(nullptr, desc), KE_OK);
    source.Fill(0xFF00FF00u, nullptr);

    const CKorvelRect<int> rcClip(2, 2, 12, 12), rcDest(8, 8, 16, 16), rcSource(0, 0, 2, 2);
    target.SetClipRect(&rcClip);
    target.BltFast(1, 1, &source, nullptr, KE_DRAW_SRCALPHA);
    target.Blt(&rcDest, &source, &rcSource, 0);
    target.StretchBlend(static_cast<const CKorvelRect<int>*>(nullptr), &source, nullptr, 0x80FFFFFFu, 0);
    target.Fill(0xFFFF0000u, nullptr);

    const auto& calls = target.Calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].m_eCall, CRecordingSurface::CALL_SET_CLIP);
    EXPECT_EQ(calls[1].m_eCall, CRecordingSurface::CALL_DRAW);
    EXPECT_EQ(calls[1].m_rcDest.left, 1);
    EXPECT_EQ(calls[1].m_pSource, &source);
    EXPECT_EQ(calls[1].m_uFlags, KE_DRAW_SRCALPHA);
    EXPECT_FALSE(calls[1].m_bHasSource);
    EXPECT_EQ(calls[2].m_eCall, CRecordingSurface::CALL_DRAW_STRETCHED);
    EXPECT_EQ(calls[2].m_rcDest.right, 16);
    EXPECT_EQ(calls[2].m_rcSource.right, 2);
    EXPECT_EQ(calls[3].m_eCall, CRecordingSurface::CALL_DRAW_STRETCHED_BLENDED);
    EXPECT_FALSE(calls[3].m_bHasDest);
    EXPECT_EQ(calls[3].m_uColor, 0x80FFFFFFu);
    EXPECT_EQ(calls[4].m_eCall, CRecordingSurface::CALL_FILL);
    for (const auto& c : calls)
        EXPECT_EQ(c.m_rcClip.right, 12);
    EXPECT_EQ(target.CallsOf(CRecordingSurface::CALL_FILL).size(), 1u);

    // Blits honour the clip on the pixels: (1, 1) lies outside it, (3, 3) inside.
    CRecordingSurface plain;
    ASSERT_TRUE(plain.CreateRecording(16, 16));
    plain.SetClipRect(&rcClip);
    plain.BltFast(1, 1, &source, nullptr, 0);
    EXPECT_EQ(plain.GetPixelDIB(1, 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(plain.GetPixelDIB(3, 3) & 0xFFFFFF, 0x00FF00u);
    source.Shutdown();
}
