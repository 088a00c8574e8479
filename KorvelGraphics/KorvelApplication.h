// The engine's application base. So far it holds the per-frame runnables: the
// objects that higher layers register to get time on the main thread each frame.
#pragma once

#include "KorvelCommon/KorvelPtrArray.h"
#include "KorvelCommon/KorvelRunnable.h"

class IKorvelApplication
{
public:
    IKorvelApplication() {}
    virtual ~IKorvelApplication() {}

    // Sets the runnable's registered flag and appends it to the per-frame list.
    void AddRunnable(IKorvelRunnable* runnable);
    // Removes the first matching entry and clears its flag; nothing when absent.
    void RemoveRunnable(IKorvelRunnable* runnable);

protected:
    // The runnables' share of a frame: each registered runnable's Update, by index
    // while the index is below the current count, so one added meanwhile runs too.
    void UpdateRunnables(float frameSeconds);

    CKorvelPtrArray m_Runnables; // IKorvelRunnable*, not owned
};
