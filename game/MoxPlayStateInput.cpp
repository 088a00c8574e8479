// The match screen's touch controls: which part of the screen gets touch 0 each frame,
// scrolling and zooming the view, aiming and releasing the own flomp, and the buttons.
#include "Framework/Shell/VornApplication.h"
#include "game/MoxPlayState.h"
#include "game/MoxRenderer.h"
#include "game/MoxScene.h"
#include "game/StateGame.h"

namespace
{
const float kStretchShrink = 0.06f;
const float kStretchGone = 0.01f;
const float kStretchScale = 0.75f;
const float kAimLongest = 0.4f;
const float kRelease = 1.0f;

bool IsPlayer(int i)
{
    return i == 0 || i == 1;
}

// The aim of a pull d (from the touch to the flomp): each pixel beyond the grab radius
// stretches kStretchScale, counted in quarters of the screen's width, the aim's x against
// the pull. False for a pull that does not leave the radius, also at exactly its edge.
bool AimOfPull(const CKorvelVector2& d, float fRadius, float fScreenWidth, CKorvelVector2& vAim)
{
    const float s = (d.Length() - fRadius) * kStretchScale;
    if (s <= 0.0f)
        return false;
    CKorvelVector2 v = d;
    v.SetLength(s);
    const float fQuarter = fScreenWidth / 4.0f;
    v.Set(-v.x / fQuarter, v.y / fQuarter);
    if (v.Length() > kAimLongest)
        v.SetLength(kAimLongest);
    vAim = v;
    return true;
}
} // namespace

void CMoxPlayState::HandleControls()
{
    if (!m_pGame || !m_pRenderer)
        return;
    CCamera& camera = m_pRenderer->m_Camera;
    CMultiTouch& touches = m_pGame->GetContext().MultiTouch;

    if (HasMatchEnded() && m_iResult == m_iOwnPlayer && m_pLiveScene && IsPlayer(m_iOwnPlayer))
    {
        camera.SetTargetBody(m_pLiveScene->m_Players[m_iOwnPlayer].m_pBody);
        camera.m_fZoomTarget = CAMERA_ZOOM_MAX;
    }
    if (m_pGame->m_bVolumeTouched)
        return;
    if (HandleZoomBar() && !m_bScrolling)
        return;
    m_bPinching = touches.m_bPinch ? 1 : 0;
    if (!m_bAiming)
    {
        if (m_pButtons && m_pButtons->HandleTouch())
            return;
        if (!m_bStarted)
            return;
        if (m_bScrolling)
        {
            HandleScroll();
            camera.ClearTarget();
            return;
        }
        if (m_bPinching)
        {
            HandleZoom();
            camera.ClearTarget();
            return;
        }
    }
    else
        m_bPinching = 0;
    if (m_ePlayState == PLAYSTATE_OWN_TURN && !m_bQuitDialog && HandlePlayerControls())
        return;
    const sTouch& touch = touches.m_Touches[0];
    if (touch.down && touch.moved)
        m_bScrolling = 1;
}

void CMoxPlayState::HandleScroll()
{
    const sTouch& touch = m_pGame->GetContext().MultiTouch.m_Touches[0];
    if (!touch.down)
    {
        m_bScrolling = 0;
        return;
    }
    CCamera& camera = m_pRenderer->m_Camera;
    CKorvelVector2 now = touch.position;
    CKorvelVector2 before(touch.position.x - touch.delta.x, touch.position.y - touch.delta.y);
    CKorvelVector2 wNow, wBefore;
    camera.ScreenToWorld(now, &wNow);
    camera.ScreenToWorld(before, &wBefore);
    camera.m_vPosition.x += wNow.x - wBefore.x;
    camera.m_vPosition.y -= wNow.y - wBefore.y;
}

void CMoxPlayState::HandleZoom()
{
    const CMultiTouch& touches = m_pGame->GetContext().MultiTouch;
    CCamera& camera = m_pRenderer->m_Camera;
    if (touches.m_bPinch)
    {
        const float z = camera.m_fZoom * (1.0f + touches.m_fPinchDelta * 0.01f);
        camera.m_fZoom = camera.m_fZoomTarget = z;
        if (m_pLiveScene && IsPlayer(m_iOwnPlayer))
            m_pLiveScene->m_Players[m_iOwnPlayer].m_fZoom = z < CAMERA_ZOOM_MIN ? CAMERA_ZOOM_MIN : z;
    }
    if (camera.m_eTarget == CAMERA_TARGET_NONE && camera.m_fZoom < CAMERA_ZOOM_MIN)
        camera.m_fZoomTarget = CAMERA_ZOOM_MIN;
}

