// One OpenGL ES 2.0 program built from a vertex and a fragment shader source. The
// sources are kept so that the program can be rebuilt after the platform took the GPU
// context away; attribute and uniform locations are cached by name. Main thread only,
// with the GL context current.
#pragma once

#include "KorvelCommon/KorvelID.h"
#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class IKorvelGraphicsContext;

class CKorvel3DProgram : public CKorvelID
{
public:
    typedef CKorvelMap<CKorvelString, int, CKorvelMultiSet_DefaultOrdering<CKorvelString>> LocationMap;

    CKorvel3DProgram();
    // Frees the sources and caches only: the owner calls Shutdown first.
    virtual ~CKorvel3DProgram();

    KE_RETVAL Startup(IKorvelGraphicsContext* pContext, const CKorvelString& strVertexSource,
                      const CKorvelString& strFragmentSource);
    // Rebuilds from the kept sources into this object's handles (caches emptied first).
    KE_RETVAL LinkProgram();
    // After a context loss, when the old GL names are already gone.
    void Restore() { LinkProgram(); }
    // Deletes the GL objects; the sources stay, so Restore or LinkProgram can rebuild.
    void Shutdown();
    void Release() { Shutdown(); }

    unsigned int GetHandle() const { return m_uProgram; }
    IKorvelGraphicsContext* GetContext() const { return m_pContext; }
    // -1 for a name the program lacks (asked of GL again on every call).
    int GetAttributeLocation(const CKorvelString& strName);
    int GetUniformLocation(const CKorvelString& strName);
    // Three section headings; the sections themselves are empty.
    void GetError(CKorvelString& strText) const;

    static KE_RETVAL BuildProgram(const CKorvelString& strVertexSource,
                                  const CKorvelString& strFragmentSource, unsigned int& uVertexShader,
                                  unsigned int& uFragmentShader, unsigned int& uProgram);
    static KE_RETVAL CompileVertexShader(const CKorvelString& strSource, unsigned int& uShader);
    static KE_RETVAL CompileFragmentShader(const CKorvelString& strSource, unsigned int& uShader);
    static KE_RETVAL LinkProgram(unsigned int uVertexShader, unsigned int uFragmentShader,
                                 unsigned int& uProgram);
    static CKorvelString PreprocessShaderSource(const CKorvelString& strSource);
    // 1 when compiled (linked), else 0; the info log, when there is one, becomes the text.
    static int GetShaderError(unsigned int uShader, CKorvelString& strText);
    static int GetProgramError(unsigned int uProgram, CKorvelString& strText);
    // The engine keeps no log.
    static void PrintShaderError(unsigned int) {}
    static void PrintProgramError(unsigned int) {}

private:
    CKorvel3DProgram(const CKorvel3DProgram&) = delete;
    CKorvel3DProgram& operator=(const CKorvel3DProgram&) = delete;

    static KE_RETVAL CompileShader(unsigned int uKind, const CKorvelString& strSource, unsigned int& uShader);
    int CachedLocation(LocationMap& cache, const CKorvelString& strName, bool bAttribute);
    void EmptyCaches();

    IKorvelGraphicsContext* m_pContext;
    CKorvelString m_strVertexSource;
    CKorvelString m_strFragmentSource;
    unsigned int m_uVertexShader;
    unsigned int m_uFragmentShader;
    unsigned int m_uProgram;
    LocationMap m_UniformLocations;
    LocationMap m_AttributeLocations;
};
