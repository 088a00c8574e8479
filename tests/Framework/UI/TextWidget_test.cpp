#include "Framework/Shell/VornLanguage.h"
#include "Framework/Shell/VornStatistics.h"
#include "Framework/UI/TextWidget.h"
#include "KorvelGraphics/KorvelBitmapFont.h"
#include "KorvelInput/KorvelTextInput.h"
#include "support/PointerSequence.h"
#include "support/RecordingSurface.h"
#include "support/TestShellPacks.h"
#include "support/TestText.h"
#include "support/TestVornApplication.h"
#include "support/TestWorkingDir.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace text_widget_test
{
typedef CKorvelRect<int> Rect;

const unsigned int RED = 0xFFFF0000;
const unsigned int GREEN = 0xFF00FF00;

KE_RETVAL CountCall(::CWidget*, void* pContext)
{
    ++*static_cast<int*>(pContext);
    return KE_OK;
}

// A widget that takes presses and counts them.
class CPressCounter : public ::CWidget
{
public:
    int mouseButton(unsigned int, int, int) override { return ++m_iPresses; }
    int m_iPresses = 0;
};

// Named after the class under test; the class itself is ::CTextWidget here.
class CTextWidget : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::CWidget::SetActiveWidget(nullptr);
        m_App.StartResourcesOnly();
        m_App.m_pStatistics = &m_Statistics;
        m_App.m_pLanguage = &m_Language;
        CTestWorkingDir::Put(
            m_App.AppFile("vornlanguage_en.kmp"),
            TestLanguagePackBytes("English", "en", {"t0", "t1", "Your name", "t3", "t4", "Label"}));
        ASSERT_EQ(m_Language.Startup(&m_App, CKorvelString("vornlanguage")), KE_OK);
        m_pRoot.reset(new ::CWidget);
        m_pRoot->Startup(&m_App, &m_App, Rect(0, 0, 200, 100));
    }
    void TearDown() override
    {
        m_pRoot.reset();
        m_Language.Shutdown();
        ::CWidget::SetActiveWidget(nullptr);
    }
    // A text widget in the default font under the root.
    ::CTextWidget* Text(const Rect& area)
    {
        ::CTextWidget* p = new ::CTextWidget;
        CKorvelBitmapFont* pFont = m_App.GetFont(CKorvelString("default"));
        p->Startup(&m_App, &m_App, area, pFont);
        m_App.ReleaseFont(pFont);
        p->SetOnChanged(CActionCallback(CountCall, &m_iChanged));
        p->SetOnFinished(CActionCallback(CountCall, &m_iFinished));
        m_pRoot->AddWidget(p);
        return p;
    }
    // Pixels of the target inside rect that are mostly of the one channel argb has (the
    // glyphs' edges blend into the black background).
    static int PixelsOf(CRecordingSurface& target, const Rect& rect, unsigned int argb)
    {
        int iCount = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
            {
                const unsigned int p = target.GetPixelDIB(x, y);
                bool bMatch = true;
                for (int iShift = 0; iShift < 24; iShift += 8)
                {
                    const unsigned int uHave = (p >> iShift) & 0xFF, uWant = (argb >> iShift) & 0xFF;
                    bMatch = bMatch && (uWant ? uHave > 0x80 : uHave < 0x40);
                }
                iCount += bMatch ? 1 : 0;
            }
        return iCount;
    }
    static void Clear(CRecordingSurface& target)
    {
        target.Fill(0xFF000000u, static_cast<const Rect*>(nullptr));
    }
    // Opens the keyboard the way a finger does: a press and a release on the widget.
    void OpenKeyboard(int x, int y) { CPointerSequence<::CWidget>(*m_pRoot).Press(x, y).Release(x, y); }
    void Type(const char* pText)
    {
        for (const char* p = pText; *p; ++p)
            m_pRoot->DoInputChar(static_cast<unsigned char>(*p));
    }

    CTestVornApplication m_App;
    CVornStatistics m_Statistics;
    ::CVornLanguage m_Language;
    std::unique_ptr<::CWidget, sTreeDeleter> m_pRoot;
    int m_iChanged = 0;
    int m_iFinished = 0;
};

