#include "tools/packtool/KmpMediaCheck.h"

#include "KorvelGraphics/KorvelSurface.h"
#include "KorvelSound/KorvelSoundEngine.h"
#include "KorvelSound/KorvelSoundWave.h"
#include "PlatformPcmControl.h"

#include <cstring>

namespace
{
std::string Extension(const std::string& strName)
{
    const std::string strFile = KmpFileName(strName);
    size_t uDot = strFile.rfind('.');
    std::string strExt = uDot == std::string::npos ? "" : strFile.substr(uDot + 1);
    for (char& c : strExt)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return strExt;
}

unsigned int Le(const std::vector<unsigned char>& aData, size_t uAt, int iBytes)
{
    unsigned int uValue = 0;
    for (int i = iBytes - 1; i >= 0; --i)
        uValue = (uValue << 8) | aData[uAt + static_cast<size_t>(i)];
    return uValue;
}

bool IsPowerOfTwo(int iValue)
{
    return iValue > 0 && (iValue & (iValue - 1)) == 0;
}

// An attribute value the engine's XML reader reads back unchanged.
std::string XmlValue(const std::string& strText)
{
    std::string strOut;
    for (char c : strText)
    {
        if (c == '&')
            strOut += "&amp;";
        else if (c == '<')
            strOut += "&lt;";
        else if (c == '>')
            strOut += "&gt;";
        else if (c == '"')
            strOut += "&quot;";
        else
            strOut += c;
    }
    return strOut;
}

std::string Named(const sKmpItem& item)
{
    return "item '" + item.strName + "' (from '" + item.strSource + "')";
}

// A sound engine that writes into memory: decoding needs one, playing never happens.
class CSilentSoundEngine
{
public:
    CSilentSoundEngine()
    {
        plat::PcmControlUseCaptureSink(true);
        m_iStartup =
            m_Engine.Startup(nullptr, 22050, 16, 2, nullptr, CKorvelSoundEngine::STARTUP_NO_THREAD, 0);
    }
    ~CSilentSoundEngine()
    {
        if (m_iStartup == KE_OK)
            m_Engine.Shutdown();
        plat::PcmControlReset();
    }
    CKorvelSoundEngine* Get() { return m_iStartup == KE_OK ? &m_Engine : nullptr; }

private:
    CKorvelSoundEngine m_Engine;
    KE_RETVAL m_iStartup = KE_ERR_NOTSTARTED;
};

bool DecodesAsSound(CSilentSoundEngine& engine, const sKmpItem& item)
{
    if (!engine.Get())
        return false;
    std::vector<unsigned char> aCopy(item.aData);
    CKorvelSoundWave wave;
    KE_RETVAL iResult =
        wave.LoadFromMemory(engine.Get(), aCopy.data(), static_cast<unsigned int>(aCopy.size()), 0, 0);
    wave.Shutdown();
    return iResult == KE_OK;
}

bool DecodesAsImage(const sKmpItem& item, int& iWidth, int& iHeight)
{
    std::vector<unsigned char> aCopy(item.aData);
    CKorvelSurface surface;
    KE_RETVAL iResult =
        surface.LoadFromMemory(nullptr, aCopy.data(), static_cast<unsigned int>(aCopy.size()), nullptr);
    iWidth = surface.GetWidth();
    iHeight = surface.GetHeight();
    surface.Shutdown();
    return iResult == KE_OK && iWidth > 0 && iHeight > 0;
}
} // namespace

std::string KmpWavHeaderProblem(const std::vector<unsigned char>& aData)
{
    if (aData.size() < 12 || std::memcmp(aData.data(), "RIFF", 4) != 0 ||
        std::memcmp(aData.data() + 8, "WAVE", 4) != 0)
        return "is not a RIFF/WAVE file";
    if (aData.size() < 36 || std::memcmp(aData.data() + 12, "fmt ", 4) != 0)
        return "does not have \"fmt \" as its first chunk";
    const unsigned int uChunk = Le(aData, 16, 4);
    if (uChunk < 16 || uChunk > aData.size() - 20)
        return "has a \"fmt \" chunk of " + std::to_string(uChunk) + " bytes";
    const unsigned int uTag = Le(aData, 20, 2), uChannels = Le(aData, 22, 2);
    const unsigned int uRate = Le(aData, 24, 4), uBits = Le(aData, 34, 2);
    if (uTag == 1 && uBits != 8 && uBits != 16)
        return "holds " + std::to_string(uBits) + "-bit PCM (8 or 16 bits are read)";
    if (uTag != 1 && uTag != 17)
        return "has the format tag " + std::to_string(uTag) + " (1 for PCM or 17 for IMA ADPCM are read)";
    if (uChannels < 1 || uChannels > 2)
        return "has " + std::to_string(uChannels) + " channels (1 or 2 are read)";
    if (uRate == 0)
        return "has a sample rate of 0";
    return "";
}

bool KmpCheckMedia(const std::vector<sKmpItem>& aItems, std::vector<sKmpImageSize>& aImages,
                   std::string& strError)
{
    CSilentSoundEngine engine;
    for (const sKmpItem& item : aItems)
    {
        const std::string strExt = Extension(item.strName);
        if (strExt == "png" || strExt == "jpg" || strExt == "jpeg")
        {
            sKmpImageSize size{KmpFileName(item.strName), 0, 0};
            if (!DecodesAsImage(item, size.iWidth, size.iHeight))
            {
                strError = Named(item) + " does not decode as an image";
                return false;
            }
            aImages.push_back(size);
        }
        else if (strExt == "wav")
        {
            const std::string strProblem = KmpWavHeaderProblem(item.aData);
            if (!strProblem.empty())
            {
                strError = Named(item) + " " + strProblem;
                return false;
            }
            if (!DecodesAsSound(engine, item))
            {
                strError = Named(item) + " does not decode as a WAV sound";
                return false;
            }
        }
        else if (strExt == "ogg" && !DecodesAsSound(engine, item))
        {
            strError = Named(item) + " does not decode as an Ogg Vorbis sound";
            return false;
        }
    }
    return true;
}

std::string KmpMetaText(const std::vector<sKmpImageSize>& aImages, const sKmpMetaOptions& options)
{
    std::string strFiles;
    for (const sKmpImageSize& image : aImages)
        if (!IsPowerOfTwo(image.iWidth) || !IsPowerOfTwo(image.iHeight))
            strFiles += "      <file path=\"" + XmlValue(image.strFile) + "\" no_mipmaps=\"1\"/>\n";
    std::string strImage;
    if (options.iImageOriginalSize > 0)
        strImage += "    <original_size value=\"" + std::to_string(options.iImageOriginalSize) + "\"/>\n";
    if (!strFiles.empty())
        strImage += "    <files>\n" + strFiles + "    </files>\n";
    std::string strText;
    if (!strImage.empty())
        strText += "  <image>\n" + strImage + "  </image>\n";
    if (options.iFontOriginalSize > 0)
        strText += "  <font>\n    <original_size value=\"" + std::to_string(options.iFontOriginalSize) +
                   "\"/>\n  </font>\n";
    return strText.empty() ? "" : "<kmp>\n" + strText + "</kmp>\n";
}
