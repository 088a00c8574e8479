// A framework application for tests: the headless engine application (with a real Mesa
// GL context once started) and the resource manager, with trivial bodies for the
// application's operations. It works in a fresh directory of its own, with the
// application folder "app/native/" and the data folder "data/" made there.
#pragma once

#include <memory>
#include <string>

#include "Framework/Shell/VornApplication.h"
#include "support/TestPack.h"
#include "support/TestTempDir.h"

class CTestVornApplication : public CVornApplication
{
public:
    // Resets the headless platform to a display of the given size (before the engine base
    // is made, which keeps the display) and changes into the new directory; the destructor
    // changes back.
    explicit CTestVornApplication(int iWidth = 1024, int iHeight = 600);
    ~CTestVornApplication() override;

    // The engine started on the headless display (GL screen target) and the resource
    // manager started with the sound engine, if any. 1 on success.
    KE_RETVAL StartHeadless();
    // A sound engine on the PCM capture sink, handed to the resource manager. With
    // bMixerThread false the mixer runs only when the test calls its Update.
    KE_RETVAL StartSound(bool bMixerThread = false);
    // The resource manager started without GL and without sound.
    void StartResourcesOnly();

    const std::string& Dir() const { return m_Dir.Path(); }
    std::string AppFile(const std::string& strName) const { return Dir() + "/app/native/" + strName; }
    std::string DataFile(const std::string& strName) const { return Dir() + "/data/" + strName; }
    // Writes a pack into the application folder. False when the file cannot be written.
    bool WritePack(const std::string& strName, const TestPackItems& items) const;

    // ---- the application's operations
    void OnFlip() override {}
    void Exit() override { ++m_iExitCalls; }
    void Logout(unsigned int) override {}
    void Relogin() override {}
    KE_RETVAL IntroStateComplete() override { return KE_OK; }
    void DrawDefaultBackground() override {}
    int GetSoundVolume() override { return m_iSoundVolume; }
    void SetSoundVolume(int iVolume) override { m_iSoundVolume = iVolume; }
    void MuteSound(unsigned int uMute) override { m_uSoundMute = uMute; }
    unsigned int IsSoundMute() override { return m_uSoundMute; }
    int GetMusicVolume() override { return m_iMusicVolume; }
    void SetMusicVolume(int iVolume) override { m_iMusicVolume = iVolume; }
    void MuteMusic(unsigned int uMute) override { m_uMusicMute = uMute; }
    unsigned int IsMusicMute() override { return m_uMusicMute; }
    void MuteAll(unsigned int uMute) override
    {
        MuteSound(uMute);
        MuteMusic(uMute);
    }
    KE_RETVAL PlayMusic(const CKorvelString&, unsigned int) override { return KE_OK; }
    void StopMusic() override {}
    CKorvelSoundMusicPlayer* GetMusicPlayer() override { return nullptr; }
    CKorvelSoundEngine* GetSoundEngine() override { return m_pOwnSoundEngine; }
    void SetVibrations(unsigned int uOn) override { m_uVibrations = uOn; }
    unsigned int GetVibrations() override { return m_uVibrations; }
    CVornDevice* GetDevice() override { return m_pDevice; }
    CVornStatistics* GetStatistics() override { return m_pStatistics; }
    CVornAchievementStation* GetAchievementStation() override { return nullptr; }
    void SetDebugText(const CKorvelString&) override {}
    const CKorvelString& GetVornUserName() override { return m_strUserName; }
    const CKorvelArray<sItemData>& GetItems() override { return m_aItems; }
    void GetItemFile(int, CKorvelString& strPath) override { strPath = CKorvelString(); }
    void UseItem(int, int) override {}
    CVornLanguage* GetLanguage() override { return m_pLanguage; }
    CVornTheme* GetTheme() override { return nullptr; }
    void GetVornArea(CKorvelRect<int>& rect) override { rect = CKorvelRect<int>(); }
    void SwitchToPage(eCLIENTPAGE) override {}
    unsigned int IsGuestLogin() override { return 0; }
    void OnGameplayEnd(unsigned int) override {}
    void QuickExit() override {}
    CVornSettings* GetSettings() override { return m_pSettings; }
    unsigned int IsLoggedIn() override { return 0; }
    void RefillItem(int) override {}
    CKorvelBitmapFont* GetDefaultFont() override { return nullptr; }

    // Slots the tests of the persistence and device classes fill; not owned.
    CVornStatistics* m_pStatistics = nullptr;
    CVornLanguage* m_pLanguage = nullptr;
    CVornDevice* m_pDevice = nullptr;
    CVornSettings* m_pSettings = nullptr;

    CKorvelString m_strUserName;
    CKorvelArray<sItemData> m_aItems;
    int m_iExitCalls = 0;
    int m_iSoundVolume = 80;
    int m_iMusicVolume = 80;
    unsigned int m_uSoundMute = 0;
    unsigned int m_uMusicMute = 0;
    unsigned int m_uVibrations = 1;

    using CVornResourceManager::m_aLoaders;
    using CVornResourceManager::m_aPacks;
    using CVornResourceManager::m_pCurrentPack;

private:
    struct sPrepared
    {
        int m_iUnused;
    };
    explicit CTestVornApplication(sPrepared);
    static sPrepared PrepareHeadless(int iWidth, int iHeight);

    std::string m_strPreviousDir;
    CTestTempDir m_Dir;
    CKorvelSoundEngine* m_pOwnSoundEngine = nullptr; // owned
};
