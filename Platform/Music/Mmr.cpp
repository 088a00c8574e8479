// The renderer's calls: connections, contexts and the per-context operations,
// each logged and open to failure injection by its name.
#include <cstring>
#include <string>

#include "Platform/Common/CallLog.h"
#include "Platform/Music/MusicContext.h"
#include "Platform/Music/MusicEvents.h"
#include "PlatformMmr.h"

namespace plat
{

struct mmr_connection_t
{
    std::string m_strName;
};

namespace
{

// Logs the call; an injected failure is recorded in the context's error information.
bool EnterContextCall(mmr_context_t* pContext, const char* pszName,
                      std::initializer_list<long long> aArgs = {})
{
    if (!pContext)
    {
        RecordCall(pszName, aArgs);
        return false;
    }
    if (RecordCall(pszName, aArgs))
    {
        pContext->m_Music.Fail(MMR_ERROR_INVALID_STATE, "injected failure");
        return false;
    }
    return true;
}

} // namespace

mmr_connection_t* mmr_connect(const char* pszName)
{
    if (RecordCall("mmr_connect"))
        return nullptr;
    return new mmr_connection_t{pszName ? pszName : "default"};
}

int mmr_disconnect(mmr_connection_t* pConnection)
{
    if (RecordCall("mmr_disconnect") || !pConnection)
        return -1;
    delete pConnection;
    return 0;
}

mmr_context_t* mmr_context_create(mmr_connection_t* pConnection, const char* pszName, int iFlags, mode_t mode)
{
    if (RecordCall("mmr_context_create", {iFlags, static_cast<long long>(mode)}) || !pConnection || !pszName)
        return nullptr;
    mmr_context_t* pContext = new mmr_context_t(pszName);
    MusicRegisterContext(pContext, pszName);
    return pContext;
}

int mmr_context_destroy(mmr_context_t* pContext)
{
    if (RecordCall("mmr_context_destroy") || !pContext)
        return -1;
    MusicUnregisterContext(pContext);
    delete pContext;
    return 0;
}

int mmr_output_attach(mmr_context_t* pContext, const char* pszUrl, const char* pszType)
{
    if (!EnterContextCall(pContext, "mmr_output_attach"))
        return -1;
    if (!pszUrl || !pszType || strcmp(pszUrl, "audio:default") != 0 || strcmp(pszType, "audio") != 0)
        return pContext->m_Music.Fail(MMR_ERROR_INVALID_PARAMETER, "only audio:default of type audio");
    return pContext->m_Music.AttachOutput(MusicCaptureEnabled());
}

int mmr_input_attach(mmr_context_t* pContext, const char* pszUrl, const char* pszType)
{
    if (!EnterContextCall(pContext, "mmr_input_attach"))
        return -1;
    if (!pszUrl || !pszType || strcmp(pszType, "track") != 0)
        return pContext->m_Music.Fail(MMR_ERROR_INVALID_PARAMETER, "inputs are tracks");
    return pContext->m_Music.AttachInput(pszUrl);
}

int mmr_input_detach(mmr_context_t* pContext)
{
    return EnterContextCall(pContext, "mmr_input_detach") ? pContext->m_Music.DetachInput() : -1;
}

int mmr_speed_set(mmr_context_t* pContext, unsigned int uSpeed)
{
    return EnterContextCall(pContext, "mmr_speed_set", {uSpeed}) ? pContext->m_Music.SetSpeed(uSpeed) : -1;
}

int mmr_play(mmr_context_t* pContext)
{
    return EnterContextCall(pContext, "mmr_play") ? pContext->m_Music.Play() : -1;
}

int mmr_stop(mmr_context_t* pContext)
{
    return EnterContextCall(pContext, "mmr_stop") ? pContext->m_Music.Stop() : -1;
}

int mmr_seek(mmr_context_t* pContext, const char* pszPosition)
{
    const long long llLogged = pszPosition ? atoll(pszPosition) : -1;
    return EnterContextCall(pContext, "mmr_seek", {llLogged}) ? pContext->m_Music.Seek(pszPosition) : -1;
}

int mmr_volume_set(mmr_context_t* pContext, unsigned int uVolume)
{
    return EnterContextCall(pContext, "mmr_volume_set", {uVolume}) ? pContext->m_Music.SetVolume(uVolume)
                                                                   : -1;
}

const mmr_error_info_t* mmr_error_info(mmr_context_t* pContext)
{
    RecordCall("mmr_error_info");
    return pContext ? pContext->m_Music.ErrorInfo() : nullptr;
}

} // namespace plat
