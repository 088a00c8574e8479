// The lobby's players, challenges, chat, shop and item features. They are not built yet:
// their handlers and callbacks do nothing, and the match view only keeps the in-match flag.
#include "Framework/VornMenuState.h"

#include "Framework/VornGameState.h"

// ---- per-frame steps of those features


// ---- handlers

#define VORN_EMPTY_ACTION(name)                                                                              \
    KE_RETVAL CVornMenuState::name(CWidget*, void*)                                                          \
    {                                                                                                        \
        return 1;                                                                                            \
    }
VORN_EMPTY_ACTION(actionStartChangePageChat)
VORN_EMPTY_ACTION(actionExpandListItem)
VORN_EMPTY_ACTION(actionEndExpandListItem)
VORN_EMPTY_ACTION(actionExpandNastyButtons)
VORN_EMPTY_ACTION(actionExpandChatNastyButtons)
VORN_EMPTY_ACTION(actionPlayerDetails)
VORN_EMPTY_ACTION(actionToggleBuddy)
VORN_EMPTY_ACTION(actionToggleRival)
VORN_EMPTY_ACTION(actionBlockChat)
VORN_EMPTY_ACTION(actionAcceptBuddy)
VORN_EMPTY_ACTION(actionRejectBuddy)
VORN_EMPTY_ACTION(actionChatTextfieldChanged)
VORN_EMPTY_ACTION(actionExpandChatItem)
VORN_EMPTY_ACTION(actionEndExpandChatItem)
VORN_EMPTY_ACTION(actionLoadChatItem)
VORN_EMPTY_ACTION(actionUnloadChatItem)
VORN_EMPTY_ACTION(actionShowChatAvatars)
#undef VORN_EMPTY_ACTION

// ---- session callbacks


// ---- members the application calls

