// The framework's cache of media by name: media packs register their items by file name,
// and surfaces, sounds, fonts, shader programs and raw files are made on first use and
// shared with a reference count until the last user releases them. Sounds may be decoded
// on a background thread, one loader at a time. At most one pack file is open at a time.
//
// Sources: VornResourceManager.cpp (construction, start, shut-down, lookups),
// VornResourceManagerPacks.cpp (packs, pack options, raw files), VornResourceManagerLoad.cpp
// (surfaces and fonts, context loss), VornResourceManagerSound.cpp (sounds and their loaders),
// VornResourceManagerCount.cpp (objects made elsewhere, counting and release).
#pragma once

#include <atomic>

#include "Framework/Shell/HashString.h"
#include "KorvelCommon/KorvelArray.h"
#include "KorvelCommon/KorvelSet.h"
#include "KorvelCommon/KorvelString.h"
#include "KorvelCommon/KorvelThread.h"
#include "KorvelCommon/KorvelTypes.h"

class CKorvel3DProgram;
class CKorvelBitmapFont;
class CKorvelMediaPack;
class CKorvelSoundEngine;
class CKorvelSoundWave;
class CKorvelSurface;
class CVornApplication;

class CVornResourceManager
{
public:
    // Packs added with target 0 are the shipped ones; any other target (downloaded packs)
    // hides target-0 items of the same name.
    enum : unsigned int
    {
        TARGET_COUNT = 2
    };
    // Item flags taken from the pack options.
    enum : unsigned int
    {
        FILEFLAG_NO_MIPMAPS = 1, // images
        FILEFLAG_KEEP_COLOR = 1  // fonts
    };

    struct ResourcePack
    {
        struct FileInfo
        {
            unsigned int m_uFlags = 0;
        };
        typedef CKorvelMap<CHashString, FileInfo> FileInfoMap;

        CKorvelString m_strPath;                  // the file actually opened
        CKorvelMediaPack* m_pMediaPack = nullptr; // open only while current (or being added)
        unsigned int m_uTarget = 0;
        FileInfoMap m_ImageFiles; // emptied once the records are made
        FileInfoMap m_FontFiles;
        int m_iImageOriginalSize = 0; // smaller screen side the images were made for; 0: no scaling
        int m_iFontOriginalSize = 0;
        unsigned int m_uSeparateAlpha = 0;
    };

    struct ResourceSurface
    {
        ResourcePack* m_pPack = nullptr; // null for surfaces made elsewhere or whose pack was removed
        CVornResourceManager* m_pManager = nullptr;
        CKorvelSurface* m_pSurface = nullptr;
        int m_iRefCount = 0;
        unsigned int m_uFlags = 0;
    };

    struct ResourceSound
    {
        ResourcePack* m_pPack = nullptr;
        CKorvelSoundWave* m_pWave = nullptr;
        int m_iRefCount = 0;
    };

    struct ResourceFont
    {
        ResourcePack* m_pPack = nullptr; // null for the built-in "default" font
        CKorvelBitmapFont* m_pFont = nullptr;
        int m_iRefCount = 0;
        unsigned int m_uFlags = 0;
        // The built-in font stays decoded after its last release, until Shutdown: layouts
        // load and drop it all the time, and decoding its page costs a good part of a load.
        bool m_bKeptLoaded = false;
    };

    struct ResourceShader
    {
        CKorvel3DProgram* m_pProgram = nullptr;
        int m_iRefCount = 0;
    };

    struct ResourceOther
    {
        ResourcePack* m_pPack = nullptr;
    };

    // Decodes one sound from bytes read beforehand. The main thread looks at the wave only
    // once the loader is done and its thread joined.
    class CAsyncSoundLoader : public IKorvelThread
    {
    public:
        CAsyncSoundLoader(CVornResourceManager* pManager, unsigned char* pBytes, unsigned int uSize,
                          CKorvelSoundWave* pWave, const CKorvelString& strItemName, unsigned int uLoadFlags);
        ~CAsyncSoundLoader() override;
        unsigned int ThreadProc() override;

        void Load();
        bool IsDone() const { return m_uDone.load() != 0; }
        CKorvelSoundWave* GetWave() const { return m_pWave; }
        const CKorvelString& GetItemName() const { return m_strItemName; }
        void FreeBytes();

