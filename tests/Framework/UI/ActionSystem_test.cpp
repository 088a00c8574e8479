#include "Framework/Shell/ResourceTestMedia.h"
#include "Framework/Shell/VornDevice.h"
#include "Framework/UI/ActionCallbackMap.h"
#include "Framework/UI/ActionEntry.h"
#include "Framework/UI/ActionHandler.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformPcmControl.h"
#include "support/TestVornApplication.h"
#include "support/UiTestFiles.h"
#include "tests/Framework/UI/WidgetProbe.h"

#include <gtest/gtest.h>
#include <memory>

namespace
{
// Trigger functions log "<tag>:<sender name>" into the log they are given as context.
struct sTAG
{
    WidgetLog* pLog;
    const char* pTag;
};

KE_RETVAL TagCallback(CWidget* pSender, void* pContext)
{
    const sTAG* pTag = static_cast<const sTAG*>(pContext);
    char aName[64] = "-";
    if (pSender)
        pSender->GetName().MakeAnsi(aName);
    pTag->pLog->push_back(std::string(pTag->pTag) + ":" + aName);
    return KE_OK;
}

struct sSENDERS
{
    sSENDERS()
    {
        for (CProbeWidget** pp : {&pFirst, &pSecond})
            *pp = CProbeWidget::Make(nullptr, pp == &pFirst ? "first" : "second", CKorvelRect<int>());
    }
    ~sSENDERS()
    {
        sTreeDeleter()(pFirst);
        sTreeDeleter()(pSecond);
    }
    CProbeWidget* pFirst = nullptr;
    CProbeWidget* pSecond = nullptr;
};
} // namespace

TEST(CActionEntry, TriggersFireAtTheStartAndWhenTheirTimeIsReached)
{
    WidgetLog log;
    sTAG early{&log, "early"}, late{&log, "late"};
    sSENDERS senders;
    CActionEntry entry;
    entry.Startup(CKorvelString("show"));
    entry.AddTrigger(0.0f, CActionCallback(TagCallback, &early));
    entry.AddTrigger(0.5f, CActionCallback(TagCallback, &late));
    EXPECT_EQ(entry.IsRunning(), 0u);

    entry.Start(senders.pFirst);
    EXPECT_EQ(log, WidgetLog{"early:first"});
    entry.Update(0.25f);
    // Invoked again while running: neither the timing nor the sender changes.
    entry.Start(senders.pSecond);
    EXPECT_EQ(entry.GetTime(), 0.25f);
    EXPECT_EQ(entry.GetSender(), senders.pFirst);
    EXPECT_EQ(log.size(), 1u);
    entry.Update(0.25f);
    EXPECT_EQ(log, (WidgetLog{"early:first", "late:first"}));
    EXPECT_EQ(entry.IsRunning(), 0u);
    EXPECT_EQ(entry.GetSender(), nullptr);

    // The next run starts over with every record pending again.
    entry.Start(senders.pSecond);
    entry.Update(1.0f);
    EXPECT_EQ(log, (WidgetLog{"early:first", "late:first", "early:second", "late:second"}));
}

TEST(CActionEntry, RecordsFireInTimeOrderAcrossFramesAndInAddedOrderWithinOne)
{
    WidgetLog log;
    sTAG a{&log, "a"}, b{&log, "b"}, c{&log, "c"}, d{&log, "d"}, n{&log, "negative"};
    CTestVornApplication app;
    CVornDevice device;
    device.Startup(&app);
    app.m_pDevice = &device;
    CActionEntry entry;
    entry.Startup(CKorvelString("sequence"));
    entry.SetApplication(&app);
    entry.AddTrigger(0.4f, CActionCallback(TagCallback, &a));
    entry.AddTrigger(0.1f, CActionCallback(TagCallback, &b));
    entry.AddTrigger(0.3f, CActionCallback(TagCallback, &c));
    entry.AddTrigger(0.1f, CActionCallback(TagCallback, &d));
    entry.AddTrigger(-1.0f, CActionCallback(TagCallback, &n));
    entry.AddTrigger(0.0f, CActionCallback()); // no function: not added
    entry.AddVibrate(-1.0f, 0);                // negative vibration time: not added
    entry.AddVibrate(0.75f,
                     CVornDevice::VIBRA_SHORT); // the device does nothing, but the record times the run

    entry.Start(nullptr);
    EXPECT_EQ(log, WidgetLog{"negative:-"});
    entry.Update(0.125f);
    entry.Update(0.375f);
    EXPECT_EQ(log, (WidgetLog{"negative:-", "b:-", "d:-", "a:-", "c:-"}));
    EXPECT_EQ(entry.IsRunning(), 1u);
    entry.Update(0.25f);
    EXPECT_EQ(entry.IsRunning(), 0u);

    // Stop ends a run at once; records it left pending are set again by the next Start.
    entry.Start(nullptr);
    entry.Stop();
    entry.Update(1.0f);
    EXPECT_EQ(log.size(), 6u);
    // An entry without records stops within its Start.
    CActionEntry empty;
    empty.Startup(CKorvelString("empty"));
    empty.Start(nullptr);
    EXPECT_EQ(empty.IsRunning(), 0u);
}

