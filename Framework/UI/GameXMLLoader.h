// Reads an area file (complete layouts for several screen sizes), picks the area that fits
// a screen and builds its widget tree under a new root.
#pragma once

#include "Framework/UI/UIXMLLoader.h"
#include "Framework/UI/XMLLoaderWrapper.h"
#include "KorvelCommon/KorvelSet.h"

class CActionCallbackMap;
class CKorvelXMLDataNode;
class CWidget;

// One area of the area file: its size, its aspect and its name. Also the order of the
// area set: ascending aspect.
class CAreaDescription
{
public:
    CAreaDescription() : m_pNode(nullptr), m_iWidth(1), m_iHeight(1), m_fAspect(1.0f) {}

    void SetAspect(unsigned int uWidth, unsigned int uHeight);
    float GetAspect() const { return m_fAspect; }
    // Compares sizes, not aspects.
    bool EqualAspectSize(unsigned int uWidth, unsigned int uHeight) const
    {
        return static_cast<unsigned int>(m_iWidth) == uWidth &&
               static_cast<unsigned int>(m_iHeight) == uHeight;
    }
    int Compare(const CAreaDescription* pA, const CAreaDescription* pB) const
    {
        return pA->m_fAspect < pB->m_fAspect ? -1 : (pB->m_fAspect < pA->m_fAspect ? 1 : 0);
    }

    CKorvelXMLDataNode* m_pNode; // into the loader's document
    int m_iWidth;
    int m_iHeight;
    float m_fAspect;
    CKorvelString m_strName;
};

class CGameXMLLoader : private CXMLLoaderWrapper
{
public:
    typedef CKorvelMultiSet<CAreaDescription*, CAreaDescription> AreaSet;

    CGameXMLLoader();
    ~CGameXMLLoader() override;

    KE_RETVAL Startup(CVornApplication& app, CActionCallbackMap* pActions,
                      CUIXMLLoader::CreatorMap* pExtraCreators);
    // The wrapper's code when the file fails, else 1. The document stays until Shutdown.
    KE_RETVAL LoadFromFile(const CKorvelString& strFile);
    KE_RETVAL LoadArea(CKorvelXMLDataNode* pNode);
    // Exact size first; else the widest landscape area not wider than the screen, the
    // tallest portrait area not taller, or the middle area by aspect. Null for a zero size.
    CAreaDescription* FindClosestAreaDescription(int iWidth, int iHeight);
    CAreaDescription* FindAreaDescription(int iWidth, int iHeight);
    // A new root the caller owns, or null (then the old root is left alone). The old root
    // is consumed: its unique-name widgets move into the new tree.
    CWidget* GetAreaWidget(int iWidth, int iHeight, CWidget* pOldRoot);
    void Shutdown();

    const AreaSet& GetAreas() const { return m_Areas; }

private:
    CActionCallbackMap* m_pActions;             // not owned
    AreaSet m_Areas;                            // owned descriptions
    CUIXMLLoader::CreatorMap* m_pExtraCreators; // not owned
};
