// The lobby's players, challenges, chat, shop and item features. They are not built yet:
// their handlers and callbacks do nothing, and the match view only keeps the in-match flag.
#include "Framework/Lobby/VornMenuState.h"

#include "Framework/Shell/VornGameState.h"

// ---- per-frame steps of those features

// ---- handlers

#define VORN_EMPTY_ACTION(name)                                                                              \
    KE_RETVAL CVornMenuState::name(CWidget*, void*)                                                          \
    {                                                                                                        \
        return 1;                                                                                            \
    }
VORN_EMPTY_ACTION(actionToggleBuddy)
VORN_EMPTY_ACTION(actionToggleRival)
VORN_EMPTY_ACTION(actionAcceptBuddy)
VORN_EMPTY_ACTION(actionRejectBuddy)
#undef VORN_EMPTY_ACTION

// ---- session callbacks

// ---- members the application calls