TEST(CActionCallbackMap, ReservedNamesAndApplicationBindings)
{
    WidgetLog log;
    sTAG app{&log, "app"}, plain{&log, "plain"};
    const CActionCallback appCallback(TagCallback, &app), plainCallback(TagCallback, &plain);
    CActionHandler handler;
    CActionCallbackMap map;
    map.Startup(&handler);

    map.RegisterAction(CKorvelString("app:menu"), plainCallback, 0);
    EXPECT_EQ(map.GetCallbacks().GetCount(), 0);
    map.RegisterAction(CKorvelString("menu"), appCallback, 1);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("menu")) == appCallback);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("app:menu")) == appCallback);
    map.RegisterAction(CKorvelString("menu"), plainCallback, 0);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("menu")) == plainCallback);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("app:menu")) == appCallback);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("unknown")).IsEmpty());
    EXPECT_EQ(map.GetActionCallback(CKorvelString("unknown")).Call(nullptr), 0);
    EXPECT_EQ(map.GetCallbacks().GetCount(), 2);
    map.Shutdown();
    EXPECT_EQ(map.GetCallbacks().GetCount(), 0);
}

TEST(CActionCallbackMap, LayoutActionsWrapTheApplicationHandlerOfTheirName)
{
    WidgetLog log;
    sTAG app{&log, "app"}, after{&log, "after"};
    sSENDERS senders;
    CActionHandler handler;
    CActionCallbackMap map;
    map.Startup(&handler);
    map.RegisterAction(CKorvelString("login"), CActionCallback(TagCallback, &app), 1);

    CActionEntry* pEntry = map.CreateAction(CKorvelString("login"));
    ASSERT_NE(pEntry, nullptr);
    // The loader looks up a trigger naming the action itself under "app:".
    pEntry->AddTrigger(0.0f, map.GetActionCallback(CKorvelString("app:login")));
    pEntry->AddTrigger(0.2f, CActionCallback(TagCallback, &after));
    EXPECT_EQ(handler.GetCount(), 1);

    EXPECT_EQ(map.GetActionCallback(CKorvelString("login")).Call(senders.pFirst), KE_OK);
    EXPECT_EQ(log, WidgetLog{"app:first"});
    handler.Update(0.125f);
    handler.Update(0.125f);
    EXPECT_EQ(log, (WidgetLog{"app:first", "after:first"}));

    // A reserved name makes an entry that no name reaches.
    EXPECT_NE(map.CreateAction(CKorvelString("app:hidden")), nullptr);
    EXPECT_TRUE(map.GetActionCallback(CKorvelString("app:hidden")).IsEmpty());
    EXPECT_EQ(handler.GetCount(), 2);
    handler.Shutdown();
    map.Shutdown();
    EXPECT_EQ(handler.GetCount(), 0);

    CActionCallbackMap unbound;
    EXPECT_EQ(unbound.CreateAction(CKorvelString("orphan")), nullptr);
    EXPECT_TRUE(unbound.GetActionCallback(CKorvelString("orphan")).IsEmpty());
}

