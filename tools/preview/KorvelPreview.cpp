// Until the game exists, `make run` starts this: the engine's window, GL target,
// built-in font and event loop, ending on the window's close button.
#include "KorvelCommon/KorvelEntry.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelGraphics/KorvelApplication.h"
#include "KorvelGraphics/KorvelBitmapFont.h"

#include <new>

namespace
{

class CPreviewApplication : public IKorvelApplication
{
public:
    KE_RETVAL OnInitDone() override
    {
        m_Font.Startup(this);
        m_Font.SetFontScale(2.0f);
        return KE_OK;
    }
    void OnExit() override { m_Font.Shutdown(); }
    using IKorvelApplication::OnMouseButton;
    void OnMouseButton(unsigned int, int iX, int iY) override
    {
        m_iTapX = iX;
        m_iTapY = iY;
    }
    void OnFlip() override
    {
        IKorvelGraphicsContext* pBack = GetBack();
        if (!pBack)
            return;
        pBack->GradientFill(0xFF203050u, 0xFF203050u, 0xFF5080A0u, 0xFF5080A0u, nullptr);
        if (m_iTapX >= 0)
        {
            CKorvelRect<int> rcTap(m_iTapX - 12, m_iTapY - 12, m_iTapX + 12, m_iTapY + 12);
            pBack->Fill(0xFFFFD040u, &rcTap);
        }
        m_Font.DrawText(40, 40, *pBack, CKorvelString("Flomps: the engine runs, the game is not built yet."),
                        0xFFFFFFFFu, 0, nullptr);
        m_Font.DrawText(40, 80, *pBack, CKorvelString("Click anywhere; close the window to quit."), 0xFFE0E0E0u,
                        0, nullptr);
    }

private:
    CKorvelBitmapFont m_Font;
    int m_iTapX = -1;
    int m_iTapY = -1;
};

} // namespace

unsigned int KorvelAppGlobalFlags()
{
    return 1;
}

IKorvelApplication* InitKorvelApp(void*)
{
    CPreviewApplication* pApp = new (std::nothrow) CPreviewApplication;
    if (!pApp)
        return nullptr;
    SKE_DISPLAYMODE mode = {};
    mode.iWidth = 800;
    mode.iHeight = 600;
    if (pApp->Startup(nullptr, &mode) != KE_OK)
    {
        delete pApp;
        return nullptr;
    }
    return pApp;
}
