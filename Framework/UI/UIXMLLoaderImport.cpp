// Imports with their gates, event bindings, named actions and theme files.
#include "Framework/UI/UIXMLLoader.h"

#include <cstring>

#include "Framework/Shell/VornApplication.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionEntry.h"
#include "Framework/UI/Button.h"
#include "Framework/UI/Expandable.h"
#include "Framework/UI/InfiniteList.h"
#include "Framework/UI/Slider.h"
#include "Framework/UI/TextWidget.h"
#include "Framework/UI/Theme.h"

namespace
{
// The platform number of this build in import gates.
const char* const PLATFORM_ID = " 13 ";

bool ListsPlatform(const char* pList)
{
    CKorvelString strList(" ");
    strList.Add(CKorvelString(pList));
    strList.Add(CKorvelString(" "));
    return strList.Find(CKorvelString(PLATFORM_ID), 0) >= 0;
}

// ---- event setters by class; a widget of another class is left alone
typedef void (*EventBinder)(CWidget&, const CActionCallback&);

void BindOnShow(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnShow(cb);
}
void BindOnHide(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnHide(cb);
}
void BindOnClone(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnClone(cb);
}
void BindOnCloned(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnCloned(cb);
}
void BindOnStartup(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnStartup(cb);
}
void BindOnShutdown(CWidget& widget, const CActionCallback& cb)
{
    widget.SetOnShutdown(cb);
}

void BindOnClick(CWidget& widget, const CActionCallback& cb)
{
    if (CButton* pButton = widget_cast<CButton*>(&widget))
        pButton->SetOnClick(cb);
}
void BindOnBeginExpand(CWidget& widget, const CActionCallback& cb)
{
    if (CExpandable* pExpandable = widget_cast<CExpandable*>(&widget))
        pExpandable->SetOnBeginExpand(cb);
}
void BindOnEndExpand(CWidget& widget, const CActionCallback& cb)
{
    if (CExpandable* pExpandable = widget_cast<CExpandable*>(&widget))
        pExpandable->SetOnEndExpand(cb);
}
void BindOnChanged(CWidget& widget, const CActionCallback& cb)
{
    if (CTextWidget* pText = widget_cast<CTextWidget*>(&widget))
        pText->SetOnChanged(cb);
}
void BindOnFinished(CWidget& widget, const CActionCallback& cb)
{
    if (CTextWidget* pText = widget_cast<CTextWidget*>(&widget))
        pText->SetOnFinished(cb);
}

// The list and scroll events, one setter each.
template <class T, void (T::*Setter)(const CActionCallback&)>
void BindTo(CWidget& widget, const CActionCallback& cb)
{
    if (T* p = widget_cast<T*>(&widget))
        (p->*Setter)(cb);
}

struct sEVENT_NAME
{
    const char* m_pName;
    EventBinder m_pBind;
};

// The event names layouts use; on a widget of another class an event binds to nothing.
const sEVENT_NAME EVENTS[] = {
    {"onvaluechanged", BindTo<CSlider, &CSlider::SetOnValueChangedAction>},
    {"onclick", BindOnClick},
    {"onloaditem", BindTo<CInfiniteList, &CInfiniteList::SetOnLoadItem>},
    {"onforgetitem", BindTo<CInfiniteList, &CInfiniteList::SetOnForgetItem>},
    {"onloaditembatch", BindTo<CInfiniteList, &CInfiniteList::SetOnLoadItemBatch>},
    {"onloadgroup", BindTo<CInfiniteList, &CInfiniteList::SetOnLoadGroup>},
    {"onbeginexpand", BindOnBeginExpand},
    {"onendexpand", BindOnEndExpand},
    {"onbeginscroll", BindTo<CSlideArea, &CSlideArea::SetOnBeginScroll>},
    {"onendscroll", BindTo<CSlideArea, &CSlideArea::SetOnEndScroll>},
    {"onshow", BindOnShow},
    {"onhide", BindOnHide},
    {"onclone", BindOnClone},
    {"oncloned", BindOnCloned},
    {"onstartup", BindOnStartup},
    {"onshutdown", BindOnShutdown},
    {"onchanged", BindOnChanged},
    {"onfinished", BindOnFinished},
};
} // namespace

