// The game's seven GLSL ES programs, each a small class that builds its program when it
// is made, looks up the locations the renderer needs and deletes its GL objects when
// destroyed. The renderer makes them all again after the GL context came back.
#pragma once

#include "KorvelCommon/KorvelString.h"

class CStateGame;

extern const char* const strBlockVS;
extern const char* const strBlockFS;
extern const char* const strWaterVS;
extern const char* const strWaterFS;
extern const char* const strFlompVS;
extern const char* const strFlompFS;
extern const char* const strWorldVS;
extern const char* const strWorldFS;
extern const char* const strBackgroundFS;
extern const char* const strScreenVS;
extern const char* const strScreenFS;
extern const char* const strScreenOverlayFS;

class CMoxShader
{
public:
    // Builds the program when the game's application has a graphics extension; failures
    // are written into the error text and leave the handles 0.
    CMoxShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
    virtual ~CMoxShader();
    virtual void Use();

    unsigned int m_uProgram;
    unsigned int m_uVertexShader;
    unsigned int m_uFragmentShader;
    CStateGame* m_pGame;
    CKorvelString m_strError;

protected:
    // -1 without a program.
    int AttributeLocation(const char* pName) const;
    int UniformLocation(const char* pName) const;
    // Points the sampler at the unit, or writes the message when it has no location.
    void SetSampler(int iLocation, int iUnit, const char* pMessage);
    bool m_bHasExtension;

private:
    CMoxShader(const CMoxShader&) = delete;
    CMoxShader& operator=(const CMoxShader&) = delete;
};

// The programs of a textured quad tinted by a colour: position and uv0, "color0" and
// "texture0", with "projectionMatrix" in the world programs (-1 in the screen ones).
class CMoxQuadShader : public CMoxShader
{
public:
    int m_iPosition;
    int m_iUV0;
    int m_iProjectionMatrix;
    int m_iColor0;
    int m_iTexture0;

protected:
    CMoxQuadShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame, bool bWorld,
                   const char* pSamplerMessage);
};

class CMoxScreenOverlayShader : public CMoxQuadShader
{
public:
    CMoxScreenOverlayShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
};

class CMoxBackgroundShader : public CMoxQuadShader
{
public:
    CMoxBackgroundShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
};

class CMoxWorldShader : public CMoxQuadShader
{
public:
    CMoxWorldShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
};

class CMoxScreenShader : public CMoxQuadShader
{
public:
    CMoxScreenShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
};

class CMoxFlompShader : public CMoxQuadShader
{
public:
    CMoxFlompShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);
};

class CMoxBlockShader : public CMoxShader
{
public:
    CMoxBlockShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);

    int m_iPosition;
    int m_iUV0;
    int m_iUV1;
    int m_iShadeVS;
    int m_iProjectionMatrix;
    int m_iTexture0;
    int m_iTexture1;
};

class CMoxWaterShader : public CMoxShader
{
public:
    CMoxWaterShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame);

    int m_iPosition;
    int m_iUV0;
    int m_iProjectionMatrix;
    int m_iTexture0;
};
