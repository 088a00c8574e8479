// Owns one parsed XML document, read from bytes or from a file the resource manager
// finds in the media packs, and offers navigation and typed reads by node. Attributes
// are child nodes named "$" + the attribute name.
#pragma once

#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvelXMLDataNode;
class CVornApplication;

class CXMLLoaderWrapper
{
public:
    CXMLLoaderWrapper();
    // Releases a document still loaded.
    virtual ~CXMLLoaderWrapper();

    // Keeps the application, whose resource manager supplies files. Returns 1.
    KE_RETVAL Startup(CVornApplication& app);
    void Shutdown();
    void ReleaseXmlDoc();

    // Replaces the document by the parsed bytes (which the parser may change); the parser's
    // result, and no document when it is not 1.
    KE_RETVAL LoadFromData(unsigned char* pData, unsigned int uSize);
    // 8 for a file that is missing or empty; the document loaded before then stays.
    KE_RETVAL LoadFromFile(const CKorvelString& strName);

    // The root element, or null.
    CKorvelXMLDataNode* GetRootNode() const;

    // Null for an attribute node or a node without children.
    static CKorvelXMLDataNode* FirstChild(CKorvelXMLDataNode* pNode);
    static CKorvelXMLDataNode* GetNextNode(CKorvelXMLDataNode* pNode);
    static const char* GetName(CKorvelXMLDataNode* pNode);
    // Direct children only.
    static CKorvelXMLDataNode* FindChild(CKorvelXMLDataNode* pNode, const char* pName);
    // The text at the path below the node (owned by the document), or null.
    static const char* GetText(CKorvelXMLDataNode* pNode, const char* pPath);
    static int GetInt(CKorvelXMLDataNode* pNode, const char* pPath, int iDefault);
    static float GetFloat(CKorvelXMLDataNode* pNode, const char* pPath, float fDefault);

protected:
    CVornApplication* m_pApp;
    CKorvelXMLDataNode* m_pDocument; // owned

private:
    CXMLLoaderWrapper(const CXMLLoaderWrapper&) = delete;
    CXMLLoaderWrapper& operator=(const CXMLLoaderWrapper&) = delete;
};