bool CUIXMLLoader::ImportGatesPass(CKorvelXMLDataNode* pNode) const
{
    if (const char* pOs = GetText(pNode, "$device_os"))
    {
        CKorvelString strOs(pOs), strDevice;
        if (m_pApp && m_pApp->GetDevice())
            strDevice = m_pApp->GetDevice()->GetDeviceInfo().m_strOSName;
        strOs.MakeLower();
        strDevice.MakeLower();
        if (strOs.Find(strDevice, 0) < 0)
            return false;
    }
    if (const char* pIds = GetText(pNode, "$platform_id"))
        if (!ListsPlatform(pIds))
            return false;
    if (const char* pIds = GetText(pNode, "$platform_id_not"))
        if (ListsPlatform(pIds))
            return false;
    if (const char* pRenderer = GetText(pNode, "$renderer"))
        if (!std::strstr(pRenderer, "gles2"))
            return false;
    return true;
}

bool CUIXMLLoader::ImportAllowed(const char* pPath) const
{
    if (m_iImportDepth >= MAX_IMPORT_DEPTH)
        return false;
    if (!pPath)
        return true;
    CKorvelString strPath(pPath);
    for (const sImportLink* pLink = m_pImportChain; pLink; pLink = pLink->m_pOuter)
        if (pLink->m_strPath.Compare(strPath) == 0)
            return false;
    return true;
}

void CUIXMLLoader::LoadImport(CKorvelXMLDataNode* pNode, CWidget& parent, CWidget& root)
{
    (void)root;
    if (!pNode || !m_pApp || !ImportGatesPass(pNode))
        return;
    const char* pPath = GetText(pNode, "$path");
    if (!ImportAllowed(pPath))
        return;

    CWidget* pTarget = nullptr;
    if (const char* pUseParent = GetText(pNode, "$use_parent"))
    {
        CKorvelString strTarget(pUseParent);
        CWidget* pTop = parent.GetRoot();
        if (pTop && pTop->GetName().Compare(strTarget) == 0)
            pTarget = pTop;
        else if (m_pRoot)
            pTarget = m_pRoot->FindWidget(strTarget, -1);
    }

    CUIXMLLoader sub;
    sub.m_pImportChain = m_pImportChain;
    sub.m_iImportDepth = m_iImportDepth + 1;
    if (sub.Startup(*m_pApp, m_pActions, m_pExtraCreators, &parent, pTarget, nullptr) == KE_OK)
    {
        if (m_pOldWidgets)
            sub.SetOldUniqueWidgets(m_pOldWidgets);
        if (GetInt(pNode, "$use_root_coordinates", 0) && m_pRoot)
        {
            sub.m_iReferenceWidth = m_pRoot->GetWidth();
            sub.m_iReferenceHeight = m_pRoot->GetHeight();
        }
        float fAspect = GetFloat(pNode, "$aspect", 0.0f);
        if (fAspect != 0.0f)
        {
            CKorvelRect<int> rect(0, 0, sub.m_iReferenceWidth, sub.m_iReferenceHeight);
            if (FitAspect(rect, fAspect, 0.0f))
            {
                sub.m_iReferenceWidth = rect.right - rect.left;
                sub.m_iReferenceHeight = rect.bottom - rect.top;
            }
        }
        if (pPath)
            sub.LoadFromFile(CKorvelString(pPath));
        sub.LoadUiDescription(pNode);
    }
    sub.Shutdown();
}

void CUIXMLLoader::LoadEvents(CKorvelXMLDataNode* pNode, CWidget& widget)
{
    if (!pNode || !m_pActions)
        return;
    for (CKorvelXMLDataNode* pChild = FirstChild(pNode); pChild; pChild = GetNextNode(pChild))
    {
        const char* pEvent = GetName(pChild);
        const char* pAction = GetText(pChild, "$action");
        if (!pEvent || !pAction)
            continue;
        for (const sEVENT_NAME& event : EVENTS)
        {
            if (std::strcmp(event.m_pName, pEvent) != 0)
                continue;
            CActionCallback callback = m_pActions->GetActionCallback(CKorvelString(pAction));
            if (event.m_pBind && !callback.IsEmpty())
                event.m_pBind(widget, callback);
            break;
        }
    }
}