TEST_F(CTextWidget, StoredTextDrawsInTheColourALabelInTheDisplayColour)
{
    CRecordingSurface target;
    ASSERT_TRUE(target.CreateRecording(200, 100));
    Clear(target);
    const Rect rcText(10, 10, 190, 60);
    ::CTextWidget* p = Text(rcText);
    p->SetColor(RED);
    p->SetDisplayColor(GREEN);

    p->SetLocalizedText(5);
    EXPECT_EQ(Narrow(p->GetDisplayText()), "Label");
    EXPECT_EQ(Narrow(p->GetText()), "") << "a label is not a stored text";
    m_pRoot->DoDraw(&target);
    EXPECT_GT(PixelsOf(target, rcText, GREEN), 5);
    EXPECT_EQ(PixelsOf(target, rcText, RED), 0);

    Clear(target);
    p->SetText(CKorvelString("Hello"));
    m_pRoot->DoDraw(&target);
    EXPECT_GT(PixelsOf(target, rcText, RED), 5);
    EXPECT_EQ(PixelsOf(target, rcText, GREEN), 0);
    EXPECT_EQ(PixelsOf(target, Rect(0, 60, 200, 100), RED), 0) << "nothing below the widget";

    // A field shows a mark for what its font cannot draw (another script, a line separator,
    // a direction override), idle and while typing (the cursor blinked off).
    p->SetEditable(1, 255);
    for (const unsigned short uUnit : {0x0414, 0x2028, 0x202E})
    {
        ASSERT_EQ(p->GetFont()->GetCharInfo(uUnit), nullptr) << uUnit;
        CKorvelString strOne;
        strOne.Add(uUnit);
        p->SetText(strOne);
        Clear(target);
        m_pRoot->DoDraw(&target);
        EXPECT_GT(PixelsOf(target, rcText, RED), 0) << uUnit;
        OpenKeyboard(20, 20);
        for (int i = 0; i < 3; ++i)
            m_pRoot->DoUpdate(0.3f);
        Clear(target);
        m_pRoot->DoDraw(&target);
        EXPECT_GT(PixelsOf(target, rcText, RED), 0) << uUnit << " while typing";
        CPointerSequence<::CWidget>(*m_pRoot).Press(5, 90).Release(5, 90);
    }
    p->SetEditable(0, 0);

    // A word wider than the widget breaks across rows, as many as it needs: the third row
    // gets ink too. Without the wrap flag it stays on one row.
    CKorvelBitmapFont* pFont = p->GetFont();
    const int iRow = static_cast<int>(pFont->GetLineHeight());
    const std::string strWord(
        static_cast<size_t>(5 * rcText.GetWidth() / 2 / pFont->GetTextWidth(CKorvelString("W"), 0)), 'W');
    p->SetText(CKorvelString(strWord.c_str()));
    const Rect rcThirdRow(rcText.left, rcText.top + 2 * iRow, rcText.right, rcText.top + 3 * iRow);
    ASSERT_LE(rcThirdRow.bottom, rcText.bottom);
    for (unsigned int uWrap : {0u, unsigned(KE_TEXT_MULTILINE)})
    {
        Clear(target);
        p->SetTextAlign(uWrap);
        m_pRoot->DoDraw(&target);
        EXPECT_EQ(PixelsOf(target, rcThirdRow, RED) > 0, uWrap != 0) << uWrap;
    }
    p->SetTextAlign(0);

    // Measured by the font alone, each row of a broken word holds what fits and no more: no
    // row is wider than the box, none had room for the character that starts the next, and
    // together they are the word.
    for (const std::string& strLong : {strWord, std::string("WiWiiWWWiiiWWWWiiiiWiWiWWiiWWWWWWiiiiiiWiWi")})
        for (const int iWidth : {23, 37, 50, 81})
        {
            SCOPED_TRACE(std::to_string(iWidth) + " " + strLong);
            const std::string strBroken = Narrow(::CTextWidget::BreakLongWords(
                *pFont, CKorvelString(strLong.c_str()), iWidth, KE_TEXT_MULTILINE));
            std::vector<std::string> aRows(1);
            for (const char c : strBroken)
                if (c == '\n')
                    aRows.emplace_back();
                else
                    aRows.back() += c;
            ASSERT_GT(aRows.size(), 1u);
            std::string strJoined;
            for (size_t i = 0; i < aRows.size(); ++i)
            {
                const CKorvelString strRow(aRows[i].c_str());
                EXPECT_LE(pFont->GetTextWidth(strRow, 0), iWidth + 1) << aRows[i];
                if (i + 1 < aRows.size())
                {
                    EXPECT_GT(pFont->GetTextWidth(CKorvelString((aRows[i] + aRows[i + 1][0]).c_str()), 0),
                              iWidth + 1)
                        << aRows[i] << " had room for " << aRows[i + 1][0];
                }
                strJoined += aRows[i];
            }
            EXPECT_EQ(strJoined, strLong);
        }

    // Without a font nothing is drawn.
    Clear(target);
    p->SetFont(nullptr);
    m_pRoot->DoDraw(&target);
    EXPECT_EQ(PixelsOf(target, rcText, RED), 0);
}

