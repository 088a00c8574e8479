// The buddy and rival actions the layout binds: the lobby keeps no buddy or rival lists, so
// they do nothing.
#include "Framework/Lobby/VornMenuState.h"

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
