// A framework application with trivial operations on the headless platform, for programs
// that cannot link the test support library (fuzz targets, benchmarks). Its resource
// manager runs without sound; GL starts only when asked. Header only.
#pragma once

#include "Framework/Shell/VornApplication.h"
#include "tests/support/TestApplication.h"

// Resets the headless platform before the engine's constructor takes its screen context.
struct sHeadlessVornPlatform
{
    sHeadlessVornPlatform(int iWidth, int iHeight) { ResetHeadlessPlatform(iWidth, iHeight); }
};

class CHeadlessVornApplication : private sHeadlessVornPlatform, public CVornApplication
{
public:
    explicit CHeadlessVornApplication(int iWidth = 800, int iHeight = 480)
        : sHeadlessVornPlatform(iWidth, iHeight)
    {
    }
    ~CHeadlessVornApplication() override
    {
        CVornResourceManager::Shutdown();
        IKorvelApplication::CleanUp();
    }

    // bGl: the engine on the headless display as well. 1 on success.
    KE_RETVAL Start(bool bGl)
    {
        if (bGl)
        {
            SKE_DISPLAYMODE mode = {};
            KE_RETVAL iResult = IKorvelApplication::Startup(nullptr, &mode);
            if (iResult != KE_OK)
                return iResult;
        }
        return CVornResourceManager::Startup(this, nullptr);
    }

    void OnFlip() override {}
    void Exit() override {}
    void Logout(unsigned int) override {}
    void Relogin() override {}
    KE_RETVAL IntroStateComplete() override { return KE_OK; }
    void DrawDefaultBackground() override {}
    int GetSoundVolume() override { return 0; }
    void SetSoundVolume(int) override {}
    void MuteSound(unsigned int) override {}
    unsigned int IsSoundMute() override { return 1; }
    int GetMusicVolume() override { return 0; }
    void SetMusicVolume(int) override {}
    void MuteMusic(unsigned int) override {}
    unsigned int IsMusicMute() override { return 1; }
    void MuteAll(unsigned int) override {}
    KE_RETVAL PlayMusic(const CKorvelString&, unsigned int) override { return KE_OK; }
    void StopMusic() override {}
    CKorvelSoundMusicPlayer* GetMusicPlayer() override { return nullptr; }
    CKorvelSoundEngine* GetSoundEngine() override { return nullptr; }
    void SetVibrations(unsigned int) override {}
    unsigned int GetVibrations() override { return 0; }
    CVornDevice* GetDevice() override { return nullptr; }
    CVornStatistics* GetStatistics() override { return nullptr; }
    CVornAchievementStation* GetAchievementStation() override { return nullptr; }
    void SetDebugText(const CKorvelString&) override {}
    const CKorvelString& GetVornUserName() override { return m_strUserName; }
    const CKorvelArray<sItemData>& GetItems() override { return m_aItems; }
    void GetItemFile(int, CKorvelString& strPath) override { strPath.Reset(); }
    void UseItem(int, int) override {}
    CVornLanguage* GetLanguage() override { return nullptr; }
    CVornTheme* GetTheme() override { return m_pTheme; }
    void GetVornArea(CKorvelRect<int>& rect) override { rect = CKorvelRect<int>(); }
    void SwitchToPage(eCLIENTPAGE) override {}
    unsigned int IsGuestLogin() override { return 0; }
    void OnGameplayEnd(unsigned int) override {}
    void QuickExit() override {}
    CVornSettings* GetSettings() override { return nullptr; }
    unsigned int IsLoggedIn() override { return 0; }
    void RefillItem(int) override {}
    CKorvelBitmapFont* GetDefaultFont() override { return nullptr; }

    CVornTheme* m_pTheme = nullptr; // not owned

private:
    CKorvelString m_strUserName;
    CKorvelArray<sItemData> m_aItems;
};