    private:
        CVornResourceManager* m_pManager;
        unsigned char* m_pBytes; // owned
        unsigned int m_uSize;
        CKorvelSoundWave* m_pWave;
        CKorvelString m_strItemName; // "/" + name
        std::atomic<unsigned int> m_uDone;
        unsigned int m_uLoadFlags;
    };

    typedef CKorvelMap<CHashString, ResourceSurface*> SurfaceMap;
    typedef CKorvelMap<CHashString, ResourceSound*> SoundMap;
    typedef CKorvelMap<CHashString, ResourceFont*> FontMap;
    typedef CKorvelMap<CHashString, ResourceOther*> OtherMap;
    typedef CKorvelMap<CHashString, ResourceShader*> ShaderMap;

    CVornResourceManager();
    virtual ~CVornResourceManager();

    // The sound engine may be null (no sound). Returns 1.
    virtual KE_RETVAL Startup(CVornApplication* pApp, CKorvelSoundEngine* pSoundEngine);
    // Frees every pack, record, object and loader, also objects still held.
    virtual void Shutdown();

    // 1 when the pack was opened and its items registered, else 0. The name is taken under
    // the application folder unless uFullPath is set.
    virtual int AddPack(const CKorvelString& strName, unsigned int uFullPath, unsigned int uTarget);
    // 1 when a pack was added under exactly this path.
    virtual int HavePack(const CKorvelString& strPath);
    // Finds the pack by its path (under the application folder when uRelative is set) or the
    // path's ".jet" twin. Loaded objects of the pack stay usable. 1 when removed, else 0.
    virtual int RemovePack(const CKorvelString& strName, unsigned int uRelative);

    // Registers a surface made by the caller with count 1; a taken name leaves the surface
    // with the caller (its ReleaseSurface answers 0).
    virtual void AddSurface(const CKorvelString& strName, CKorvelSurface* pSurface);
    // The loaded object with one more reference, or null.
    virtual CKorvelSurface* HaveSurface(const CKorvelString& strName);
    virtual CKorvelSurface* GetSurface(const CKorvelString& strName);
    // 1 after counting (also for null), 0 when no record holds the object.
    virtual int IncrementSurface(CKorvelSurface* pSurface);
    // 1 (also for null) and the pointer nulled, 0 when no record holds the object.
    virtual int ReleaseSurface(CKorvelSurface*& pSurface);

    virtual CKorvelSoundWave* HaveSound(const CKorvelString& strName);
    // Bit 0 of uFlags loads now; otherwise the wave is handed out empty and decoded later
    // (ask IsSoundReady before touching its voices). uLoadFlags go to the decoder.
    virtual CKorvelSoundWave* GetSound(const CKorvelString& strName, unsigned int uFlags,
                                       unsigned int uLoadFlags);
    virtual int IncrementSound(CKorvelSoundWave* pWave);
    virtual int ReleaseSound(CKorvelSoundWave*& pWave);

    virtual CKorvelBitmapFont* HaveFont(const CKorvelString& strName);
    // "default" gives the engine's built-in font when no pack has a font of that name.
    virtual CKorvelBitmapFont* GetFont(const CKorvelString& strName);
    virtual int IncrementFont(CKorvelBitmapFont* pFont);
    virtual int ReleaseFont(CKorvelBitmapFont*& pFont);

    // Adds "<base>_<size>.kmp" for the size of the ladder nearest the screen's smaller side,
    // or the next smaller size that exists. 1, or 8 when none exists.
    virtual KE_RETVAL AddResNeutralPack(const CKorvelString& strBase, CKorvelString* pOutName, int* pOutSize);

    // Registers or replaces (shutting the old one down) the program with count 1. Returns 1.
    virtual int AddShader(const CKorvelString& strName, CKorvel3DProgram* pProgram);
    virtual CKorvel3DProgram* HaveShader(const CKorvelString& strName);
    virtual CKorvel3DProgram* GetShader(const CKorvelString& strName);
    virtual int IncrementShader(CKorvel3DProgram* pProgram);
    virtual int ReleaseShader(CKorvel3DProgram*& pProgram);

