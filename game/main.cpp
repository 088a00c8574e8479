// The game's hooks for the process entry: the application object with the game's root
// state, started at 800 x 600.
#include "Framework/Shell/KestrolundApplication.h"
#include "KorvelCommon/KorvelEntry.h"
#include "game/StateGame.h"

#include <new>

unsigned int KorvelAppGlobalFlags()
{
    return 1;
}

IKorvelApplication* InitKorvelApp(void* pHandle)
{
    CKestrolundApplication* pApplication = new (std::nothrow) CKestrolundApplication();
    if (!pApplication)
        return nullptr;
    CStateGame* pGame = new (std::nothrow) CStateGame();
    if (!pGame)
    {
        delete pApplication;
        return nullptr;
    }
    if (pApplication->Startup(pHandle, 800, 600, pGame) == KE_OK)
        return pApplication;
    delete pGame;
    delete pApplication;
    return nullptr;
}