TEST_F(CTextWidget, WhileEditingTheCursorBlinksAfterTheTextAndALongTextKeepsItsEnd)
{
    CRecordingSurface target;
    ASSERT_TRUE(target.CreateRecording(200, 100));
    const Rect rcText(10, 10, 190, 40);
    ::CTextWidget* p = Text(rcText);
    p->SetColor(RED);
    p->SetEditable(1, 200);
    p->SetText(CKorvelString("ab"));
    OpenKeyboard(20, 20);
    ::CKorvelBitmapFont* pFont = p->GetFont();
    const int iText = pFont->GetTextWidth(CKorvelString("ab"), 0x400080);
    const int iCursor = pFont->GetTextWidth(CKorvelString("|"), 0x400080);
    const Rect rcCursor(10 + iText, 10, 10 + iText + iCursor, 40);

    // The blink runs from 0 up to half a second, then from -0.5: hidden below 0.
    const struct
    {
        float fStep;
        bool bShown;
    } aSteps[] = {{0.0f, true}, {0.3f, true}, {0.3f, true}, {0.3f, false}, {0.3f, false}, {0.3f, true}};
    for (const auto& s : aSteps)
    {
        if (s.fStep > 0.0f)
            m_pRoot->DoUpdate(s.fStep);
        Clear(target);
        m_pRoot->DoDraw(&target);
        EXPECT_GT(PixelsOf(target, Rect(10, 10, 10 + iText, 40), RED), 0);
        EXPECT_EQ(PixelsOf(target, rcCursor, RED) > 0, s.bShown);
    }

    // Too long for the field: its end stays in view with the cursor at the right edge.
    for (int i = 0; i < 80; ++i)
        m_pRoot->DoInputChar(8);
    Type(std::string(150, ' ').append("mm").c_str());
    m_pRoot->DoUpdate(0.3f);
    ASSERT_GT(pFont->GetTextWidth(p->GetDisplayText(), 0x400080), rcText.GetWidth());
    Clear(target);
    m_pRoot->DoDraw(&target);
    EXPECT_GT(PixelsOf(target, Rect(190 - iCursor - 8, 10, 190 - iCursor, 40), RED), 0) << "the text's end";
    EXPECT_GT(PixelsOf(target, Rect(190 - iCursor, 10, 190, 40), RED), 0) << "the cursor";
    EXPECT_EQ(PixelsOf(target, Rect(10, 10, 100, 40), RED), 0) << "the blanks before it";
}

TEST_F(CTextWidget, EditingReportsEachChangeOnceAndTheEndOnEnter)
{
    ::CTextWidget* p = Text(Rect(10, 10, 110, 40));
    p->SetEditable(1, 8);
    p->SetLocalizedInputBoxTitle(2);
    OpenKeyboard(20, 20);
    ASSERT_NE(p->GetInput(), nullptr);
    EXPECT_EQ(Narrow(p->GetInput()->GetSecondText()), "Your name") << "the input box's title";
    EXPECT_EQ(m_pRoot->DoKeyDown(KET_KEY_A), 1);

    const struct
    {
        const char* pTyped;
        const char* pText;
        int iChanged;
    } aSteps[] = {
        {"a", "a", 1}, {"", "a", 1}, {"bc", "abc", 3}, {"\b", "ab", 4}, {"\r", "ab", 4},
    };
    for (const auto& s : aSteps)
    {
        Type(s.pTyped);
        m_pRoot->DoUpdate(0.016f);
        EXPECT_EQ(Narrow(p->GetText()), s.pText) << s.pTyped;
        EXPECT_EQ(m_iChanged, s.iChanged) << s.pTyped;
    }
    EXPECT_EQ(m_iFinished, 1);
    EXPECT_EQ(p->GetInput(), nullptr);
    EXPECT_EQ(p->IsEditing(), 0u);
    EXPECT_EQ(m_pRoot->DoInputChar('z'), 0) << "no input after the end";
    EXPECT_EQ(m_pRoot->DoKeyDown(KET_KEY_A), 0);

    // The maximum length holds; a second cycle starts from the stored text.
    OpenKeyboard(20, 20);
    Type("cdefghijk");
    m_pRoot->DoUpdate(0.016f);
    EXPECT_EQ(Narrow(p->GetText()), "abcdefgh");
}