    // The item's size; *ppData gets a new zero-terminated array one byte longer, owned by
    // the caller (delete[]). Null and 0 when there is no such item.
    virtual unsigned int GetFileData(const CKorvelString& strName, unsigned char** ppData);

    // Loss and return of the graphics context: every loaded texture, font and shader.
    virtual void ReleaseResources();
    // 1, or the result of the first surface that could not be restored.
    virtual KE_RETVAL RestoreResources();

    virtual CKorvelSurface* LoadSurface(const CKorvelString& strName);
    virtual CKorvelSoundWave* LoadSound(const CKorvelString& strName, unsigned int uFlags,
                                        unsigned int uLoadFlags);
    virtual CKorvelBitmapFont* LoadFont(const CKorvelString& strName);

    // Once a frame: reaps at most one finished loader and starts the next queued one.
    void Tick();
    // 1 when no loader for the wave is queued or running, 0 for null or while one is.
    unsigned int IsSoundReady(CKorvelSoundWave* pWave);

    // The pack's media pack, opened when needed; the previously open one is closed.
    CKorvelMediaPack* GetMediaPack(ResourcePack* pPack);
    static unsigned int GetTargetIndex(unsigned int uTarget) { return uTarget == 0 ? 0 : 1; }
    // The part after the last '/', then after the last '\'.
    static CKorvelString GetFilename(const CKorvelString& strItemName);
    void LoadKmpMeta(ResourcePack* pPack);
    // The name an item is read under: "/" + its file name, or "\\" + it for an item that
    // only a backslash folder holds (both found by SeekToItem, which takes any item whose
    // name contains the text), or the bare name for an item stored without a folder when
    // no earlier item's name contains it.
    static CKorvelString GetItemPath(const CKorvelMediaPack& pack, const CKorvelString& strName);

    // Sizes of the resolution-neutral packs, largest first, and the index to start at for
    // a screen whose smaller side is iSide.
    static const int RES_LADDER[8];
    static const int RES_LADDER_COUNT = 8;
    static int ResNeutralStartIndex(int iSide);
    // The smaller side of the application's back buffer.
    int GetScreenSide();
    // Loaded fonts of packs made for one screen side take the scale of the current one, as
    // a load now would give them (after the window changed its size).
    void ScaleFontsToScreen();

protected:
    CVornApplication* m_pApp;
    CKorvelSoundEngine* m_pSoundEngine;
    unsigned int m_uStarted;
    CKorvelArray<ResourcePack*> m_aPacks;
    SurfaceMap m_Surfaces[TARGET_COUNT];
    SoundMap m_Sounds[TARGET_COUNT];
    FontMap m_Fonts[TARGET_COUNT];
    OtherMap m_Others[TARGET_COUNT];
    ShaderMap m_Shaders;
    CKorvelMutex m_Mutex; // guards the loader queue
    CKorvelArray<CAsyncSoundLoader*> m_aLoaders;
    unsigned int m_uSkipTick;
    ResourcePack* m_pCurrentPack;

private:
    // The record of the name, target 1 first; null when neither target has it.
    ResourceSurface* FindSurfaceRecord(const CHashString& name);
    ResourceSound* FindSoundRecord(const CHashString& name);
    ResourceFont* FindFontRecord(const CHashString& name);
    // The record holding the object, target 1 first; null when none does.
    ResourceSurface* FindSurfaceHolder(const CKorvelSurface* pSurface, SurfaceMap** ppMap);
    ResourceSound* FindSoundHolder(const CKorvelSoundWave* pWave);
    ResourceFont* FindFontHolder(const CKorvelBitmapFont* pFont);
    ResourceShader* FindShaderHolder(const CKorvel3DProgram* pProgram);
    void RegisterItems(ResourcePack* pPack);
    void DetachPackRecords(ResourcePack* pPack);
    // Under the mutex: the loader of the wave is joined, freed and taken out of the queue.
    void CancelLoaderLocked(const CKorvelSoundWave* pWave);
    void DeleteLoader(CAsyncSoundLoader* pLoader);
    void DeleteRecords();

    CVornResourceManager(const CVornResourceManager&) = delete;
    CVornResourceManager& operator=(const CVornResourceManager&) = delete;
};
