#include "support/TestMedia.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <jpeglib.h>
#include <png.h>

bool WriteTestPng(const std::string& strPath, int iWidth, int iHeight, const std::vector<uint8_t>& aRGBA,
                  bool bAlpha)
{
    if (iWidth <= 0 || iHeight <= 0 || aRGBA.size() < size_t(iWidth) * iHeight * 4)
        return false;
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = iWidth;
    image.height = iHeight;
    image.format = PNG_FORMAT_RGBA;
    if (bAlpha)
        return png_image_write_to_file(&image, strPath.c_str(), 0, aRGBA.data(), 0, nullptr) != 0;
    std::vector<uint8_t> aRGB(size_t(iWidth) * iHeight * 3);
    for (size_t i = 0, n = size_t(iWidth) * iHeight; i < n; ++i)
        memcpy(&aRGB[i * 3], &aRGBA[i * 4], 3);
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, strPath.c_str(), 0, aRGB.data(), 0, nullptr) != 0;
}

static void AppendPngBytes(png_structp pPng, png_bytep pData, png_size_t uSize)
{
    auto* pOut = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(pPng));
    pOut->insert(pOut->end(), pData, pData + uSize);
}

std::vector<uint8_t> EncodeTestPng(const sTestPngLayout& layout)
{
    std::vector<uint8_t> aOut;
    png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop pInfo = png_create_info_struct(pPng);
    if (setjmp(png_jmpbuf(pPng)))
    {
        png_destroy_write_struct(&pPng, &pInfo);
        return {};
    }
    png_set_write_fn(pPng, &aOut, AppendPngBytes, nullptr);
    png_set_IHDR(pPng, pInfo, layout.m_uWidth, layout.m_uHeight, layout.m_iBitDepth, layout.m_iColorType,
                 layout.m_bInterlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> aPalette;
    for (size_t i = 0; i + 2 < layout.m_aPalette.size(); i += 3)
        aPalette.push_back({layout.m_aPalette[i], layout.m_aPalette[i + 1], layout.m_aPalette[i + 2]});
    if (!aPalette.empty())
        png_set_PLTE(pPng, pInfo, aPalette.data(), int(aPalette.size()));
    if (!layout.m_aTrns.empty())
        png_set_tRNS(pPng, pInfo, layout.m_aTrns.data(), int(layout.m_aTrns.size()), nullptr);
    png_write_info(pPng, pInfo);
    const size_t uRowBytes = png_get_rowbytes(pPng, pInfo);
    if (layout.m_aRows.size() < uRowBytes * layout.m_uHeight)
        png_error(pPng, "too few row bytes");
    std::vector<png_bytep> aRowPtrs(layout.m_uHeight);
    for (unsigned int y = 0; y < layout.m_uHeight; ++y)
        aRowPtrs[y] = const_cast<uint8_t*>(&layout.m_aRows[y * uRowBytes]);
    png_write_image(pPng, aRowPtrs.data());
    png_write_end(pPng, nullptr);
    png_destroy_write_struct(&pPng, &pInfo);
    return aOut;
}

std::vector<uint8_t> EncodeTestJpeg(int iWidth, int iHeight, const std::vector<uint8_t>& aRGB, int iQuality,
                                    bool bProgressive)
{
    if (iWidth <= 0 || iHeight <= 0 || aRGB.size() < size_t(iWidth) * iHeight * 3)
        return {};
    jpeg_compress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* pOut = nullptr;
    unsigned long uSize = 0;
    jpeg_mem_dest(&info, &pOut, &uSize);
    info.image_width = iWidth;
    info.image_height = iHeight;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, iQuality, TRUE);
    if (bProgressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height)
    {
        JSAMPROW pRow = const_cast<uint8_t*>(&aRGB[size_t(info.next_scanline) * iWidth * 3]);
        jpeg_write_scanlines(&info, &pRow, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> aBytes(pOut, pOut + uSize);
    jpeg_destroy_compress(&info);
    free(pOut);
    return aBytes;
}

static void PutLE(std::vector<uint8_t>& aOut, uint32_t uValue, int iBytes)
{
    for (int i = 0; i < iBytes; ++i)
        aOut.push_back(uint8_t(uValue >> (8 * i)));
}

bool WriteTestWav(const std::string& strPath, int iChannels, int iRate, int iBits,
                  const std::vector<int16_t>& aSamples)
{
    if (iBits != 8 && iBits != 16)
        return false;
    const uint32_t uData = uint32_t(aSamples.size() * (iBits / 8));
    std::vector<uint8_t> aOut;
    aOut.insert(aOut.end(), {'R', 'I', 'F', 'F'});
    PutLE(aOut, 36 + uData + (uData & 1), 4);
    aOut.insert(aOut.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLE(aOut, 16, 4);
    PutLE(aOut, 1, 2);
    PutLE(aOut, iChannels, 2);
    PutLE(aOut, iRate, 4);
    PutLE(aOut, iRate * iChannels * iBits / 8, 4);
    PutLE(aOut, iChannels * iBits / 8, 2);
    PutLE(aOut, iBits, 2);
    aOut.insert(aOut.end(), {'d', 'a', 't', 'a'});
    PutLE(aOut, uData, 4);
    for (int16_t s : aSamples)
    {
        if (iBits == 16)
            PutLE(aOut, uint16_t(s), 2);
        else
            aOut.push_back(uint8_t((s >> 8) + 128));
    }
    if (uData & 1)
        aOut.push_back(0);
    return WriteTestFile(strPath, aOut);
}

bool WriteTestFile(const std::string& strPath, const std::vector<uint8_t>& aBytes)
{
    std::ofstream out(strPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(aBytes.data()), std::streamsize(aBytes.size()));
    return bool(out);
}

bool WriteTestFile(const std::string& strPath, const std::string& strText)
{
    return WriteTestFile(strPath, std::vector<uint8_t>(strText.begin(), strText.end()));
}

std::vector<uint8_t> ReadTestFile(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TestSourceDir()
{
    const char* pDir = getenv("KORVEL_SOURCE_DIR");
    return pDir ? pDir : ".";
}