TEST_F(CTextWidget, AReleaseOutsideEndsEditingAndKeepsWhatWasTyped)
{
    ::CTextWidget* p = Text(Rect(10, 10, 110, 40));
    p->SetEditable(1, 20);
    OpenKeyboard(20, 20);
    Type("xy");
    EXPECT_EQ(p->DoMouseButtonUp(0, 150, 5), 1);
    EXPECT_EQ(Narrow(p->GetText()), "xy");
    EXPECT_EQ(m_iChanged, 2) << "one change per character, as it is typed";
    EXPECT_EQ(m_iFinished, 0);
    EXPECT_EQ(p->GetInput(), nullptr);
    EXPECT_EQ(p->IsEditing(), 0u);

    // A press elsewhere takes the focus away and closes the keyboard too, keeping what was
    // typed just before it (no update in between).
    OpenKeyboard(20, 20);
    ASSERT_NE(p->GetInput(), nullptr);
    Type("z");
    CPointerSequence<::CWidget>(*m_pRoot).Press(150, 80);
    EXPECT_EQ(p->GetInput(), nullptr);
    EXPECT_EQ(p->IsEditing(), 0u);
    EXPECT_EQ(Narrow(p->GetText()), "xyz");
}

TEST_F(CTextWidget, PasswordModeMasksTheDisplayOnly)
{
    ::CTextWidget* p = Text(Rect(10, 10, 110, 40));
    p->SetPasswordMode(1);
    p->SetText(CKorvelString("abc"));
    EXPECT_EQ(Narrow(p->GetDisplayText()), "***");
    EXPECT_EQ(Narrow(p->GetText()), "abc");
    p->SetPasswordMode(0);
    EXPECT_EQ(Narrow(p->GetDisplayText()), "abc");

    // The same text again refreshes the display but is no change.
    p->SetDisplayText(CKorvelString("other"));
    p->SetText(CKorvelString("abc"));
    EXPECT_EQ(Narrow(p->GetDisplayText()), "abc");
    EXPECT_EQ(m_iChanged, 1);

    // The keyboard input masks what is typed as well.
    p->SetPasswordMode(1);
    p->SetEditable(1, 20);
    OpenKeyboard(20, 20);
    ASSERT_NE(p->GetInput(), nullptr);
    EXPECT_EQ(Narrow(p->GetInput()->GetDisplayText()), "***");
}

TEST_F(CTextWidget, ALabelThatIsNotEditableLetsPressesThrough)
{
    CPressCounter* pBelow = new CPressCounter;
    pBelow->Startup(&m_App, &m_App, Rect(10, 10, 110, 40));
    m_pRoot->AddWidget(pBelow);
    ::CTextWidget* p = Text(Rect(10, 10, 110, 40));

    p->SetEditable(1, 10);
    EXPECT_EQ(m_pRoot->DoMouseButton(0, 20, 20), 1);
    EXPECT_EQ(pBelow->m_iPresses, 0) << "an editable text consumes the press";
    m_pRoot->DoMouseButtonUp(0, 20, 20);
    ASSERT_NE(p->GetInput(), nullptr);

    p->SetEditable(0, 10);
    EXPECT_EQ(p->GetInput(), nullptr) << "the keyboard closes";
    m_pRoot->DoMouseButton(0, 20, 20);
    EXPECT_EQ(pBelow->m_iPresses, 1);
}

TEST_F(CTextWidget, CloneCopiesTheTextButNotTheInputBoxTitle)
{
    ::CTextWidget* p = Text(Rect(10, 10, 110, 40));
    p->SetText(CKorvelString("kept"));
    p->SetEditable(1, 12);
    p->SetPasswordMode(1);
    p->SetLocalizedText(5);
    p->SetLocalizedInputBoxTitle(2);

    std::unique_ptr<::CWidget, sTreeDeleter> pCopy(p->Clone());
    ::CTextWidget* pClone = static_cast<::CTextWidget*>(pCopy.get());
    EXPECT_EQ(Narrow(pClone->GetText()), "kept");
    EXPECT_EQ(Narrow(pClone->GetDisplayText()), "*****");
    EXPECT_EQ(pClone->GetFont(), p->GetFont());
    EXPECT_EQ(pClone->GetEditable(), 1u);
    EXPECT_EQ(pClone->GetLocalizedText(), 5);
    EXPECT_EQ(pClone->GetLocalizedInputBoxTitle(), -1);
    EXPECT_EQ(Narrow(pClone->GetInputBoxTitle()), "");
    pClone->SetText(CKorvelString("new"));
    EXPECT_EQ(m_iChanged, 2) << "the clone reports to the same callback";
}

} // namespace text_widget_test