int CMoxPlayState::HandleZoomBar()
{
    if (m_bAiming)
        return 0;
    const sTouch& touch = m_pGame->GetContext().MultiTouch.m_Touches[0];
    if (!touch.down)
    {
        m_bZoomGrabbed = 0;
        return 0;
    }
    const float H = m_pRenderer->GetScreenHeight();
    const float cx = ZOOM_BAR_CENTRE_X * H, cy = ZOOM_BAR_CENTRE_Y * H, hx = ZOOM_BAR_HALF_WIDTH * H,
                hy = ZOOM_BAR_HALF_HEIGHT * H;
    if (touch.position.x >= cx - hx && touch.position.x <= cx + hx && touch.position.y >= cy - hy &&
        touch.position.y <= cy + hy)
        m_bZoomGrabbed = 1;
    if (!m_bZoomGrabbed)
        return 0;
    const float t = (cy + hy - touch.position.y) / (2.0f * hy);
    const float z = t < 0.0f   ? CAMERA_ZOOM_MIN
                    : t > 1.0f ? CAMERA_ZOOM_MAX
                               : CAMERA_ZOOM_MIN + (CAMERA_ZOOM_MAX - CAMERA_ZOOM_MIN) * t;
    CCamera& camera = m_pRenderer->m_Camera;
    camera.m_fZoomTarget = z;
    if (m_pLiveScene && IsPlayer(m_iOwnPlayer))
        m_pLiveScene->m_Players[m_iOwnPlayer].m_fZoom = z;
    camera.m_fZoom += 0.5f * (z - camera.m_fZoom);
    camera.ClearTarget();
    return 1;
}

int CMoxPlayState::HandlePlayerControls()
{
    if (!m_pLiveScene || !IsPlayer(m_iOwnPlayer) || !m_pRenderer)
        return 0;
    CPlayer& own = m_pLiveScene->m_Players[m_iOwnPlayer];
    if (own.m_bStretching && m_bReleasePending)
    {
        own.m_bShowAim = 0;
        if (!m_bActionTaken)
        {
            own.m_fReleaseValue = kRelease;
            CreateAction();
            return 1;
        }
        CPlayer& shown = m_pBackupScene ? m_pBackupScene->m_Players[m_iOwnPlayer] : own;
        shown.m_bShowAim = 0;
        const float fLength = shown.m_vStretch.Length() - kStretchShrink;
        if (fLength <= kStretchGone)
        {
            shown.m_vStretch.Set(0.0f, 0.0f);
            shown.m_bStretching = 0;
        }
        else
            shown.m_vStretch.SetLength(fLength);
        own.m_bStretching = shown.m_bStretching;
        own.m_vStretch = shown.m_vStretch;
        if (!own.m_bStretching)
            m_bReleasePending = 0;
        return 1;
    }
    if (m_bActionTaken || !own.m_pBody)
        return 0;

    const sTouch& touch = m_pGame->GetContext().MultiTouch.m_Touches[0];
    CCamera& camera = m_pRenderer->m_Camera;
    CKorvelVector2 vTouch = touch.position, vFlomp;
    camera.WorldToScreen(own.m_pBody->m_vPosition, &vFlomp);
    const CKorvelVector2 d(vFlomp.x - vTouch.x, vFlomp.y - vTouch.y);
    const float fRadius = own.m_vStretchPad.x;

    if (touch.down && !m_bAiming)
    {
        // Grabbed where the touch went down: a slow frame may already show it pulled away.
        CKorvelVector2 vStart = touch.start, vStartWorld;
        camera.ScreenToWorld(vStart, &vStartWorld);
        const CBody* pFound = m_pPhysics ? m_pPhysics->FindBody(vStartWorld, 4, 3) : nullptr;
        const bool bInBox =
            vStart.x >= vFlomp.x - own.m_vStretchPad.x && vStart.x <= vFlomp.x + own.m_vStretchPad.x &&
            vStart.y >= vFlomp.y - own.m_vStretchPad.y && vStart.y <= vFlomp.y + own.m_vStretchPad.y;
        if (pFound != own.m_pBody && !bInBox)
            return 0;
        m_bAiming = 1;
        camera.ClearTarget();
        // A flick's first move may have come with its press: pulled at once, below.
    }
    if (!m_bAiming)
        return 0;
    CKorvelVector2 v;
    const bool bPulled = AimOfPull(d, fRadius, m_pRenderer->GetScreenWidth(), v);
    if (touch.released || !touch.down)
    {
        m_bAiming = 0;
        // A move that came in the release's own step is the last pull and counts; else the
        // pull stands as the last step left it.
        if (touch.moved)
        {
            own.m_bStretching = bPulled ? 1 : 0;
            if (bPulled)
            {
                own.m_vAim = v;
                own.m_vStretch = v;
            }
        }
        own.m_bShowAim = own.m_bStretching;
        if (own.m_bStretching)
        {
            m_bStretchSoundPlayed = 0;
            m_bReleasePending = 1;
        }
        return 1;
    }
    if (!bPulled)
    {
        own.m_bStretching = own.m_bShowAim = 0;
        m_bStretchSoundPlayed = 0;
        return 1;
    }
    if (!m_bStretchSoundPlayed)
    {
        m_pGame->PlayGameSound(SOUND_STRETCH, 0, 0);
        m_bStretchSoundPlayed = 1;
    }
    own.m_vAim = v;
    own.m_vStretch = v;
    own.m_bStretching = own.m_bShowAim = 1;
    return 1;
}
