#include "Korvel3D/Korvel3DProgram.h"

#include <GLES2/gl2.h>
#include <new>

namespace
{

// 8-bit copy of a string for GL; small names stay on the stack.
class CAnsiText
{
public:
    explicit CAnsiText(const CKorvelString& str) : m_pText(m_acLocal)
    {
        const int iBytes = str.GetLength() + 1;
        if (iBytes > int(sizeof(m_acLocal)))
            m_pText = m_pHeap = new (std::nothrow) char[iBytes];
        if (m_pText)
            str.MakeAnsi(m_pText);
    }
    ~CAnsiText() { delete[] m_pHeap; }
    const char* Get() const { return m_pText; }

private:
    CAnsiText(const CAnsiText&) = delete;
    CAnsiText& operator=(const CAnsiText&) = delete;
    char m_acLocal[64];
    char* m_pHeap = nullptr;
    char* m_pText;
};

// The info log (when GL has one) into strText; then the status decides.
template <class GetIv, class GetLog>
int ReadInfoLog(unsigned int uObject, GLenum eStatus, CKorvelString& strText, GetIv getIv, GetLog getLog)
{
    GLint iLength = 0;
    getIv(uObject, GL_INFO_LOG_LENGTH, &iLength);
    if (iLength > 0)
    {
        char* pLog = new (std::nothrow) char[iLength];
        if (pLog)
        {
            GLsizei iWritten = 0;
            getLog(uObject, iLength, &iWritten, pLog);
            pLog[(iWritten >= 0 && iWritten < iLength) ? iWritten : iLength - 1] = 0;
            strText.Set(pLog);
            delete[] pLog;
        }
    }
    GLint iStatus = 0;
    getIv(uObject, eStatus, &iStatus);
    return iStatus ? 1 : 0;
}

} // namespace

CKorvel3DProgram::CKorvel3DProgram()
    : m_pContext(nullptr), m_uVertexShader(0), m_uFragmentShader(0), m_uProgram(0)
{
}

CKorvel3DProgram::~CKorvel3DProgram() {}

KE_RETVAL CKorvel3DProgram::Startup(IKorvelGraphicsContext* pContext, const CKorvelString& strVertexSource,
                                    const CKorvelString& strFragmentSource)
{
    m_pContext = pContext;
    m_strVertexSource.Set(strVertexSource);
    m_strFragmentSource.Set(strFragmentSource);
    return LinkProgram();
}

KE_RETVAL CKorvel3DProgram::LinkProgram()
{
    EmptyCaches();
    return BuildProgram(m_strVertexSource, m_strFragmentSource, m_uVertexShader, m_uFragmentShader,
                        m_uProgram);
}

void CKorvel3DProgram::Shutdown()
{
    glDeleteShader(m_uVertexShader);
    glDeleteShader(m_uFragmentShader);
    glDeleteProgram(m_uProgram);
    m_uVertexShader = m_uFragmentShader = m_uProgram = 0;
    EmptyCaches();
    m_pContext = nullptr;
}

void CKorvel3DProgram::EmptyCaches()
{
    m_UniformLocations.Clear();
    m_AttributeLocations.Clear();
}

int CKorvel3DProgram::GetAttributeLocation(const CKorvelString& strName)
{
    return CachedLocation(m_AttributeLocations, strName, true);
}

int CKorvel3DProgram::GetUniformLocation(const CKorvelString& strName)
{
    return CachedLocation(m_UniformLocations, strName, false);
}

int CKorvel3DProgram::CachedLocation(LocationMap& cache, const CKorvelString& strName, bool bAttribute)
{
    const int iFound = cache.Find(strName);
    if (iFound >= 0)
        return cache.m_pData[iFound].m_Second;
    CAnsiText name(strName);
    if (!name.Get())
        return -1;
    const int iLocation = bAttribute ? glGetAttribLocation(m_uProgram, name.Get())
                                     : glGetUniformLocation(m_uProgram, name.Get());
    if (iLocation >= 0)
        cache.Add(strName, iLocation);
    return iLocation;
}

