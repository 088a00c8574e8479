// kmptool's media checks: every image and sound item decodes with the engine's
// readers, and the pack meta the tool writes for what it found.
#include "tools/packtool/KmpMediaCheck.h"

#include "KorvelCommon/KorvelMediaPack.h"
#include "KorvelCommon/KorvelString.h"

#include "support/TestMedia.h"
#include "support/TestTempDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{
std::vector<unsigned char> Bytes(const std::vector<uint8_t>& aData)
{
    return std::vector<unsigned char>(aData.begin(), aData.end());
}

std::vector<unsigned char> Png(int iWidth, int iHeight)
{
    CTestTempDir dir;
    std::vector<uint8_t> aPixels(static_cast<size_t>(iWidth) * iHeight * 4, 200);
    EXPECT_TRUE(WriteTestPng(dir.File("i.png"), iWidth, iHeight, aPixels));
    return Bytes(ReadTestFile(dir.File("i.png")));
}

std::vector<unsigned char> Wav(int iChannels = 1, int iBits = 16)
{
    CTestTempDir dir;
    EXPECT_TRUE(WriteTestWav(dir.File("s.wav"), iChannels, 22050, iBits, std::vector<int16_t>(400, 1000)));
    return Bytes(ReadTestFile(dir.File("s.wav")));
}

std::vector<unsigned char> GeneratedOgg()
{
    return Bytes(ReadTestFile(TestSourceDir() + "/assets/generated/sounds/ui_toast.ogg"));
}

void PutLe(std::vector<unsigned char>& aData, size_t uAt, unsigned int uValue, int iBytes)
{
    for (int i = 0; i < iBytes; ++i)
        aData[uAt + static_cast<size_t>(i)] = static_cast<unsigned char>(uValue >> (8 * i));
}

// A WAV whose first chunk is a "LIST" chunk before "fmt ".
std::vector<unsigned char> WavWithListFirst()
{
    std::vector<unsigned char> aWav = Wav();
    std::vector<unsigned char> aList = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    aWav.insert(aWav.begin() + 12, aList.begin(), aList.end());
    PutLe(aWav, 4, static_cast<unsigned int>(aWav.size() - 8), 4);
    return aWav;
}

sKmpItem Item(const std::string& strName, std::vector<unsigned char> aData)
{
    return sKmpItem{strName, std::move(aData), "src/" + strName.substr(1)};
}

std::string MediaRefusal(const std::vector<sKmpItem>& aItems)
{
    std::vector<sKmpImageSize> aImages;
    std::string strError;
    return KmpCheckMedia(aItems, aImages, strError) ? "" : strError;
}

int RunTool(const CTestTempDir& dir, const std::string& strArgs, std::string* pErr = nullptr)
{
    std::string strCommand =
        std::string(KMPTOOL_PATH) + " " + strArgs + " >/dev/null 2>" + dir.File("err.txt");
    int iStatus = std::system(strCommand.c_str());
    std::vector<uint8_t> aErr = ReadTestFile(dir.File("err.txt"));
    if (pErr)
        pErr->assign(aErr.begin(), aErr.end());
    return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}
} // namespace

TEST(KmpMediaCheck, WavHeadersTheEngineReadsAndTheOnesItDoesNot)
{
    std::vector<unsigned char> aIma = Wav();
    PutLe(aIma, 20, 17, 2); // IMA ADPCM is read at any sample width
    PutLe(aIma, 34, 4, 2);
    std::vector<unsigned char> aFloat = Wav(), aWide = Wav(), aSurround = Wav(), aNoRate = Wav(),
                               aShortFmt = Wav();
    PutLe(aFloat, 20, 3, 2);
    PutLe(aWide, 34, 24, 2);
    PutLe(aSurround, 22, 6, 2);
    PutLe(aNoRate, 24, 0, 4);
    PutLe(aShortFmt, 16, 14, 4);
    std::vector<unsigned char> aRiffOnly = Wav();
    aRiffOnly.resize(20);
    const struct
    {
        std::vector<unsigned char> aData;
        std::string strProblem;
    } aCases[] = {{Wav(1, 16), ""},
                  {Wav(2, 8), ""},
                  {aIma, ""},
                  {WavWithListFirst(), "does not have \"fmt \" as its first chunk"},
                  {aFloat, "format tag 3"},
                  {aWide, "24-bit PCM"},
                  {aSurround, "6 channels"},
                  {aNoRate, "sample rate of 0"},
                  {aShortFmt, "\"fmt \" chunk of 14 bytes"},
                  {aRiffOnly, "first chunk"},
                  {Png(4, 4), "not a RIFF/WAVE file"}};
    for (const auto& c : aCases)
    {
        const std::string strProblem = KmpWavHeaderProblem(c.aData);
        if (c.strProblem.empty())
            EXPECT_EQ(strProblem, "");
        else
            EXPECT_NE(strProblem.find(c.strProblem), std::string::npos) << strProblem;
    }
}