void CUIXMLLoader::LoadActions(CKorvelXMLDataNode* pNode)
{
    if (!pNode || !m_pActions)
        return;
    for (CKorvelXMLDataNode* pAction = FindChild(pNode, "action"); pAction; pAction = GetNextNode(pAction))
    {
        const char* pName = GetText(pAction, "$name");
        if (!pName)
            continue;
        CActionEntry* pEntry = m_pActions->CreateAction(CKorvelString(pName));
        if (!pEntry)
            continue;
        pEntry->SetApplication(m_pApp);
        LoadAction(pAction, *pEntry);
    }
}

void CUIXMLLoader::LoadAction(CKorvelXMLDataNode* pNode, CActionEntry& entry)
{
    for (CKorvelXMLDataNode* p = FindChild(pNode, "trigger"); p; p = GetNextNode(p))
        LoadTrigger(p, entry);
    for (CKorvelXMLDataNode* p = FindChild(pNode, "sound"); p; p = GetNextNode(p))
        LoadSound(p, entry);
    for (CKorvelXMLDataNode* p = FindChild(pNode, "vibrate"); p; p = GetNextNode(p))
        LoadVibrate(p, entry);
}

void CUIXMLLoader::LoadTrigger(CKorvelXMLDataNode* pNode, CActionEntry& entry)
{
    float fTime = GetFloat(pNode, "$time", 0.0f);
    const char* pAction = GetText(pNode, "$action");
    CKorvelString strName(pAction ? pAction : "");
    // An action triggering its own name calls the application's handler of that name.
    if (strName.Compare(entry.GetName()) == 0)
    {
        CKorvelString strApp("app:");
        strApp.Add(strName);
        strName = strApp;
    }
    CActionCallback callback = m_pActions->GetActionCallback(strName);
    if (!callback.IsEmpty())
        entry.AddTrigger(fTime, callback);
}

void CUIXMLLoader::LoadSound(CKorvelXMLDataNode* pNode, CActionEntry& entry)
{
    float fTime = GetFloat(pNode, "$time", 0.0f);
    const char* pPath = GetText(pNode, "$path");
    if (!pPath || !m_pApp)
        return;
    if (CKorvelSoundWave* pSound = m_pApp->GetSound(CKorvelString(pPath), 0, 0))
        entry.AddSound(fTime, pSound);
}

void CUIXMLLoader::LoadVibrate(CKorvelXMLDataNode* pNode, CActionEntry& entry)
{
    entry.AddVibrate(GetFloat(pNode, "$time", 0.0f), 0);
}

KE_RETVAL CUIXMLLoader::LoadTheme(CVornTheme* pTheme)
{
    if (!pTheme)
        return KE_ERR_NOTFOUND;
    m_pTheme = pTheme;
    CKorvelString strFile;
    pTheme->GetFilename(strFile);
    LoadFromFile(strFile);
    return KE_OK;
}

void CUIXMLLoader::LoadThemeConfigs(CKorvelXMLDataNode* pNode)
{
    if (!pNode || !m_pTheme)
        return;
    for (CKorvelXMLDataNode* pConfig = FindChild(pNode, "config"); pConfig; pConfig = GetNextNode(pConfig))
    {
        const char* pType = GetText(pConfig, "$type");
        if (!pType || CKorvelString(pType).CompareNoCase(CKorvelString("color")) != 0)
            continue;
        for (CKorvelXMLDataNode* pColor = FindChild(pConfig, "color"); pColor; pColor = GetNextNode(pColor))
        {
            const char* pId = GetText(pColor, "$id");
            if (!pId || !*pId)
                continue;
            CVornTheme::sColorConfig config;
            config.m_strName.Set(pId);
            config.m_uColor = 0;
            const char* pValue = GetText(pColor, "$value");
            unsigned int uValue = 0;
            if (ScanHex(pValue, uValue))
            {
                config.m_uColor = uValue;
                if (std::strlen(pValue) <= 6)
                    config.m_uColor |= 0xFF000000u;
            }
            m_pTheme->AddColorConfig(config);
        }
    }
}
