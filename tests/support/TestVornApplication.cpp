#include "support/TestVornApplication.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "KorvelSound/KorvelSoundEngine.h"
#include "PlatformPcmControl.h"
#include "support/TestApplication.h"
#include "support/TestMedia.h"

namespace
{
std::string CurrentDir()
{
    char acPath[PATH_MAX];
    return getcwd(acPath, sizeof(acPath)) ? std::string(acPath) : std::string();
}
} // namespace

CTestVornApplication::CTestVornApplication(int iWidth, int iHeight)
    : CTestVornApplication(PrepareHeadless(iWidth, iHeight))
{
}

CTestVornApplication::sPrepared CTestVornApplication::PrepareHeadless(int iWidth, int iHeight)
{
    ResetHeadlessPlatform(iWidth, iHeight);
    return sPrepared{0};
}

CTestVornApplication::CTestVornApplication(sPrepared) : m_strPreviousDir(CurrentDir())
{
    std::error_code ec;
    std::filesystem::create_directories(m_Dir.Path() + "/app/native", ec);
    std::filesystem::create_directories(m_Dir.Path() + "/data", ec);
    if (chdir(m_Dir.Path().c_str()) != 0)
        ADD_FAILURE() << "cannot change into " << m_Dir.Path();
}

CTestVornApplication::~CTestVornApplication()
{
    CVornResourceManager::Shutdown();
    if (m_pOwnSoundEngine)
    {
        m_pOwnSoundEngine->Shutdown();
        delete m_pOwnSoundEngine;
        m_pOwnSoundEngine = nullptr;
        plat::PcmControlReset();
    }
    IKorvelApplication::CleanUp();
    if (!m_strPreviousDir.empty() && chdir(m_strPreviousDir.c_str()) != 0)
        ADD_FAILURE() << "cannot change back into " << m_strPreviousDir;
}

KE_RETVAL CTestVornApplication::StartHeadless()
{
    SKE_DISPLAYMODE mode = {};
    KE_RETVAL iResult = IKorvelApplication::Startup(nullptr, &mode);
    if (iResult != KE_OK)
        return iResult;
    return CVornResourceManager::Startup(this, m_pOwnSoundEngine);
}

KE_RETVAL CTestVornApplication::StartSound(bool bMixerThread)
{
    plat::PcmControlReset();
    plat::PcmControlUseCaptureSink(true, bMixerThread); // a mixer thread writes in real time
    m_pOwnSoundEngine = new CKorvelSoundEngine();
    KE_RETVAL iResult = m_pOwnSoundEngine->Startup(
        nullptr, 44100, 16, 2, nullptr, bMixerThread ? 0 : CKorvelSoundEngine::STARTUP_NO_THREAD, 0);
    if (iResult != KE_OK)
    {
        m_pOwnSoundEngine->Shutdown();
        delete m_pOwnSoundEngine;
        m_pOwnSoundEngine = nullptr;
        return iResult;
    }
    return CVornResourceManager::Startup(this, m_pOwnSoundEngine);
}

void CTestVornApplication::StartResourcesOnly()
{
    CVornResourceManager::Startup(this, m_pOwnSoundEngine);
}

bool CTestVornApplication::WritePack(const std::string& strName, const TestPackItems& items) const
{
    return WriteTestFile(AppFile(strName), TestPackBytes(items));
}