TEST(KmpMediaCheck, EveryImageAndSoundMustDecodeAndAFailureNamesItemAndSource)
{
    std::vector<unsigned char> aPng = Png(8, 8), aOgg = GeneratedOgg();
    ASSERT_FALSE(aOgg.empty());
    std::vector<unsigned char> aCutPng(aPng.begin(), aPng.begin() + static_cast<long>(aPng.size() / 2));
    std::vector<unsigned char> aCutOgg(aOgg.begin(), aOgg.begin() + 60);
    std::vector<unsigned char> aNoSamples = Wav();
    aNoSamples.resize(44);
    PutLe(aNoSamples, 40, 1000, 4); // the data chunk claims bytes that are not there
    EXPECT_EQ(MediaRefusal({Item("/a.png", aPng), Item("/b.wav", Wav()), Item("/c.ogg", aOgg),
                            Item("/d.JPG", Bytes(EncodeTestJpeg(4, 2, std::vector<uint8_t>(24, 90)))),
                            Item("/e.txt", {'x'})}),
              "");
    const struct
    {
        sKmpItem item;
        std::string strError;
    } aCases[] = {
        {Item("/gfx/cut.png", aCutPng),
         "item '/gfx/cut.png' (from 'src/gfx/cut.png') does not decode as an image"},
        {Item("/photo.jpg", {0xFF, 0xD8, 0xFF}),
         "'/photo.jpg' (from 'src/photo.jpg') does not decode as an image"},
        {Item("/list.wav", WavWithListFirst()), "'/list.wav' (from 'src/list.wav') does not have \"fmt \""},
        {Item("/short.wav", aNoSamples),
         "'/short.wav' (from 'src/short.wav') does not decode as a WAV sound"},
        {Item("/cut.ogg", aCutOgg),
         "'/cut.ogg' (from 'src/cut.ogg') does not decode as an Ogg Vorbis sound"}};
    for (const auto& c : aCases)
        EXPECT_NE(MediaRefusal({Item("/fine.png", aPng), c.item}).find(c.strError), std::string::npos)
            << c.strError;
}

TEST(KmpMediaCheck, MetaMarksNonPowerOfTwoImagesAndCarriesTheOriginalSizes)
{
    std::vector<sKmpImageSize> aImages;
    std::string strError;
    ASSERT_TRUE(KmpCheckMedia({Item("/wide.png", Png(100, 50)), Item("/square.png", Png(64, 64)),
                               Item("/tall.png", Png(64, 96)), Item("/one.png", Png(1, 1))},
                              aImages, strError))
        << strError;
    EXPECT_EQ(KmpMetaText(aImages, {}), "<kmp>\n  <image>\n    <files>\n"
                                        "      <file path=\"wide.png\" no_mipmaps=\"1\"/>\n"
                                        "      <file path=\"tall.png\" no_mipmaps=\"1\"/>\n"
                                        "    </files>\n  </image>\n</kmp>\n");
    EXPECT_NE(KmpMetaText({{"a&b\".png", 3, 4}}, {}).find("path=\"a&amp;b&quot;.png\""), std::string::npos);
    EXPECT_EQ(KmpMetaText({{"square.png", 64, 64}}, {}), "");
    EXPECT_EQ(KmpMetaText({}, {720, 640}),
              "<kmp>\n  <image>\n    <original_size value=\"720\"/>\n  </image>\n"
              "  <font>\n    <original_size value=\"640\"/>\n  </font>\n</kmp>\n");
}

TEST(KmpMediaCheck, TheToolWritesItsMetaLastAndRefusesAHandWrittenOneBeside)
{
    CTestTempDir dir;
    const std::vector<unsigned char> aWide = Png(100, 50), aSquare = Png(64, 64);
    ASSERT_TRUE(WriteTestFile(dir.File("wide.png"), std::vector<uint8_t>(aWide.begin(), aWide.end())));
    ASSERT_TRUE(WriteTestFile(dir.File("square.png"), std::vector<uint8_t>(aSquare.begin(), aSquare.end())));
    ASSERT_TRUE(WriteTestFile(dir.File("meta.xml"), "<kmp/>"));
    std::string strErr;
    ASSERT_EQ(RunTool(dir,
                      "build " + dir.File("p.kmp") + " --media --image-original-size 480 /wide.png=" +
                          dir.File("wide.png") + " /square.png=" + dir.File("square.png"),
                      &strErr),
              0)
        << strErr;
    CKorvelMediaPack pack;
    ASSERT_EQ(pack.Startup(CKorvelString(dir.File("p.kmp").c_str()), CKorvelString()), KE_OK);
    ASSERT_EQ(pack.GetItemCount(), 3u);
    CKorvelMediaPackItem meta;
    ASSERT_EQ(meta.Open(pack, CKorvelString(), 2), KE_OK);
    std::string strMeta(meta.GetSize(), '\0');
    meta.GetFile().Read(&strMeta[0], meta.GetSize());
    EXPECT_NE(strMeta.find("<original_size value=\"480\"/>"), std::string::npos);
    EXPECT_NE(strMeta.find("path=\"wide.png\" no_mipmaps=\"1\""), std::string::npos);
    EXPECT_EQ(strMeta.find("square.png"), std::string::npos);
    pack.Shutdown();

    // Only power-of-two images and no sizes: nothing to say, no meta item.
    ASSERT_EQ(RunTool(dir, "build " + dir.File("q.kmp") + " --media /square.png=" + dir.File("square.png")),
              0);
    ASSERT_EQ(pack.Startup(CKorvelString(dir.File("q.kmp").c_str()), CKorvelString()), KE_OK);
    EXPECT_EQ(pack.GetItemCount(), 1u);

    EXPECT_EQ(RunTool(dir,
                      "build " + dir.File("r.kmp") + " --media --meta " + dir.File("meta.xml") +
                          " /square.png=" + dir.File("square.png"),
                      &strErr),
              2);
    EXPECT_NE(strErr.find("cannot be combined"), std::string::npos) << strErr;
    EXPECT_EQ(
        RunTool(dir,
                "build " + dir.File("r.kmp") + " --font-original-size 0 /s.png=" + dir.File("square.png"),
                &strErr),
        2);
    EXPECT_TRUE(ReadTestFile(dir.File("r.kmp")).empty());
}
