// The toast: a short message that slides up from the bottom of the screen for a few
// seconds, one at a time from a queue. Built from "toast-root.xml": the button
// "toast_hitarea" (moved to slide; a press on it runs "toast_click") with the icons
// "toast_icon_message", "toast_icon_challenge", "toast_icon_achievement" and the text
// "toast_message", and the image "toast_bg" behind it.
#pragma once

#include "Framework/Shell/VornNotification.h"
#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelString.h"

class CWidget;

class CVornToastNotification : public CVornNotification
{
public:
    // Toast type of a challenge: a press on it opens the challenge page.
    static const int TYPE_CHALLENGE = -2;
    // Toast types: 1 message, -1 and -2 challenge, 4 achievement; others show no icon.
    static const int TYPE_MESSAGE = 1;
    static const int TYPE_ACHIEVEMENT = 4;
    // Seconds of a toast queued with 0, and of each slide.
    static constexpr float DEFAULT_SECONDS = 3.0f;
    static constexpr float SLIDE_SECONDS = 0.5f;

    struct sToastRequest
    {
        CKorvelString m_strText;
        float m_fDuration = 0.0f;
        int m_iType = 1;
    };

    CVornToastNotification();
    ~CVornToastNotification() override;

    // Loads the layout for the back buffer's size; 1 also when it could not.
    KE_RETVAL Startup(CKestrolundApplication* pApplication) override;
    void Shutdown() override;
    // Rebuilds the tree for the new size; 1.
    unsigned int OnScreenChanged(int iWidth, int iHeight) override;
    // Only while a toast is up: a press when a widget of the toast takes it; release and
    // drag when the point lies inside the hit area.
    unsigned int OnMouseButton(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseButtonUp(unsigned int uButton, int iX, int iY) override;
    unsigned int OnMouseDrag(unsigned int uButton, int iX, int iY) override;
    void Draw() override;
    void Update(float fSeconds) override;

    // The tree of "toast-root.xml" for that size; the toast that is up carries over.
    virtual KE_RETVAL LoadLayout(int iWidth, int iHeight);
    virtual unsigned int OnThemeChanged();
    virtual void SetVisible(unsigned int uVisible);
    // Whether a toast is up.
    virtual unsigned int GetVisible();
    // Type of the toast shown.
    virtual int GetType();
    // Queues a toast; 0 seconds means 3. A text already waiting is not queued twice.
    virtual void Add(const CKorvelString& strText, int iType, float fSeconds);
    // The toast that is up starts leaving at once.
    void Hide();
    // Toasts of that type leave: the one up (no longer to be pressed) and those waiting.
    void Drop(int iType);
    // Whether a toast of that type is up and not leaving, or waiting.
    virtual bool Holds(int iType) const;

    CWidget* GetRoot() const { return m_pRoot; }
    // Seconds since the toast appeared; -1 when none is up.
    float GetShowTime() const { return m_fShowTime; }
    int GetQueueCount() const { return m_aQueue.GetCount(); }
    const sToastRequest& GetCurrentRequest() const { return m_Current; }

protected:
    void LoadRequest(const sToastRequest& request);
    void ReleaseLayout();
    void ClearQueue();
    // Both slide with the toast: the hit area and the background.
    void MoveTo(int iY);
    // Screen coordinates inside the hit area's rectangle, edges included.
    unsigned int InsideHitArea(int iX, int iY) const;
    static KE_RETVAL ToastClick(CWidget* pSender, void* pContext);

    CWidget* m_pRoot;
    CWidget* m_pHitArea;
    CWidget* m_pBackground;
    CActions* m_pActions;
    float m_fShowTime;
    float m_fDuration;
    unsigned int m_uHiding;
    unsigned int m_uVisible;
    int m_iType;
    CKorvelTypedPtrArray<sToastRequest> m_aQueue; // owned, oldest first
    sToastRequest m_Current;
};