// The entry hands sounds back to the resource manager, and deletes those nobody manages.
TEST(CActionEntry, ShutdownReleasesOrDeletesItsSounds)
{
    CTestVornApplication app;
    ASSERT_EQ(app.StartSound(false), KE_OK);
    ASSERT_TRUE(WriteUiPack(app.Dir(), "s.kmp", {{"tap.wav", SineWav()}}));
    ASSERT_EQ(app.AddPack(CKorvelString("s.kmp"), 0, 0), 1);
    CKorvelSoundWave* pManaged = app.GetSound(CKorvelString("tap.wav"), 1, 0);
    ASSERT_NE(pManaged, nullptr);

    CActionEntry entry;
    entry.Startup(CKorvelString("tap"));
    entry.SetApplication(&app);
    entry.AddSound(0.0f, pManaged);
    entry.AddSound(0.0f, new CKorvelSoundWave); // unknown to the manager
    entry.AddSound(0.0f, nullptr);              // not added
    entry.Shutdown();
    EXPECT_EQ(app.HaveSound(CKorvelString("tap.wav")), nullptr) << "its only reference was given back";

    CActionEntry alone;
    alone.Startup(CKorvelString("alone"));
    alone.AddSound(0.5f, new CKorvelSoundWave);
    alone.Shutdown(); // no application: deleted here (LeakSanitizer checks it)
}

// On the real mixer: a sound that falls due while its loader still runs plays nothing; once
// ready, the record restarts it and the next mixer pass carries its samples.
TEST(CActionEntry, SoundsPlayOnlyOnceTheirLoaderHasFinished)
{
    CTestVornApplication app;
    ASSERT_EQ(app.StartSound(false), KE_OK);
    ASSERT_TRUE(WriteUiPack(app.Dir(), "s.kmp", {{"tap.wav", SineWav()}}));
    ASSERT_EQ(app.AddPack(CKorvelString("s.kmp"), 0, 0), 1);
    CKorvelSoundWave* pWave = app.GetSound(CKorvelString("tap.wav"), 0, 0);
    ASSERT_NE(pWave, nullptr);
    ASSERT_EQ(app.IsSoundReady(pWave), 0u);
    CKorvelSoundEngine* pEngine = app.GetSoundEngine();
    auto silentPass = [&]()
    {
        const size_t uBlock = plat::PcmCaptureBlockCount();
        pEngine->Update(0.0f);
        if (plat::PcmCaptureBlockCount() != uBlock + 1)
            return -1;
        for (uint8_t b : plat::PcmCaptureBlock(uBlock))
            if (b != 0)
                return 0;
        return 1;
    };

    // The loader runs to its end, but only the next tick hands the wave over.
    for (int i = 0; i < 10 && !(app.m_aLoaders.GetCount() > 0 && app.m_aLoaders[0]->HasWorker()); ++i)
        app.Tick();
    ASSERT_EQ(app.m_aLoaders.GetCount(), 1);
    ASSERT_TRUE(app.m_aLoaders[0]->HasWorker());
    while (!app.m_aLoaders[0]->IsDone() || app.m_aLoaders[0]->IsAlive())
        IKorvelThread::Sleep(1);
    ASSERT_EQ(app.IsSoundReady(pWave), 0u);

    CActionEntry entry;
    entry.Startup(CKorvelString("tap"));
    entry.SetApplication(&app);
    entry.AddSound(0.25f, pWave);
    entry.Start(nullptr);
    entry.Update(0.5f);
    EXPECT_EQ(entry.IsRunning(), 0u) << "the record was due and is passed over";
    EXPECT_EQ(silentPass(), 1);
    app.Tick();
    ASSERT_EQ(app.IsSoundReady(pWave), 1u);
    EXPECT_EQ(silentPass(), 1) << "the passed-over record left nothing playing";

    entry.Start(nullptr);
    entry.Update(0.125f);
    EXPECT_EQ(silentPass(), 1) << "not yet due";
    const size_t uBefore = plat::PcmCaptureBlockCount();
    entry.Update(0.125f);
    EXPECT_EQ(plat::PcmCaptureBlockCount(), uBefore) << "nothing reaches the output before the mixer runs";
    EXPECT_EQ(silentPass(), 0) << "the pass after the due update carries the sound";
    entry.Shutdown();
}
