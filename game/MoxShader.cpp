#include "game/MoxShader.h"

#include <GLES2/gl2.h>

#include "Framework/Shell/VornApplication.h"
#include "Korvel3D/Korvel3DProgram.h"
#include "game/StateGame.h"

CMoxShader::CMoxShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame)
    : m_uProgram(0), m_uVertexShader(0), m_uFragmentShader(0), m_pGame(pGame), m_bHasExtension(false)
{
    CVornApplication* pApp = pGame ? pGame->GetApp() : nullptr;
    if (!pApp || !pApp->GetGraphicsExtension())
    {
        m_strError.Set("NULL Extension \n");
        return;
    }
    m_bHasExtension = true;
    if (CKorvel3DProgram::BuildProgram(CKorvelString(pVertexSource), CKorvelString(pFragmentSource),
                                       m_uVertexShader, m_uFragmentShader, m_uProgram) != KE_OK)
    {
        // The build has deleted what it made.
        m_strError.Add(CKorvelString("Failed to create shader program \n"));
        m_uProgram = m_uVertexShader = m_uFragmentShader = 0;
    }
}

CMoxShader::~CMoxShader()
{
    if (!m_bHasExtension)
        return;
    glDeleteProgram(m_uProgram);
    m_uProgram = 0;
    glDeleteShader(m_uVertexShader);
    m_uVertexShader = 0;
    glDeleteShader(m_uFragmentShader);
    m_uFragmentShader = 0;
}

void CMoxShader::Use()
{
    glUseProgram(m_uProgram);
}

int CMoxShader::AttributeLocation(const char* pName) const
{
    return m_uProgram ? glGetAttribLocation(m_uProgram, pName) : -1;
}

int CMoxShader::UniformLocation(const char* pName) const
{
    return m_uProgram ? glGetUniformLocation(m_uProgram, pName) : -1;
}

void CMoxShader::SetSampler(int iLocation, int iUnit, const char* pMessage)
{
    if (!m_bHasExtension)
        return;
    if (iLocation < 0)
    {
        m_strError.Add(CKorvelString(pMessage));
        return;
    }
    GLint iPrevious = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &iPrevious);
    glUseProgram(m_uProgram);
    glUniform1i(iLocation, iUnit);
    glUseProgram((GLuint)iPrevious);
}

CMoxQuadShader::CMoxQuadShader(const char* pVertexSource, const char* pFragmentSource, CStateGame* pGame,
                               bool bWorld, const char* pSamplerMessage)
    : CMoxShader(pVertexSource, pFragmentSource, pGame)
{
    m_iPosition = AttributeLocation("position");
    m_iUV0 = AttributeLocation("uv0");
    m_iProjectionMatrix = bWorld ? UniformLocation("projectionMatrix") : -1;
    m_iColor0 = UniformLocation("color0");
    m_iTexture0 = UniformLocation("texture0");
    SetSampler(m_iTexture0, 0, pSamplerMessage);
}

CMoxScreenOverlayShader::CMoxScreenOverlayShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxQuadShader(pVS, pFS, pGame, false,
                     "SCREEN OVERLAY SHADER : Failed to get uniform location texture0 \n")
{
}

CMoxBackgroundShader::CMoxBackgroundShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxQuadShader(pVS, pFS, pGame, true, "BACKGROUND SHADER : Failed to get uniform location texture0 \n")
{
}

CMoxWorldShader::CMoxWorldShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxQuadShader(pVS, pFS, pGame, true, "WORLD SHADER : Failed to get uniform location texture0 \n")
{
}

CMoxScreenShader::CMoxScreenShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxQuadShader(pVS, pFS, pGame, false, "SCREEN SHADER : Failed to get uniform location texture0 \n")
{
}

CMoxFlompShader::CMoxFlompShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxQuadShader(pVS, pFS, pGame, true, "FLOMP SHADER : Failed to get uniform location texture0 \n")
{
}

CMoxBlockShader::CMoxBlockShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxShader(pVS, pFS, pGame)
{
    m_iPosition = AttributeLocation("position");
    m_iUV0 = AttributeLocation("uv0");
    m_iUV1 = AttributeLocation("uv1");
    m_iShadeVS = AttributeLocation("shadevs");
    m_iProjectionMatrix = UniformLocation("projectionMatrix");
    m_iTexture0 = UniformLocation("texture0");
    m_iTexture1 = UniformLocation("texture1");
    SetSampler(m_iTexture0, 0, "BLOCK SHADER 0: Failed to get uniform location texture0 \n");
    SetSampler(m_iTexture1, 1, "BLOCK SHADER 1: Failed to get uniform location texture1 \n");
}

CMoxWaterShader::CMoxWaterShader(const char* pVS, const char* pFS, CStateGame* pGame)
    : CMoxShader(pVS, pFS, pGame)
{
    m_iPosition = AttributeLocation("position");
    m_iUV0 = AttributeLocation("uv0");
    m_iProjectionMatrix = UniformLocation("projectionMatrix");
    m_iTexture0 = UniformLocation("texture0");
    SetSampler(m_iTexture0, 0, "WATER SHADER : Failed to get uniform location texture0 \n");
}
