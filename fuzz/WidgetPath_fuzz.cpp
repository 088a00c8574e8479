// Widget paths as layouts name them: outside bytes as a UTF-8 path looked up from every
// widget of a small tree. A result must be a widget of that tree.
#include "Framework/UI/Widget.h"

#include <cstdint>
#include <cstdlib>

namespace
{
CWidget* Make(const char* pName, CWidget* pParent)
{
    CWidget* p = new CWidget;
    p->Startup(nullptr, nullptr, CKorvelRect<int>(0, 0, 10, 10));
    p->SetName(CKorvelString(pName));
    if (pParent)
        pParent->AddWidget(p);
    return p;
}

void Collect(CWidget* p, CKorvelArray<CWidget*>& aAll)
{
    aAll.Add(p);
    for (int i = 0; i < p->GetWidgets().GetCount(); ++i)
        Collect(p->GetWidgets()[i], aAll);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t uSize)
{
    CWidget* pRoot = Make("root", nullptr);
    CWidget* pA = Make("a", pRoot);
    Make("", Make("b", pA));
    Make(".", Make("..", pRoot));
    Make("a", Make("/", pA));
    CKorvelArray<CWidget*> aAll;
    Collect(pRoot, aAll);

    CKorvelString strPath;
    strPath.FromUTF8(reinterpret_cast<const char*>(pData), static_cast<int>(uSize));
    for (int i = 0; i < aAll.GetCount(); ++i)
    {
        CWidget* pFound = aAll[i]->FindWidgetByPath(strPath);
        bool bKnown = pFound == nullptr;
        for (int j = 0; j < aAll.GetCount() && !bKnown; ++j)
            bKnown = aAll[j] == pFound;
        if (!bKnown)
            abort();
    }
    pRoot->Shutdown();
    delete pRoot;
    return 0;
}