void CKorvel3DProgram::GetError(CKorvelString& strText) const
{
    strText.Set("VERTEX SHADER:\n");
    strText.Add(CKorvelString("\nFRAGMENT SHADER:\n"));
    strText.Add(CKorvelString("\nPROGRAM:\n"));
}

KE_RETVAL CKorvel3DProgram::BuildProgram(const CKorvelString& strVertexSource,
                                         const CKorvelString& strFragmentSource, unsigned int& uVertexShader,
                                         unsigned int& uFragmentShader, unsigned int& uProgram)
{
    KE_RETVAL iResult = CompileVertexShader(strVertexSource, uVertexShader);
    if (iResult != KE_OK)
        return iResult;
    iResult = CompileFragmentShader(strFragmentSource, uFragmentShader);
    if (iResult != KE_OK)
    {
        glDeleteShader(uVertexShader);
        uVertexShader = 0;
        return iResult;
    }
    iResult = LinkProgram(uVertexShader, uFragmentShader, uProgram);
    if (iResult != KE_OK)
    {
        // The link step has deleted all three objects.
        uVertexShader = uFragmentShader = uProgram = 0;
        return KE_ERR_INVALIDARG;
    }
    return KE_OK;
}

KE_RETVAL CKorvel3DProgram::CompileVertexShader(const CKorvelString& strSource, unsigned int& uShader)
{
    return CompileShader(GL_VERTEX_SHADER, strSource, uShader);
}

KE_RETVAL CKorvel3DProgram::CompileFragmentShader(const CKorvelString& strSource, unsigned int& uShader)
{
    return CompileShader(GL_FRAGMENT_SHADER, strSource, uShader);
}

KE_RETVAL CKorvel3DProgram::CompileShader(unsigned int uKind, const CKorvelString& strSource,
                                          unsigned int& uShader)
{
    uShader = glCreateShader(uKind);
    {
        CAnsiText text(PreprocessShaderSource(strSource));
        if (!text.Get())
        {
            glDeleteShader(uShader);
            uShader = 0;
            return KE_ERR_OUTOFMEMORY;
        }
        const char* pText = text.Get();
        glShaderSource(uShader, 1, &pText, nullptr);
    }
    glCompileShader(uShader);
    GLint iStatus = 0;
    glGetShaderiv(uShader, GL_COMPILE_STATUS, &iStatus);
    if (!iStatus)
    {
        glDeleteShader(uShader);
        uShader = 0;
        return KE_ERR_INVALIDARG;
    }
    return KE_OK;
}

KE_RETVAL CKorvel3DProgram::LinkProgram(unsigned int uVertexShader, unsigned int uFragmentShader,
                                        unsigned int& uProgram)
{
    uProgram = glCreateProgram();
    glAttachShader(uProgram, uFragmentShader);
    glAttachShader(uProgram, uVertexShader);
    glLinkProgram(uProgram);
    GLint iStatus = 0;
    glGetProgramiv(uProgram, GL_LINK_STATUS, &iStatus);
    if (iStatus)
        return KE_OK;
    glDeleteProgram(uProgram);
    uProgram = 0;
    glDeleteShader(uVertexShader);
    glDeleteShader(uFragmentShader);
    return KE_ERR_INVALIDARG;
}

CKorvelString CKorvel3DProgram::PreprocessShaderSource(const CKorvelString& strSource)
{
    return CKorvelString(strSource);
}

int CKorvel3DProgram::GetShaderError(unsigned int uShader, CKorvelString& strText)
{
    return ReadInfoLog(uShader, GL_COMPILE_STATUS, strText, glGetShaderiv, glGetShaderInfoLog);
}

int CKorvel3DProgram::GetProgramError(unsigned int uProgram, CKorvelString& strText)
{
    return ReadInfoLog(uProgram, GL_LINK_STATUS, strText, glGetProgramiv, glGetProgramInfoLog);
}
