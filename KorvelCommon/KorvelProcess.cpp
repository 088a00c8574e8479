#include "KorvelCommon/KorvelEntry.h"

#include <cstdlib>

#include "KorvelCommon/KorvelID.h"
#include "KorvelGraphics/KorvelApplication.h"

int KorvelProcessEntry()
{
    g_KEAppGlobalFlags = KorvelAppGlobalFlags();
    IKorvelApplication* pApplication = InitKorvelApp(nullptr);
    if (!pApplication)
        return EXIT_FAILURE; // a start that failed must not read as success to a script
    const int iResult = pApplication->Run();
    delete pApplication;
    CKorvelSafeMemory::CheckMemoryLeaks();
    return iResult;
}
