#include "Platform/Music/MusicDecoder.h"

#include <mpg123.h>

#include <mutex>

namespace plat
{
namespace
{

constexpr size_t kPieceBytes = 8192;

void InitLibrary()
{
    static std::once_flag s_Once;
    std::call_once(s_Once, [] { mpg123_init(); });
}

} // namespace

bool CMusicDecoder::Open(const char* pszPath)
{
    Close();
    if (!pszPath)
        return false;
    InitLibrary();
    int iError = MPG123_OK;
    m_pHandle = mpg123_new(nullptr, &iError);
    if (!m_pHandle)
        return false;
    mpg123_param(m_pHandle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // Signed 16-bit at whatever rate and channel count the track has.
    mpg123_format_none(m_pHandle);
    const long* plRates = nullptr;
    size_t uRates = 0;
    mpg123_rates(&plRates, &uRates);
    for (size_t i = 0; i < uRates; ++i)
        mpg123_format(m_pHandle, plRates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(m_pHandle, pszPath) != MPG123_OK || !ConfigureConverter())
    {
        Close();
        return false;
    }
    m_aPiece.resize(kPieceBytes);
    return true;
}

void CMusicDecoder::Close()
{
    if (!m_pHandle)
        return;
    mpg123_close(m_pHandle);
    mpg123_delete(m_pHandle);
    m_pHandle = nullptr;
}

bool CMusicDecoder::ConfigureConverter()
{
    int iEncoding = 0;
    if (mpg123_getformat(m_pHandle, &m_lRate, &m_iChannels, &iEncoding) != MPG123_OK || m_lRate <= 0 ||
        m_iChannels < 1 || m_iChannels > 2 || iEncoding != MPG123_ENC_SIGNED_16)
        return false;
    m_Converter.Configure(static_cast<int>(m_lRate), m_iChannels, false);
    return true;
}

int CMusicDecoder::Decode(std::vector<int16_t>& aOut)
{
    if (!m_pHandle)
        return -1;
    for (;;)
    {
        size_t uDone = 0;
        const int iResult = mpg123_read(m_pHandle, m_aPiece.data(), m_aPiece.size(), &uDone);
        if (iResult == MPG123_NEW_FORMAT)
        {
            if (!ConfigureConverter())
                return -1;
            continue;
        }
        if (iResult != MPG123_OK && iResult != MPG123_DONE)
            return -1;
        if (uDone == 0)
        {
            if (iResult == MPG123_DONE)
                return 0;
            continue;
        }
        const size_t uStart = aOut.size();
        aOut.resize(uStart + 2 * m_Converter.MaxOutputFrames(uDone));
        const size_t uFrames = m_Converter.Convert(m_aPiece.data(), uDone, aOut.data() + uStart);
        aOut.resize(uStart + 2 * uFrames);
        if (uFrames > 0 || iResult == MPG123_DONE)
            return static_cast<int>(uFrames);
    }
}

bool CMusicDecoder::SeekMs(long long llMs)
{
    if (!m_pHandle || llMs < 0)
        return false;
    const off_t iSample = static_cast<off_t>(llMs * m_lRate / 1000);
    if (mpg123_seek(m_pHandle, iSample, SEEK_SET) < 0)
        return false;
    m_Converter.Configure(static_cast<int>(m_lRate), m_iChannels, false); // no carry-over across the jump
    return true;
}

} // namespace plat
