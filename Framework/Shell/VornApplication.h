// The application as the game, the toolkit and the lobby see it: the engine application,
// the resource manager, and the operations of the shell's application object. The shell
// implements all of them; this class has no data of its own.
#pragma once

#include "Framework/Shell/VornResourceManager.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelRect.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelTypes.h"
#include "KorvelGraphics/KorvelApplication.h"

class CKorvelBitmapFont;
class CKorvelSoundEngine;
class CKorvelSoundMusicPlayer;
class CVornAchievementStation;
class CVornDevice;
class CVornLanguage;
class CVornSettings;
class CVornStatistics;
class CVornTheme;

class CVornApplication : public IKorvelApplication, public CVornResourceManager
{
public:
    // Lobby pages the game may open during a match.
    enum eCLIENTPAGE : int
    {
        CLIENTPAGE_CHAT = 0,
        CLIENTPAGE_SHOP = 1,
        CLIENTPAGE_PROFILE = 2,
        CLIENTPAGE_PLAYERS = 3,
        CLIENTPAGE_SETTINGS = 4
    };

    // One of the player's in-game items, built by the lobby from its shop data.
    struct sItemData
    {
        int m_iEnabled; // 1 when the item is enabled
        int m_iItemId;
        int m_iAmount;     // a count, or seconds left for timed items
        int m_iFileId;     // number of the item's data pack
        int m_iGroupValue; // the group's third value, -1 without a group
        int m_iDescId;     // number of the description file in the data pack
        int m_iGroupType;  // 0 without a group
    };

    CVornApplication() = default;
    ~CVornApplication() override = default;

    virtual void Exit() = 0;
    // Non-zero: log out for good; zero: log in again.
    virtual void Logout(unsigned int uFull) = 0;
    virtual void Relogin() = 0;
    virtual KE_RETVAL IntroStateComplete() = 0;
    virtual void DrawDefaultBackground() = 0;
    // Volumes are 0..100.
    virtual int GetSoundVolume() = 0;
    virtual void SetSoundVolume(int iVolume) = 0;
    virtual void MuteSound(unsigned int uMute) = 0;
    virtual unsigned int IsSoundMute() = 0;
    virtual int GetMusicVolume() = 0;
    virtual void SetMusicVolume(int iVolume) = 0;
    virtual void MuteMusic(unsigned int uMute) = 0;
    virtual unsigned int IsMusicMute() = 0;
    virtual void MuteAll(unsigned int uMute) = 0;
    virtual KE_RETVAL PlayMusic(const CKorvelString& strName, unsigned int uLoop) = 0;
    virtual void StopMusic() = 0;
    virtual CKorvelSoundMusicPlayer* GetMusicPlayer() = 0;
    virtual CKorvelSoundEngine* GetSoundEngine() = 0;
    virtual void SetVibrations(unsigned int uOn) = 0;
    virtual unsigned int GetVibrations() = 0;
    virtual CVornDevice* GetDevice() = 0;
    virtual CVornStatistics* GetStatistics() = 0;
    virtual CVornAchievementStation* GetAchievementStation() = 0;
    virtual void SetDebugText(const CKorvelString& strText) = 0;
    virtual const CKorvelString& GetVornUserName() = 0;
    // The server's release number, 0 without a session.
    virtual int GetReleaseId() const { return 0; }
    // Empty while there is no lobby.
    virtual const CKorvelArray<sItemData>& GetItems() = 0;
    virtual void GetItemFile(int iFileId, CKorvelString& strPath) = 0;
    virtual void UseItem(int iItemId, int iValue) = 0;
    virtual CVornLanguage* GetLanguage() = 0;
    virtual CVornTheme* GetTheme() = 0;
    // All zero while there is no lobby.
    virtual void GetVornArea(CKorvelRect<int>& rect) = 0;
    virtual void SwitchToPage(eCLIENTPAGE ePage) = 0;
    virtual unsigned int IsGuestLogin() = 0;
    // Zero opens the post-game chat; non-zero leaves it.
    virtual void OnGameplayEnd(unsigned int uLeave) = 0;
    virtual void QuickExit() = 0;
    // The settings file, queried as an INI file.
    virtual CVornSettings* GetSettings() = 0;
    virtual unsigned int IsLoggedIn() = 0;
    virtual void RefillItem(int iItemId) = 0;
    virtual CKorvelBitmapFont* GetDefaultFont() = 0;

private:
    CVornApplication(const CVornApplication&) = delete;
    CVornApplication& operator=(const CVornApplication&) = delete;
};
