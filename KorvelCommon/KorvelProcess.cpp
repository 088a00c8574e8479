#include "KorvelCommon/KorvelEntry.h"

#include "KorvelCommon/KorvelID.h"
#include "KorvelGraphics/KorvelApplication.h"

int KorvelProcessEntry()
{
    g_KEAppGlobalFlags = KorvelAppGlobalFlags();
    IKorvelApplication* pApplication = InitKorvelApp(nullptr);
    if (!pApplication)
        return 0;
    const int iResult = pApplication->Run();
    delete pApplication;
    CKorvelSafeMemory::CheckMemoryLeaks();
    return iResult;
}
