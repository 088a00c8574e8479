// The process entry and the two hooks that the game gives it.
#pragma once

class IKorvelApplication;

// The game's hooks (defined by the game, or by a test that plays it).
// The application's global flags word; main stores it before anything else runs.
unsigned int KorvelAppGlobalFlags();
// Creates and starts the application; null (after deleting what it made) when its
// start-up did not return 1.
IKorvelApplication* InitKorvelApp(void* pHandle);

// What main does: the flags, the game's application, its run and its deletion. Returns
// the process status: the run's (0), or EXIT_FAILURE when the application did not start.
int KorvelProcessEntry();
