// The view onto the world (y up, the field about 6.4 units wide): the mapping to the
// screen, following a point, a body or every moving body with an automatic zoom, and the
// grid on which scene files store positions (256 steps across the field, signed bytes).
#pragma once

#include "Korvel3D/KorvelMatrix4RH.h"
#include "KorvelCommon/KorvelMath.h"

class CBody;
class CMoxPhysics;

// What the camera asks of the scene: whether a body may be followed (the body of a
// living player or of a projectile in either player's slots).
class IMoxCameraScene
{
public:
    virtual bool IsFollowable(CBody const* body) = 0;

protected:
    ~IMoxCameraScene() = default;
};

// The zoom range: the lowest shows the whole field, 1 is the closest view.
constexpr float CAMERA_ZOOM_MIN = 0.3f;
constexpr float CAMERA_ZOOM_MAX = 1.0f;

// The match screen's zoom bar over the middle half of the left edge, in screen heights.
constexpr float ZOOM_BAR_CENTRE_X = 1.0f / 16.0f;
constexpr float ZOOM_BAR_HALF_WIDTH = 1.0f / 32.0f;
constexpr float ZOOM_BAR_CENTRE_Y = 0.5f;
constexpr float ZOOM_BAR_HALF_HEIGHT = 0.25f;

enum
{
    CAMERA_TARGET_NONE = 0,
    CAMERA_TARGET_POINT = 1, // a point, or the body when one is set
    CAMERA_TARGET_MOVEABLES = 2,
};

class CCamera
{
public:
    int m_eTarget = CAMERA_TARGET_NONE;
    float m_fGridSize = 3.2f; // half the field's width; a grid step is a 128th of it
    CKorvelMatrix4RH m_Matrix;
    CKorvelVector2 m_vPosition{0.0f, 0.0f};   // negated world x and world y of the view centre
    CKorvelVector2 m_vScreenSize{0.0f, 0.0f}; // pixels, set by the renderer
    CKorvelVector2 m_vScreenHalf{0.0f, 0.0f};
    CKorvelVector2 m_vTarget{0.0f, 0.0f};
    CBody* m_pTargetBody = nullptr;
    CMoxPhysics* m_pMoveables = nullptr;
    IMoxCameraScene* m_pScene = nullptr;
    float m_fZoom = 1.0f;
    float m_fZoomTarget = 1.0f; // Update only lowers it
    float m_fZoomLimit = CAMERA_ZOOM_MIN;
    float m_fAspect = 1.0f;       // screen width / height
    float m_fMovementZoom = 1.0f; // what the followed body asks for
    float m_fMoveableZoom = 1.0f; // what the moving bodies ask for

    CCamera() { m_Matrix.Identity(); }

    void SetScene(IMoxCameraScene* scene) { m_pScene = scene; }

    void WorldToScreen(CKorvelVector2& world, CKorvelVector2* screen);
    void ScreenToWorld(CKorvelVector2& screen, CKorvelVector2* world);

    void SetTarget(CKorvelVector2 p);
    void SetTargetBody(CBody* body);
    void SetTargetMoveables(CMoxPhysics* physics);
    void ClearTarget();

    void Snap(CKorvelVector2& p, signed char& x, signed char& y);
    void UnSnap(signed char x, signed char y, CKorvelVector2* p);
    void SnapToGrid(CKorvelVector2& p, CKorvelVector2* out);
    void SnapToClosest(CKorvelVector2& p, CKorvelVector2* out);
    static void RoundDown(float v, int& n);
    static void RoundClosest(float v, int& n);

    void Update();

private:
    bool Follows(CBody* body);
    float ScreenAspect() const;
};
